#pragma once

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
