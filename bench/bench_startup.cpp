// Start-up of the main window until it is first painted, without and with
// large pattern files, and one press of the run button until the prediction
// grid is painted. Prints its figures; run offscreen:
//   QT_QPA_PLATFORM=offscreen build/bench/bench_startup

#include "bench/BenchDialogs.h"
#include "bench/BenchSupport.h"
#include "storage/FilePathCommands.h"
#include "ui/BoardSlider.h"
#include "ui/Form1.h"
#include "ui/ResultGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// Notes the first paint of any widget with the watched object name.
class PaintWatch : public QObject
{
public:
    QString name;
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->objectName() == name)
            painted = true;
        return false;
    }
};

bool WaitFor(const bool &flag, int timeoutMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!flag && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return flag;
}

// A pattern file of the given size, with names and comments in Japanese as
// real ones have.
QString PatternFileText(int digitsPerPattern, int patterns)
{
    QString text = QStringLiteral("[TITLE]\nCOPYRIGHT=ZANBO\n[MSG]\nMSG=2\n"
                                  "MSG1=ベンチマーク用\nMSG2=パターン%1個\n[PATTERN]\nPAT=%1\n")
                       .arg(patterns);
    for (int j = 1; j <= patterns; ++j) {
        QString digits;
        for (int i = 0; i < digitsPerPattern; ++i)
            digits += QChar(u'1' + (i * 7 + j) % 5);
        text += QStringLiteral("PAT%1=%2\n").arg(j).arg(digits);
    }
    text += QStringLiteral("[PATTERNNAME]\n");
    for (int j = 1; j <= patterns; ++j)
        text += QStringLiteral("PAT%1=パターン その%1\n").arg(j);
    text += QStringLiteral("[PATTERNCOMMENT]\n");
    for (int j = 1; j <= patterns; ++j)
        text += QStringLiteral("PAT%1=%1番目のパターンの説明です。\n").arg(j);
    return text;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Construction (which loads settings and pattern files) to the first paint.
std::vector<double> TimeStartUp(const QString &folder, int repeats, bool detail = false)
{
    BenchDialogs dialogs;
    dialogs.confirmAnswer = false;
    PaintWatch watch;
    watch.name = QStringLiteral("Form1");
    qApp->installEventFilter(&watch);
    std::vector<double> times;
    for (int n = 0; n < repeats; ++n) {
        watch.painted = false;
        QElapsedTimer timer;
        timer.start();
        auto w = std::make_unique<Form1>(folder, dialogs);
        const double built = timer.nsecsElapsed() / 1e6;
        w->show();
        if (!WaitFor(watch.painted)) {
            std::printf("  (no paint seen)\n");
            break;
        }
        times.push_back(timer.nsecsElapsed() / 1e6);
        if (detail)
            std::printf("  construction %.2f ms, show to first paint %.2f ms\n", built,
                        times.back() - built);
        w.reset();
        QCoreApplication::processEvents();
    }
    qApp->removeEventFilter(&watch);
    return times;
}

void Report(const char *what, const std::vector<double> &times)
{
    if (times.empty())
        return;
    std::printf("%-52s first %7.2f ms  median %7.2f ms  best %7.2f ms  (%zu runs)\n", what,
                times.front(), Median(times), *std::min_element(times.begin(), times.end()),
                times.size());
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int Repeats = 15;

    QTemporaryDir empty;
    QTemporaryDir large;
    if (!empty.isValid() || !large.isValid())
        return 1;
    const QString emptyFolder = AddPathSeparator(empty.path());
    const QString largeFolder = AddPathSeparator(large.path());
    const GameTableType games = MakeGameTable(largeFolder);
    if (!WritePatternFile(games[GameLoto6].PatternFilePath, PatternFileText(43, 1000))
        || !WritePatternFile(games[GameMiniLoto].PatternFilePath, PatternFileText(31, 1000))) {
        std::fprintf(stderr, "cannot write the pattern files\n");
        return 1;
    }

    std::printf("Main window, construction to first paint (target < 100 ms):\n");
    // Interleaved, so neither case alone pays for the first font and style loading.
    const std::vector<double> warm = TimeStartUp(emptyFolder, 1, true);
    Report("  cold start, no pattern files", warm);
    const std::vector<double> none = TimeStartUp(emptyFolder, Repeats);
    const std::vector<double> with = TimeStartUp(largeFolder, Repeats);
    Report("  no pattern files", none);
    Report("  two pattern files of 1000 patterns each", with);
    if (!none.empty() && !with.empty())
        std::printf("  cost of the large files (median): %.2f ms (target < 100 ms)\n",
                    Median(with) - Median(none));

    // One press of the run button, 100 rows of LOTO6, until the grid is painted.
    {
        BenchDialogs dialogs;
        dialogs.confirmAnswer = false;
        Form1 w(emptyFolder, dialogs);
        w.SldKosu->setValue(100);
        w.show();
        PaintWatch watch;
        watch.name = QStringLiteral("FGkekka_0");
        w.FGkekka[0]->viewport()->setObjectName(QStringLiteral("FGkekka_0"));
        w.FGkekka[0]->viewport()->installEventFilter(&watch);
        WaitFor(watch.painted);

        std::vector<double> clicks;
        std::vector<double> painted;
        for (int n = 0; n < 50; ++n) {
            watch.painted = false;
            QElapsedTimer timer;
            timer.start();
            w.CmdRun->click();
            clicks.push_back(timer.nsecsElapsed() / 1e6);
            if (!WaitFor(watch.painted)) {
                std::printf("  (no grid paint seen)\n");
                break;
            }
            painted.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::printf("Run button, 100 rows of LOTO6:\n");
        Report("  click handler alone", clicks);
        Report("  click to painted grid", painted);
        if (w.FGkekka[0]->rowCount() != 101 || w.FGkekka[0]->text(100, 1).isEmpty())
            std::printf("  (the grid was not filled!)\n");
    }
    return 0;
}
