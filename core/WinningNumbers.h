#pragma once

#include "core/GameTable.h"
#include "storage/IniDocument.h"

#include <QString>

#include <array>
#include <optional>

struct WinningNumbers
{
    QString DrawDate;
    qint32 DrawNumber = 0;
    // 0..PickCount-1 the main numbers, from BonusSlot the bonus numbers; the rest stay 0.
    std::array<qint32, DrawSlots> Numbers{};
    // "SAMPLE=1" in the section: a made-up draw of a sample file, never judged.
    bool Sample = false;
};

// Reads the latest draw from section "TOSENNUM" of a pattern file.
// Empty when the file, the section, "NUMID", "N1".."N<pickCount>" or "N0"
// is missing or not a whole number; a missing "DATE" reads as "ERR". A game
// with two bonus numbers has the second under "N00".
std::optional<WinningNumbers> ReadWinningNumbers(const QString &patternFilePath, int pickCount,
                                                 int bonusCount = 1);
// The same from a pattern file already in memory.
std::optional<WinningNumbers> ReadWinningNumbers(const IniDocument &patternFile, int pickCount,
                                                 int bonusCount = 1);
std::optional<WinningNumbers> ReadWinningNumbers(const GameTableType &games, int game);
