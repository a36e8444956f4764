#pragma once

#include "core/Generator.h"

// All read selected[1..k], already in ascending order.
int CombinationSum(const Combination &selected, int k);
int CombinationOddCount(const Combination &selected, int k);
// Population deviation rounded to the nearest integer, exact halves to even.
int CombinationDeviation(const Combination &selected, int k);
