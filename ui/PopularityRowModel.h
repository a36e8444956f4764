#pragma once

#include "core/GameTable.h"
#include "core/PopularityModel.h"

#include "ui/SortedRowModel.h"

#include <QStringList>

struct PopularityRow
{
    int GridRow = 0;
    int Game = 0;
    RowPayout Payout;
    qint64 PriceYen = 0;
};

using PopularityRowTable = SortedRowModel<PopularityRow, double>;

// The popularity tab's table per saved row, sortable by any column.
class PopularityRowModel : public PopularityRowTable
{
    Q_OBJECT
public:
    enum Column : int {
        RowColumn,
        GameColumn,
        IndexColumn,
        FixedYenColumn,
        SharedYenColumn,
        YenColumn,
        PriceColumn,
        ColumnCount,
    };

    explicit PopularityRowModel(QStringList gameNames, QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

protected:
    QString text(const PopularityRow &row, int column) const override;
    double sortKey(const PopularityRow &row, int column) const override
    {
        return value(row, column);
    }

private:
    double value(const PopularityRow &row, int column) const;

    QStringList m_gameNames;
};
