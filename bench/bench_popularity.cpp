// The popularity model: the fit over a long history (each draw also
// predicted from the draws before it) and the payout of a million rows.
//   build/bench/bench_popularity

#include "BenchSupport.h"

#include "support/SyntheticPopularity.h"

#include "core/PopularityFit.h"

#include <QCoreApplication>

#include <cstdio>
#include <numeric>
#include <random>
#include <vector>

namespace {

constexpr int Draws = 2200;
constexpr int Rows = 1000000;

SyntheticPlayers Players(int game, const GameInfo &info)
{
    SyntheticPlayers players;
    players.Game = game;
    players.MaxNumber = info.MaxNumber;
    players.PickCount = info.PickCount;
    players.Tickets = 15e6;
    std::mt19937 engine(3);
    std::normal_distribution<double> taste(0, 0.1);
    for (int n = 1; n <= info.MaxNumber; ++n)
        players.Effects[size_t(n)] = (n <= 31 ? 0.1 : -0.2) + taste(engine);
    players.Repeat = 0.15;
    players.Neighbours = 0.2;
    return players;
}

void Measure(int game, const GameInfo &info)
{
    const QVector<DrawRecord> history = SyntheticHistory(Players(game, info), Draws, 1);
    const PopularityGame rules = PopularityGameOf(game, info);
    Stopwatch watch;
    watch.start();
    const PopularityFit fit = FitPopularity(history, rules);
    std::printf("%s: fit over %d draws: %.2f s wall, %.2f s cpu; out of sample over %lld draws:"
                " R² = %.2f, first prize deviance %.1f%% less than with no popularity\n",
                qPrintable(info.GameName), Draws, watch.wall(), watch.cpu(), fit.PredictedDraws,
                fit.RSquared.value_or(0), 100 * fit.FirstTierGain.value_or(0));

    std::mt19937 engine(9);
    std::vector<NumberSet> rows;
    rows.reserve(Rows);
    std::vector<int> pool(static_cast<size_t>(info.MaxNumber));
    std::iota(pool.begin(), pool.end(), 1);
    for (int r = 0; r < Rows; ++r) {
        std::shuffle(pool.begin(), pool.end(), engine);
        NumberSet row = 0;
        for (int k = 0; k < info.PickCount; ++k)
            row |= NumberBit(pool[size_t(k)]);
        rows.push_back(row);
    }
    watch.start();
    double index = 0;
    double yen = 0;
    for (const NumberSet row : rows) {
        const RowPayout payout = fit.Model->payout(row);
        index += payout.Index;
        yen += payout.yen();
    }
    std::printf("%s: index and expected yen of %d rows: %.2f s wall, %.2f s cpu"
                " (mean index %.1f, mean %.1f yen of %lld)\n",
                qPrintable(info.GameName), Rows, watch.wall(), watch.cpu(), index / Rows,
                yen / Rows, rules.PriceYen);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const GameTableType games = MakeGameTable(QString());
    for (int game = 0; game < GameCount; ++game)
        Measure(game, games[size_t(game)]);
    return 0;
}
