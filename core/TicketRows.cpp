#include "core/TicketRows.h"

#include "core/GameTable.h"
#include "core/GridCellStore.h"

#include <QLocale>

#include <optional>
#include <system_error>
#include <thread>

bool IsTicket(int game, const std::array<int, JudgedColumns> &cells)
{
    if (game < 0 || game >= GameRuleCount)
        return false;
    static_assert(HighestNumber < 64, "a number is a bit of the seen set");
    const GameRule &rule = GameRuleOf(game);
    quint64 seen = 0;
    int count = 0;
    for (const int n : cells) {
        if (n == EmptyCell)
            continue;
        if (n < 1 || n > rule.HighestNumber || (seen & (quint64(1) << n)))
            return false;
        seen |= quint64(1) << n;
        ++count;
    }
    return count == rule.PickCount;
}

TicketRows::TicketRows(const GridCellStore &store)
    : m_store(store)
    , m_numberColumns(GridLayoutOf(store.columnCount()).NumberColumns)
{
    // The keys of plain numbers are small, so a table indexed by key answers
    // every cell; a key beyond it is no number of any game.
    for (int n = 1; n <= HighestNumber; ++n) {
        const std::optional<quint32> key = store.keyOf(QString::number(n));
        if (!key || *key > quint32(1) << 16)
            continue;
        if (m_numberOfKey.size() <= *key)
            m_numberOfKey.resize(size_t(*key) + 1, OtherText);
        m_numberOfKey[*key] = n;
    }
    m_emptyKey = store.cellKey(-1, -1);
}

std::array<int, JudgedColumns> TicketRows::cells(int row) const
{
    std::array<int, JudgedColumns> cells{};
    // A grid narrower than the widest game has no cell for the last numbers.
    for (int c = 0; c < m_numberColumns; ++c)
        cells[size_t(c)] = numberAt(row, FirstNumberColumn + c);
    return cells;
}

int TicketRows::game(int row) const
{
    return RowGame(m_store, row);
}

qint64 TicketRows::countNotTickets() const
{
    const auto count = [this](int first, int end) {
        qint64 n = 0;
        for (int r = first; r < end; ++r) {
            if (!isTicket(r))
                ++n;
        }
        return n;
    };
    // A large store is counted in two halves at once; nothing changes it
    // meanwhile.
    constexpr int ShareFrom = 65536;
    const int rows = m_store.rowCount();
    if (rows < ShareFrom)
        return count(1, rows);
    const int middle = 1 + (rows - 1) / 2;
    qint64 lower = 0;
    try {
        std::thread helper([&] { lower = count(1, middle); });
        const qint64 upper = count(middle, rows);
        helper.join();
        return lower + upper;
    } catch (const std::system_error &) {
        return count(1, rows); // no thread to be had: all here
    }
}

QString NotTicketLine(int game, int row)
{
    const GameRule &rule = GameRuleOf(game);
    return QStringLiteral("%1　%2 行目は 1～%3 の異なる %4 個の数字ではないため、判定しません")
        .arg(QString::fromUtf16(rule.Name.data(), qsizetype(rule.Name.size())))
        .arg(row)
        .arg(rule.HighestNumber)
        .arg(rule.PickCount);
}

QString NotTicketsLeftOutLine(int game, qint64 count)
{
    const GameRule &rule = GameRuleOf(game);
    return QStringLiteral(
               "  1～%1 の異なる %2 個の数字ではない行 %3 行は、券ではないため除いています。")
        .arg(rule.HighestNumber)
        .arg(rule.PickCount)
        .arg(QLocale(QLocale::Japanese).toString(count));
}

QString NotTicketsLoadedText(qint64 count)
{
    return QStringLiteral("読み込んだ行のうち %1 行は、くじの数だけの異なる数字（範囲内）がそろって"
                          "いないため券として扱いません。行はそのまま残しますが、判定・検証・確率で"
                          "は除きます。")
        .arg(QLocale(QLocale::Japanese).toString(count));
}
