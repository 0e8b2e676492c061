// Feeds arbitrary bytes to the reading of the high-score file and to the
// filling of the board's rows, and checks what must hold for any file.
#include "records/scorefile.h"
#include "records/boardfill.h"

#include <QtEndian>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
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
