// Wheels: the size the search reaches in each case of the table of best known
// sizes, the lotto designs, and the time of the proof and of the prize spread.
//   bench_wheel [seconds per case, default 10] [only the cases named so: k6t4, k6t4v18]
#include "bench/BenchSupport.h"
#include "core/WheelBounds.h"
#include "core/WheelBuild.h"
#include "core/WheelCheck.h"
#include "core/WheelGame.h"
#include "core/WheelSpread.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

std::vector<int> FirstNumbers(int v)
{
    std::vector<int> numbers;
    for (int n = 1; n <= v; ++n)
        numbers.push_back(n);
    return numbers;
}

int GameFor(int pick)
{
    for (int g = 0; g < WheelGameCount(); ++g) {
        if (WheelGameAt(g).PickCount == pick)
            return g;
    }
    return -1;
}

WheelResult Build(int game, int v, int m, int t, double seconds, int target)
{
    WheelRequest request;
    request.Game = game;
    request.Numbers = FirstNumbers(v);
    request.Match = t;
    request.If = m;
    request.Seconds = seconds;
    request.TargetRows = target;
    return BuildWheel(request);
}

// One line per case; returns whether it met its goal.
bool PrintCase(int k, int v, int m, int t, const WheelResult &result, int known)
{
    const int found = int(result.Rows.size());
    const bool proved = result.Uncovered == 0 && found > 0;
    bool goal = found > 0 && found <= known;
    if (known > 100)
        goal = found > 0 && (known > 1000 || found <= known * 1.1);
    std::printf("  k%d v%-2d %d if %d  found %5d  best %5d  %+5.1f%%  %6.2f s  %-6s  %s%s\n", k, v,
                t, m, found, known, known ? 100.0 * (found - known) / known : 0.0, result.Seconds,
                result.FromData ? "data" : "search", proved ? "proved" : "NOT PROVED",
                goal ? "" : "  (goal missed)");
    std::fflush(stdout);
    return goal && proved;
}

void TimeCheck(const std::vector<std::vector<int>> &rows)
{
    constexpr int Repeats = 200;
    Stopwatch timer;
    timer.start();
    WheelCheckResult check;
    for (int i = 0; i < Repeats; ++i)
        check = CheckWheel(FirstNumbers(20), rows, 4, 4);
    std::printf("check of a %zu-row wheel, v 20, 4 if 4: %.3f ms each (cpu %.3f ms; %llu of %llu"
                " uncovered)\n",
                rows.size(), timer.wall() * 1000 / Repeats, timer.cpu() * 1000 / Repeats,
                static_cast<unsigned long long>(check.Uncovered),
                static_cast<unsigned long long>(check.Cases));
}

void TimeSpread(const char *what, const std::vector<std::vector<int>> &rows)
{
    const WheelGame game = WheelGameAt(GameFor(6));
    Stopwatch timer;
    timer.start();
    const WheelSpread spread = ComputeWheelSpread(game, rows);
    std::printf("prize spread of %zu LOTO6 rows (%s): %.3f s (cpu %.3f s)\n", rows.size(), what,
                timer.wall(), timer.cpu());
    for (const WheelTierSpread &tier : spread.Tiers)
        std::printf("    %s or better: %llu / %llu (%.5f%%), random rows %.5f%%\n",
                    qPrintable(tier.Name), static_cast<unsigned long long>(tier.Winning),
                    static_cast<unsigned long long>(tier.Outcomes), 100 * tier.fraction(),
                    100 * tier.RandomRows);
    std::fflush(stdout);
}

// Rows of six drawn at random from 1..43.
std::vector<std::vector<int>> RandomRows(int count)
{
    std::mt19937 random(7);
    std::vector<std::vector<int>> rows;
    while (int(rows.size()) < count) {
        std::vector<int> row;
        while (row.size() < 6) {
            const int n = int(random() % 43) + 1;
            if (std::find(row.begin(), row.end(), n) == row.end())
                row.push_back(n);
        }
        std::sort(row.begin(), row.end());
        rows.push_back(row);
    }
    return rows;
}

} // namespace

// "k6t4" or "k6t4v18" on the command line: only those cases, for longer runs.
bool Wanted(const char *only, int k, int t, int v)
{
    if (!only)
        return true;
    char name[32];
    std::snprintf(name, sizeof name, "k%dt%dv%d", k, t, v);
    return std::strncmp(name, only, std::strlen(only)) == 0;
}

int main(int argc, char **argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    const char *only = argc > 2 ? argv[2] : nullptr;
    std::printf("bench_wheel: covering designs C(v,k,t), %.0f s each at most, both cores\n",
                seconds);
    int goals = 0;
    int cases = 0;
    std::vector<std::vector<int>> checkWheel;
    std::vector<std::vector<int>> bigWheel;
    for (const auto &[k, t] : {std::pair{6, 3}, {6, 4}, {6, 5}, {5, 3}, {5, 4}}) {
        for (int v = 7; v <= 20; ++v) {
            if (!Wanted(only, k, t, v))
                continue;
            const int known = BestKnownRows(v, k, t, t);
            const WheelResult result = Build(GameFor(k), v, t, t, seconds, known);
            goals += PrintCase(k, v, t, t, result, known) ? 1 : 0;
            ++cases;
            if (k == 6 && t == 4 && v == 20)
                checkWheel = result.Rows;
            if (k == 6 && result.Rows.size() >= 1000 && bigWheel.empty())
                bigWheel = result.Rows;
        }
    }
    if (only) {
        std::printf("goals met: %d of %d\n", goals, cases);
        return 0;
    }
    std::printf("lotto designs (LOTO6)\n");
    for (const auto &[v, t, m] : {std::array{10, 4, 6}, {10, 4, 5}, {12, 4, 6}, {16, 3, 6}}) {
        const int known = BestKnownRows(v, 6, m, t);
        goals += PrintCase(6, v, m, t, Build(GameFor(6), v, m, t, seconds, known), known) ? 1 : 0;
        ++cases;
    }
    std::printf("goals met: %d of %d\n", goals, cases);
    TimeCheck(checkWheel);
    bigWheel.resize(std::min<size_t>(bigWheel.size(), 1000));
    TimeSpread("a wheel's first 1,000 rows", bigWheel);
    TimeSpread("drawn at random from 43", RandomRows(1000));
    return 0;
}
