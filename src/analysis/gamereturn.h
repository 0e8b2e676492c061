#pragma once

#include "model/paytable.h"

#include <array>
#include <cstdint>

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

// Asks for one thread for each core, up to four.
inline constexpr int OneThreadPerCore = 0;

// The work is shared among `threads` threads; the result is the same for
// any number.
GameReturn exactGameReturn(const PayTable &table, int threads = OneThreadPerCore);
