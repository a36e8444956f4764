#pragma once

#include "core/GameTable.h"
#include "core/RandomSource.h"

#include <array>

// Index 0 unused so numbers index directly (1..43 and 1..6).
using Thresholds = std::array<int, BoardSlots>;
using Combination = std::array<int, MaxPickCount + 1>;

// Draws one combination: numbers are drawn uniformly from 1..n, each draw
// counts a hit, and a number enters when its hit count reaches its threshold
// exactly. Fills selected[1..k] in the order the numbers entered.
// Every threshold in 1..n must lie in 1..5 and n > k; a threshold outside
// 1..5 is taken as the nearer end of that range, n as at most 43 and k as at
// most min(n, 6), so the loop always ends.
void DrawCombination(const Thresholds &thresholds, int n, int k, RandomSource &random,
                     Combination &selected);

// Ascending order of selected[1..k] in place.
void SortCombination(Combination &selected, int k);
