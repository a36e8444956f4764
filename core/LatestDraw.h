#pragma once

#include "core/WinningNumbers.h"
#include "rules/DrawRecord.h"

#include <optional>

// A stored draw in the form the judgement reads; its date as yyyy/MM/dd.
WinningNumbers ToWinningNumbers(const DrawRecord &draw);

// The draw a game is judged against: the newer by draw number of the pattern
// file's draw and the history's newest; with the same number, the pattern
// file's. A sample file's made-up draw is no draw. fromHistory tells which
// was taken.
std::optional<WinningNumbers> NewerDraw(const std::optional<WinningNumbers> &patternDraw,
                                        const std::optional<DrawRecord> &storedDraw,
                                        bool *fromHistory = nullptr);

// "250回　(抽選日 2005/10/06)", with "（履歴）" after a draw from the history.
QString DrawLabel(const WinningNumbers &draw, bool fromHistory);
