#include "core/PatternFileCheck.h"

#include "core/PatternTables.h"
#include "core/WinningNumbers.h"
#include "storage/IniDocument.h"

PatternFileVerdict CheckPatternFileBytes(const QByteArray &bytes, int pickCount, int bonusCount)
{
    if (!HasTitleMark(bytes))
        return PatternFileVerdict::NoTitleMark;
    const IniDocument document(bytes);
    const PatternFileSummary summary = SummarizePatternFile(
        [&document](const QString &section, const QString &key) {
            return document.value(section, key);
        });
    if (!summary.CountsReadable || summary.MissingEntries > 0)
        return PatternFileVerdict::Incomplete;
    if (!ReadWinningNumbers(document, pickCount, bonusCount))
        return PatternFileVerdict::NoDraw;
    return PatternFileVerdict::Whole;
}

QString RefusalReason(PatternFileVerdict verdict, const QByteArray &bytes)
{
    switch (verdict) {
    case PatternFileVerdict::Whole:
        break;
    case PatternFileVerdict::NoTitleMark:
        return bytes.isEmpty() ? QStringLiteral("受信した内容が空です")
                               : QStringLiteral("受信した内容がパターンファイルではありません");
    case PatternFileVerdict::Incomplete:
        return QStringLiteral("パターンファイルが途中で切れているか、項目が欠けています");
    case PatternFileVerdict::NoDraw:
        return QStringLiteral("パターンファイルにこのくじの当選番号がありません");
    }
    return QString();
}

PatternStoreResult StoreWholePatternFile(const GameInfo &game, const QByteArray &body,
                                         QString *error, PatternFileVerdict *verdict)
{
    const PatternFileVerdict checked = CheckPatternFileBytes(body, game.PickCount, game.BonusCount);
    if (verdict)
        *verdict = checked;
    if (checked != PatternFileVerdict::Whole)
        return PatternStoreResult::NotAPatternFile;
    return StorePatternFile(game.PatternFilePath, body, error);
}
