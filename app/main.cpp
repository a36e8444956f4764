#include "app/CommandLine.h"
#include "app/TerminationSignals.h"
#include "storage/DataFolder.h"
#include "storage/FileIo.h"
#include "ui/Form1.h"
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>
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

    // Only one program keeps the data folder's files; a second one is told
    // and reads without writing.
    const std::unique_ptr<QLockFile> lock = LockDataFolder(data.folder);
    if (lock && lock->isLocked())
        RemoveLeftoverTemporaryFiles(data.folder);

    DesktopDialogs dialogs;
    Form1 window(data.folder, dialogs);
    CloseWindowsOnTerminationSignals([&window] { window.ClosingBySignal = true; });
    window.show();
    if (!lock) {
        window.DataFolderShared = true;
        dialogs.warn(&window,
                     QStringLiteral("データフォルダ「%1」は別のZanboが使っています。"
                                    "この画面では設定と当選番号履歴を書き換えません。")
                         .arg(QDir::toNativeSeparators(data.folder)),
                     QStringLiteral("Zanbo"));
    } else {
        window.OfferRecovery();
    }
    const int status = app.exec();
    if (!window.SettingsError().isEmpty()) {
        std::fputs(
            QStringLiteral("zanbo: %1\n").arg(window.SettingsError()).toLocal8Bit().constData(),
            stderr);
        return status == 0 ? 1 : status;
    }
    return status;
}
