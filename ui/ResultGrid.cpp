#include "ui/ResultGrid.h"

#include "core/GridCellStore.h"
#include "core/GridSelection.h"
#include "ui/ResultGridModel.h"
#include "ui/Twips.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>

namespace {

bool ShowsFocusAt(const ResultGrid *grid, int row, int col)
{
    return grid->hasFocus() && grid->currentRow() == row && grid->currentColumn() == col;
}

// The frame around the current cell while the grid has the keyboard focus,
// dark enough to show on a selected cell as on a plain one.
void DrawFocusMarker(QPainter *painter, const QRect &cell, const QPalette &palette)
{
    painter->save();
    QPen pen(palette.color(QPalette::Highlight).darker(170), 2);
    pen.setJoinStyle(Qt::MiterJoin);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(cell).adjusted(1, 1, -1, -1));
    painter->restore();
}

// Draws the selected block from the grid's own selection; the view's
// selection model stays unused, so removing rows never walks through it.
class BlockDelegate : public QStyledItemDelegate
{
public:
    explicit BlockDelegate(ResultGrid *grid)
        : QStyledItemDelegate(grid)
        , m_grid(grid)
    {}

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const bool selected = m_grid->isSelectedCell(index.row() + 1, index.column() + 1);
        option->state &= ~QStyle::State_Selected;
        if (selected) {
            // A judged cell keeps its red or yellow when selected, only darker,
            // so the last mark is not hidden under the selection colour.
            const QVariant mark = index.data(Qt::BackgroundRole);
            if (mark.canConvert<QBrush>() && mark.value<QBrush>().style() != Qt::NoBrush)
                option->backgroundBrush = QBrush(mark.value<QBrush>().color().darker(135));
            else
                option->state |= QStyle::State_Selected;
        }
        option->state &= ~QStyle::State_HasFocus;
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (ShowsFocusAt(m_grid, index.row() + 1, index.column() + 1))
            DrawFocusMarker(painter, option.rect, m_grid->palette());
    }

    // Cells carry no tip of their own; over them the grid's tip shows, as it
    // does over the headers.
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override
    {
        if (event->type() == QEvent::ToolTip && !m_grid->toolTip().isEmpty()) {
            QToolTip::showText(event->globalPos(), m_grid->toolTip(), view);
            return true;
        }
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }

private:
    ResultGrid *m_grid;
};

// The header row and the left column are header views; they show the focus
// marker when the current cell lies in them.
class GridHeader : public QHeaderView
{
public:
    GridHeader(Qt::Orientation orientation, ResultGrid *grid)
        : QHeaderView(orientation, grid)
        , m_grid(grid)
    {}

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        // The style may leave a clip behind.
        painter->save();
        QHeaderView::paintSection(painter, rect, logicalIndex);
        painter->restore();
        const bool columns = orientation() == Qt::Horizontal;
        if (ShowsFocusAt(m_grid, columns ? 0 : logicalIndex + 1, columns ? logicalIndex + 1 : 0))
            DrawFocusMarker(painter, rect, m_grid->palette());
    }

private:
    ResultGrid *m_grid;
};

// Cell (0, 0) sits where the table view has its corner button.
class CornerCell : public QWidget
{
public:
    CornerCell(ResultGridModel *model, ResultGrid *grid)
        : QWidget(grid)
        , m_model(model)
        , m_grid(grid)
    {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QStyleOptionHeader option;
        option.initFrom(this);
        option.rect = rect();
        const GridCellStore &cells = m_model->store();
        option.text = cells.text(0, 0);
        option.textAlignment = cells.isColumnCentered(0) ? Qt::AlignCenter
                                                         : Qt::AlignLeft | Qt::AlignVCenter;
        option.position = QStyleOptionHeader::OnlyOneSection;
        option.orientation = Qt::Horizontal;
        if (cells.hasCellColor(0, 0))
            option.palette.setColor(QPalette::Button, QColor(cells.cellColor(0, 0)));
        if (cells.cellBold(0, 0)) {
            QFont bold = font();
            bold.setBold(true);
            painter.setFont(bold);
        }
        style()->drawControl(QStyle::CE_Header, &option, &painter, this);
        if (ShowsFocusAt(m_grid, 0, 0))
            DrawFocusMarker(&painter, rect(), m_grid->palette());
    }

private:
    ResultGridModel *m_model;
    ResultGrid *m_grid;
};

} // namespace

struct ResultGrid::Private
{
    explicit Private(ResultGrid *grid)
        : q(grid)
    {}

    // The selection, told the grid's present shape.
    GridSelection &selection();
    void clampSelection();
    void repaint();
    bool cellAt(const QPoint &pos, int *row, int *col) const;
    void dragCellAt(const QPoint &pos, int *row, int *col) const;
    void pressAt(const QPoint &pos, Qt::KeyboardModifiers modifiers);
    void dragTo(const QPoint &pos);
    void releaseAt(const QPoint &pos);
    bool keyPress(const QKeyEvent *event);
    void showCell(int row, int col);

    ResultGrid *q;
    ResultGridModel *model = nullptr;
    CornerCell *corner = nullptr;
    QVector<int> widthTwips; // -1 where never set
    GridSelection sel;
    bool pressed = false;
    // The press was on the header row: its release is a header click.
    bool headerPress = false;
    bool headerClick = false;
};

ResultGrid::ResultGrid(QWidget *parent)
    : QTableView(parent)
    , d(new Private(this))
{
    d->model = new ResultGridModel(this);
    setModel(d->model);
    setItemDelegate(new BlockDelegate(this));

    setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック")));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);

    setHorizontalHeader(new GridHeader(Qt::Horizontal, this));
    setVerticalHeader(new GridHeader(Qt::Vertical, this));

    // Uniform row heights keep a grid of a million rows cheap to lay out.
    const int rowHeight = fontMetrics().height() + 4;
    QHeaderView *rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(rowHeight);
    rows->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QHeaderView *columns = horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Fixed);
    columns->setMinimumSectionSize(1);
    columns->setFixedHeight(rowHeight);
    for (QHeaderView *header : {rows, columns}) {
        header->setSectionsClickable(false);
        header->setHighlightSections(false);
        header->viewport()->installEventFilter(this);
    }

    d->corner = new CornerCell(d->model, this);
    d->corner->installEventFilter(this);
    connect(d->model, &ResultGridModel::cornerChanged, d->corner, [this] { d->corner->update(); });
    connect(d->model, &ResultGridModel::rowsShifted, this, [this] {
        viewport()->update();
        verticalHeader()->viewport()->update();
    });
    d->widthTwips.fill(-1, d->model->store().columnCount());
}

ResultGrid::~ResultGrid()
{
    delete d;
}

ResultGridModel *ResultGrid::gridModel() const
{
    return d->model;
}

// ---------------------------------------------------------------------------
// Shape

int ResultGrid::rowCount() const
{
    return d->model->store().rowCount();
}

int ResultGrid::columnCount() const
{
    return d->model->store().columnCount();
}

void ResultGrid::setRowCount(int rows)
{
    d->model->setGridRowCount(rows);
    d->clampSelection();
}

void ResultGrid::setColumnCount(int columns)
{
    d->model->setGridColumnCount(columns);
    d->widthTwips.resize(d->model->store().columnCount(), -1);
    // New header sections start at the default width; give them theirs.
    for (int c = 1; c < d->widthTwips.size(); ++c)
        if (d->widthTwips.at(c) >= 0)
            horizontalHeader()->resizeSection(c - 1, TwipsToPixels(d->widthTwips.at(c)));
    d->clampSelection();
}

void ResultGrid::insertColumn(int col, int widthTwips, bool centered)
{
    if (col < 1 || col > columnCount())
        return;
    d->model->insertGridColumn(col);
    d->widthTwips.insert(col, -1);
    setColumnWidthTwips(col, widthTwips);
    if (centered)
        setColumnAlignmentCentered(col);
    d->clampSelection();
}

void ResultGrid::removeColumn(int col)
{
    if (!d->model->removeGridColumn(col))
        return;
    d->widthTwips.remove(col);
    d->clampSelection();
}

void ResultGrid::appendRow()
{
    d->model->appendRows(1);
}

void ResultGrid::appendRows(int count)
{
    d->model->appendRows(count);
}

bool ResultGrid::removeRow(int row)
{
    if (row < 1 || row >= rowCount() || rowCount() <= 2)
        return false;
    d->model->removeGridRows(row, row);
    d->clampSelection();
    return true;
}

bool ResultGrid::removeRows(int first, int last)
{
    if (!d->model->removeGridRows(first, last))
        return false;
    d->clampSelection();
    return true;
}

void ResultGrid::clearCells()
{
    d->model->clearCells();
}

// ---------------------------------------------------------------------------
// Texts

QString ResultGrid::text(int row, int col) const
{
    return d->model->store().text(row, col);
}

void ResultGrid::setText(int row, int col, const QString &text)
{
    d->model->setText(row, col, text);
}

bool ResultGrid::isEmptyCell(int row, int col) const
{
    return d->model->store().isEmptyCell(row, col);
}

GridBlock ResultGrid::selectedBlock() const
{
    return d->sel.block();
}

bool ResultGrid::isSelectedCell(int row, int col) const
{
    return d->sel.contains(row, col);
}

std::vector<int> ResultGrid::selectedRows() const
{
    return d->sel.selectedRows();
}

bool ResultGrid::hasPickedRows() const
{
    return d->sel.hasPickedRows();
}

QString ResultGrid::clipText() const
{
    return d->model->store().blockText(selectedBlock());
}

void ResultGrid::setClipText(const QString &text)
{
    const GridBlock block = selectedBlock();
    if (!block.isEmpty())
        d->model->setBlockText(block.top, block.left, text);
}

void ResultGrid::sortSelection()
{
    const GridBlock block = selectedBlock();
    if (block.isEmpty())
        return;
    QVector<int> keys;
    for (int c = block.left; c <= block.right; ++c)
        keys.append(c);
    d->model->sortRows(block.top, block.bottom, keys);
}

// ---------------------------------------------------------------------------
// Columns

void ResultGrid::setColumnWidthTwips(int col, int twips)
{
    if (col < 0 || col >= columnCount() || twips < 0)
        return;
    d->widthTwips[col] = twips;
    const int pixels = TwipsToPixels(twips);
    if (col == 0)
        verticalHeader()->setFixedWidth(pixels);
    else
        horizontalHeader()->resizeSection(col - 1, pixels);
}

int ResultGrid::columnWidthTwips(int col) const
{
    if (col < 0 || col >= d->widthTwips.size())
        return -1;
    if (d->widthTwips.at(col) >= 0)
        return d->widthTwips.at(col);
    const int pixels = col == 0 ? verticalHeader()->width()
                                : horizontalHeader()->sectionSize(col - 1);
    return qRound(PixelsToTwips(pixels));
}

void ResultGrid::setColumnAlignmentCentered(int col)
{
    d->model->setColumnCentered(col, true);
}

bool ResultGrid::isColumnCentered(int col) const
{
    return d->model->store().isColumnCentered(col);
}

// ---------------------------------------------------------------------------
// Current cell and selection

int ResultGrid::currentRow() const
{
    return d->sel.currentRow();
}

int ResultGrid::currentColumn() const
{
    return d->sel.currentColumn();
}

int ResultGrid::selectionEndRow() const
{
    return d->sel.endRow();
}

int ResultGrid::selectionEndColumn() const
{
    return d->sel.endColumn();
}

void ResultGrid::setCurrentRow(int row)
{
    d->selection().setCurrentRow(row);
    d->repaint();
}

void ResultGrid::setCurrentColumn(int col)
{
    d->selection().setCurrentColumn(col);
    d->repaint();
}

void ResultGrid::setSelectionEndRow(int row)
{
    d->selection().setEndRow(row);
    d->repaint();
}

void ResultGrid::setSelectionEndColumn(int col)
{
    d->selection().setEndColumn(col);
    d->repaint();
}

bool ResultGrid::hasSelection() const
{
    return d->sel.hasSelection();
}

void ResultGrid::unselect()
{
    d->sel.unselect();
    d->repaint();
}

bool ResultGrid::selectAllRows()
{
    if (!d->selection().selectAll())
        return false;
    d->repaint();
    return true;
}

bool ResultGrid::wasHeaderClick() const
{
    return d->headerClick;
}

GridSelection &ResultGrid::Private::selection()
{
    headerClick = false;
    sel.setShape(q->rowCount(), q->columnCount());
    return sel;
}

void ResultGrid::Private::clampSelection()
{
    selection().clamp();
    repaint();
}

// The focus marker may sit in either header or the corner as well as among
// the cells.
void ResultGrid::Private::repaint()
{
    q->viewport()->update();
    q->horizontalHeader()->viewport()->update();
    q->verticalHeader()->viewport()->update();
    if (corner)
        corner->update();
}

// ---------------------------------------------------------------------------
// Marks

void ResultGrid::setCellColor(QRgb rgb)
{
    d->model->setCellColor(d->sel.currentRow(), d->sel.currentColumn(), rgb);
}

void ResultGrid::setCellBold()
{
    d->model->setCellBold(d->sel.currentRow(), d->sel.currentColumn());
}

QColor ResultGrid::cellColor(int row, int col) const
{
    if (!d->model->store().hasCellColor(row, col))
        return QColor();
    return QColor(d->model->store().cellColor(row, col));
}

bool ResultGrid::cellBold(int row, int col) const
{
    return d->model->store().cellBold(row, col);
}

// ---------------------------------------------------------------------------
// Mouse

// The grid cell under a point of the viewport; points left of it lie in the
// left column, points above it in the header row. False off every cell.
bool ResultGrid::Private::cellAt(const QPoint &pos, int *row, int *col) const
{
    int r = 0;
    if (pos.y() >= 0) {
        r = q->rowAt(pos.y()) + 1;
        if (r < 1 || r >= q->rowCount())
            return false;
    }
    int c = 0;
    if (pos.x() >= 0) {
        c = q->columnAt(pos.x()) + 1;
        if (c < 1 || c >= q->columnCount())
            return false;
    }
    *row = r;
    *col = c;
    return true;
}

// The data cell nearest to a point while dragging: off the edges the drag
// keeps to the first or last visible row and column.
void ResultGrid::Private::dragCellAt(const QPoint &pos, int *row, int *col) const
{
    const int dataRows = q->rowCount() - 1;
    if (dataRows > 0) {
        const int y = std::clamp(pos.y(), 0, std::max(q->viewport()->height() - 1, 0));
        int r = q->rowAt(y);
        if (r < 0)
            r = pos.y() < 0 ? q->rowAt(0) : dataRows - 1;
        *row = std::clamp(r, 0, dataRows - 1) + 1;
    }
    if (pos.x() < 0) {
        *col = 0;
    } else {
        const int dataCols = q->columnCount() - 1;
        int c = q->columnAt(std::min(pos.x(), std::max(q->viewport()->width() - 1, 0)));
        if (c < 0)
            c = dataCols - 1;
        *col = std::max(c, -1) + 1;
    }
}

void ResultGrid::Private::pressAt(const QPoint &pos, Qt::KeyboardModifiers modifiers)
{
    // Hit-testing below needs the view to know of every removed row.
    model->flushPending();
    headerPress = false;
    q->setFocus(Qt::MouseFocusReason);
    int row = 0;
    int col = 0;
    // A press beside or below the cells is no click: it neither selects nor
    // starts a drag.
    pressed = cellAt(pos, &row, &col);
    if (!pressed)
        return;
    headerPress = row == 0;
    selection().press(row, col, modifiers & Qt::ShiftModifier, modifiers & Qt::ControlModifier);
    repaint();
}

void ResultGrid::Private::dragTo(const QPoint &pos)
{
    int row = sel.endRow();
    int col = sel.endColumn();
    dragCellAt(pos, &row, &col);
    selection().dragTo(row, col);
    repaint();
}

void ResultGrid::Private::releaseAt(const QPoint &pos)
{
    dragTo(pos);
    pressed = false;
    headerClick = headerPress;
    emit q->clicked();
}

void ResultGrid::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    d->pressAt(event->position().toPoint(), event->modifiers());
}

void ResultGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click selects like the first.
    mousePressEvent(event);
}

void ResultGrid::mouseMoveEvent(QMouseEvent *event)
{
    if (!d->pressed) {
        QTableView::mouseMoveEvent(event);
        return;
    }
    d->dragTo(event->position().toPoint());
}

void ResultGrid::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !d->pressed)
        return;
    d->releaseAt(event->position().toPoint());
}

bool ResultGrid::eventFilter(QObject *watched, QEvent *event)
{
    const bool ours = watched == d->corner || watched == horizontalHeader()->viewport()
                      || watched == verticalHeader()->viewport();
    if (!ours)
        return QTableView::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint pos = viewport()->mapFromGlobal(mouse->globalPosition().toPoint());
        if (event->type() == QEvent::MouseMove) {
            if (d->pressed)
                d->dragTo(pos);
        } else if (mouse->button() == Qt::LeftButton) {
            if (event->type() == QEvent::MouseButtonRelease) {
                if (d->pressed)
                    d->releaseAt(pos);
            } else {
                d->pressAt(pos, mouse->modifiers());
            }
        }
        return true;
    }
    default:
        return QTableView::eventFilter(watched, event);
    }
}

// ---------------------------------------------------------------------------
// Keyboard

namespace {

// The step a key stands for, if any.
bool StepOfKey(const QKeyEvent *event, GridStep *step)
{
    const bool control = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Up:
        *step = GridStep::Up;
        return true;
    case Qt::Key_Down:
        *step = GridStep::Down;
        return true;
    case Qt::Key_Left:
        *step = GridStep::Left;
        return true;
    case Qt::Key_Right:
        *step = GridStep::Right;
        return true;
    case Qt::Key_PageUp:
        *step = GridStep::PageUp;
        return true;
    case Qt::Key_PageDown:
        *step = GridStep::PageDown;
        return true;
    case Qt::Key_Home:
        *step = control ? GridStep::FirstRow : GridStep::RowStart;
        return true;
    case Qt::Key_End:
        *step = control ? GridStep::LastRow : GridStep::RowEnd;
        return true;
    default:
        return false;
    }
}

} // namespace

bool ResultGrid::Private::keyPress(const QKeyEvent *event)
{
    if (event->matches(QKeySequence::SelectAll)) {
        model->flushPending();
        if (selection().selectAll()) {
            headerClick = false;
            repaint();
            emit q->clicked();
        }
        return true;
    }
    const bool onHeader = sel.currentRow() == 0;
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!onHeader)
            return false;
        selection().selectColumnBelow(sel.currentColumn());
        repaint();
        headerClick = true;
        emit q->clicked();
        return true;
    default:
        break;
    }
    GridStep step;
    if (!StepOfKey(event, &step))
        return false;
    const int page = std::max(1, q->viewport()->height() / q->verticalHeader()->defaultSectionSize()
                                     - 1);
    // Scrolling below needs the view to know of every removed row.
    model->flushPending();
    int row = 0;
    int col = 0;
    selection().step(step, event->modifiers() & Qt::ShiftModifier, page, &row, &col);
    headerClick = false;
    showCell(row, col);
    repaint();
    emit q->clicked();
    return true;
}

// Scrolls a data cell into view; the header row and left column always are.
void ResultGrid::Private::showCell(int row, int col)
{
    const int r = row > 0 ? row - 1 : q->rowAt(0);
    const int c = col > 0 ? col - 1 : q->columnAt(0);
    if (r >= 0 && c >= 0 && r < model->rowCount() && c < model->columnCount())
        q->scrollTo(model->index(r, c));
}

void ResultGrid::keyPressEvent(QKeyEvent *event)
{
    if (!d->keyPress(event))
        QTableView::keyPressEvent(event);
}

void ResultGrid::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    d->repaint();
}

void ResultGrid::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    d->repaint();
}

void ResultGrid::updateGeometries()
{
    QTableView::updateGeometries();
    if (!d->corner)
        return; // still in the constructor
    const QHeaderView *rows = verticalHeader();
    const QHeaderView *columns = horizontalHeader();
    d->corner->setGeometry(rows->x(), columns->y(), rows->isHidden() ? 0 : rows->width(),
                           columns->isHidden() ? 0 : columns->height());
    d->corner->raise();
}
