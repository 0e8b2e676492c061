#include "platform/clockrandom.h"

#include <chrono>

void ClockRandom::Randomize()
{
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::seed_seq seed{std::uint32_t(ticks), std::uint32_t(std::uint64_t(ticks) >> 32)};
    m_engine.seed(seed);
}

float ClockRandom::next()
{
    return unitFromBits(std::uint32_t(m_engine()));
}
