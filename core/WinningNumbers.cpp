#include "core/WinningNumbers.h"

#include "core/PatternTables.h"

#include <iterator>

namespace {

// The keys of the bonus numbers, first to last.
const char *const BonusKeys[] = {"N0", "N00"};
static_assert(std::size(BonusKeys) == MaxBonusCount, "a key for every bonus number");

} // namespace

std::optional<WinningNumbers> ReadWinningNumbers(const QString &patternFilePath, int pickCount,
                                                 int bonusCount)
{
    if (pickCount < 1 || pickCount > MaxPickCount)
        return std::nullopt;
    // One parse of the file answers every key as ReadIniValue would, and the
    // file is still read afresh on every call.
    return ReadWinningNumbers(IniDocument::fromFile(patternFilePath), pickCount, bonusCount);
}

std::optional<WinningNumbers> ReadWinningNumbers(const IniDocument &document, int pickCount,
                                                 int bonusCount)
{
    if (pickCount < 1 || pickCount > MaxPickCount || bonusCount < 1 || bonusCount > MaxBonusCount)
        return std::nullopt;
    const QString section = QStringLiteral("TOSENNUM");

    WinningNumbers draw;
    const std::optional<qint32> drawNumber = ParseWholeNumber(
        document.value(section, QStringLiteral("NUMID")));
    if (!drawNumber)
        return std::nullopt;
    draw.DrawNumber = *drawNumber;
    draw.DrawDate = document.value(section, QStringLiteral("DATE"));

    for (int i = 1; i <= pickCount; ++i) {
        const std::optional<qint32> number = ParseWholeNumber(
            document.value(section, QStringLiteral("N") + QString::number(i)));
        if (!number)
            return std::nullopt;
        draw.Numbers[i - 1] = *number;
    }

    for (int b = 0; b < bonusCount; ++b) {
        const std::optional<qint32> bonus = ParseWholeNumber(
            document.value(section, QString::fromLatin1(BonusKeys[b])));
        if (!bonus)
            return std::nullopt;
        draw.Numbers[size_t(BonusSlot + b)] = *bonus;
    }
    draw.Sample = document.value(section, QStringLiteral("SAMPLE")).trimmed() == QLatin1String("1");
    return draw;
}

std::optional<WinningNumbers> ReadWinningNumbers(const GameTableType &games, int game)
{
    if (game < 0 || game >= GameCount)
        return std::nullopt;
    return ReadWinningNumbers(games[game].PatternFilePath, games[game].PickCount,
                              games[game].BonusCount);
}
