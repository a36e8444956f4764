#pragma once

#include <QtGlobal>

#include <vector>

// The proof of a wheel's guarantee, counted over every case: each way m of
// the chosen numbers can be among the drawn ones is tried against every row.
// It is written apart from the search on purpose, so a fault in one cannot
// hide in the other.
struct WheelCheckResult
{
    bool Valid = false;    // the rows use only chosen numbers, none twice
    quint64 Cases = 0;     // C(v, m)
    quint64 Uncovered = 0; // cases no row meets in t numbers or more
};

// numbers: the chosen numbers (at most 62, distinct); rows: in the same numbers.
WheelCheckResult CheckWheel(const std::vector<int> &numbers,
                            const std::vector<std::vector<int>> &rows, int t, int m);
