#pragma once

// Reading a result grid's cells and driving it with the mouse as a user does.

#include "ui/ResultGrid.h"

#include <QHeaderView>
#include <QList>
#include <QStringList>
#include <QTest>

#include <algorithm>

inline QStringList Column(const ResultGrid &grid, int col)
{
    QStringList texts;
    for (int r = 1; r < grid.rowCount(); ++r)
        texts << grid.text(r, col);
    return texts;
}

inline QStringList RowAt(const ResultGrid &grid, int row)
{
    QStringList cells;
    for (int c = 0; c < grid.columnCount(); ++c)
        cells << grid.text(row, c);
    return cells;
}

inline QList<QStringList> DataRows(const ResultGrid &grid)
{
    QList<QStringList> rows;
    for (int r = 1; r < grid.rowCount(); ++r)
        rows << RowAt(grid, r);
    return rows;
}

// Top, bottom, left and right of the selected block.
inline QList<int> Block(const ResultGrid &grid)
{
    return {std::min(grid.currentRow(), grid.selectionEndRow()),
            std::max(grid.currentRow(), grid.selectionEndRow()),
            std::min(grid.currentColumn(), grid.selectionEndColumn()),
            std::max(grid.currentColumn(), grid.selectionEndColumn())};
}

inline QPoint CellCentre(const ResultGrid &grid, int row, int col)
{
    return grid.visualRect(grid.model()->index(row - 1, col - 1)).center();
}

inline QPoint HeaderCentre(const ResultGrid &grid, int col)
{
    const QHeaderView *header = grid.horizontalHeader();
    return QPoint(header->sectionViewportPosition(col - 1) + header->sectionSize(col - 1) / 2,
                  header->height() / 2);
}

inline void ClickCell(ResultGrid &grid, int row, int col)
{
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCentre(grid, row, col));
}

inline void DragCells(ResultGrid &grid, int fromRow, int toRow, int fromCol = 2, int toCol = 2)
{
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, CellCentre(grid, fromRow, fromCol));
    QTest::mouseMove(grid.viewport(), CellCentre(grid, toRow, toCol));
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, CellCentre(grid, toRow, toCol));
}

inline void ClickHeader(ResultGrid &grid, int col)
{
    QTest::mouseClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {},
                      HeaderCentre(grid, col));
}

// The same for the grids a window holds by pointer.
inline QStringList Column(const ResultGrid *grid, int col)
{
    return Column(*grid, col);
}
inline QStringList RowAt(const ResultGrid *grid, int row)
{
    return RowAt(*grid, row);
}
inline QList<QStringList> DataRows(const ResultGrid *grid)
{
    return DataRows(*grid);
}
inline QList<int> Block(const ResultGrid *grid)
{
    return Block(*grid);
}
inline QPoint CellCentre(const ResultGrid *grid, int row, int col)
{
    return CellCentre(*grid, row, col);
}
inline void ClickCell(ResultGrid *grid, int row, int col)
{
    ClickCell(*grid, row, col);
}
inline void DragCells(ResultGrid *grid, int fromRow, int toRow, int fromCol = 2, int toCol = 2)
{
    DragCells(*grid, fromRow, toRow, fromCol, toCol);
}
inline void ClickHeader(ResultGrid *grid, int col)
{
    ClickHeader(*grid, col);
}
