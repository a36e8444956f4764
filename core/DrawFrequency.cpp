#include "core/DrawFrequency.h"

#include "core/NumberSets.h"

#include <boost/math/distributions/binomial.hpp>
#include <boost/math/distributions/chi_squared.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A chance that is not nil but too small for a double reads as the smallest
// one, so that no text calls it impossible.
double NotNil(double chance)
{
    return std::max(chance, std::numeric_limits<double>::denorm_min());
}

} // namespace

double FrequencyStats::chanceOfGap(int gap) const
{
    const double chance = std::pow(1.0 - Probability, gap);
    return Probability < 1 ? NotNil(chance) : chance;
}

QVector<int> FrequencyStats::numbersByCount() const
{
    QVector<int> numbers;
    for (int n = 1; n <= MaxNumber; ++n)
        numbers.append(n);
    std::stable_sort(numbers.begin(), numbers.end(),
                     [this](int a, int b) { return Counts[size_t(a)] > Counts[size_t(b)]; });
    return numbers;
}

namespace {

// How often and how recently each number came up.
void CountDraws(const QVector<DrawRecord> &draws, int game, const GameInfo &info, bool withBonus,
                FrequencyStats &stats)
{
    std::array<qint64, BoardSlots> lastSeen;
    lastSeen.fill(-1);
    for (const DrawRecord &draw : draws) {
        const std::optional<DrawSets> sets = draw.Game == game ? DrawSetsOf(draw, info)
                                                               : std::nullopt;
        if (!sets) {
            ++stats.SkippedDraws;
            continue;
        }
        const NumberSet counted = sets->Main | (withBonus ? sets->Bonus : 0);
        for (int n = 1; n <= info.MaxNumber; ++n) {
            if (counted & NumberBit(n)) {
                ++stats.Counts[size_t(n)];
                lastSeen[size_t(n)] = stats.Draws;
            }
        }
        ++stats.Draws;
    }
    for (int n = 1; n <= info.MaxNumber; ++n) {
        if (lastSeen[size_t(n)] >= 0)
            stats.DrawsSince[size_t(n)] = int(stats.Draws - 1 - lastSeen[size_t(n)]);
    }
}

void TestAgainstUniform(FrequencyStats &stats)
{
    const int numbers = stats.MaxNumber;
    // A draw never repeats a number, so the counts vary less than counts of
    // independent picks would: the plain statistic comes out smaller by the
    // factor (N - k) / (N - 1). Scaled back it follows the chi-square
    // distribution with N - 1 degrees of freedom.
    double sum = 0;
    for (int n = 1; n <= numbers; ++n) {
        const double d = double(stats.Counts[size_t(n)]) - stats.Expected;
        sum += d * d / stats.Expected;
    }
    stats.ChiSquare = sum * double(numbers - 1) / double(numbers - stats.PerDraw);
    const boost::math::chi_squared chiSquared(stats.Freedom);
    stats.PValue = NotNil(boost::math::cdf(boost::math::complement(chiSquared, stats.ChiSquare)));
}

// How many numbers fall outside the band, and how many chance alone puts there.
void CountOutsideBand(FrequencyStats &stats)
{
    const int numbers = stats.MaxNumber;
    for (int n = 1; n <= numbers; ++n) {
        const double count = double(stats.Counts[size_t(n)]);
        if (count < stats.bandLow() || count > stats.bandHigh())
            ++stats.OutsideBand;
    }
    // Counts are whole: below the band means at most ceil(low) - 1, above
    // it more than floor(high).
    const boost::math::binomial_distribution<double> binomial(double(stats.Draws),
                                                              stats.Probability);
    double outside = 0;
    const double below = std::ceil(stats.bandLow()) - 1;
    if (below >= 0)
        outside += boost::math::cdf(binomial, below);
    const double above = std::floor(stats.bandHigh());
    if (above < double(stats.Draws))
        outside += boost::math::cdf(boost::math::complement(binomial, above));
    stats.ChanceOutsideBand = outside * numbers;
}

} // namespace

FrequencyStats CountFrequencies(const QVector<DrawRecord> &draws, int game, const GameInfo &info,
                                bool withBonus)
{
    FrequencyStats stats;
    stats.MaxNumber = info.MaxNumber;
    stats.PerDraw = info.PickCount + (withBonus ? info.BonusCount : 0);
    stats.DrawsSince.fill(-1);
    CountDraws(draws, game, info, withBonus, stats);

    const double p = double(stats.PerDraw) / info.MaxNumber;
    stats.Probability = p;
    stats.Expected = double(stats.Draws) * p;
    stats.StandardDeviation = std::sqrt(double(stats.Draws) * p * (1 - p));
    stats.Freedom = info.MaxNumber - 1;
    if (stats.Draws == 0)
        return stats;
    TestAgainstUniform(stats);
    CountOutsideBand(stats);
    return stats;
}

std::array<int, BoardSlots> BoardFromCounts(const FrequencyStats &stats)
{
    std::array<int, BoardSlots> board;
    board.fill(3);
    const QVector<int> order = stats.numbersByCount();
    const int numbers = int(order.size());
    for (int first = 0; first < numbers;) {
        int last = first;
        while (last + 1 < numbers
               && stats.Counts[size_t(order[last + 1])] == stats.Counts[size_t(order[first])])
            ++last;
        // 5 * midrank / N, with the middle rank (first + last) / 2 kept whole.
        const int fifth = (5 * (first + last)) / (2 * numbers);
        for (int i = first; i <= last; ++i)
            board[size_t(order[i])] = 1 + std::min(fifth, 4);
        first = last + 1;
    }
    return board;
}
