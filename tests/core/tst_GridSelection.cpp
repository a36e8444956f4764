#include "core/GridSelection.h"

#include <QtTest>

namespace {

// Plays steps on a selection of a 7-row, 5-column grid (rows 1..6 hold
// data): "press R C", "shift R C" and "ctrl R C" are clicks, "drag R C" moves
// the mouse with the button down, "all" is Ctrl+A, and a key name moves the
// current cell, with a "+" before it the end of the block.
void Play(GridSelection &sel, const QString &steps)
{
    static const QHash<QString, GridStep> keys{
        {QStringLiteral("Up"), GridStep::Up},
        {QStringLiteral("Down"), GridStep::Down},
        {QStringLiteral("PgDown"), GridStep::PageDown},
        {QStringLiteral("Home"), GridStep::RowStart},
        {QStringLiteral("End"), GridStep::RowEnd},
        {QStringLiteral("CtrlHome"), GridStep::FirstRow},
        {QStringLiteral("CtrlEnd"), GridStep::LastRow},
    };
    for (const QString &step : steps.split(u',', Qt::SkipEmptyParts)) {
        const QStringList words = step.trimmed().split(u' ');
        const QString &verb = words.at(0);
        if (verb == QLatin1String("all")) {
            sel.selectAll();
            continue;
        }
        if (words.size() == 3) {
            const int row = words.at(1).toInt();
            const int col = words.at(2).toInt();
            if (verb == QLatin1String("drag"))
                sel.dragTo(row, col);
            else
                sel.press(row, col, verb == QLatin1String("shift"), verb == QLatin1String("ctrl"));
            continue;
        }
        const bool extend = verb.startsWith(u'+');
        int row = 0;
        int col = 0;
        sel.step(keys.value(extend ? verb.mid(1) : verb), extend, 2, &row, &col);
    }
}

} // namespace

class GridSelectionTest : public QObject
{
    Q_OBJECT
private slots:
    void steps_selectRows_data();
    void steps_selectRows();
};

void GridSelectionTest::steps_selectRows_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QList<int>>("rows"); // the selected data rows
    QTest::addColumn<QList<int>>("cell"); // current row and column
    const QList<int> none;
    QTest::newRow("drag from the first to the last row")
        << "press 1 2, drag 6 2" << QList<int>{1, 2, 3, 4, 5, 6} << QList<int>{1, 2};
    QTest::newRow("ctrl+a") << "press 3 2, all" << QList<int>{1, 2, 3, 4, 5, 6} << QList<int>{1, 0};
    QTest::newRow("shift+click stretches from the current cell")
        << "press 2 3, shift 5 1" << QList<int>{2, 3, 4, 5} << QList<int>{2, 3};
    QTest::newRow("shift+click upwards")
        << "press 5 3, shift 2 1" << QList<int>{2, 3, 4, 5} << QList<int>{5, 3};
    QTest::newRow("shift+click with nothing selected is a click")
        << "shift 4 1" << QList<int>{4} << QList<int>{4, 1};
    QTest::newRow("ctrl+click adds rows apart")
        << "press 1 2, ctrl 3 1, ctrl 6 4" << QList<int>{1, 3, 6} << QList<int>{6, 4};
    QTest::newRow("ctrl+click keeps a dragged block")
        << "press 1 2, drag 2 2, ctrl 5 1" << QList<int>{1, 2, 5} << QList<int>{5, 1};
    QTest::newRow("ctrl+click drops a selected row")
        << "press 2 2, drag 4 2, ctrl 3 2" << QList<int>{2, 4} << QList<int>{3, 2};
    QTest::newRow("ctrl+click drops the last row")
        << "press 2 2, ctrl 2 2" << none << QList<int>{2, 2};
    QTest::newRow("a plain click ends the picking")
        << "press 1 2, ctrl 3 1, press 5 1" << QList<int>{5} << QList<int>{5, 1};
    QTest::newRow("a key ends the picking")
        << "press 1 2, ctrl 3 1, Down" << QList<int>{4} << QList<int>{4, 1};
    QTest::newRow("end") << "press 3 2, End" << QList<int>{3} << QList<int>{3, 4};
    QTest::newRow("home") << "press 3 2, Home" << QList<int>{3} << QList<int>{3, 0};
    QTest::newRow("ctrl+end goes to the last row")
        << "press 3 2, CtrlEnd" << QList<int>{6} << QList<int>{6, 2};
    QTest::newRow("ctrl+home goes to the first data row")
        << "press 3 2, Up, Up, Up, CtrlHome" << QList<int>{1} << QList<int>{1, 2};
    QTest::newRow("shift+ctrl+end selects down to the last row")
        << "press 2 2, +CtrlEnd" << QList<int>{2, 3, 4, 5, 6} << QList<int>{2, 2};
    QTest::newRow("shift+page down to the last row")
        << "press 1 2, +PgDown, +PgDown, +PgDown" << QList<int>{1, 2, 3, 4, 5, 6}
        << QList<int>{1, 2};
}

void GridSelectionTest::steps_selectRows()
{
    QFETCH(QString, steps);
    QFETCH(QList<int>, rows);
    QFETCH(QList<int>, cell);
    GridSelection sel;
    sel.setShape(7, 5);
    Play(sel, steps);
    const std::vector<int> selected = sel.selectedRows();
    QCOMPARE(QList<int>(selected.begin(), selected.end()), rows);
    QCOMPARE((QList<int>{sel.currentRow(), sel.currentColumn()}), cell);
    QCOMPARE(sel.hasSelection(), !rows.isEmpty());
    for (int r = 1; r < 7; ++r)
        QCOMPARE(sel.contains(r, cell[1]), rows.contains(r));
}

QTEST_MAIN(GridSelectionTest)
#include "tst_GridSelection.moc"
