#pragma once

#include "core/NumberSets.h"
#include "core/PopularityModel.h"

#include <vector>

// Which chosen number each label of a wheel stands for. A wheel's guarantee
// holds under any assignment, so the assignment is free to favour rows that
// few others pick; no assignment changes any chance of winning.
struct PopularityRelabel
{
    // Numbers[i]: the chosen number label i + 1 stands for.
    std::vector<int> Numbers;
    // The mean payout index of the wheel's rows with the chosen numbers in
    // the order given, and with Numbers.
    double IndexBefore = 0;
    double IndexAfter = 0;
    // Rows counted: those of exactly the game's pick count of labels.
    int Rows = 0;
};

// wheelRows hold labels 1..v as number sets, v the count of chosen numbers,
// which must be distinct numbers of the model's game; otherwise the chosen
// order comes back unchanged. A local search over swaps of two labels,
// from the order given and from a few shuffled ones, keeps the best.
PopularityRelabel RelabelForPayout(const PopularityModel &model,
                                   const std::vector<NumberSet> &wheelRows,
                                   const std::vector<int> &chosen);
