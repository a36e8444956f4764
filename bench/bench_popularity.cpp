// The popularity model: the fit over a long history (each draw also
// predicted from the draws before it) and the payout of a million rows.
//   build/bench/bench_popularity
// The same fit and out-of-sample R² on a published draw file instead:
//   build/bench/bench_popularity --history FILE

#include "BenchSupport.h"

#include "support/SyntheticPopularity.h"

#include "core/DrawFile.h"
#include "core/PopularityFit.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

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
    if (!fit.Model) {
        std::printf("%s: no model (%lld draws used, %lld malformed)\n", qPrintable(info.GameName),
                    fit.UsedDraws, fit.Malformed);
        return;
    }

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

// A published history read as the import reads it: how many draws the fit
// uses, how they split into the first training draws and the draws each
// predicted from those before it alone, and the R² reached on those.
int MeasureHistory(const QString &path, const GameTableType &games)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
    }
    const DrawFile draws = ReadDrawFile(file.readAll(), QFileInfo(path).fileName());
    if (draws.Game < 0) {
        std::fprintf(stderr, "%s: no game's draw file\n", qPrintable(path));
        return 1;
    }
    const GameInfo &info = games[size_t(draws.Game)];
    std::printf("%s: %lld rows, %lld draws read, %lld refused\n", qPrintable(info.GameName),
                qint64(draws.Rows), qint64(draws.Draws.size()), qint64(draws.Rejected.size()));
    Stopwatch watch;
    watch.start();
    const PopularityFit fit = FitPopularity(draws.Draws, PopularityGameOf(draws.Game, info));
    std::printf("fit: %.2f s wall, %.2f s cpu; %lld draws used (%d to %d), %lld without winner"
                " counts, %lld malformed\n",
                watch.wall(), watch.cpu(), fit.UsedDraws, fit.FirstDraw, fit.LastDraw,
                fit.WithoutCounts, fit.Malformed);
    std::printf("split: first %lld draws for training only, the later %lld each predicted from"
                " the draws before it\n",
                fit.UsedDraws - fit.PredictedDraws, fit.PredictedDraws);
    std::printf("%d等 winners per ticket out of sample: R² = %.3f; first prize deviance %.1f%%"
                " less than with no popularity over %lld draws\n",
                fit.Tier, fit.RSquared.value_or(0), 100 * fit.FirstTierGain.value_or(0),
                fit.FirstTierDraws);
    return fit.RSquared ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const GameTableType games = MakeGameTable(QString());
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments.at(1) == QStringLiteral("--history"))
        return MeasureHistory(arguments.at(2), games);
    for (int game = 0; game < GameCount; ++game)
        Measure(game, games[size_t(game)]);
    return 0;
}
