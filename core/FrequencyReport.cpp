#include "core/FrequencyReport.h"

#include "core/ReportFormat.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>

namespace {

QString fixed(double value, int decimals)
{
    return QLocale(QLocale::Japanese, QLocale::Japan).toString(value, 'f', decimals);
}

} // namespace

double NumberSigmas(const FrequencyStats &stats, int n)
{
    return stats.StandardDeviation > 0
               ? (double(stats.Counts[size_t(n)]) - stats.Expected) / stats.StandardDeviation
               : 0.0;
}

int LongestGap(const FrequencyStats &stats, int *gapDraws)
{
    int longest = 1;
    int longestGap = -1;
    for (int n = 1; n <= stats.MaxNumber; ++n) {
        const int since = stats.DrawsSince[size_t(n)];
        const int gap = since >= 0 ? since : int(stats.Draws);
        if (gap > longestGap) {
            longest = n;
            longestGap = gap;
        }
    }
    *gapDraws = longestGap;
    return longest;
}

// Whether the counts differ more than chance alone makes them: the
// chi-square test, which over few draws would mislead.
static void AppendSpreadLines(QStringList &lines, const FrequencyStats &stats)
{
    if (stats.Draws < MinDrawsForSpreadTest) {
        lines << QStringLiteral("抽選が %1 回しかないため、数字ごとの回数の差が偶然だけで起こる"
                                "大きさかどうかは示しません（%2 回以上で示します）。")
                     .arg(stats.Draws)
                     .arg(MinDrawsForSpreadTest);
        return;
    }
    lines << (stats.PValue < 0.05
                  ? QStringLiteral("数字ごとの回数の差は、偶然だけではあまり起こらない大きさです"
                                   "（偶然だけでこれ以上の差になる確率 %1）。")
                  : QStringLiteral("数字ごとの回数の差は、偶然だけで普通に起こる大きさです"
                                   "（偶然だけでこれ以上の差になる確率 %1）。"))
                 .arg(PercentText(stats.PValue));
    lines << QStringLiteral("（カイ二乗 %1、自由度 %2。1回の抽選で同じ数字が重ならない分を補正）")
                 .arg(fixed(stats.ChiSquare, 2))
                 .arg(stats.Freedom);
}

// The most and least drawn numbers, the longest gap and the plain chance.
static void AppendNumberLines(QStringList &lines, const FrequencyStats &stats)
{
    const QVector<int> order = stats.numbersByCount();
    const auto describe = [&](int n) {
        const double sigmas = NumberSigmas(stats, n);
        return QStringLiteral("%1（%2回, %3%4σ）")
            .arg(n)
            .arg(stats.Counts[size_t(n)])
            .arg(sigmas >= 0 ? QStringLiteral("+") : QString(), fixed(sigmas, 1));
    };
    QStringList hot;
    QStringList cold;
    for (int i = 0; i < 5 && i < order.size(); ++i) {
        hot << describe(order.at(i));
        cold << describe(order.at(order.size() - 1 - i));
    }
    lines << QStringLiteral("よく出た数字: ") + hot.join(QStringLiteral("、"));
    lines << QStringLiteral("あまり出ていない数字: ") + cold.join(QStringLiteral("、"));
    lines << QStringLiteral(
                 "±2σ の範囲の外: %1 個（偶然だけでも %2 個のうち平均 %3 個は外に出ます）")
                 .arg(stats.OutsideBand)
                 .arg(stats.MaxNumber)
                 .arg(fixed(stats.ChanceOutsideBand, 1));

    int longestGap = -1;
    const int longest = LongestGap(stats, &longestGap);
    const double gapChance = stats.chanceOfGap(longestGap);
    // (1 - p)^G is the chance for a number named beforehand, not for the
    // longest of all N gaps, hence "a number chosen in advance".
    lines << QStringLiteral("いちばん長く出ていない数字: %1（%2 回）。偶然だけでも、前もって選んだ"
                            "1つの数字が直近 %2 回に出ない確率は %3 で、%4 個のうち平均 %5 個は"
                            "そうなります。")
                 .arg(longest)
                 .arg(longestGap)
                 .arg(PercentText(gapChance))
                 .arg(stats.MaxNumber)
                 .arg(fixed(gapChance * stats.MaxNumber, 1));
    lines << QStringLiteral("過去の回数は次回の抽選に影響しません。次回どの数字も出る確率は同じ"
                            " %1/%2（%3）です。")
                 .arg(stats.PerDraw)
                 .arg(stats.MaxNumber)
                 .arg(PercentText(stats.Probability));
    if (stats.SkippedDraws > 0)
        lines
            << QStringLiteral("形の正しくない記録 %1 件は数えていません。").arg(stats.SkippedDraws);
}

QString FrequencyReportText(const FrequencyStats &stats, const GameInfo &info, int fromDraw,
                            int toDraw, bool withBonus)
{
    QStringList lines;
    if (stats.Draws == 0) {
        lines << QStringLiteral("■%1　対象の抽選がありません。").arg(info.GameName);
        return lines.join(QLatin1Char('\n'));
    }
    lines << QStringLiteral("■%1　第%2回～第%3回の %4 回（%5）")
                 .arg(info.GameName)
                 .arg(std::min(fromDraw, toDraw))
                 .arg(std::max(fromDraw, toDraw))
                 .arg(Grouped(stats.Draws), withBonus ? QStringLiteral("本数字とボーナス数字")
                                                      : QStringLiteral("本数字"));
    lines << QStringLiteral("1つの数字が出る回数は、偶然だけなら平均 %1 回、"
                            "±2σ の範囲は %2～%3 回です。")
                 .arg(fixed(stats.Expected, 1), fixed(std::max(0.0, stats.bandLow()), 1),
                      fixed(stats.bandHigh(), 1));
    AppendSpreadLines(lines, stats);
    AppendNumberLines(lines, stats);
    return lines.join(QLatin1Char('\n'));
}
