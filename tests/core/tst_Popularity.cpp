#include "support/DrawFixtures.h"
#include "support/SyntheticPopularity.h"

#include "core/PopularityFit.h"
#include "core/PopularityGame.h"
#include "core/PopularityModel.h"
#include "core/PopularityRelabel.h"
#include "core/PopularityReport.h"
#include "core/PrizeChance.h"

#include <QtTest>

#include <algorithm>
#include <numeric>
#include <random>

namespace {

const GameTableType Games = MakeGameTable(QString());

double Correlation(const std::vector<double> &x, const std::vector<double> &y)
{
    const double n = double(x.size());
    const double mx = std::accumulate(x.begin(), x.end(), 0.0) / n;
    const double my = std::accumulate(y.begin(), y.end(), 0.0) / n;
    double sxy = 0;
    double sxx = 0;
    double syy = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        sxy += (x[i] - mx) * (y[i] - my);
        sxx += (x[i] - mx) * (x[i] - mx);
        syy += (y[i] - my) * (y[i] - my);
    }
    return sxy / std::sqrt(sxx * syy);
}

std::vector<double> Ranks(const std::vector<double> &values)
{
    std::vector<size_t> order(values.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return values[a] < values[b]; });
    std::vector<double> ranks(values.size());
    for (size_t r = 0; r < order.size(); ++r)
        ranks[order[r]] = double(r);
    return ranks;
}

std::vector<NumberSet> RandomRows(int count, int maxNumber, int pick, unsigned seed)
{
    std::mt19937 engine(seed);
    std::vector<NumberSet> rows;
    std::vector<int> pool(static_cast<size_t>(maxNumber));
    std::iota(pool.begin(), pool.end(), 1);
    for (int r = 0; r < count; ++r) {
        std::shuffle(pool.begin(), pool.end(), engine);
        NumberSet row = 0;
        for (int k = 0; k < pick; ++k)
            row |= NumberBit(pool[size_t(k)]);
        rows.push_back(row);
    }
    return rows;
}

// Players who like birthdays (1..31), a few lucky numbers and the last
// draw's numbers, with some taste of their own for every number.
SyntheticPlayers TastefulPlayers(int game, bool flat)
{
    SyntheticPlayers players;
    players.Game = game;
    players.MaxNumber = Games[size_t(game)].MaxNumber;
    players.PickCount = Games[size_t(game)].PickCount;
    if (flat)
        return players;
    std::mt19937 engine(77);
    std::normal_distribution<double> taste(0, 0.12);
    for (int n = 1; n <= players.MaxNumber; ++n)
        players.Effects[size_t(n)] = (n <= 12 ? 0.25 : n <= 31 ? 0.1 : -0.15) + taste(engine);
    for (const int lucky : {3, 7, 8})
        players.Effects[size_t(lucky)] += 0.3;
    players.Repeat = 0.2;
    players.Neighbours = 0.25;
    return players;
}

} // namespace

// The popularity model against players whose taste is known, and its sums
// against every draw of a small game.
class PopularityTest : public QObject
{
    Q_OBJECT

private slots:
    void fit_recoversKnownPlayers_data();
    void fit_recoversKnownPlayers();
    void coWinners_agreeWithEveryDraw();
    void report_saysWhatTheHistoryAllows_data();
    void report_saysWhatTheHistoryAllows();
    void relabel_keepsTheWheelAndRaisesTheIndex();
};

void PopularityTest::fit_recoversKnownPlayers_data()
{
    QTest::addColumn<int>("game");
    QTest::addColumn<bool>("flat");
    QTest::addColumn<int>("partsCutAt");
    QTest::newRow("LOTO6") << GameLoto6 << false << 0;
    QTest::newRow("Mini LOTO") << GameMiniLoto << false << 0;
    QTest::newRow("LOTO6, every combination alike") << GameLoto6 << true << 0;
    // The rules change: the same sales give smaller pools from then on.
    QTest::newRow("LOTO6, pools cut midway") << GameLoto6 << false << 1000;
}

void PopularityTest::fit_recoversKnownPlayers()
{
    QFETCH(int, game);
    QFETCH(bool, flat);
    QFETCH(int, partsCutAt);
    SyntheticPlayers players = TastefulPlayers(game, flat);
    players.PartsCutAt = partsCutAt;
    const QVector<DrawRecord> history = SyntheticHistory(players, 2000, 11);
    const PopularityGame rules = PopularityGameOf(game, Games[size_t(game)]);
    const PopularityFit fit = FitPopularity(history, rules);
    QVERIFY(fit.Model);
    QCOMPARE(fit.UsedDraws, 2000);
    QVERIFY(fit.RSquared);
    qInfo("out of sample: R² = %.2f over %lld draws, first prize deviance %.1f%% less",
          *fit.RSquared, fit.PredictedDraws, 100 * fit.FirstTierGain.value_or(0));

    const std::vector<NumberSet> rows = RandomRows(1000, players.MaxNumber, players.PickCount, 5);
    std::vector<double> fitted;
    for (const NumberSet row : rows)
        fitted.push_back(fit.Model->payout(row).Index);
    if (flat) {
        for (const double index : fitted)
            QVERIFY2(std::abs(index - 100) <= 5, qPrintable(QString::number(index)));
        // Nothing to find: a model that saw the counts it predicts would find something.
        QVERIFY2(*fit.RSquared < 0.05, qPrintable(QString::number(*fit.RSquared)));
        return;
    }
    std::vector<double> trueEffects;
    std::vector<double> fittedEffects;
    for (int n = 1; n <= players.MaxNumber; ++n) {
        trueEffects.push_back(players.Effects[size_t(n)]);
        fittedEffects.push_back(fit.Model->parameters().Effects[size_t(n)]);
    }
    const double effects = Correlation(trueEffects, fittedEffects);
    QVERIFY2(effects >= 0.9, qPrintable(QString::number(effects)));
    QVERIFY(std::abs(fit.Model->parameters().Repeat - players.Repeat) < 0.05);
    // The tickets sold of the recent draws, which the expected yen rests on.
    const double tickets = fit.Model->parameters().Tickets / players.Tickets;
    QVERIFY2(std::abs(tickets - 1) < 0.1, qPrintable(QString::number(tickets)));

    PopularityModel::Parameters truth = fit.Model->parameters();
    truth.Effects = players.Effects;
    truth.Repeat = players.Repeat;
    const PopularityModel known(rules, truth);
    std::vector<double> expected;
    for (const NumberSet row : rows)
        expected.push_back(known.payout(row).Index);
    const double ranks = Correlation(Ranks(expected), Ranks(fitted));
    QVERIFY2(ranks >= 0.8, qPrintable(QString::number(ranks)));
    QVERIFY2(*fit.RSquared > 0.8, qPrintable(QString::number(*fit.RSquared)));
}

// Twelve numbers, four picked and one bonus: every draw and every ticket can
// be walked, so the expected co-winners of a row are summed directly.
void PopularityTest::coWinners_agreeWithEveryDraw()
{
    const GameInfo info{12, 4, QStringLiteral("small"), QString()};
    PopularityGame rules = PopularityGameOf(GameMiniLoto, info);
    // All four, three with the bonus, three, two with or without it.
    rules.Tiers = {PopularityTier{4, 0, 0, 0}, PopularityTier{3, 1, 1, 0},
                   PopularityTier{3, 0, 0, 0}, PopularityTier{2, 0, 1, 0}};
    PopularityModel::Parameters parameters;
    for (int n = 1; n <= 12; ++n)
        parameters.Effects[size_t(n)] = 0.1 * (n % 5) - 0.2;
    parameters.Repeat = 0.3;
    parameters.Previous = NumberBit(2) | NumberBit(5) | NumberBit(11) | NumberBit(12);
    parameters.Tickets = 1000;
    parameters.PoolYen = {1e6, 1e5, 1e5, 1e5, 0};
    const PopularityModel model(rules, parameters);

    std::vector<NumberSet> sets;
    for (NumberSet s = 0; s < (NumberSet(1) << 12); ++s) {
        if (__builtin_popcountll(s) == 4)
            sets.push_back(s << 1);
    }
    double everyone = 0;
    for (const NumberSet s : sets)
        everyone += model.ticketsOn(s);
    QVERIFY(std::abs(everyone - 1000) < 1e-6);

    const NumberSet row = NumberBit(1) | NumberBit(2) | NumberBit(7) | NumberBit(9);
    for (int tier = 1; tier <= rules.TierCount; ++tier) {
        double wins = 0;
        double winners = 0;
        double outcomes = 0;
        for (const NumberSet main : sets)
            for (int bonus = 1; bonus <= 12; ++bonus) {
                if (main & NumberBit(bonus))
                    continue;
                ++outcomes;
                const auto tierOf = [&](NumberSet s) {
                    return rules.tierOf(CountNumbers(s & main), (s & NumberBit(bonus)) ? 1 : 0);
                };
                if (tierOf(row) != tier)
                    continue;
                ++wins;
                for (const NumberSet other : sets) {
                    if (tierOf(other) == tier)
                        winners += model.ticketsOn(other);
                }
            }
        QVERIFY(qFuzzyCompare(model.winChance(tier), wins / outcomes));
        QVERIFY2(std::abs(model.coWinners(row, tier) / (winners / wins) - 1) < 1e-9,
                 qPrintable(QStringLiteral("tier %1: %2 against %3")
                                .arg(tier)
                                .arg(model.coWinners(row, tier))
                                .arg(winners / wins)));
    }
}

void PopularityTest::report_saysWhatTheHistoryAllows_data()
{
    QTest::addColumn<QVector<DrawRecord>>("history");
    QTest::addColumn<QString>("expected"); // a regular expression one line matches

    QVector<DrawRecord> numbersOnly = FixtureDraws(GameLoto6, 200);
    for (DrawRecord &draw : numbersOnly)
        draw.Winners.fill(DrawRecord::Unknown);
    const SyntheticPlayers players = TastefulPlayers(GameLoto6, false);
    QTest::newRow("no draws") << QVector<DrawRecord>() << QStringLiteral("対象の抽選がありません");
    QTest::newRow("no winner counts")
        << numbersOnly << QStringLiteral("当選口数と賞金の記録がある回がないため");
    QTest::newRow("too few") << SyntheticHistory(players, 20, 3)
                             << QStringLiteral("記録がある回が 20 回しかない");
    QTest::newRow("fitted") << SyntheticHistory(players, 300, 3)
                            << QStringLiteral("4等口数 R² = -?\\d+\\.\\d\\d（");
    // Counts and prizes that follow no players at all.
    QTest::newRow("counts at random")
        << FixtureDraws(GameLoto6, 300) << QStringLiteral("4等口数 R² = -?\\d+\\.\\d\\d（");
}

void PopularityTest::report_saysWhatTheHistoryAllows()
{
    QFETCH(QVector<DrawRecord>, history);
    QFETCH(QString, expected);
    const PopularityGame rules = PopularityGameOf(GameLoto6, Games[GameLoto6]);
    const QStringList lines = PopularityReportLines(FitPopularity(history, rules), rules);
    QVERIFY2(!lines.filter(QRegularExpression(expected)).isEmpty(),
             qPrintable(lines.join(QLatin1Char('\n'))));
    QVERIFY(!lines.join(QString()).contains(QStringLiteral("nan"), Qt::CaseInsensitive));
}

// A wheel of ten labels: every assignment keeps its rows' shape, and the one
// found pays at least what the given order pays.
void PopularityTest::relabel_keepsTheWheelAndRaisesTheIndex()
{
    const PopularityGame rules = PopularityGameOf(GameLoto6, Games[GameLoto6]);
    PopularityModel::Parameters parameters;
    for (int n = 1; n <= 43; ++n)
        parameters.Effects[size_t(n)] = n <= 31 ? 0.2 : -0.3;
    parameters.Tickets = 1.5e7;
    parameters.PoolYen = {4e8, 1e8, 1e8, 2e8, 0};
    const PopularityModel model(rules, parameters);
    const std::vector<NumberSet> wheel = RandomRows(12, 10, 6, 8);
    const std::vector<int> chosen{1, 2, 3, 4, 5, 6, 38, 39, 40, 41};

    const PopularityRelabel result = RelabelForPayout(model, wheel, chosen);
    QCOMPARE(result.Rows, 12);
    std::vector<int> numbers = result.Numbers;
    std::sort(numbers.begin(), numbers.end());
    QCOMPARE(numbers, chosen);
    double after = 0;
    for (const NumberSet labels : wheel) {
        NumberSet row = 0;
        for (int l = 1; l <= 10; ++l) {
            if (labels & NumberBit(l))
                row |= NumberBit(result.Numbers[size_t(l - 1)]);
        }
        after += model.payout(row).Index / 12;
    }
    QVERIFY(std::abs(after - result.IndexAfter) < 1e-6);
    QVERIFY2(result.IndexAfter > result.IndexBefore + 1,
             qPrintable(QStringLiteral("%1 -> %2").arg(result.IndexBefore).arg(result.IndexAfter)));

    // A number chosen twice is no relabelling at all.
    const std::vector<int> twice{1, 1, 3, 4, 5, 6, 38, 39, 40, 41};
    QCOMPARE(RelabelForPayout(model, wheel, twice).Numbers, twice);
}

QTEST_MAIN(PopularityTest)
#include "tst_Popularity.moc"
