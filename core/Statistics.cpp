#include "core/Statistics.h"

#include <cmath>

int CombinationSum(const Combination &selected, int k)
{
    int sum = 0;
    for (int i = 1; i <= k; ++i)
        sum += selected[i];
    return sum;
}

int CombinationOddCount(const Combination &selected, int k)
{
    int odd = 0;
    for (int i = 1; i <= k; ++i) {
        if (selected[i] % 2 != 0)
            ++odd;
    }
    return odd;
}

namespace {

// Nearest integer, an exact half to the even neighbour, whatever rounding
// mode the process happens to be in.
double RoundHalfToEven(double value)
{
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5)
        return lower + 1.0;
    if (fraction < 0.5)
        return lower;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

} // namespace

int CombinationDeviation(const Combination &selected, int k)
{
    if (k <= 0)
        return 0;
    // Single precision is exact here: S2 <= 6 * 43^2 and S1^2 <= 258^2.
    float s1 = 0.0f;
    float s2 = 0.0f;
    for (int i = 1; i <= k; ++i) {
        const float v = static_cast<float>(selected[i]);
        s1 += v;
        s2 += v * v;
    }
    const float kf = static_cast<float>(k);
    const float m = kf * s2 - s1 * s1;
    if (!(m > 0.0f))
        return 0;
    const double sigma = std::sqrt(static_cast<double>(m) / (static_cast<double>(k) * k));
    return static_cast<int>(RoundHalfToEven(sigma));
}
