#pragma once

#include "holdadvisor.h"
#include "model/paytable.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

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
