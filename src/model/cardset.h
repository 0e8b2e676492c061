#pragma once

#include "model/cardcode.h"

#include <array>
#include <cstdint>

// A set of cards, one bit each: bit rank * 4 + suit.
using CardSet = std::uint64_t;

inline constexpr int DeckSize = RankCount * SuitCount;
inline constexpr int CardIndex(const CardCode &card) { return card.rank * SuitCount + card.suit; }
inline constexpr CardSet cardBit(const CardCode &card) { return CardSet(1) << CardIndex(card); }
inline constexpr CardSet FullDeck = (CardSet(1) << DeckSize) - 1;

// Masks of ranks, bit r for rank r: the highest straight, and the one in
// which the ace plays low.
inline constexpr unsigned TenToAceRanks = 0x1F00;
inline constexpr unsigned AceToFiveRanks = 0x100F;

// How many bits of a set are set, by adding neighbouring counts in place:
// std::popcount is a call to the runtime where the baseline instruction
// set has no instruction for it.
inline constexpr int bitCount(std::uint64_t bits)
{
    bits -= (bits >> 1) & 0x5555555555555555u;
    bits = (bits & 0x3333333333333333u) + ((bits >> 2) & 0x3333333333333333u);
    bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
    return int((bits * 0x0101010101010101u) >> 56);
}

// The ways to hold a hand: bit i of a hold's mask keeps the card in slot i + 1.
inline constexpr int HoldCount = 1 << HandSize;

// n choose k for every n up to a deck and k up to a hand: every count of
// cards a deal or a draw needs. Kept as rows so that a count of one size of
// deck can be looked up for every k at once.
using ChooseRow = std::array<std::int32_t, HandSize + 1>;
inline constexpr auto Choose = [] {
    std::array<ChooseRow, DeckSize + 1> choose{};
    choose[0][0] = 1;
    for (std::size_t n = 1; n < choose.size(); ++n) {
        choose[n][0] = 1;
        for (std::size_t k = 1; k <= HandSize; ++k)
            choose[n][k] = choose[n - 1][k - 1] + choose[n - 1][k];
    }
    return choose;
}();

// n choose k, 0 when k is negative or over n; n at most a deck, k at most a hand.
inline constexpr std::int64_t binomial(int n, int k)
{
    return k < 0 || k > n ? 0 : Choose[n][k];
}
