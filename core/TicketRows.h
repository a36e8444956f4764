#pragma once

#include "core/GridCellStore.h"
#include "core/Judgement.h"

#include <QString>

#include <array>
#include <vector>

// What one judged cell holds, for telling tickets: a whole number from 1 up,
// EmptyCell, or OtherText for anything else (" 7", "07", "abc", "0").
constexpr int EmptyCell = 0;
constexpr int OtherText = -1;

// A row is a ticket of its game only when its judged cells hold exactly the
// game's count of distinct whole numbers, each from 1 to the game's highest,
// in any order, and its other judged cells are empty. Only tickets are judged,
// back-tested and counted; other rows stay in the save area as they are.
bool IsTicket(int game, const std::array<int, JudgedColumns> &cells);

// Reads the judged cells of a store's rows as numbers without building a
// string per cell.
class TicketRows
{
public:
    explicit TicketRows(const GridCellStore &store);

    // The number cell (row, col) holds, EmptyCell or OtherText.
    int numberAt(int row, int col) const
    {
        const quint32 key = m_store.cellKey(row, col);
        if (key == m_emptyKey)
            return EmptyCell;
        return key < m_numberOfKey.size() ? m_numberOfKey[key] : OtherText;
    }
    std::array<int, JudgedColumns> cells(int row) const;
    int game(int row) const;
    bool isTicket(int row) const { return IsTicket(game(row), cells(row)); }
    // Rows 1.. that are not tickets of their game.
    qint64 countNotTickets() const;

private:
    const GridCellStore &m_store;
    // Index: a cell key; value: the number whose text has that key.
    std::vector<int> m_numberOfKey;
    quint32 m_emptyKey = 0;
    int m_numberColumns = 0;
};

// The judgement's line for a row that is not a ticket, in place of a prize line.
QString NotTicketLine(int game, int row);
// Said by every count that leaves such rows out: how many, and why.
QString NotTicketsLeftOutLine(int game, qint64 count);
// Said once after loading a save file that holds such rows.
QString NotTicketsLoadedText(qint64 count);
