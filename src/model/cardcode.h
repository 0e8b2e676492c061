#pragma once

#include <QtGlobal>

// One card: rank 0..12 (0 is the two, 8 the ten, 9 jack, 10 queen, 11 king,
// 12 the ace, which is only high) and suit 0..3 (hearts, clubs, diamonds,
// spades; even suits are red).
struct CardCode
{
    qint16 rank = 0;
    qint16 suit = 0;

    friend bool operator==(const CardCode &, const CardCode &) = default;
};

inline constexpr int RankCount = 13;
inline constexpr int SuitCount = 4;
inline constexpr int HandSize = 5;
