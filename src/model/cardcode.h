#pragma once

#include <QtGlobal>

// The thirteen ranks, lowest first. The ace is only high.
enum Rank : qint16 { Two, Three, Four, Five, Six, Seven, Eight, Nine, Ten, Jack, Queen, King, Ace };

// One card: its rank and its suit 0..3 (hearts, clubs, diamonds, spades;
// even suits are red).
struct CardCode
{
    qint16 rank = Two;
    qint16 suit = 0;

    friend bool operator==(const CardCode &, const CardCode &) = default;
};

inline constexpr int RankCount = Ace + 1;
inline constexpr int SuitCount = 4;
inline constexpr int HandSize = 5;
