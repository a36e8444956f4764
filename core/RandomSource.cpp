#include "core/RandomSource.h"

#include <chrono>

float RandomSource::ToUnit(std::uint32_t word)
{
    // The top 24 bits fill a float's mantissa exactly; the largest value is
    // 1 - 2^-24, so u * N + 1 never reaches N + 1.
    constexpr float scale = 1.0f / 16777216.0f;
    return static_cast<float>(word >> 8) * scale;
}

float RandomSource::next()
{
    return ToUnit(static_cast<std::uint32_t>(m_engine()));
}

std::uint32_t ClockSeed()
{
    const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
    const auto fine = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    const auto mixed = static_cast<std::uint64_t>(wall) ^ (static_cast<std::uint64_t>(fine) << 17);
    return static_cast<std::uint32_t>(mixed ^ (mixed >> 32));
}
