#include "core/SaveGridJudge.h"

#include "core/GridCellStore.h"

std::vector<JudgedRow> JudgeSaveRows(const GridCellStore &cells, const GameDraws &draws,
                                     const GameTableType &games, const CellMarkSink &mark)
{
    const CellKeyOf keyOf = [&cells](QStringView text) { return cells.keyOf(text); };
    std::array<std::optional<DrawKeys>, GameCount> keys;
    for (int g = 0; g < GameCount; ++g) {
        if (draws[size_t(g)])
            keys[size_t(g)] = KeysOf(PrepareDraw(*draws[size_t(g)], games[size_t(g)].PickCount,
                                                 games[size_t(g)].BonusCount),
                                     keyOf);
    }
    std::vector<JudgedRow> judged;
    const int rows = cells.rowCount();
    const int numberColumns = GridLayoutOf(cells.columnCount()).NumberColumns;
    for (int r = 1; r < rows; ++r) {
        const int game = RowGame(cells, r);
        const std::optional<DrawKeys> &draw = keys[size_t(game)];
        if (!draw)
            continue;
        // A grid without a seventh number column judges that cell as empty.
        std::array<quint32, JudgedColumns> cellKeys;
        cellKeys.fill(GridCellStore::EmptyKey);
        for (int c = 0; c < numberColumns; ++c)
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
    QStringList bonuses;
    for (int b = 0; b < game.BonusCount; ++b)
        bonuses.append(QStringLiteral("(") + QString::number(draw->Numbers[size_t(BonusSlot + b)])
                       + QStringLiteral(")"));
    lines.append(QStringLiteral("   ") + numbers + bonuses.join(QLatin1Char(' ')));
    return lines;
}
