#include "support/DrawFixtures.h"
#include "support/TestFiles.h"

#include "core/Backtest.h"
#include "core/DrawFile.h"
#include "core/DrawFrequency.h"
#include "core/GridCellStore.h"
#include "core/Judgement.h"
#include "core/PrizeChance.h"
#include "core/SaveGridJudge.h"
#include "core/SavedRows.h"
#include "core/TicketRows.h"
#include "core/WinningNumbers.h"
#include "core/WorkControl.h"

#include <QtTest>

#include <random>

namespace {

using Counts = QList<quint64>;

const GameTableType Games = MakeGameTable(QString());

NumberSet SetOf(std::initializer_list<int> numbers)
{
    NumberSet set = 0;
    for (const int n : numbers)
        set |= NumberBit(n);
    return set;
}

// A save grid holding rows given as their number cells (columns 1..6).
GridCellStore SaveGrid(const QList<QStringList> &rows)
{
    GridCellStore store(int(rows.size()) + 1, GridColumnCount);
    for (int r = 0; r < rows.size(); ++r) {
        store.setText(r + 1, RowNumberColumn, QString::number(r + 1));
        for (int c = 0; c < rows.at(r).size(); ++c)
            store.setText(r + 1, FirstNumberColumn + c, rows.at(r).at(c));
    }
    return store;
}

QStringList Cells(std::initializer_list<int> numbers)
{
    QStringList cells;
    for (const int n : numbers)
        cells << QString::number(n);
    return cells;
}

// The tier a judgement's prize line names; 0 for none.
int TierOfLine(const QString &line)
{
    const QString digits = QStringLiteral("１２３４５");
    for (int t = 0; t < digits.size(); ++t) {
        if (line.contains(digits.at(t) + QStringLiteral("等")))
            return t + 1;
    }
    return 0;
}

// Walks every k-subset of 1..n as a number set.
template<typename Visit>
void ForEachSet(int n, int k, Visit visit, NumberSet set = 0, int from = 1)
{
    if (k == 0) {
        visit(set);
        return;
    }
    for (int x = from; x <= n - k + 1; ++x)
        ForEachSet(n, k - 1, visit, set | NumberBit(x), x + 1);
}

ChanceResult Chance(int game, const std::vector<NumberSet> &rows)
{
    WorkControl control;
    return ComputeChance(game, Games[size_t(game)], rows, control);
}

} // namespace

// The analysis arithmetic: the exact chance of a prize, the back-test
// against the judgement's rules, and counts of drawn numbers against chance.
class AnalysisTest : public QObject
{
    Q_OBJECT

private slots:
    void chance_knownValues_data();
    void chance_knownValues();
    void chance_agreesWithEveryOutcome_data();
    void chance_agreesWithEveryOutcome();
    void chance_leavesOutRowsThatAreNoCombination();
    void rowsThatAreNoTicket_data();
    void rowsThatAreNoTicket();

    void backtest_agreesWithTheJudgement();
    void backtest_paysOnlyStoredPrizes();
    void backtest_loto7FileByHand();
    void cancelInTheMiddle_data();
    void cancelInTheMiddle();

    void frequency_countsAndGaps();
    void frequency_chiSquareFollowsChance();
    void boardFromCounts_data();
    void boardFromCounts();
};

void AnalysisTest::chance_knownValues_data()
{
    QTest::addColumn<int>("game");
    QTest::addColumn<int>("copies");
    // Tier t or better won, out of the main sets, or out of the main sets
    // times the bonus choices where the bonus numbers can change that.
    QTest::addColumn<Counts>("atLeast");
    QTest::addColumn<Counts>("perRowTiers"); // over all outcomes

    const Counts loto6{1, 259, 223, 10213, 165613};
    const Counts mini{1, 156, 131, 3381};
    const Counts loto6Tiers{37, 222, 7992, 369630, 5749800};
    const Counts miniTiers{26, 130, 3250, 84500};
    QTest::newRow("one LOTO6 row") << GameLoto6 << 1 << loto6 << loto6Tiers;
    QTest::newRow("two identical LOTO6 rows") << GameLoto6 << 2 << loto6 << loto6Tiers;
    QTest::newRow("one Mini LOTO row") << GameMiniLoto << 1 << mini << miniTiers;
    QTest::newRow("three identical Mini LOTO rows") << GameMiniLoto << 3 << mini << miniTiers;
    // Over C(37, 7) × C(30, 2) = 4,478,530,320 outcomes: any prize 3.8269 %.
    QTest::newRow("one LOTO7 row")
        << GameLoto7 << 1 << Counts{1, 6525, 211, 9346, 151446, 171388260}
        << Counts{435, 6090, 85260, 3973725, 61813500, 105509250};
}

void AnalysisTest::chance_knownValues()
{
    QFETCH(int, game);
    QFETCH(int, copies);
    QFETCH(Counts, atLeast);
    QFETCH(Counts, perRowTiers);
    const GameInfo &info = Games[size_t(game)];
    std::vector<int> numbers{5, 12, 19, 28, 31, 36, 37};
    numbers.resize(size_t(info.PickCount));
    NumberSet row = 0;
    for (const int n : numbers)
        row |= NumberBit(n);
    const ChanceResult result = Chance(game, std::vector<NumberSet>(size_t(copies), row));

    QVERIFY(!result.Cancelled);
    QCOMPARE(result.Rows, qint64(copies));
    QCOMPARE(result.DistinctRows, qint64(1));
    const std::array<quint64, MaxTiers> single = SingleRowTierOutcomes(info);
    for (int t = 0; t < TierCount(game); ++t) {
        QCOMPARE(result.AtLeast[size_t(t)].Winning, atLeast.at(t));
        QCOMPARE(result.AtLeast[size_t(t)].Outcomes,
                 AtLeastNeedsBonus(game, t) ? BonusOutcomes(info) : MainOutcomes(info));
        QCOMPARE(single[size_t(t)], perRowTiers.at(t));
        QCOMPARE(result.ExpectedWins[size_t(t)],
                 copies * double(perRowTiers.at(t)) / double(BonusOutcomes(info)));
    }
    // Rows drawn at random may differ; these never do, so they cover less.
    const double one = result.AtLeast[size_t(TierCount(game) - 1)].fraction();
    QVERIFY(qFuzzyCompare(result.IndependentAtLeast[size_t(TierCount(game) - 1)],
                          1 - std::pow(1 - one, copies)));
}

void AnalysisTest::chance_agreesWithEveryOutcome_data()
{
    QTest::addColumn<int>("game");
    QTest::addColumn<QList<NumberSet>>("rows");

    // Rows that share four, three or two numbers, so the covered outcomes
    // overlap in every way.
    QTest::newRow("Mini LOTO") << GameMiniLoto
                               << QList<NumberSet>{
                                      SetOf({1, 2, 3, 4, 5}),      SetOf({1, 2, 3, 4, 6}),
                                      SetOf({1, 2, 3, 7, 8}),      SetOf({1, 2, 20, 21, 22}),
                                      SetOf({27, 28, 29, 30, 31}), SetOf({5, 6, 7, 8, 9})};
    QTest::newRow("LOTO6") << GameLoto6
                           << QList<NumberSet>{SetOf({1, 2, 3, 4, 5, 6}), SetOf({1, 2, 3, 4, 5, 7}),
                                               SetOf({1, 2, 3, 4, 40, 41}),
                                               SetOf({1, 2, 3, 30, 31, 32}),
                                               SetOf({38, 39, 40, 41, 42, 43})};
    QTest::newRow("LOTO7") << GameLoto7
                           << QList<NumberSet>{
                                  SetOf({1, 2, 3, 4, 5, 6, 7}), SetOf({1, 2, 3, 4, 5, 6, 8}),
                                  SetOf({1, 2, 3, 4, 5, 30, 31}), SetOf({1, 2, 3, 20, 21, 22, 23}),
                                  SetOf({31, 32, 33, 34, 35, 36, 37})};
}

// Counts the outcomes main set by main set, judging every row by the prize
// rules; the bonus choices that win are those that take a number a row
// missed, of a row that wins with it.
void AnalysisTest::chance_agreesWithEveryOutcome()
{
    QFETCH(int, game);
    QFETCH(QList<NumberSet>, rows);
    QVERIFY(rows.size() <= 8);
    const GameInfo &info = Games[size_t(game)];
    const int tiers = TierCount(game);
    const int outside = info.MaxNumber - info.PickCount;
    const quint64 choices = Binomial(outside, info.BonusCount);

    // [t]: outcomes, over the main sets and bonus choices, in which the
    // best row wins tier t + 1 or better.
    std::array<quint64, MaxTiers> expected{};
    bool winsOnlyWithoutBonus = false;
    // No prize is tier 0, counted past every tier.
    const auto rank = [&](int tier) { return tier >= 1 ? tier : tiers + 1; };
    ForEachSet(info.MaxNumber, info.PickCount, [&](NumberSet drawn) {
        // Each row judged once per main set: its tier without and with a
        // bonus number among the numbers it missed.
        std::array<int, 8> without{};
        std::array<int, 8> with{};
        for (int r = 0; r < rows.size(); ++r) {
            const int hits = CountNumbers(rows[r] & drawn);
            without[size_t(r)] = rank(PrizeTier(game, hits, false));
            with[size_t(r)] = hits < info.PickCount ? rank(PrizeTier(game, hits, true))
                                                    : without[size_t(r)];
            winsOnlyWithoutBonus |= without[size_t(r)] < with[size_t(r)];
        }
        for (int t = 0; t < tiers; ++t) {
            bool whole = false;
            NumberSet bonuses = 0;
            for (int r = 0; r < rows.size(); ++r) {
                if (without[size_t(r)] <= t + 1)
                    whole = true;
                else if (with[size_t(r)] <= t + 1)
                    bonuses |= rows[r] & ~drawn;
            }
            expected[size_t(t)] += whole ? choices
                                         : choices
                                               - Binomial(outside - CountNumbers(bonuses),
                                                          info.BonusCount);
        }
    });
    QVERIFY(!winsOnlyWithoutBonus);

    const ChanceResult result = Chance(game, std::vector<NumberSet>(rows.begin(), rows.end()));
    for (int t = 0; t < tiers; ++t) {
        const OutcomeCount &count = result.AtLeast[size_t(t)];
        QCOMPARE(count.Winning * (BonusOutcomes(info) / count.Outcomes), expected[size_t(t)]);
    }
}

void AnalysisTest::chance_leavesOutRowsThatAreNoCombination()
{
    const GridCellStore store = SaveGrid({
        Cells({1, 2, 3, 4, 5, 6}),
        {QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
         QStringLiteral("4"), QStringLiteral("5")}, // a number twice
        Cells({1, 2, 3, 4, 5, 44}),                 // out of range
        {QStringLiteral("01"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
         QStringLiteral("5"), QStringLiteral("6")}, // not plain decimal
        Cells({1, 2, 3, 4, 5}),                     // Mini LOTO
        Cells({1, 2, 3, 4, 32}),                    // Mini LOTO, out of range
    });
    const SavedRowSets rows = ReadSavedRows(store);
    QCOMPARE(rows.Games[GameLoto6].size(), size_t(1));
    QCOMPARE(rows.Games[GameLoto6].NotTickets, qint64(3));
    QCOMPARE(rows.Games[GameMiniLoto].size(), size_t(1));
    QCOMPARE(rows.Games[GameMiniLoto].NotTickets, qint64(1));
    QCOMPARE(CombinationRows(rows.Games[GameLoto6], Games[GameLoto6]),
             std::vector<NumberSet>{SetOf({1, 2, 3, 4, 5, 6})});
    QCOMPARE(CombinationRows(rows.Games[GameMiniLoto], Games[GameMiniLoto]),
             std::vector<NumberSet>{SetOf({1, 2, 3, 4, 5})});
}

void AnalysisTest::rowsThatAreNoTicket_data()
{
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<bool>("ticket");
    const auto texts = [](const char *row) {
        return QString::fromUtf8(row).split(QLatin1Char(','));
    };
    QTest::newRow("LOTO6 one number six times") << texts("7,7,7,7,7,7") << false;
    QTest::newRow("Mini LOTO a number repeated") << texts("1,1,1,1,2") << false;
    QTest::newRow("text") << texts("abc") << false;
    QTest::newRow("out of range") << texts("7,8,9,10,11,44") << false;
    QTest::newRow("Mini LOTO out of range") << texts("1,2,3,4,32") << false;
    QTest::newRow("zero") << texts("0,7,8,9,10,11") << false;
    QTest::newRow("leading zero") << texts("07,8,9,10,11,12") << false;
    QTest::newRow("leading blank") << texts(" 7,8,9,10,11,12") << false;
    QTest::newRow("LOTO6 a cell missing") << texts("7,,9,10,11,12") << false;
    QTest::newRow("LOTO6 in any order") << texts("12,11,10,9,8,7") << true;
    QTest::newRow("Mini LOTO in any order") << texts("5,4,3,2,1") << true;
}

// A row that is no ticket is left out alike by the judgement, the back-test
// and the chance; a ticket in any cell order is judged.
void AnalysisTest::rowsThatAreNoTicket()
{
    QFETCH(QStringList, cells);
    QFETCH(bool, ticket);
    GridCellStore store = SaveGrid({cells});
    const int game = RowGame(store, 1);
    const std::array<QVector<DrawRecord>, GameCount> draws{
        QVector<DrawRecord>{MakeDraw(GameLoto6, 1, {7, 8, 9, 10, 11, 12}, 13)},
        QVector<DrawRecord>{MakeDraw(GameMiniLoto, 1, {1, 2, 3, 4, 5}, 6)}};
    GameDraws judged;
    for (int g = 0; g < GameCount; ++g) {
        if (draws[size_t(g)].isEmpty())
            continue;
        WinningNumbers winning;
        const DrawRecord &draw = draws[size_t(g)].constFirst();
        std::copy_n(draw.Numbers.begin(), draw.MainCount, winning.Numbers.begin());
        winning.Numbers[BonusSlot] = draw.Bonus;
        judged[size_t(g)] = winning;
    }
    int marks = 0;
    const std::vector<JudgedRow> lines = JudgeSaveRows(store, judged, Games,
                                                       [&](int, int, CellMatch) { ++marks; });
    QCOMPARE(lines.size(), size_t(1));
    QCOMPARE(lines.front().Ticket, ticket);
    QCOMPARE(lines.front().line() == NotTicketLine(game, 1), !ticket);
    QCOMPARE(marks > 0, ticket);

    WorkControl control;
    const SavedRowSets rows = ReadSavedRows(store);
    const BacktestResult result = RunBacktest(rows, draws, control);
    QCOMPARE(result.Games[size_t(game)].Rows, qint64(ticket));
    QCOMPARE(result.Games[size_t(game)].NotTickets, qint64(!ticket));
    QCOMPARE(result.Games[size_t(game)].Wins[0], qint64(ticket));
    QCOMPARE(result.Rows.size(), size_t(ticket));
    QCOMPARE(CombinationRows(rows.Games[size_t(game)], Games[size_t(game)]).size(), size_t(ticket));
}

// Every row against every draw: the tier the back-test counts is the one
// the judgement's prize line names, for rows of both games with the cells a
// loaded save file may hold.
void AnalysisTest::backtest_agreesWithTheJudgement()
{
    std::mt19937 engine(15);
    std::array<QVector<DrawRecord>, GameCount> draws{FixtureDraws(GameLoto6, 25, 3),
                                                     FixtureDraws(GameMiniLoto, 25, 3)};
    const auto pick = [&](int below) { return int(engine() % unsigned(below)); };

    // Rows near the draws win every tier; more than one block of rows.
    QList<QStringList> rows;
    for (int r = 0; r < 5000; ++r) {
        const int game = pick(2);
        const GameInfo &info = Games[size_t(game)];
        const DrawRecord &near = draws[size_t(game)].at(pick(25));
        std::array<int, MaxPickCount> numbers = near.Numbers;
        for (int changes = pick(4); changes > 0; --changes)
            numbers[size_t(pick(info.PickCount))] = pick(3) == 0 ? near.Bonus
                                                                 : 1 + pick(info.MaxNumber);
        QStringList cells;
        for (int c = 0; c < info.PickCount; ++c) {
            QString cell = QString::number(numbers[size_t(c)]);
            switch (pick(60)) {
            case 0:
                cell = QLatin1Char(' ') + cell;
                break;
            case 1:
                cell = QLatin1Char('0') + cell;
                break;
            case 2:
                cell = QStringLiteral("44");
                break;
            case 3:
                cell.clear();
                break; // an empty sixth cell makes a Mini LOTO row
            case 4:
                cell = QStringLiteral("x");
                break;
            default:
                break;
            }
            cells << cell;
        }
        rows << cells;
    }
    const GridCellStore store = SaveGrid(rows);

    WorkControl control;
    const BacktestResult result = RunBacktest(ReadSavedRows(store), draws, control);
    QVERIFY(!result.Cancelled);
    const TicketRows tickets(store);
    QCOMPARE(qint64(result.Rows.size()), qint64(rows.size()) - tickets.countNotTickets());
    QCOMPARE(control.done(), control.total());

    std::vector<std::array<quint32, MaxTiers>> rowWins(size_t(rows.size()));
    std::array<qint64, MaxTiers> allWins{};
    size_t drawIndex = 0;
    for (int g = 0; g < GameCount; ++g) {
        for (const DrawRecord &draw : draws[size_t(g)]) {
            WinningNumbers winning;
            std::copy_n(draw.Numbers.begin(), draw.MainCount, winning.Numbers.begin());
            winning.Numbers[BonusSlot] = draw.Bonus;
            const PreparedDraw prepared = PrepareDraw(winning, draw.MainCount);
            std::array<qint64, MaxTiers> drawWins{};
            for (int r = 1; r < store.rowCount(); ++r) {
                if (RowGame(store, r) != g || !tickets.isTicket(r))
                    continue;
                std::array<QString, JudgedColumns> texts;
                for (int c = 0; c < JudgedColumns; ++c)
                    texts[size_t(c)] = store.text(r, FirstNumberColumn + c);
                const RowJudgement judged = JudgeRow(texts, prepared);
                const int tier = TierOfLine(PrizeLine(g, judged.Hits, judged.BonusFlag));
                if (tier > 0) {
                    ++rowWins[size_t(r - 1)][size_t(tier - 1)];
                    ++drawWins[size_t(tier - 1)];
                    ++allWins[size_t(tier - 1)];
                }
            }
            const BacktestDraw &counted = result.Draws.at(drawIndex++);
            QCOMPARE(counted.DrawNumber, draw.DrawNumber);
            QCOMPARE(counted.Wins, drawWins);
        }
    }
    int lastRow = 0;
    for (const BacktestRow &row : result.Rows) {
        QVERIFY(row.GridRow > lastRow && tickets.isTicket(row.GridRow));
        lastRow = row.GridRow;
        QCOMPARE(row.Wins, rowWins[size_t(row.GridRow - 1)]);
    }
    for (int t = 0; t < TierCount(GameLoto6); ++t)
        QVERIFY2(allWins[size_t(t)] > 0, "every tier won at least once");
}

void AnalysisTest::backtest_paysOnlyStoredPrizes()
{
    const GridCellStore store = SaveGrid({Cells({1, 2, 3, 4, 5, 6}), Cells({1, 2, 3, 10, 11, 12})});
    DrawRecord priced = MakeDraw(GameLoto6, 1, {1, 2, 3, 4, 5, 6}, 7);
    priced.PrizeYen = {150000000, 9000000, 400000, 7000, 1000};
    priced.Winners = {2, 8, 200, 9000, 150000};
    DrawRecord unpriced = MakeDraw(GameLoto6, 2, {1, 2, 3, 4, 5, 40}, 6);
    DrawRecord nobodyFirst = MakeDraw(GameLoto6, 3, {1, 2, 3, 4, 5, 6}, 7);
    nobodyFirst.PrizeYen = {0, 8000000, 300000, 6000, 1000};
    nobodyFirst.Winners = {0, 5, 150, 8000, 140000};
    DrawRecord repeated = MakeDraw(GameLoto6, 4, {1, 1, 2, 3, 4, 5}, 7);

    WorkControl control;
    const BacktestResult result = RunBacktest(
        ReadSavedRows(store), {QVector<DrawRecord>{priced, unpriced, nobodyFirst, repeated}, {}},
        control);
    const BacktestSummary &summary = result.Games[GameLoto6];
    QCOMPARE(summary.Rows, qint64(2));
    QCOMPARE(summary.Draws, qint64(3));
    QCOMPARE(summary.SkippedDraws, qint64(1));
    QCOMPARE(summary.PricedDraws, qint64(2));
    QCOMPARE(summary.Wins, (std::array<qint64, MaxTiers>{2, 1, 0, 0, 3}));
    QCOMPARE(summary.UnpricedWins, qint64(3)); // both at draw 2, the first prize at draw 3
    QCOMPARE(summary.CostYen, qint64(2 * 3 * 200));
    QCOMPARE(summary.PricedCostYen, qint64(2 * 2 * 200));
    QCOMPARE(summary.WinningsYen, qint64(150000000 + 1000 + 1000));
    QCOMPARE(result.Rows[0].Yen, qint64(150000000));
    QCOMPARE(result.Rows[0].bestTier(), 1);
    QCOMPARE(result.Rows[1].Yen, qint64(2000));
    QCOMPARE(result.Rows[1].bestTier(), 5);
    QCOMPARE(result.Draws.size(), size_t(3));
    QCOMPARE(result.Draws[1].Priced, false);
    QCOMPARE(result.Draws[1].Yen, qint64(0));
    QCOMPARE(result.Draws[2].Yen, qint64(1000));
    // Chance alone gives the return the chance tab gives for the same rows
    // and draws, each tier at its one expected prize: the first prize of
    // draw 3, which nobody won, does not count as paying nothing.
    const QVector<DrawRecord> draws{priced, unpriced, nobodyFirst, repeated};
    const SavedRowSets rows = ReadSavedRows(store);
    const ChanceResult next = ComputeChance(
        GameLoto6, Games[GameLoto6], CombinationRows(rows.Games[GameLoto6], Games[GameLoto6]),
        control);
    const std::array<std::optional<double>, MaxTiers> prize = AveragePrizeYen(draws, GameLoto6);
    double yen = 0;
    for (int t = 0; t < 5; ++t)
        yen += next.ExpectedWins[size_t(t)] * prize[size_t(t)].value_or(0);
    QVERIFY(yen > 0);
    QVERIFY(qFuzzyCompare(summary.ChanceWinningsYen / double(summary.PricedCostYen),
                          yen / double(next.Rows * 200)));

    // A prize past the limit, as another program's history may hold, is no
    // price: 9224 first prizes of it pass what 64 bits hold.
    DrawRecord hostile = priced;
    hostile.PrizeYen[0] = 999999999999999;
    const BacktestResult huge = RunBacktest(
        ReadSavedRows(SaveGrid(QList<QStringList>(9224, Cells({1, 2, 3, 4, 5, 6})))),
        {QVector<DrawRecord>{hostile}, {}}, control);
    QCOMPARE(huge.Games[GameLoto6].Wins[0], qint64(9224));
    QCOMPARE(huge.Games[GameLoto6].UnpricedWins, qint64(9224));
    QCOMPARE(huge.Games[GameLoto6].WinningsYen, qint64(0));
    QVERIFY(!huge.Draws[0].Priced);
}

// The published LOTO7 layouts as read from a file, against rows counted by
// hand: every tier, a bonus number that makes the sixth prize and three hits
// without one that win nothing.
void AnalysisTest::backtest_loto7FileByHand()
{
    const DrawFile file = ReadDrawFile(
        FileBytes(QStringLiteral(ZANBO_SOURCE_DIR "/tests/data/loto7-cp932-interleaved.csv")),
        QStringLiteral("loto7"));
    QCOMPARE(file.Game, GameLoto7);
    QVERIFY(file.Rejected.isEmpty());
    const QList<QList<int>> rows{
        {4, 14, 17, 21, 27, 35, 37}, {4, 14, 17, 21, 27, 35, 19}, {4, 14, 17, 21, 27, 35, 1},
        {4, 14, 17, 21, 27, 2, 19},  {4, 14, 17, 21, 3, 9, 12},   {4, 14, 17, 2, 3, 5, 6},
        {4, 14, 17, 5, 6, 7, 8},     {1, 6, 10, 16, 2, 3, 9},     {1, 6, 10, 8, 20, 22, 30}};
    SavedRowSets saved;
    for (int r = 0; r < rows.size(); ++r) {
        NumberSet set = 0;
        for (const int n : rows.at(r))
            set |= NumberBit(n);
        saved.Games[GameLoto7].Sets.push_back(set);
        saved.Games[GameLoto7].GridRows.push_back(r + 1);
    }
    std::array<QVector<DrawRecord>, GameCount> draws;
    draws[GameLoto7] = file.Draws;
    WorkControl control;
    const BacktestResult result = RunBacktest(saved, draws, control);

    using Wins = std::array<quint32, MaxTiers>;
    const QList<Wins> rowWins{{1, 0, 0, 0, 0, 0}, {0, 1, 0, 0, 0, 0}, {0, 0, 1, 0, 0, 0},
                              {0, 0, 0, 1, 0, 0}, {0, 0, 0, 0, 1, 0}, {0, 0, 0, 0, 0, 1},
                              {0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 1, 1}, {0, 0, 0, 0, 0, 1}};
    for (int r = 0; r < rows.size(); ++r)
        QCOMPARE(result.Rows[size_t(r)].Wins, rowWins.at(r));
    using DrawWins = std::array<qint64, MaxTiers>;
    QCOMPARE(result.Draws.size(), size_t(3));
    QCOMPARE(result.Draws[0].Wins, (DrawWins{1, 1, 1, 1, 1, 1}));
    QCOMPARE(result.Draws[1].Wins, (DrawWins{0, 0, 0, 0, 0, 1}));
    QCOMPARE(result.Draws[2].Wins, (DrawWins{0, 0, 0, 0, 1, 1}));
    // Nobody won the first prize of draw 1, so that win is not paid.
    QCOMPARE(result.Draws[0].Yen, qint64(9604300 + 493400 + 8800 + 1600 + 1000));
    const BacktestSummary &summary = result.Games[GameLoto7];
    QCOMPARE(summary.UnpricedWins, qint64(1));
    QCOMPARE(summary.WinningsYen, qint64(10109100 + 1000 + 1700 + 1000));
    QCOMPARE(summary.CostYen, qint64(9 * 3 * 300));
}

void AnalysisTest::cancelInTheMiddle_data()
{
    QTest::addColumn<bool>("backtest");
    QTest::newRow("back-test") << true;
    QTest::newRow("chance") << false;
}

// A cancel after the first step stops the work and hands back nothing.
void AnalysisTest::cancelInTheMiddle()
{
    QFETCH(bool, backtest);
    WorkControl control;
    control.setObserver([](WorkControl &self, qint64) { self.cancel(); });
    if (backtest) {
        QList<QStringList> rows;
        for (int r = 0; r < 5 * 4096; ++r)
            rows << Cells({1 + r % 38, 2 + r % 38, 3 + r % 38, 4 + r % 38, 5 + r % 38, 6 + r % 38});
        const BacktestResult result = RunBacktest(ReadSavedRows(SaveGrid(rows)),
                                                  {FixtureDraws(GameLoto6, 50), {}}, control, 2);
        QVERIFY(result.Cancelled);
        QVERIFY(result.Rows.empty());
    } else {
        const ChanceResult result = ComputeChance(GameLoto6, Games[GameLoto6],
                                                  {SetOf({1, 2, 3, 4, 5, 6})}, control, 2);
        QVERIFY(result.Cancelled);
        QCOMPARE(result.AtLeast[4].Winning, quint64(0));
    }
    QVERIFY(control.done() > 0);
    QVERIFY(control.done() < control.total());
}

void AnalysisTest::frequency_countsAndGaps()
{
    QVector<DrawRecord> draws{MakeDraw(GameMiniLoto, 1, {1, 2, 3, 4, 5}, 6),
                              MakeDraw(GameMiniLoto, 2, {1, 7, 8, 9, 10}, 2),
                              MakeDraw(GameMiniLoto, 3, {1, 2, 3, 4, 11}, 4), // bonus drawn
                              MakeDraw(GameMiniLoto, 4, {11, 12, 13, 14, 15}, 1)};
    const FrequencyStats main = CountFrequencies(draws, GameMiniLoto, Games[GameMiniLoto], false);
    QCOMPARE(main.Draws, qint64(3));
    QCOMPARE(main.SkippedDraws, qint64(1));
    QCOMPARE(main.Counts[1], qint64(2));
    QCOMPARE(main.Counts[2], qint64(1));
    QCOMPARE(main.Counts[6], qint64(0));
    QCOMPARE(main.DrawsSince[1], 1);
    QCOMPARE(main.DrawsSince[2], 2);
    QCOMPARE(main.DrawsSince[11], 0);
    QCOMPARE(main.DrawsSince[6], -1);
    QCOMPARE(main.Expected, 3 * 5 / 31.0);
    QCOMPARE(main.numbersByCount().mid(0, 3), (QVector<int>{1, 2, 3}));

    const FrequencyStats withBonus = CountFrequencies(draws, GameMiniLoto, Games[GameMiniLoto],
                                                      true);
    QCOMPARE(withBonus.Counts[1], qint64(3));
    QCOMPARE(withBonus.Counts[6], qint64(1));
    QCOMPARE(withBonus.DrawsSince[1], 0);
    QCOMPARE(withBonus.DrawsSince[6], 2);
    QCOMPARE(withBonus.Expected, 3 * 6 / 31.0);
}

// Under pure chance the statistic, corrected for a draw never repeating a
// number, averages its degrees of freedom, and about one p-value in twenty
// falls below 0.05.
void AnalysisTest::frequency_chiSquareFollowsChance()
{
    std::mt19937 engine(42);
    constexpr int Runs = 400;
    double sum = 0;
    int small = 0;
    int outside = 0;
    double chanceOutside = 0;
    for (int run = 0; run < Runs; ++run) {
        QVector<DrawRecord> draws;
        for (int d = 1; d <= 100; ++d) {
            std::array<int, 43> pool{};
            std::iota(pool.begin(), pool.end(), 1);
            std::shuffle(pool.begin(), pool.end(), engine);
            draws.append(MakeDraw(GameLoto6, d,
                                  {pool[0], pool[1], pool[2], pool[3], pool[4], pool[5]}, pool[6]));
        }
        const FrequencyStats stats = CountFrequencies(draws, GameLoto6, Games[GameLoto6], false);
        sum += stats.ChiSquare;
        small += stats.PValue < 0.05 ? 1 : 0;
        outside += stats.OutsideBand;
        chanceOutside += stats.ChanceOutsideBand;
    }
    QCOMPARE(Games[GameLoto6].MaxNumber - 1, 42);
    // The mean of 400 runs lies within 2 of 42 with odds far beyond a
    // million to one; uncorrected it would be near 37.
    QVERIFY2(std::abs(sum / Runs - 42) < 2, qPrintable(QString::number(sum / Runs)));
    QVERIFY2(small > 5 && small < 40, qPrintable(QString::number(small)));
    QVERIFY2(std::abs(outside - chanceOutside) < 0.15 * chanceOutside,
             qPrintable(QStringLiteral("%1 %2").arg(outside).arg(chanceOutside)));
}

void AnalysisTest::boardFromCounts_data()
{
    QTest::addColumn<int>("game");
    QTest::addColumn<QList<qint64>>("counts"); // numbers 1..N
    QTest::addColumn<QList<int>>("board");

    QList<qint64> rising;
    QList<int> fifths;
    for (int n = 1; n <= 43; ++n) {
        rising << n;
        // Least drawn first: 8 at "－", then 9, 8, 9, and the top 9 at "+".
        fifths << (n <= 8 ? 5 : n <= 17 ? 4 : n <= 25 ? 3 : n <= 34 ? 2 : 1);
    }
    QTest::newRow("distinct counts by fifths") << GameLoto6 << rising << fifths;
    QTest::newRow("no draws: all neutral")
        << GameMiniLoto << QList<qint64>(31, 0) << QList<int>(31, 3);
    QList<qint64> tied(31, 10);
    tied[0] = 20;
    QList<int> tiedBoard(31, 3);
    tiedBoard[0] = 1;
    QTest::newRow("one ahead, the rest tied in the middle") << GameMiniLoto << tied << tiedBoard;
}

void AnalysisTest::boardFromCounts()
{
    QFETCH(int, game);
    QFETCH(QList<qint64>, counts);
    FrequencyStats stats;
    stats.MaxNumber = Games[size_t(game)].MaxNumber;
    for (int n = 1; n <= stats.MaxNumber; ++n)
        stats.Counts[size_t(n)] = counts.at(n - 1);
    const std::array<int, BoardSlots> board = BoardFromCounts(stats);
    QTEST(QList<int>(board.begin() + 1, board.begin() + 1 + stats.MaxNumber), "board");
    for (int n = stats.MaxNumber + 1; n <= HighestNumber; ++n)
        QCOMPARE(board[size_t(n)], 3);
}

QTEST_GUILESS_MAIN(AnalysisTest)
#include "tst_Analysis.moc"
