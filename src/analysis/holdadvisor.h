#pragma once

#include "model/cardset.h"
#include "model/paytable.h"

#include <array>
#include <cstdint>

// One way to hold: bit i of the mask keeps the card in slot i + 1. Every
// draw of the missing cards from the deck is equally likely; `outcomes`
// counts the final hands of each kind and `totalPay` adds up their pays.
struct HoldResult
{
    unsigned mask = 0;
    std::int64_t draws = 0;
    std::int64_t totalPay = 0;
    std::array<std::int64_t, OutcomeCount> outcomes{};

    int heldCount() const;
    // Expected return per credit bet.
    double expectedReturn() const { return draws ? double(totalPay) / double(draws) : 0.0; }
};

// Compares the expected returns of two holds that can both be drawn,
// exactly: negative when a returns less than b, 0 when just as much,
// positive when more.
int compareReturns(const HoldResult &a, const HoldResult &b);

// The order of holds, exact: the higher expected return first; of two with
// the same return, the one that keeps more cards, then the one with the
// smaller mask (the earlier slots held). A hold with no possible draw
// comes last.
bool isBetterHold(const HoldResult &a, const HoldResult &b);

// The exact value of all 32 holds when the missing cards are drawn from
// `deck`, which must not contain the hand's own cards.
std::array<HoldResult, HoldCount> analyseHolds(const std::array<CardCode, HandSize> &hand, CardSet deck,
                                               const PayTable &table);
// The index (= mask) of the best hold by isBetterHold.
unsigned bestHold(const std::array<HoldResult, HoldCount> &holds);
