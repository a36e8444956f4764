#pragma once

#include "core/Backtest.h"

#include "ui/SortedRowModel.h"

#include <QLocale>
#include <QStringList>

using BacktestRowTable = SortedRowModel<BacktestRow, qint64>;

// The back-test's table per saved row, sortable by any column.
class BacktestRowModel : public BacktestRowTable
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

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    static QString tierName(int tier); // "1等"; "なし" for 0

protected:
    QString text(const BacktestRow &row, int column) const override;
    qint64 sortKey(const BacktestRow &row, int column) const override;

private:
    QStringList m_gameNames;
    QLocale m_locale{QLocale::Japanese, QLocale::Japan};
};
