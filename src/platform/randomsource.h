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

    // Turns 24 random bits into a float in [0, 1). A float holds 24 bits
    // exactly, so the result can never round up to 1.
    static float unitFromBits(std::uint32_t bits);

private:
    std::mt19937 m_engine;
};
