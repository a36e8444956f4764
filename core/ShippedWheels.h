#pragma once

#include <vector>

// Wheels found by our own search run far longer than a dialog waits, shipped
// with the program (data/wheels.txt) so that those cases open at once. The
// rows are in the numbers 1..v; whoever uses one relabels it to the chosen
// numbers and proves it again, as any wheel, before showing it.
//
// The rows kept for v numbers, rows of k, t hit whenever m are among the v;
// empty when none is kept.
std::vector<std::vector<int>> ShippedWheel(int v, int k, int t, int m);

struct ShippedCase
{
    int V, K, T, M;
};

// Every case a wheel is kept for.
std::vector<ShippedCase> ShippedWheelCases();
