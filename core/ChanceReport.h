#pragma once

#include "core/GameTable.h"
#include "core/PrizeChance.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// What the rows win a draw on average: each tier's expected wins times its
// average prize. Tiers without an average prize are left out and named in
// missingTiers.
double ExpectedWinningsYen(const ChanceResult &result, int game,
                           const std::array<std::optional<double>, MaxTiers> &averagePrizeYen,
                           QStringList *missingTiers);

// The chance tab's text: per game the chance that some row wins each tier
// beside rows picked by chance alone, the expected wins and winnings.
// savedRows counts every saved row of a game, averages the average prizes.
QString ChanceReportText(
    const std::array<ChanceResult, GameCount> &results,
    const std::array<qint64, GameCount> &savedRows, const GameTableType &games,
    const std::array<std::array<std::optional<double>, MaxTiers>, GameCount> &averages);
