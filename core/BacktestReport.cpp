#include "core/BacktestReport.h"

#include "core/PrizeChance.h"
#include "core/ReportFormat.h"
#include "core/TicketRows.h"

#include <QStringList>

#include <algorithm>

namespace {

// Why some wins have no prize: the kinds of draw and tier they fell on.
QString UnpricedReasons(const BacktestSummary &summary)
{
    QStringList reasons;
    if (summary.UnrecordedWins > 0)
        reasons << QStringLiteral("賞金の記録がない回");
    if (summary.PartlyPricedWins > 0)
        reasons << QStringLiteral("賞金が一部不明の回");
    if (summary.UnpricedWins > summary.UnrecordedWins + summary.PartlyPricedWins)
        reasons << QStringLiteral("該当者がいなかった等級");
    const QString last = reasons.takeLast();
    return reasons.isEmpty()
               ? last
               : reasons.join(QStringLiteral("、")) + QStringLiteral("、または") + last;
}

// The winnings and the return over the draws whose prizes are all known.
void AppendWinningsLines(QStringList &lines, const BacktestSummary &summary)
{
    if (summary.PricedDraws == 0) {
        lines << (summary.PartlyPricedDraws > 0
                      ? QStringLiteral("  賞金がすべてわかる回がないため、当選金と還元率は"
                                       "出せません。")
                      : QStringLiteral("  賞金の記録がある回がないため、当選金と還元率は"
                                       "出せません。"));
    } else if (summary.WinningsTooLarge) {
        lines << QStringLiteral("  当選金が正しく数えられる範囲を超えたため、当選金と還元率は"
                                "出せません。");
    } else {
        const double rate = double(summary.WinningsYen) / double(summary.PricedCostYen);
        const double chance = summary.ChanceWinningsYen / double(summary.PricedCostYen);
        lines << QStringLiteral("  当選金 %1 円（%2 %3 回分、その購入額 %4 円）")
                     .arg(Grouped(summary.WinningsYen),
                          summary.PartlyPricedDraws > 0 ? QStringLiteral("賞金がすべてわかる")
                                                        : QStringLiteral("賞金の記録がある"),
                          Grouped(summary.PricedDraws), Grouped(summary.PricedCostYen));
        lines << QStringLiteral("  還元率 %1（偶然だけの期待値 %2）")
                     .arg(RateText(rate), RateText(chance));
        lines << ExpectedPrizeRuleLine();
    }
    if (summary.UnpricedWins > 0)
        lines << QStringLiteral("  賞金不明の当選 %1 件（%2）は、金額を推定せず当選金に入れて"
                                "いません。")
                     .arg(Grouped(summary.UnpricedWins), UnpricedReasons(summary));
}

void AppendGameLines(QStringList &lines, int g, const BacktestSummary &summary, const QString &name,
                     const DrawRange &range)
{
    if (summary.Rows == 0) {
        lines << QStringLiteral("■%1　保存エリアにこのくじの行がありません。").arg(name);
        if (summary.NotTickets > 0)
            lines << NotTicketsLeftOutLine(g, summary.NotTickets);
        return;
    }
    if (summary.Draws == 0) {
        lines << QStringLiteral("■%1　保存エリアの %2 行。対象の抽選がありません。")
                     .arg(name, Grouped(summary.Rows));
        if (summary.NotTickets > 0)
            lines << NotTicketsLeftOutLine(g, summary.NotTickets);
        return;
    }
    lines << QStringLiteral("■%1　保存エリアの %2 行 × 第%3回～第%4回の %5 回")
                 .arg(name, Grouped(summary.Rows))
                 .arg(std::min(range.From, range.To))
                 .arg(std::max(range.From, range.To))
                 .arg(Grouped(summary.Draws));
    if (summary.NotTickets > 0)
        lines << NotTicketsLeftOutLine(g, summary.NotTickets);
    lines << QStringLiteral("  当選回数（偶然だけの期待値）");
    for (int t = 0; t < TierCount(g); ++t)
        lines << QStringLiteral("    %1  %2 回（%3 回）")
                     .arg(TierName(t + 1))
                     .arg(Grouped(summary.Wins[size_t(t)]), 10)
                     .arg(Approx(summary.ChanceWins[size_t(t)]));
    lines << QStringLiteral("  購入額 %1 円（1口 %2 円）")
                 .arg(Grouped(summary.CostYen))
                 .arg(GameRuleOf(g).RowYen);
    AppendWinningsLines(lines, summary);
    if (summary.SkippedDraws > 0)
        lines
            << QStringLiteral("  形の正しくない記録 %1 件は除きました。").arg(summary.SkippedDraws);
}

} // namespace

QString PrizeRecordText(const BacktestDraw &draw)
{
    if (draw.Priced)
        return QStringLiteral("記録あり");
    return draw.KnownPrizes > 0 ? QStringLiteral("一部不明") : QStringLiteral("記録なし");
}

QString BacktestReportText(const BacktestResult &result, const GameTableType &games,
                           const std::array<DrawRange, GameCount> &ranges)
{
    QStringList lines;
    for (int g = 0; g < GameCount; ++g)
        AppendGameLines(lines, g, result.Games[size_t(g)], games[size_t(g)].GameName,
                        ranges[size_t(g)]);
    lines << QStringLiteral("過去の成績は次回の当選の見込みを変えません。");
    return lines.join(QLatin1Char('\n'));
}
