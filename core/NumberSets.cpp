#include "core/NumberSets.h"

std::optional<DrawSets> DrawSetsOf(const DrawRecord &draw, const GameInfo &game)
{
    if (draw.MainCount != game.PickCount || game.MaxNumber > HighestNumber)
        return std::nullopt;
    const auto inRange = [&](int n) { return n >= 1 && n <= game.MaxNumber; };
    DrawSets sets;
    for (int k = 0; k < draw.MainCount; ++k) {
        const int n = draw.Numbers[size_t(k)];
        if (!inRange(n) || (sets.Main & NumberBit(n)))
            return std::nullopt;
        sets.Main |= NumberBit(n);
    }
    // The game's bonus numbers, distinct and none of them a main number.
    const int bonuses = draw.Game >= 0 && draw.Game < GameCount ? GameRuleOf(draw.Game).BonusCount
                                                                : 1;
    for (size_t i = 0; i <= draw.MoreBonuses.size() && int(i) < bonuses; ++i) {
        const int bonus = i == 0 ? draw.Bonus : draw.MoreBonuses[i - 1];
        if (!inRange(bonus) || ((sets.Main | sets.Bonus) & NumberBit(bonus)))
            return std::nullopt;
        sets.Bonus |= NumberBit(bonus);
    }
    return sets;
}
