#include "scorefile.h"

#include "cp1252.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

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
    QFile file(m_path);
    // Opening for writing creates the file when it is missing; a file we may
    // only read is still read.
    if (!file.open(QIODevice::ReadWrite) && !file.open(QIODevice::ReadOnly)) {
        reading.error = file.errorString();
        return reading;
    }
    if (file.size() == 0)
        return reading;
    const QByteArray bytes = file.read(TableSize);
    if (file.error() != QFileDevice::NoError) {
        reading.error = file.errorString();
        return reading;
    }
    reading.table = decode(bytes);
    reading.fromFile = true;
    return reading;
}

bool ScoreFile::write(const scoretable &table, QString *error) const
{
    QByteArray tail;
    if (QFile::exists(m_path)) {
        QFile old(m_path);
        if (!old.open(QIODevice::ReadOnly) || !old.seek(TableSize)) {
            *error = old.errorString();
            return false;
        }
        tail = old.readAll();
    }
    // The new bytes go to a temporary file beside the old one, which then
    // takes its place: a failure half-way leaves the old file untouched.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    file.write(encode(table));
    file.write(tail);
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
