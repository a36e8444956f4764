// Does one of the program's writes the way the program does it, saying on
// stdout when the write begins, so scripts/kill-test can kill it in the
// middle; and the checks the script makes afterwards.
//   crash_child save FILE ROWS SEED      the save area's rows to a save file
//   crash_child recovery FILE ROWS SEED  the same from a snapshot, on a thread
//   crash_child import DB CSV            a CSV file of draws into the history
//   crash_child settings INI VALUE       the settings written at the close
//   crash_child start FOLDER             what a start does to leftovers
//   crash_child count DB                 the stored LOTO6 draws, or -1

#include "core/DrawFile.h"
#include "core/DrawImport.h"
#include "core/GridCellStore.h"
#include "core/GridSaveFile.h"
#include "storage/DrawHistory.h"
#include "storage/FileIo.h"
#include "storage/Settings.h"

#include <QCoreApplication>
#include <QString>

#include <cstdio>
#include <memory>
#include <thread>

namespace {

void Say(const char *what)
{
    std::fputs(what, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

GridCellStore Rows(int count, int seed)
{
    GridCellStore cells(1, 10);
    cells.reserveRows(count + 1);
    QString row;
    for (int r = 1; r <= count; ++r) {
        row = QString::number(r);
        for (int c = 0; c < 6; ++c)
            row += QLatin1Char('\t') + QString::number((r * 7 + c * 13 + seed) % 43 + 1);
        row += QStringLiteral("\t120\t11\t3");
        cells.appendRowText(QStringView(row));
    }
    return cells;
}

int Save(const QString &path, int rows, int seed, bool onThread)
{
    const auto cells = std::make_shared<const GridCellStore>(Rows(rows, seed));
    Say("writing");
    bool ok = false;
    if (onThread) {
        std::thread writer([&] { ok = WriteGridSaveFile(path, *cells).ok; });
        writer.join();
    } else {
        ok = WriteGridSaveFile(path, *cells).ok;
    }
    return ok ? 0 : 4;
}

int Import(const QString &database, const QString &csv)
{
    QByteArray bytes;
    if (!ReadWholeFile(csv, bytes))
        return 2;
    const DrawFile file = ReadDrawFile(bytes, QStringLiteral("kill.csv"));
    DrawHistory history(database);
    if (!history.open(true))
        return 3;
    const DrawImport import = PlanImport(file, history.draws(file.Game), QStringLiteral("kill"));
    Say("writing");
    return history.store(DrawsToStore(import)) ? 0 : 4;
}

// The same settings written many times over: a write takes a millisecond,
// and a kill should find one under way.
int Settings(const QString &path, int value)
{
    Say("writing");
    QString error;
    for (int i = 0; i < 200; ++i) {
        if (!WriteSettings(path,
                           {Entry(Setting::L6ml, QStringLiteral("ロト６")),
                            Entry(Setting::Kai, value), Entry(Setting::NoWeb, 0),
                            Entry(Setting::PosLeft, float(value * 15)),
                            Entry(Setting::PosTop, float(value * 30))},
                           &error))
            return 4;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    if ((mode == QLatin1String("save") || mode == QLatin1String("recovery")) && args.size() == 5)
        return Save(args[2], args[3].toInt(), args[4].toInt(), mode == QLatin1String("recovery"));
    if (mode == QLatin1String("import") && args.size() == 4)
        return Import(args[2], args[3]);
    if (mode == QLatin1String("settings") && args.size() == 4)
        return Settings(args[2], args[3].toInt());
    if (mode == QLatin1String("start") && args.size() == 3) {
        std::printf("%d\n", RemoveLeftoverTemporaryFiles(args[2]));
        return 0;
    }
    if (mode == QLatin1String("count") && args.size() == 3) {
        DrawHistory history(args[2]);
        std::printf("%d\n", history.open() ? history.count(0) : -1);
        return 0;
    }
    std::fputs("usage: see crash_child.cpp\n", stderr);
    return 1;
}
