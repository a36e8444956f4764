#pragma once

#include "core/GameTable.h"
#include "core/Judgement.h"
#include "core/NumberSets.h"

#include <array>
#include <vector>

class GridCellStore;

// The save area's rows of one game, each turned once into a set of the
// numbers its judged cells hold. A cell counts only as the judgement counts
// it: plain decimal text of a number a draw can hold; " 7", "07" or "44"
// never equal a drawn number and are left out.
struct GameRowSets
{
    std::vector<NumberSet> Sets;
    // The row's number in the save grid, for each entry of Sets.
    std::vector<int> GridRows;

    // The judgement counts every cell that equals a drawn number, so a row
    // holding one number in several cells scores it several times. Such rows
    // keep, besides their set, the numbers held by at least 2, 3, ... cells.
    struct Repeat
    {
        size_t Index = 0;                               // into Sets
        std::array<NumberSet, JudgedColumns> AtLeast{}; // [k]: in k + 1 cells or more
    };
    std::vector<Repeat> Repeats;
    // Rows of the game left out as not tickets (see IsTicket).
    qint64 NotTickets = 0;

    size_t size() const { return Sets.size(); }
};

struct SavedRowSets
{
    std::array<GameRowSets, GameCount> Games;
    int GridRowCount = 0; // data rows of the save grid, tickets or not
};

// The tickets among rows 1.. of the save grid; a row's game is told by its
// last number cell, as the judgement tells it.
SavedRowSets ReadSavedRows(const GridCellStore &store);

// The sets of the rows that are combinations of the game: its count of
// distinct numbers, all in range. Other rows win by the judgement's rules in
// a back-test but have no place among the game's outcomes.
std::vector<NumberSet> CombinationRows(const GameRowSets &rows, const GameInfo &game);
