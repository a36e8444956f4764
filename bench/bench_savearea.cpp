// Times the save area's handlers on a shown main window: save and load of a
// save file of a million LOTO6 rows, a header-click sort of the save grid at
// that size, and moves of 100,000 rows between the grids. Reports the peak
// resident memory of the load. Run offscreen:
//   QT_QPA_PLATFORM=offscreen bench_savearea [row count] [moved rows]
#include "bench/BenchDialogs.h"
#include "bench/BenchSupport.h"
#include "core/GridSaveFile.h"
#include "storage/FileIo.h"
#include "storage/FilePathCommands.h"
#include "storage/SaveFile.h"
#include "ui/Form1.h"
#include "ui/ResultGrid.h"
#include "ui/ResultGridModel.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

// Wall time and processor time: the machine may be shared, and then the
// second figure is the one to compare with the target.
void Report(const char *what, const Stopwatch &timer, const char *note = "")
{
    const double wall = timer.wall();
    const double cpu = timer.cpu();
    std::printf("  %-46s %7.3f s wall %7.3f s cpu %s\n", what, wall, cpu, note);
    std::fflush(stdout);
}

bool SortedByColumn(const ResultGrid *grid, int col)
{
    for (int r = 2; r < grid->rowCount(); ++r)
        if (grid->text(r - 1, col).toInt() > grid->text(r, col).toInt())
            return false;
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(2, QByteArray(argv[1]).toInt()) : 1000000;
    const int moved = argc > 2 ? std::clamp(QByteArray(argv[2]).toInt(), 1, rows - 1) : 100000;

    QTemporaryDir dir;
    BenchDialogs dialogs;
    Form1 w(AddPathSeparator(dir.path()), dialogs);
    w.show();
    Settle();
    ResultGrid *predictions = w.FGkekka[0];
    ResultGrid *saved = w.FGkekka[1];
    dialogs.fileName = dir.filePath(QStringLiteral("bench.loto"));
    bool ok = true;

    std::printf("save area, %d LOTO6 rows, %d moved\n", rows, moved);
    Stopwatch timer;
    {
        const QString clip = LotoClipText(rows, 20240601u);
        timer.start();
        saved->setRowCount(rows + 1);
        Form1::SelectGridRange(saved, 1, 0, rows, 9);
        saved->setClipText(clip);
        Settle();
        Report("fill the save grid (set-up)", timer);
    }

    timer.start();
    w.CmdSave_Click();
    Report("CmdSave_Click", timer,
           qPrintable(QStringLiteral("(%1 MB file)")
                          .arg(QFileInfo(dialogs.fileName).size() / 1e6, 0, 'f', 1)));

    saved->setRowCount(1);
    Settle();
    const bool peakReset = ResetPeak();
    const double before = StatusMegabytes("VmRSS");
    timer.start();
    w.CmdLoad_Click();
    Report("CmdLoad_Click", timer);
    timer.start();
    Settle();
    Report("  then the window's events", timer);
    const double peak = StatusMegabytes("VmHWM");
    std::printf("  %-46s %8.1f MB (resident before %.1f MB%s)\n",
                "peak resident memory of the load", peak, before,
                peakReset ? "" : "; peak not reset, whole run");
    ok = ok && saved->rowCount() == rows + 1 && saved->text(rows, 0) == QString::number(rows);

    Form1::SelectGridRange(saved, 1, 7, rows, 7);
    timer.start();
    w.SortGrid(1);
    Settle();
    Report("SortGrid sort by 合計", timer);
    ok = ok && SortedByColumn(saved, 7);

    const int predictionRows = predictions->rowCount() - 1;
    Form1::SelectGridRange(saved, 1, 0, moved, 9);
    timer.start();
    w.CmdCopy_Click(1);
    Settle();
    Report("CmdCopy_Click 削除 (save -> prediction)", timer);
    ok = ok && saved->rowCount() == rows - moved + 1
         && predictions->rowCount() == predictionRows + moved + 1;

    Form1::SelectGridRange(predictions, predictionRows + 1, 0, predictionRows + moved, 9);
    timer.start();
    w.CmdCopy_Click(0);
    Settle();
    Report("CmdCopy_Click 保存エリアへ移動 (back)", timer);
    ok = ok && saved->rowCount() == rows + 1 && predictions->rowCount() == predictionRows + 1;

    // Where the time of a save and a load goes.
    std::printf("breakdown\n");
    timer.start();
    const SaveFileWriteResult written = WriteGridSaveFile(dialogs.fileName,
                                                          saved->gridModel()->store());
    Report("WriteGridSaveFile", timer);
    ok = ok && written.ok;
    timer.start();
    SaveFileContent content = ReadSaveFile(dialogs.fileName);
    Report("ReadSaveFile into a list of rows", timer);
    ok = ok && content.rows.size() == rows;
    content = SaveFileContent();
    timer.start();
    GridCellStore cells(1, GridColumnCount);
    {
        QFile file(dialogs.fileName);
        ok = ok && OpenRegularFile(file);
        SaveFileReader reader(file);
        const SaveFileHead head = reader.readHead();
        ok = ok && ReadSaveFileRows(reader, head, file.size(), cells).rows == rows;
    }
    Report("ReadSaveFileRows into a cell store", timer);
    timer.start();
    saved->gridModel()->replaceCells(std::move(cells));
    Report("replaceCells", timer);
    timer.start();
    Settle();
    Report("events after the load", timer);

    ok = ok && dialogs.warnings == 0;
    std::printf("%s\n", ok ? "results checked" : "RESULTS WRONG");
    return ok ? 0 : 1;
}
