#pragma once

#include "model/cardcode.h"

#include <QtGlobal>

#include <array>

enum class HandCategory {
    Nothing,
    TwoPair,
    ThreeOfAKind,
    Straight,
    Flush,
    FullHouse,
    FourOfAKind,
    StraightFlush,
    RoyalFlush,
};

struct HandScore
{
    HandCategory category = HandCategory::Nothing;
    int multiplier = 0;
};

// Scores a final hand by the game's pay table. The ace is only high: ace to
// five is no straight, and one pair pays nothing.
HandScore scoreHand(const std::array<CardCode, HandSize> &hand);

struct Settlement
{
    qint32 credits = 0;
    qint32 winnings = 0;
};

// Charges the bet, pays bet times the multiplier and refills credits that
// reach 0 or less to 500. Credits stop at the largest 32-bit value rather
// than wrap.
Settlement settle(qint32 credits, qint32 bet, int multiplier);

inline constexpr qint32 FreshStake = 500;
