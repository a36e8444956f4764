#include "core/WheelSpread.h"

#include "core/PrizeChance.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <thread>

namespace {

constexpr quint64 CoveredFlag = quint64(1) << 63;
constexpr int MaxPick = 7;
constexpr int MaxKept = 20; // C(6, 3): the most subsets of one size a walked set keeps

quint64 Ways(int n, int k)
{
    return n < 0 ? 0 : Binomial(n, k);
}

// The rows' numbers relabelled 0..v-1 and, for every hit count a tier needs
// short of all, a table over the subsets of that size: whether some row holds
// the subset, and the row numbers besides it (which a bonus may then hit).
struct SpreadTables
{
    int N = 0, K = 0, Bonus = 0, V = 0;
    std::vector<quint64> Rows; // sorted, for the tiers that need every number
    std::vector<int> Level;    // per tier: index into Tables, -1 for all K hits
    std::vector<std::vector<quint64>> Tables;
    std::vector<int> LevelHits;
};

void SubsetMasks(quint64 set, int size, quint64 prefix, std::vector<quint64> &out)
{
    if (size == 0) {
        out.push_back(prefix);
        return;
    }
    for (quint64 rest = set; __builtin_popcountll(rest) >= size; rest &= rest - 1) {
        const quint64 bit = rest & (~rest + 1);
        SubsetMasks(rest & ~bit, size - 1, prefix | bit, out);
    }
}

quint32 Rank(quint64 set)
{
    quint64 rank = 0;
    for (int i = 1; set != 0; ++i, set &= set - 1)
        rank += Binomial(__builtin_ctzll(set), i);
    return quint32(rank);
}

} // namespace

namespace {

SpreadTables MakeTables(const WheelGame &game, const std::vector<std::vector<int>> &rows)
{
    SpreadTables tables;
    tables.N = game.MaxNumber;
    tables.K = game.PickCount;
    tables.Bonus = game.BonusCount;
    std::vector<int> numbers;
    for (const std::vector<int> &row : rows)
        numbers.insert(numbers.end(), row.begin(), row.end());
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    tables.V = int(numbers.size());
    for (const std::vector<int> &row : rows) {
        quint64 mask = 0;
        for (const int n : row)
            mask |= quint64(1) << (std::lower_bound(numbers.begin(), numbers.end(), n)
                                   - numbers.begin());
        tables.Rows.push_back(mask);
    }
    std::sort(tables.Rows.begin(), tables.Rows.end());
    for (const WheelTier &tier : game.Tiers) {
        if (tier.Hits >= tables.K) {
            tables.Level.push_back(-1);
            continue;
        }
        auto at = std::find(tables.LevelHits.begin(), tables.LevelHits.end(), tier.Hits);
        if (at == tables.LevelHits.end()) {
            tables.LevelHits.push_back(tier.Hits);
            at = tables.LevelHits.end() - 1;
        }
        tables.Level.push_back(int(at - tables.LevelHits.begin()));
    }
    std::vector<quint64> subsets;
    for (const int hits : tables.LevelHits) {
        std::vector<quint64> table(size_t(Ways(tables.V, hits)), 0);
        for (const quint64 row : tables.Rows) {
            subsets.clear();
            SubsetMasks(row, hits, 0, subsets);
            for (const quint64 subset : subsets)
                table[Rank(subset)] |= CoveredFlag | (row & ~subset);
        }
        tables.Tables.push_back(std::move(table));
    }
    return tables;
}

// Walks every subset S of the rows' numbers with at most K elements, the
// elements added in increasing order, so a subset's rank grows by C(x, size)
// when x joins it. Each S stands for the C(N - v, K - |S|) main draws that
// meet the rows' numbers in S.
class SpreadWalk
{
public:
    SpreadWalk(const WheelGame &game, const SpreadTables &tables)
        : m_game(game)
        , m_t(tables)
        , m_winning(game.Tiers.size(), 0)
    {
        // Main draws per size of S; bonus draws that hit one of c numbers.
        for (int size = 0; size <= m_t.K; ++size)
            m_draws.push_back(Ways(m_t.N - m_t.V, m_t.K - size));
        const int pool = m_t.N - m_t.K;
        m_allBonus = Ways(pool, m_t.Bonus);
        for (int c = 0; c <= 64; ++c)
            m_bonusWays.push_back(m_allBonus - Ways(pool - c, m_t.Bonus));
    }

    void walkFrom(int first)
    {
        Node root;
        root.counts[0] = 1;
        root.ranks[0][0] = 0;
        visit(root, first, first);
    }
    const std::vector<quint64> &winning() const { return m_winning; }

private:
    struct Node
    {
        quint64 set = 0;
        int size = 0;
        std::array<quint64, MaxPick> held{}; // per level: flag and numbers left
        // Left unset past counts: a node is made for every subset walked.
        std::array<std::array<quint32, MaxKept>, MaxPick> ranks;
        std::array<int, MaxPick> counts{};
    };

    void visit(const Node &node, int low, int high)
    {
        for (int x = low; x <= high; ++x) {
            Node child;
            extend(node, x, child);
            score(child);
            if (child.size < m_t.K)
                visit(child, x + 1, m_t.V - 1);
        }
    }

    void extend(const Node &node, int x, Node &child) const
    {
        child.set = node.set | (quint64(1) << x);
        child.size = node.size + 1;
        child.held = node.held;
        for (size_t l = 0; l < m_t.LevelHits.size(); ++l) {
            const int below = m_t.LevelHits[l] - 1;
            const quint64 gain = Binomial(x, below + 1);
            for (int i = 0; i < node.counts[size_t(below)]; ++i)
                child.held[l] |= m_t.Tables[l][node.ranks[size_t(below)][size_t(i)] + gain];
        }
        if (child.size >= m_t.K)
            return;
        // A set short of K elements keeps its subsets of each size a level
        // may still extend: at most C(6, 3) of one size.
        child.counts[0] = 1;
        child.ranks[0][0] = 0;
        for (int j = 1; j <= child.size && j < m_t.K - 1; ++j) {
            int count = node.counts[size_t(j)];
            std::copy_n(node.ranks[size_t(j)].begin(), count, child.ranks[size_t(j)].begin());
            const quint32 gain = quint32(Binomial(x, j));
            for (int i = 0; i < node.counts[size_t(j - 1)]; ++i)
                child.ranks[size_t(j)][size_t(count++)] = node.ranks[size_t(j - 1)][size_t(i)]
                                                          + gain;
            child.counts[size_t(j)] = count;
        }
    }

    void score(const Node &node)
    {
        const quint64 draws = m_draws[size_t(node.size)];
        if (draws == 0)
            return;
        const quint64 allBonus = m_allBonus;
        quint64 bonusHits = 0;
        bool won = false;
        for (size_t i = 0; i < m_game.Tiers.size(); ++i) {
            const WheelTier &tier = m_game.Tiers[i];
            const int level = m_t.Level[i];
            const quint64 held = level < 0 ? 0 : node.held[size_t(level)];
            if (tier.BonusHits > 0) {
                if (held & CoveredFlag)
                    bonusHits |= held & ~CoveredFlag & ~node.set;
            } else if (level < 0) {
                won = won
                      || (node.size == m_t.K
                          && std::binary_search(m_t.Rows.begin(), m_t.Rows.end(), node.set));
            } else {
                won = won || (held & CoveredFlag) != 0;
            }
            const quint64 ways = won ? allBonus
                                     : m_bonusWays[size_t(__builtin_popcountll(bonusHits))];
            m_winning[i] += draws * ways;
        }
    }

    const WheelGame &m_game;
    const SpreadTables &m_t;
    std::vector<quint64> m_winning;
    std::vector<quint64> m_draws;
    std::vector<quint64> m_bonusWays;
    quint64 m_allBonus = 0;
};

// The chance that one row wins tier i or better, over all outcomes.
std::vector<double> SingleRow(const WheelGame &game)
{
    const int n = game.MaxNumber;
    const int k = game.PickCount;
    const int pool = n - k;
    const quint64 allBonus = Ways(pool, game.BonusCount);
    const double outcomes = double(Ways(n, k)) * double(allBonus);
    std::vector<double> chance(game.Tiers.size(), 0.0);
    for (int hits = 0; hits <= k; ++hits) {
        const quint64 draws = Ways(k, hits) * Ways(n - k, k - hits);
        bool won = false;
        bool bonusWins = false;
        for (size_t i = 0; i < game.Tiers.size(); ++i) {
            const WheelTier &tier = game.Tiers[i];
            if (tier.BonusHits > 0)
                bonusWins = bonusWins || hits >= tier.Hits;
            else
                won = won || hits >= tier.Hits;
            const quint64 ways = won         ? allBonus
                                 : bonusWins ? allBonus - Ways(pool - (k - hits), game.BonusCount)
                                             : 0;
            chance[i] += double(draws) * double(ways) / outcomes;
        }
    }
    return chance;
}

} // namespace

WheelSpread ComputeWheelSpread(const WheelGame &game, const std::vector<std::vector<int>> &rows,
                               const std::atomic<bool> *stop)
{
    WheelSpread spread;
    if (game.PickCount > MaxPick || game.MaxNumber > 62)
        return spread;
    const SpreadTables tables = MakeTables(game, rows);
    std::atomic<int> next{0};
    std::vector<SpreadWalk> walks(2, SpreadWalk(game, tables));
    const auto work = [&](SpreadWalk &walk) {
        for (int x = next++; x < tables.V; x = next++) {
            if (stop && stop->load())
                return;
            walk.walkFrom(x);
        }
    };
    std::thread helper(work, std::ref(walks[1]));
    work(walks[0]);
    helper.join();
    if (stop && stop->load()) {
        spread.Cancelled = true;
        return spread;
    }
    const std::vector<double> single = SingleRow(game);
    const quint64 outcomes = Ways(game.MaxNumber, game.PickCount)
                             * Ways(game.MaxNumber - game.PickCount, game.BonusCount);
    for (size_t i = 0; i < game.Tiers.size(); ++i) {
        WheelTierSpread tier;
        tier.Name = game.Tiers[i].Name;
        tier.Winning = walks[0].winning()[i] + walks[1].winning()[i];
        tier.Outcomes = outcomes;
        tier.RandomRows = -std::expm1(double(rows.size()) * std::log1p(-single[i]));
        spread.Tiers.push_back(tier);
    }
    return spread;
}
