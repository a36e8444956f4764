#pragma once

#include "core/WinningNumbers.h"

#include <QString>

// How one save-grid cell compares with a draw.
enum class CellMatch { None, Main, Bonus };

// Compares the text of a cell with the draw's numbers written in plain
// decimal, exactly (" 7" and "07" never match 7). mainHits receives how many
// of the first pickCount main numbers the text equals (a number repeated in
// the draw counts once per repetition).
CellMatch MatchCell(const QString &cellText, const WinningNumbers &draw, int pickCount,
                    int &mainHits);

// The prize line for a game, hit count and bonus flag; empty when the row
// earned nothing.
QString PrizeLine(int game, int hits, int bonusFlag);

// Closing line of a judgement.
QString JudgementClosingLine();
