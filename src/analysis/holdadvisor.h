#pragma once

#include "model/cardset.h"
#include "model/paytable.h"

#include <array>
#include <cstdint>

// How many cards each hold keeps, by its mask.
inline constexpr auto HeldCounts = [] {
    std::array<std::uint8_t, HoldCount> counts{};
    for (unsigned mask = 0; mask < HoldCount; ++mask)
        counts[mask] = std::uint8_t(bitCount(mask));
    return counts;
}();

// Every hold in the order preferred among those that return the same: the
// ones keeping more cards first, and of as many, the earlier slots.
inline constexpr auto HoldsBySize = [] {
    std::array<unsigned, HoldCount> holds{};
    std::size_t at = 0;
    for (int size = HandSize; size >= 0; --size) {
        for (unsigned mask = 0; mask < HoldCount; ++mask) {
            if (HeldCounts[mask] == size)
                holds[at++] = mask;
        }
    }
    return holds;
}();

// One way to hold: bit i of the mask keeps the card in slot i + 1. Every
// draw of the missing cards from the deck is equally likely; `totalPay`
// adds up the pays of all `draws`.
struct HoldValue
{
    unsigned mask = 0;
    std::int64_t draws = 0;
    std::int64_t totalPay = 0;

    int heldCount() const { return HeldCounts[mask % HoldCount]; }
    // Expected return per credit bet.
    double expectedReturn() const { return draws ? double(totalPay) / double(draws) : 0.0; }
};

// A hold's value with the final hands of each kind counted as well.
struct HoldResult : HoldValue
{
    std::array<std::int64_t, OutcomeCount> outcomes{};
};

// Compares the expected returns of two holds that can both be drawn,
// exactly: negative when a returns less than b, 0 when just as much,
// positive when more.
int compareReturns(const HoldValue &a, const HoldValue &b);

// The order of holds, exact: the higher expected return first; of two with
// the same return, the one that keeps more cards, then the one with the
// smaller mask (the earlier slots held). A hold with no possible draw
// comes last.
bool isBetterHold(const HoldValue &a, const HoldValue &b);

// The exact value of all 32 holds when the missing cards are drawn from
// `deck`, which must not contain the hand's own cards.
std::array<HoldResult, HoldCount> analyseHolds(const std::array<CardCode, HandSize> &hand, CardSet deck,
                                               const PayTable &table);
// The same without the counts by outcome, for when only the order of the
// holds matters: several times faster.
std::array<HoldValue, HoldCount> valueHolds(const std::array<CardCode, HandSize> &hand, CardSet deck,
                                            const PayTable &table);
// The index (= mask) of the best hold by isBetterHold.
unsigned bestHold(const std::array<HoldResult, HoldCount> &holds);
unsigned bestHold(const std::array<HoldValue, HoldCount> &holds);
