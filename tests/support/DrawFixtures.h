#pragma once

// Draw records for the analysis tests and pictures: numbers from a seeded
// engine, so every run sees the same history, with prizes in the ranges the
// lotteries pay. Every tenth draw stores no prizes, as an imported file
// without prize columns would.

#include "core/GameTable.h"
#include "rules/DrawRecord.h"

#include <QDate>
#include <QVector>

#include <algorithm>
#include <array>
#include <random>

inline DrawRecord MakeDraw(int game, int drawNumber, std::array<int, 6> numbers, int bonus)
{
    DrawRecord draw;
    draw.Game = game;
    draw.DrawNumber = drawNumber;
    draw.MainCount = game == GameLoto6 ? 6 : 5;
    std::sort(numbers.begin(), numbers.begin() + draw.MainCount);
    std::copy_n(numbers.begin(), draw.MainCount, draw.Numbers.begin());
    draw.Bonus = bonus;
    draw.Source = QStringLiteral("fixture");
    return draw;
}

inline QVector<DrawRecord> FixtureDraws(int game, int count, unsigned seed = 1)
{
    const int maxNumber = game == GameLoto6 ? 43 : 31;
    const int pick = game == GameLoto6 ? 6 : 5;
    // Typical prizes per winner, first tier first.
    const std::array<qint64, 5> typical = game == GameLoto6
                                              ? std::array<qint64, 5>{200000000, 10000000, 300000,
                                                                      6800, 1000}
                                              : std::array<qint64, 5>{10000000, 150000, 10000, 1000,
                                                                      0};
    std::mt19937 engine(seed * 7919u + unsigned(game));
    QVector<DrawRecord> draws;
    QDate date(2000, 10, 5);
    for (int d = 1; d <= count; ++d) {
        std::array<int, 44> pool{};
        for (int n = 1; n <= maxNumber; ++n)
            pool[size_t(n - 1)] = n;
        std::shuffle(pool.begin(), pool.begin() + maxNumber, engine);
        std::array<int, 6> numbers{};
        std::copy_n(pool.begin(), pick, numbers.begin());
        DrawRecord draw = MakeDraw(game, d, numbers, pool[size_t(pick)]);
        draw.Date = date;
        date = date.addDays(7);
        if (d % 10 != 0) {
            for (int t = 0; t < (game == GameLoto6 ? 5 : 4); ++t) {
                const qint64 spread = typical[size_t(t)] / 4;
                draw.PrizeYen[size_t(t)] = typical[size_t(t)] - spread
                                           + qint64(engine() % quint64(2 * spread + 1));
                draw.PrizeYen[size_t(t)] -= draw.PrizeYen[size_t(t)] % 100;
                draw.Winners[size_t(t)] = qint64(1 + engine() % (t == 0 ? 3 : 1000 << (2 * t)));
            }
            // Now and then nobody wins the first prize.
            if (d % 7 == 0) {
                draw.Winners[0] = 0;
                draw.PrizeYen[0] = 0;
            }
        }
        draws.append(draw);
    }
    return draws;
}
