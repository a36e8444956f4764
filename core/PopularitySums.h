#pragma once

#include "core/NumberSets.h"
#include "core/PopularityGame.h"

#include <array>

// Sums over weighted combinations without listing them. When a ticket's
// weight is the product of its numbers' weights, the total weight of the
// tickets that take j numbers from a set is the elementary symmetric sum
// e_j of that set's weights, and a draw's winners of a tier are counted by
// products of such sums over the drawn numbers, the bonus numbers and the
// rest.

constexpr int MaxPopularityPick = 8;
using SymmetricSums = std::array<double, MaxPopularityPick + 1>;
// Weights by number; slot 0 unused.
using NumberWeights = std::array<double, BoardSlots>;

// e_0..e_k of the weights of the numbers in set (e_j = 0 above the set's size).
SymmetricSums SumsOf(NumberSet set, const NumberWeights &weights, int k);

// The sums of the same set without one member of weight w.
SymmetricSums SumsWithout(const SymmetricSums &with, double w, int k);

// d e_j / d log w for that member: w × e_{j-1} of the set without it.
SymmetricSums SumsDerivative(const SymmetricSums &with, double w, int k);

// A draw's numbers in three classes: drawn main numbers, bonus numbers and
// the rest of the game's numbers.
struct ClassSums
{
    SymmetricSums Main{};
    SymmetricSums Bonus{};
    SymmetricSums Other{};
};

ClassSums SumsOfDraw(const PopularityGame &game, const DrawSets &draw,
                     const NumberWeights &weights);

// The total weight of the tickets that win tier (1 the first prize).
double TierWeight(const PopularityGame &game, const ClassSums &sums, int tier);
