#pragma once

#include "records/scorefile.h"

#include <QString>

#include <array>

// What the board's rows show for a table and the player's final credits.
struct BoardFill
{
    std::array<QString, ScorePlaces> rows;
    int takenPlace = -1; // the place the credits took over, or -1
};

// Fills the rows from the top. The first place whose score is below
// finalcredits (strictly) becomes the player's: its score changes in `table`,
// its row shows the credits in the score column when the table came from
// the file, and the rows below it stay empty.
BoardFill fillBoard(scoretable &table, qint32 finalcredits, bool fromFile);
