#pragma once

#include "core/WinningNumbers.h"

#include <QString>

#include <array>

// How one save-grid cell compares with a draw.
enum class CellMatch { None, Main, Bonus };

// A draw's numbers written once in plain decimal, for judging many rows
// without formatting the draw again for every cell.
struct PreparedDraw
{
    // 0..PickCount-1 the main numbers, 6 the bonus; the others are unused.
    std::array<QString, 7> Texts;
    int PickCount = 0;
};

PreparedDraw PrepareDraw(const WinningNumbers &draw, int pickCount);

// Compares the text of a cell with the draw's numbers written in plain
// decimal, exactly (" 7" and "07" never match 7). mainHits is set to how many
// of the first pickCount main numbers the text equals (a number repeated in
// the draw counts once per repetition). Bonus only when no main number
// matched and the text equals the bonus number.
CellMatch MatchCell(const QString &cellText, const PreparedDraw &draw, int &mainHits);
// The same rule where the comparisons are already made: equal[k] tells
// whether the cell equals draw text k (0..5 the main numbers, 6 the bonus).
CellMatch MatchEqualities(const std::array<bool, 7> &equal, int pickCount, int &mainHits);
CellMatch MatchCell(const QString &cellText, const WinningNumbers &draw, int pickCount,
                    int &mainHits);

// The prize line for a game, hit count and bonus flag; empty when the row
// earned nothing.
QString PrizeLine(int game, int hits, int bonusFlag);

// Closing line of a judgement.
QString JudgementClosingLine();
