#pragma once

#include "rules/DrawRecord.h"
#include "rules/GameRules.h"

#include <QString>

#include <array>

// Game index: 0 = LOTO6, 1 = Mini LOTO, 2 = LOTO7; always the selected index of CmbSwitch.
// The index is the row of GameRules; HighestNumber and MaxPickCount come from there.
constexpr int GameLoto6 = 0;
constexpr int GameMiniLoto = 1;
constexpr int GameLoto7 = 2;
constexpr int GameCount = GameRuleCount;
static_assert(GameRules[GameLoto6].Key == "loto6" && GameRules[GameMiniLoto].Key == "miniloto"
                  && GameRules[GameLoto7].Key == "loto7",
              "the game indices are the rows of the game table");
// Arrays indexed by number directly: slot 0 unused, slots 1..HighestNumber.
constexpr int BoardSlots = HighestNumber + 1;
static_assert(MaxPickCount == DrawRecord::MaxMainNumbers, "a stored draw holds every main number");
// A draw's numbers: slots 0..PickCount-1 the main numbers, from BonusSlot the bonus numbers.
constexpr int BonusSlot = MaxPickCount;
constexpr int DrawSlots = BonusSlot + MaxBonusCount;

// The columns of both result grids: column 0 the fixed left column, then one
// column per number, then the sum, the deviation and the odd count. A grid
// has six number columns until it holds a LOTO7 row; then a seventh comes in
// before the sum, and it goes again with the last LOTO7 row, so a grid
// without one looks and saves as it always did. The constants are those of
// the six-column grid; GridLayoutOf gives any grid's.
enum GridColumn : int {
    RowNumberColumn = 0,
    FirstNumberColumn = 1,
    LastNumberColumn = 6,
    SumColumn = 7,
    DeviationColumn = 8,
    OddColumn = 9,
    GridColumnCount = 10,
    // The seventh number column, in a grid holding a LOTO7 row.
    SeventhNumberColumn = 7,
    WideGridColumnCount = 11,
};
static_assert(WideGridColumnCount - GridColumnCount == MaxPickCount - LastNumberColumn,
              "the wide grid has a column for every number of the largest game");

struct GridLayout
{
    int NumberColumns = LastNumberColumn;

    constexpr int lastNumberColumn() const { return FirstNumberColumn + NumberColumns - 1; }
    constexpr int sumColumn() const { return FirstNumberColumn + NumberColumns; }
    constexpr int deviationColumn() const { return sumColumn() + 1; }
    constexpr int oddColumn() const { return sumColumn() + 2; }
    constexpr int columnCount() const { return sumColumn() + 3; }
};

// The layout of a grid with the given column count.
constexpr GridLayout GridLayoutOf(int columns)
{
    return {columns >= WideGridColumnCount ? MaxPickCount : int(LastNumberColumn)};
}

// The layout a grid needs to show rows of pickCount numbers.
constexpr GridLayout GridLayoutFor(int pickCount)
{
    return {pickCount > LastNumberColumn ? MaxPickCount : int(LastNumberColumn)};
}

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
