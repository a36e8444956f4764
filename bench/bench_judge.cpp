// Times the judgement of a large save grid on a shown main window, from the
// press of the judge button to the closing line painted in the dialog's
// output box. Run offscreen:
//   QT_QPA_PLATFORM=offscreen bench_judge [row count]
#include "core/Judgement.h"
#include "storage/FilePathCommands.h"
#include "ui/DlgJudge.h"
#include "ui/Form1.h"
#include "ui/ResultGrid.h"
#include "ui/ResultGridModel.h"
#include "ui/TextBoxLines.h"
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <random>

namespace {

class BenchDialogs : public UserDialogs
{
public:
    bool confirm(QWidget *, const QString &, const QString &, QMessageBox::Icon) override
    {
        return true;
    }
    QString openFileName(QWidget *, const FileDialogOptions &) override { return QString(); }
    QString saveFileName(QWidget *, const FileDialogOptions &) override { return QString(); }
    void warn(QWidget *, const QString &, const QString &) override {}
    void openUrl(const QUrl &) override {}
};

bool WritePatternFile(const QString &path, const QString &text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QStringEncoder encoder("windows-31j");
    const QByteArray bytes = encoder.encode(lines);
    return file.write(bytes) == bytes.size();
}

// Random distinct numbers of 1..maxNumber, sorted, as a clip-text row of
// count cells (the cells after pick stay empty).
QString RandomRow(std::mt19937 &random, int maxNumber, int pick)
{
    std::array<int, 43> pool{};
    for (int i = 0; i < maxNumber; ++i)
        pool[size_t(i)] = i + 1;
    for (int i = 0; i < pick; ++i) {
        std::uniform_int_distribution<int> index(i, maxNumber - 1);
        std::swap(pool[size_t(i)], pool[size_t(index(random))]);
    }
    std::sort(pool.begin(), pool.begin() + pick);
    QString row;
    for (int i = 0; i < 6; ++i) {
        if (i)
            row += QLatin1Char('\t');
        if (i < pick)
            row += QString::number(pool[size_t(i)]);
    }
    return row;
}

// Fills the save grid with rows straight through its store; every
// miniEvery-th row is a Mini LOTO row (0: none).
void FillSaveGrid(ResultGrid *grid, int rows, int miniEvery, std::mt19937 &random)
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
            const bool mini = miniEvery > 0 && r % miniEvery == 0;
            text += RandomRow(random, mini ? 31 : 43, mini ? 5 : 6);
        }
        grid->gridModel()->setBlockText(top, 1, text);
    }
}

// CPU time of the process: on a busy machine it shows what the judgement
// itself costs, apart from the wait for a core.
double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
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
    const qsizetype before = dialog.Text1->blockCount();
    QElapsedTimer timer;
    const double cpuStart = CpuSeconds();
    timer.start();
    dialog.OKButton->click();
    QApplication::processEvents();
    QApplication::processEvents();
    Outcome outcome;
    outcome.seconds = timer.nsecsElapsed() / 1e9;
    outcome.cpuSeconds = CpuSeconds() - cpuStart;
    outcome.lines = dialog.Text1->blockCount() - before;
    outcome.closed = MessageText(dialog.Text1).endsWith(JudgementClosingLine() + QStringLiteral("\r\n"));
    const ResultGrid *grid = w.FGkekka[1];
    for (int r = 1; r < grid->rowCount(); ++r)
        for (int c = 1; c <= 6; ++c)
            outcome.marks += grid->cellBold(r, c) ? 1 : 0;
    return outcome;
}

void Report(const char *what, int rows, const Outcome &outcome)
{
    std::printf("  %-38s %9d rows %7.3f s (cpu %.3f s) %7lld lines %7lld marked cells%s\n",
                what, rows, outcome.seconds, outcome.cpuSeconds, static_cast<long long>(outcome.lines),
                static_cast<long long>(outcome.marks), outcome.closed ? "" : "  CLOSING LINE MISSING");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 1000000;

    QTemporaryDir dir;
    const QString folder = AddPathSeparator(dir.path());
    if (!WritePatternFile(folder + QStringLiteral("zanbol6.txt"),
                          QStringLiteral("[TOSENNUM]\nNUMID=250\nDATE=2005/10/06\nN1=3\nN2=15\nN3=22\n"
                                         "N4=31\nN5=40\nN6=43\nN0=7\n"))
        || !WritePatternFile(folder + QStringLiteral("zanboml.txt"),
                             QStringLiteral("[TOSENNUM]\nNUMID=330\nDATE=2005/10/04\nN1=2\nN2=9\n"
                                            "N3=17\nN4=24\nN5=30\nN0=11\n"))) {
        std::fprintf(stderr, "cannot write the pattern files\n");
        return 1;
    }

    BenchDialogs dialogs;
    Form1 w(folder, dialogs);
    w.show();
    std::mt19937 random(20051006);

    std::printf("Judgement, button press to the closing line painted (target < 2 s at 1,000,000 rows):\n");
    for (const int miniEvery : {0, 2}) {
        FillSaveGrid(w.FGkekka[1], rows, miniEvery, random);
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
