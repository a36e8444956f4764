#pragma once

#include "core/WinningNumbers.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <vector>

// How one save-grid cell compares with a draw.
enum class CellMatch { None, Main, Bonus };

// A draw's numbers written once in plain decimal, for judging many rows
// without formatting the draw again for every cell.
struct PreparedDraw
{
    // 0..PickCount-1 the main numbers, from BonusSlot the BonusCount bonus
    // numbers; the others are unused.
    std::array<QString, DrawSlots> Texts;
    int PickCount = 0;
    int BonusCount = 1;
};

PreparedDraw PrepareDraw(const WinningNumbers &draw, int pickCount, int bonusCount = 1);

// Compares the text of a cell with the draw's numbers written in plain
// decimal, exactly (" 7" and "07" never match 7). mainHits is set to how many
// of the first pickCount main numbers the text equals (a number repeated in
// the draw counts once per repetition). Bonus only when no main number
// matched and the text equals a bonus number.
CellMatch MatchCell(const QString &cellText, const PreparedDraw &draw, int &mainHits);
// The same rule where the comparisons are already made: equal[k] tells
// whether the cell equals draw text k (the main numbers, then from BonusSlot
// the bonus numbers; slots the game does not use are false).
CellMatch MatchEqualities(const std::array<bool, DrawSlots> &equal, int pickCount, int &mainHits);
CellMatch MatchCell(const QString &cellText, const WinningNumbers &draw, int pickCount,
                    int &mainHits, int bonusCount = 1);

// The most columns a judgement compares with the draw: the number columns of
// the widest grid.
constexpr int JudgedColumns = MaxPickCount;

class GridCellStore;

// The game of a saved row of a grid: an empty sixth number cell makes it
// Mini LOTO, a filled seventh LOTO7, anything else LOTO6.
int RowGame(const GridCellStore &cells, int row);

// A draw as keys of the store that holds the rows' cells: a cell equals draw
// number k exactly when its key equals Keys[k]; no key means no cell holds
// that text. Comparing keys spares building a string per cell.
struct DrawKeys
{
    std::array<std::optional<quint32>, DrawSlots> Keys;
    int PickCount = 0;
    int BonusCount = 1;
};

using CellKeyOf = std::function<std::optional<quint32>(QStringView text)>;
DrawKeys KeysOf(const PreparedDraw &draw, const CellKeyOf &keyOf);

// One saved row judged against its game's draw.
struct RowJudgement
{
    int Hits = 0;      // cells equal to a main number
    int BonusFlag = 0; // 1 when a cell equals a bonus number and no main number
    // Per judged column: Main (red), Bonus (yellow) or None (no mark).
    std::array<CellMatch, JudgedColumns> Marks{};
};

RowJudgement JudgeRow(const std::array<quint32, JudgedColumns> &cellKeys, const DrawKeys &draw);

// The comparisons of a draw's keys made once for a whole grid: indexed by
// cell key, the main numbers that key equals (low bits) and whether it equals
// a bonus number (BonusBit). Only for a draw whose keys are all small, as
// the keys of plain numbers are; Usable is false otherwise.
struct DrawKeyTable
{
    static constexpr quint8 BonusBit = 0x80;
    std::vector<quint8> Entries;
    bool Usable = false;
};

DrawKeyTable MakeDrawKeyTable(const DrawKeys &draw);
// The same judgement as JudgeRow with the draw's keys, through the table.
RowJudgement JudgeRow(const std::array<quint32, JudgedColumns> &cellKeys,
                      const DrawKeyTable &table);
RowJudgement JudgeRow(const std::array<QString, JudgedColumns> &cellTexts,
                      const PreparedDraw &draw);

// The prize line for a game, hit count and bonus flag; empty when the row
// earned nothing.
QString PrizeLine(int game, int hits, int bonusFlag);
// Whether PrizeLine gives a line, without building it.
bool HasPrizeLine(int game, int hits, int bonusFlag);

// Closing line of a judgement.
QString JudgementClosingLine();

// Written before the closing line when neither game's draw can be read; the
// lines fit the judgement box.
QString NoDrawToJudgeLine();
QStringList NoDrawToJudgeLines();
