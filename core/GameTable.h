#pragma once

#include "rules/DrawRecord.h"
#include "rules/GameRules.h"

#include <QString>

#include <array>

// Game index: 0 = LOTO6, 1 = Mini LOTO; always the selected index of CmbSwitch.
// The index is the row of GameRules; HighestNumber and MaxPickCount come from there.
constexpr int GameLoto6 = 0;
constexpr int GameMiniLoto = 1;
constexpr int GameCount = GameRuleCount;
static_assert(GameRules[GameLoto6].Key == "loto6" && GameRules[GameMiniLoto].Key == "miniloto",
              "the game indices are the rows of the game table");
// Arrays indexed by number directly: slot 0 unused, slots 1..HighestNumber.
constexpr int BoardSlots = HighestNumber + 1;
static_assert(MaxPickCount == DrawRecord::MaxMainNumbers, "a stored draw holds every main number");
// A draw's numbers: slots 0..PickCount-1 the main numbers, from BonusSlot the bonus numbers.
constexpr int BonusSlot = MaxPickCount;
constexpr int DrawSlots = BonusSlot + MaxBonusCount;

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
    int BonusCount = 1;
};

using GameTableType = std::array<GameInfo, GameCount>;

// A game's numbers and name from the game table; PatternFilePath is left empty.
GameInfo GameInfoOf(int game);

// programFolder must already end with the path separator.
GameTableType MakeGameTable(const QString &programFolder);
