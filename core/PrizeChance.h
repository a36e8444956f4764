#pragma once

#include "core/GameTable.h"
#include "core/NumberSets.h"
#include "rules/DrawRecord.h"

#include <QVector>

#include <array>
#include <optional>
#include <vector>

class WorkControl;

// Ways to choose k of n things (n up to 64, k up to 8).
quint64 Binomial(int n, int k);

// The next draw's outcomes, every one equally likely: the main numbers, and
// the bonus numbers from the numbers left.
quint64 MainOutcomes(const GameInfo &game);  // C(N, K): 6,096,454 and 169,911
quint64 BonusOutcomes(const GameInfo &game); // C(N, K) × C(N - K, B)

// One row's winning outcomes per tier (index 0 the first prize) out of
// BonusOutcomes: 1, 6, 216, 9,990, 155,400 times N - K for LOTO6, as a
// single bonus number changes only the second and third prizes.
std::array<quint64, MaxTiers> SingleRowTierOutcomes(const GameInfo &game);

// Whether winning tier t + 1 or better can depend on the bonus numbers
// (LOTO6: the second prize only). Such a tier's chance is counted over
// BonusOutcomes, every other one over MainOutcomes.
bool AtLeastNeedsBonus(int game, int t);

struct OutcomeCount
{
    quint64 Winning = 0;
    quint64 Outcomes = 0;
    double fraction() const { return Outcomes == 0 ? 0.0 : double(Winning) / double(Outcomes); }
};

struct ChanceResult
{
    bool Cancelled = false;
    qint64 Rows = 0;         // combinations counted, repeats included
    qint64 DistinctRows = 0; // different combinations among them
    // [t]: outcomes in which at least one row wins tier t + 1 or better,
    // over BonusOutcomes where the bonus numbers can change that (see
    // AtLeastNeedsBonus), else over MainOutcomes.
    std::array<OutcomeCount, MaxTiers> AtLeast{};
    // The same chance for as many rows chosen independently at random.
    std::array<double, MaxTiers> IndependentAtLeast{};
    // Expected wins of each tier alone next draw, summed over the rows.
    std::array<double, MaxTiers> ExpectedWins{};
};

// Exact, by counting outcomes. A row wins a tier or better whatever the
// bonus exactly when the drawn main set holds one of the row's subsets of
// the size that needs; the covered subsets are marked, then the main sets
// that hold a marked one are counted, so the cost hardly grows with the
// rows. Where fewer hits win with a bonus number, each main set that holds
// no marked subset gathers the numbers that would make one of its rows win
// as a bonus, and counts the bonus choices that take one of them.
// rows are combinations of the game (see CombinationRows).
ChanceResult ComputeChance(int game, const GameInfo &info, const std::vector<NumberSet> &rows,
                           WorkControl &control, int threads = 0);

// A tier's expected prize, the one figure the back-test and the chance both
// price a win with: the average prize of the draws that store one and had
// winners of the tier; empty where none did. A draw nobody won a tier at
// says nothing of what a winner there would have been paid.
// ExpectedPrizeRuleLine says so in one sentence.
std::array<std::optional<double>, MaxTiers> AveragePrizeYen(const QVector<DrawRecord> &draws,
                                                            int game);
QString ExpectedPrizeRuleLine();
