#pragma once

// What the start-up benchmark's children share: ending the process once its
// window has painted for the first time, printing its resident set.
#include <QApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>

// The resident set of this process, in kB.
inline QByteArray residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return "0";
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0);
    }
    return "0";
}

// Ends the child once the window's first paint has gone through, printing
// its resident set.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // exit, not quit: quitting would first ask the table to close.
            QTimer::singleShot(0, qApp, [] {
                fputs(residentKilobytes().constData(), stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

