#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sys/mount.h>
#include <unistd.h>

// A small tmpfs of its own, gone again with this object.
class SmallDisk
{
public:
    SmallDisk(const QString &at, int pages)
        : m_at(QFile::encodeName(at))
    {
        const QByteArray options = "size=" + QByteArray::number(pages * pageSize());
        m_mounted = mount("tmpfs", m_at.constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            umount2(m_at.constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    static qint64 pageSize() { return sysconf(_SC_PAGESIZE); }

private:
    QByteArray m_at;
    bool m_mounted = false;
};
