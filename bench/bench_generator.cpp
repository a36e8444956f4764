// Combinations per second of the threshold draw, sort and statistics, the
// work a run does for every row.
#include "bench/BenchSupport.h"

#include <cstdio>

namespace {

struct Case
{
    const char *Name;
    int N;
    int K;
    int Threshold;
};

double CombinationsPerSecond(const Case &c, int combinations, long long &checksum)
{
    Thresholds thresholds{};
    thresholds.fill(c.Threshold);
    RandomSource random(12345u);
    Combination selected{};
    Stopwatch timer;
    timer.start();
    for (int r = 0; r < combinations; ++r) {
        DrawCombination(thresholds, c.N, c.K, random, selected);
        SortCombination(selected, c.K);
        // Keeps the work from being optimised away.
        checksum += CombinationSum(selected, c.K) + CombinationDeviation(selected, c.K)
                    + CombinationOddCount(selected, c.K);
    }
    return combinations / timer.wall();
}

} // namespace

int main()
{
    const Case cases[] = {
        {"LOTO6, all thresholds 3", 43, 6, 3},
        {"LOTO6, all thresholds 5", 43, 6, 5},
        {"Mini LOTO, all thresholds 3", 31, 5, 3},
    };
    const int combinations = 1000000;
    long long checksum = 0;
    std::printf("bench_generator: %d combinations per case (draw, sort, statistics)\n",
                combinations);
    for (const Case &c : cases) {
        const double rate = CombinationsPerSecond(c, combinations, checksum);
        std::printf("  %-30s %12.0f combinations/s\n", c.Name, rate);
    }
    std::printf("  (checksum %lld)\n", checksum);
    return 0;
}
