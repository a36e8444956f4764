#include "core/DrawImport.h"

#include "core/GameTable.h"

#include <QHash>
#include <QStringList>

#include <algorithm>

namespace {

// Long lists are cut in the report: a file of a hundred thousand draws must
// not turn into a report nobody can read.
constexpr int MaxListed = 100;

QString GameNameOf(int game)
{
    return game >= 0 && game < GameCount ? GameInfoOf(game).GameName : QString();
}

QString SourceText(const DrawRecord &draw)
{
    return draw.Source == QStringLiteral("manual") ? QStringLiteral("手入力") : draw.Source;
}

} // namespace

DrawImport PlanImport(const DrawFile &file, const QVector<DrawRecord> &stored,
                      const QString &fileName)
{
    DrawImport import;
    import.FileName = fileName;
    import.Game = file.Game;
    import.Rejected = file.Rejected;
    QHash<int, int> index;
    index.reserve(stored.size());
    for (int i = 0; i < stored.size(); ++i)
        index.insert(stored.at(i).DrawNumber, i);
    for (const DrawRecord &draw : file.Draws) {
        const auto found = index.constFind(draw.DrawNumber);
        if (found == index.constEnd())
            import.New.append(draw);
        else if (stored.at(*found).sameNumbers(draw))
            import.AlreadyStored.append(draw.DrawNumber);
        else
            import.Conflicts.append({stored.at(*found), draw});
    }
    return import;
}

DrawImport PlanCorrection(const DrawRecord &corrected, const QVector<DrawRecord> &stored)
{
    DrawImport import;
    import.FileName = QStringLiteral("修正");
    import.Game = corrected.Game;
    const auto found = std::find_if(stored.begin(), stored.end(), [&](const DrawRecord &draw) {
        return draw.Game == corrected.Game && draw.DrawNumber == corrected.DrawNumber;
    });
    if (found == stored.end()) {
        import.New.append(corrected);
    } else if (found->sameNumbers(corrected) && found->Date == corrected.Date
               && found->Winners == corrected.Winners && found->PrizeYen == corrected.PrizeYen
               && found->CarryOverYen == corrected.CarryOverYen) {
        import.AlreadyStored.append(corrected.DrawNumber);
    } else {
        import.Conflicts.append({*found, corrected});
    }
    return import;
}

QVector<DrawRecord> DrawsToStore(const DrawImport &import)
{
    QVector<DrawRecord> draws = import.New;
    if (import.ConflictsReplaced) {
        for (const DrawConflict &conflict : import.Conflicts)
            draws.append(conflict.Incoming);
    }
    return draws;
}

QString DrawLine(const DrawRecord &draw)
{
    QString numbers;
    for (int i = 0; i < draw.MainCount; ++i)
        numbers += QStringLiteral("%1 ").arg(draw.Numbers[size_t(i)], 2);
    QString bonuses = QString::number(draw.Bonus);
    const int bonusCount = draw.Game >= 0 && draw.Game < GameCount
                               ? GameRuleOf(draw.Game).BonusCount
                               : 1;
    for (int i = 1; i < bonusCount; ++i)
        bonuses += QLatin1Char(' ') + QString::number(draw.MoreBonuses[size_t(i - 1)]);
    return QStringLiteral("第%1回 %2  %3(%4)")
        .arg(draw.DrawNumber)
        .arg(draw.Date.toString(QStringLiteral("yyyy/MM/dd")), numbers, bonuses);
}

QString ReplaceQuestion(const DrawImport &import)
{
    QStringList lines{QStringLiteral("登録済みの当選番号と食い違う回が%1件あります。")
                          .arg(import.Conflicts.size())};
    for (int i = 0; i < import.Conflicts.size() && i < 10; ++i) {
        const DrawConflict &conflict = import.Conflicts.at(i);
        lines << QStringLiteral("登録済み: ") + DrawLine(conflict.Stored)
              << QStringLiteral("取込内容: ") + DrawLine(conflict.Incoming);
    }
    if (import.Conflicts.size() > 10)
        lines << QStringLiteral("ほか%1件").arg(import.Conflicts.size() - 10);
    lines << QString()
          << QStringLiteral("登録済みの当選番号を取込内容で置き換えますか？"
                            "（キャンセルで登録済みのまま残します）");
    return lines.join(QLatin1Char('\n'));
}

QString ImportReport(const DrawImport &import)
{
    QStringList lines;
    lines << QStringLiteral("「%1」を%2の当選番号として取り込みました。")
                 .arg(import.FileName, GameNameOf(import.Game));
    lines << QStringLiteral("新規 %1件、登録済み %2件、食い違い %3件、不正な行 %4件")
                 .arg(import.New.size())
                 .arg(import.AlreadyStored.size())
                 .arg(import.Conflicts.size())
                 .arg(import.Rejected.size());

    if (!import.AlreadyStored.isEmpty()) {
        lines << QString() << QStringLiteral("■登録済み（同じ当選番号）");
        QStringList numbers;
        for (int i = 0; i < import.AlreadyStored.size() && i < MaxListed; ++i)
            numbers << QStringLiteral("第%1回").arg(import.AlreadyStored.at(i));
        if (import.AlreadyStored.size() > MaxListed)
            numbers << QStringLiteral("ほか%1件").arg(import.AlreadyStored.size() - MaxListed);
        lines << QStringLiteral("  ") + numbers.join(QStringLiteral("、"));
    }
    if (!import.Conflicts.isEmpty()) {
        lines << QString()
              << (import.ConflictsReplaced
                      ? QStringLiteral("■食い違い（取込内容で置き換えました）")
                      : QStringLiteral("■食い違い（登録済みのまま残しました）"));
        for (int i = 0; i < import.Conflicts.size() && i < MaxListed; ++i) {
            const DrawConflict &conflict = import.Conflicts.at(i);
            lines << QStringLiteral("  登録済み: ") + DrawLine(conflict.Stored)
                         + QStringLiteral("  [") + SourceText(conflict.Stored) + QStringLiteral("]")
                  << QStringLiteral("  取込内容: ") + DrawLine(conflict.Incoming);
        }
        if (import.Conflicts.size() > MaxListed)
            lines << QStringLiteral("  ほか%1件").arg(import.Conflicts.size() - MaxListed);
    }
    if (!import.Rejected.isEmpty()) {
        lines << QString() << QStringLiteral("■不正な行（取り込んでいません）");
        for (int i = 0; i < import.Rejected.size() && i < MaxListed; ++i) {
            const RejectedRow &row = import.Rejected.at(i);
            lines << QStringLiteral("  %1行目: %2").arg(row.Line).arg(row.Reason)
                  << QStringLiteral("    ") + row.Text.left(120);
        }
        if (import.Rejected.size() > MaxListed)
            lines << QStringLiteral("  ほか%1件").arg(import.Rejected.size() - MaxListed);
    }
    return lines.join(QLatin1Char('\n'));
}
