#pragma once

#include <algorithm>
#include <array>
#include <string_view>

// The games as data: everything the program knows of a game's size, prize
// tiers and price comes from GameRules. Adding a game is a row here plus its
// texts. The index into the table is the program's game index.

// What a prize tier asks of the bonus numbers, besides the main hits. "Some"
// is met when at least one of the row's numbers that missed the main numbers
// is a bonus number; "None" when none is; "Any" ignores the bonus.
enum class BonusNeed { Any, Some, None };

struct PrizeTierRule
{
    int MainHits = 0;
    BonusNeed Bonus = BonusNeed::Any;
    // A fixed prize pays FixedYen per winner; the others share a pool.
    bool Fixed = false;
    long long FixedYen = 0;
};

// Room for the tiers of a row of the table; the maxima below say how many
// any game really uses.
constexpr int TierRoom = 8;

struct GameRule
{
    std::string_view Key;
    std::u16string_view Name;
    int HighestNumber = 0;
    int PickCount = 0;
    int BonusCount = 0;
    long long RowYen = 0;
    int TierCount = 0;
    // Index 0 the first prize, in the order the judgement tries them.
    std::array<PrizeTierRule, TierRoom> Tiers{};
    // Whether an unwon first prize carries over to the next draw.
    bool CarryOver = false;
    std::u16string_view PatternFileName;
};

// Each row: key, name, highest number, main numbers, bonus numbers, yen a
// row, tiers, the tiers (main hits, bonus, fixed, fixed yen), carry-over,
// pattern file.
inline constexpr std::array<GameRule, 3> GameRules{{
    {"loto6",
     u"ロト６",
     43,
     6,
     1,
     200,
     5,
     {{{6, BonusNeed::Any},
       {5, BonusNeed::Some},
       {5, BonusNeed::None},
       {4, BonusNeed::Any},
       {3, BonusNeed::Any, true, 1000}}},
     true,
     u"zanbol6.txt"},
    {"miniloto",
     u"ミニロト",
     31,
     5,
     1,
     200,
     4,
     {{{5, BonusNeed::Any}, {4, BonusNeed::Some}, {4, BonusNeed::None}, {3, BonusNeed::Any}}},
     false,
     u"zanboml.txt"},
    {"loto7",
     u"ロト７",
     37,
     7,
     2,
     300,
     6,
     {{{7, BonusNeed::Any},
       {6, BonusNeed::Some},
       {6, BonusNeed::None},
       {5, BonusNeed::Any},
       {4, BonusNeed::Any},
       {3, BonusNeed::Some}}},
     true,
     u"zanbol7.txt"},
}};

constexpr int GameRuleCount = int(GameRules.size());

namespace GameRulesDetail {

template<typename Field>
constexpr int Largest(Field field)
{
    int largest = 0;
    for (const GameRule &rule : GameRules)
        largest = std::max(largest, field(rule));
    return largest;
}

} // namespace GameRulesDetail

// The maxima over all games: what tables indexed by number, draw slot or
// tier must hold.
constexpr int HighestNumber = GameRulesDetail::Largest(
    [](const GameRule &r) { return r.HighestNumber; });
constexpr int MaxPickCount = GameRulesDetail::Largest(
    [](const GameRule &r) { return r.PickCount; });
constexpr int MaxBonusCount = GameRulesDetail::Largest(
    [](const GameRule &r) { return r.BonusCount; });
constexpr int MaxTiers = GameRulesDetail::Largest([](const GameRule &r) { return r.TierCount; });
static_assert(MaxTiers <= TierRoom, "a game's tiers fit its row");

constexpr const GameRule &GameRuleOf(int game)
{
    return GameRules[size_t(game)];
}

constexpr int TierCount(int game)
{
    return GameRuleOf(game).TierCount;
}

// The fewest main numbers that win anything in the game.
constexpr int MinPrizeHits(int game)
{
    const GameRule &rule = GameRuleOf(game);
    int fewest = rule.PickCount;
    for (int t = 0; t < rule.TierCount; ++t)
        fewest = std::min(fewest, rule.Tiers[size_t(t)].MainHits);
    return fewest;
}

// The tier (1 the first prize) a row wins with hits main numbers, and with
// bonusHit when at least one of its other numbers is a bonus number; 0 for
// no prize. The first tier that fits wins.
constexpr int PrizeTier(int game, int hits, bool bonusHit)
{
    if (game < 0 || game >= GameRuleCount)
        return 0;
    const GameRule &rule = GameRuleOf(game);
    for (int t = 0; t < rule.TierCount; ++t) {
        const PrizeTierRule &tier = rule.Tiers[size_t(t)];
        if (tier.MainHits != hits)
            continue;
        if (tier.Bonus == BonusNeed::Any || (tier.Bonus == BonusNeed::Some) == bonusHit)
            return t + 1;
    }
    return 0;
}
