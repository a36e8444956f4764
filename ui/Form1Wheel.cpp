#include "ui/Form1.h"

#include "core/Statistics.h"
#include "ui/BoardSlider.h"
#include "ui/DlgWheel.h"
#include "ui/ResultGrid.h"

#include <algorithm>

namespace {

// Slider values run from 1 at the "+" end to 5; 3 is the middle.
constexpr int MiddleSetting = 3;

} // namespace

void Form1::CmdWheel_Click()
{
    DlgWheel dialog(*this, this);
    dialog.exec();
}

std::vector<int> Form1::PlusSideNumbers() const
{
    std::vector<int> numbers;
    const int g = currentGame();
    if (g < 0 || g >= GameCount)
        return numbers;
    for (int n = 1; n <= GameTable[size_t(g)].MaxNumber; ++n) {
        if (Slider1[size_t(n)]->value() < MiddleSetting)
            numbers.push_back(n);
    }
    return numbers;
}

bool Form1::AppendRowsToSaveArea(const std::vector<std::vector<int>> &rows)
{
    for (const std::vector<int> &row : rows) {
        if (row.empty() || int(row.size()) > MaxPickCount)
            return false;
    }
    if (rows.empty())
        return true;
    ResultGrid *grid = FGkekka[1];
    for (const std::vector<int> &row : rows)
        SetGridNumberColumns(1, std::max(GridLayoutOf(grid->columnCount()).NumberColumns,
                                         GridLayoutFor(int(row.size())).NumberColumns));
    const GridLayout layout = GridLayoutOf(grid->columnCount());
    const int first = grid->rowCount();
    grid->appendRows(int(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
        const int r = first + int(i);
        const int k = int(rows[i].size());
        Combination numbers{};
        for (int c = 1; c <= k; ++c)
            numbers[size_t(c)] = rows[i][size_t(c - 1)];
        grid->setText(r, RowNumberColumn, QString::number(i + 1));
        for (int c = 1; c <= k; ++c)
            grid->setText(r, FirstNumberColumn + c - 1, QString::number(numbers[size_t(c)]));
        grid->setText(r, layout.sumColumn(), QString::number(CombinationSum(numbers, k)));
        grid->setText(r, layout.deviationColumn(),
                      QString::number(CombinationDeviation(numbers, k)));
        grid->setText(r, layout.oddColumn(), QString::number(CombinationOddCount(numbers, k)));
    }
    // As after a move: the grids changed under any selection.
    UnselectGrid(0);
    UnselectGrid(1);
    m_saveAreaChanged = true;
    SetSaveAreaButtons(true);
    return true;
}
