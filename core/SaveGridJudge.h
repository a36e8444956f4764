#pragma once

#include "core/GameTable.h"
#include "core/Judgement.h"
#include "core/TicketRows.h"
#include "core/WinningNumbers.h"

#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class GridCellStore;

// A saved row that earned a prize line, or that is no ticket of its game.
struct JudgedRow
{
    int Row = 0; // the row of the save grid (from 1)
    int Game = 0;
    int Hits = 0;
    int BonusFlag = 0;
    bool Ticket = true;
    QString line() const
    {
        return Ticket ? PrizeLine(Game, Hits, BonusFlag) : NotTicketLine(Game, Row);
    }
    // 1 the first prize; 0 for none and for a row that is no ticket.
    int tier() const { return Ticket ? PrizeTier(Game, Hits, BonusFlag != 0) : 0; }
};

// The draw each game is judged against; a game without one judges none of its rows.
using GameDraws = std::array<std::optional<WinningNumbers>, GameCount>;

// Told of every cell that equals a drawn number, row by row.
using CellMarkSink = std::function<void(int row, int column, CellMatch match)>;

// Judges rows 1.. of cells, each against the draw of its own game, and
// returns the rows that earned a prize line, in grid order. A row that is
// no ticket is not compared: it gets its own line and no marks.
std::vector<JudgedRow> JudgeSaveRows(const GridCellStore &cells, const GameDraws &draws,
                                     const GameTableType &games, const CellMarkSink &mark = {});

// The line of each judged row, in order; rows of one prize share the text.
QStringList JudgedRowLines(const std::vector<JudgedRow> &judged);

// Written before the closing line: per game judged, how many rows won each
// tier, how many are no tickets, and the numbers of the winning rows, the
// first MaxListedRows of them, then how many more.
constexpr int MaxListedRows = 100;
QStringList JudgementSummaryLines(const std::vector<JudgedRow> &judged, const GameDraws &draws);

// The rows that won a prize, in grid order.
std::vector<int> WinningRows(const std::vector<JudgedRow> &judged);

// The heading of a game's draw and its numbers right-aligned in two
// characters, "   3  9 15 22 31 40 (7)"; the heading alone without a draw.
QStringList DrawNumbersLines(const GameInfo &game, const std::optional<WinningNumbers> &draw);
