// Times the result grid at 10,000, 100,000 and 1,000,000 LOTO6 rows while it
// is shown, and reports the memory a row takes. Run offscreen:
//   QT_QPA_PLATFORM=offscreen bench_grid [largest row count]
#include "bench/BenchSupport.h"
#include "ui/Form1.h"
#include "ui/ResultGrid.h"
#include "ui/ResultGridModel.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

void Report(const char *what, int rows, const Stopwatch &timer)
{
    std::printf("  %-44s %9d rows %9.3f s\n", what, rows, timer.wall());
    std::fflush(stdout);
}

void Run(int rows)
{
    std::printf("%d data rows\n", rows);
    BenchRows source(20240601u);
    Stopwatch timer;

    ResultGrid grid;
    grid.resize(640, 360);
    grid.setColumnCount(10);
    for (int c = 0; c < 10; ++c)
        grid.setColumnWidthTwips(c, 550);
    for (int c = 1; c < 10; ++c)
        grid.setColumnAlignmentCentered(c);
    grid.setRowCount(1);
    grid.show();
    Settle();
    const qint64 before = StatusBytes("VmRSS");

    timer.start();
    grid.setRowCount(rows + 1);
    Settle();
    Report("setRowCount", rows, timer);

    timer.start();
    for (int r = 1; r <= rows; ++r) {
        source.draw();
        for (int c = 0; c < BenchRows::ColumnCount; ++c)
            grid.setText(r, c, source.cell(r, c));
    }
    Settle();
    Report("fill every cell with setText", rows, timer);
    const qint64 after = StatusBytes("VmRSS");
    std::printf("  %-44s %9d rows %9.1f bytes a row (storage %.1f)\n", "memory", rows,
                double(after - before) / rows,
                double(grid.gridModel()->store().storageBytes()) / rows);

    timer.start();
    Form1::SelectGridRange(&grid, 1, 0, rows, 9);
    const QString clip = grid.clipText();
    Settle();
    Report("clipText of all data rows", rows, timer);

    {
        ResultGrid target;
        target.resize(640, 360);
        target.setColumnCount(10);
        target.setRowCount(1);
        target.show();
        Settle();
        timer.start();
        target.appendRows(rows);
        Form1::SelectGridRange(&target, 1, 0, rows, 9);
        target.setClipText(clip);
        Settle();
        Report("appendRows + setClipText of all rows", rows, timer);
        if (target.text(rows, 7) != grid.text(rows, 7))
            std::printf("  MISMATCH after setClipText\n");
    }

    timer.start();
    Form1::SelectGridRange(&grid, 1, 7, rows, 7);
    grid.sortSelection();
    Settle();
    Report("sort by column 7", rows, timer);

    timer.start();
    for (int r = rows; r > rows / 2; --r)
        grid.removeRow(r);
    Settle();
    Report("removeRow of the bottom half, bottom up", rows / 2, timer);

    timer.start();
    for (int i = 0; i < rows / 2; ++i)
        grid.appendRow();
    Settle();
    Report("appendRow one by one (half)", rows / 2, timer);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int largest = argc > 1 ? std::max(1, atoi(argv[1])) : 1000000;
    for (int rows : {10000, 100000, 1000000})
        if (rows <= largest)
            Run(rows);
    return 0;
}
