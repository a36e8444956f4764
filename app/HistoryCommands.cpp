#include "app/CommandSupport.h"
#include "app/Commands.h"
#include "core/DrawImport.h"
#include "core/GameKeys.h"
#include "storage/DrawHistory.h"
#include "storage/FileIo.h"

#include <QFileInfo>

#include <cstdio>

int RunImport(const CommandCall &call)
{
    const QString path = call.arguments.constFirst();
    const QString fileName = QFileInfo(path).fileName();
    QString error;
    std::optional<int> wanted;
    if (call.options.contains(QStringLiteral("game")) && !(wanted = GameOption(call, &error)))
        return Failure(error);
    QByteArray bytes;
    if (!ReadWholeFile(path, bytes, &error))
        return Failure(QStringLiteral("「%1」を読めません（%2）。").arg(path, error));
    const DrawFile file = ReadDrawFile(bytes, fileName);
    const GameTableType games = CommandGames(call);
    if (file.Game < 0)
        return Failure(QStringLiteral("「%1」は当選番号のファイルとして読めません。").arg(path));
    if (wanted && *wanted != file.Game)
        return Failure(QStringLiteral("「%1」は%2の当選番号のファイルです。")
                           .arg(path, games[size_t(file.Game)].GameName));

    DrawHistory history(HistoryPath(call));
    if (!OpenHistory(history, true, &error))
        return Failure(error);
    // Stored draws are never replaced from here: a conflict is reported and
    // the stored draw kept.
    const DrawImport import = PlanImport(file, history.draws(file.Game), fileName);
    const QVector<DrawRecord> draws = DrawsToStore(import);
    if (!draws.isEmpty() && !history.store(draws))
        return Failure(history.errorText());
    WriteOut(ImportReport(import) + QLatin1Char('\n'));
    return 0;
}

int RunExport(const CommandCall &call)
{
    QString error;
    const std::optional<int> game = GameOption(call, &error);
    if (!game)
        return Failure(error);
    DrawHistory history(HistoryPath(call));
    if (!OpenHistory(history, false, &error))
        return Failure(error);
    const QByteArray bytes = WriteDrawFile(history.draws(*game), *game);
    const QString path = call.arguments.constFirst();
    // "-" writes to standard output, for a pipe.
    if (path == QStringLiteral("-")) {
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
        return std::fflush(stdout) == 0 ? 0 : Failure(QStringLiteral("書き出せません。"));
    }
    if (!WriteFileAtomically(path, bytes, &error))
        return Failure(QStringLiteral("「%1」に書き出せません（%2）。").arg(path, error));
    return 0;
}
