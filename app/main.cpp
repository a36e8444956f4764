#include "app/CommandLine.h"
#include "app/TerminationSignals.h"
#include "core/GameTable.h"
#include "storage/DataFolder.h"
#include "ui/Form1.h"
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

#include <cstdio>

namespace {

DataFolderPlaces ProgramPlaces(const QString &dataDir)
{
    DataFolderPlaces places;
    places.programFolder = QCoreApplication::applicationDirPath();
    places.installedBinFolder = QStringLiteral(ZANBO_INSTALL_BINDIR);
    places.installedSamplesFromBin = QStringLiteral(ZANBO_SAMPLES_FROM_BINDIR);
    places.commandLineFolder = dataDir;
    places.perUserFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return places;
}

DataFolderChoice ProgramDataFolder(const QString &dataDir)
{
    return ChooseDataFolder(ProgramPlaces(dataDir));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication::setApplicationName(QStringLiteral("Zanbo"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(ZANBO_VERSION_MAJOR)
                                            .arg(ZANBO_VERSION_MINOR)
                                            .arg(ZANBO_VERSION_PATCH));
    // The whole command line is read, and every command run, before the
    // window system is reached: none of it needs a display.
    CommandLineRequest request;
    {
        QCoreApplication early(argc, argv);
        request = ReadCommandLine(QCoreApplication::arguments());
        if (request.action == CommandLineRequest::Action::Command) {
            CommandCall call = request.call;
            call.dataFolder = ProgramDataFolder(request.dataDir).folder;
            return request.command->Run(call);
        }
        if (request.action != CommandLineRequest::Action::Run)
            return AnswerCommandLine(request);
    }

    QApplication app(argc, argv);
    LoadQtJapanese(app);
    QGuiApplication::setDesktopFileName(QStringLiteral("example.quindle.zanbo"));
    CloseWindowsOnTerminationSignals();

    const DataFolderPlaces places = ProgramPlaces(request.dataDir);
    const DataFolderChoice data = ChooseDataFolder(places);
    if (!QDir().mkpath(data.folder)) {
        const QString message = QStringLiteral("zanbo: フォルダ %1 を作れません。\n")
                                    .arg(QDir::toNativeSeparators(data.folder));
        std::fputs(message.toLocal8Bit().constData(), stderr);
        // A folder the user named must be usable; without the per-user one
        // the program still runs, with nothing kept.
        if (data.kind == DataFolderKind::CommandLine)
            return 1;
    }
    // A first start gets the installed samples, so the board's patterns work at once.
    if (data.kind == DataFolderKind::PerUser) {
        QStringList patternFiles;
        for (const GameInfo &game : MakeGameTable(QString()))
            patternFiles << game.PatternFilePath;
        PlaceSampleFiles(InstalledSampleFolder(places), data.folder, patternFiles,
                         QStringLiteral("zanbo.ini"));
    }

    DesktopDialogs dialogs;
    Form1 window(data.folder, dialogs);
    window.show();
    return app.exec();
}
