#include "ui/BacktestRowModel.h"

#include "core/ReportFormat.h"

BacktestRowModel::BacktestRowModel(QStringList gameNames, QObject *parent)
    : BacktestRowTable(ColumnCount, parent)
    , m_gameNames(std::move(gameNames))
{}

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

QVariant BacktestRowModel::data(const QModelIndex &index, int role) const
{
    const BacktestRow *shown = shownRow(index);
    if (!shown)
        return QVariant();
    const BacktestRow &row = *shown;
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
