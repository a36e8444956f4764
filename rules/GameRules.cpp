#include "rules/GameRules.h"

namespace {

// A row of the table that the judgement could not read: tiers out of order,
// more hits than numbers, or a bonus condition in a game without a bonus.
constexpr bool TiersAreSound(const GameRule &rule)
{
    if (rule.TierCount < 1 || rule.PickCount < 1 || rule.HighestNumber <= rule.PickCount)
        return false;
    for (int t = 0; t < rule.TierCount; ++t) {
        const PrizeTierRule &tier = rule.Tiers[size_t(t)];
        if (tier.MainHits < 1 || tier.MainHits > rule.PickCount)
            return false;
        if (tier.Bonus != BonusNeed::Any && rule.BonusCount == 0)
            return false;
        if (t > 0 && tier.MainHits > rule.Tiers[size_t(t - 1)].MainHits)
            return false;
        if (tier.Fixed != (tier.FixedYen > 0))
            return false;
    }
    return true;
}

constexpr bool AllSound()
{
    for (const GameRule &rule : GameRules) {
        if (!TiersAreSound(rule))
            return false;
    }
    return true;
}

static_assert(AllSound(), "every game's row of the table is sound");
// A set of numbers is one 64-bit word, bit n for number n.
static_assert(HighestNumber < 64, "every number fits a 64-bit set");

} // namespace
