#pragma once

#include "model/cardcode.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// What a final hand comes to, fine enough that every outcome has one pay:
// four of a kind is told apart by rank, since pay tables may pay some
// ranks more.
enum Outcome : int {
    RoyalFlush,
    StraightFlush,
    FourOfAKindFirst, // four twos; four of rank r is FourOfAKindFirst + r
    FourOfAKindLast = FourOfAKindFirst + RankCount - 1,
    FullHouse,
    Flush,
    Straight,
    ThreeOfAKind,
    TwoPair,
    PayingPair, // one pair from the table's lowest paying rank up
    Nothing,
    OutcomeCount
};

// The rows a frequency table shows: the outcomes with four of a kind as one.
enum class Category { RoyalFlush, StraightFlush, FourOfAKind, FullHouse, Flush, Straight, ThreeOfAKind, TwoPair, PayingPair, Nothing };
inline constexpr int CategoryCount = 10;
Category categoryOf(Outcome outcome);

// A video-poker pay table: credits paid per credit bet, gross (the bet is
// charged whatever the hand), and whether the ace also plays low.
struct PayTable
{
    // Large enough for any real table, small enough that exact sums over
    // every deal and draw fit in 64 bits.
    static constexpr int LargestPay = 100000;

    int royalFlush = 0;
    int straightFlush = 0;
    std::array<int, RankCount> fourOfAKind{}; // by rank
    int fullHouse = 0;
    int flush = 0;
    int straight = 0;
    int threeOfAKind = 0;
    int twoPair = 0;
    int pair = 0;
    int pairFromRank = RankCount; // lowest rank whose pair pays; RankCount: none
    bool aceLow = false;

    int pay(Outcome outcome) const;
    std::array<int, OutcomeCount> pays() const;

    friend bool operator==(const PayTable &, const PayTable &) = default;

    // This game's own: royal 200, straight flush 100, four of a kind 50,
    // full house 20, flush 10, straight 10, three of a kind 5, two pair 2;
    // the ace is only high.
    static PayTable game();
    // The same pays with every pair told apart from no pair, so that a
    // result can be named "One pair" although it pays nothing.
    PayTable withEveryPairNamed() const
    {
        PayTable naming = *this;
        naming.pairFromRank = Two;
        return naming;
    }
    // This game's table with every pair told apart, for naming the hands
    // played on it.
    static const PayTable &gameNaming();
    // A table by name: "game", "jacks-9-6", "jacks-8-5", "bonus-8-5",
    // "double-bonus-10-7".
    static std::optional<PayTable> named(const QString &name);
    static QStringList names(); // the names `named` knows
};

// Evaluates a final hand from how many cards it has of each rank and
// whether all five share a suit.
Outcome evaluateHand(const std::array<int, RankCount> &rankCounts, bool flush, const PayTable &table);
Outcome evaluateHand(const std::array<CardCode, HandSize> &hand, const PayTable &table);
