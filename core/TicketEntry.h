#pragma once

#include "core/GameTable.h"

#include <QString>
#include <QStringList>

#include <functional>

class GridCellStore;

// A ticket the player typed, as the generator writes its rows: the row
// number, the numbers ascending, their sum, deviation and odd count (columns
// RowNumberColumn..OddColumn). When the text is no ticket of the game, Cells
// is empty and Error says why in Japanese.
struct TicketEntry
{
    QStringList Cells;
    QString Error;
};

// numbers: whole numbers apart by blanks, commas or 「、」. A ticket bought
// for several draws says so beside its row number; the save file keeps it as
// the row's own text, so every version reads the file as before.
TicketEntry EnterTicket(int game, QStringView numbers, int rowNumber, int draws = 1);

// The save area as CSV lines: a header, then per row its number, game, the
// numbers, sum, deviation, odd count and the tier tierOf gives (0: none,
// written empty). Texts a spreadsheet would take for a formula are written
// as text.
QStringList SaveAreaCsvLines(const GridCellStore &cells, const GameTableType &games,
                             const std::function<int(int row)> &tierOf);
