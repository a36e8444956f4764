#include "core/PrizeChance.h"

#include "core/WorkControl.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <thread>

namespace {

constexpr int MaxBinomialN = 64;
constexpr int MaxBinomialK = 8;

struct BinomialTable
{
    std::array<std::array<quint64, MaxBinomialK + 1>, MaxBinomialN + 1> c{};
    BinomialTable()
    {
        for (int n = 0; n <= MaxBinomialN; ++n) {
            c[size_t(n)][0] = 1;
            for (int k = 1; k <= MaxBinomialK && k <= n; ++k)
                c[size_t(n)][size_t(k)] = c[size_t(n - 1)][size_t(k - 1)]
                                          + (k <= n - 1 ? c[size_t(n - 1)][size_t(k)] : 0);
        }
    }
};

const BinomialTable &Binomials()
{
    static const BinomialTable table;
    return table;
}

// Numbers 1..N are the elements 0..N-1 here, so ranks start at 0.
int ElementsOf(NumberSet set, std::array<int, MaxPickCount + 1> &elements)
{
    int count = 0;
    while (set != 0 && count < int(elements.size())) {
        elements[size_t(count++)] = __builtin_ctzll(set) - 1;
        set &= set - 1;
    }
    return count;
}

// Rank of a subset among all subsets of its size, the elements ascending:
// the sum of C(e_i, i) for i from 1 (colexicographic order). A set that
// gains an element larger than all its own gains C(x, new size).
quint32 SubsetRank(const int *elements, int count)
{
    quint64 rank = 0;
    for (int i = 0; i < count; ++i)
        rank += Binomial(elements[i], i + 1);
    return quint32(rank);
}

// Counts the k-subsets of {0..n-1} that hold at least one marked s-subset.
// completes[rank of an (s-1)-subset G] holds the elements x with G + x
// marked. The subsets are walked in ascending order of their elements; a
// subset that already holds a marked one is counted with all its
// completions at once.
class CoverCounter
{
public:
    CoverCounter(int n, int k, int s, const std::vector<quint64> &completes)
        : m_n(n)
        , m_k(k)
        , m_s(s)
        , m_completes(completes)
    {}

    // Those whose smallest element is first.
    quint64 countWithSmallest(int first) const
    {
        Node root;
        root.ranks[0][0] = 0;
        root.counts[0] = 1;
        return visit(root, first, first);
    }

private:
    static constexpr int MaxRanks = 16; // C(5, j) for the sizes kept
    struct Node
    {
        quint64 next = 0; // elements whose addition completes a marked subset
        int last = -1;
        int depth = 0;
        // Ranks of the chosen elements' subsets of each size 0..s-2.
        std::array<std::array<quint32, MaxRanks>, MaxPickCount> ranks{};
        std::array<int, MaxPickCount> counts{};
    };

    Node extend(const Node &node, int x) const
    {
        Node child;
        child.last = x;
        child.depth = node.depth + 1;
        child.next = node.next;
        const int top = m_s - 2;
        for (int i = 0; i < node.counts[size_t(top)]; ++i)
            child.next |= m_completes[node.ranks[size_t(top)][size_t(i)] + Binomial(x, m_s - 1)];
        child.ranks[0][0] = 0;
        child.counts[0] = 1;
        for (int j = 1; j <= top; ++j) {
            int count = node.counts[size_t(j)];
            child.ranks[size_t(j)] = node.ranks[size_t(j)];
            const quint32 gain = quint32(Binomial(x, j));
            for (int i = 0; i < node.counts[size_t(j - 1)]; ++i)
                child.ranks[size_t(j)][size_t(count++)] = node.ranks[size_t(j - 1)][size_t(i)]
                                                          + gain;
            child.counts[size_t(j)] = count;
        }
        return child;
    }

    quint64 visit(const Node &node, int low, int high) const
    {
        quint64 count = 0;
        const int remaining = m_k - node.depth;
        high = std::min(high, m_n - remaining);
        for (int x = low; x <= high; ++x) {
            if (node.next & (quint64(1) << x)) {
                count += Binomial(m_n - 1 - x, remaining - 1);
                continue;
            }
            if (remaining == 1)
                continue;
            const Node child = extend(node, x);
            if (remaining == 2) {
                // The last element: any above x that completes a marked subset.
                const quint64 above = (m_n >= 64 ? ~quint64(0) : (quint64(1) << m_n) - 1)
                                      & ~((quint64(2) << x) - 1);
                count += quint64(__builtin_popcountll(child.next & above));
                continue;
            }
            count += visit(child, x + 1, m_n - 1);
        }
        return count;
    }

    int m_n;
    int m_k;
    int m_s;
    const std::vector<quint64> &m_completes;
};

// Marks, for every (s-1)-subset of every row, the row's numbers that complete
// it to one of the row's s-subsets.
std::vector<quint64> MarkSubsets(const std::vector<NumberSet> &rows, int n, int s)
{
    std::vector<quint64> completes(size_t(Binomial(n, s - 1)), 0);
    std::array<int, MaxPickCount + 1> elements{};
    std::array<int, MaxPickCount + 1> subset{};
    for (const NumberSet row : rows) {
        const int k = ElementsOf(row, elements);
        for (unsigned pick = 0; pick < (1u << k); ++pick) {
            if (__builtin_popcount(pick) != s - 1)
                continue;
            int size = 0;
            quint64 rest = 0;
            for (int i = 0; i < k; ++i) {
                if (pick & (1u << i))
                    subset[size_t(size++)] = elements[size_t(i)];
                else
                    rest |= quint64(1) << elements[size_t(i)];
            }
            completes[SubsetRank(subset.data(), size)] |= rest;
        }
    }
    return completes;
}

// The (k+1)-sets that hold at least one of the rows, counted on a bitmap of
// all of them.
quint64 CountCoveringSupersets(const std::vector<NumberSet> &distinctRows, int n, int k)
{
    std::vector<quint64> bitmap(size_t(Binomial(n, k + 1) / 64 + 1), 0);
    std::array<int, MaxPickCount + 1> elements{};
    std::array<int, MaxPickCount + 2> superset{};
    for (const NumberSet row : distinctRows) {
        ElementsOf(row, elements);
        for (int x = 0; x < n; ++x) {
            if (row & NumberBit(x + 1))
                continue;
            int size = 0;
            bool placed = false;
            for (int i = 0; i < k; ++i) {
                if (!placed && x < elements[size_t(i)]) {
                    superset[size_t(size++)] = x;
                    placed = true;
                }
                superset[size_t(size++)] = elements[size_t(i)];
            }
            if (!placed)
                superset[size_t(size++)] = x;
            const quint32 rank = SubsetRank(superset.data(), size);
            bitmap[rank / 64] |= quint64(1) << (rank % 64);
        }
    }
    quint64 count = 0;
    for (const quint64 word : bitmap)
        count += quint64(__builtin_popcountll(word));
    return count;
}

// Runs tasks 0..count-1 on up to threads threads, the calling one included,
// until all are done or the control is cancelled.
void RunTasks(int count, int threads, WorkControl &control, const std::function<void(int)> &task)
{
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int i = next.fetch_add(1); i < count; i = next.fetch_add(1)) {
            if (control.isCancelled())
                return;
            task(i);
            if (!control.advance(1))
                return;
        }
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < std::min(threads, count); ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread &helper : helpers)
        helper.join();
}

int ThreadCount(int threads)
{
    if (threads > 0)
        return threads;
    return std::max(1, int(std::thread::hardware_concurrency()));
}

} // namespace

quint64 Binomial(int n, int k)
{
    if (n < 0 || k < 0 || k > n || n > MaxBinomialN)
        return 0;
    k = std::min(k, n - k);
    if (k > MaxBinomialK)
        return 0;
    return Binomials().c[size_t(n)][size_t(k)];
}

quint64 MainOutcomes(const GameInfo &game)
{
    return Binomial(game.MaxNumber, game.PickCount);
}

quint64 BonusOutcomes(const GameInfo &game)
{
    return MainOutcomes(game) * quint64(game.MaxNumber - game.PickCount);
}

std::array<quint64, MaxTiers> SingleRowTierOutcomes(const GameInfo &game)
{
    const int n = game.MaxNumber;
    const int k = game.PickCount;
    const quint64 others = quint64(n - k); // numbers outside the row
    std::array<quint64, MaxTiers> tiers{};
    tiers[0] = others; // the row itself, any bonus
    // One number missed: the bonus is that number for the second prize and
    // any other for the third.
    tiers[1] = quint64(k) * others;
    tiers[2] = quint64(k) * others * (others - 1);
    // Fewer hits, any bonus, down to the fewest that win.
    for (int t = 3; t < MaxTiers && k - t + 1 >= 3; ++t) {
        const int hits = k - t + 1;
        tiers[size_t(t)] = Binomial(k, hits) * Binomial(n - k, k - hits) * others;
    }
    return tiers;
}

ChanceResult ComputeChance(int game, const GameInfo &info, const std::vector<NumberSet> &rows,
                           WorkControl &control, int threads)
{
    ChanceResult result;
    const int n = info.MaxNumber;
    const int k = info.PickCount;
    const int tiers = TierCount(game);
    result.Rows = qint64(rows.size());

    std::vector<NumberSet> distinct = rows;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    result.DistinctRows = qint64(distinct.size());

    // Task 0 counts the sets for the second prize; then one task per tier
    // from the third down and per smallest element of the main set.
    const int firsts = n - k + 1;
    auto marks = std::vector<std::vector<quint64>>(static_cast<size_t>(tiers));
    for (int t = 2; t < tiers; ++t)
        marks[size_t(t)] = MarkSubsets(distinct, n, k - t + 1);
    std::vector<quint64> counts(size_t(1 + (tiers - 2) * firsts), 0);
    const int taskCount = int(counts.size());
    control.start(taskCount);
    RunTasks(taskCount, ThreadCount(threads), control, [&](int task) {
        if (task == 0) {
            counts[0] = distinct.empty() ? 0 : CountCoveringSupersets(distinct, n, k);
            return;
        }
        const int t = 2 + (task - 1) / firsts;
        const int first = (task - 1) % firsts;
        const CoverCounter counter(n, k, k - t + 1, marks[size_t(t)]);
        counts[size_t(task)] = counter.countWithSmallest(first);
    });
    if (control.isCancelled()) {
        result.Cancelled = true;
        return result;
    }

    const quint64 mainOutcomes = MainOutcomes(info);
    const quint64 bonusOutcomes = BonusOutcomes(info);
    result.AtLeast[0] = {quint64(distinct.size()), mainOutcomes};
    result.AtLeast[1] = {counts[0] * quint64(k + 1), bonusOutcomes};
    for (int t = 2; t < tiers; ++t) {
        quint64 covered = 0;
        for (int first = 0; first < firsts; ++first)
            covered += counts[size_t(1 + (t - 2) * firsts + first)];
        result.AtLeast[size_t(t)] = {covered, mainOutcomes};
    }

    const std::array<quint64, MaxTiers> single = SingleRowTierOutcomes(info);
    quint64 orBetter = 0;
    for (int t = 0; t < tiers; ++t) {
        orBetter += single[size_t(t)];
        const double p = double(orBetter) / double(bonusOutcomes);
        result.IndependentAtLeast[size_t(t)] = -std::expm1(double(result.Rows) * std::log1p(-p));
        result.ExpectedWins[size_t(t)] = double(result.Rows) * double(single[size_t(t)])
                                         / double(bonusOutcomes);
    }
    return result;
}

std::array<std::optional<double>, MaxTiers> AveragePrizeYen(const QVector<DrawRecord> &draws,
                                                            int game)
{
    std::array<double, MaxTiers> sum{};
    std::array<qint64, MaxTiers> count{};
    for (const DrawRecord &draw : draws) {
        if (draw.Game != game)
            continue;
        for (int t = 0; t < TierCount(game); ++t) {
            // A tier nobody won pays nothing to average.
            if (draw.PrizeYen[size_t(t)] > 0 && draw.Winners[size_t(t)] != 0) {
                sum[size_t(t)] += double(draw.PrizeYen[size_t(t)]);
                ++count[size_t(t)];
            }
        }
    }
    std::array<std::optional<double>, MaxTiers> average;
    for (int t = 0; t < MaxTiers; ++t) {
        if (count[size_t(t)] > 0)
            average[size_t(t)] = sum[size_t(t)] / double(count[size_t(t)]);
    }
    return average;
}

QString ExpectedPrizeRuleLine()
{
    return QStringLiteral("  期待値の賞金は、等級ごとに、範囲内で賞金の記録があり当選者がいた回の"
                          "平均賞金です（当選者がいなかった回は平均に入れません）。");
}
