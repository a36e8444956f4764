#include "ui/PopularityRowModel.h"

#include <QLocale>

PopularityRowModel::PopularityRowModel(QStringList gameNames, QObject *parent)
    : PopularityRowTable(ColumnCount, parent)
    , m_gameNames(std::move(gameNames))
{}

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

QVariant PopularityRowModel::data(const QModelIndex &index, int role) const
{
    const PopularityRow *shown = shownRow(index);
    if (!shown)
        return QVariant();
    const PopularityRow &row = *shown;
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
