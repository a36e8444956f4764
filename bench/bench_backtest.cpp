// The back-test of a large save area: 1,000,000 LOTO6 rows against 2,200
// draws (2.2 billion row-draw pairs), on one thread and on every core.
//   bench_backtest [rows] [draws]
#include "bench/BenchSupport.h"
#include "core/Backtest.h"
#include "core/GridCellStore.h"
#include "core/SavedRows.h"
#include "core/WorkControl.h"

#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

// Draws as the lottery makes them: six numbers, a bonus from the rest.
QVector<DrawRecord> Draws(int count)
{
    RandomSource random(777u);
    QVector<DrawRecord> draws;
    for (int d = 1; d <= count; ++d) {
        DrawRecord draw;
        draw.Game = GameLoto6;
        draw.DrawNumber = d;
        draw.MainCount = 6;
        NumberSet taken = 0;
        for (int k = 0; k < 7; ++k) {
            int n = 0;
            do {
                n = 1 + int(random.next() * 43);
            } while (taken & NumberBit(n));
            taken |= NumberBit(n);
            if (k < 6)
                draw.Numbers[size_t(k)] = n;
            else
                draw.Bonus = n;
        }
        std::sort(draw.Numbers.begin(), draw.Numbers.end());
        draw.PrizeYen = {200000000, 10000000, 300000, 6800, 1000};
        draws.append(draw);
    }
    return draws;
}

} // namespace

int main(int argc, char **argv)
{
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int drawCount = argc > 2 ? std::atoi(argv[2]) : 2200;

    GridCellStore store(rows + 1, BenchRows::ColumnCount);
    BenchRows source(2024u);
    constexpr int Block = 65536;
    for (int top = 1; top <= rows; top += Block) {
        const int bottom = std::min(rows, top + Block - 1);
        QString text;
        for (int r = top; r <= bottom; ++r) {
            if (r != top)
                text += QLatin1Char('\r');
            source.draw(GameLoto6);
            source.appendCells(text, r, 1, 6);
        }
        store.setBlockText(top, 1, text);
    }
    const std::array<QVector<DrawRecord>, GameCount> draws{Draws(drawCount), {}};

    std::printf("bench_backtest: %d LOTO6 rows x %d draws = %.3g pairs, %u cores\n", rows,
                drawCount, double(rows) * drawCount, std::thread::hardware_concurrency());
    Stopwatch timer;
    timer.start();
    const SavedRowSets sets = ReadSavedRows(store);
    std::printf("  %-34s %7.3f s (cpu %.3f s)\n", "rows to number sets", timer.wall(), timer.cpu());

    for (const int threads : {1, 0}) {
        WorkControl control;
        timer.start();
        const BacktestResult result = RunBacktest(sets, draws, control, threads);
        const double wall = timer.wall();
        const BacktestSummary &summary = result.Games[GameLoto6];
        char label[64];
        std::snprintf(label, sizeof label, "back-test, %s",
                      threads == 1 ? "1 thread" : "all cores");
        std::printf(
            "  %-34s %7.3f s (cpu %.3f s) %6.2f billion pairs/s  wins %lld/%lld/%lld/%lld/%lld\n",
            label, wall, timer.cpu(), double(rows) * drawCount / wall / 1e9,
            static_cast<long long>(summary.Wins[0]), static_cast<long long>(summary.Wins[1]),
            static_cast<long long>(summary.Wins[2]), static_cast<long long>(summary.Wins[3]),
            static_cast<long long>(summary.Wins[4]));
        std::fflush(stdout);
    }
    return 0;
}
