#pragma once

#include <QRectF>
#include <QSizeF>

#include <vector>

// Where the suit symbols of a two to a ten (ranks 0 to 8) go on a face of
// size `card`, each symbol `pip` in size, in painting order. A pip turned
// half a turn has a negative width and height: its rectangle, painted as
// it stands, mirrors the symbol both ways. Every place follows from the
// two sizes, so a face of another size gets its pips in proportion.
std::vector<QRectF> pipPlaces(int rank, QSizeF card, QSizeF pip);
