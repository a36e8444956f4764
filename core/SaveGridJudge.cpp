#include "core/SaveGridJudge.h"

#include "core/GridCellStore.h"

#include <QLocale>

#include <map>

std::vector<JudgedRow> JudgeSaveRows(const GridCellStore &cells, const GameDraws &draws,
                                     const GameTableType &games, const CellMarkSink &mark)
{
    const CellKeyOf keyOf = [&cells](QStringView text) { return cells.keyOf(text); };
    std::array<std::optional<DrawKeys>, GameCount> keys;
    std::array<DrawKeyTable, GameCount> tables;
    for (int g = 0; g < GameCount; ++g) {
        if (!draws[size_t(g)])
            continue;
        keys[size_t(g)] = KeysOf(
            PrepareDraw(*draws[size_t(g)], games[size_t(g)].PickCount, games[size_t(g)].BonusCount),
            keyOf);
        tables[size_t(g)] = MakeDrawKeyTable(*keys[size_t(g)]);
    }
    const TicketRows tickets(cells);
    std::vector<JudgedRow> judged;
    const int rows = cells.rowCount();
    const int numberColumns = GridLayoutOf(cells.columnCount()).NumberColumns;
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
        cellKeys.fill(GridCellStore::EmptyKey);
        for (int c = 0; c < numberColumns; ++c)
            cellKeys[size_t(c)] = cells.cellKey(r, FirstNumberColumn + c);
        const DrawKeyTable &table = tables[size_t(game)];
        const RowJudgement row = table.Usable ? JudgeRow(cellKeys, table)
                                              : JudgeRow(cellKeys, *draw);
        if (mark) {
            for (int c = 0; c < JudgedColumns; ++c) {
                if (row.Marks[size_t(c)] != CellMatch::None)
                    mark(r, FirstNumberColumn + c, row.Marks[size_t(c)]);
            }
        }
        if (HasPrizeLine(game, row.Hits, row.BonusFlag))
            judged.push_back({r, game, row.Hits, row.BonusFlag});
    }
    return judged;
}

QStringList JudgedRowLines(const std::vector<JudgedRow> &judged)
{
    // A whole space judged gives a million lines of a handful of texts.
    std::map<std::array<int, 3>, QString> prizeLines;
    QStringList lines;
    lines.reserve(qsizetype(judged.size()));
    for (const JudgedRow &row : judged) {
        if (!row.Ticket) {
            lines.append(row.line());
            continue;
        }
        QString &line = prizeLines[{row.Game, row.Hits, row.BonusFlag}];
        if (line.isNull())
            line = row.line();
        lines.append(line);
    }
    return lines;
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

namespace {

QString TierName(int tier)
{
    return QString(QChar(0xFF10 + tier)) + QStringLiteral("等");
}

// One game's part of the summary, from its rows among the judged.
QStringList GameSummaryLines(int game, const std::vector<JudgedRow> &judged)
{
    const QLocale locale(QLocale::Japanese);
    std::array<qint64, MaxTiers> tiers{};
    qint64 notTickets = 0;
    QStringList listed;
    qint64 winning = 0;
    for (const JudgedRow &row : judged) {
        if (row.Game != game)
            continue;
        if (!row.Ticket) {
            ++notTickets;
            continue;
        }
        const int tier = row.tier();
        if (tier == 0)
            continue;
        ++tiers[size_t(tier - 1)];
        if (++winning <= MaxListedRows)
            listed << QString::number(row.Row);
    }
    const GameRule &rule = GameRuleOf(game);
    QStringList counts;
    for (int t = 0; t < rule.TierCount; ++t)
        counts
            << QStringLiteral("%1 %2 行").arg(TierName(t + 1), locale.toString(tiers[size_t(t)]));
    QStringList lines{QStringLiteral("■%1の判定のまとめ　")
                          .arg(QString::fromUtf16(rule.Name.data(), qsizetype(rule.Name.size())))
                      + counts.join(QStringLiteral("、"))};
    if (notTickets > 0)
        lines << QStringLiteral("  券の形でないため判定しなかった行 %1 行")
                     .arg(locale.toString(notTickets));
    if (winning == 0) {
        lines << QStringLiteral("  当たった行はありません。");
        return lines;
    }
    lines << QStringLiteral("  当たった行（行番号）:");
    // Ten numbers a line keeps each line within the box.
    for (qsizetype i = 0; i < listed.size(); i += 10)
        lines << QStringLiteral("    ") + listed.mid(i, 10).join(QStringLiteral(", "));
    if (winning > MaxListedRows)
        lines << QStringLiteral("    ほか %1 行").arg(locale.toString(winning - MaxListedRows));
    return lines;
}

} // namespace

QStringList JudgementSummaryLines(const std::vector<JudgedRow> &judged, const GameDraws &draws)
{
    QStringList lines;
    for (int g = 0; g < GameCount; ++g) {
        if (draws[size_t(g)])
            lines << GameSummaryLines(g, judged);
    }
    return lines;
}

std::vector<int> WinningRows(const std::vector<JudgedRow> &judged)
{
    std::vector<int> rows;
    for (const JudgedRow &row : judged) {
        if (row.tier() > 0)
            rows.push_back(row.Row);
    }
    return rows;
}
