#include "scorefile.h"

#include "cp1252.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QtEndian>

#include <csignal>

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

} // namespace

ScoreFile::ScoreFile(QString path)
    : m_path(std::move(path))
{
}

scoretable ScoreFile::defaultTable()
{
    scoretable table;
    for (int i = 0; i < ScorePlaces; ++i)
        table[std::size_t(i)] = {fitName(QStringLiteral("ANONYMOUS")), 10000 - 1000 * i};
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
            table[std::size_t(i)] = {fitName(QString()), 0};
            continue;
        }
        table[std::size_t(i)] = {Cp1252::decode(bytes.mid(start, NameLength)),
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
    // Past a file-size limit (ulimit -f) the system would end the game with
    // SIGXFSZ; with the signal ignored the write fails and the save says so.
    std::signal(SIGXFSZ, SIG_IGN);
    if (isOtherThanRegularFile(m_path)) {
        *error = notRegularFileError();
        return false;
    }
    const QDateTime saveStart = QDateTime::currentDateTimeUtc();
    const QByteArray bytes = encode(table);
    // The new bytes go to a temporary file beside the old one, which then
    // takes its place: a failure half-way leaves the old file untouched.
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
    removeStaleTemporaries(saveStart);
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

void ScoreFile::removeStaleTemporaries(const QDateTime &saveStart) const
{
    // A save that was killed before its temporary file took the file's place
    // leaves that file behind, named as QSaveFile names it: the file's name,
    // a dot and six random letters. Newer ones may belong to a save still
    // under way in another copy of the game.
    const QFileInfo saved(QFileInfo(m_path).canonicalFilePath());
    const QRegularExpression temporaryName(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(saved.fileName()) + QStringLiteral("\\.[A-Za-z]{6}")));
    const QFileInfoList candidates = saved.absoluteDir().entryInfoList(
        {saved.fileName() + QStringLiteral(".??????")}, QDir::Files | QDir::NoSymLinks);
    for (const QFileInfo &candidate : candidates) {
        if (temporaryName.match(candidate.fileName()).hasMatch() && candidate.lastModified() < saveStart)
            QFile::remove(candidate.filePath());
    }
}
