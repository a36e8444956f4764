#pragma once

#include "core/GameTable.h"
#include "storage/DrawRecord.h"

#include <QtGlobal>

#include <optional>

// A set of lottery numbers as one 64-bit word: bit n stands for number n, so
// the numbers two sets share are one AND and their count one population count.
using NumberSet = quint64;

constexpr NumberSet NumberBit(int number)
{
    return NumberSet(1) << number;
}

// Numbers 1..maxNumber.
constexpr NumberSet NumbersUpTo(int maxNumber)
{
    return (NumberSet(1) << (maxNumber + 1)) - 2;
}

inline int CountNumbers(NumberSet set)
{
    return __builtin_popcountll(set);
}

// LOTO6 pays five tiers, Mini LOTO four; tier 1 is the first prize.
constexpr int MaxTiers = DrawRecord::MaxTiers;

constexpr int TierCount(int game)
{
    return game == GameLoto6 ? 5 : 4;
}

// The fewest main numbers that win anything: three in both games.
constexpr int MinPrizeHits(int game)
{
    return (game == GameLoto6 ? 6 : 5) + 2 - TierCount(game);
}

// The tier a row wins with hits main numbers and the bonus flag, by the same
// rules as the judgement's prize lines; 0 for no prize. All main numbers win
// the first prize, one fewer the second with the bonus and the third
// without, and each further miss one tier lower.
int PrizeTier(int game, int hits, bool bonus);

// One draw as sets, for judging many rows at once.
struct DrawSets
{
    NumberSet Main = 0;
    NumberSet Bonus = 0;
};

// Empty when the record is not a well-formed draw of its game: the game's
// count of distinct main numbers in range, and a bonus in range that is none
// of them. Such a record is left out of every analysis.
std::optional<DrawSets> DrawSetsOf(const DrawRecord &draw, const GameInfo &game);
