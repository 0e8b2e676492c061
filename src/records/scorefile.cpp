#include "scorefile.h"

#include "cp1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <signal.h>

namespace {

constexpr qint64 TailChunkSize = 64 * 1024;

// True when something other than a regular file (a folder, a pipe, a
// device) has the file's name; a link counts as what it points to.
bool isOtherThanRegularFile(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isFile();
}

// Writes all the bytes. A short write (a disk that just filled up) is
// retried, so that it ends in an error the system can name.
bool writeFully(QFileDevice &to, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const qint64 written = to.write(bytes.data(), bytes.size());
        if (written <= 0)
            return false;
        bytes = bytes.sliced(written);
    }
    return true;
}

// Past a file-size limit (ulimit -f) the system would end the game with
// SIGXFSZ; with the signal ignored the write fails and the save says so.
// Only while a save lasts: what the rest of the process does with the
// signal is not the save's business.
class FileSizeSignalIgnored
{
public:
    FileSizeSignalIgnored()
    {
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGXFSZ, &ignore, &m_before);
    }
    ~FileSizeSignalIgnored() { sigaction(SIGXFSZ, &m_before, nullptr); }
    FileSizeSignalIgnored(const FileSizeSignalIgnored &) = delete;
    FileSizeSignalIgnored &operator=(const FileSizeSignalIgnored &) = delete;

private:
    struct sigaction m_before = {};
};

} // namespace

ScoreFile::ScoreFile(QString path)
    : m_path(std::move(path))
{
}

scoretable ScoreFile::defaultTable()
{
    scoretable table;
    for (int i = 0; i < ScorePlaces; ++i)
        table[i] = {fitName(QStringLiteral("ANONYMOUS")), 10000 - 1000 * i};
    return table;
}

QString ScoreFile::fitName(const QString &text)
{
    return text.left(NameLength).leftJustified(NameLength, QLatin1Char(' '));
}

QByteArray ScoreFile::encode(const scoretable &table)
{
    QByteArray bytes;
    bytes.reserve(TableSize);
    for (const scorerecord &record : table) {
        bytes.append(Cp1252::encode(fitName(record.playername)));
        char score[4];
        qToLittleEndian<qint32>(record.score, score);
        bytes.append(score, 4);
    }
    return bytes;
}

scoretable ScoreFile::decode(const QByteArray &bytes)
{
    scoretable table;
    for (int i = 0; i < ScorePlaces; ++i) {
        const qsizetype start = qsizetype(i) * RecordSize;
        if (start + RecordSize > bytes.size()) {
            table[i] = {fitName(QString()), 0};
            continue;
        }
        table[i] = {Cp1252::decode(bytes.mid(start, NameLength)),
                                 qFromLittleEndian<qint32>(bytes.constData() + start + NameLength)};
    }
    return table;
}

ScoreFile::Reading ScoreFile::read() const
{
    Reading reading;
    reading.table = defaultTable();
    // Opening a pipe would wait for a writer for ever.
    if (isOtherThanRegularFile(m_path)) {
        reading.error = notRegularFileError();
        return reading;
    }
    QFile file(m_path);
    // Opening for writing creates the file when it is missing; a file we may
    // only read is still read.
    if (!file.open(QIODevice::ReadWrite) && !file.open(QIODevice::ReadOnly)) {
        reading.error = failure(file.errorString());
        return reading;
    }
    if (file.size() == 0)
        return reading;
    const QByteArray bytes = file.read(TableSize);
    if (file.error() != QFileDevice::NoError) {
        reading.error = failure(file.errorString());
        return reading;
    }
    reading.table = decode(bytes);
    reading.fromFile = true;
    return reading;
}

bool ScoreFile::write(const scoretable &table, QString *error) const
{
    const FileSizeSignalIgnored sizeLimitFailsTheWrite;
    if (isOtherThanRegularFile(m_path)) {
        *error = notRegularFileError();
        return false;
    }
    const QByteArray bytes = encode(table);
    // The new bytes go to a temporary file beside the old one, which then
    // takes its place: a failure half-way leaves the old file untouched.
    // The temporary file has no name until it takes the file's place (an
    // O_TMPFILE), so a save that is killed leaves nothing behind, and no
    // file beside ours is ever ours to remove.
    // Unbuffered, every write reaches the system at once, and a full disk
    // shows at the write that meets it rather than in a later flush.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // A folder that takes no new files may still hold a file we may
        // write; the save then goes into it as it did before it was atomic.
        if (QFileInfo::exists(m_path))
            return writeInPlace(bytes, error);
        *error = failure(file.errorString());
        return false;
    }
    if (!writeFully(file, bytes)) {
        *error = failure(file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!copyTail(file, error)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = failure(file.errorString());
        return false;
    }
    return true;
}

QString ScoreFile::failure(const QString &reason) const
{
    return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(QFileInfo(m_path).absoluteFilePath()), reason);
}

QString ScoreFile::notRegularFileError() const
{
    return failure(QStringLiteral("this is a folder, a pipe or a device, not a regular file"));
}

bool ScoreFile::copyTail(QFileDevice &to, QString *error) const
{
    QFile from(m_path);
    if (!from.exists())
        return true;
    if (!from.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || !from.seek(TableSize)) {
        *error = failure(from.errorString());
        return false;
    }
    // A chunk at a time: the tail may be far larger than memory allows.
    QByteArray chunk(TailChunkSize, Qt::Uninitialized);
    for (;;) {
        const qint64 got = from.read(chunk.data(), chunk.size());
        if (got < 0) {
            *error = failure(from.errorString());
            return false;
        }
        if (got == 0)
            return true;
        if (!writeFully(to, QByteArrayView(chunk.constData(), got))) {
            *error = failure(to.errorString());
            return false;
        }
    }
}

bool ScoreFile::writeInPlace(const QByteArray &bytes, QString *error) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered)
        || !writeFully(file, bytes)) {
        *error = failure(file.errorString());
        return false;
    }
    return true;
}
