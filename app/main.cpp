#include "app/CommandLine.h"
#include "app/TerminationSignals.h"
#include "core/GameTable.h"
#include "storage/DataFolder.h"
#include "storage/FileIo.h"
#include "ui/Form1.h"
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>
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

void PrintError(const QString &text)
{
    std::fputs((QStringLiteral("zanbo: ") + text + QLatin1Char('\n')).toLocal8Bit().constData(),
               stderr);
}

// Makes the data folder and fills a fresh per-user one with the installed
// samples; false when a folder the user named cannot be made.
bool PrepareDataFolder(const QString &dataDir, const DataFolderChoice &data)
{
    if (!QDir().mkpath(data.folder)) {
        PrintError(QStringLiteral("フォルダ %1 を作れません。")
                       .arg(QDir::toNativeSeparators(data.folder)));
        // A folder the user named must be usable; without the per-user one
        // the program still runs, with nothing kept.
        if (data.kind == DataFolderKind::CommandLine)
            return false;
    }
    // A first start gets the installed samples, so the board's patterns work at once.
    if (data.kind == DataFolderKind::PerUser) {
        QStringList patternFiles;
        for (const GameInfo &game : MakeGameTable(QString()))
            patternFiles << game.PatternFilePath;
        PlaceSampleFiles(InstalledSampleFolder(ProgramPlaces(dataDir)), data.folder, patternFiles,
                         QStringLiteral("zanbo.ini"));
    }
    return true;
}

// Settings, pattern files and the history would silently not be kept.
void WarnWhenUnwritable(const QString &folder, UserDialogs &dialogs)
{
    if (CanCreateFilesIn(folder))
        return;
    const QString warning = QStringLiteral(
                                "データフォルダ %1 に書き込めません。設定、パターンファイル、"
                                "当選番号履歴は保存されません。書き込めるフォルダを "
                                "--data-dir で指定してください。")
                                .arg(QDir::toNativeSeparators(folder));
    PrintError(warning);
    dialogs.warn(nullptr, warning, QStringLiteral("Zanbo"));
}

// Runs the window on the data folder until it closes; the exit status.
int RunWindow(QApplication &app, const QString &folder, Form1 *&mainWindow)
{
    // Only one program keeps the data folder's files; a second one is told
    // and reads without writing.
    const std::unique_ptr<QLockFile> lock = LockDataFolder(folder);
    if (lock && lock->isLocked())
        RemoveLeftoverTemporaryFiles(folder);

    DesktopDialogs dialogs;
    WarnWhenUnwritable(folder, dialogs);
    Form1 window(folder, dialogs);
    mainWindow = &window;
    window.show();
    if (!lock) {
        window.DataFolderShared = true;
        dialogs.warn(&window,
                     QStringLiteral("データフォルダ「%1」は別のZanboが使っています。"
                                    "この画面では設定と当選番号履歴を書き換えません。")
                         .arg(QDir::toNativeSeparators(folder)),
                     QStringLiteral("Zanbo"));
    } else {
        window.OfferRecovery();
    }
    const int status = app.exec();
    mainWindow = nullptr;
    if (!window.SettingsError().isEmpty()) {
        PrintError(window.SettingsError());
        return status == 0 ? 1 : status;
    }
    return status;
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
    // Taken before anything is made, so that a signal sent as soon as the data
    // folder appears waits in the event loop and closes the window as the user would.
    Form1 *mainWindow = nullptr;
    CloseWindowsOnTerminationSignals([&mainWindow] {
        if (mainWindow)
            mainWindow->ClosingBySignal = true;
    });

    const DataFolderChoice data = ProgramDataFolder(request.dataDir);
    if (!PrepareDataFolder(request.dataDir, data))
        return 1;
    return RunWindow(app, data.folder, mainWindow);
}
