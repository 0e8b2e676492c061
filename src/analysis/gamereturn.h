#pragma once

#include "holdadvisor.h"
#include "paytable.h"

#include <array>
#include <cstdint>
#include <vector>

// The exact return of the whole game from a fresh deck, every deal played
// with its best hold (ties broken as the hold advisor breaks them).
// Final hands are counted over a common denominator: each of the 2,598,960
// deals weighs the same, and within a deal every draw of its best hold.
struct GameReturn
{
    std::int64_t denominator = 0;
    std::int64_t totalPay = 0; // over the denominator: the return per credit bet
    std::array<std::int64_t, OutcomeCount> outcomes{};

    double value() const { return double(totalPay) / double(denominator); }
};

GameReturn exactGameReturn(const PayTable &table);

// The best hold of every deal on a fresh deck, found by solving the whole
// game once: a look-up instead of an analysis of 32 holds.
class FreshDeckHolds
{
public:
    explicit FreshDeckHolds(const PayTable &table);

    // The hold bestHold(analyseHolds(hand, FullDeck less the hand, table))
    // picks, bit i keeping hand[i].
    unsigned bestHold(const std::array<CardCode, HandSize> &hand) const;
    const GameReturn &gameReturn() const { return m_return; }

private:
    PayTable m_table;
    GameReturn m_return;
    // By the index of each suit class's representative deal: the best hold
    // over the representative's cards in increasing order, or TiedHolds
    // where holds of the same size return exactly the same, so that the
    // order of the cards decides.
    std::vector<std::uint8_t> m_classHold;
};
