#include "app/CommandSupport.h"
#include "app/Commands.h"
#include "app/FigureOutput.h"
#include "core/Backtest.h"
#include "core/GameKeys.h"
#include "core/GridCellStore.h"
#include "core/PrizeChance.h"
#include "core/SavedRows.h"
#include "core/WorkControl.h"
#include "storage/DrawHistory.h"
#include "storage/WholeNumber.h"

#include <QJsonArray>

#include <algorithm>
#include <limits>

namespace {

// One value per tier the game pays, null for the tiers it does not.
template<typename Value>
QJsonArray PerTier(int game, const std::array<Value, MaxTiers> &values)
{
    QJsonArray array;
    for (int t = 0; t < MaxTiers; ++t)
        array.append(t < TierCount(game) ? QJsonValue(double(values[size_t(t)])) : QJsonValue());
    return array;
}

GameFigures Figures(int game, const GameInfo &info, QVector<Figure> figures)
{
    return {KeyOfGame(game), info.GameName, std::move(figures)};
}

bool DrawNumberOption(const CommandCall &call, const QString &name, int *value)
{
    if (!call.options.contains(name))
        return true;
    const std::optional<qint32> number = ParseWholeNumber(call.options.value(name));
    if (!number)
        return false;
    *value = *number;
    return true;
}

GameFigures BacktestFigures(int game, const GameInfo &info, const BacktestSummary &s)
{
    return Figures(
        game, info,
        {{QStringLiteral("rows"), QStringLiteral("保存ファイルの行"), double(s.Rows)},
         {QStringLiteral("draws"), QStringLiteral("対象の抽選（回）"), double(s.Draws)},
         {QStringLiteral("wins"), QStringLiteral("当選回数（1等から）"), PerTier(game, s.Wins)},
         {QStringLiteral("chance_wins"), QStringLiteral("偶然だけの期待値（1等から）"),
          PerTier(game, s.ChanceWins)},
         {QStringLiteral("cost_yen"), QStringLiteral("購入額（円）"), double(s.CostYen)},
         {QStringLiteral("priced_draws"), QStringLiteral("賞金の記録がある回"),
          double(s.PricedDraws)},
         {QStringLiteral("priced_cost_yen"), QStringLiteral("その購入額（円）"),
          double(s.PricedCostYen)},
         {QStringLiteral("winnings_yen"), QStringLiteral("当選金（円）"), double(s.WinningsYen)},
         {QStringLiteral("chance_winnings_yen"), QStringLiteral("偶然だけの当選金の期待値（円）"),
          s.ChanceWinningsYen},
         {QStringLiteral("unpriced_wins"), QStringLiteral("賞金不明の当選（当選金に含めず）"),
          double(s.UnpricedWins)},
         {QStringLiteral("skipped_draws"), QStringLiteral("除いた形の正しくない記録"),
          double(s.SkippedDraws)}});
}

// What the rows win per draw at the stored draws' average prizes, with the
// tiers that have one; null when no tier has.
QJsonValue ExpectedYen(int game, const ChanceResult &r, const QVector<DrawRecord> &draws)
{
    const std::array<std::optional<double>, MaxTiers> average = AveragePrizeYen(draws, game);
    double yen = 0;
    bool any = false;
    for (int t = 0; t < TierCount(game); ++t) {
        if (average[size_t(t)]) {
            yen += r.ExpectedWins[size_t(t)] * *average[size_t(t)];
            any = true;
        }
    }
    return any ? QJsonValue(yen) : QJsonValue();
}

GameFigures ChanceFigures(int game, const GameInfo &info, const ChanceResult &r, qint64 saved,
                          const QVector<DrawRecord> &draws)
{
    std::array<quint64, MaxTiers> winning{};
    std::array<quint64, MaxTiers> outcomes{};
    std::array<double, MaxTiers> fraction{};
    for (int t = 0; t < MaxTiers; ++t) {
        winning[size_t(t)] = r.AtLeast[size_t(t)].Winning;
        outcomes[size_t(t)] = r.AtLeast[size_t(t)].Outcomes;
        fraction[size_t(t)] = r.AtLeast[size_t(t)].fraction();
    }
    return Figures(
        game, info,
        {{QStringLiteral("rows"), QStringLiteral("組合せの行"), double(r.Rows)},
         {QStringLiteral("distinct_rows"), QStringLiteral("異なる組合せ"), double(r.DistinctRows)},
         {QStringLiteral("other_rows"), QStringLiteral("数字がそろっていない行（除外）"),
          double(saved - r.Rows)},
         {QStringLiteral("at_least_outcomes"),
          QStringLiteral("どれかの行がその等級以上に当たる組（1等から）"), PerTier(game, winning)},
         {QStringLiteral("outcomes"), QStringLiteral("分母（1等から）"), PerTier(game, outcomes)},
         {QStringLiteral("at_least"), QStringLiteral("その確率（1等から）"),
          PerTier(game, fraction)},
         {QStringLiteral("independent_at_least"),
          QStringLiteral("偶然に選んだ同じ行数なら（1等から）"),
          PerTier(game, r.IndependentAtLeast)},
         {QStringLiteral("expected_wins"), QStringLiteral("当選の期待回数（1等から）"),
          PerTier(game, r.ExpectedWins)},
         {QStringLiteral("expected_yen"),
          QStringLiteral("当選金の期待値（円、履歴の平均賞金から。ない等級は含めず）"),
          ExpectedYen(game, r, draws)},
         {QStringLiteral("cost_yen"), QStringLiteral("購入額（円）"),
          double(r.Rows * GameRuleOf(game).RowYen)}});
}

} // namespace

int RunBacktest(const CommandCall &call)
{
    int from = 1;
    int to = std::numeric_limits<int>::max();
    if (!DrawNumberOption(call, QStringLiteral("from"), &from)
        || !DrawNumberOption(call, QStringLiteral("to"), &to))
        return Failure(QStringLiteral("--from と --to には回の番号を指定してください。"));
    QString error;
    GridCellStore cells(1, GridColumnCount);
    if (!LoadSaveFile(call.arguments.constFirst(), cells, &error))
        return Failure(error);
    DrawHistory history(HistoryPath(call));
    if (!OpenHistory(history, false, &error))
        return Failure(error);
    std::array<QVector<DrawRecord>, GameCount> draws;
    for (int g = 0; g < GameCount; ++g) {
        for (const DrawRecord &draw : history.draws(g)) {
            if (draw.DrawNumber >= std::min(from, to) && draw.DrawNumber <= std::max(from, to))
                draws[size_t(g)].append(draw);
        }
    }
    WorkControl control;
    const BacktestResult result = RunBacktest(ReadSavedRows(cells), draws, control);
    const GameTableType games = CommandGames(call);
    QVector<GameFigures> figures;
    for (int g = 0; g < GameCount; ++g)
        figures << BacktestFigures(g, games[size_t(g)], result.Games[size_t(g)]);
    WriteFigures(figures, call.format,
                 QStringLiteral("過去の成績は次回の当選の見込みを変えません。"));
    return 0;
}

int RunChance(const CommandCall &call)
{
    QString error;
    GridCellStore cells(1, GridColumnCount);
    if (!LoadSaveFile(call.arguments.constFirst(), cells, &error))
        return Failure(error);
    DrawHistory history(HistoryPath(call));
    if (!OpenHistory(history, false, &error))
        return Failure(error);
    const SavedRowSets rows = ReadSavedRows(cells);
    const GameTableType games = CommandGames(call);
    QVector<GameFigures> figures;
    WorkControl control;
    for (int g = 0; g < GameCount; ++g) {
        const GameRowSets &saved = rows.Games[size_t(g)];
        const ChanceResult result = ComputeChance(
            g, games[size_t(g)], CombinationRows(saved, games[size_t(g)]), control);
        figures << ChanceFigures(g, games[size_t(g)], result, qint64(saved.size()),
                                 history.draws(g));
    }
    WriteFigures(figures, call.format,
                 QStringLiteral("確率は偶然だけで決まります。どの行も当たりを約束しません。"));
    return 0;
}
