#include "core/PatternFileCheck.h"

#include "core/PatternTables.h"
#include "core/WinningNumbers.h"
#include "storage/IniDocument.h"

PatternFileVerdict CheckPatternFileBytes(const QByteArray &bytes, int pickCount)
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
    if (!ReadWinningNumbers(document, pickCount))
        return PatternFileVerdict::NoDraw;
    return PatternFileVerdict::Whole;
}

PatternStoreResult StoreWholePatternFile(const GameInfo &game, const QByteArray &body,
                                         QString *error)
{
    if (CheckPatternFileBytes(body, game.PickCount) != PatternFileVerdict::Whole)
        return PatternStoreResult::NotAPatternFile;
    return StorePatternFile(game.PatternFilePath, body, error);
}
