// The draw history: import of a large CSV file, opening the history and the
// analysis dialogs over a long history, and start-up with and without a
// history file.
// Prints its figures; run offscreen:
//   QT_QPA_PLATFORM=offscreen build/bench/bench_history

#include "bench/BenchDialogs.h"
#include "bench/BenchSupport.h"
#include "core/DrawFile.h"
#include "core/DrawImport.h"
#include "storage/DrawHistory.h"
#include "storage/FileIo.h"
#include "storage/FilePathCommands.h"
#include "ui/DlgAnalysis.h"
#include "ui/DlgHistory.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// As many draws as draw numbers go (1 to 99,999).
constexpr int DrawCount = DrawRecord::MaxDrawNumber;

// A published-style LOTO6 file: header, quoted prizes with thousands
// separators, the trailing "EOF" column some files carry.
QByteArray LargeFile(int draws)
{
    QString text = QStringLiteral(
        "開催回,日付,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,BONUS数字,"
        "1等口数,2等口数,3等口数,4等口数,5等口数,1等賞金,2等賞金,3等賞金,4等賞金,5等賞金,"
        "キャリーオーバー,EOF\r\n");
    text.reserve(qsizetype(draws) * 110);
    BenchRows rows(12345);
    QDate date(2000, 10, 5);
    const QLocale c = QLocale::c();
    for (int n = 1; n <= draws; ++n) {
        rows.draw(GameLoto6);
        text += QString::number(n) + QLatin1Char(',') + date.toString(QStringLiteral("yyyy/M/d"));
        for (int col = 1; col <= 6; ++col)
            text += QLatin1Char(',') + rows.cell(n, col);
        text += QStringLiteral(",%1").arg((rows.cell(n, 1).toInt() + 10) % 43 + 1 == 0 ? 1 : 0);
        text += QStringLiteral(",%1,%2,%3,%4,%5")
                    .arg(n % 3)
                    .arg(n % 17 + 3)
                    .arg(n % 300 + 150)
                    .arg(n % 9000 + 8000)
                    .arg(n % 150000 + 140000);
        text += QStringLiteral(",\"%1\",\"%2\",\"%3\",\"%4\",\"%5\",\"%6\",\r\n")
                    .arg(c.toString(200000000 + n), c.toString(12000000 + n),
                         c.toString(400000 + n), c.toString(9000 + n % 100), c.toString(1000),
                         c.toString(qint64(n) * 1000));
        // Dates stay among real draws: weeks after the first, from the start again.
        date = n % 1000 == 0 ? QDate(2000, 10, 5) : date.addDays(7);
    }
    return text.toUtf8();
}

// Replaces the bonus column (written as a placeholder above) with a number
// that is no main number of the row.
QByteArray WithBonus(QByteArray bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    for (int i = 1; i < lines.size(); ++i) {
        QList<QByteArray> fields = lines[i].split(',');
        if (fields.size() < 9)
            continue;
        int bonus = 1;
        const auto taken = [&fields](int b) {
            for (int k = 2; k < 8; ++k)
                if (fields[k].toInt() == b)
                    return true;
            return false;
        };
        while (taken(bonus))
            ++bonus;
        fields[8] = QByteArray::number(bonus);
        lines[i] = fields.join(',');
    }
    return lines.join('\n');
}

class PaintWatch : public QObject
{
public:
    QWidget *target = nullptr;
    bool painted = false;

protected:
    // A window is painted through its children; the first of them counts.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const auto *widget = qobject_cast<QWidget *>(watched);
        if (event->type() == QEvent::Paint && widget
            && (widget == target || (target && target->isAncestorOf(widget))))
            painted = true;
        return false;
    }
};

bool WaitFor(const bool &flag, int timeoutMs = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (!flag && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return flag;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Main window construction to its first paint, in milliseconds.
std::vector<double> StartUp(const QString &folder, int repeats)
{
    BenchDialogs dialogs;
    std::vector<double> times;
    for (int n = 0; n < repeats; ++n) {
        PaintWatch watch;
        qApp->installEventFilter(&watch);
        QElapsedTimer timer;
        timer.start();
        auto w = std::make_unique<Form1>(folder, dialogs);
        watch.target = w.get();
        w->show();
        if (WaitFor(watch.painted))
            times.push_back(timer.nsecsElapsed() / 1e6);
        qApp->removeEventFilter(&watch);
        w.reset();
        QCoreApplication::processEvents();
    }
    return times;
}

// Files as large as an import accepts, made to be expensive: quotes that
// never close, one endless line, nothing but separators, nothing but line
// ends. Each is read as the import reads it; peak memory beside the target.
void HostileFiles()
{
    struct Hostile
    {
        const char *what;
        char fill;
        const char *head;
    };
    const Hostile files[] = {
        {"quote characters", '"', ""},
        {"one line of digits", '7', "開催回,日付,第1数字\n"},
        {"commas", ',', "開催回,日付,第1数字\n"},
        {"line ends", '\n', "開催回,日付,第1数字\n"},
    };
    std::printf("CSV files of %lld MiB, the most an import reads"
                " (target: peak memory below 8 x the size):\n",
                MaxWholeFileBytes >> 20);
    for (const Hostile &h : files) {
        QByteArray bytes(h.head);
        bytes.append(QByteArray(MaxWholeFileBytes - bytes.size(), h.fill));
        const double before = StatusMegabytes("VmRSS");
        const bool reset = ResetPeak();
        Stopwatch watch;
        watch.start();
        const DrawFile file = ReadDrawFile(bytes, QStringLiteral("hostile.csv"));
        const double seconds = watch.wall();
        const double peak = StatusMegabytes("VmHWM");
        std::printf("  %-20s %6.2f s, peak %7.1f MB (%.1f x the size; before %.1f MB%s), "
                    "%lld draws\n",
                    h.what, seconds, peak, peak / (MaxWholeFileBytes >> 20), before,
                    reset ? "" : ", peak not reset", qlonglong(file.Draws.size()));
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QString folder = AddPathSeparator(dir.path());
    const QString csvPath = folder + QStringLiteral("draws.csv");
    {
        QString error;
        if (!WriteFileAtomically(csvPath, WithBonus(LargeFile(DrawCount)), &error)) {
            std::fprintf(stderr, "cannot write the CSV file: %s\n", qPrintable(error));
            return 1;
        }
    }
    std::printf("Import of %d LOTO6 draws, %.1f MB (target < 1 s):\n", DrawCount,
                QFileInfo(csvPath).size() / (1024.0 * 1024.0));

    const QString dbPath = folder + DrawHistory::FileName();
    Stopwatch total;
    Stopwatch step;
    total.start();
    step.start();
    QByteArray bytes;
    ReadWholeFile(csvPath, bytes);
    const double readTime = step.wall();
    step.start();
    const DrawFile file = ReadDrawFile(bytes, QStringLiteral("draws.csv"));
    const double parseTime = step.wall();
    step.start();
    DrawHistory history(dbPath);
    history.open(true);
    const DrawImport import = PlanImport(file, history.draws(file.Game),
                                         QStringLiteral("draws.csv"));
    const double planTime = step.wall();
    step.start();
    const bool stored = history.store(DrawsToStore(import));
    const double storeTime = step.wall();
    std::printf("  read %.3f s, parse and check %.3f s, compare %.3f s, store %.3f s\n", readTime,
                parseTime, planTime, storeTime);
    std::printf(
        "  whole import: %.3f s wall, %.3f s processor; %lld draws stored, %lld rejected%s\n",
        total.wall(), total.cpu(), qlonglong(import.New.size()), qlonglong(import.Rejected.size()),
        stored ? "" : " (store failed!)");

    // The same file again: every draw is already stored, nothing is written.
    total.start();
    {
        QByteArray again;
        ReadWholeFile(csvPath, again);
        const DrawFile same = ReadDrawFile(again, QStringLiteral("draws.csv"));
        const DrawImport repeat = PlanImport(same, history.draws(same.Game),
                                             QStringLiteral("draws.csv"));
        std::printf("  the same file again: %.3f s (%lld already stored)\n", total.wall(),
                    qlonglong(repeat.AlreadyStored.size()));
    }
    step.start();
    const int read = int(history.draws(GameLoto6).size());
    std::printf("  reading the %d stored draws: %.3f s\n", read, step.wall());
    history.close();
    HostileFiles();

    // The history dialog over the long history, construction to first paint.
    {
        BenchDialogs dialogs;
        Form1 w(folder, dialogs);
        w.show();
        Settle();
        std::vector<double> times;
        for (int n = 0; n < 7; ++n) {
            QElapsedTimer timer;
            timer.start();
            DlgHistory dialog(w, &w);
            PaintWatch watch;
            watch.target = dialog.GridHistory->viewport();
            dialog.GridHistory->viewport()->installEventFilter(&watch);
            dialog.show();
            if (!WaitFor(watch.painted)) {
                std::printf("  (no paint seen)\n");
                break;
            }
            times.push_back(timer.nsecsElapsed() / 1e6);
            if (dialog.GridHistory->model()->rowCount() != DrawCount)
                std::printf("  (the dialog shows %d draws!)\n",
                            dialog.GridHistory->model()->rowCount());
        }
        std::printf("History dialog with %d stored draws, opening to first paint"
                    " (target < 100 ms):\n  first %.1f ms, median %.1f ms\n",
                    DrawCount, times.empty() ? 0 : times.front(), Median(times));
    }

    // The analysis dialog over the long history: the window shows at once and
    // reads the draws in the background.
    {
        BenchDialogs dialogs;
        Form1 w(folder, dialogs);
        w.show();
        Settle();
        DlgAnalysis *dialog = nullptr;
        double shown = 0;
        double ready = 0;
        QTimer::singleShot(0, &w, [&] {
            dialog = qobject_cast<DlgAnalysis *>(QApplication::activeModalWidget());
            shown = total.wall() * 1000;
            bool done = false;
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, [&] { done = !dialog->isWorking(); });
            poll.start(5);
            WaitFor(done, 60000);
            ready = total.wall() * 1000;
            dialog->reject();
        });
        total.start();
        w.CmdAnalysis->click();
        std::printf("Analysis dialog with %d stored draws: window shown after %.1f ms,"
                    " draws read and counted after %.1f ms\n",
                    DrawCount, shown, ready);
    }

    // Start-up: the history is opened only when needed, so a history file
    // beside the settings costs start-up nothing.
    {
        QTemporaryDir empty;
        const QString emptyFolder = AddPathSeparator(empty.path());
        StartUp(emptyFolder, 1);
        const std::vector<double> without = StartUp(emptyFolder, 15);
        const std::vector<double> with = StartUp(folder, 15);
        std::printf("Main window, construction to first paint (median of 15):\n"
                    "  without a history %.2f ms, with %d stored draws %.2f ms\n",
                    Median(without), DrawCount, Median(with));
    }
    return 0;
}
