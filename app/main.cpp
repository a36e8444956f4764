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

int main(int argc, char *argv[])
{
    QApplication::setApplicationName(QStringLiteral("Zanbo"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(ZANBO_VERSION_MAJOR)
                                            .arg(ZANBO_VERSION_MINOR)
                                            .arg(ZANBO_VERSION_PATCH));
    // --help and --version are answered before the window system is reached,
    // so they work without a display. Qt's own options (-platform and the
    // like) leave the arguments only once QApplication has taken them, so what
    // this first reading does not understand waits for the second.
    {
        QCoreApplication early(argc, argv);
        const CommandLineRequest request = ReadCommandLine(QCoreApplication::arguments());
        if (request.action == CommandLineRequest::Action::Answer)
            return AnswerCommandLine(request);
    }

    QApplication app(argc, argv);
    LoadQtJapanese(app);
    QGuiApplication::setDesktopFileName(QStringLiteral("example.quindle.zanbo"));
    const CommandLineRequest request = ReadCommandLine(QApplication::arguments());
    if (request.action != CommandLineRequest::Action::Run)
        return AnswerCommandLine(request);
    CloseWindowsOnTerminationSignals();

    DataFolderPlaces places;
    places.programFolder = QApplication::applicationDirPath();
    places.installedBinFolder = QStringLiteral(ZANBO_INSTALL_BINDIR);
    places.installedSamplesFromBin = QStringLiteral(ZANBO_SAMPLES_FROM_BINDIR);
    places.commandLineFolder = request.dataDir;
    places.perUserFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
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
    // Settings, pattern files and the history would silently not be kept.
    if (!CanCreateFilesIn(data.folder)) {
        const QString warning = QStringLiteral(
                                    "データフォルダ %1 に書き込めません。設定、パターンファイル、"
                                    "当選番号履歴は保存されません。書き込めるフォルダを "
                                    "--data-dir で指定してください。")
                                    .arg(QDir::toNativeSeparators(data.folder));
        std::fputs(
            (QStringLiteral("zanbo: ") + warning + QLatin1Char('\n')).toLocal8Bit().constData(),
            stderr);
        dialogs.warn(nullptr, warning, QStringLiteral("Zanbo"));
    }
    Form1 window(data.folder, dialogs);
    window.show();
    return app.exec();
}
