#include "app/CommandSupport.h"
#include "app/Commands.h"
#include "core/GameKeys.h"
#include "core/GridCellStore.h"
#include "core/LatestDraw.h"
#include "core/SaveGridJudge.h"
#include "storage/DrawHistory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace {

QJsonObject DrawJson(int game, const WinningNumbers &draw, int pickCount)
{
    QJsonArray numbers;
    for (int k = 0; k < pickCount; ++k)
        numbers.append(draw.Numbers[size_t(k)]);
    return {{QStringLiteral("game"), KeyOfGame(game)},
            {QStringLiteral("draw"), draw.DrawNumber},
            {QStringLiteral("date"), draw.DrawDate},
            {QStringLiteral("numbers"), numbers},
            {QStringLiteral("bonus"), draw.Numbers[BonusSlot]}};
}

void WriteText(const GameDraws &draws, const GameTableType &games,
               const std::vector<JudgedRow> &rows)
{
    QStringList lines;
    for (int g = 0; g < GameCount; ++g)
        lines << DrawNumbersLines(games[size_t(g)], draws[size_t(g)]);
    QString text = lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    text.reserve(text.size() + qsizetype(rows.size()) * 24);
    for (const JudgedRow &row : rows)
        text += row.line() + QLatin1Char('\n');
    WriteOut(text + JudgementClosingLine() + QLatin1Char('\n'));
}

void WriteCsv(const std::vector<JudgedRow> &rows)
{
    QString text = QStringLiteral("row,game,hits,bonus,result\r\n");
    text.reserve(text.size() + qsizetype(rows.size()) * 48);
    for (const JudgedRow &row : rows)
        text += QStringLiteral("%1,%2,%3,%4,%5\r\n")
                    .arg(row.Row)
                    .arg(KeyOfGame(row.Game))
                    .arg(row.Hits)
                    .arg(row.BonusFlag)
                    .arg(row.line());
    WriteOut(text);
}

void WriteJson(const GameDraws &draws, const GameTableType &games,
               const std::vector<JudgedRow> &rows)
{
    QJsonArray drawList;
    for (int g = 0; g < GameCount; ++g) {
        if (draws[size_t(g)])
            drawList.append(DrawJson(g, *draws[size_t(g)], games[size_t(g)].PickCount));
    }
    QJsonArray rowList;
    for (const JudgedRow &row : rows)
        rowList.append(QJsonObject{{QStringLiteral("row"), row.Row},
                                   {QStringLiteral("game"), KeyOfGame(row.Game)},
                                   {QStringLiteral("hits"), row.Hits},
                                   {QStringLiteral("bonus"), row.BonusFlag != 0},
                                   {QStringLiteral("result"), row.line()}});
    const QJsonObject root{{QStringLiteral("draws"), drawList}, {QStringLiteral("rows"), rowList}};
    WriteOut(QString::fromUtf8(QJsonDocument(root).toJson()));
}

} // namespace

int RunJudge(const CommandCall &call)
{
    QString error;
    GridCellStore cells(1, GridColumnCount);
    if (!LoadSaveFile(call.arguments.constFirst(), cells, &error))
        return Failure(error);
    DrawHistory history(HistoryPath(call));
    if (!OpenHistory(history, false, &error))
        return Failure(error);
    const GameTableType games = CommandGames(call);
    GameDraws draws;
    for (int g = 0; g < GameCount; ++g)
        draws[size_t(g)] = NewerDraw(ReadWinningNumbers(games, g), history.newest(g));
    if (std::none_of(draws.begin(), draws.end(), [](const auto &draw) { return bool(draw); }))
        return Failure(NoDrawToJudgeLine());
    const std::vector<JudgedRow> rows = JudgeSaveRows(cells, draws, games);
    if (call.format == QStringLiteral("csv"))
        WriteCsv(rows);
    else if (call.format == QStringLiteral("json"))
        WriteJson(draws, games, rows);
    else
        WriteText(draws, games, rows);
    return 0;
}
