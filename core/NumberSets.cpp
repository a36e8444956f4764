#include "core/NumberSets.h"

int PrizeTier(int game, int hits, bool bonus)
{
    const int pick = game == GameLoto6 ? 6 : 5;
    if (hits > pick || hits < MinPrizeHits(game))
        return 0;
    if (hits == pick)
        return 1;
    if (hits == pick - 1)
        return bonus ? 2 : 3;
    return pick - hits + 2;
}

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
    if (!inRange(draw.Bonus) || (sets.Main & NumberBit(draw.Bonus)))
        return std::nullopt;
    sets.Bonus = NumberBit(draw.Bonus);
    return sets;
}
