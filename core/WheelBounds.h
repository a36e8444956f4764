#pragma once

// Sizes to measure a wheel against: v numbers, rows of k, at least t of them
// hit whenever m of the drawn numbers are among the v.

// No wheel can have fewer rows. For m = t the Schönheim bound
// ceil(v/k ceil((v-1)/(k-1) ... ceil((v-t+1)/(k-t+1)))); for m > t the number
// of cases over the most one row can meet. 0 for a case with no wheel.
int WheelLowerBound(int v, int k, int m, int t);

// The fewest rows anyone is known to have reached for the cases we keep
// (covering designs of rows of 5 and 6 for v = 7..20, and a few with m > t);
// 0 when the case is not kept.
int BestKnownRows(int v, int k, int m, int t);
