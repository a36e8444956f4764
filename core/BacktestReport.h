#pragma once

#include "core/Backtest.h"
#include "core/GameTable.h"

#include <QString>

#include <array>

// Draw numbers from and to, in either order.
struct DrawRange
{
    int From = 0;
    int To = 0;
};

// Whether a draw's prizes are stored: "記録あり", "一部不明" or "記録なし".
QString PrizeRecordText(const BacktestDraw &draw);

// The back-test's text: per game the rows, the range, the wins of each tier
// beside what chance alone gives, the cost, the winnings and the return.
QString BacktestReportText(const BacktestResult &result, const GameTableType &games,
                           const std::array<DrawRange, GameCount> &ranges);
