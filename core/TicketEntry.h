#pragma once

#include "core/GameTable.h"

#include <QString>
#include <QStringList>

// A ticket the player typed, as the generator writes its rows: the row
// number, the numbers ascending, their sum, deviation and odd count (columns
// RowNumberColumn..OddColumn). When the text is no ticket of the game, Cells
// is empty and Error says why in Japanese.
struct TicketEntry
{
    QStringList Cells;
    QString Error;
};

// numbers: whole numbers apart by blanks, commas or 「、」.
TicketEntry EnterTicket(int game, QStringView numbers, int rowNumber);
