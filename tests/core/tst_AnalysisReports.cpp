#include "support/DrawFixtures.h"

#include "core/Backtest.h"
#include "core/BacktestReport.h"
#include "core/ChanceReport.h"
#include "core/DrawFrequency.h"
#include "core/FrequencyReport.h"
#include "core/GridCellStore.h"
#include "core/PopularityReport.h"
#include "core/ReportFormat.h"
#include "core/SavedRows.h"
#include "core/WorkControl.h"

#include <QtTest>

namespace {

const GameTableType Games = MakeGameTable(QString());

// A save grid holding rows given as tab-separated number cells.
GridCellStore SaveGrid(const QStringList &rows)
{
    GridCellStore store(int(rows.size()) + 1, GridColumnCount);
    for (int r = 0; r < rows.size(); ++r) {
        store.setText(r + 1, RowNumberColumn, QString::number(r + 1));
        const QStringList cells = rows.at(r).split(QLatin1Char('\t'));
        for (int c = 0; c < cells.size(); ++c)
            store.setText(r + 1, FirstNumberColumn + c, cells.at(c));
    }
    return store;
}

QString RowOf(const DrawRecord &draw)
{
    QStringList cells;
    for (int k = 0; k < draw.MainCount; ++k)
        cells << QString::number(draw.Numbers[size_t(k)]);
    return cells.join(QLatin1Char('\t'));
}

// LOTO7 draws of seven numbers and two bonus numbers, turning through 1..37.
QVector<DrawRecord> Loto7Draws(int count)
{
    QVector<DrawRecord> draws;
    for (int d = 1; d <= count; ++d) {
        DrawRecord draw;
        draw.Game = GameLoto7;
        draw.DrawNumber = d;
        draw.MainCount = 7;
        for (int k = 0; k < 7; ++k)
            draw.Numbers[size_t(k)] = 1 + (d * 3 + k * 5) % 37;
        std::sort(draw.Numbers.begin(), draw.Numbers.begin() + 7);
        std::array<bool, 38> used{};
        for (int k = 0; k < 7; ++k)
            used[size_t(draw.Numbers[size_t(k)])] = true;
        std::vector<int> rest;
        for (int n = 1; n <= 37 && rest.size() < 2; ++n)
            if (!used[size_t(n)])
                rest.push_back(n);
        draw.Bonus = rest[0];
        draw.MoreBonuses[0] = rest[1];
        draws << draw;
    }
    return draws;
}

// Every draw the same five numbers: the others stay out for ever.
QVector<DrawRecord> SameDraws(int count)
{
    QVector<DrawRecord> draws;
    for (int d = 1; d <= count; ++d)
        draws << MakeDraw(GameMiniLoto, d, {1, 2, 3, 4, 5}, 6);
    return draws;
}

BacktestResult Backtest(const QStringList &rows, int game, const QVector<DrawRecord> &draws)
{
    std::array<QVector<DrawRecord>, GameCount> all;
    all[size_t(game)] = draws;
    WorkControl control;
    return RunBacktest(ReadSavedRows(SaveGrid(rows)), all, control);
}

} // namespace

// The analysis texts as the dialog shows them, built from core's results.
class AnalysisReportsTest : public QObject
{
    Q_OBJECT

private slots:
    void percentages_data();
    void percentages();
    void frequencyText_data();
    void frequencyText();
    void backtestText_data();
    void backtestText();
    void chanceText_exactFigures();
    void popularityText_rowsAndNotice();
};

void AnalysisReportsTest::percentages_data()
{
    QTest::addColumn<double>("fraction");
    QTest::addColumn<int>("decimals"); // -1 a chance, -2 a return, else a share
    QTest::addColumn<QString>("text");

    QTest::newRow("chance") << 165613 / 6096454.0 << -1 << QStringLiteral("2.7165%");
    QTest::newRow("tiny chance") << 1 / 6096454.0 << -1 << QStringLiteral("0.000016403%");
    QTest::newRow("certain") << 1.0 << -1 << QStringLiteral("100.0000%");
    QTest::newRow("nil") << 0.0 << -1 << QStringLiteral("0.0000%");
    QTest::newRow("nearly certain") << 0.9999996 << -1 << QStringLiteral("99.9999%超");
    QTest::newRow("below every decimal") << 1e-17 << -1 << QStringLiteral("0.000000000001%未満");
    QTest::newRow("share nearly all") << 0.9996 << 1 << QStringLiteral("99.9%超");
    QTest::newRow("share nearly none") << 0.0004 << 1 << QStringLiteral("0.1%未満");
    QTest::newRow("share") << 6 / 43.0 << 1 << QStringLiteral("14.0%");
    QTest::newRow("small return") << 0.0003 << -2 << QStringLiteral("0.1%未満");
    QTest::newRow("no return") << 0.0 << -2 << QStringLiteral("0.0%");
    QTest::newRow("return above the price") << 1.5 << -2 << QStringLiteral("150.0%");
}

void AnalysisReportsTest::percentages()
{
    QFETCH(double, fraction);
    QFETCH(int, decimals);
    const QString text = decimals == -1   ? PercentText(fraction)
                         : decimals == -2 ? RateText(fraction)
                                          : ShareText(fraction, decimals);
    QTEST(text, "text");
}

void AnalysisReportsTest::frequencyText_data()
{
    QTest::addColumn<int>("game");
    QTest::addColumn<QVector<DrawRecord>>("draws");
    QTest::addColumn<bool>("withBonus");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");

    const QVector<DrawRecord> loto6 = FixtureDraws(GameLoto6, 300);
    QTest::newRow("LOTO6 main numbers")
        << GameLoto6 << loto6 << false
        << QStringList{QStringLiteral("■ロト６　第1回～第300回の 300 回（本数字）"),
                       QStringLiteral("偶然だけでこれ以上の差になる確率"),
                       QStringLiteral("次回どの数字も出る確率は同じ 6/43（13.9535%）です。")}
        << QStringList();
    QTest::newRow("LOTO6 with the bonus number")
        << GameLoto6 << loto6 << true
        << QStringList{QStringLiteral("次回どの数字も出る確率は同じ 7/43（16.2791%）です。")}
        << QStringList();
    QTest::newRow("Mini LOTO with the bonus number")
        << GameMiniLoto << FixtureDraws(GameMiniLoto, 50) << true
        << QStringList{QStringLiteral("次回どの数字も出る確率は同じ 6/31（19.3548%）です。")}
        << QStringList();
    QTest::newRow("LOTO7 with the bonus numbers")
        << GameLoto7 << Loto7Draws(40) << true
        << QStringList{QStringLiteral("次回どの数字も出る確率は同じ 9/37（24.3243%）です。")}
        << QStringList();
    // The chance of the gap is for one number named beforehand.
    QTest::newRow("gap of the latest draws")
        << GameLoto6 << loto6 << false
        << QStringList{QStringLiteral("前もって選んだ1つの数字が直近 ")}
        << QStringList{QStringLiteral("続けて出ない")};
    QTest::newRow("nine draws: no chi-square")
        << GameLoto6 << FixtureDraws(GameLoto6, 9) << false
        << QStringList{QStringLiteral("抽選が 9 回しかないため、数字ごとの回数の差が偶然だけで"
                                      "起こる大きさかどうかは示しません（10 回以上で示します）。")}
        << QStringList{QStringLiteral("カイ二乗"), QStringLiteral("これ以上の差")};
    QTest::newRow("ten draws: chi-square")
        << GameLoto6 << FixtureDraws(GameLoto6, 10) << false
        << QStringList{QStringLiteral("カイ二乗"), QStringLiteral("これ以上の差になる確率")}
        << QStringList{QStringLiteral("しかないため")};
    // Chances past what a double holds are still not nil.
    QTest::newRow("the same numbers every draw")
        << GameMiniLoto << SameDraws(5000) << false
        << QStringList{QStringLiteral("これ以上の差になる確率 0.000000000001%未満"),
                       QStringLiteral("出ない確率は 0.000000000001%未満")}
        << QStringList{QStringLiteral("0.0000%")};
}

void AnalysisReportsTest::frequencyText()
{
    QFETCH(int, game);
    QFETCH(QVector<DrawRecord>, draws);
    QFETCH(bool, withBonus);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    const FrequencyStats stats = CountFrequencies(draws, game, Games[size_t(game)], withBonus);
    QCOMPARE(stats.SkippedDraws, qint64(0));
    const QString text = FrequencyReportText(stats, Games[size_t(game)], 1, int(draws.size()),
                                             withBonus);
    for (const QString &part : present)
        QVERIFY2(text.contains(part), qPrintable(part + QLatin1Char('\n') + text));
    for (const QString &part : absent)
        QVERIFY2(!text.contains(part), qPrintable(part + QLatin1Char('\n') + text));
}

void AnalysisReportsTest::backtestText_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QVector<DrawRecord>>("draws");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");

    // Rows equal to past draws win their first prize there; the rest are
    // other draws' numbers, winning what chance gives.
    const QVector<DrawRecord> loto6 = FixtureDraws(GameLoto6, 300);
    const QVector<DrawRecord> others = FixtureDraws(GameLoto6, 40, 9);
    QStringList fixtureRows;
    for (const int d : {5, 17, 33, 120, 251})
        fixtureRows << RowOf(loto6.at(d - 1));
    for (const DrawRecord &draw : others)
        fixtureRows << RowOf(draw);
    QTest::newRow("fixture history")
        << fixtureRows << loto6
        << QStringList{QStringLiteral("■ロト６　保存エリアの 45 行 × 第1回～第300回の 300 回"),
                       QStringLiteral("購入額 2,700,000 円（1口 200 円）"),
                       QStringLiteral("（賞金の記録がある 270 回分、"), QStringLiteral("還元率"),
                       QStringLiteral("賞金不明の当選")}
        << QStringList();

    const QStringList rows{QStringLiteral("1\t2\t3\t4\t5\t6"),
                           QStringLiteral("1\t2\t3\t10\t11\t12")};
    DrawRecord partly = MakeDraw(GameLoto6, 1, {1, 2, 3, 4, 5, 6}, 7);
    partly.PrizeYen = {150000000, DrawRecord::Unknown, 400000, 7000, 1000};
    QTest::newRow("one tier's prize missing")
        << rows << QVector<DrawRecord>{partly}
        << QStringList{QStringLiteral("（賞金が一部不明の回）"),
                       QStringLiteral("賞金がすべてわかる回がないため")}
        << QStringList{QStringLiteral("賞金の記録がない"), QStringLiteral("記録がある回がない")};
    DrawRecord priced = partly;
    priced.PrizeYen[1] = 9000000;
    priced.DrawNumber = 2;
    QTest::newRow("one draw priced, one partly")
        << rows << QVector<DrawRecord>{partly, priced}
        << QStringList{QStringLiteral("当選金 150,001,000 円（賞金がすべてわかる 1 回分、"),
                       QStringLiteral("（賞金が一部不明の回）")}
        << QStringList{QStringLiteral("賞金の記録がない")};
    QTest::newRow("no prize at all")
        << rows << QVector<DrawRecord>{MakeDraw(GameLoto6, 1, {1, 2, 3, 4, 5, 6}, 7)}
        << QStringList{QStringLiteral("（賞金の記録がない回）"),
                       QStringLiteral("賞金の記録がある回がないため")}
        << QStringList{QStringLiteral("一部不明")};
}

void AnalysisReportsTest::backtestText()
{
    QFETCH(QStringList, rows);
    QFETCH(QVector<DrawRecord>, draws);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    const BacktestResult result = Backtest(rows, GameLoto6, draws);
    std::array<DrawRange, GameCount> ranges{};
    ranges[GameLoto6] = {1, draws.constLast().DrawNumber};
    const QString text = BacktestReportText(result, Games, ranges);
    for (const QString &part : present)
        QVERIFY2(text.contains(part), qPrintable(part + QLatin1Char('\n') + text));
    for (const QString &part : absent)
        QVERIFY2(!text.contains(part), qPrintable(part + QLatin1Char('\n') + text));
}

// Two equal LOTO6 rows and a Mini LOTO row: each tier over every outcome.
void AnalysisReportsTest::chanceText_exactFigures()
{
    const SavedRowSets rows = ReadSavedRows(
        SaveGrid({QStringLiteral("5\t12\t19\t28\t36\t43"), QStringLiteral("5\t12\t19\t28\t36\t43"),
                  QStringLiteral("2\t9\t17\t24\t31")}));
    std::array<ChanceResult, GameCount> results;
    std::array<qint64, GameCount> saved{};
    WorkControl control;
    for (int g = 0; g < GameCount; ++g) {
        results[size_t(g)] = ComputeChance(
            g, Games[size_t(g)], CombinationRows(rows.Games[size_t(g)], Games[size_t(g)]), control);
        saved[size_t(g)] = qint64(rows.Games[size_t(g)].size());
    }
    const QString text = ChanceReportText(results, saved, Games, {});
    for (const QString &figure :
         {QStringLiteral("165,613 / 6,096,454 (2.7165%)"), QStringLiteral("259 / 225,568,798"),
          QStringLiteral("3,381 / 169,911 (1.9899%)"), QStringLiteral("156 / 4,417,686")})
        QVERIFY2(text.contains(figure), qPrintable(figure + QLatin1Char('\n') + text));
}

void AnalysisReportsTest::popularityText_rowsAndNotice()
{
    PopularityRowSummary summary;
    summary.Rows = 2;
    summary.Skipped = 1;
    const QStringList rows = PopularityRowLines(summary,
                                                PopularityGameOf(GameLoto6, Games[GameLoto6]));
    QVERIFY(rows.contains(QStringLiteral("  数字がそろっていない行 1 行は除いています。")));
    QVERIFY(PopularityNoticeLines().join(QString()).contains(
        QStringLiteral("人気は当選の確率を変えません。")));
}

QTEST_GUILESS_MAIN(AnalysisReportsTest)
#include "tst_AnalysisReports.moc"
