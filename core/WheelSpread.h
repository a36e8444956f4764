#pragma once

#include "core/WheelGame.h"

#include <QtGlobal>

#include <atomic>
#include <vector>

// What a set of rows wins over every outcome of the game (the main numbers
// and the bonus numbers drawn, each outcome equally likely), tier by tier.
struct WheelTierSpread
{
    QString Name;
    quint64 Winning = 0;  // outcomes in which some row wins this tier or better
    quint64 Outcomes = 0; // all outcomes
    // The same chance for as many rows each drawn at random on its own (with
    // repeats possible): 1 - (1 - p)^rows, p the chance of one row.
    double RandomRows = 0;
    double fraction() const { return Outcomes == 0 ? 0.0 : double(Winning) / double(Outcomes); }
};

struct WheelSpread
{
    bool Cancelled = false;
    std::vector<WheelTierSpread> Tiers; // the first prize first
};

// Exact. Only how the draw meets the rows' numbers matters, so the subsets
// of those numbers are walked, each standing for the draws that meet them so.
// rows: each PickCount distinct numbers of the game.
WheelSpread ComputeWheelSpread(const WheelGame &game, const std::vector<std::vector<int>> &rows,
                               const std::atomic<bool> *stop = nullptr);
