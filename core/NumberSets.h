#pragma once

#include "core/GameTable.h"
#include "rules/DrawRecord.h"

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

// One draw as sets, for judging many rows at once.
struct DrawSets
{
    NumberSet Main = 0;
    NumberSet Bonus = 0;
};

// Empty when the record is not a well-formed draw of its game: the game's
// count of distinct main numbers in range, and its count of bonus numbers in
// range, distinct and none of them a main number. Such a record is left out of every analysis.
std::optional<DrawSets> DrawSetsOf(const DrawRecord &draw, const GameInfo &game);
