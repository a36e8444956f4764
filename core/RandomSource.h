#pragma once

#include <cstdint>
#include <random>

// Uniform single-precision values in [0, 1) with 24 random bits, so a value
// can never round up to 1.0 (which would draw the number N + 1).
class RandomSource
{
public:
    explicit RandomSource(std::uint32_t seed = 1)
        : m_engine(seed)
    {}
    void seed(std::uint32_t s) { m_engine.seed(s); }
    float next();

    // The value next() makes of one engine word.
    static float ToUnit(std::uint32_t word);

private:
    std::mt19937 m_engine;
};

// A seed from the system clock.
std::uint32_t ClockSeed();
