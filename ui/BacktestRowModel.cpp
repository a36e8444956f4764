#include "ui/BacktestRowModel.h"

#include "core/ReportFormat.h"

#include <algorithm>
#include <numeric>

BacktestRowModel::BacktestRowModel(QStringList gameNames, QObject *parent)
    : QAbstractTableModel(parent)
    , m_gameNames(std::move(gameNames))
{}

void BacktestRowModel::setRows(std::vector<BacktestRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_order.resize(m_rows.size());
    std::iota(m_order.begin(), m_order.end(), 0);
    endResetModel();
}

void BacktestRowModel::clear()
{
    setRows({});
}

QString BacktestRowModel::tierName(int tier)
{
    return TierName(tier);
}

QString BacktestRowModel::text(const BacktestRow &row, int column) const
{
    switch (column) {
    case RowColumn:
        return QString::number(row.GridRow);
    case GameColumn:
        return m_gameNames.value(row.Game);
    case BestColumn:
        return tierName(row.bestTier());
    case YenColumn:
        return QString::number(row.Yen);
    default: {
        const int t = column - FirstTierColumn;
        // Mini LOTO has no fifth prize.
        if (t >= TierCount(row.Game))
            return QString();
        return QString::number(row.Wins[size_t(t)]);
    }
    }
}

qint64 BacktestRowModel::sortKey(const BacktestRow &row, int column) const
{
    switch (column) {
    case RowColumn:
        return row.GridRow;
    case GameColumn:
        return row.Game;
    case BestColumn:
        // The first prize is the best; no prize after every tier.
        return row.bestTier() == 0 ? MaxTiers + 1 : row.bestTier();
    case YenColumn:
        return row.Yen;
    default:
        return row.Wins[size_t(column - FirstTierColumn)];
    }
}

QStringList BacktestRowModel::csvLines() const
{
    QStringList lines;
    QStringList header;
    for (int c = 0; c < ColumnCount; ++c)
        header << headerData(c, Qt::Horizontal).toString();
    lines << header.join(QLatin1Char(','));
    for (const int i : m_order) {
        QStringList cells;
        for (int c = 0; c < ColumnCount; ++c)
            cells << text(m_rows[size_t(i)], c);
        lines << cells.join(QLatin1Char(','));
    }
    return lines;
}

int BacktestRowModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int BacktestRowModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BacktestRowModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_order.size()))
        return QVariant();
    const BacktestRow &row = m_rows[size_t(m_order[size_t(index.row())])];
    if (role == Qt::TextAlignmentRole)
        return index.column() == GameColumn || index.column() == BestColumn
                   ? QVariant(Qt::AlignCenter)
                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return QVariant();
    if (index.column() == YenColumn)
        return m_locale.toString(row.Yen);
    return text(row, index.column());
}

QVariant BacktestRowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case RowColumn:
        return QStringLiteral("行");
    case GameColumn:
        return QStringLiteral("くじ");
    case BestColumn:
        return QStringLiteral("最高");
    case YenColumn:
        return QStringLiteral("当選金(円)");
    default:
        return tierName(section - FirstTierColumn + 1);
    }
}

void BacktestRowModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    beginResetModel();
    // Ties keep the save area's order.
    std::iota(m_order.begin(), m_order.end(), 0);
    std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
        const qint64 ka = sortKey(m_rows[size_t(a)], column);
        const qint64 kb = sortKey(m_rows[size_t(b)], column);
        return order == Qt::AscendingOrder ? ka < kb : kb < ka;
    });
    endResetModel();
}
