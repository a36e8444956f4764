#include "ui/ResultGrid.h"
#include "ui/ResultGridModel.h"
#include "ui/Twips.h"

#include "support/FakeDialogs.h"
#include "support/GridDriver.h"
#include "support/PatternFiles.h"
#include "support/Screenshots.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QtTest>

namespace {

// Holds the grid's model to Qt's model rules for as long as it lives. The
// model tells its views of removals and cell changes late, so it announces
// whatever is still pending before it goes, and those signals are checked too.
class CheckedModel
{
public:
    explicit CheckedModel(ResultGrid &grid)
        : m_grid(grid)
        , m_tester(grid.model(), QAbstractItemModelTester::FailureReportingMode::QtTest)
    {}
    ~CheckedModel() { m_grid.gridModel()->flushPending(); }
    CheckedModel(const CheckedModel &) = delete;
    CheckedModel &operator=(const CheckedModel &) = delete;

private:
    ResultGrid &m_grid;
    QAbstractItemModelTester m_tester;
};

// Cell texts "r.c" for a grid of the given shape, header row included.
void FillNamed(ResultGrid &grid, int rows, int cols)
{
    grid.setColumnCount(cols);
    grid.setRowCount(rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            grid.setText(r, c, QStringLiteral("%1.%2").arg(r).arg(c));
}

void Select(ResultGrid &grid, int row, int col, int rowSel, int colSel)
{
    grid.setCurrentRow(row);
    grid.setCurrentColumn(col);
    grid.setSelectionEndRow(rowSel);
    grid.setSelectionEndColumn(colSel);
}

// A shown grid whose ten columns all fit.
void ShowNamed(ResultGrid &grid, int rows)
{
    FillNamed(grid, rows, 10);
    for (int c = 0; c < 10; ++c)
        grid.setColumnWidthTwips(c, 550);
    grid.resize(500, 300);
    grid.show();
}

} // namespace

class ResultGridTest : public QObject
{
    Q_OBJECT
private slots:
    void selectionSetters_collapseEnd();
    void removeRow_refusals_data();
    void removeRow_refusals();
    void removeRows_bottomUp_thenClickHitsRightRow();
    void clearCells_dropsTextsAndMarks();
    void columnWidth_inTwips();
    void headerClick_selectsColumnAndNotifiesOnce();
    void dataClick_selectsCell();
    void dragUpwards_selectsBlock();
    void clickOnGridWithoutDataRows_notifiesOnlyOnTheHeader();
    void unselect_leavesNothingToCopyOrSort();
    void keyboard_movesAndExtendsSelection_data();
    void keyboard_movesAndExtendsSelection();
    void focusMarker_onTheCurrentCellWhileFocused();
};

void ResultGridTest::selectionSetters_collapseEnd()
{
    ResultGrid grid;
    const CheckedModel checked(grid);
    FillNamed(grid, 8, 4);
    Select(grid, 5, 3, 2, 1);
    QCOMPARE(grid.currentRow(), 5);
    QCOMPARE(grid.currentColumn(), 3);
    QCOMPARE(grid.selectionEndRow(), 2);
    QCOMPARE(grid.selectionEndColumn(), 1);

    grid.setCurrentRow(4);
    QCOMPARE(grid.selectionEndRow(), 4);
    QCOMPARE(grid.selectionEndColumn(), 1);
    grid.setCurrentColumn(2);
    QCOMPARE(grid.selectionEndColumn(), 2);

    // Shrinking the grid keeps the selection inside it.
    Select(grid, 7, 3, 6, 3);
    grid.setRowCount(3);
    grid.setColumnCount(2);
    QCOMPARE(grid.currentRow(), 2);
    QCOMPARE(grid.selectionEndRow(), 2);
    QCOMPARE(grid.currentColumn(), 1);
}

void ResultGridTest::removeRow_refusals_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("removed");
    QTest::newRow("header row") << 4 << 0 << false;
    QTest::newRow("negative") << 4 << -1 << false;
    QTest::newRow("past the end") << 4 << 4 << false;
    QTest::newRow("the last data row") << 2 << 1 << false;
    QTest::newRow("a middle row") << 4 << 2 << true;
    QTest::newRow("the bottom row") << 4 << 3 << true;
}

void ResultGridTest::removeRow_refusals()
{
    QFETCH(int, rows);
    QFETCH(int, row);
    QFETCH(bool, removed);
    ResultGrid grid;
    const CheckedModel checked(grid);
    FillNamed(grid, rows, 2);
    QCOMPARE(grid.removeRow(row), removed);
    QCOMPARE(grid.rowCount(), removed ? rows - 1 : rows);
    if (removed && row < rows - 1)
        QCOMPARE(grid.text(row, 1), QStringLiteral("%1.1").arg(row + 1));
}

void ResultGridTest::removeRows_bottomUp_thenClickHitsRightRow()
{
    ResultGrid grid;
    const CheckedModel checked(grid);
    grid.resize(400, 300);
    FillNamed(grid, 40, 4);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));

    QVERIFY(!grid.removeRows(0, 3));
    QVERIFY(!grid.removeRows(5, 40));
    QVERIFY(grid.removeRows(10, 19));
    QCOMPARE(grid.text(10, 1), QStringLiteral("20.1"));
    for (int r = grid.rowCount() - 1; r >= 5; --r)
        QVERIFY(grid.removeRow(r));
    QCOMPARE(grid.rowCount(), 5);

    // The view learns of the removals later; a click right away still
    // lands on the row under the mouse.
    QSignalSpy clicked(&grid, &ResultGrid::clicked);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCentre(grid, 3, 2));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(grid.currentRow(), 3);
    QCOMPARE(grid.currentColumn(), 2);
    QCOMPARE(grid.model()->rowCount(), 4);

    QVERIFY(grid.removeRows(1, 4));
    QCOMPARE(grid.rowCount(), 1);
    QCOMPARE(grid.text(0, 1), QStringLiteral("0.1"));
    QTRY_COMPARE(grid.model()->rowCount(), 0);
}

void ResultGridTest::clearCells_dropsTextsAndMarks()
{
    ResultGrid grid;
    const CheckedModel checked(grid);
    FillNamed(grid, 3, 3);
    Select(grid, 1, 1, 1, 1);
    grid.setCellColor(qRgb(255, 255, 0));
    Select(grid, 2, 2, 2, 2);
    grid.setCellColor(qRgb(255, 0, 0));
    grid.setCellBold();
    QCOMPARE(grid.cellColor(1, 1), QColor(255, 255, 0));
    QCOMPARE(grid.cellColor(2, 2), QColor(255, 0, 0));

    grid.clearCells();
    QCOMPARE(grid.rowCount(), 3);
    QCOMPARE(grid.columnCount(), 3);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            QVERIFY(grid.isEmptyCell(r, c));
            QVERIFY(!grid.cellColor(r, c).isValid());
            QVERIFY(!grid.cellBold(r, c));
        }
    }
}

void ResultGridTest::columnWidth_inTwips()
{
    ResultGrid grid;
    const CheckedModel checked(grid);
    grid.setColumnCount(10);
    for (int c = 0; c < 10; ++c)
        grid.setColumnWidthTwips(c, 550);
    grid.setColumnAlignmentCentered(3);
    QCOMPARE(grid.columnWidthTwips(0), 550);
    QCOMPARE(grid.columnWidthTwips(9), 550);
    QCOMPARE(grid.horizontalHeader()->sectionSize(8), TwipsToPixels(550));
    QCOMPARE(grid.verticalHeader()->width(), TwipsToPixels(550));
    QVERIFY(grid.isColumnCentered(3));
    QVERIFY(!grid.isColumnCentered(0));
    // Widths stay when columns come and go beside them.
    grid.setColumnCount(12);
    grid.setColumnCount(9);
    QCOMPARE(grid.horizontalHeader()->sectionSize(7), TwipsToPixels(550));
    QCOMPARE(grid.columnWidthTwips(8), 550);
}

void ResultGridTest::headerClick_selectsColumnAndNotifiesOnce()
{
    ResultGrid grid;
    ShowNamed(grid, 6);
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy clicked(&grid, &ResultGrid::clicked);
    int rowAtClick = -1;
    connect(&grid, &ResultGrid::clicked, this, [&] { rowAtClick = grid.selectionEndRow(); });

    QTest::mouseClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {},
                      HeaderCentre(grid, 7));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(rowAtClick, 5); // the selection is in place when the handler runs
    QCOMPARE(grid.currentRow(), 1);
    QCOMPARE(grid.selectionEndRow(), 5);
    QCOMPARE(grid.currentColumn(), 7);
    QCOMPARE(grid.selectionEndColumn(), 7);

    // The left column's header is the corner cell.
    QHeaderView *rows = grid.verticalHeader();
    QWidget *corner = grid.childAt(
        QPoint(rows->x() + rows->width() / 2, grid.horizontalHeader()->y() + 3));
    QVERIFY(corner);
    QTest::mouseClick(corner, Qt::LeftButton, {}, corner->rect().center());
    QCOMPARE(clicked.count(), 2);
    QCOMPARE(grid.currentRow(), 1);
    QCOMPARE(grid.selectionEndRow(), 5);
    QCOMPARE(grid.currentColumn(), 0);
    QCOMPARE(grid.selectionEndColumn(), 0);
}

void ResultGridTest::dataClick_selectsCell()
{
    ResultGrid grid;
    ShowNamed(grid, 6);
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy clicked(&grid, &ResultGrid::clicked);

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCentre(grid, 4, 3));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(grid.currentRow(), 4);
    QCOMPARE(grid.selectionEndRow(), 4);
    QCOMPARE(grid.currentColumn(), 3);
    QCOMPARE(grid.selectionEndColumn(), 3);

    // The left column of a data row is a cell like any other.
    QHeaderView *rows = grid.verticalHeader();
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {},
                      QPoint(rows->width() / 2, rows->sectionViewportPosition(1) + 3));
    QCOMPARE(clicked.count(), 2);
    QCOMPARE(grid.currentRow(), 2);
    QCOMPARE(grid.currentColumn(), 0);
    QCOMPARE(grid.selectionEndColumn(), 0);
}

void ResultGridTest::dragUpwards_selectsBlock()
{
    ResultGrid grid;
    ShowNamed(grid, 8);
    for (int c = 1; c < 10; ++c)
        grid.setColumnAlignmentCentered(c);
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy clicked(&grid, &ResultGrid::clicked);

    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, CellCentre(grid, 5, 2));
    QTest::mouseMove(grid.viewport(), CellCentre(grid, 4, 3));
    QTest::mouseMove(grid.viewport(), CellCentre(grid, 3, 4));
    QCOMPARE(clicked.count(), 0);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, CellCentre(grid, 3, 4));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(grid.currentRow(), 5);
    QCOMPARE(grid.currentColumn(), 2);
    QCOMPARE(grid.selectionEndRow(), 3);
    QCOMPARE(grid.selectionEndColumn(), 4);
    QCOMPARE(grid.clipText(), QStringLiteral("3.2\t3.3\t3.4\r4.2\t4.3\t4.4\r5.2\t5.3\t5.4"));

    Select(grid, 6, 1, 6, 1);
    grid.setCellColor(qRgb(255, 0, 0));
    grid.setCellBold();
    Select(grid, 6, 3, 6, 3);
    grid.setCellColor(qRgb(255, 255, 0));
    Select(grid, 3, 0, 5, 9);
    QApplication::processEvents();
    SaveScreenshot(&grid, QStringLiteral("ResultGrid_selectionAndMarks"));
}

void ResultGridTest::clickOnGridWithoutDataRows_notifiesOnlyOnTheHeader()
{
    ResultGrid grid;
    grid.resize(400, 200);
    FillNamed(grid, 1, 5);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy clicked(&grid, &ResultGrid::clicked);
    QTest::mouseClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {},
                      HeaderCentre(grid, 2));
    QCOMPARE(clicked.count(), 1);
    // Below the header row there is no cell to click.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(20, 40));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(grid.rowCount(), 1);
    QCOMPARE(grid.currentRow(), 0);
}

void ResultGridTest::unselect_leavesNothingToCopyOrSort()
{
    ResultGrid grid;
    QVERIFY(!grid.hasSelection());
    FillNamed(grid, 4, 3);
    grid.setText(1, 1, QStringLiteral("9"));
    Select(grid, 3, 1, 1, 2);
    grid.unselect();
    QVERIFY(!grid.hasSelection());
    QCOMPARE(grid.currentRow(), 3);
    QCOMPARE(grid.clipText(), QString());
    grid.sortSelection();
    grid.setClipText(QStringLiteral("x"));
    QCOMPARE(Column(grid, 1),
             (QStringList{QStringLiteral("9"), QStringLiteral("2.1"), QStringLiteral("3.1")}));
    QCOMPARE(grid.text(0, 0), QStringLiteral("0.0"));

    // A caller that selects on purpose gets its block back.
    grid.setSelectionEndRow(1);
    QCOMPARE(grid.clipText(), QStringLiteral("9\r2.1\r3.1"));
}

void ResultGridTest::keyboard_movesAndExtendsSelection_data()
{
    QTest::addColumn<QString>("keys"); // from a new grid, whose current cell is (1, 1)
    QTest::addColumn<QList<int>>("block");
    QTest::addColumn<bool>("selected");
    QTest::newRow("down") << "Down" << QList<int>{2, 2, 1, 1} << true;
    QTest::newRow("shift extends")
        << "Down Shift+Down Shift+Down Shift+Right" << QList<int>{2, 4, 1, 2} << true;
    QTest::newRow("shift up stops at the first data row")
        << "Down Shift+Up Shift+Up Shift+Up" << QList<int>{1, 2, 1, 1} << true;
    QTest::newRow("a plain key collapses the block")
        << "Down Shift+Down Up" << QList<int>{1, 1, 1, 1} << true;
    QTest::newRow("onto the header: focus only")
        << "Up Shift+Right" << QList<int>{0, 0, 2, 2} << false;
    QTest::newRow("space on a header cell selects its column")
        << "Up Right Space" << QList<int>{1, 6, 2, 2} << true;
    QTest::newRow("enter on the corner cell selects the left column")
        << "Left Up Return" << QList<int>{1, 6, 0, 0} << true;
    QTest::newRow("page down stops at the last row")
        << "PgDown PgDown PgDown" << QList<int>{6, 6, 1, 1} << true;
    QTest::newRow("end") << "Down End" << QList<int>{2, 2, 4, 4} << true;
    QTest::newRow("home") << "Down Right Home" << QList<int>{2, 2, 0, 0} << true;
    QTest::newRow("ctrl+end, then ctrl+home")
        << "Ctrl+End Shift+Ctrl+Home" << QList<int>{1, 6, 1, 1} << true;
    QTest::newRow("ctrl+a selects every row") << "Down Ctrl+A" << QList<int>{1, 6, 0, 4} << true;
}

void ResultGridTest::keyboard_movesAndExtendsSelection()
{
    QFETCH(QString, keys);
    QFETCH(QList<int>, block);
    QFETCH(bool, selected);
    ResultGrid grid;
    FillNamed(grid, 7, 5);
    grid.resize(400, 120);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy clicked(&grid, &ResultGrid::clicked);
    const QStringList presses = keys.split(u' ');
    for (const QString &press : presses) {
        const bool shift = press.startsWith(QStringLiteral("Shift+"));
        QString name = shift ? press.mid(6) : press;
        const bool ctrl = name.startsWith(QStringLiteral("Ctrl+"));
        if (ctrl)
            name = name.mid(5);
        const Qt::Key key = name == QLatin1String("Up")       ? Qt::Key_Up
                            : name == QLatin1String("Down")   ? Qt::Key_Down
                            : name == QLatin1String("Left")   ? Qt::Key_Left
                            : name == QLatin1String("Right")  ? Qt::Key_Right
                            : name == QLatin1String("Space")  ? Qt::Key_Space
                            : name == QLatin1String("PgDown") ? Qt::Key_PageDown
                            : name == QLatin1String("Home")   ? Qt::Key_Home
                            : name == QLatin1String("End")    ? Qt::Key_End
                            : name == QLatin1String("A")      ? Qt::Key_A
                                                              : Qt::Key_Return;
        Qt::KeyboardModifiers modifiers = shift ? Qt::ShiftModifier : Qt::NoModifier;
        if (ctrl)
            modifiers |= Qt::ControlModifier;
        QTest::keyClick(&grid, key, modifiers);
    }
    QCOMPARE(Block(grid), block);
    QCOMPARE(grid.hasSelection(), selected);
    // Every key tells the owner, as a click does.
    QCOMPARE(clicked.count(), presses.size());
}

void ResultGridTest::focusMarker_onTheCurrentCellWhileFocused()
{
    ResultGrid grid;
    ShowNamed(grid, 6);
    grid.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&grid));
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Down);
    QTest::keyClick(&grid, Qt::Key_Right);
    QCOMPARE(grid.currentRow(), 2);
    const QRgb marker = grid.palette().color(QPalette::Highlight).darker(170).rgb();
    const auto markedAt = [&](QWidget *where, const QRect &cell) {
        return where->grab().toImage().pixel(cell.left() + 1, cell.center().y()) == marker;
    };
    const QRect cell = grid.visualRect(grid.model()->index(1, 1));
    QVERIFY(markedAt(grid.viewport(), cell));
    QVERIFY(!markedAt(grid.viewport(), grid.visualRect(grid.model()->index(2, 1))));

    // On the header row the marker moves into the header.
    QTest::keyClick(&grid, Qt::Key_Up);
    QTest::keyClick(&grid, Qt::Key_Up);
    QHeaderView *header = grid.horizontalHeader();
    const QRect section(header->sectionViewportPosition(1), 0, header->sectionSize(1),
                        header->height());
    QVERIFY(markedAt(header->viewport(), section));
}

QTEST_MAIN(ResultGridTest)
#include "tst_ResultGrid.moc"
