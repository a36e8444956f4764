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
    constexpr BinomialTable()
    {
        for (int n = 0; n <= MaxBinomialN; ++n) {
            c[size_t(n)][0] = 1;
            for (int k = 1; k <= MaxBinomialK && k <= n; ++k)
                c[size_t(n)][size_t(k)] = c[size_t(n - 1)][size_t(k - 1)]
                                          + (k <= n - 1 ? c[size_t(n - 1)][size_t(k)] : 0);
        }
    }
};

constexpr BinomialTable Binomials{};

// C(n, k) for the walks below, which ask it for every element they try:
// a plain look-up, 0 <= n <= 64 and 0 <= k <= 8 being theirs to keep.
inline quint64 Choose(int n, int k)
{
    return Binomials.c[size_t(n)][size_t(k)];
}

// Bits set in a 64-bit word, without a library call on processors that
// have no instruction for it.
inline int BitCount(quint64 v)
{
#if defined(__POPCNT__)
    return __builtin_popcountll(v);
#else
    v = v - ((v >> 1) & 0x5555555555555555ull);
    v = (v & 0x3333333333333333ull) + ((v >> 2) & 0x3333333333333333ull);
    v = (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return int((v * 0x0101010101010101ull) >> 56);
#endif
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
        rank += Choose(elements[i], i + 1);
    return quint32(rank);
}

// C(n, k) at compile time, for the sizes of the tables below.
constexpr int SmallBinomial(int n, int k)
{
    if (k < 0 || k > n)
        return 0;
    long long c = 1;
    for (int i = 1; i <= k; ++i)
        c = c * (n - k + i) / i;
    return int(c);
}

// Rows that hit some main numbers win with a bonus number among their
// others: per such count of hits, the numbers that complete each subset of
// that size to a row (see MarkSubsets).
struct BonusLevel
{
    int Hits = 0;
    const std::vector<quint64> *Completes = nullptr;
};

// Counts the outcomes in which the k-subsets of {0..n-1} hold at least one
// marked s-subset, and, with bonus levels, those in which the bonus numbers
// make a row win. completes[rank of an (s-1)-subset G] holds the elements x
// with G + x marked. The subsets are walked in ascending order of their
// elements; a subset that already holds a marked one is counted with all
// its completions at once, weighted by whole (every bonus choice). A main
// set that holds none is weighted by wins[u], u the numbers outside it that
// make one of the rows win when drawn as a bonus.
class CoverCounter
{
public:
    CoverCounter(int n, int k, int s, const std::vector<quint64> &completes,
                 std::vector<BonusLevel> levels = {}, std::vector<quint64> wins = {},
                 quint64 whole = 1)
        : m_n(n)
        , m_k(k)
        , m_s(s)
        , m_completes(completes)
        , m_levels(std::move(levels))
        , m_wins(std::move(wins))
        , m_whole(whole)
    {}

    // Those whose smallest element is first.
    quint64 countWithSmallest(int first) const
    {
        // One node per depth, reused by every branch at that depth.
        std::vector<Node> path(size_t(m_k + 1));
        path[0].ranks[0][0] = 0;
        path[0].counts[0] = 1;
        return visit(path.data(), first, first);
    }

private:
    // C(K - 1, j) for the sizes kept.
    static constexpr int MaxRanks = SmallBinomial(MaxPickCount - 1, (MaxPickCount - 1) / 2);
    struct Node
    {
        quint64 next = 0;   // elements whose addition completes a marked subset
        quint64 chosen = 0; // the elements themselves
        quint64 bonus = 0;  // numbers that as a bonus make a row win
        int depth = 0;
        // Ranks of the chosen elements' subsets of each size 0..s-2.
        std::array<std::array<quint32, MaxRanks>, MaxPickCount> ranks{};
        std::array<int, MaxPickCount> counts{};
    };

    // The bonus numbers of node's rows once x is chosen too: those of the
    // subsets that hold x, of each level's size.
    quint64 bonusWith(const Node &node, int x) const
    {
        quint64 bonus = node.bonus;
        for (const BonusLevel &level : m_levels) {
            const int below = level.Hits - 1;
            const quint64 gain = Choose(x, level.Hits);
            const quint32 *ranks = node.ranks[size_t(below)].data();
            const quint64 *completes = level.Completes->data();
            for (int i = 0; i < node.counts[size_t(below)]; ++i)
                bonus |= completes[ranks[i] + gain];
        }
        return bonus;
    }

    // child becomes node with x chosen too; only the ranks in use are copied.
    void extend(const Node &node, int x, Node &child) const
    {
        child.depth = node.depth + 1;
        child.next = node.next;
        child.chosen = node.chosen | (quint64(1) << x);
        child.bonus = m_levels.empty() ? 0 : bonusWith(node, x);
        const int top = m_s - 2;
        const quint64 gainTop = Choose(x, m_s - 1);
        const quint64 *completes = m_completes.data();
        for (int i = 0; i < node.counts[size_t(top)]; ++i)
            child.next |= completes[node.ranks[size_t(top)][size_t(i)] + gainTop];
        child.ranks[0][0] = 0;
        child.counts[0] = 1;
        for (int j = 1; j <= top; ++j) {
            const int kept = node.counts[size_t(j)];
            const int added = node.counts[size_t(j - 1)];
            quint32 *to = child.ranks[size_t(j)].data();
            std::copy_n(node.ranks[size_t(j)].data(), kept, to);
            const quint32 gain = quint32(Choose(x, j));
            const quint32 *from = node.ranks[size_t(j - 1)].data();
            for (int i = 0; i < added; ++i)
                to[kept + i] = from[i] + gain;
            child.counts[size_t(j)] = kept + added;
        }
    }

    // A whole main set that holds no marked subset: what its bonus numbers win.
    quint64 uncovered(const Node &node, int x) const
    {
        if (m_levels.empty())
            return 0;
        const quint64 set = node.chosen | (quint64(1) << x);
        return m_wins[size_t(BitCount(bonusWith(node, x) & ~set))];
    }

    // path[0] is the node walked, path[1] the room for its children.
    quint64 visit(Node *path, int low, int high) const
    {
        const Node &node = path[0];
        Node &child = path[1];
        quint64 count = 0;
        const int remaining = m_k - node.depth;
        high = std::min(high, m_n - remaining);
        for (int x = low; x <= high; ++x) {
            if (node.next & (quint64(1) << x)) {
                count += m_whole * Choose(m_n - 1 - x, remaining - 1);
                continue;
            }
            if (remaining == 1) {
                count += uncovered(node, x);
                continue;
            }
            extend(node, x, child);
            if (remaining == 2 && m_levels.empty()) {
                // The last element: any above x that completes a marked subset.
                const quint64 above = (m_n >= 64 ? ~quint64(0) : (quint64(1) << m_n) - 1)
                                      & ~((quint64(2) << x) - 1);
                count += quint64(BitCount(child.next & above));
                continue;
            }
            count += visit(path + 1, x + 1, m_n - 1);
        }
        return count;
    }

    int m_n;
    int m_k;
    int m_s;
    const std::vector<quint64> &m_completes;
    std::vector<BonusLevel> m_levels;
    std::vector<quint64> m_wins;
    quint64 m_whole;
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
        // Every pick of s - 1 of the k elements, as bit masks in ascending order.
        for (unsigned pick = (1u << (s - 1)) - 1; pick < (1u << k);) {
            int size = 0;
            quint64 rest = 0;
            for (int i = 0; i < k; ++i) {
                if (pick & (1u << i))
                    subset[size_t(size++)] = elements[size_t(i)];
                else
                    rest |= quint64(1) << elements[size_t(i)];
            }
            completes[SubsetRank(subset.data(), size)] |= rest;
            if (pick == 0)
                break;
            const unsigned lowest = pick & (0u - pick);
            const unsigned carried = pick + lowest;
            pick = (((carried ^ pick) >> 2) / lowest) | carried;
        }
    }
    return completes;
}

// What "tier t + 1 or better" asks of a row with some count of hits: nothing
// it can meet, a bonus number among its other numbers, or nothing more.
enum class AtLeastNeed { Never, Bonus, Always };

constexpr AtLeastNeed NeedAt(int game, int t, int hits)
{
    const auto wins = [&](bool bonusHit) {
        const int tier = PrizeTier(game, hits, bonusHit);
        return tier >= 1 && tier <= t + 1;
    };
    // A row that hits every main number has no other number to be a bonus.
    const bool without = wins(false);
    const bool with = hits < GameRuleOf(game).PickCount ? wins(true) : without;
    if (with && without)
        return AtLeastNeed::Always;
    // Winning only without a bonus number is ruled out below.
    return with ? AtLeastNeed::Bonus : AtLeastNeed::Never;
}

// The counting below takes for granted, in every game and for every t, that
// more hits never do worse, that no tier needs a bonus number to be missed
// for "tier t or better", that every main number hit wins the first prize
// and that a win needs at least two hits, or one and a bonus number.
constexpr bool CountableTiers()
{
    for (int game = 0; game < GameRuleCount; ++game) {
        const int k = GameRuleOf(game).PickCount;
        for (int t = 0; t < TierCount(game); ++t) {
            for (int hits = 0; hits <= k; ++hits) {
                const bool without = PrizeTier(game, hits, false) >= 1
                                     && PrizeTier(game, hits, false) <= t + 1;
                if (without && NeedAt(game, t, hits) != AtLeastNeed::Always)
                    return false;
                if (hits > 0 && NeedAt(game, t, hits) < NeedAt(game, t, hits - 1))
                    return false;
            }
            if (NeedAt(game, t, k) != AtLeastNeed::Always
                || NeedAt(game, t, 1) == AtLeastNeed::Always
                || NeedAt(game, t, 0) != AtLeastNeed::Never)
                return false;
        }
    }
    return true;
}
static_assert(CountableTiers(), "the exact chance can count every game's tiers");

// The fewest hits that win tier t + 1 or better whatever the bonus, and the
// fewest that win it with a bonus number (the same when none does).
struct AtLeastHits
{
    int Always = 0;
    int Bonus = 0;
};

AtLeastHits HitsFor(int game, int t)
{
    const int k = GameRuleOf(game).PickCount;
    AtLeastHits hits{k + 1, k + 1};
    for (int h = k; h >= 0; --h) {
        const AtLeastNeed need = NeedAt(game, t, h);
        if (need == AtLeastNeed::Always)
            hits.Always = h;
        if (need != AtLeastNeed::Never)
            hits.Bonus = h;
    }
    return hits;
}

// The game row of the table a game's numbers come from.
int GameOf(const GameInfo &info)
{
    for (int g = 0; g < GameRuleCount; ++g) {
        const GameRule &rule = GameRuleOf(g);
        if (rule.HighestNumber == info.MaxNumber && rule.PickCount == info.PickCount
            && rule.BonusCount == info.BonusCount)
            return g;
    }
    return -1;
}

// The (k+1)-sets that hold at least one of the rows, marked on a bitmap of
// all of them.
std::vector<quint64> CoveringSupersets(const std::vector<NumberSet> &distinctRows, int n, int k)
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
    return bitmap;
}

// The elements of the size-subset of rank rank (the inverse of SubsetRank).
void UnrankSubset(quint64 rank, int size, int n, int *elements)
{
    int c = n - 1;
    for (int i = size; i >= 1; --i) {
        while (Choose(c, i) > rank)
            --c;
        elements[i - 1] = c;
        rank -= Choose(c, i);
        --c;
    }
}

// The outcomes won when the first prize needs all k main numbers and the
// second k - 1 with a bonus number among the row's others. That is so
// exactly when the main set D with one of the bonus numbers holds a row:
// with u(D) the numbers y for which D + y does, D wins C(m, b) - C(m - u, b)
// of the bonus choices. Each covering (k+1)-set adds one to u of each of its
// k-subsets; with one bonus number the sum is all that counts.
quint64 CountNearRows(const std::vector<NumberSet> &distinctRows, int n, int k, int b)
{
    if (distinctRows.empty())
        return 0;
    const std::vector<quint64> covering = CoveringSupersets(distinctRows, n, k);
    quint64 sets = 0;
    for (const quint64 word : covering)
        sets += quint64(BitCount(word));
    if (b == 1)
        return sets * quint64(k + 1);
    std::vector<quint8> near(size_t(Binomial(n, k)), 0);
    std::array<int, MaxPickCount + 1> elements{};
    for (size_t w = 0; w < covering.size(); ++w) {
        for (quint64 word = covering[w]; word != 0; word &= word - 1) {
            UnrankSubset(quint64(w) * 64 + quint64(__builtin_ctzll(word)), k + 1, n,
                         elements.data());
            // Rank of the set without element i: those below keep their
            // places, those above move down one.
            quint64 above = 0;
            for (int j = 1; j <= k; ++j)
                above += Choose(elements[size_t(j)], j);
            quint64 below = 0;
            for (int i = 0; i <= k; ++i) {
                ++near[size_t(below + above)];
                if (i < k) {
                    above -= Choose(elements[size_t(i + 1)], i + 1);
                    below += Choose(elements[size_t(i)], i + 1);
                }
            }
        }
    }
    const int m = n - k;
    quint64 count = 0;
    for (const quint8 u : near)
        count += Choose(m, b) - Choose(m - u, b);
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
    return Binomials.c[size_t(n)][size_t(k)];
}

quint64 MainOutcomes(const GameInfo &game)
{
    return Binomial(game.MaxNumber, game.PickCount);
}

quint64 BonusOutcomes(const GameInfo &game)
{
    return MainOutcomes(game) * Binomial(game.MaxNumber - game.PickCount, game.BonusCount);
}

bool AtLeastNeedsBonus(int game, int t)
{
    if (game < 0 || game >= GameRuleCount || t < 0 || t >= TierCount(game))
        return false;
    const AtLeastHits hits = HitsFor(game, t);
    return hits.Bonus < hits.Always;
}

std::array<quint64, MaxTiers> SingleRowTierOutcomes(const GameInfo &game)
{
    std::array<quint64, MaxTiers> tiers{};
    const int g = GameOf(game);
    if (g < 0)
        return tiers;
    const int n = game.MaxNumber;
    const int k = game.PickCount;
    const int b = game.BonusCount;
    const int outside = n - k; // the numbers a bonus is drawn from
    for (int hits = 0; hits <= k; ++hits) {
        // Main sets that hit so many of the row; then the bonus choices that
        // take none of the row's missed numbers, and those that take some.
        const quint64 mains = Binomial(k, hits) * Binomial(outside, k - hits);
        const quint64 missing = Binomial(outside - (k - hits), b);
        const quint64 all = Binomial(outside, b);
        if (const int tier = PrizeTier(g, hits, false); tier > 0)
            tiers[size_t(tier - 1)] += mains * missing;
        if (const int tier = PrizeTier(g, hits, true); tier > 0)
            tiers[size_t(tier - 1)] += mains * (all - missing);
    }
    return tiers;
}

namespace {

// One count: main sets of a tier's "or better" whose smallest number is
// first; all of them by CountNearRows when first is -1.
struct ChanceTask
{
    int Tier = 0;
    int First = 0;
};

// Per size s, the numbers completing each (s-1)-subset of a row to the row's
// s-subsets; only the sizes the game's tiers ask for are made.
std::vector<std::vector<quint64>> MarkNeededSubsets(int game, const std::vector<NumberSet> &rows,
                                                    int n, int k)
{
    std::vector<std::vector<quint64>> marks(size_t(k + 1));
    const auto need = [&](int s) {
        if (marks[size_t(s)].empty())
            marks[size_t(s)] = MarkSubsets(rows, n, s);
    };
    for (int t = 0; t < TierCount(game); ++t) {
        const AtLeastHits hits = HitsFor(game, t);
        if (hits.Always == k && hits.Bonus >= k - 1)
            continue; // the rows themselves, or CountNearRows
        need(hits.Always);
        for (int h = hits.Bonus; h < hits.Always; ++h)
            need(h + 1);
    }
    return marks;
}

CoverCounter CounterFor(int game, int t, const GameInfo &info,
                        const std::vector<std::vector<quint64>> &marks)
{
    const int n = info.MaxNumber;
    const int k = info.PickCount;
    const AtLeastHits hits = HitsFor(game, t);
    if (hits.Bonus == hits.Always)
        return CoverCounter(n, k, hits.Always, marks[size_t(hits.Always)]);
    std::vector<BonusLevel> levels;
    for (int h = hits.Bonus; h < hits.Always; ++h)
        levels.push_back({h, &marks[size_t(h + 1)]});
    const int outside = n - k;
    std::vector<quint64> wins(size_t(n + 1), 0);
    for (int u = 0; u <= outside; ++u)
        wins[size_t(u)] = Binomial(outside, info.BonusCount)
                          - Binomial(outside - u, info.BonusCount);
    return CoverCounter(n, k, hits.Always, marks[size_t(hits.Always)], std::move(levels),
                        std::move(wins), Binomial(outside, info.BonusCount));
}

// The rows that are combinations of the game, each once: only they have a
// place among its outcomes.
std::vector<NumberSet> DistinctCombinations(const std::vector<NumberSet> &rows, int n, int k)
{
    std::vector<NumberSet> distinct;
    distinct.reserve(rows.size());
    for (const NumberSet row : rows) {
        if (CountNumbers(row) == k && (row & ~NumbersUpTo(n)) == 0)
            distinct.push_back(row);
    }
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    return distinct;
}

// One task per tier and smallest element of the main set, but for a tier
// won by the rows themselves alone.
std::vector<ChanceTask> ChanceTasks(int game, int n, int k)
{
    std::vector<ChanceTask> tasks;
    for (int t = 0; t < TierCount(game); ++t) {
        const AtLeastHits hits = HitsFor(game, t);
        if (hits.Always == k && hits.Bonus == k)
            continue;
        if (hits.Always == k && hits.Bonus == k - 1) {
            tasks.push_back({t, -1});
            continue;
        }
        for (int first = 0; first <= n - k; ++first)
            tasks.push_back({t, first});
    }
    return tasks;
}

} // namespace

ChanceResult ComputeChance(int game, const GameInfo &info, const std::vector<NumberSet> &rows,
                           WorkControl &control, int threads)
{
    ChanceResult result;
    const int n = info.MaxNumber;
    const int k = info.PickCount;
    const int tiers = TierCount(game);
    result.Rows = qint64(rows.size());

    const std::vector<NumberSet> distinct = DistinctCombinations(rows, n, k);
    result.DistinctRows = qint64(distinct.size());
    const std::vector<std::vector<quint64>> marks = MarkNeededSubsets(game, distinct, n, k);
    const std::vector<ChanceTask> tasks = ChanceTasks(game, n, k);
    std::vector<quint64> counts(tasks.size(), 0);
    control.start(qint64(tasks.size()));
    RunTasks(int(tasks.size()), ThreadCount(threads), control, [&](int i) {
        const ChanceTask &task = tasks[size_t(i)];
        counts[size_t(i)] = task.First < 0 ? CountNearRows(distinct, n, k, info.BonusCount)
                                           : CounterFor(game, task.Tier, info, marks)
                                                 .countWithSmallest(task.First);
    });
    if (control.isCancelled()) {
        result.Cancelled = true;
        return result;
    }

    const quint64 mainOutcomes = MainOutcomes(info);
    const quint64 bonusOutcomes = BonusOutcomes(info);
    for (int t = 0; t < tiers; ++t)
        result.AtLeast[size_t(t)] = {0, AtLeastNeedsBonus(game, t) ? bonusOutcomes : mainOutcomes};
    for (size_t i = 0; i < tasks.size(); ++i)
        result.AtLeast[size_t(tasks[i].Tier)].Winning += counts[i];
    for (int t = 0; t < tiers; ++t) {
        const AtLeastHits hits = HitsFor(game, t);
        if (hits.Always == k && hits.Bonus == k)
            result.AtLeast[size_t(t)].Winning = quint64(distinct.size());
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
