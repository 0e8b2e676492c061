#pragma once

#include <cstdint>

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

// Turns the top 24 of 32 random bits into a float in [0, 1). A float holds
// 24 bits exactly, so the result can never round up to 1.
inline float unitFromBits(std::uint32_t bits)
{
    return float(bits >> 8) * (1.0f / 16777216.0f);
}
