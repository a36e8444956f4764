#include "app/CommandSupport.h"
#include "app/Commands.h"
#include "net/DrawSourceFetcher.h"
#include "storage/DrawHistory.h"
#include "storage/Settings.h"

int RunUpdate(const CommandCall &call)
{
    const QVector<DrawSourceUrl> sources = ConfiguredDrawSources(SettingsPath(call));
    if (sources.isEmpty())
        return Failure(QStringLiteral("当選番号の取得先が設定されていません（%1 の [DRAWS]）。")
                           .arg(SettingsPath(call)));
    QString error;
    DrawHistory history(HistoryPath(call));
    if (!OpenHistory(history, false, &error))
        return Failure(error);
    DrawSourceFetcher fetcher(ReadSetting(SettingsPath(call), Setting::NetTimeout));
    // Conflicts with stored draws are reported, never written over from here.
    const DrawUpdate update = PlanDrawUpdate(fetcher.fetch(sources),
                                             [&history](int game) { return history.draws(game); });
    const QVector<DrawRecord> draws = DrawsToStore(update);
    if (!draws.isEmpty() && !(OpenHistory(history, true, &error) && history.store(draws)))
        return Failure(error.isEmpty() ? history.errorText() : error);
    WriteOut(DrawUpdateReport(update, CommandGames(call)) + QLatin1Char('\n'));
    if (update.anyFailed())
        return Failure(QStringLiteral("取得できなかった取得先があります。"));
    return 0;
}
