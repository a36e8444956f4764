#pragma once

// Draw histories whose winner counts come from players of known taste: each
// number has its popularity, numbers of the previous draw are picked again
// more often, and neighbouring numbers in a ticket add a pattern effect the
// fitted model does not hold. The expected winners of each tier are summed
// exactly over every ticket (by walking the numbers in order), then drawn
// from a Poisson law; pools are fixed parts of the sales, as the lotteries
// share them out.

#include "core/GameTable.h"
#include "core/NumberSets.h"
#include "rules/DrawRecord.h"

#include <QVector>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

struct SyntheticPlayers
{
    int Game = GameLoto6;
    int MaxNumber = 43;
    int PickCount = 6;
    std::array<double, BoardSlots> Effects{}; // log popularity per number
    double Repeat = 0;                        // log factor, number of the previous draw
    double Neighbours = 0;                    // log factor per pair of neighbouring numbers
    double Tickets = 2e6;                     // tickets sold per draw on average
    int PartsCutAt = 0; // from this draw the shared pools get two thirds of their parts
};

// Ticket weights summed by main hits and bonus hits, and over all tickets.
struct SyntheticWeights
{
    std::array<std::array<double, 2>, MaxPickCount + 1> ByHits{};
    double Total = 0;
};

inline SyntheticWeights WeighTickets(const SyntheticPlayers &players, NumberSet main,
                                     NumberSet bonus, NumberSet previous)
{
    constexpr int K = MaxPickCount + 1;
    // [hits][bonus hits][picked][last number picked]
    using Table = std::array<std::array<std::array<std::array<double, 2>, K>, 2>, K>;
    Table now{};
    now[0][0][0][0] = 1;
    const int k = players.PickCount;
    for (int x = 1; x <= players.MaxNumber; ++x) {
        const double w = std::exp(players.Effects[size_t(x)]
                                  + ((previous & NumberBit(x)) ? players.Repeat : 0.0));
        const int dh = (main & NumberBit(x)) ? 1 : 0;
        const int db = (bonus & NumberBit(x)) ? 1 : 0;
        Table next{};
        for (int h = 0; h <= k; ++h)
            for (int b = 0; b < 2; ++b)
                for (int s = 0; s <= k; ++s)
                    for (int p = 0; p < 2; ++p) {
                        const double v = now[size_t(h)][size_t(b)][size_t(s)][size_t(p)];
                        if (v == 0)
                            continue;
                        next[size_t(h)][size_t(b)][size_t(s)][0] += v;
                        if (s == k || h + dh > k)
                            continue;
                        // A ticket holding both bonus numbers counts one bonus hit.
                        next[size_t(h + dh)][size_t(std::min(b + db, 1))][size_t(s + 1)][1]
                            += v * w * (p ? std::exp(players.Neighbours) : 1.0);
                    }
        now = next;
    }
    SyntheticWeights weights;
    for (int h = 0; h <= k; ++h)
        for (int b = 0; b < 2; ++b) {
            const double v = now[size_t(h)][size_t(b)][size_t(k)][0]
                             + now[size_t(h)][size_t(b)][size_t(k)][1];
            weights.ByHits[size_t(h)][size_t(b)] = v;
            weights.Total += v;
        }
    return weights;
}

inline QVector<DrawRecord> SyntheticHistory(const SyntheticPlayers &players, int count,
                                            unsigned seed)
{
    std::mt19937_64 engine(seed);
    std::uniform_real_distribution<double> sales(0.7, 1.3);
    const int tiers = TierCount(players.Game);
    // Parts of the sales each tier's pool gets.
    const std::array<double, MaxTiers> parts{0.2, 0.05, 0.06, 0.1, 0.1, 0.08};
    QVector<DrawRecord> draws;
    NumberSet previous = 0;
    for (int d = 1; d <= count; ++d) {
        std::array<int, BoardSlots> pool{};
        for (int n = 1; n <= players.MaxNumber; ++n)
            pool[size_t(n - 1)] = n;
        std::shuffle(pool.begin(), pool.begin() + players.MaxNumber, engine);
        DrawRecord draw;
        draw.Game = players.Game;
        draw.DrawNumber = d;
        draw.MainCount = players.PickCount;
        NumberSet main = 0;
        for (int k = 0; k < players.PickCount; ++k)
            main |= NumberBit(pool[size_t(k)]);
        int slot = 0;
        for (int n = 1; n <= players.MaxNumber; ++n) {
            if (main & NumberBit(n))
                draw.Numbers[size_t(slot++)] = n;
        }
        // Every bonus number the game draws, after the main numbers.
        draw.Bonus = pool[size_t(players.PickCount)];
        NumberSet bonus = NumberBit(draw.Bonus);
        for (int b = 1; b < GameRuleOf(players.Game).BonusCount; ++b) {
            draw.MoreBonuses[size_t(b - 1)] = pool[size_t(players.PickCount + b)];
            bonus |= NumberBit(draw.MoreBonuses[size_t(b - 1)]);
        }
        const SyntheticWeights weights = WeighTickets(players, main, bonus, previous);
        const double tickets = players.Tickets * sales(engine);
        std::array<double, MaxTiers> expected{};
        for (int h = 0; h <= players.PickCount; ++h)
            for (int b = 0; b < 2; ++b) {
                const int tier = PrizeTier(players.Game, h, b > 0);
                if (tier > 0)
                    expected[size_t(tier - 1)] += tickets * weights.ByHits[size_t(h)][size_t(b)]
                                                  / weights.Total;
            }
        for (int t = 0; t < tiers; ++t) {
            const qint64 winners = std::poisson_distribution<qint64>(expected[size_t(t)])(engine);
            draw.Winners[size_t(t)] = winners;
            const bool fixed = players.Game == GameLoto6 && t == tiers - 1;
            const double cut = players.PartsCutAt > 0 && d >= players.PartsCutAt ? 2.0 / 3 : 1.0;
            const double poolYen = cut * parts[size_t(t)] * tickets
                                   * double(GameRuleOf(players.Game).RowYen);
            draw.PrizeYen[size_t(t)] = fixed ? 1000 : winners > 0 ? qint64(poolYen / winners) : 0;
        }
        draws.append(draw);
        previous = main;
    }
    return draws;
}
