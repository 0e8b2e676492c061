#include "boardfill.h"

namespace {

// The score column starts after the 20-character name and two spaces.
constexpr int ScoreColumn = ScoreFile::NameLength + 2;

} // namespace

BoardFill fillBoard(scoretable &table, qint32 finalcredits, bool fromFile)
{
    BoardFill fill;
    for (int i = 0; i < ScorePlaces; ++i) {
        scorerecord &record = table[i];
        if (finalcredits > record.score) {
            record.score = finalcredits;
            if (fromFile)
                fill.rows[i] = QString(ScoreColumn, QLatin1Char(' ')) + QString::number(finalcredits);
            fill.takenPlace = i;
            return fill;
        }
        fill.rows[i] = record.playername + QStringLiteral("  ") + QString::number(record.score);
    }
    return fill;
}
