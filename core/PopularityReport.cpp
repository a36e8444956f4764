#include "core/PopularityReport.h"

#include "core/ReportFormat.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

QString Fixed(double value, int decimals)
{
    return QLocale(QLocale::Japanese, QLocale::Japan).toString(value, 'f', decimals);
}

QString Count(qint64 value)
{
    return QLocale(QLocale::Japanese, QLocale::Japan).toString(value);
}

QString NumbersWithShares(const PopularityModel &model, const std::vector<int> &numbers)
{
    QStringList parts;
    for (const int n : numbers)
        parts << QStringLiteral("%1（%2）").arg(n).arg(ShareText(model.numberShare(n), 1));
    return parts.join(QStringLiteral("、"));
}

QStringList FitQualityLines(const PopularityFit &fit)
{
    QStringList lines;
    if (!fit.RSquared) {
        lines << QStringLiteral("  予測の確かさは、記録のある回がもっと多くなると示せます。");
        return lines;
    }
    // The value is written with two decimals whatever the locale.
    lines << QStringLiteral("  予測の確かさ（各回をそれより前の回だけで予測した %1 回）: "
                            "%2口数 R² = %3（売れた口数あたりの当選口数が回ごとに違う分のうち、"
                            "人気で説明できた割合）")
                 .arg(Count(fit.PredictedDraws), TierName(fit.Tier),
                      QString::number(*fit.RSquared, 'f', 2));
    if (fit.FirstTierGain) {
        const double gain = *fit.FirstTierGain;
        lines << (gain >= 0 ? QStringLiteral("  1等口数の予測: 人気を考えないモデルより誤差"
                                             "（逸脱度）が %1% 小さい（%2 回）")
                            : QStringLiteral("  1等口数の予測: 人気を考えないモデルより誤差"
                                             "（逸脱度）が %1% 大きい（%2 回）。1等口数は人気では"
                                             "よく予測できていません。"))
                     .arg(Fixed(std::abs(100 * gain), 1), Count(fit.FirstTierDraws));
    }
    return lines;
}

} // namespace

std::vector<int> NumbersByPopularity(const PopularityModel &model)
{
    std::vector<int> numbers(size_t(model.game().MaxNumber));
    std::iota(numbers.begin(), numbers.end(), 1);
    std::stable_sort(numbers.begin(), numbers.end(),
                     [&](int a, int b) { return model.numberShare(a) > model.numberShare(b); });
    return numbers;
}

QStringList PopularityReportLines(const PopularityFit &fit, const PopularityGame &game)
{
    QStringList lines;
    const QString head = QStringLiteral("■%1　").arg(game.Name);
    if (fit.UsedDraws == 0 && fit.WithoutCounts == 0) {
        lines << head + QStringLiteral("対象の抽選がありません。");
        return lines;
    }
    if (fit.UsedDraws == 0) {
        lines << head
                     + QStringLiteral("履歴に当選口数と賞金の記録がある回がないため、人気は推定"
                                      "できません。当選口数（1等口数…）と賞金の列があるCSVを"
                                      "取り込むと推定できます。");
        return lines;
    }
    if (!fit.Model) {
        lines << head
                     + QStringLiteral("当選口数と賞金の記録がある回が %1 回しかないため、人気は"
                                      "推定できません（%2 回以上必要です）。")
                           .arg(Count(fit.UsedDraws))
                           .arg(PopularityFit::MinDraws);
        return lines;
    }
    const PopularityModel &model = *fit.Model;
    lines << head
                 + QStringLiteral("第%1回～第%2回のうち、当選口数と賞金の記録がある %3 回から推定"
                                  "（%4の口数を数字ごとの人気で説明するポアソン回帰）")
                       .arg(fit.FirstDraw)
                       .arg(fit.LastDraw)
                       .arg(Count(fit.UsedDraws), TierName(fit.Tier));
    if (fit.WithoutCounts > 0)
        lines << QStringLiteral("  当選口数か賞金の記録がない %1 回は使っていません。")
                     .arg(Count(fit.WithoutCounts));
    if (fit.Malformed > 0)
        lines
            << QStringLiteral("  形の正しくない記録 %1 件は除きました。").arg(Count(fit.Malformed));
    lines << FitQualityLines(fit);

    const std::vector<int> order = NumbersByPopularity(model);
    const int shown = std::min(5, int(order.size()));
    lines << QStringLiteral("  その数字を含む口の割合（どの数字も同じなら %1）")
                 .arg(ShareText(model.evenShare(), 1));
    lines << QStringLiteral("  人気の高い数字: ")
                 + NumbersWithShares(model, {order.begin(), order.begin() + shown});
    lines << QStringLiteral("  人気の低い数字: ")
                 + NumbersWithShares(model, {order.rbegin(), order.rbegin() + shown});
    lines << QStringLiteral("  前回の当選数字: 1つ含むごとに、その組合せを買う人が %1 倍")
                 .arg(Fixed(std::exp(model.parameters().Repeat), 2));
    const RowPayout &random = model.randomRow();
    lines << QStringLiteral("  無作為に選んだ1口の期待配当: 固定 %1 円 + 山分け %2 円 = %3 円"
                            "（価格 %4 円）")
                 .arg(Fixed(random.FixedYen, 1), Fixed(random.SharedYen, 1), Fixed(random.yen(), 1))
                 .arg(game.PriceYen);
    return lines;
}

QStringList PopularityRowLines(const PopularityRowSummary &summary, const PopularityGame &game)
{
    QStringList lines;
    if (summary.Rows == 0) {
        lines << QStringLiteral("  保存エリアにこのくじの組合せがありません。");
        return lines;
    }
    lines << QStringLiteral("  保存エリアの %1 行: 人気指数 %2～%3、期待配当は最高 %4 円")
                 .arg(Count(summary.Rows), Fixed(summary.LowestIndex, 1),
                      Fixed(summary.HighestIndex, 1), Fixed(summary.HighestYen, 1));
    if (summary.AbovePrice == 0)
        lines << QStringLiteral("  どの行も期待配当は価格 %1 円を下回ります。").arg(game.PriceYen);
    else
        lines << QStringLiteral("  期待配当が価格 %1 円以上の行が %2 行あります。推定の誤差か、"
                                "履歴の大きな1等賞金（キャリーオーバーを含む）の平均によるもので、"
                                "確実に得をするという意味ではありません。")
                     .arg(game.PriceYen)
                     .arg(Count(summary.AbovePrice));
    if (summary.Skipped > 0)
        lines << QStringLiteral("  数字がそろっていない行 %1 行は除いています。")
                     .arg(Count(summary.Skipped));
    return lines;
}

QStringList PopularityNoticeLines()
{
    return {QStringLiteral("人気は当選の確率を変えません。変わるのは、当たったときに賞金を"
                           "分け合う人数だけです。"),
            QStringLiteral("人気指数は、当たったときに受け取る山分けの賞金の見込みを、無作為に"
                           "選んだ行を 100 として表したものです。どの行も当たる確率は同じです。"),
            QStringLiteral("期待配当は1口・1回あたりの当選金の見込みです。平均すれば、どの選び方"
                           "でも価格を下回り、買った額より少なく戻ります。")};
}
