// Feeds arbitrary bytes to the high-score file, as bytes and as a real file
// read and saved again, and to the filling of the board's rows, and checks
// what must hold for any file.
#include "records/scorefile.h"
#include "records/boardfill.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    check(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// The bytes as name2.dat: read, saved again, read back.
void readAndSave(const QByteArray &bytes)
{
    static const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("name2.dat"));
    QFile file(path);
    check(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();

    const ScoreFile scores(path);
    const ScoreFile::Reading reading = scores.read();
    check(reading.error.isEmpty());
    check(reading.fromFile == !bytes.isEmpty());
    check(reading.table == (bytes.isEmpty() ? ScoreFile::defaultTable() : ScoreFile::decode(bytes)));

    // A save replaces the first 240 bytes and keeps the rest as it was.
    QString error;
    check(scores.write(reading.table, &error));
    check(fileBytes(path) == ScoreFile::encode(reading.table) + bytes.mid(ScoreFile::TableSize));
    check(scores.read().table == reading.table);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    scoretable table = ScoreFile::decode(bytes);

    // Whole records read back to the very bytes they came from; the rest
    // are blank.
    const qsizetype whole = std::min<qsizetype>(bytes.size() / ScoreFile::RecordSize, ScorePlaces);
    const QByteArray encoded = ScoreFile::encode(table);
    check(encoded.size() == ScoreFile::TableSize);
    check(encoded.left(whole * ScoreFile::RecordSize) == bytes.left(whole * ScoreFile::RecordSize));
    for (int i = 0; i < ScorePlaces; ++i) {
        check(table[std::size_t(i)].playername.size() == ScoreFile::NameLength);
        if (i >= whole)
            check(table[std::size_t(i)].score == 0);
    }

    readAndSave(bytes);

    // The last four bytes, when there are any, stand for the final credits.
    const qint32 finalcredits = size >= 4 ? qFromLittleEndian<qint32>(data + size - 4) : 500;
    const scoretable before = table;
    const BoardFill fill = fillBoard(table, finalcredits, !bytes.isEmpty());
    for (int i = 0; i < ScorePlaces; ++i) {
        const QString &row = fill.rows[std::size_t(i)];
        if (fill.takenPlace < 0 || i < fill.takenPlace) {
            check(before[std::size_t(i)].score >= finalcredits);
            check(row.left(ScoreFile::NameLength) == before[std::size_t(i)].playername);
            check(row.mid(ScoreFile::NameLength + 2).toLongLong() == before[std::size_t(i)].score);
        } else if (i == fill.takenPlace) {
            check(before[std::size_t(i)].score < finalcredits);
            check(table[std::size_t(i)].score == finalcredits);
        } else {
            check(row.isEmpty());
            check(table[std::size_t(i)] == before[std::size_t(i)]);
        }
    }
    return 0;
}
