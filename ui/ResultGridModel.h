#pragma once

#include "core/GridCellStore.h"

#include <QAbstractTableModel>
#include <QRgb>
#include <QString>
#include <QStringView>
#include <QVector>

#include <functional>

// The Qt face of a GridCellStore, for ResultGrid.
//
// The store works in grid coordinates: row 0 is the header row and column 0
// the left column. Towards Qt the model shows only the data part (grid row
// r + 1, grid column c + 1 at model index (r, c)); row 0 and column 0 reach
// the view as header data, so they never scroll away.
//
// Read cells through store(); change them through the model, which tells the
// views.
class ResultGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ResultGridModel(QObject *parent = nullptr);

    const GridCellStore &store() const { return m_store; }

    void setGridRowCount(int rows);
    void setGridColumnCount(int columns);
    // A data column (never column 0) put in at col or taken out, the cells
    // after it moving along.
    void insertGridColumn(int col);
    bool removeGridColumn(int col);
    void appendRows(int count);
    // Removes grid rows first..last (data rows only); false if out of range.
    bool removeGridRows(int first, int last);

    // Puts cells in the place of the grid's cells in one step. The views hear
    // of it as rows added or removed and every cell changed, so they keep
    // their column widths; the columns keep their centring and the header
    // row its texts.
    void replaceCells(GridCellStore cells);
    // For changes too many to make one call each: edit runs on the store, and
    // the views hear of the changed block afterwards.
    void editCells(const std::function<void(GridCellStore &)> &edit, GridBlock changed);

    void setText(int row, int col, const QString &text);
    void setBlockText(int top, int left, QStringView text);
    void clearCells();
    void sortRows(int first, int last, const QVector<int> &keyColumns);
    void setCellColor(int row, int col, QRgb rgb);
    void setCellBold(int row, int col);
    void clearMarks();
    void setColumnCentered(int col, bool centered);

    // Row removals and cell changes reach the views in one step, from the
    // event loop or the next call that needs them to agree: a header view
    // does work in proportion to all its rows for every removal it is told
    // of, which would make removing rows one by one quadratic, and telling
    // three views of every single cell write costs more than the write.
    // Until then the views show surplus rows empty. Call this to announce
    // everything now.
    void flushPending();

    // QAbstractItemModel
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // The text or look of cell (0, 0), which no header view shows.
    void cornerChanged();
    // Rows moved up or went away without the views having been told yet.
    void rowsShifted();

private:
    QVariant cellData(int row, int col, int role) const;
    void cellsChanged(GridBlock block);
    void queueFlush();
    void syncRowCount();
    void notifyCells();

    GridCellStore m_store;
    int m_shownRows = 0; // data rows the views have been told of
    bool m_flushQueued = false;
    bool m_rowsShifted = false;
    // Cells changed since the views were last told, in grid coordinates;
    // empty when none.
    GridBlock m_dirty;
};
