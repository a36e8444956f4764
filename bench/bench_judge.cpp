// Times the judgement of a large save grid on a shown main window, from the
// press of the judge button to the closing line painted in the dialog's
// output box. Run offscreen:
//   QT_QPA_PLATFORM=offscreen bench_judge [row count]
#include "bench/BenchDialogs.h"
#include "bench/BenchSupport.h"
#include "core/Judgement.h"
#include "storage/FilePathCommands.h"
#include "ui/DlgJudge.h"
#include "ui/Form1.h"
#include "ui/MessageLineBox.h"
#include "ui/ResultGrid.h"
#include "ui/ResultGridModel.h"
#include "ui/TextBoxLines.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

// Fills the save grid with rows straight through its store; every
// miniEvery-th row is a Mini LOTO row (0: none).
void FillSaveGrid(ResultGrid *grid, int rows, int miniEvery, BenchRows &source)
{
    grid->setRowCount(rows + 1);
    constexpr int Block = 65536;
    for (int top = 1; top <= rows; top += Block) {
        const int bottom = std::min(rows, top + Block - 1);
        QString text;
        text.reserve(qsizetype(bottom - top + 1) * 20);
        for (int r = top; r <= bottom; ++r) {
            if (r != top)
                text += QLatin1Char('\r');
            source.draw(miniEvery > 0 && r % miniEvery == 0 ? GameMiniLoto : GameLoto6);
            source.appendCells(text, r, 1, 6);
        }
        grid->gridModel()->setBlockText(top, 1, text);
    }
}

struct Outcome
{
    double seconds = 0;
    double cpuSeconds = 0;
    qsizetype lines = 0;
    qsizetype marks = 0;
    bool closed = false;
};

Outcome JudgeOnce(Form1 &w, DlgJudge &dialog)
{
    const qsizetype before = dialog.Text1->lines().size();
    Stopwatch timer;
    timer.start();
    dialog.OKButton->click();
    Settle();
    Outcome outcome;
    outcome.seconds = timer.wall();
    outcome.cpuSeconds = timer.cpu();
    outcome.lines = dialog.Text1->lines().size() - before;
    outcome.closed = MessageText(dialog.Text1)
                         .endsWith(JudgementClosingLine() + QStringLiteral("\r\n"));
    const ResultGrid *grid = w.FGkekka[1];
    for (int r = 1; r < grid->rowCount(); ++r)
        for (int c = 1; c <= 6; ++c)
            outcome.marks += grid->cellBold(r, c) ? 1 : 0;
    return outcome;
}

void Report(const char *what, int rows, const Outcome &outcome)
{
    std::printf("  %-38s %9d rows %7.3f s (cpu %.3f s) %7lld lines %7lld marked cells%s\n", what,
                rows, outcome.seconds, outcome.cpuSeconds, static_cast<long long>(outcome.lines),
                static_cast<long long>(outcome.marks),
                outcome.closed ? "" : "  CLOSING LINE MISSING");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 1000000;

    QTemporaryDir dir;
    const QString folder = AddPathSeparator(dir.path());
    const GameTableType games = MakeGameTable(folder);
    if (!WritePatternFile(
            games[GameLoto6].PatternFilePath,
            QStringLiteral("[TOSENNUM]\nNUMID=250\nDATE=2005/10/06\nN1=3\nN2=15\nN3=22\n"
                           "N4=31\nN5=40\nN6=43\nN0=7\n"))
        || !WritePatternFile(games[GameMiniLoto].PatternFilePath,
                             QStringLiteral("[TOSENNUM]\nNUMID=330\nDATE=2005/10/04\nN1=2\nN2=9\n"
                                            "N3=17\nN4=24\nN5=30\nN0=11\n"))) {
        std::fprintf(stderr, "cannot write the pattern files\n");
        return 1;
    }

    BenchDialogs dialogs;
    Form1 w(folder, dialogs);
    w.show();
    BenchRows source(20051006u);

    std::printf(
        "Judgement, button press to the closing line painted (target < 2 s at 1,000,000 rows):\n");
    for (const int miniEvery : {0, 2}) {
        FillSaveGrid(w.FGkekka[1], rows, miniEvery, source);
        w.SetSaveAreaButtons(true);
        w.CmdJudge_Click();
        DlgJudge *dialog = w.judgeDialog();
        QApplication::processEvents();
        Report(miniEvery ? "half Mini LOTO rows, first judgement" : "LOTO6 rows, first judgement",
               rows, JudgeOnce(w, *dialog));
        Report(miniEvery ? "half Mini LOTO rows, again" : "LOTO6 rows, again", rows,
               JudgeOnce(w, *dialog));
        dialog->close();
        QApplication::processEvents();
        w.FGkekka[1]->clearCells();
    }
    return 0;
}
