#include "core/WheelGame.h"

#include "core/GameTable.h"
#include "core/NumberSets.h"

namespace {

constexpr int TicketPriceYen = 200;

// The tiers as the judgement pays them: every tier is reached by one count
// of main numbers, the second also by the bonus.
std::vector<WheelTier> TiersOf(int game, int pick)
{
    std::vector<WheelTier> tiers(size_t(TierCount(game)));
    for (int hits = pick; hits >= 0; --hits) {
        for (const bool bonus : {false, true}) {
            const int tier = PrizeTier(game, hits, bonus);
            if (tier <= 0 || (bonus && tier == PrizeTier(game, hits, false)))
                continue;
            WheelTier &entry = tiers[size_t(tier - 1)];
            if (!entry.Name.isEmpty())
                continue;
            entry = {QStringLiteral("%1等").arg(tier), hits, bonus ? 1 : 0};
        }
    }
    return tiers;
}

} // namespace

int WheelGameCount()
{
    return GameCount;
}

WheelGame WheelGameAt(int index)
{
    const GameTableType table = MakeGameTable(QString());
    if (index < 0 || index >= GameCount)
        index = GameLoto6;
    const GameInfo &info = table[size_t(index)];
    WheelGame game;
    game.Name = info.GameName;
    game.MaxNumber = info.MaxNumber;
    game.PickCount = info.PickCount;
    game.BonusCount = 1;
    game.PriceYen = TicketPriceYen;
    game.Tiers = TiersOf(index, info.PickCount);
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
