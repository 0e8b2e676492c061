#pragma once

#include "analysis/holdadvisor.h"

// The first hold engine, kept as an independent check on analyseHolds: for
// each hold on its own it walks every draw rank by rank, then moves the
// one-suit draws to their flush outcomes. Same contract as analyseHolds,
// many times slower.
std::array<HoldResult, HoldCount> referenceHolds(const std::array<CardCode, HandSize> &hand, CardSet deck,
                                                 const PayTable &table);
