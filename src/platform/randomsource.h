#pragma once

#include <cstdint>
#include <random>

// Uniform numbers in [0, 1). The game draws every card from one of these,
// so that a test can put in a source that returns chosen numbers.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    // Seeds the source from the clock; sources with a fixed script ignore it.
    virtual void Randomize() = 0;
    virtual float next() = 0;
};

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
