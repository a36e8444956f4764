#pragma once

#include "core/PopularityGame.h"
#include "core/PopularityModel.h"
#include "rules/DrawRecord.h"

#include <QVector>

#include <memory>
#include <optional>

class WorkControl;

// The popularity model fitted to a game's stored draws, and how well it
// predicts draws it has not seen.
struct PopularityFit
{
    // The fewest draws with winner counts a fit is made from.
    static constexpr int MinDraws = 30;

    bool Cancelled = false;
    int Game = 0;
    int Tier = 0;             // the tier whose winner counts are fitted
    qint64 UsedDraws = 0;     // with winner counts and prizes
    qint64 WithoutCounts = 0; // well-formed, but without them
    qint64 Malformed = 0;
    int FirstDraw = 0;
    int LastDraw = 0;

    // Every draw after the first few predicted from the draws before it alone:
    // R² of its winners of Tier per ticket against their mean, and for the
    // first prize how much less deviance than with no popularity at all.
    qint64 PredictedDraws = 0;
    std::optional<double> RSquared;
    qint64 FirstTierDraws = 0;
    std::optional<double> FirstTierGain;

    // Empty with fewer than MinDraws usable draws.
    std::shared_ptr<const PopularityModel> Model;
};

// Poisson regression of the winner counts of the game's last shared tier:
// the expected count of a draw is the tickets sold times the share of
// tickets that win that tier by the model, and the tickets sold are the
// stored pools (winners × prize) of the shared tiers below the first, which
// are fixed parts of the sales, times one fitted scale. Fitted by Fisher
// scoring with a small ridge. draws need not be sorted; records of another
// game are left out.
PopularityFit FitPopularity(const QVector<DrawRecord> &draws, const PopularityGame &game,
                            WorkControl *control = nullptr);
