#include "core/PopularityGame.h"

#include "core/Backtest.h"

#include <algorithm>

namespace {

// LOTO6 pays its last tier a fixed 1,000 yen; every other tier shares a pool.
qint64 FixedPrizeYen(int game, int tier)
{
    return game == GameLoto6 && tier == TierCount(GameLoto6) ? 1000 : 0;
}

} // namespace

int PopularityGame::tierOf(int mainHits, int bonusHits) const
{
    for (int t = 0; t < TierCount; ++t) {
        const PopularityTier &tier = Tiers[size_t(t)];
        if (tier.MainHits == mainHits && bonusHits >= tier.MinBonusHits
            && bonusHits <= tier.MaxBonusHits)
            return t + 1;
    }
    return 0;
}

int PopularityGame::lowestSharedTier() const
{
    for (int t = TierCount; t >= 1; --t) {
        if (Tiers[size_t(t - 1)].shared())
            return t;
    }
    return 0;
}

std::optional<DrawSets> PopularityGame::setsOf(const DrawRecord &draw) const
{
    if (draw.Game != Game)
        return std::nullopt;
    return DrawSetsOf(draw, Info);
}

PopularityGame PopularityGameOf(int game, const GameInfo &info)
{
    PopularityGame result;
    result.Game = game;
    result.Name = info.GameName;
    result.MaxNumber = info.MaxNumber;
    result.PickCount = info.PickCount;
    result.BonusCount = GameRuleOf(game).BonusCount;
    result.TierCount = TierCount(game);
    result.PriceYen = GameRuleOf(game).RowYen;
    result.Info = info;
    // Each tier's rule as the judgement's: which hits and bonus hits win it.
    for (int t = 0; t < result.TierCount; ++t) {
        PopularityTier &tier = result.Tiers[size_t(t)];
        tier.MinBonusHits = result.BonusCount + 1;
        tier.MaxBonusHits = -1;
        for (int hits = 0; hits <= info.PickCount; ++hits) {
            const int most = std::min(result.BonusCount, info.PickCount - hits);
            for (int bonus = 0; bonus <= most; ++bonus) {
                if (PrizeTier(game, hits, bonus > 0) != t + 1)
                    continue;
                tier.MainHits = hits;
                tier.MinBonusHits = std::min(tier.MinBonusHits, bonus);
                tier.MaxBonusHits = std::max(tier.MaxBonusHits, bonus);
            }
        }
        tier.FixedYen = FixedPrizeYen(game, t + 1);
    }
    return result;
}
