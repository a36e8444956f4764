#include "app/CommandSupport.h"

#include "core/GameKeys.h"
#include "core/GridSaveFile.h"
#include "storage/DrawHistory.h"
#include "storage/FileIo.h"

#include <QDir>
#include <QFile>

GameTableType CommandGames(const CommandCall &call)
{
    return MakeGameTable(call.dataFolder);
}

QString SettingsPath(const CommandCall &call)
{
    return call.dataFolder + QStringLiteral("zanbo.ini");
}

QString HistoryPath(const CommandCall &call)
{
    return call.dataFolder + DrawHistory::FileName();
}

bool OpenHistory(DrawHistory &history, bool create, QString *error)
{
    if (!history.fileExists() && !create)
        return true;
    if (create && !QDir().mkpath(QFileInfo(history.filePath()).path())) {
        *error = QStringLiteral("フォルダ %1 を作れません。")
                     .arg(QDir::toNativeSeparators(QFileInfo(history.filePath()).path()));
        return false;
    }
    if (history.open(create))
        return true;
    *error = history.errorText().replace(QLatin1Char('\n'), QLatin1Char(' '));
    return false;
}

std::optional<int> GameOption(const CommandCall &call, QString *error)
{
    const QString key = call.options.value(QStringLiteral("game"));
    const std::optional<int> game = GameOfKey(key);
    if (!game)
        *error = QStringLiteral("不明なくじです: %1（%2 のどれか）")
                     .arg(key, AllGameKeys().join(QStringLiteral("、")));
    return game;
}

bool LoadSaveFile(const QString &path, GridCellStore &cells, QString *error)
{
    QFile file(path);
    if (!OpenRegularFile(file, error)) {
        *error = QStringLiteral("「%1」を開けません（%2）。").arg(path, *error);
        return false;
    }
    SaveFileReader reader(file);
    const SaveFileHead head = reader.readHead();
    if (!head.signatureOk || !head.countsValid) {
        *error = QStringLiteral("「%1」は保存ファイルではありません。").arg(path);
        return false;
    }
    const SaveFileRowsRead read = ReadSaveFileRows(reader, head, file.size(), cells);
    if (read.readFailed) {
        *error = QStringLiteral("「%1」を読めません（%2）。").arg(path, read.error);
        return false;
    }
    // Part of a file judged is a wrong answer, not a smaller one.
    if (read.limitReached) {
        *error = QStringLiteral("「%1」は大きすぎて全部は読めません（%2 行まで）。")
                     .arg(path)
                     .arg(read.rows);
        return false;
    }
    return true;
}
