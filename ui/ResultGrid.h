#pragma once

#include "core/GridBlock.h"

#include <QColor>
#include <QString>
#include <QTableView>

#include <vector>

class ResultGridModel;

// The result grid: one fixed header row (row 0) and one fixed left column
// (column 0); every cell holds a text. Cells are stored compactly behind a
// model, so a grid of a million rows stays quick and small.
class ResultGrid : public QTableView
{
    Q_OBJECT
public:
    explicit ResultGrid(QWidget *parent = nullptr);
    ~ResultGrid() override;

    int rowCount() const;
    // Keeps the cells of the rows that stay; new rows are empty. At least 1.
    void setRowCount(int rows);
    int columnCount() const;
    void setColumnCount(int columns);
    // A column put in at col (never column 0), the cells from col on moving
    // one column right; removing takes column col out.
    void insertColumn(int col, int widthTwips, bool centered);
    void removeColumn(int col);

    QString text(int row, int col) const;
    void setText(int row, int col, const QString &text);
    bool isEmptyCell(int row, int col) const;

    void setColumnWidthTwips(int col, int twips);
    int columnWidthTwips(int col) const;
    void setColumnAlignmentCentered(int col);
    bool isColumnCentered(int col) const;

    // Current cell and the far end of the selection; the selected block is
    // the rectangle between them, in either direction. Setting any of the
    // four selects that block.
    int currentRow() const;
    void setCurrentRow(int row);
    int currentColumn() const;
    void setCurrentColumn(int col);
    int selectionEndRow() const;
    void setSelectionEndRow(int row);
    int selectionEndColumn() const;
    void setSelectionEndColumn(int col);
    // The rectangle between the current cell and the end cell; empty while
    // nothing is selected or while rows picked by Ctrl+click are the selection.
    GridBlock selectedBlock() const;
    bool isSelectedCell(int row, int col) const;
    // The selected data rows, top down; rows picked by Ctrl+click need not
    // touch.
    std::vector<int> selectedRows() const;
    bool hasPickedRows() const;
    // Every data row, as Ctrl+A selects them; false when there is none.
    bool selectAllRows();
    // Whether the last clicked() came from a header cell (a click, or Space
    // or Enter on it); setting the selection clears it.
    bool wasHeaderClick() const;
    // False in a new grid and after unselect(), until a selection is set.
    bool hasSelection() const;
    // Leaves no block selected, so clip text, sort and the moves find
    // nothing to act on. The current cell stays, where the keyboard goes on
    // from; the selection end joins it.
    void unselect();

    // Cells of the selected block, joined by TAB within a row and CR between
    // rows. Writing splits the same way and fills from the block's top-left
    // cell; cells that would fall outside the grid are dropped, cells a short
    // row does not reach keep their text.
    QString clipText() const;
    void setClipText(const QString &text);

    // Ascending sort of the selected rows, keys the selected columns leftmost
    // first; numbers by value, other text as text. Whole rows move.
    // Numbers come before other texts, empty cells last; equal keys keep
    // their order.
    void sortSelection();

    void appendRow();
    void appendRows(int count);
    // False where the grid refuses: the header row, a row out of range, or
    // the last data row.
    bool removeRow(int row);
    // Removes rows first..last in one step (no refusal for the last data row:
    // callers decide). Returns false when the range is not data rows.
    bool removeRows(int first, int last);

    // Empties every cell (header included) and drops colours and bold.
    void clearCells();

    // Colour and emphasis of the current cell.
    void setCellColor(QRgb rgb);
    void setCellBold();
    // Invalid colour when the cell has none.
    QColor cellColor(int row, int col) const;
    bool cellBold(int row, int col) const;

    // The model over the cell store. Views hear of row removals and cell
    // changes from the event loop, so model()->rowCount() may briefly lag
    // behind rowCount(): ask the grid or the store, not the view's model, for
    // counts.
    ResultGridModel *gridModel() const;

signals:
    // After a selection by mouse or keyboard has been applied, and when the
    // keyboard moves the current cell onto the header row.
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    // Arrows, Page Up/Down, Home/End (with Ctrl the first and last row)
    // move the current cell, with Shift the end of the selection; Space or
    // Enter on a header cell acts as a click on it; Ctrl+A selects every row.
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    // Mouse on the header row, the left column and the corner cell.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void updateGeometries() override;

private:
    struct Private;
    Private *d;
};
