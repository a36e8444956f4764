#include "core/PopularitySums.h"

#include <algorithm>

SymmetricSums SumsOf(NumberSet set, const NumberWeights &weights, int k)
{
    SymmetricSums e{};
    e[0] = 1;
    int size = 0;
    for (NumberSet rest = set; rest != 0; rest &= rest - 1) {
        const double w = weights[size_t(__builtin_ctzll(rest))];
        ++size;
        for (int j = std::min(size, k); j >= 1; --j)
            e[size_t(j)] += w * e[size_t(j - 1)];
    }
    return e;
}

SymmetricSums SumsWithout(const SymmetricSums &with, double w, int k)
{
    SymmetricSums e{};
    e[0] = 1;
    for (int j = 1; j <= k; ++j)
        e[size_t(j)] = with[size_t(j)] - w * e[size_t(j - 1)];
    return e;
}

SymmetricSums SumsDerivative(const SymmetricSums &with, double w, int k)
{
    const SymmetricSums without = SumsWithout(with, w, k);
    SymmetricSums d{};
    for (int j = 1; j <= k; ++j)
        d[size_t(j)] = w * without[size_t(j - 1)];
    return d;
}

ClassSums SumsOfDraw(const PopularityGame &game, const DrawSets &draw, const NumberWeights &weights)
{
    const int k = game.PickCount;
    const NumberSet other = NumbersUpTo(game.MaxNumber) & ~draw.Main & ~draw.Bonus;
    return {SumsOf(draw.Main, weights, k), SumsOf(draw.Bonus, weights, k),
            SumsOf(other, weights, k)};
}

double TierWeight(const PopularityGame &game, const ClassSums &sums, int tier)
{
    const PopularityTier &rule = game.Tiers[size_t(tier - 1)];
    const int k = game.PickCount;
    const int h = rule.MainHits;
    double total = 0;
    for (int b = rule.MinBonusHits; b <= rule.MaxBonusHits && h + b <= k; ++b)
        total += sums.Main[size_t(h)] * sums.Bonus[size_t(b)] * sums.Other[size_t(k - h - b)];
    return total;
}
