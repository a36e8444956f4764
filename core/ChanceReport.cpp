#include "core/ChanceReport.h"

#include "core/PrizeChance.h"
#include "core/ReportFormat.h"
#include "core/TicketRows.h"

#include <QStringList>

#include <cmath>

double ExpectedWinningsYen(const ChanceResult &result, int game,
                           const std::array<std::optional<double>, MaxTiers> &averagePrizeYen,
                           QStringList *missingTiers)
{
    double yen = 0;
    for (int t = 0; t < TierCount(game); ++t) {
        if (averagePrizeYen[size_t(t)])
            yen += result.ExpectedWins[size_t(t)] * *averagePrizeYen[size_t(t)];
        else
            *missingTiers << TierName(t + 1);
    }
    return yen;
}

namespace {

// The chance of each tier against rows picked by chance alone. False when the
// game has no rows.
bool AppendChanceLines(QStringList &lines, int g, const ChanceResult &result, qint64 savedRows,
                       const GameInfo &info)
{
    if (result.Rows == 0) {
        lines
            << QStringLiteral("■%1　保存エリアにこのくじの組合せがありません。").arg(info.GameName);
        lines << QString();
        return false;
    }
    lines << QStringLiteral("■%1　保存エリアの %2 行（異なる組合せ %3）")
                 .arg(info.GameName, Grouped(result.Rows), Grouped(result.DistinctRows));
    if (savedRows > result.Rows)
        lines << NotTicketsLeftOutLine(g, savedRows - result.Rows);
    lines << QStringLiteral("  ") + PadCells(QStringLiteral("次回どれかの行が当たる確率"), 48)
                 + QStringLiteral("偶然に選んだ %1 行なら").arg(Grouped(result.Rows));
    for (int t = 0; t < TierCount(g); ++t) {
        const OutcomeCount &count = result.AtLeast[size_t(t)];
        QString tier = TierName(t + 1);
        if (t > 0)
            tier += QStringLiteral("以上");
        lines << QStringLiteral("  ") + PadCells(tier, 9)
                     + PadCells(OutcomeText(count.Winning, count.Outcomes), 39)
                     + PercentText(result.IndependentAtLeast[size_t(t)]);
    }
    QStringList bonusTiers; // those whose chance is over the bonus numbers too
    for (int t = 0; t < TierCount(g); ++t) {
        if (AtLeastNeedsBonus(g, t))
            bonusTiers << TierName(t + 1) + QStringLiteral("以上");
    }
    lines << QStringLiteral("  （%1以上は何か当たる確率。分母は本数字の組 %2 通り、%5だけ"
                            "本数字とボーナス数字の組 %2 × %3 = %4 通り）")
                 .arg(TierName(TierCount(g)), Grouped(qint64(MainOutcomes(info))))
                 .arg(Grouped(qint64(BonusOutcomes(info) / MainOutcomes(info))))
                 .arg(Grouped(qint64(BonusOutcomes(info))), bonusTiers.join(QStringLiteral("と")));
    return true;
}

// The expected wins of each tier and the expected winnings.
void AppendExpectedLines(QStringList &lines, int g, const ChanceResult &result,
                         const std::array<std::optional<double>, MaxTiers> &average)
{
    QStringList expected;
    for (int t = 0; t < TierCount(g); ++t)
        expected << QStringLiteral("%1 %2 回")
                        .arg(TierName(t + 1), Approx(result.ExpectedWins[size_t(t)]));
    lines << QStringLiteral("  当選の期待回数（行ごとの和）: ")
                 + expected.join(QStringLiteral("、"));

    QStringList missing;
    const double yen = ExpectedWinningsYen(result, g, average, &missing);
    if (missing.size() == TierCount(g)) {
        lines << QStringLiteral("  履歴に賞金の記録がないため、当選金の期待値は出せません。");
    } else {
        QString line = QStringLiteral("  当選金の期待値（履歴の平均賞金から）: 1回あたり %1 円"
                                      "（購入額 %2 円、還元率 %3）")
                           .arg(Grouped(qint64(std::llround(yen))),
                                Grouped(result.Rows * GameRuleOf(g).RowYen),
                                RateText(yen / double(result.Rows * GameRuleOf(g).RowYen)));
        if (!missing.isEmpty())
            line += QStringLiteral("　%1は平均賞金がないため含めていません。")
                        .arg(missing.join(QStringLiteral("・")));
        lines << line << ExpectedPrizeRuleLine();
    }
    lines << QString();
}

} // namespace

QString ChanceReportText(
    const std::array<ChanceResult, GameCount> &results,
    const std::array<qint64, GameCount> &savedRows, const GameTableType &games,
    const std::array<std::array<std::optional<double>, MaxTiers>, GameCount> &averages)
{
    QStringList lines;
    for (int g = 0; g < GameCount; ++g) {
        if (!AppendChanceLines(lines, g, results[size_t(g)], savedRows[size_t(g)],
                               games[size_t(g)]))
            continue;
        AppendExpectedLines(lines, g, results[size_t(g)], averages[size_t(g)]);
    }
    lines << QStringLiteral("同じ組合せを重ねて持つと、当たる確率は増えずに期待回数だけが増えます。"
                            "行どうしの重なりが少ないほど、どれかが当たる確率は上がります。");
    return lines.join(QLatin1Char('\n'));
}
