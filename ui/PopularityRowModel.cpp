#include "ui/PopularityRowModel.h"

#include <QLocale>

#include <algorithm>
#include <numeric>

PopularityRowModel::PopularityRowModel(QStringList gameNames, QObject *parent)
    : QAbstractTableModel(parent)
    , m_gameNames(std::move(gameNames))
{}

void PopularityRowModel::setRows(std::vector<PopularityRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_order.resize(m_rows.size());
    std::iota(m_order.begin(), m_order.end(), 0);
    endResetModel();
}

double PopularityRowModel::value(const PopularityRow &row, int column) const
{
    switch (column) {
    case RowColumn:
        return row.GridRow;
    case GameColumn:
        return row.Game;
    case IndexColumn:
        return row.Payout.Index;
    case FixedYenColumn:
        return row.Payout.FixedYen;
    case SharedYenColumn:
        return row.Payout.SharedYen;
    case YenColumn:
        return row.Payout.yen();
    default:
        return double(row.PriceYen);
    }
}

QString PopularityRowModel::text(const PopularityRow &row, int column) const
{
    switch (column) {
    case RowColumn:
    case PriceColumn:
        return QString::number(qint64(value(row, column)));
    case GameColumn:
        return m_gameNames.value(row.Game);
    default:
        // The same text in the table and the CSV, with a point whatever the locale.
        return QString::number(value(row, column), 'f', 1);
    }
}

QStringList PopularityRowModel::csvLines() const
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

int PopularityRowModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int PopularityRowModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PopularityRowModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_order.size()))
        return QVariant();
    const PopularityRow &row = m_rows[size_t(m_order[size_t(index.row())])];
    if (role == Qt::TextAlignmentRole)
        return index.column() == GameColumn ? QVariant(Qt::AlignCenter)
                                            : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return QVariant();
    // Yen with separators on the screen; the CSV keeps plain figures.
    switch (index.column()) {
    case FixedYenColumn:
    case SharedYenColumn:
    case YenColumn:
        return QLocale(QLocale::Japanese, QLocale::Japan)
            .toString(value(row, index.column()), 'f', 1);
    case PriceColumn:
        return QLocale(QLocale::Japanese, QLocale::Japan)
            .toString(qint64(value(row, index.column())));
    default:
        return text(row, index.column());
    }
}

QVariant PopularityRowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case RowColumn:
        return QStringLiteral("行");
    case GameColumn:
        return QStringLiteral("くじ");
    case IndexColumn:
        return QStringLiteral("人気指数");
    case FixedYenColumn:
        return QStringLiteral("期待配当 固定(円)");
    case SharedYenColumn:
        return QStringLiteral("期待配当 山分け(円)");
    case YenColumn:
        return QStringLiteral("期待配当 計(円)");
    default:
        return QStringLiteral("価格(円)");
    }
}

void PopularityRowModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    beginResetModel();
    // Ties keep the save area's order.
    std::iota(m_order.begin(), m_order.end(), 0);
    std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
        const double ka = value(m_rows[size_t(a)], column);
        const double kb = value(m_rows[size_t(b)], column);
        return order == Qt::AscendingOrder ? ka < kb : kb < ka;
    });
    endResetModel();
}
