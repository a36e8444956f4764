#include "core/GridCellStore.h"
#include "core/GridSaveFile.h"

#include <QtTest>

namespace {

constexpr quint32 Red = 0xffff0000; // opaque red, as ARGB

// Cell texts "r.c" for a store of the given shape, header row included.
void FillNamed(GridCellStore &grid, int rows, int cols)
{
    grid.setColumnCount(cols);
    grid.setRowCount(rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            grid.setText(r, c, QStringLiteral("%1.%2").arg(r).arg(c));
}

// The block between two corners given in either order.
GridBlock Block(int row, int col, int rowSel, int colSel)
{
    return GridBlock{std::min(row, rowSel), std::min(col, colSel), std::max(row, rowSel),
                     std::max(col, colSel)};
}

// The block's rows sorted by its columns, leftmost first.
void SortBlock(GridCellStore &grid, const GridBlock &block)
{
    QVector<int> keys;
    for (int c = block.left; c <= block.right; ++c)
        keys.append(c);
    grid.sortRows(block.top, block.bottom, keys);
}

QStringList Column(const GridCellStore &grid, int col)
{
    QStringList texts;
    for (int r = 1; r < grid.rowCount(); ++r)
        texts << grid.text(r, col);
    return texts;
}

} // namespace

class GridCellStoreTest : public QObject
{
    Q_OBJECT
private slots:
    void storedText_roundTrips_data();
    void storedText_roundTrips();
    void overwrittenTexts_doNotDisturbOthers();
    void counts_keepCells();
    void clipText_readsBlock_data();
    void clipText_readsBlock();
    void setClipText_fillsFromTopLeft_data();
    void setClipText_fillsFromTopLeft();
    void sort_ordersSelectedRows_data();
    void sort_ordersSelectedRows();
    void sort_movesWholeRowsAndKeepsHeader();
    void rowSink_manyRowsAsOneByOne_data();
    void rowSink_manyRowsAsOneByOne();
};

void GridCellStoreTest::storedText_roundTrips_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << QStringLiteral("0");
    QTest::newRow("plain") << QStringLiteral("43");
    QTest::newRow("leading zero") << QStringLiteral("07");
    QTest::newRow("leading blank") << QStringLiteral(" 7");
    QTest::newRow("trailing blank") << QStringLiteral("7 ");
    QTest::newRow("negative") << QStringLiteral("-1");
    QTest::newRow("plus sign") << QStringLiteral("+5");
    QTest::newRow("empty") << QString();
    QTest::newRow("word") << QStringLiteral("abc");
    QTest::newRow("japanese") << QStringLiteral("合計");
    QTest::newRow("largest stored as value") << QStringLiteral("2147483647");
    QTest::newRow("just above") << QStringLiteral("2147483648");
    QTest::newRow("beyond 32 bits") << QStringLiteral("4294967296");
    QTest::newRow("eleven digits") << QStringLiteral("12345678901");
}

void GridCellStoreTest::storedText_roundTrips()
{
    QFETCH(QString, text);
    GridCellStore grid(3, 3);
    grid.setText(1, 1, text);
    QCOMPARE(grid.text(1, 1), text);
    QCOMPARE(grid.isEmptyCell(1, 1), text.isEmpty());

    // Through clip text both ways, next to a number and an empty cell.
    grid.setBlockText(1, 0, QString(QStringLiteral("5\t") + text + QStringLiteral("\t")));
    QCOMPARE(grid.text(1, 1), text);
    grid.setBlockText(2, 0, QString(QStringLiteral("5\t") + text + QStringLiteral("\t")));
    const QString row = QStringLiteral("5\t") + text + QStringLiteral("\t");
    QCOMPARE(grid.blockText(Block(1, 0, 2, 2)), row + QStringLiteral("\r") + row);

    // As a row read from a file: ASCII rows come as bytes, others as text.
    GridCellStore store(1, 3);
    store.appendRowText(QStringView(row));
    const QByteArray bytes = row.toLatin1();
    if (QString::fromLatin1(bytes) == row)
        store.appendRowText(QLatin1StringView(bytes));
    for (int r = 1; r < store.rowCount(); ++r) {
        QCOMPARE(store.text(r, 0), QStringLiteral("5"));
        QCOMPARE(store.text(r, 1), text);
        QVERIFY(store.isEmptyCell(r, 2));
    }
}

void GridCellStoreTest::overwrittenTexts_doNotDisturbOthers()
{
    // Thousands of distinct texts through one cell make the store drop the
    // unused ones; the texts still in the grid must survive that.
    GridCellStore grid(2, 2);
    grid.setText(0, 1, QStringLiteral("header"));
    grid.setText(1, 0, QStringLiteral("07"));
    for (int i = 0; i < 10000; ++i)
        grid.setText(1, 1, QStringLiteral("t%1").arg(i));
    QCOMPARE(grid.text(0, 1), QStringLiteral("header"));
    QCOMPARE(grid.text(1, 0), QStringLiteral("07"));
    QCOMPARE(grid.text(1, 1), QStringLiteral("t9999"));
}

void GridCellStoreTest::counts_keepCells()
{
    GridCellStore grid(1, 1);
    FillNamed(grid, 4, 3);
    grid.setRowCount(6);
    grid.setColumnCount(5);
    QCOMPARE(grid.text(3, 2), QStringLiteral("3.2"));
    QVERIFY(grid.isEmptyCell(5, 1));
    QVERIFY(grid.isEmptyCell(2, 4));

    grid.setColumnCount(2);
    grid.setColumnCount(3);
    QCOMPARE(grid.text(3, 1), QStringLiteral("3.1"));
    QVERIFY(grid.isEmptyCell(3, 2));

    grid.setRowCount(1);
    QCOMPARE(grid.rowCount(), 1);
    QCOMPARE(grid.text(0, 1), QStringLiteral("0.1"));
    grid.setRowCount(0);
    QCOMPARE(grid.rowCount(), 1);
    grid.setRowCount(3);
    QVERIFY(grid.isEmptyCell(2, 1));
    QCOMPARE(grid.text(0, 0), QStringLiteral("0.0"));
}

void GridCellStoreTest::clipText_readsBlock_data()
{
    QTest::addColumn<QList<int>>("range"); // row, col, rowSel, colSel
    QTest::addColumn<QString>("clip");
    QTest::newRow("one cell") << QList<int>{2, 1, 2, 1} << QStringLiteral("2.1");
    QTest::newRow("block") << QList<int>{1, 1, 2, 2} << QStringLiteral("1.1\t1.2\r2.1\t2.2");
    QTest::newRow("end above and left")
        << QList<int>{2, 2, 1, 1} << QStringLiteral("1.1\t1.2\r2.1\t2.2");
    QTest::newRow("whole row with fixed column")
        << QList<int>{3, 0, 3, 3} << QStringLiteral("3.0\t3.1\t3.2\t3.3");
    QTest::newRow("header row") << QList<int>{0, 2, 0, 3} << QStringLiteral("0.2\t0.3");
}

void GridCellStoreTest::clipText_readsBlock()
{
    QFETCH(QList<int>, range);
    QFETCH(QString, clip);
    GridCellStore grid(1, 1);
    FillNamed(grid, 4, 4);
    QCOMPARE(grid.blockText(Block(range[0], range[1], range[2], range[3])), clip);
}

void GridCellStoreTest::setClipText_fillsFromTopLeft_data()
{
    QTest::addColumn<QList<int>>("range");
    QTest::addColumn<QString>("clip");
    QTest::addColumn<QStringList>("rows"); // rows 1..3 after the write, cells joined by '|'
    QTest::newRow("block") << QList<int>{1, 1, 2, 2} << QStringLiteral("a\tb\rc\td")
                           << QStringList{QStringLiteral("1.0|a|b"), QStringLiteral("2.0|c|d"),
                                          QStringLiteral("3.0|3.1|3.2")};
    QTest::newRow("fill from the top-left of a reversed block")
        << QList<int>{2, 2, 1, 1} << QStringLiteral("a\tb")
        << QStringList{QStringLiteral("1.0|a|b"), QStringLiteral("2.0|2.1|2.2"),
                       QStringLiteral("3.0|3.1|3.2")};
    QTest::newRow("short row leaves the rest")
        << QList<int>{1, 0, 2, 2} << QStringLiteral("x\ry\tz")
        << QStringList{QStringLiteral("x|1.1|1.2"), QStringLiteral("y|z|2.2"),
                       QStringLiteral("3.0|3.1|3.2")};
    QTest::newRow("empty cells are written")
        << QList<int>{3, 0, 3, 2} << QStringLiteral("\t\tq")
        << QStringList{QStringLiteral("1.0|1.1|1.2"), QStringLiteral("2.0|2.1|2.2"),
                       QStringLiteral("||q")};
    QTest::newRow("beyond the grid is dropped")
        << QList<int>{3, 1, 3, 2} << QStringLiteral("a\tb\tc\td\re\tf")
        << QStringList{QStringLiteral("1.0|1.1|1.2"), QStringLiteral("2.0|2.1|2.2"),
                       QStringLiteral("3.0|a|b")};
}

void GridCellStoreTest::setClipText_fillsFromTopLeft()
{
    QFETCH(QList<int>, range);
    QFETCH(QString, clip);
    QFETCH(QStringList, rows);
    GridCellStore grid(1, 1);
    FillNamed(grid, 4, 3);
    const GridBlock block = Block(range[0], range[1], range[2], range[3]);
    grid.setBlockText(block.top, block.left, clip);
    for (int r = 1; r <= 3; ++r) {
        QStringList cells;
        for (int c = 0; c < 3; ++c)
            cells << grid.text(r, c);
        QCOMPARE(cells.join(u'|'), rows.at(r - 1));
    }
    QCOMPARE(grid.text(0, 1), QStringLiteral("0.1"));
}

void GridCellStoreTest::sort_ordersSelectedRows_data()
{
    QTest::addColumn<QStringList>("column1");
    QTest::addColumn<QStringList>("column2");
    QTest::addColumn<QList<int>>("range");
    QTest::addColumn<QStringList>("sorted1");
    QTest::addColumn<QStringList>("sorted2");
    const QStringList none;
    auto list = [](const char *joined) { return QString::fromUtf8(joined).split(u','); };
    QTest::newRow("numbers by value")
        << list("120,98,5,1000") << none << QList<int>{1, 1, 4, 1} << list("5,98,120,1000") << none;
    QTest::newRow("empty after numbers")
        << list("120,,98,5") << none << QList<int>{4, 1, 1, 1} << list("5,98,120,") << none;
    QTest::newRow("numbers, then text, then empty")
        << list("b,10,,a,9") << none << QList<int>{1, 1, 5, 1} << list("9,10,a,b,") << none;
    QTest::newRow("texts that read as numbers")
        << list(" 7,-1,1.5,07,3") << none << QList<int>{1, 1, 5, 1} << list("-1,1.5,3, 7,07")
        << none;
    QTest::newRow("numbers far beyond the row count")
        << list("2000000000,70000,,5,300000") << none << QList<int>{1, 1, 5, 1}
        << list("5,70000,300000,2000000000,") << none;
    QTest::newRow("equal keys keep their order")
        << list("2,1,2,1") << list("a,b,c,d") << QList<int>{1, 1, 4, 1} << list("1,1,2,2")
        << list("b,d,a,c");
    QTest::newRow("only the selected rows")
        << list("9,8,7,6,5") << none << QList<int>{2, 1, 4, 1} << list("9,6,7,8,5") << none;
    QTest::newRow("second key breaks ties")
        << list("2,1,2,1") << list("b,d,a,c") << QList<int>{1, 1, 4, 2} << list("1,1,2,2")
        << list("c,d,a,b");
    QTest::newRow("key columns leftmost first, selected right to left")
        << list("2,1,2,1") << list("20,40,10,30") << QList<int>{4, 2, 1, 1} << list("1,1,2,2")
        << list("30,40,10,20");
}

void GridCellStoreTest::sort_ordersSelectedRows()
{
    QFETCH(QStringList, column1);
    QFETCH(QStringList, column2);
    QFETCH(QList<int>, range);
    QFETCH(QStringList, sorted1);
    QFETCH(QStringList, sorted2);
    GridCellStore grid(int(column1.size()) + 1, 3);
    for (int r = 1; r <= column1.size(); ++r) {
        grid.setText(r, 1, column1.at(r - 1));
        if (!column2.isEmpty())
            grid.setText(r, 2, column2.at(r - 1));
    }
    SortBlock(grid, Block(range[0], range[1], range[2], range[3]));
    QCOMPARE(Column(grid, 1), sorted1);
    if (!column2.isEmpty())
        QCOMPARE(Column(grid, 2), sorted2);
}

void GridCellStoreTest::sort_movesWholeRowsAndKeepsHeader()
{
    GridCellStore grid(4, 4);
    const QStringList header{QString(), QStringLiteral("#1"), QStringLiteral("合計"),
                             QStringLiteral("奇数")};
    for (int c = 0; c < 4; ++c)
        grid.setText(0, c, header.at(c));
    const QList<QStringList> rows{
        {QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("120"), QStringLiteral("3")},
        {QStringLiteral("2"), QStringLiteral("7"), QStringLiteral("98"), QStringLiteral("1")},
        {QStringLiteral("3"), QStringLiteral("9"), QStringLiteral("131"), QStringLiteral("2")}};
    for (int r = 1; r <= 3; ++r)
        for (int c = 0; c < 4; ++c)
            grid.setText(r, c, rows.at(r - 1).at(c));
    grid.setCellColor(2, 1, Red);
    grid.setCellBold(2, 1);

    SortBlock(grid, Block(1, 2, 3, 2));

    for (int c = 0; c < 4; ++c)
        QCOMPARE(grid.text(0, c), header.at(c));
    const QList<int> expected{1, 0, 2};
    for (int r = 1; r <= 3; ++r)
        for (int c = 0; c < 4; ++c)
            QCOMPARE(grid.text(r, c), rows.at(expected.at(r - 1)).at(c));
    QCOMPARE(grid.cellColor(1, 1), Red);
    QVERIFY(grid.cellBold(1, 1));
    QVERIFY(!grid.hasCellColor(2, 1));
    QVERIFY(!grid.cellBold(2, 1));
}

// Rows handed to a store's sink together land as they do one at a time,
// wherever a row of other text falls among those shared between threads
// and wherever the memory limit cuts them off.
void GridCellStoreTest::rowSink_manyRowsAsOneByOne_data()
{
    QTest::addColumn<int>("otherRow");
    QTest::addColumn<QString>("otherCell");
    QTest::addColumn<qint64>("maxBytes");

    const qint64 unlimited = MaxLoadedGridBytes;
    const QString zero = QStringLiteral("07");
    QTest::newRow("all plain") << -1 << zero << unlimited;
    QTest::newRow("first row") << 0 << zero << unlimited;
    QTest::newRow("last row probed alone") << 1023 << zero << unlimited;
    QTest::newRow("first row shared") << 1024 << zero << unlimited;
    QTest::newRow("helper's first row") << 10512 << QStringLiteral("a b") << unlimited;
    QTest::newRow("last row") << 19999 << zero << unlimited;
    QTest::newRow("number too large for a cell")
        << 10511 << QStringLiteral("2147483648") << unlimited;
    QTest::newRow("memory limit") << -1 << zero << qint64(200000);
    QTest::newRow("memory limit after other text") << 5000 << zero << qint64(200000);
}

void GridCellStoreTest::rowSink_manyRowsAsOneByOne()
{
    QFETCH(int, otherRow);
    QFETCH(QString, otherCell);
    QFETCH(qint64, maxBytes);

    constexpr int Rows = 20000;
    constexpr int Columns = 5;
    std::vector<QByteArray> texts;
    for (int i = 0; i < Rows; ++i) {
        QByteArray text = QByteArray::number(i + 1) + '\t' + QByteArray::number(i % 37 + 1) + "\t\t"
                          + QByteArray::number(qint64(i) * 107374);
        if (i % 3 == 0)
            text += "\t9\tbeyond the last column";
        if (i % 5 == 0)
            text.clear();
        if (i == otherRow)
            text = "1\t" + otherCell.toLatin1() + "\t3";
        texts.push_back(text);
    }
    std::vector<QLatin1StringView> rows;
    for (const QByteArray &text : texts)
        rows.emplace_back(text.constData(), text.size());

    GridCellStore together(1, Columns);
    together.reserveRows(Rows + 1);
    GridRowSink sink(together, maxBytes);
    const qsizetype taken = sink.addRows(rows.data(), Rows);
    GridCellStore oneByOne(1, Columns);
    GridRowSink single(oneByOne, maxBytes);
    qsizetype expected = 0;
    while (expected < Rows && single.addRow(rows[size_t(expected)]))
        ++expected;

    QCOMPARE(taken, expected);
    QCOMPARE(together.rowCount(), oneByOne.rowCount());
    QCOMPARE(together.usedBytes(), oneByOne.usedBytes());
    for (int r = 1; r < oneByOne.rowCount(); ++r) {
        for (int c = 0; c < Columns; ++c) {
            if (together.cellKey(r, c) != oneByOne.cellKey(r, c))
                QFAIL(qPrintable(QStringLiteral("row %1 column %2").arg(r).arg(c)));
        }
    }
}

QTEST_MAIN(GridCellStoreTest)
#include "tst_GridCellStore.moc"
