#include "core/SavedRows.h"

#include "core/GridCellStore.h"
#include "core/TicketRows.h"

#include <QString>

#include <algorithm>
#include <optional>
#include <utility>

SavedRowSets ReadSavedRows(const GridCellStore &store)
{
    const TicketRows tickets(store);
    SavedRowSets saved;
    const int rows = store.rowCount();
    saved.GridRowCount = std::max(rows - 1, 0);
    for (int r = 1; r < rows; ++r) {
        GameRowSets &game = saved.Games[size_t(tickets.game(r))];
        const std::array<int, JudgedColumns> cells = tickets.cells(r);
        if (!IsTicket(tickets.game(r), cells)) {
            ++game.NotTickets;
            continue;
        }
        std::array<NumberSet, JudgedColumns> atLeast{};
        for (const int n : cells) {
            if (n <= 0)
                continue;
            // Into the first layer that does not hold it yet.
            for (NumberSet &layer : atLeast) {
                if (!(layer & NumberBit(n))) {
                    layer |= NumberBit(n);
                    break;
                }
            }
        }
        if (atLeast[1] != 0)
            game.Repeats.push_back({game.Sets.size(), atLeast});
        game.Sets.push_back(atLeast[0]);
        game.GridRows.push_back(r);
    }
    return saved;
}

std::vector<NumberSet> CombinationRows(const GameRowSets &rows, const GameInfo &game)
{
    std::vector<NumberSet> combinations;
    combinations.reserve(rows.Sets.size());
    const NumberSet range = NumbersUpTo(game.MaxNumber);
    for (const NumberSet set : rows.Sets) {
        if ((set & ~range) == 0 && CountNumbers(set) == game.PickCount)
            combinations.push_back(set);
    }
    return combinations;
}
