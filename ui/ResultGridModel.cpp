#include "ui/ResultGridModel.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include <algorithm>

// A new grid has one header row, one data row and two columns.
ResultGridModel::ResultGridModel(QObject *parent)
    : QAbstractTableModel(parent)
    , m_store(2, 2)
    , m_shownRows(1)
{}

// ---------------------------------------------------------------------------
// Changes

// Inline: it runs for every single cell write.
inline void ResultGridModel::cellsChanged(GridBlock block)
{
    if (block.isEmpty())
        return;
    if (m_dirty.isEmpty()) {
        m_dirty = block;
    } else {
        m_dirty.top = std::min(m_dirty.top, block.top);
        m_dirty.left = std::min(m_dirty.left, block.left);
        m_dirty.bottom = std::max(m_dirty.bottom, block.bottom);
        m_dirty.right = std::max(m_dirty.right, block.right);
    }
    queueFlush();
}

void ResultGridModel::setGridRowCount(int rows)
{
    rows = std::max(rows, 1);
    const int oldRows = m_store.rowCount();
    if (rows == oldRows)
        return;
    if (rows > oldRows) {
        syncRowCount();
        beginInsertRows(QModelIndex(), oldRows - 1, rows - 2);
        m_store.setRowCount(rows);
        m_shownRows = rows - 1;
        endInsertRows();
    } else {
        m_store.setRowCount(rows);
        m_rowsShifted = true;
        queueFlush();
    }
}

void ResultGridModel::setGridColumnCount(int columns)
{
    columns = std::max(columns, 1);
    const int oldCols = m_store.columnCount();
    if (columns == oldCols)
        return;
    syncRowCount();
    if (columns > oldCols)
        beginInsertColumns(QModelIndex(), oldCols - 1, columns - 2);
    else
        beginRemoveColumns(QModelIndex(), columns - 1, oldCols - 2);
    m_store.setColumnCount(columns);
    if (columns > oldCols)
        endInsertColumns();
    else
        endRemoveColumns();
}

void ResultGridModel::insertGridColumn(int col)
{
    // Column 0 is the left column, never a model column.
    if (col < 1 || col > m_store.columnCount())
        return;
    syncRowCount();
    beginInsertColumns(QModelIndex(), col - 1, col - 1);
    m_store.insertColumn(col);
    endInsertColumns();
}

bool ResultGridModel::removeGridColumn(int col)
{
    if (col < 1 || col >= m_store.columnCount())
        return false;
    syncRowCount();
    beginRemoveColumns(QModelIndex(), col - 1, col - 1);
    m_store.removeColumn(col);
    endRemoveColumns();
    return true;
}

void ResultGridModel::appendRows(int count)
{
    if (count <= 0)
        return;
    setGridRowCount(m_store.rowCount() + count);
}

bool ResultGridModel::removeGridRows(int first, int last)
{
    if (!m_store.removeRows(first, last))
        return false;
    m_rowsShifted = true;
    queueFlush();
    return true;
}

void ResultGridModel::replaceCells(GridCellStore cells)
{
    setGridColumnCount(cells.columnCount());
    // The header row is the grid's own, not part of the rows put in.
    for (int c = 0; c < cells.columnCount(); ++c) {
        cells.setColumnCentered(c, m_store.isColumnCentered(c));
        cells.setText(0, c, m_store.text(0, c));
    }
    syncRowCount();
    const int oldRows = m_shownRows;
    const int newRows = cells.rowCount() - 1;
    if (newRows > oldRows) {
        beginInsertRows(QModelIndex(), oldRows, newRows - 1);
        m_store = std::move(cells);
        m_shownRows = newRows;
        endInsertRows();
    } else if (newRows < oldRows) {
        beginRemoveRows(QModelIndex(), newRows, oldRows - 1);
        m_store = std::move(cells);
        m_shownRows = newRows;
        endRemoveRows();
    } else {
        m_store = std::move(cells);
    }
    cellsChanged(GridBlock{0, 0, m_store.rowCount() - 1, m_store.columnCount() - 1});
}

void ResultGridModel::editCells(const std::function<void(GridCellStore &)> &edit, GridBlock changed)
{
    edit(m_store);
    cellsChanged(changed);
}

void ResultGridModel::setText(int row, int col, const QString &text)
{
    if (m_store.setText(row, col, text))
        cellsChanged(GridBlock{row, col, row, col});
}

void ResultGridModel::setBlockText(int top, int left, QStringView text)
{
    cellsChanged(m_store.setBlockText(top, left, text));
}

void ResultGridModel::clearCells()
{
    m_store.clear();
    cellsChanged(GridBlock{0, 0, m_store.rowCount() - 1, m_store.columnCount() - 1});
}

void ResultGridModel::sortRows(int first, int last, const QVector<int> &keyColumns)
{
    cellsChanged(m_store.sortRows(first, last, keyColumns));
}

void ResultGridModel::setCellColor(int row, int col, QRgb rgb)
{
    if (m_store.setCellColor(row, col, rgb))
        cellsChanged(GridBlock{row, col, row, col});
}

void ResultGridModel::setCellBold(int row, int col)
{
    if (m_store.setCellBold(row, col))
        cellsChanged(GridBlock{row, col, row, col});
}

void ResultGridModel::clearMarks()
{
    if (m_store.clearMarks())
        cellsChanged(GridBlock{0, 0, m_store.rowCount() - 1, m_store.columnCount() - 1});
}

void ResultGridModel::setColumnCentered(int col, bool centered)
{
    if (m_store.setColumnCentered(col, centered))
        cellsChanged(GridBlock{0, col, m_store.rowCount() - 1, col});
}

// ---------------------------------------------------------------------------
// Telling the views

void ResultGridModel::queueFlush()
{
    if (m_flushQueued)
        return;
    m_flushQueued = true;
    QMetaObject::invokeMethod(this, &ResultGridModel::flushPending, Qt::QueuedConnection);
}

void ResultGridModel::flushPending()
{
    m_flushQueued = false;
    syncRowCount();
    notifyCells();
    if (m_rowsShifted) {
        m_rowsShifted = false;
        emit rowsShifted();
    }
}

void ResultGridModel::syncRowCount()
{
    const int dataRows = m_store.rowCount() - 1;
    if (m_shownRows <= dataRows)
        return;
    beginRemoveRows(QModelIndex(), dataRows, m_shownRows - 1);
    m_shownRows = dataRows;
    endRemoveRows();
}

void ResultGridModel::notifyCells()
{
    if (m_dirty.isEmpty())
        return;
    // Rows or columns may have gone since the change.
    const int top = m_dirty.top;
    const int left = m_dirty.left;
    const int bottom = std::min(m_dirty.bottom, m_store.rowCount() - 1);
    const int right = std::min(m_dirty.right, m_store.columnCount() - 1);
    m_dirty = GridBlock();
    if (top > bottom || left > right)
        return;
    const int dataTop = std::max(top, 1);
    const int dataLeft = std::max(left, 1);
    if (dataTop <= bottom && dataLeft <= right)
        emit dataChanged(index(dataTop - 1, dataLeft - 1), index(bottom - 1, right - 1));
    if (top == 0 && dataLeft <= right)
        emit headerDataChanged(Qt::Horizontal, dataLeft - 1, right - 1);
    if (left == 0 && dataTop <= bottom)
        emit headerDataChanged(Qt::Vertical, dataTop - 1, bottom - 1);
    if (top == 0 && left == 0)
        emit cornerChanged();
}

// ---------------------------------------------------------------------------
// QAbstractItemModel

int ResultGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shownRows;
}

int ResultGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_store.columnCount() - 1;
}

QVariant ResultGridModel::cellData(int row, int col, int role) const
{
    if (!m_store.isValidCell(row, col))
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return m_store.text(row, col);
    case Qt::TextAlignmentRole:
        if (m_store.isColumnCentered(col))
            return int(Qt::AlignCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        if (m_store.hasCellColor(row, col))
            return QBrush(QColor(QRgb(m_store.cellColor(row, col))));
        return QVariant();
    case Qt::FontRole:
        if (m_store.cellBold(row, col)) {
            QFont font;
            // Only the weight is set; the rest comes from the grid font.
            font.setBold(true);
            return font;
        }
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant ResultGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    return cellData(index.row() + 1, index.column() + 1, role);
}

QVariant ResultGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal)
        return cellData(0, section + 1, role);
    return cellData(section + 1, 0, role);
}

Qt::ItemFlags ResultGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled;
}
