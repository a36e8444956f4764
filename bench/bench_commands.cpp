// The command line as a script runs it: `zanbo judge` and `zanbo backtest`
// on a 1,000,000-row save file with 2,200 stored LOTO6 draws, and the
// start-up of a command. Each figure is the best of a few runs of the built
// program, output thrown away.
//   bench_commands [rows] [draws]
#include "bench/BenchSupport.h"
#include "storage/DrawHistory.h"
#include "storage/SaveFile.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include <sys/resource.h>

namespace {

QVector<DrawRecord> Draws(int count)
{
    RandomSource random(777u);
    QVector<DrawRecord> draws;
    for (int d = 1; d <= count; ++d) {
        DrawRecord draw;
        draw.Game = GameLoto6;
        draw.DrawNumber = d;
        draw.Date = QDate(2000, 10, 5).addDays(qint64(d) * 7);
        draw.MainCount = 6;
        std::array<bool, 44> taken{};
        for (int k = 0; k < 7; ++k) {
            int n = 0;
            do {
                n = 1 + int(random.next() * 43);
            } while (taken[size_t(n)]);
            taken[size_t(n)] = true;
            if (k < 6)
                draw.Numbers[size_t(k)] = n;
            else
                draw.Bonus = n;
        }
        std::sort(draw.Numbers.begin(), draw.Numbers.end());
        draw.PrizeYen = {200000000, 10000000, 300000, 6800, 1000};
        draw.Source = QStringLiteral("bench");
        draws.append(draw);
    }
    return draws;
}

double ChildrenCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3)
           + (double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3);
}

struct Timing
{
    double wallMs = -1;
    double cpuMs = -1; // processor time of the same run, every thread
};

// The best wall-clock run of the program; wallMs -1 when one fails. On a busy
// machine the processor time says more than the wall clock.
Timing Best(const QStringList &arguments, int runs)
{
    Timing best{std::numeric_limits<double>::max(), 0};
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        const double cpuBefore = ChildrenCpuMs();
        QElapsedTimer timer;
        timer.start();
        process.start(QStringLiteral(ZANBO_PROGRAM), arguments);
        if (!process.waitForFinished(120000) || process.exitCode() != 0) {
            std::fprintf(stderr, "failed: %s\n%s\n", qPrintable(arguments.join(QLatin1Char(' '))),
                         process.readAllStandardError().constData());
            return {};
        }
        const double wall = double(timer.nsecsElapsed()) / 1e6;
        if (wall < best.wallMs)
            best = {wall, ChildrenCpuMs() - cpuBefore};
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int drawCount = argc > 2 ? std::atoi(argv[2]) : 2200;
    QTemporaryDir folder;
    const QString saveFile = folder.filePath(QStringLiteral("bench.loto"));
    if (!WriteSaveFile(saveFile, rows, BenchRows::ColumnCount - 1, LotoClipText(rows, 2024u)).ok)
        return 1;
    DrawHistory history(folder.filePath(DrawHistory::FileName()));
    if (!history.store(Draws(drawCount)))
        return 1;
    history.close();

    const QString dataDir = folder.path();
    const Timing judge = Best(
        {QStringLiteral("--data-dir"), dataDir, QStringLiteral("judge"), saveFile}, 3);
    const Timing judgeCsv = Best({QStringLiteral("--data-dir"), dataDir, QStringLiteral("judge"),
                                  saveFile, QStringLiteral("--format"), QStringLiteral("csv")},
                                 3);
    const Timing backtest = Best(
        {QStringLiteral("--data-dir"), dataDir, QStringLiteral("backtest"), saveFile}, 3);
    const Timing version = Best({QStringLiteral("--version")}, 10);
    const Timing command = Best({QStringLiteral("--data-dir"), dataDir, QStringLiteral("export"),
                                 QStringLiteral("--game"), QStringLiteral("miniloto"),
                                 QStringLiteral("-")},
                                10);
    std::printf("rows %d, stored draws %d\n", rows, drawCount);
    const auto print = [](const char *what, const Timing &timing, const char *target) {
        std::printf("%-26s %8.1f ms wall %8.1f ms cpu  %s\n", what, timing.wallMs, timing.cpuMs,
                    target);
    };
    print("zanbo judge", judge, "(target 2000 ms)");
    print("zanbo judge --format csv", judgeCsv, "");
    print("zanbo backtest", backtest, "(target 2000 ms)");
    print("zanbo --version", version, "(target 100 ms)");
    print("zanbo export, empty", command, "(target 100 ms)");
    return 0;
}
