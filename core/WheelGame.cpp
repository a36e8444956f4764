#include "core/WheelGame.h"

#include "rules/GameRules.h"

namespace {

// The tiers as the judgement pays them, each reached by its count of main
// numbers; a tier that asks for the bonus says so.
std::vector<WheelTier> TiersOf(const GameRule &rule)
{
    std::vector<WheelTier> tiers;
    for (int t = 0; t < rule.TierCount; ++t) {
        const PrizeTierRule &tier = rule.Tiers[size_t(t)];
        tiers.push_back({QStringLiteral("%1等").arg(t + 1), tier.MainHits,
                         tier.Bonus == BonusNeed::Some ? 1 : 0});
    }
    return tiers;
}

} // namespace

int WheelGameCount()
{
    return GameRuleCount;
}

WheelGame WheelGameAt(int index)
{
    if (index < 0 || index >= GameRuleCount)
        index = 0;
    const GameRule &rule = GameRuleOf(index);
    WheelGame game;
    game.Name = QString::fromUtf16(rule.Name.data(), qsizetype(rule.Name.size()));
    game.MaxNumber = rule.HighestNumber;
    game.PickCount = rule.PickCount;
    game.BonusCount = rule.BonusCount;
    game.PriceYen = int(rule.RowYen);
    game.Tiers = TiersOf(rule);
    return game;
}

int TierForHits(const WheelGame &game, int hits)
{
    for (size_t i = 0; i < game.Tiers.size(); ++i) {
        if (game.Tiers[i].BonusHits == 0 && game.Tiers[i].Hits <= hits)
            return int(i);
    }
    return -1;
}
