#pragma once

#include "model/cardset.h"

#include <array>
#include <cstdint>
#include <vector>

// The shape of a set of up to five cards: its ranks, and whether its cards
// are all of one suit. The rest of the deck completes two sets of one shape
// alike, so the total pay of the hands that contain a set depends on its
// shape alone.
//
// Shapes are numbered by size, then by the colex index of the ranks in
// increasing order r0 <= r1 <= ..., the sum of choose(r_i + i, i + 1)
// (which numbers the ways to take that many ranks 0, 1, 2, ...), then
// mixed before one suit. The numbers of a size start at ShapeStart[size];
// those that no set has (five of a rank, a pair in one suit) stay unused.
inline constexpr auto ShapeStart = [] {
    std::array<std::int32_t, HandSize + 2> start{};
    for (int size = 0; size <= HandSize; ++size)
        start[size + 1] = start[size] + 2 * Choose[RankCount + size - 1][size];
    return start;
}();
inline constexpr std::int32_t ShapeCount = ShapeStart[HandSize + 1];

// The index of five cards in increasing order among all hands.
inline std::int32_t colexIndex(const std::array<int, HandSize> &cards)
{
    std::int32_t index = 0;
    for (int i = 0; i < HandSize; ++i)
        index += Choose[cards[i]][i + 1];
    return index;
}

// For a deal's cards in increasing order: the shape of each of its 32
// subsets, and the total pay of the final hands of each hold (the subset
// kept), by inclusion and exclusion over `payOf`, the pay totals by shape
// of the hands that contain a set. Masks name the cards by their place in
// that order.
struct DealHolds
{
    DealHolds(const std::array<int, HandSize> &cards, const std::vector<std::int64_t> &payOf);

    std::array<std::int32_t, HoldCount> shape;
    std::array<std::int64_t, HoldCount> total;
};
