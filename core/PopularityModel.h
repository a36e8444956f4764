#pragma once

#include "core/NumberSets.h"
#include "core/PopularityGame.h"
#include "core/PopularitySums.h"

#include <array>

// What a row can expect to be paid per draw: the fixed tiers' part, the
// shared tiers' part, and the payout index, the shared part against a random
// row's (a random row is 100). Popularity changes none of the chances of
// winning, only how many share a prize.
struct RowPayout
{
    double Index = 100;
    double FixedYen = 0;
    double SharedYen = 0;
    double yen() const { return FixedYen + SharedYen; }
};

// The expected number of tickets on every combination in the next draw: a
// ticket's weight is the product of its numbers' weights, exp(number
// effect + repeat effect if the number was in the previous draw), and the
// tickets sold share out in proportion to it.
class PopularityModel
{
public:
    struct Parameters
    {
        NumberWeights Effects{}; // log popularity per number, mean 0
        double Repeat = 0;       // log factor for a number of the previous draw
        NumberSet Previous = 0;  // the draw before the next one
        double Tickets = 0;      // tickets sold per draw
        // Average pool per winner's tier, yen; 0 where unknown.
        std::array<double, MaxTiers> PoolYen{};
    };

    PopularityModel() = default;
    PopularityModel(const PopularityGame &game, const Parameters &parameters);

    const PopularityGame &game() const { return m_game; }
    const Parameters &parameters() const { return m_parameters; }

    // The share of tickets that hold number n, the previous draw aside; every
    // number holds PickCount / MaxNumber of them when all are alike.
    double numberShare(int n) const { return m_shares[size_t(n)]; }
    double evenShare() const;

    // Expected tickets on the combination in the next draw.
    double ticketsOn(NumberSet row) const;
    // Expected other winners of tier when row wins it, over the draws that
    // make it win.
    double coWinners(NumberSet row, int tier) const;
    // row must be a combination of the game.
    RowPayout payout(NumberSet row) const;
    // The same for a row chosen at random, averaged.
    const RowPayout &randomRow() const { return m_random; }
    // The chance that one row wins tier (1 the first prize).
    double winChance(int tier) const { return m_winChance[size_t(tier - 1)]; }

private:
    void prepareOverlaps();
    void prepareRandomRow();

    PopularityGame m_game;
    Parameters m_parameters;
    NumberWeights m_weights{}; // next draw's
    SymmetricSums m_all{};     // over every number with those weights
    NumberWeights m_shares{};
    // [t][j]: the chance that a ticket sharing j numbers with a row wins
    // tier t + 1 as well, given the row wins it.
    std::array<std::array<double, MaxPopularityPick + 1>, MaxTiers> m_overlap{};
    std::array<double, MaxTiers> m_winChance{};
    std::array<double, MaxTiers> m_randomShare{}; // a random row's share factor
    // What each shared tier's share weighs in the index: its chance times
    // its pool; its chance alone when no pool is known.
    std::array<double, MaxTiers> m_indexWeight{};
    double m_randomIndexWeight = 0;
    RowPayout m_random;
};
