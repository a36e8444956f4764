#include "core/SaveGridJudge.h"

#include "core/GridCellStore.h"

std::vector<JudgedRow> JudgeSaveRows(const GridCellStore &cells, const GameDraws &draws,
                                     const GameTableType &games, const CellMarkSink &mark)
{
    const CellKeyOf keyOf = [&cells](QStringView text) { return cells.keyOf(text); };
    std::array<std::optional<DrawKeys>, GameCount> keys;
    for (int g = 0; g < GameCount; ++g) {
        if (draws[size_t(g)])
            keys[size_t(g)] = KeysOf(PrepareDraw(*draws[size_t(g)], games[size_t(g)].PickCount),
                                     keyOf);
    }
    const TicketRows tickets(cells);
    std::vector<JudgedRow> judged;
    const int rows = cells.rowCount();
    for (int r = 1; r < rows; ++r) {
        const int game = tickets.game(r);
        const std::optional<DrawKeys> &draw = keys[size_t(game)];
        if (!draw)
            continue;
        if (!IsTicket(game, tickets.cells(r))) {
            judged.push_back({r, game, 0, 0, false});
            continue;
        }
        std::array<quint32, JudgedColumns> cellKeys;
        for (int c = 0; c < JudgedColumns; ++c)
            cellKeys[size_t(c)] = cells.cellKey(r, FirstNumberColumn + c);
        const RowJudgement row = JudgeRow(cellKeys, *draw);
        if (mark) {
            for (int c = 0; c < JudgedColumns; ++c) {
                if (row.Marks[size_t(c)] != CellMatch::None)
                    mark(r, FirstNumberColumn + c, row.Marks[size_t(c)]);
            }
        }
        const JudgedRow result{r, game, row.Hits, row.BonusFlag};
        if (!result.line().isEmpty())
            judged.push_back(result);
    }
    return judged;
}

QStringList DrawNumbersLines(const GameInfo &game, const std::optional<WinningNumbers> &draw)
{
    QStringList lines{QStringLiteral("■") + game.GameName
                      + QStringLiteral("の本数字 と ボーナス数字: ")};
    if (!draw)
        return lines;
    QString numbers;
    // Right-aligned in two characters: a blank before the number, then its
    // last two characters.
    for (int k = 0; k < game.PickCount; ++k)
        numbers += (QLatin1Char(' ') + QString::number(draw->Numbers[size_t(k)])).right(2)
                   + QLatin1Char(' ');
    lines.append(QStringLiteral("   ") + numbers + QStringLiteral("(")
                 + QString::number(draw->Numbers[BonusSlot]) + QStringLiteral(")"));
    return lines;
}
