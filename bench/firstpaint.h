#pragma once

// What the start-up benchmark's children share: ending the process once its
// window has painted for the first time, printing its resident set and the
// shared objects it has mapped by then.
#include <QApplication>
#include <QFile>
#include <QSet>
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

// How many shared objects this process has mapped.
inline int sharedObjectCount()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return 0;
    QSet<QByteArray> objects;
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const QByteArray path = line.mid(line.indexOf('/'));
        if (line.contains('/') && path.contains(".so"))
            objects.insert(path);
    }
    return int(objects.size());
}

// Ends the child once the window's first paint has gone through, printing
// its resident set in kB and its shared objects on one line; the parent
// takes the time when that line arrives, before the child's tear-down.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // exit, not quit: quitting would first ask the table to close.
            QTimer::singleShot(0, qApp, [] {
                std::printf("%s %d\n", residentKilobytes().constData(), sharedObjectCount());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

