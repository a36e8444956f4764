#include "core/DrawSources.h"

#include "core/GameKeys.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <algorithm>

namespace {

constexpr int MaxListed = 100;

QSet<int> NumbersOf(const QVector<DrawRecord> &draws)
{
    QSet<int> numbers;
    for (const DrawRecord &draw : draws)
        numbers.insert(draw.DrawNumber);
    return numbers;
}

QString SourceLine(const SourceFetch &fetch, const GameUpdate &game)
{
    if (!fetch.Taken)
        return QStringLiteral("  %1: 取得できませんでした（%2）")
            .arg(fetch.Source.Address, fetch.Failure);
    const QSet<int> fresh = NumbersOf(game.Import.New);
    const QSet<int> stored(game.Import.AlreadyStored.cbegin(), game.Import.AlreadyStored.cend());
    QSet<int> againstSources;
    for (const SourceConflict &conflict : game.SourceConflicts)
        againstSources.insert(conflict.First.DrawNumber);
    QSet<int> againstStored;
    for (const DrawConflict &conflict : game.Import.Conflicts)
        againstStored.insert(conflict.Incoming.DrawNumber);
    int counts[4] = {};
    for (const DrawRecord &draw : fetch.File.Draws) {
        if (againstSources.contains(draw.DrawNumber))
            ++counts[3];
        else if (againstStored.contains(draw.DrawNumber))
            ++counts[2];
        else if (stored.contains(draw.DrawNumber))
            ++counts[1];
        else if (fresh.contains(draw.DrawNumber))
            ++counts[0];
    }
    return QStringLiteral("  %1: 新規 %2件、登録済み %3件、登録済みと食い違い %4件、"
                          "取得先どうしで食い違い %5件、不正な行 %6件")
        .arg(fetch.Source.Address)
        .arg(counts[0])
        .arg(counts[1])
        .arg(counts[2])
        .arg(counts[3])
        .arg(fetch.File.Rejected.size());
}

QStringList ConflictLines(const GameUpdate &game)
{
    QStringList lines;
    if (!game.SourceConflicts.isEmpty())
        lines << QStringLiteral("  ■取得先どうしの食い違い（どちらも登録していません）");
    for (int i = 0; i < game.SourceConflicts.size() && i < MaxListed; ++i) {
        const SourceConflict &conflict = game.SourceConflicts.at(i);
        lines << QStringLiteral("    %1  [%2]").arg(DrawLine(conflict.First), conflict.First.Source)
              << QStringLiteral("    %1  [%2]")
                     .arg(DrawLine(conflict.Second), conflict.Second.Source);
    }
    if (!game.Import.Conflicts.isEmpty())
        lines << (game.Import.ConflictsReplaced
                      ? QStringLiteral("  ■登録済みとの食い違い（取得した内容で置き換えました）")
                      : QStringLiteral("  ■登録済みとの食い違い（登録済みのまま残しました）"));
    for (int i = 0; i < game.Import.Conflicts.size() && i < MaxListed; ++i) {
        const DrawConflict &conflict = game.Import.Conflicts.at(i);
        lines << QStringLiteral("    登録済み: ") + DrawLine(conflict.Stored)
              << QStringLiteral("    取得内容: ") + DrawLine(conflict.Incoming);
    }
    return lines;
}

} // namespace

QVector<DrawSourceUrl> ConfiguredDrawSources(const QString &settingsFilePath)
{
    const SettingsSnapshot settings(settingsFilePath);
    QVector<DrawSourceUrl> sources;
    for (const GameKey &row : GameKeys) {
        for (const TextSetting &setting : row.DrawSources) {
            const QString address = settings.value(setting).trimmed();
            if (!address.isEmpty())
                sources.append({row.Game, address});
        }
    }
    return sources;
}

SourceFetch FailedSource(const DrawSourceUrl &source, const QString &why)
{
    SourceFetch fetch;
    fetch.Source = source;
    fetch.Failure = why;
    return fetch;
}

SourceFetch ReadSourceBody(const DrawSourceUrl &source, const QByteArray &body)
{
    if (body.isEmpty())
        return FailedSource(source, QStringLiteral("中身が空です"));
    DrawFile file = ReadDrawFile(body, source.Address);
    if (file.Game < 0)
        return FailedSource(source, QStringLiteral("当選番号のCSVファイルではありません"));
    if (file.Game != source.Game)
        return FailedSource(source, QStringLiteral("別のくじの当選番号です"));
    SourceFetch fetch;
    fetch.Source = source;
    fetch.Taken = true;
    fetch.File = std::move(file);
    return fetch;
}

DrawFile AgreedDraws(int game, const QVector<SourceFetch> &sources,
                     QVector<SourceConflict> *conflicts)
{
    DrawFile agreed;
    agreed.Game = game;
    QHash<int, qsizetype> index; // draw number -> position in agreed.Draws
    QSet<int> disputed;
    for (const SourceFetch &fetch : sources) {
        if (!fetch.Taken)
            continue;
        agreed.Rejected += fetch.File.Rejected;
        for (const DrawRecord &draw : fetch.File.Draws) {
            const auto found = index.constFind(draw.DrawNumber);
            if (found == index.constEnd()) {
                index.insert(draw.DrawNumber, agreed.Draws.size());
                agreed.Draws.append(draw);
            } else if (!agreed.Draws.at(*found).sameNumbers(draw)) {
                conflicts->append({agreed.Draws.at(*found), draw});
                disputed.insert(draw.DrawNumber);
            }
        }
    }
    agreed.Draws.erase(
        std::remove_if(agreed.Draws.begin(), agreed.Draws.end(),
                       [&](const DrawRecord &draw) { return disputed.contains(draw.DrawNumber); }),
        agreed.Draws.end());
    agreed.Rows = int(agreed.Draws.size());
    return agreed;
}

GameUpdate PlanGameUpdate(int game, const QVector<SourceFetch> &sources,
                          const QVector<DrawRecord> &stored)
{
    GameUpdate update;
    update.Game = game;
    update.Sources = sources;
    const DrawFile agreed = AgreedDraws(game, sources, &update.SourceConflicts);
    update.Import = PlanImport(agreed, stored, QStringLiteral("取得先"));
    return update;
}

DrawUpdate PlanDrawUpdate(const QVector<SourceFetch> &fetched,
                          const std::function<QVector<DrawRecord>(int game)> &storedDraws)
{
    DrawUpdate update;
    for (int game = 0; game < GameCount; ++game) {
        QVector<SourceFetch> own;
        for (const SourceFetch &fetch : fetched) {
            if (fetch.Source.Game == game)
                own.append(fetch);
        }
        if (!own.isEmpty())
            update.Games.append(PlanGameUpdate(game, own, storedDraws(game)));
    }
    return update;
}

bool DrawUpdate::anyFailed() const
{
    return std::any_of(Games.cbegin(), Games.cend(), [](const GameUpdate &game) {
        return std::any_of(game.Sources.cbegin(), game.Sources.cend(),
                           [](const SourceFetch &fetch) { return !fetch.Taken; });
    });
}

bool DrawUpdate::anyStoredConflicts() const
{
    return std::any_of(Games.cbegin(), Games.cend(),
                       [](const GameUpdate &game) { return !game.Import.Conflicts.isEmpty(); });
}

QVector<DrawRecord> DrawsToStore(const DrawUpdate &update)
{
    QVector<DrawRecord> draws;
    for (const GameUpdate &game : update.Games)
        draws += DrawsToStore(game.Import);
    return draws;
}

QString DrawUpdateReport(const DrawUpdate &update, const GameTableType &games)
{
    if (update.Games.isEmpty())
        return QStringLiteral("当選番号の取得先が設定されていません。");
    QStringList lines;
    for (const GameUpdate &game : update.Games) {
        lines << QStringLiteral("■%1　新規 %2件を登録しました。")
                     .arg(games[size_t(game.Game)].GameName)
                     .arg(game.Import.New.size());
        for (const SourceFetch &fetch : game.Sources)
            lines << SourceLine(fetch, game);
        lines << ConflictLines(game);
    }
    return lines.join(QLatin1Char('\n'));
}
