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
    if (!inRange(draw.Bonus) || (sets.Main & NumberBit(draw.Bonus)))
        return std::nullopt;
    sets.Bonus = NumberBit(draw.Bonus);
    return sets;
}
