#pragma once

#include "model/cardset.h"

#include <array>
#include <bit>
#include <cstdint>
#include <thread>
#include <vector>

// The classes of deals on a fresh deck that a renaming of suits turns into
// each other: what solving the whole game walks through, each class once.

// The ways to give the masks of ranks of a deal's four suits to the suits.
inline constexpr int SuitRenamings = [] {
    int ways = 1;
    for (int suits = 2; suits <= SuitCount; ++suits)
        ways *= suits;
    return ways;
}();
// The mask of ranks that holds them all.
inline constexpr unsigned EveryRank = (1u << RankCount) - 1;

// Runs work(part) for each part from 0 to parts - 1 at the same time, the
// first on the calling thread.
template <typename Work>
void inParallel(int parts, const Work &work)
{
    std::vector<std::jthread> others;
    for (int part = 1; part < parts; ++part)
        others.emplace_back(work, part);
    work(0);
}

// Spreads a mask of ranks onto card numbers: bit r to bit r * SuitCount.
inline std::uint64_t cardsOfSuitZero(unsigned ranks)
{
    std::uint64_t cards = 0;
    for (; ranks; ranks &= ranks - 1)
        cards |= std::uint64_t(1) << (std::countr_zero(ranks) * SuitCount);
    return cards;
}

inline std::array<int, HandSize> cardsOf(std::uint64_t set)
{
    std::array<int, HandSize> cards{};
    for (int &card : cards) {
        card = std::countr_zero(set);
        set &= set - 1;
    }
    return cards;
}

// Every class of deals that a renaming of suits turns into each other, as
// the ranks each suit holds. Sorting the four masks makes the key; the
// representative gives the largest mask to hearts, the next to clubs and
// so on, which makes it the class's first deal in colex order. A class
// holds SuitRenamings deals divided by the ways to reorder suits with
// equal masks. Only part `part` of `parts` is visited: the classes whose
// masks of the first two suits are among every parts-th pair tried, from
// the part-th on, so that each part walks through little more than its
// own share.
template <typename Visit>
void forEachDealClass(Visit visit, int part, int parts)
{
    std::array<std::vector<unsigned>, HandSize + 1> masksWith;
    for (unsigned mask = 0; mask <= EveryRank; ++mask) {
        const int count = bitCount(mask);
        if (count <= HandSize)
            masksWith[count].push_back(mask);
    }
    // The renamings over the ways to reorder suits with equal masks, by
    // which neighbours have equal masks: bit s for suits s and s + 1.
    constexpr auto classSize = [] {
        std::array<int, 1 << (SuitCount - 1)> size{};
        for (unsigned equal = 0; equal < size.size(); ++equal) {
            size[equal] = SuitRenamings;
            for (int s = 0, run = 1; s < SuitCount - 1; ++s) {
                run = equal >> s & 1 ? run + 1 : 1;
                size[equal] /= run;
            }
        }
        return size;
    }();
    std::array<unsigned, SuitCount> suit{};
    std::array<std::uint64_t, SuitCount> cards{};
    // Suit `s` takes a mask no larger than the one before, out of `left` cards.
    int turn = 0;
    auto place = [&](auto &self, int s, int left) -> void {
        const unsigned largest = s == 0 ? EveryRank : suit[s - 1];
        for (int count = s == SuitCount - 1 ? left : 0; count <= left; ++count) {
            for (unsigned mask : masksWith[count]) {
                if (mask > largest)
                    break;
                if (s == 1 && turn++ % parts != part)
                    continue;
                suit[s] = mask;
                cards[s] = (s == 0 ? 0 : cards[s - 1]) | cardsOfSuitZero(mask) << s;
                if (s < SuitCount - 1) {
                    self(self, s + 1, left - count);
                    continue;
                }
                unsigned equal = 0;
                for (int n = 0; n + 1 < SuitCount; ++n)
                    equal |= unsigned(suit[n] == suit[n + 1]) << n;
                visit(cardsOf(cards[SuitCount - 1]), classSize[equal]);
            }
        }
    };
    place(place, 0, HandSize);
}
