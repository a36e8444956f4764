#include "core/WheelText.h"

#include "core/PrizeChance.h"

#include <QLocale>
#include <QStringList>

namespace {

QString Whole(quint64 value)
{
    return QLocale(QLocale::Japanese).toString(value);
}

QString Percent(double fraction)
{
    return QString::number(100 * fraction, 'g', 4) + QStringLiteral("%");
}

QString RowText(const std::vector<int> &row)
{
    QStringList cells;
    for (const int n : row)
        cells << QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    return cells.join(QLatin1Char(' '));
}

} // namespace

QString WheelSentence(const WheelGame &game, int chosen, int t, int m)
{
    const int tier = TierForHits(game, t);
    const QString prize = tier < 0 ? QStringLiteral("この数では賞金はありません")
                                   : game.Tiers[size_t(tier)].Name + QStringLiteral("以上");
    return QStringLiteral("選んだ %1 個の数字に本数字が %2 個以上入っていれば、"
                          "どれかの行で %3 個以上が当たります（%4）。")
        .arg(chosen)
        .arg(m)
        .arg(t)
        .arg(prize);
}

QString WheelProofLine(quint64 uncovered, quint64 cases)
{
    return QStringLiteral("保証を満たさない場合: %1 / %2 通り").arg(Whole(uncovered), Whole(cases));
}

QString WheelHonesty()
{
    return QStringLiteral(
        "ホイールは、当せんの確率も当せん金の期待値も上げません。どの行も他のどの行とも同じだけ"
        "当たりやすく、行どうしが重なるぶん「どれかの行が当たる」確率は、同じ数の行をばらばらに"
        "選んだときより低くなることさえあります（当せんの内訳の「無作為な行」と比べてください）。"
        "ホイールは、条件が満たされたときに保証が成り立つよう行を並べるだけです。");
}

QString WheelReport(const WheelGame &game, const WheelRequest &request, const WheelResult &result,
                    const WheelSpread &spread)
{
    QStringList lines;
    const int v = int(request.Numbers.size());
    const quint64 rows = result.Rows.size();
    lines << QStringLiteral("%1　選んだ数字 %2 個").arg(game.Name).arg(v);
    lines << WheelSentence(game, v, request.Match, request.If);
    lines << QString();
    lines << QStringLiteral("行数: %1 行　費用: %2 円（1口 %3 円）")
                 .arg(Whole(rows), Whole(rows * quint64(game.PriceYen)))
                 .arg(game.PriceYen);
    lines << WheelProofLine(result.Uncovered, result.Cases);
    QString sizes = QStringLiteral("これより少ない行では作れない下限: %1 行")
                        .arg(result.LowerBound);
    if (result.BestKnown > 0) {
        const qint64 over = qint64(rows) - result.BestKnown;
        sizes += QStringLiteral("　知られている最少: %1 行（%2）")
                     .arg(result.BestKnown)
                     .arg(over == 0  ? QStringLiteral("同じ")
                          : over > 0 ? QStringLiteral("%1 行多い").arg(over)
                                     : QStringLiteral("%1 行少ない").arg(-over));
    }
    lines << sizes;
    const quint64 full = Binomial(v, game.PickCount);
    lines << QStringLiteral("全組合せ（フルホイール）: %1 行（%2 円）")
                 .arg(Whole(full), Whole(full * quint64(game.PriceYen)));
    lines << QStringLiteral("探索時間: %1 秒").arg(result.Seconds, 0, 'f', 1);
    lines << QString();
    if (!spread.Tiers.empty()) {
        lines << QStringLiteral("全ての出目 %1 通りでの当せん（その等級以上の行がある出目）:")
                     .arg(Whole(spread.Tiers.front().Outcomes));
        for (const WheelTierSpread &tier : spread.Tiers) {
            lines << QStringLiteral("  %1以上: %2 / %3 通り（%4）")
                         .arg(tier.Name, Whole(tier.Winning), Whole(tier.Outcomes),
                              Percent(tier.fraction()));
            lines << QStringLiteral("      無作為な %1 行なら: %2")
                         .arg(Whole(rows), Percent(tier.RandomRows));
        }
        lines << QStringLiteral("  無作為な行は、1行ずつ全組合せから独立に選んだ場合（重複もあり"
                                "うる）の確率を計算したものです。");
        lines << QString();
    }
    lines << QStringLiteral("行:");
    for (size_t i = 0; i < result.Rows.size(); ++i)
        lines << QStringLiteral("%1: %2").arg(i + 1, 4).arg(RowText(result.Rows[i]));
    return lines.join(QLatin1Char('\n'));
}
