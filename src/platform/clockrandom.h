#pragma once

#include "model/randomsource.h"

#include <cstdint>
#include <random>

// The game's own source: a Mersenne twister seeded from the clock.
class ClockRandom final : public RandomSource
{
public:
    void Randomize() override;
    float next() override;

private:
    std::mt19937 m_engine;
};
