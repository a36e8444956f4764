#include "ui/Form1.h"

#include "core/DrawSources.h"
#include "storage/DrawHistory.h"
#include "storage/Settings.h"
#include "ui/DrawUpdateRunner.h"

#include <QPlainTextEdit>
#include <QStringList>

#include <algorithm>

namespace {

QString CheckSummary(const DrawUpdate &update, const GameTableType &games, bool stored)
{
    QStringList counts;
    for (const GameUpdate &game : update.Games)
        counts << QStringLiteral("%1 新規 %2件")
                      .arg(games[size_t(game.Game)].GameName)
                      .arg(stored ? game.Import.New.size() : 0);
    QString text = QStringLiteral("最新の当選番号を確認しました: ")
                   + counts.join(QStringLiteral("、"));
    if (!stored)
        text += QStringLiteral("（当選番号履歴に書き込めませんでした）");
    if (update.anyFailed())
        text += QStringLiteral("（取得できなかった取得先があります）");
    if (update.anyStoredConflicts()
        || std::any_of(update.Games.cbegin(), update.Games.cend(),
                       [](const GameUpdate &game) { return !game.SourceConflicts.isEmpty(); }))
        text += QStringLiteral("（食い違う回があります。当選番号履歴で取得すると確かめられます）");
    return text;
}

} // namespace

void Form1::CheckDrawsInBackground()
{
    if (ReadSetting(SettingsFilePath, Setting::CheckDrawsAtStart) != 1)
        return;
    const QVector<DrawSourceUrl> sources = ConfiguredDrawSources(SettingsFilePath);
    if (sources.isEmpty())
        return;
    m_drawCheck = new DrawUpdateRunner(this);
    connect(m_drawCheck, &DrawUpdateRunner::finished, this,
            [this](const QVector<SourceFetch> &fetched, bool cancelled) {
                if (cancelled)
                    return;
                DrawHistory &history = History();
                const DrawUpdate update = PlanDrawUpdate(
                    fetched, [&history](int game) { return history.draws(game); });
                // Only new draws: a conflict waits for the user's answer in the history dialog.
                const QVector<DrawRecord> draws = DrawsToStore(update);
                const bool stored = draws.isEmpty() || history.store(draws);
                TxtMessage->appendPlainText(CheckSummary(update, GameTable, stored));
            });
    m_drawCheck->start(sources, ReadSetting(SettingsFilePath, Setting::NetTimeout));
}
