#include "core/LatestDraw.h"

WinningNumbers ToWinningNumbers(const DrawRecord &draw)
{
    WinningNumbers numbers;
    numbers.DrawNumber = draw.DrawNumber;
    numbers.DrawDate = draw.Date.toString(QStringLiteral("yyyy/MM/dd"));
    for (int i = 0; i < draw.MainCount; ++i)
        numbers.Numbers[size_t(i)] = draw.Numbers[size_t(i)];
    numbers.Numbers[BonusSlot] = draw.Bonus;
    for (size_t b = 0; b < draw.MoreBonuses.size(); ++b)
        numbers.Numbers[BonusSlot + 1 + b] = draw.MoreBonuses[b];
    return numbers;
}

std::optional<WinningNumbers> NewerDraw(const std::optional<WinningNumbers> &patternDraw,
                                        const std::optional<DrawRecord> &storedDraw,
                                        bool *fromHistory)
{
    const bool realPattern = patternDraw && !patternDraw->Sample;
    const bool useStored = storedDraw
                           && (!realPattern || storedDraw->DrawNumber > patternDraw->DrawNumber);
    if (fromHistory)
        *fromHistory = useStored;
    if (useStored)
        return ToWinningNumbers(*storedDraw);
    return realPattern ? patternDraw : std::nullopt;
}

QString DrawLabel(const WinningNumbers &draw, bool fromHistory)
{
    return QString::number(draw.DrawNumber) + QStringLiteral("回　(抽選日 ") + draw.DrawDate
           + QStringLiteral(")") + (fromHistory ? QStringLiteral("（履歴）") : QString());
}
