#pragma once

#include "core/GridBlock.h"

#include <vector>

// Where the keyboard goes from one grid cell.
enum class GridStep {
    Up,
    Down,
    Left,
    Right,
    PageUp,
    PageDown,
    RowStart, // Home: the first cell of the row
    RowEnd,   // End: the last cell of the row
    FirstRow, // Ctrl+Home
    LastRow,  // Ctrl+End
};

// The current cell and the selection of a grid with one header row (row 0)
// and one left column (column 0), apart from any window.
//
// The selection is the block between the current cell and its far end, in
// either direction. Ctrl+click picks whole data rows one by one instead; the
// picked rows need not touch, and while there are any they are the selection
// and the block is only where the current cell is.
class GridSelection
{
public:
    int currentRow() const { return m_curRow; }
    int currentColumn() const { return m_curCol; }
    int endRow() const { return m_endRow; }
    int endColumn() const { return m_endCol; }
    bool hasSelection() const { return m_selected; }

    // The grid's shape, which the setters and moves below keep to.
    void setShape(int rows, int columns);
    // Brings the current cell, the end and the picked rows inside the shape.
    void clamp();
    int rowCount() const { return m_rows; }
    int columnCount() const { return m_cols; }

    // Setting the current cell collapses the end onto it; each selects.
    void setCurrentRow(int row);
    void setCurrentColumn(int col);
    void setEndRow(int row);
    void setEndColumn(int col);
    // Nothing selected; the current cell stays and the end joins it.
    void unselect();

    // The rectangle between the current cell and the end cell; empty while
    // nothing is selected or rows are picked.
    GridBlock block() const;
    // Whether a cell shows as selected.
    bool contains(int row, int col) const;
    // The selected data rows, top down.
    std::vector<int> selectedRows() const;
    // True while Ctrl+click has picked rows.
    bool hasPickedRows() const { return !m_picked.empty(); }

    // A header cell stands for its column's data rows.
    void selectColumnBelow(int col);
    // Every data row, every column; false when there is none.
    bool selectAll();

    // Mouse on a cell (row 0 is the header row). A plain press starts a block,
    // Shift stretches the block to the cell, Ctrl picks or drops the row.
    void press(int row, int col, bool shift, bool control);
    // The far end follows a drag; a drag from the header only moves columns.
    void dragTo(int row, int col);

    // The keyboard: with extend (Shift) the far end of a block of data rows
    // moves, else the current cell. page is the rows one page holds. Returns
    // the cell to scroll into view.
    void step(GridStep step, bool extend, int page, int *showRow, int *showCol);

private:
    int m_rows = 1;
    int m_cols = 1;
    int m_curRow = 1;
    int m_curCol = 1;
    int m_endRow = 1;
    int m_endCol = 1;
    bool m_selected = false;
    // A press on the header row selects whole columns; dragging then only
    // moves the end column.
    bool m_columnDrag = false;
    std::vector<int> m_picked; // ascending
};
