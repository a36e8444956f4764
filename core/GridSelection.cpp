#include "core/GridSelection.h"

#include <algorithm>

void GridSelection::setShape(int rows, int columns)
{
    m_rows = std::max(rows, 1);
    m_cols = std::max(columns, 1);
}

void GridSelection::clamp()
{
    const int lastRow = m_rows - 1;
    const int lastCol = m_cols - 1;
    m_curRow = std::min(m_curRow, lastRow);
    m_endRow = std::min(m_endRow, lastRow);
    m_curCol = std::min(m_curCol, lastCol);
    m_endCol = std::min(m_endCol, lastCol);
    m_picked.erase(std::lower_bound(m_picked.begin(), m_picked.end(), m_rows), m_picked.end());
}

void GridSelection::setCurrentRow(int row)
{
    m_curRow = m_endRow = std::clamp(row, 0, m_rows - 1);
    m_selected = true;
    m_picked.clear();
}

void GridSelection::setCurrentColumn(int col)
{
    m_curCol = m_endCol = std::clamp(col, 0, m_cols - 1);
    m_selected = true;
    m_picked.clear();
}

void GridSelection::setEndRow(int row)
{
    m_endRow = std::clamp(row, 0, m_rows - 1);
    m_selected = true;
    m_picked.clear();
}

void GridSelection::setEndColumn(int col)
{
    m_endCol = std::clamp(col, 0, m_cols - 1);
    m_selected = true;
    m_picked.clear();
}

void GridSelection::unselect()
{
    m_selected = false;
    m_endRow = m_curRow;
    m_endCol = m_curCol;
    m_picked.clear();
}

GridBlock GridSelection::block() const
{
    if (!m_selected || !m_picked.empty())
        return GridBlock();
    // Plain values: std::minmax of temporaries would hand back dangling references.
    return GridBlock{std::min(m_curRow, m_endRow), std::min(m_curCol, m_endCol),
                     std::max(m_curRow, m_endRow), std::max(m_curCol, m_endCol)};
}

bool GridSelection::contains(int row, int col) const
{
    if (!m_picked.empty())
        return col >= 0 && col < m_cols
               && std::binary_search(m_picked.begin(), m_picked.end(), row);
    return block().contains(row, col);
}

std::vector<int> GridSelection::selectedRows() const
{
    if (!m_picked.empty())
        return m_picked;
    std::vector<int> rows;
    const GridBlock b = block();
    for (int r = std::max(b.top, 1); r <= b.bottom; ++r)
        rows.push_back(r);
    return rows;
}

void GridSelection::selectColumnBelow(int col)
{
    if (m_rows < 2)
        return;
    m_picked.clear();
    m_curRow = 1;
    m_endRow = m_rows - 1;
    m_curCol = m_endCol = std::clamp(col, 0, m_cols - 1);
    m_selected = true;
}

bool GridSelection::selectAll()
{
    if (m_rows < 2)
        return false;
    m_picked.clear();
    m_curRow = 1;
    m_curCol = 0;
    m_endRow = m_rows - 1;
    m_endCol = m_cols - 1;
    m_selected = true;
    return true;
}

void GridSelection::press(int row, int col, bool shift, bool control)
{
    m_columnDrag = false;
    if (row == 0) {
        m_columnDrag = true;
        selectColumnBelow(col);
        return;
    }
    if (control && row > 0) {
        // The rows selected so far become picked rows, then the row under
        // the mouse is picked or dropped.
        if (m_picked.empty())
            m_picked = selectedRows();
        const auto at = std::lower_bound(m_picked.begin(), m_picked.end(), row);
        if (at != m_picked.end() && *at == row)
            m_picked.erase(at);
        else
            m_picked.insert(at, row);
        m_curRow = m_endRow = row;
        m_curCol = m_endCol = col;
        m_selected = !m_picked.empty();
        return;
    }
    m_picked.clear();
    if (!(shift && m_selected && m_curRow > 0)) {
        m_curRow = row;
        m_curCol = col;
    }
    m_endRow = row;
    m_endCol = col;
    m_selected = true;
}

void GridSelection::dragTo(int row, int col)
{
    if (!m_picked.empty())
        return;
    if (m_columnDrag) {
        if (m_rows < 2)
            return;
        m_endCol = std::clamp(col, 0, m_cols - 1);
    } else {
        if (m_rows >= 2)
            m_endRow = std::clamp(row, 1, m_rows - 1);
        m_endCol = std::clamp(col, 0, m_cols - 1);
    }
}

void GridSelection::step(GridStep step, bool extend, int page, int *showRow, int *showCol)
{
    const int lastRow = m_rows - 1;
    const int lastCol = m_cols - 1;
    // Shift moves the end of a selection of data rows; without one it moves
    // the current cell like a plain key.
    extend = extend && m_selected && m_picked.empty() && m_curRow > 0;
    int row = extend ? m_endRow : m_curRow;
    int col = extend ? m_endCol : m_curCol;
    switch (step) {
    case GridStep::Up:
        --row;
        break;
    case GridStep::Down:
        ++row;
        break;
    case GridStep::Left:
        --col;
        break;
    case GridStep::Right:
        ++col;
        break;
    case GridStep::PageUp:
        row = std::max(row - page, std::min(row, 1));
        break;
    case GridStep::PageDown:
        row += page;
        break;
    case GridStep::RowStart:
        col = 0;
        break;
    case GridStep::RowEnd:
        col = lastCol;
        break;
    case GridStep::FirstRow:
        row = std::min(1, lastRow);
        break;
    case GridStep::LastRow:
        row = lastRow;
        break;
    }
    m_picked.clear();
    col = std::clamp(col, 0, lastCol);
    if (extend) {
        m_endRow = std::clamp(row, 1, lastRow);
        m_endCol = col;
        *showRow = m_endRow;
        *showCol = m_endCol;
    } else {
        m_curRow = m_endRow = std::clamp(row, 0, lastRow);
        m_curCol = m_endCol = col;
        // The header row holds no data: the focus there selects nothing.
        m_selected = m_curRow > 0;
        *showRow = m_curRow;
        *showCol = m_curCol;
    }
}
