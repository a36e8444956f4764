#include "core/TicketEntry.h"

#include "core/GridCellStore.h"
#include "core/Statistics.h"
#include "core/TicketRows.h"

#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace {

QString GameName(int game)
{
    const std::u16string_view name = GameRuleOf(game).Name;
    return QString::fromUtf16(name.data(), qsizetype(name.size()));
}

} // namespace

TicketEntry EnterTicket(int game, QStringView numbers, int rowNumber, int draws)
{
    TicketEntry entry;
    if (game < 0 || game >= GameCount) {
        entry.Error = QStringLiteral("くじの種類を選んでください。");
        return entry;
    }
    const GameRule &rule = GameRuleOf(game);
    const QString error = QStringLiteral("%1の券は 1～%2 の異なる %3 個の数字です。")
                              .arg(GameName(game))
                              .arg(rule.HighestNumber)
                              .arg(rule.PickCount);
    static const QRegularExpression separators(QStringLiteral("[\\s,，、]+"));
    const QStringList pieces = numbers.toString().split(separators, Qt::SkipEmptyParts);
    if (pieces.size() != rule.PickCount || pieces.size() > JudgedColumns) {
        entry.Error = error;
        return entry;
    }
    std::array<int, JudgedColumns> cells{};
    Combination selected{};
    for (int i = 0; i < int(pieces.size()); ++i) {
        bool ok = false;
        const int n = pieces.at(i).toInt(&ok);
        // Only plain numbers: "07" would never equal a drawn 7.
        cells[size_t(i)] = ok && QString::number(n) == pieces.at(i) ? n : OtherText;
        selected[size_t(i + 1)] = n;
    }
    if (!IsTicket(game, cells)) {
        entry.Error = error;
        return entry;
    }
    const int k = rule.PickCount;
    std::vector<int> sorted(selected.begin() + 1, selected.begin() + 1 + k);
    std::sort(sorted.begin(), sorted.end());
    std::copy(sorted.begin(), sorted.end(), selected.begin() + 1);
    // A LOTO7 row needs the wide grid's columns; the others the usual ten.
    const GridLayout layout = GridLayoutFor(k);
    entry.Cells.fill(QString(), layout.columnCount());
    entry.Cells[RowNumberColumn] = draws > 1
                                       ? QStringLiteral("%1（%2回分）").arg(rowNumber).arg(draws)
                                       : QString::number(rowNumber);
    for (int i = 1; i <= k; ++i)
        entry.Cells[FirstNumberColumn + i - 1] = QString::number(selected[size_t(i)]);
    entry.Cells[layout.sumColumn()] = QString::number(CombinationSum(selected, k));
    entry.Cells[layout.deviationColumn()] = QString::number(CombinationDeviation(selected, k));
    entry.Cells[layout.oddColumn()] = QString::number(CombinationOddCount(selected, k));
    return entry;
}

namespace {

QString CsvField(QString text)
{
    if (!text.isEmpty() && QStringLiteral("=+-@").contains(text.front()))
        text.prepend(QLatin1Char('\''));
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))
        || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) {
        text.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        text = QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

} // namespace

QStringList SaveAreaCsvLines(const GridCellStore &cells, const GameTableType &games,
                             const std::function<int(int row)> &tierOf)
{
    // The columns follow the grid's: a seventh number only beside a LOTO7 row.
    const GridLayout layout = GridLayoutOf(cells.columnCount());
    QStringList header{QStringLiteral("行"), QStringLiteral("くじ")};
    for (int c = 0; c < layout.NumberColumns; ++c)
        header << QStringLiteral("数字%1").arg(c + 1);
    header << QStringLiteral("合計") << QStringLiteral("偏差") << QStringLiteral("奇数")
           << QStringLiteral("等級");
    QStringList lines{header.join(QLatin1Char(','))};
    const TicketRows tickets(cells);
    for (int r = 1; r < cells.rowCount(); ++r) {
        const int game = tickets.game(r);
        QStringList fields{QString::number(r), CsvField(games[size_t(game)].GameName)};
        for (int c = FirstNumberColumn; c <= layout.lastNumberColumn(); ++c)
            fields << CsvField(cells.text(r, c));
        for (const int c : {layout.sumColumn(), layout.deviationColumn(), layout.oddColumn()})
            fields << CsvField(cells.text(r, c));
        const int tier = tierOf ? tierOf(r) : 0;
        fields << (tier > 0 ? QStringLiteral("%1等").arg(tier) : QString());
        lines << fields.join(QLatin1Char(','));
    }
    return lines;
}
