#include "core/Generator.h"

#include "core/GameTable.h"

#include <algorithm>

void DrawCombination(const Thresholds &thresholds, int n, int k, RandomSource &random,
                     Combination &selected)
{
    n = std::clamp(n, 1, HighestNumber);
    k = std::clamp(k, 0, std::min(n, static_cast<int>(selected.size()) - 1));

    // The board only holds 1..5; anything else is pulled into that range so a
    // bad value can never keep the loop from ending (a threshold below 1
    // would never be reached, a huge one would take for ever).
    std::array<int, HighestNumber + 1> threshold{};
    for (int i = 1; i <= n; ++i)
        threshold[i] = std::clamp(thresholds[i], 1, 5);

    std::array<int, HighestNumber + 1> hitCount{};
    int picked = 0;
    const double range = n;
    while (picked < k) {
        // u < 1 always, so the product stays below n and the number in 1..n.
        const int drawn = static_cast<int>(static_cast<double>(random.next()) * range + 1.0);
        if (++hitCount[drawn] == threshold[drawn])
            selected[++picked] = drawn;
    }
}

void SortCombination(Combination &selected, int k)
{
    for (int pass = k; pass >= 1; --pass) {
        for (int j = 1; j < pass; ++j) {
            if (selected[j + 1] < selected[j])
                std::swap(selected[j], selected[j + 1]);
        }
    }
}
