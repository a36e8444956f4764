#pragma once

#include "core/GameTable.h"
#include "core/PopularityModel.h"

#include <QAbstractTableModel>
#include <QLocale>
#include <QStringList>

#include <vector>

struct PopularityRow
{
    int GridRow = 0;
    int Game = 0;
    RowPayout Payout;
    qint64 PriceYen = 0;
};

// The popularity tab's table per saved row, sortable by any column; sorting
// orders an index, so a million rows sort quickly.
class PopularityRowModel : public QAbstractTableModel
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

    void setRows(std::vector<PopularityRow> rows);
    void clear() { setRows({}); }

    // The table as CSV lines, header first, in the order shown.
    QStringList csvLines() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    double value(const PopularityRow &row, int column) const;
    QString text(const PopularityRow &row, int column) const;

    QStringList m_gameNames;
    std::vector<PopularityRow> m_rows;
    std::vector<int> m_order;
};
