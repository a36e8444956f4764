// Times the result grid at 10,000, 100,000 and 1,000,000 LOTO6 rows while it
// is shown, and reports the memory a row takes. Run offscreen:
//   QT_QPA_PLATFORM=offscreen bench_grid [largest row count]
#include "ui/ResultGrid.h"
#include "ui/ResultGridModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <random>

namespace {

qint64 ResidentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    if (fields.size() < 2)
        return 0;
    return fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

void Settle()
{
    QApplication::processEvents();
    QApplication::processEvents();
}

void Report(const char *what, int rows, const QElapsedTimer &timer)
{
    std::printf("  %-44s %9d rows %9.3f s\n", what, rows, timer.nsecsElapsed() / 1e9);
    std::fflush(stdout);
}

void SelectRange(ResultGrid &grid, int row, int col, int rowSel, int colSel)
{
    grid.setCurrentRow(row);
    grid.setCurrentColumn(col);
    grid.setSelectionEndRow(rowSel);
    grid.setSelectionEndColumn(colSel);
}

// One generated row: sequence number, six sorted numbers, sum, deviation,
// odd count.
std::array<int, 10> LotoRow(std::mt19937 &random, int sequence)
{
    std::array<int, 10> row{};
    std::array<int, 43> pool{};
    for (int i = 0; i < 43; ++i)
        pool[size_t(i)] = i + 1;
    for (int i = 0; i < 6; ++i) {
        std::uniform_int_distribution<int> pick(i, 42);
        std::swap(pool[size_t(i)], pool[size_t(pick(random))]);
    }
    std::sort(pool.begin(), pool.begin() + 6);
    row[0] = sequence;
    int sum = 0;
    int odd = 0;
    for (int i = 0; i < 6; ++i) {
        row[size_t(i + 1)] = pool[size_t(i)];
        sum += pool[size_t(i)];
        odd += pool[size_t(i)] % 2;
    }
    row[7] = sum;
    row[8] = std::abs(sum - 132) / 2;
    row[9] = odd;
    return row;
}

void Run(int rows)
{
    std::printf("%d data rows\n", rows);
    std::mt19937 random(20240601u);
    QElapsedTimer timer;

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
    const qint64 before = ResidentBytes();

    timer.start();
    grid.setRowCount(rows + 1);
    Settle();
    Report("setRowCount", rows, timer);

    timer.start();
    for (int r = 1; r <= rows; ++r) {
        const std::array<int, 10> row = LotoRow(random, r);
        for (int c = 0; c < 10; ++c)
            grid.setText(r, c, QString::number(row[size_t(c)]));
    }
    Settle();
    Report("fill every cell with setText", rows, timer);
    const qint64 after = ResidentBytes();
    std::printf("  %-44s %9d rows %9.1f bytes a row (storage %.1f)\n", "memory", rows,
                double(after - before) / rows,
                double(grid.gridModel()->storageBytes()) / rows);

    timer.start();
    SelectRange(grid, 1, 0, rows, 9);
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
        SelectRange(target, 1, 0, rows, 9);
        target.setClipText(clip);
        Settle();
        Report("appendRows + setClipText of all rows", rows, timer);
        if (target.text(rows, 7) != grid.text(rows, 7))
            std::printf("  MISMATCH after setClipText\n");
    }

    timer.start();
    SelectRange(grid, 1, 7, rows, 7);
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
