#include "core/CoverSearch.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int MaxElements = 64;
constexpr int MaxSubset = 8;

struct Choose
{
    std::array<std::array<quint64, MaxSubset + 1>, MaxElements + 1> c{};
    Choose()
    {
        for (int n = 0; n <= MaxElements; ++n) {
            c[size_t(n)][0] = 1;
            for (int k = 1; k <= MaxSubset; ++k)
                c[size_t(n)][size_t(k)] = n == 0 ? 0
                                                 : c[size_t(n - 1)][size_t(k - 1)]
                                                       + c[size_t(n - 1)][size_t(k)];
        }
    }
};

const Choose &Binomials()
{
    static const Choose table;
    return table;
}

// The position patterns of every size among up to MaxSubset positions.
struct Patterns
{
    std::array<std::array<std::vector<quint8>, MaxSubset + 1>, MaxSubset + 1> bySize;
    Patterns()
    {
        for (int n = 0; n <= MaxSubset; ++n)
            for (unsigned p = 0; p < (1u << n); ++p)
                bySize[size_t(n)][size_t(__builtin_popcount(p))].push_back(quint8(p));
    }
};

const Patterns &PositionPatterns()
{
    static const Patterns patterns;
    return patterns;
}

// Every subset of `set` with `size` elements, appended to out.
void SubsetsOf(quint64 set, int size, std::vector<quint64> &out)
{
    std::array<quint64, MaxElements> bits;
    int n = 0;
    for (quint64 rest = set; rest != 0; rest &= rest - 1)
        bits[size_t(n++)] = rest & (~rest + 1);
    if (size > n)
        return;
    if (n <= MaxSubset) {
        // Small sets, the rows: every pattern of positions at once.
        std::array<quint64, 1 << MaxSubset> spread;
        spread[0] = 0;
        for (unsigned p = 1; p < (1u << n); ++p)
            spread[p] = spread[p & (p - 1)] | bits[size_t(__builtin_ctz(p))];
        for (const quint8 p : PositionPatterns().bySize[size_t(n)][size_t(size)])
            out.push_back(spread[p]);
        return;
    }
    std::array<int, MaxSubset + 1> pick{};
    for (int i = 0; i < size; ++i)
        pick[size_t(i)] = i;
    while (true) {
        quint64 subset = 0;
        for (int i = 0; i < size; ++i)
            subset |= bits[size_t(pick[size_t(i)])];
        out.push_back(subset);
        int i = size - 1;
        while (i >= 0 && pick[size_t(i)] == n - size + i)
            --i;
        if (i < 0)
            return;
        ++pick[size_t(i)];
        for (int j = i + 1; j < size; ++j)
            pick[size_t(j)] = pick[size_t(j - 1)] + 1;
    }
}

// Bits set. Spelt out: built for any x86-64, the compiler's own is a slow
// library call, and the walk counts shared elements of every row each step.
int Count(quint64 set)
{
    set -= (set >> 1) & 0x5555555555555555ull;
    set = (set & 0x3333333333333333ull) + ((set >> 2) & 0x3333333333333333ull);
    set = (set + (set >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return int((set * 0x0101010101010101ull) >> 56);
}

} // namespace

CoverSearch::CoverSearch(const CoverProblem &problem, quint64 seed, bool anneal)
    : m_p(problem)
    , m_anneal(anneal)
    , m_random(seed)
{
    m_all = m_p.V >= 64 ? ~quint64(0) : (quint64(1) << m_p.V) - 1;
    m_caseCount = Binomials().c[size_t(m_p.V)][size_t(m_p.M)];
    m_count.assign(size_t(m_caseCount), 0);
    m_openAt.assign(size_t(m_caseCount), -1);
    m_open.reserve(size_t(m_caseCount));
}

// Colexicographic rank among the m-sets, the order in which the next larger
// number with as many bits set comes next.
quint32 CoverSearch::rank(quint64 set) const
{
    const Choose &b = Binomials();
    quint64 r = 0;
    for (size_t i = 1; set != 0; ++i, set &= set - 1)
        r += b.c[size_t(__builtin_ctzll(set))][i];
    return quint32(r);
}

quint64 CoverSearch::random(quint64 below)
{
    return below <= 1 ? 0 : m_random() % below;
}

void CoverSearch::cover(quint32 r, int change)
{
    quint32 &count = m_count[r];
    if (change > 0 && count++ == 0) {
        // Covered now: the last open one takes its place.
        const qint32 at = m_openAt[r];
        m_open[size_t(at)] = m_open.back();
        m_openAt[m_open.back()] = at;
        m_open.pop_back();
        m_openAt[r] = -1;
    } else if (change < 0 && --count == 0) {
        m_openAt[r] = qint32(m_open.size());
        m_open.push_back(r);
    }
}

template<typename F>
void CoverSearch::forEachCovered(quint64 row, F f) const
{
    std::vector<quint64> inside;
    std::vector<quint64> outside;
    for (int j = m_p.T; j <= std::min(m_p.K, m_p.M); ++j) {
        inside.clear();
        outside.clear();
        SubsetsOf(row, j, inside);
        SubsetsOf(m_all & ~row, m_p.M - j, outside);
        for (const quint64 a : inside)
            for (const quint64 b : outside)
                f(a | b);
    }
}

void CoverSearch::addRow(quint64 row)
{
    m_rows.push_back(row);
    m_tabu.resize(m_rows.size() * size_t(m_p.V), 0);
    forEachCovered(row, [&](quint64 set) { cover(rank(set), +1); });
}

void CoverSearch::removeRow(size_t index)
{
    forEachCovered(m_rows[index], [&](quint64 set) { cover(rank(set), -1); });
    const size_t last = m_rows.size() - 1;
    m_rows[index] = m_rows[last];
    std::copy_n(m_tabu.begin() + qint64(last) * m_p.V, m_p.V,
                m_tabu.begin() + qint64(index) * m_p.V);
    m_rows.pop_back();
    m_tabu.resize(m_rows.size() * size_t(m_p.V));
}

namespace {

// The m-set of colexicographic rank r.
quint64 Unrank(quint64 r, int m, int v)
{
    const Choose &b = Binomials();
    quint64 set = 0;
    int e = v - 1;
    for (int i = m; i >= 1; --i) {
        while (b.c[size_t(e)][size_t(i)] > r)
            --e;
        set |= quint64(1) << e;
        r -= b.c[size_t(e)][size_t(i)];
        --e;
    }
    return set;
}

// One element of a non-empty set, each as likely.
int RandomElement(quint64 set, std::mt19937_64 &random)
{
    for (quint64 skip = random() % quint64(Count(set)); skip > 0; --skip)
        set &= set - 1;
    return __builtin_ctzll(set);
}

} // namespace

// Rows that each cover a random uncovered m-set, filled with the elements
// that cover the most others still open.
bool CoverSearch::startGreedy(const StopCheck &stop)
{
    for (quint64 r = 0; r < m_caseCount; ++r) {
        m_openAt[size_t(r)] = qint32(r);
        m_open.push_back(quint32(r));
    }
    std::vector<quint64> parts;
    while (!m_open.empty()) {
        const quint64 target = Unrank(m_open[size_t(random(m_open.size()))], m_p.M, m_p.V);
        quint64 row = 0;
        for (quint64 rest = target; Count(row) < m_p.T; rest &= rest - 1) {
            if (random(2) == 0 || Count(rest) <= m_p.T - Count(row))
                row |= rest & (~rest + 1);
        }
        while (Count(row) < m_p.K) {
            parts.clear();
            if (m_p.M == m_p.T)
                SubsetsOf(row, m_p.T - 1, parts);
            int best = -1;
            quint64 chosen = 0;
            int ties = 0;
            for (int e = 0; e < m_p.V; ++e) {
                const quint64 bit = quint64(1) << e;
                if (row & bit)
                    continue;
                int gain = 0;
                for (const quint64 part : parts)
                    gain += m_count[rank(part | bit)] == 0 ? 1 : 0;
                if (gain > best)
                    ties = 0;
                if (gain >= best && random(quint64(++ties)) == 0)
                    chosen = bit;
                best = std::max(best, gain);
            }
            row |= chosen;
        }
        addRow(row);
        if (stop(0))
            return false;
    }
    return true;
}

// The row whose loss uncovers the fewest m-sets.
size_t CoverSearch::leastUsefulRow()
{
    size_t chosen = 0;
    int fewest = -1;
    int ties = 0;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        int only = 0;
        forEachCovered(m_rows[i], [&](quint64 set) { only += m_count[rank(set)] == 1 ? 1 : 0; });
        if (fewest < 0 || only < fewest) {
            fewest = only;
            ties = 0;
        }
        if (only == fewest && random(quint64(++ties)) == 0)
            chosen = i;
    }
    return chosen;
}

// Moving `out` of a row for `in` uncovers the m-sets that meet the row in
// exactly t elements, `out` among them and `in` not; it covers the ones that
// meet it in t - 1 elements besides `out` and hold `in`. Both are those t - 1
// elements with `out` or `in` and m - t elements from outside the row.
void CoverSearch::fillPairs(quint64 row, int out, int in)
{
    m_subsets.clear();
    m_others.clear();
    const quint64 outBit = quint64(1) << out;
    const quint64 inBit = quint64(1) << in;
    SubsetsOf(row & ~outBit, m_p.T - 1, m_subsets);
    SubsetsOf(m_all & ~row & ~inBit, m_p.M - m_p.T, m_others);
    m_lost.clear();
    m_gained.clear();
    for (const quint64 a : m_subsets) {
        for (const quint64 b : m_others) {
            m_lost.push_back(rank(a | b | outBit));
            m_gained.push_back(rank(a | b | inBit));
        }
    }
}

int CoverSearch::moveDelta(quint64 row, int out, int in)
{
    fillPairs(row, out, in);
    int delta = 0;
    for (size_t i = 0; i < m_lost.size(); ++i) {
        delta += m_count[m_lost[i]] == 1 ? 1 : 0;
        delta -= m_count[m_gained[i]] == 0 ? 1 : 0;
    }
    return delta;
}

void CoverSearch::applyMove(size_t index, int out, int in)
{
    fillPairs(m_rows[index], out, in);
    for (size_t i = 0; i < m_lost.size(); ++i) {
        cover(quint32(m_gained[i]), +1);
        cover(quint32(m_lost[i]), -1);
    }
    m_rows[index] = (m_rows[index] & ~(quint64(1) << out)) | (quint64(1) << in);
}

// One move: the best one that brings a random uncovered m-set under a row
// that already meets it most. A move that undoes a recent one is skipped
// unless it leaves fewer uncovered than ever at this size.
void CoverSearch::step(qint64 now)
{
    const quint64 target = Unrank(m_open[size_t(random(m_open.size()))], m_p.M, m_p.V);
    nearRows(target);
    int bestDelta = 0;
    bool any = false;
    // Now and then a random move of those, so the walk does not circle.
    size_t bestRow = m_near[size_t(random(m_near.size()))];
    int bestOut = RandomElement(m_rows[bestRow] & ~target, m_random);
    int bestIn = RandomElement(target & ~m_rows[bestRow], m_random);
    int ties = 0;
    const bool noise = random(NoiseOneIn) == 0;
    for (const size_t i : m_near) {
        const quint64 row = m_rows[i];
        for (quint64 ins = target & ~row; ins != 0 && !noise; ins &= ins - 1) {
            const int in = __builtin_ctzll(ins);
            rowDeltas(row, target, in);
            const bool tabu = m_tabu[i * size_t(m_p.V) + size_t(in)] > now;
            for (quint64 outs = row & ~target; outs != 0; outs &= outs - 1) {
                const int out = __builtin_ctzll(outs);
                const int delta = m_deltaOf[size_t(out)];
                if (tabu && qint64(m_open.size()) + delta >= qint64(m_bestOpen))
                    continue;
                if (!any || delta < bestDelta) {
                    bestDelta = delta;
                    ties = 0;
                    any = true;
                }
                if (delta == bestDelta && random(quint64(++ties)) == 0) {
                    bestRow = i;
                    bestOut = out;
                    bestIn = in;
                }
            }
        }
    }
    applyMove(bestRow, bestOut, bestIn);
    m_tabu[bestRow * size_t(m_p.V) + size_t(bestOut)] = now + 2 + qint64(random(10));
}

// The change in open m-sets of moving each element of the row outside
// target for `in`. With m = t the sets a move uncovers depend on `out` alone,
// and the ones it covers are those for `in` less the ones holding `out`, so
// one pass over the row's subsets serves every `out`.
void CoverSearch::rowDeltas(quint64 row, quint64 target, int in)
{
    if (m_p.M != m_p.T) {
        for (quint64 outs = row & ~target; outs != 0; outs &= outs - 1) {
            const int out = __builtin_ctzll(outs);
            m_deltaOf[size_t(out)] = moveDelta(row, out, in);
        }
        return;
    }
    for (quint64 outs = row; outs != 0; outs &= outs - 1)
        m_deltaOf[size_t(__builtin_ctzll(outs))] = 0;
    m_subsets.clear();
    SubsetsOf(row, m_p.T, m_subsets);
    for (const quint64 set : m_subsets) {
        if (m_count[rank(set)] != 1)
            continue;
        for (quint64 e = set; e != 0; e &= e - 1)
            ++m_deltaOf[size_t(__builtin_ctzll(e))];
    }
    m_subsets.clear();
    SubsetsOf(row, m_p.T - 1, m_subsets);
    const quint64 inBit = quint64(1) << in;
    int gained = 0;
    for (const quint64 set : m_subsets) {
        if (m_count[rank(set | inBit)] != 0)
            continue;
        ++gained;
        // Moving one of these elements out does not cover this set.
        for (quint64 e = set; e != 0; e &= e - 1)
            ++m_deltaOf[size_t(__builtin_ctzll(e))];
    }
    for (quint64 outs = row; outs != 0; outs &= outs - 1)
        m_deltaOf[size_t(__builtin_ctzll(outs))] -= gained;
}

// Keeps a complete cover if it is the smallest yet and drops its least
// useful row; false once it is small enough.
bool CoverSearch::keepCover(int targetRows, const Found &found)
{
    if (m_best.empty() || m_rows.size() < m_best.size()) {
        m_best = m_rows;
        found(m_best);
    }
    if (int(m_rows.size()) <= std::max(targetRows, 1))
        return false;
    removeRow(leastUsefulRow());
    m_bestOpen = m_open.size();
    return true;
}

void CoverSearch::reset()
{
    std::fill(m_count.begin(), m_count.end(), 0);
    std::fill(m_openAt.begin(), m_openAt.end(), -1);
    m_open.clear();
    m_rows.clear();
    m_tabu.clear();
    m_bestOpen = 0;
}

// The tabu walk comes down fast from the greedy rows. Once it finds no
// smaller cover for long it is caught in one region of the space: it hands
// over to annealing (true), or starts afresh from its own greedy rows and is
// given longer each time. A walk that took long to come down is never cut
// sooner than it took, so large cases keep their progress. False when the
// search is over (stop, or small enough).
bool CoverSearch::walk(int targetRows, const StopCheck &stop, const Found &found)
{
    qint64 lastCover = m_steps;
    qint64 walkStart = m_steps;
    qint64 patience = WalkPatience;
    for (;; ++m_steps) {
        if (m_open.empty()) {
            if (!keepCover(targetRows, found))
                return false;
            lastCover = m_steps;
            continue;
        }
        // Every step: one step of a large lotto case can take long.
        if (stop(m_steps))
            return false;
        if (m_steps - lastCover > std::max(patience, lastCover - walkStart)) {
            if (m_anneal)
                return true;
            reset();
            if (!startGreedy(stop))
                return false;
            lastCover = walkStart = m_steps;
            patience += patience / 2;
            continue;
        }
        step(m_steps);
        m_bestOpen = std::min(m_bestOpen, m_open.size());
    }
}

std::vector<quint64> CoverSearch::run(int targetRows, const StopCheck &stop, const Found &found)
{
    m_best.clear();
    m_steps = 0;
    if (m_caseCount == 0 || m_p.K > m_p.V || m_p.T > m_p.M || m_p.T > m_p.K)
        return m_best;
    if (startGreedy(stop) && walk(targetRows, stop, found))
        anneal(targetRows, stop, found);
    return m_best;
}

// The rows that share the most elements with target, into m_near.
void CoverSearch::nearRows(quint64 target)
{
    int most = -1;
    m_near.clear();
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const int shared = Count(m_rows[i] & target);
        if (shared > most) {
            most = shared;
            m_near.clear();
        }
        if (shared == most)
            m_near.push_back(i);
    }
}

// A row nearest target, found from a random place on: the first that
// meets it in t - 1 elements, the most an uncovered m-set can share with a
// row, else the first of those that meet it most.
size_t CoverSearch::nearRow(quint64 target)
{
    const size_t rows = m_rows.size();
    const size_t start = size_t(random(rows));
    size_t chosen = start;
    int most = -1;
    for (size_t n = 0, i = start; n < rows; ++n, i = i + 1 == rows ? 0 : i + 1) {
        const int shared = Count(m_rows[i] & target);
        if (shared >= m_p.T - 1)
            return i;
        if (shared > most) {
            most = shared;
            chosen = i;
        }
    }
    return chosen;
}

// Annealing at a fixed number of rows, as covering designs are searched:
// the cost is the number of uncovered m-sets; a move takes a random
// uncovered one, a row nearest it, and swaps an element of the row outside
// it for one of it outside the row. Worse moves pass with a chance that
// falls as the round cools. A round that ends uncovered is run again from
// where it stopped, hotter and twice as long; a cover loses a row.
void CoverSearch::anneal(int targetRows, const StopCheck &stop, const Found &found)
{
    const qint64 first = AnnealFirst + qint64(m_rows.size()) * m_p.K * (m_p.V - m_p.K);
    qint64 length = first;
    while (true) {
        if (m_open.empty()) {
            if (!keepCover(targetRows, found))
                return;
            length = first;
            continue;
        }
        if (!annealRound(length, stop))
            return;
        if (!m_open.empty())
            length = std::min(length * 2, AnnealLongest);
    }
}

// One cooling from AnnealHot to AnnealCold over `length` steps, ending
// early once all are covered. False when stopped.
bool CoverSearch::annealRound(qint64 length, const StopCheck &stop)
{
    std::array<double, AcceptSize> accept{};
    for (qint64 i = 0; i < length && !m_open.empty(); ++i, ++m_steps) {
        if (i % 1024 == 0) {
            const double heat = AnnealHot
                                * std::pow(AnnealCold / AnnealHot, double(i) / double(length));
            for (size_t d = 1; d < AcceptSize; ++d)
                accept[d] = std::exp(-double(d) / heat);
        }
        if (stop(m_steps))
            return false;
        annealStep(accept);
    }
    return true;
}

void CoverSearch::annealStep(const std::array<double, AcceptSize> &accept)
{
    const quint64 target = Unrank(m_open[size_t(random(m_open.size()))], m_p.M, m_p.V);
    const size_t index = nearRow(target);
    const quint64 row = m_rows[index];
    const int out = RandomElement(row & ~target, m_random);
    const int in = RandomElement(target & ~row, m_random);
    const int delta = moveDelta(row, out, in);
    if (delta > 0) {
        if (size_t(delta) >= AcceptSize)
            return;
        const double chance = double(m_random() >> 11) * 0x1.0p-53;
        if (chance >= accept[size_t(delta)])
            return;
    }
    applyMove(index, out, in);
}
