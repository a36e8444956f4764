#include "core/SavedRows.h"

#include "core/GridCellStore.h"

#include <QString>

#include <algorithm>
#include <optional>
#include <utility>

SavedRowSets ReadSavedRows(const GridCellStore &store)
{
    // A cell equals a number exactly when its key equals that number's key.
    // The keys of small numbers are small, so a table usually answers; a
    // search covers any other keys.
    std::vector<std::pair<quint32, int>> numberKeys;
    for (int n = 1; n <= HighestNumber; ++n) {
        if (const std::optional<quint32> key = store.keyOf(QString::number(n)))
            numberKeys.emplace_back(*key, n);
    }
    std::sort(numberKeys.begin(), numberKeys.end());
    constexpr quint32 TableSize = 64;
    std::array<int, TableSize> table{};
    const bool tabled = numberKeys.empty() || numberKeys.back().first < TableSize;
    if (tabled) {
        for (const auto &[key, n] : numberKeys)
            table[key] = n;
    }
    const auto numberOf = [&](quint32 key) {
        if (tabled)
            return key < TableSize ? table[key] : 0;
        const auto it = std::lower_bound(numberKeys.begin(), numberKeys.end(),
                                         std::pair<quint32, int>(key, 0));
        return it != numberKeys.end() && it->first == key ? it->second : 0;
    };

    SavedRowSets saved;
    const int rows = store.rowCount();
    const int numberColumns = GridLayoutOf(store.columnCount()).NumberColumns;
    for (int r = 1; r < rows; ++r) {
        GameRowSets &game = saved.Games[size_t(RowGame(store, r))];
        std::array<NumberSet, JudgedColumns> atLeast{};
        for (int c = 0; c < numberColumns; ++c) {
            const int n = numberOf(store.cellKey(r, FirstNumberColumn + c));
            if (n == 0)
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
