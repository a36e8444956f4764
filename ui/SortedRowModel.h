#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <algorithm>
#include <numeric>
#include <vector>

// A table of one row per saved row, sortable by any column. Sorting orders an
// index instead of the rows, so a million rows sort quickly; ties keep the
// save area's order. A table says what each cell reads (also its CSV text)
// and what each column sorts by.
template<typename Row, typename Key>
class SortedRowModel : public QAbstractTableModel
{
public:
    SortedRowModel(int columns, QObject *parent)
        : QAbstractTableModel(parent)
        , m_columns(columns)
    {}

    void setRows(std::vector<Row> rows)
    {
        beginResetModel();
        m_rows = std::move(rows);
        m_order.resize(m_rows.size());
        std::iota(m_order.begin(), m_order.end(), 0);
        endResetModel();
    }
    void clear() { setRows({}); }

    // The table as CSV lines, header first, in the order shown.
    QStringList csvLines() const
    {
        QStringList lines;
        QStringList header;
        for (int c = 0; c < m_columns; ++c)
            header << headerData(c, Qt::Horizontal).toString();
        lines << header.join(QLatin1Char(','));
        for (const int i : m_order) {
            QStringList cells;
            for (int c = 0; c < m_columns; ++c)
                cells << text(m_rows[size_t(i)], c);
            lines << cells.join(QLatin1Char(','));
        }
        return lines;
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_columns;
    }

    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override
    {
        if (column < 0 || column >= m_columns)
            return;
        beginResetModel();
        std::iota(m_order.begin(), m_order.end(), 0);
        std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
            const Key ka = sortKey(m_rows[size_t(a)], column);
            const Key kb = sortKey(m_rows[size_t(b)], column);
            return order == Qt::AscendingOrder ? ka < kb : kb < ka;
        });
        endResetModel();
    }

protected:
    virtual QString text(const Row &row, int column) const = 0;
    virtual Key sortKey(const Row &row, int column) const = 0;

    // The row shown at index, in the order shown; null outside the table.
    const Row *shownRow(const QModelIndex &index) const
    {
        if (!index.isValid() || index.row() >= int(m_order.size()))
            return nullptr;
        return &m_rows[size_t(m_order[size_t(index.row())])];
    }

private:
    int m_columns;
    std::vector<Row> m_rows;
    std::vector<int> m_order;
};
