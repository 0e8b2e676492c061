#pragma once

#include "holdadvisor.h"
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

// The highest slot each of the 32 holds keeps (0 for the empty hold).
inline constexpr auto HighestSlotKept = [] {
    std::array<int, HoldCount> highest{};
    for (unsigned mask = 0; mask < HoldCount; ++mask) {
        for (int slot = 0; slot < HandSize; ++slot)
            highest[mask] = mask & (1u << slot) ? slot : highest[mask];
    }
    return highest;
}();

// The subsets of each set of a hand's cards, named by masks like the
// holds: bit m of subsetsOf[set] is set when m is a subset of `set`.
inline constexpr auto subsetsOf = [] {
    std::array<std::uint32_t, HoldCount> subsets{};
    for (unsigned set = 0; set < HoldCount; ++set) {
        for (unsigned mask = 0; mask < HoldCount; ++mask)
            subsets[set] |= (mask & ~set) == 0 ? std::uint32_t(1) << mask : 0;
    }
    return subsets;
}();

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

// Inline, as the solver calls it for every class of deals; the loops are
// unrolled, so that what each step reads from HighestSlotKept is known when
// compiling.
inline DealHolds::DealHolds(const std::array<int, HandSize> &cards, const std::vector<std::int64_t> &payOf)
{
    // Bit m of oneSuit is set when the subset m is of one suit: a subset
    // of the cards of some suit.
    std::array<unsigned, SuitCount> ofSuit{};
    for (int slot = 0; slot < HandSize; ++slot)
        ofSuit[std::size_t(cards[slot] % SuitCount)] |= 1u << slot;
    std::uint32_t oneSuit = 0;
    for (unsigned sameSuit : ofSuit)
        oneSuit |= subsetsOf[sameSuit];
    // A subset's shape follows from that of the subset without its
    // highest card, whose rank is the highest: twice its term of the
    // rank index.
    std::array<const ChooseRow *, HandSize> rankRow{};
    for (int slot = 0; slot < HandSize; ++slot)
        rankRow[slot] = &Choose[std::size_t(cards[slot] / SuitCount)];
    std::array<std::int32_t, HoldCount> twiceRankIndex{};
    shape[0] = ShapeStart[0] + 1;
#pragma GCC unroll 32
    for (unsigned mask = 1; mask < HoldCount; ++mask) {
        const int highest = HighestSlotKept[mask];
        const int size = HeldCounts[mask];
        const unsigned rest = mask ^ (1u << highest);
        twiceRankIndex[mask] = twiceRankIndex[rest] + 2 * rankRow[highest][size - 1][size];
        shape[mask] = ShapeStart[size] + twiceRankIndex[mask] + std::int32_t(oneSuit >> mask & 1);
    }
    // Keep only the hands that avoid every discarded card, one card at a
    // time: the lowest as the totals are read, so that the other steps
    // work on whole pairs of totals.
#pragma GCC unroll 16
    for (unsigned mask = 0; mask < HoldCount; mask += 2) {
        const std::int64_t withLowest = payOf[std::size_t(shape[mask + 1])];
        total[mask] = payOf[std::size_t(shape[mask])] - withLowest;
        total[mask + 1] = withLowest;
    }
#pragma GCC unroll 4
    for (unsigned bit = 2; bit < HoldCount; bit <<= 1) {
#pragma GCC unroll 32
        for (unsigned mask = 0; mask < HoldCount; ++mask) {
            if (!(mask & bit))
                total[mask] -= total[mask | bit];
        }
    }
}
