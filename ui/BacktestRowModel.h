#pragma once

#include "core/Backtest.h"

#include <QAbstractTableModel>
#include <QLocale>
#include <QStringList>

#include <vector>

// The back-test's table per saved row, sortable by any column. Sorting
// orders an index instead of the rows, so a million rows sort quickly.
class BacktestRowModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column : int {
        RowColumn,
        GameColumn,
        FirstTierColumn, // then one column per tier
        BestColumn = FirstTierColumn + MaxTiers,
        YenColumn,
        ColumnCount,
    };

    BacktestRowModel(QStringList gameNames, QObject *parent = nullptr);

    void setRows(std::vector<BacktestRow> rows);
    void clear();

    // The table as CSV lines, header first, in the order shown.
    QStringList csvLines() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    static QString tierName(int tier); // "1等"; "なし" for 0

private:
    QString text(const BacktestRow &row, int column) const;
    qint64 sortKey(const BacktestRow &row, int column) const;

    QStringList m_gameNames;
    QLocale m_locale{QLocale::Japanese, QLocale::Japan};
    std::vector<BacktestRow> m_rows;
    std::vector<int> m_order;
};
