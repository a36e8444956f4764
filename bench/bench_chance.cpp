// The exact chance that the save area wins next draw, over every outcome
// of the game, for 1, 1,000 and 100,000 rows.
#include "bench/BenchSupport.h"
#include "core/PrizeChance.h"
#include "core/WorkControl.h"

#include <array>
#include <cstdio>
#include <vector>

namespace {

std::vector<NumberSet> Rows(int game, int count)
{
    BenchRows source(99u);
    const int pick = GameRuleOf(game).PickCount;
    std::vector<NumberSet> rows;
    for (int r = 0; r < count; ++r) {
        source.draw(game);
        NumberSet set = 0;
        for (int c = 1; c <= pick; ++c)
            set |= NumberBit(source.number(c));
        rows.push_back(set);
    }
    return rows;
}

} // namespace

int main()
{
    const GameTableType games = MakeGameTable(QString());
    std::printf("bench_chance: exact chance of a prize next draw\n");
    for (const int game : {GameLoto6, GameMiniLoto, GameLoto7}) {
        for (const int count : {1, 1000, 100000}) {
            const std::vector<NumberSet> rows = Rows(game, count);
            WorkControl control;
            Stopwatch timer;
            timer.start();
            const ChanceResult result = ComputeChance(game, games[size_t(game)], rows, control);
            const double wall = timer.wall();
            const OutcomeCount &any = result.AtLeast[size_t(TierCount(game) - 1)];
            std::printf("  %-9s %7d rows %7.3f s (cpu %.3f s)  any prize %llu / %llu (%.4f%%),"
                        " random rows %.4f%%\n",
                        std::array{"LOTO6", "Mini LOTO", "LOTO7"}[size_t(game)], count, wall,
                        timer.cpu(), static_cast<unsigned long long>(any.Winning),
                        static_cast<unsigned long long>(any.Outcomes), 100 * any.fraction(),
                        100 * result.IndependentAtLeast[size_t(TierCount(game) - 1)]);
            std::fflush(stdout);
        }
    }
    return 0;
}
