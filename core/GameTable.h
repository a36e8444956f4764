#pragma once

#include "storage/DrawRecord.h"

#include <QString>

#include <array>

// Game index: 0 = LOTO6, 1 = Mini LOTO; always the selected index of CmbSwitch.
constexpr int GameLoto6 = 0;
constexpr int GameMiniLoto = 1;
constexpr int GameCount = 2;
// Number-indexed tables run 1..43 in both games.
constexpr int HighestNumber = 43;
// Arrays indexed by number directly: slot 0 unused, slots 1..43.
constexpr int BoardSlots = HighestNumber + 1;
// The most main numbers a game draws (LOTO6).
constexpr int MaxPickCount = 6;
static_assert(MaxPickCount == DrawRecord::MaxMainNumbers, "a stored draw holds every main number");
// A draw's numbers: slots 0..PickCount-1 the main numbers, BonusSlot the bonus.
constexpr int BonusSlot = 6;
constexpr int DrawSlots = BonusSlot + 1;

// The columns of both result grids. Column 0 is the fixed left column;
// columns 1..PickCount hold the numbers, so a Mini LOTO row leaves
// LastNumberColumn empty, which is what tells the two games' rows apart.
enum GridColumn : int {
    RowNumberColumn = 0,
    FirstNumberColumn = 1,
    LastNumberColumn = MaxPickCount,
    SumColumn = 7,
    DeviationColumn = 8,
    OddColumn = 9,
    GridColumnCount = 10,
};

struct GameInfo
{
    int MaxNumber = 0;
    int PickCount = 0;
    QString GameName;
    QString PatternFilePath;
};

using GameTableType = std::array<GameInfo, GameCount>;

// programFolder must already end with the path separator.
GameTableType MakeGameTable(const QString &programFolder);
