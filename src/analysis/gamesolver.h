#pragma once

#include "freshdeckholds.h"
#include "model/paytable.h"

#include <cstdint>
#include <vector>

// What solving the whole game leaves for looking deals up on a fresh deck:
// the best hold of every class of deals, and the total pay of the hands
// that contain a set of cards, by the set's shape (see dealholds.h).
struct SolvedDeals
{
    FreshDeckHolds::Classes classes;
    std::vector<std::int64_t> payByShape;
};

// Solves the game as exactGameReturn does, with one thread for each core
// up to four, keeping every class's best hold as it is found.
SolvedDeals solveEveryDeal(const PayTable &table);
