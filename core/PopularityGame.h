#pragma once

#include "core/GameTable.h"
#include "core/NumberSets.h"
#include "rules/DrawRecord.h"

#include <QString>

#include <array>
#include <optional>

// What the popularity model needs to know of a game, read in this one place:
// the numbers, the picks, the bonus numbers, the tiers and the price. The rest
// of the model is written against this and nothing else.
struct PopularityTier
{
    int MainHits = 0;
    // The bonus numbers a winning ticket holds among its other picks.
    int MinBonusHits = 0;
    int MaxBonusHits = 0;
    // Yen per winner for a tier that pays a fixed amount; 0 where the tier's
    // pool is shared among its winners.
    qint64 FixedYen = 0;
    bool shared() const { return FixedYen == 0; }
};

struct PopularityGame
{
    int Game = 0;
    QString Name;
    int MaxNumber = 0;
    int PickCount = 0;
    int BonusCount = 0;
    int TierCount = 0;
    qint64 PriceYen = 0;
    std::array<PopularityTier, MaxTiers> Tiers{};
    GameInfo Info;

    // 1 for the first prize; 0 when a ticket with these hits wins nothing.
    int tierOf(int mainHits, int bonusHits) const;
    // The last tier whose pool is shared: the one with the most winners
    // whose count still depends on how many picked alike.
    int lowestSharedTier() const;
    // Empty for a record that is not a well-formed draw of the game.
    std::optional<DrawSets> setsOf(const DrawRecord &draw) const;
};

PopularityGame PopularityGameOf(int game, const GameInfo &info);
