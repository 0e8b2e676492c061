#pragma once

#include "holdadvisor.h"
#include "model/paytable.h"

#include <array>
#include <cstdint>
#include <memory>
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

// The work is shared among `threads` threads, by default (0) one for each
// core up to four; the result is the same for any number.
GameReturn exactGameReturn(const PayTable &table, int threads = 0);

// The best hold of every deal on a fresh deck, found by solving the whole
// game once: a look-up instead of an analysis of 32 holds.
class FreshDeckHolds
{
public:
    explicit FreshDeckHolds(const PayTable &table);
    ~FreshDeckHolds();

    // The hold bestHold(analyseHolds(hand, FullDeck less the hand, table))
    // picks, bit i keeping hand[i].
    unsigned bestHold(const std::array<CardCode, HandSize> &hand) const;
    // What valueHolds(hand, FullDeck less the hand, table) finds, from the
    // pay totals by the shape of a set of cards (its ranks, and whether it
    // is of one suit) that solving the game leaves: a few look-ups instead
    // of a count of draws.
    std::array<HoldValue, HoldCount> values(const std::array<CardCode, HandSize> &hand) const;

    // What the solver leaves for each class of deals that a renaming of
    // suits turns into each other, by the index of the class's
    // representative deal: the best hold over its cards in increasing
    // order. Where holds of the same size return exactly the same, the
    // order of the cards decides; such a class is marked Tied and its
    // holds in `tied`, one bit per hold.
    struct Classes
    {
        static constexpr std::uint8_t Tied = 0xFF;
        std::vector<std::uint8_t> hold;
        std::vector<std::pair<std::int32_t, std::uint32_t>> tied; // by index
    };

private:
    struct Pays;

    Classes m_classes;
    std::unique_ptr<const Pays> m_pays;
};
