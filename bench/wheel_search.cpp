// Offline search for the small wheels a dialog has no time to find; what it
// prints is a line of data/wheels.txt. Covering designs (m = t) only.
//   wheel_search v k t [--group N[mA][s] --fixed F --gens G --exact 1 --norm G
//                       --extra X --anneal H --weigh F --seconds S --after S
//                       --seed N --target R --start FILE]
// First the rows are chosen orbit by orbit under a cyclic group: it turns the
// v - F points in cycles of N and fixes the others (N 1: no group); mA also
// multiplies each cycle by A, s also turns the cycles into each other; --gens
// names any group by its generators instead (see Generators). Each
// case and each row then stands for its whole orbit, so the search space
// shrinks by the group's order and a cover over orbits finds far smaller
// wheels than one over rows. The best such wheel is then improved row by row,
// without the group, for --after seconds more. A start file holds lines of
// wheels.txt (or rows alone, one per line): its rows start that second stage,
// the first then skipped; rows one short get the number v (see ReadRows).
// --exact 1 searches the orbits exhaustively for a wheel of --target rows
// instead: it finds one or shows there is none under that group; --norm
// names a larger group that maps the orbits onto orbits, so that of choices
// it maps onto each other only one is searched; --extra X
// lets X rows outside the orbits join them. --anneal H searches the rows
// alone by simulated annealing at the heat H instead (0.25 serves). --weigh F
// searches the orbits by row weighting for --target rows, F of them rows the
// group fixes, the rest whole orbits (a group of prime order).
// With the same options and seed, a search that stops at its target gives
// the same rows.
#include "core/WheelCheck.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <numeric>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Mask = std::uint64_t;

std::uint64_t Binomial(int n, int k)
{
    if (k < 0 || k > n)
        return 0;
    std::uint64_t r = 1;
    for (int i = 1; i <= k; ++i)
        r = r * std::uint64_t(n - k + i) / std::uint64_t(i);
    return r;
}

struct Colex
{
    std::vector<std::vector<std::uint64_t>> c;
    explicit Colex(int v)
    {
        c.assign(size_t(v + 1), std::vector<std::uint64_t>(9, 0));
        for (int n = 0; n <= v; ++n)
            for (int k = 0; k <= 8; ++k)
                c[size_t(n)][size_t(k)] = Binomial(n, k);
    }
    // Gosper's order, the next larger number with as many bits, is this rank.
    std::uint32_t rank(Mask set) const
    {
        std::uint64_t r = 0;
        for (size_t i = 1; set != 0; ++i, set &= set - 1)
            r += c[size_t(__builtin_ctzll(set))][i];
        return std::uint32_t(r);
    }
};

Mask NextSameBits(Mask x)
{
    const Mask low = x & (~x + 1);
    const Mask ripple = x + low;
    return ripple | (((x ^ ripple) >> 2) / low);
}

Mask Apply(const std::vector<int> &perm, Mask set)
{
    Mask out = 0;
    for (; set != 0; set &= set - 1)
        out |= Mask(1) << perm[size_t(__builtin_ctzll(set))];
    return out;
}

void SubsetsOf(Mask set, int size, std::vector<Mask> &out)
{
    std::vector<Mask> bits;
    for (; set != 0; set &= set - 1)
        bits.push_back(set & (~set + 1));
    const int n = int(bits.size());
    for (unsigned p = 0; p < (1u << n); ++p) {
        if (__builtin_popcount(p) != size)
            continue;
        Mask s = 0;
        for (int i = 0; i < n; ++i)
            s |= (p >> i & 1u) ? bits[size_t(i)] : 0;
        out.push_back(s);
    }
}

std::vector<int> Identity(int v)
{
    std::vector<int> perm(static_cast<size_t>(v));
    for (int i = 0; i < v; ++i)
        perm[size_t(i)] = i;
    return perm;
}

// The images of a set under the group the generators make, itself first.
std::vector<Mask> OrbitOf(Mask set, const std::vector<std::vector<int>> &group)
{
    std::vector<Mask> orbit{set};
    for (size_t i = 0; i < orbit.size(); ++i) {
        for (const std::vector<int> &perm : group) {
            const Mask image = Apply(perm, orbit[i]);
            if (std::find(orbit.begin(), orbit.end(), image) == orbit.end())
                orbit.push_back(image);
        }
    }
    return orbit;
}

// The sets of one size in orbits: the orbit of each by rank, and per orbit
// one member and its size.
struct OrbitsOfSize
{
    std::vector<int> of;
    std::vector<Mask> rep;
    std::vector<int> weight;
    OrbitsOfSize(int v, int size, const std::vector<std::vector<int>> &group, const Colex &colex)
    {
        of.assign(Binomial(v, size), -1);
        const Mask end = Mask(1) << v;
        for (Mask set = (Mask(1) << size) - 1; set < end; set = NextSameBits(set)) {
            if (of[colex.rank(set)] >= 0)
                continue;
            const std::vector<Mask> orbit = OrbitOf(set, group);
            for (const Mask image : orbit)
                of[colex.rank(image)] = int(rep.size());
            rep.push_back(set);
            weight.push_back(int(orbit.size()));
        }
    }
};

// The set cover over orbits: which case orbits each row orbit covers.
struct Instance
{
    int v = 0, k = 0, t = 0;
    std::vector<std::vector<int>> group;        // its generators
    std::vector<Mask> rows;                     // one row of each row orbit
    std::vector<int> rowWeight;                 // rows in the orbit
    std::vector<int> caseWeight;                // t-sets in the case orbit
    std::vector<std::vector<int>> covers;       // by row orbit: case orbits
    std::vector<std::vector<int>> coveredBy;    // by case orbit: row orbits
    std::vector<int> caseOf;                    // by rank of a t-set
    std::vector<int> rowOf;                     // by rank of a k-set
    std::vector<Mask> cases;                    // one t-set of each case orbit
    std::vector<std::vector<Mask>> members;     // by row orbit: its rows
    std::vector<std::vector<Mask>> caseMembers; // by case orbit: its t-sets
    Colex colex{0};
};

Instance MakeInstance(int v, int k, int t, const std::vector<std::vector<int>> &group)
{
    const Colex colex(v);
    const OrbitsOfSize cases(v, t, group, colex);
    const OrbitsOfSize rows(v, k, group, colex);
    Instance in{v,  k,        t,       group,     rows.rep, rows.weight, cases.weight, {},
                {}, cases.of, rows.of, cases.rep, {},       {},          colex};
    in.covers.resize(in.rows.size());
    for (const Mask row : in.rows)
        in.members.push_back(OrbitOf(row, group));
    for (const Mask c : in.cases)
        in.caseMembers.push_back(OrbitOf(c, group));
    in.coveredBy.resize(in.caseWeight.size());
    std::vector<Mask> subsets;
    for (size_t r = 0; r < in.rows.size(); ++r) {
        subsets.clear();
        SubsetsOf(in.rows[r], t, subsets);
        std::vector<int> &list = in.covers[r];
        for (const Mask s : subsets)
            list.push_back(cases.of[colex.rank(s)]);
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
        for (const int c : list)
            in.coveredBy[size_t(c)].push_back(int(r));
    }
    return in;
}

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Cases still open, each found and dropped in constant time, and the rows
// they stand for.
struct OpenCases
{
    std::vector<int> list, at; // the cases; by case, its place in list or -1
    std::int64_t weight = 0;

    void open(int c, int rows)
    {
        at[size_t(c)] = int(list.size());
        list.push_back(c);
        weight += rows;
    }
    void close(int c, int rows)
    {
        const int place = at[size_t(c)];
        list[size_t(place)] = list.back();
        at[size_t(list.back())] = place;
        list.pop_back();
        at[size_t(c)] = -1;
        weight -= rows;
    }
};

// A tabu walk at a fixed number of rows over the orbits, its cost the cases
// left open: each move changes one element of a row and so swaps that row's
// orbit for the new row's (see step). Each cover found is kept and loses its
// least useful orbit.
class OrbitSearch
{
public:
    OrbitSearch(const Instance &in, std::uint64_t seed)
        : m_in(in)
        , m_random(seed)
    {
        m_count.assign(in.caseWeight.size(), 0);
        m_cases.at.assign(in.caseWeight.size(), -1);
        m_at.assign(in.rows.size(), -1);
        m_tabu.assign(in.rows.size(), 0);
        m_mark.assign(in.caseWeight.size(), 0);
        for (size_t c = 0; c < in.caseWeight.size(); ++c)
            open(int(c));
    }

    void greedy();
    void start(const std::vector<int> &orbits);
    std::vector<int> run(double seconds, int target);

private:
    std::uint64_t random(std::uint64_t below) { return below <= 1 ? 0 : m_random() % below; }
    void open(int c) { m_cases.open(c, m_in.caseWeight[size_t(c)]); }
    void close(int c) { m_cases.close(c, m_in.caseWeight[size_t(c)]); }
    void add(int r);
    void remove(int r);
    std::int64_t sole(int r) const;
    int leastUseful();
    void step();
    std::int64_t delta(int out, int in);

    const Instance &m_in;
    std::mt19937_64 m_random;
    std::vector<int> m_count;
    OpenCases m_cases;
    std::vector<int> m_chosen, m_at;
    std::vector<std::int64_t> m_tabu;
    std::vector<std::uint32_t> m_mark;
    std::uint32_t m_stamp = 0;
    std::vector<std::pair<int, Mask>> m_near; // orbit, row
    std::int64_t m_bestOpen = 0;              // the least since the last cover
    std::int64_t m_steps = 0;
    int m_rows = 0;
    int m_budget = 1 << 30;
};

void OrbitSearch::add(int r)
{
    m_at[size_t(r)] = int(m_chosen.size());
    m_chosen.push_back(r);
    m_rows += m_in.rowWeight[size_t(r)];
    for (const int c : m_in.covers[size_t(r)])
        if (m_count[size_t(c)]++ == 0)
            close(c);
}

void OrbitSearch::remove(int r)
{
    const int at = m_at[size_t(r)];
    m_chosen[size_t(at)] = m_chosen.back();
    m_at[size_t(m_chosen.back())] = at;
    m_chosen.pop_back();
    m_at[size_t(r)] = -1;
    m_rows -= m_in.rowWeight[size_t(r)];
    for (const int c : m_in.covers[size_t(r)])
        if (--m_count[size_t(c)] == 0)
            open(c);
}

// Cases only this orbit covers, those marked now left out.
std::int64_t OrbitSearch::sole(int r) const
{
    std::int64_t loss = 0;
    for (const int c : m_in.covers[size_t(r)])
        if (m_count[size_t(c)] == 1 && m_mark[size_t(c)] != m_stamp)
            loss += m_in.caseWeight[size_t(c)];
    return loss;
}

int OrbitSearch::leastUseful()
{
    ++m_stamp;
    int chosen = -1, ties = 0;
    std::int64_t fewest = 0;
    for (const int r : m_chosen) {
        const std::int64_t loss = sole(r);
        if (chosen < 0 || loss < fewest) {
            fewest = loss;
            ties = 0;
        }
        if (loss == fewest && random(std::uint64_t(++ties)) == 0)
            chosen = r;
    }
    return chosen;
}

// Each orbit in turn the one that covers most open cases per row.
void OrbitSearch::greedy()
{
    while (!m_cases.list.empty()) {
        const int target = m_cases.list[random(m_cases.list.size())];
        int chosen = -1, ties = 0;
        double best = -1;
        for (const int r : m_in.coveredBy[size_t(target)]) {
            int gain = 0;
            for (const int c : m_in.covers[size_t(r)])
                gain += m_count[size_t(c)] == 0 ? m_in.caseWeight[size_t(c)] : 0;
            const double score = double(gain) / m_in.rowWeight[size_t(r)];
            if (score > best) {
                best = score;
                ties = 0;
            }
            if (score == best && random(std::uint64_t(++ties)) == 0)
                chosen = r;
        }
        add(chosen);
    }
}

void OrbitSearch::start(const std::vector<int> &orbits)
{
    for (const int r : orbits)
        if (m_at[size_t(r)] < 0)
            add(r);
    greedy();
}

// The change in open cases of swapping orbit `out` for
// `in`.
std::int64_t OrbitSearch::delta(int out, int in)
{
    ++m_stamp;
    std::int64_t gain = 0;
    for (const int c : m_in.covers[size_t(in)]) {
        m_mark[size_t(c)] = m_stamp;
        gain += m_count[size_t(c)] == 0 ? m_in.caseWeight[size_t(c)] : 0;
    }
    return sole(out) - gain;
}

// One move, as a row is moved one element at a time: a random open case, a
// chosen row (of any orbit) that meets it most, one of its elements outside
// the case swapped for one of the case outside the row; the row's orbit is
// replaced by the new row's. The best such move is taken, unless it undoes a
// recent one; now and then a random one.
void OrbitSearch::step()
{
    const Mask target = m_in.cases[size_t(m_cases.list[random(m_cases.list.size())])];
    int most = -1;
    m_near.clear();
    for (const int r : m_chosen) {
        for (const Mask row : m_in.members[size_t(r)]) {
            const int shared = __builtin_popcountll(row & target);
            if (shared > most) {
                most = shared;
                m_near.clear();
            }
            if (shared == most)
                m_near.push_back({r, row});
        }
    }
    const bool noise = random(64) == 0;
    std::int64_t best = 0;
    int bestOut = -1, bestIn = -1, ties = 0;
    for (const auto &[out, row] : m_near) {
        for (Mask outs = row & ~target; outs != 0; outs &= outs - 1) {
            for (Mask ins = target & ~row; ins != 0; ins &= ins - 1) {
                const Mask moved = (row & ~(outs & (~outs + 1))) | (ins & (~ins + 1));
                const int in = m_in.rowOf[m_in.colex.rank(moved)];
                if (in == out || m_at[size_t(in)] >= 0
                    || m_rows - m_in.rowWeight[size_t(out)] + m_in.rowWeight[size_t(in)] > m_budget)
                    continue;
                std::int64_t d = noise ? std::int64_t(random(1000)) : delta(out, in);
                if (m_tabu[size_t(in)] > m_steps && !noise
                    && std::int64_t(m_cases.weight) + d >= m_bestOpen)
                    continue;
                if (bestOut < 0 || d < best) {
                    best = d;
                    ties = 0;
                }
                if (d == best && random(std::uint64_t(++ties)) == 0) {
                    bestOut = out;
                    bestIn = in;
                }
            }
        }
    }
    if (bestOut < 0)
        return;
    remove(bestOut);
    add(bestIn);
    m_tabu[size_t(bestOut)] = m_steps + 2 + std::int64_t(random(10));
    m_bestOpen = std::min(m_bestOpen, std::int64_t(m_cases.weight));
}

// Searches for `seconds`, or until a cover of `target` rows; the smallest
// cover found.
std::vector<int> OrbitSearch::run(double seconds, int target)
{
    const Clock::time_point begin = Clock::now();
    std::vector<int> best;
    int bestRows = 1 << 30;
    for (;; ++m_steps) {
        if (m_cases.list.empty()) {
            if (m_rows < bestRows) {
                best = m_chosen;
                bestRows = m_rows;
                std::fprintf(stderr, "  %d rows (%d orbits) at %.1f s, step %lld\n", m_rows,
                             int(m_chosen.size()), Since(begin), (long long)m_steps);
            }
            if (m_rows <= target || m_chosen.size() <= 1)
                break;
            remove(leastUseful());
            m_budget = std::min(m_rows, bestRows - 1);
            m_bestOpen = m_cases.weight;
            continue;
        }
        if ((m_steps & 255) == 0 && Since(begin) > seconds)
            break;
        step();
    }
    return best;
}

// Adds to `out` at most `rows` rows of k numbers out of v that hold every set
// in `open`, if there are such; false if not. Each row holds the first open
// set; a row that leaves more than the others can hold is not tried.
bool CoverWithRows(int v, int k, const std::vector<Mask> &open, int rows, std::vector<Mask> &out)
{
    if (open.empty())
        return true;
    const std::int64_t perRow = std::int64_t(Binomial(k, __builtin_popcountll(open.front())));
    if (rows <= 0 || std::int64_t(open.size()) > rows * perRow)
        return false;
    const Mask first = open.front();
    std::vector<int> others;
    for (int p = 0; p < v; ++p)
        if (!(first >> p & 1))
            others.push_back(p);
    std::vector<std::pair<size_t, Mask>> tries; // sets left, row
    const int add = k - __builtin_popcountll(first);
    const Mask end = Mask(1) << others.size();
    for (Mask pick = (Mask(1) << add) - 1; pick < end; pick = NextSameBits(pick)) {
        Mask row = first;
        for (Mask bits = pick; bits != 0; bits &= bits - 1)
            row |= Mask(1) << others[size_t(__builtin_ctzll(bits))];
        size_t left = 0;
        for (const Mask set : open)
            left += (set & row) != set;
        if (std::int64_t(left) <= (rows - 1) * perRow)
            tries.push_back({left, row});
    }
    std::sort(tries.begin(), tries.end());
    std::vector<Mask> left;
    for (const auto &[count, row] : tries) {
        left.clear();
        for (const Mask set : open)
            if ((set & row) != set)
                left.push_back(set);
        out.push_back(row);
        if (CoverWithRows(v, k, left, rows - 1, out))
            return true;
        out.pop_back();
    }
    return false;
}

// Simulated annealing over a fixed number of rows, its cost the cases left
// open: a random open case, a random row that holds all of it but one number,
// one of the row's other numbers swapped for that one; a worse row set is
// taken with the chance exp(-worse / heat).
class Annealing
{
public:
    Annealing(int v, int k, int t, std::uint64_t seed)
        : m_k(k)
        , m_t(t)
        , m_colex(v)
        , m_random(seed)
    {
        m_count.assign(Binomial(v, t), 0);
        m_openAt.assign(m_count.size(), -1);
        for (Mask set = (Mask(1) << t) - 1; set < (Mask(1) << v); set = NextSameBits(set)) {
            m_openAt[m_colex.rank(set)] = int(m_open.size());
            m_open.push_back(set);
        }
    }
    // The rows given, then random ones up to `size`; a cover, or none by then.
    std::vector<Mask> run(int v, int size, double heat, double seconds,
                          const std::vector<Mask> &start)
    {
        m_rows.assign(start.begin(), start.begin() + std::min(start.size(), size_t(size)));
        while (int(m_rows.size()) < size) {
            Mask row = 0;
            while (__builtin_popcountll(row) < m_k)
                row |= Mask(1) << (m_random() % std::uint64_t(v));
            m_rows.push_back(row);
        }
        for (const Mask row : m_rows)
            tally(row, 1);
        const Clock::time_point begin = Clock::now();
        size_t best = m_open.size();
        for (std::int64_t steps = 1; !m_open.empty(); ++steps) {
            if ((steps & 4095) == 0 && Since(begin) > seconds)
                return {};
            step(heat);
            if (m_open.size() < best) {
                best = m_open.size();
                std::fprintf(stderr, "  %zu open at %.1f s\n", best, Since(begin));
            }
        }
        return m_rows;
    }

private:
    void tally(Mask row, int step)
    {
        m_subsets.clear();
        SubsetsOf(row, m_t, m_subsets);
        for (const Mask set : m_subsets) {
            const std::uint32_t r = m_colex.rank(set);
            if (step > 0 && m_count[r]++ == 0) {
                const int at = m_openAt[r];
                m_openAt[m_colex.rank(m_open.back())] = at;
                m_open[size_t(at)] = m_open.back();
                m_open.pop_back();
                m_openAt[r] = -1;
            } else if (step < 0 && --m_count[r] == 0) {
                m_openAt[r] = int(m_open.size());
                m_open.push_back(set);
            }
        }
    }
    // The change in open cases of swapping number `out` of `row` for `in`.
    int change(Mask row, int out, int in)
    {
        int worse = 0;
        m_subsets.clear();
        SubsetsOf(row & ~(Mask(1) << out), m_t - 1, m_subsets);
        for (const Mask set : m_subsets) {
            worse += m_count[m_colex.rank(set | Mask(1) << out)] == 1;
            worse -= m_count[m_colex.rank(set | Mask(1) << in)] == 0;
        }
        return worse;
    }
    void step(double heat)
    {
        const Mask target = m_open[m_random() % m_open.size()];
        m_near.clear();
        for (size_t i = 0; i < m_rows.size(); ++i)
            if (__builtin_popcountll(m_rows[i] & target) == m_t - 1)
                m_near.push_back(i);
        if (m_near.empty())
            return;
        const size_t i = m_near[m_random() % m_near.size()];
        const int in = __builtin_ctzll(target & ~m_rows[i]);
        Mask outs = m_rows[i] & ~target;
        for (auto skip = m_random() % std::uint64_t(__builtin_popcountll(outs)); skip > 0; --skip)
            outs &= outs - 1;
        const int out = __builtin_ctzll(outs);
        const int worse = change(m_rows[i], out, in);
        if (worse > 0 && m_unit(m_random) >= std::exp(-worse / heat))
            return;
        tally(m_rows[i], -1);
        m_rows[i] = (m_rows[i] & ~(Mask(1) << out)) | Mask(1) << in;
        tally(m_rows[i], 1);
    }

    const int m_k, m_t;
    const Colex m_colex;
    std::mt19937_64 m_random;
    std::uniform_real_distribution<double> m_unit{0, 1};
    std::vector<int> m_count, m_openAt;
    std::vector<Mask> m_open, m_rows, m_subsets;
    std::vector<size_t> m_near;
};

// Row weighting over the orbits of a group of prime order, as set cover
// searches do: a fixed number of whole orbits and of rows the group fixes.
// Each step takes an open case, brings in the orbit that covers it and
// gains most, drops the chosen orbit of the same size that loses least, and
// then weighs every case still open one more, so that cases left open long
// pull harder. An orbit whose cases have not changed since it left is not
// brought back (configuration checking); ties go to the orbit idle longest.
class WeightingSearch
{
public:
    WeightingSearch(const Instance &in, std::uint64_t seed)
        : m_in(in)
        , m_random(seed)
    {
        const size_t rows = in.rows.size(), cases = in.caseWeight.size();
        m_count.assign(cases, 0);
        m_weight.assign(in.caseWeight.begin(), in.caseWeight.end());
        m_cases.at.assign(cases, -1);
        for (size_t c = 0; c < cases; ++c)
            open(int(c));
        m_changed.assign(rows, 1);
        m_chosen.assign(rows, 0);
        m_stamp.assign(rows, 0);
        m_score.assign(rows, 0);
        for (size_t r = 0; r < rows; ++r)
            for (const int c : in.covers[r])
                m_score[r] += m_weight[size_t(c)];
        m_order = *std::max_element(in.rowWeight.begin(), in.rowWeight.end());
    }

    // The orbits of a wheel of `size` rows, `fixed` of them rows the group
    // fixes; empty when none was found in `seconds`.
    std::vector<int> run(int size, int fixed, double seconds)
    {
        if (m_order == 1) // no group: every row is its own orbit
            fixed = 0;
        if (fixed < 0 || (size - fixed) % m_order != 0 || !choose(m_order, (size - fixed) / m_order)
            || !choose(1, fixed))
            return {};
        const Clock::time_point begin = Clock::now();
        std::int64_t least = m_cases.weight;
        for (std::int64_t step = 1; !m_cases.list.empty(); ++step) {
            if ((step & 1023) == 0 && Since(begin) > seconds)
                return {};
            swap(fixed, step);
            if (m_cases.weight < least) {
                least = m_cases.weight;
                std::fprintf(stderr, "  %lld open at %.1f s, step %lld\n", (long long)least,
                             Since(begin), (long long)step);
            }
        }
        return m_solution;
    }

private:
    void open(int c) { m_cases.open(c, m_in.caseWeight[size_t(c)]); }
    void close(int c) { m_cases.close(c, m_in.caseWeight[size_t(c)]); }
    // A chosen orbit's score is minus what it alone covers, any other's what
    // it would cover that is open: both weighted.
    void add(int r)
    {
        m_chosen[size_t(r)] = 1;
        m_solution.push_back(r);
        m_score[size_t(r)] = -m_score[size_t(r)];
        for (const int c : m_in.covers[size_t(r)]) {
            const int count = ++m_count[size_t(c)];
            for (const int s : m_in.coveredBy[size_t(c)]) {
                if (s != r && count == 1 && !m_chosen[size_t(s)])
                    m_score[size_t(s)] -= m_weight[size_t(c)];
                m_changed[size_t(s)] = 1;
            }
            if (count == 1)
                close(c);
            else if (count == 2)
                adjustSole(c, r, m_weight[size_t(c)]);
        }
    }
    void remove(int r)
    {
        m_chosen[size_t(r)] = 0;
        m_solution.erase(std::find(m_solution.begin(), m_solution.end(), r));
        m_score[size_t(r)] = -m_score[size_t(r)];
        for (const int c : m_in.covers[size_t(r)]) {
            const int count = --m_count[size_t(c)];
            for (const int s : m_in.coveredBy[size_t(c)]) {
                if (s != r && count == 0 && !m_chosen[size_t(s)])
                    m_score[size_t(s)] += m_weight[size_t(c)];
                m_changed[size_t(s)] = 1;
            }
            if (count == 0)
                open(c);
            else if (count == 1)
                adjustSole(c, r, -m_weight[size_t(c)]);
        }
        m_changed[size_t(r)] = 0;
    }
    // The other chosen orbit that covers case c, now or until now alone.
    void adjustSole(int c, int r, std::int64_t by)
    {
        for (const int s : m_in.coveredBy[size_t(c)])
            if (s != r && m_chosen[size_t(s)]) {
                m_score[size_t(s)] += by;
                return;
            }
    }
    // `count` orbits of `size` rows, greedily by score.
    bool choose(int size, int count)
    {
        for (int n = 0; n < count; ++n) {
            std::int64_t best = 0;
            int pick = -1, ties = 0;
            for (size_t r = 0; r < m_in.rows.size(); ++r) {
                if (m_chosen[r] || m_in.rowWeight[r] != size)
                    continue;
                if (pick < 0 || m_score[r] > best) {
                    best = m_score[r];
                    pick = int(r);
                    ties = 1;
                } else if (m_score[r] == best && m_random() % std::uint64_t(++ties) == 0) {
                    pick = int(r);
                }
            }
            if (pick < 0)
                return false;
            add(pick);
        }
        return true;
    }
    // The best orbit of the two `a` and `b`: the higher score, then the one
    // idle longer.
    bool better(int a, int b) const
    {
        return b < 0 || m_score[size_t(a)] > m_score[size_t(b)]
               || (m_score[size_t(a)] == m_score[size_t(b)]
                   && m_stamp[size_t(a)] < m_stamp[size_t(b)]);
    }
    void swap(int fixed, std::int64_t step)
    {
        const int c = m_cases.list[size_t(m_random() % m_cases.list.size())];
        int in = -1;
        for (const int r : m_in.coveredBy[size_t(c)]) {
            const int size = m_in.rowWeight[size_t(r)];
            if (m_chosen[size_t(r)] || !m_changed[size_t(r)]
                || (size != m_order && (size != 1 || fixed == 0)))
                continue;
            if (better(r, in))
                in = r;
        }
        if (in < 0)
            return;
        add(in);
        m_stamp[size_t(in)] = step;
        int out = -1;
        for (const int r : m_solution)
            if (r != in && m_in.rowWeight[size_t(r)] == m_in.rowWeight[size_t(in)]
                && better(r, out))
                out = r;
        const int drop = out < 0 ? in : out;
        remove(drop);
        m_stamp[size_t(drop)] = step;
        for (const int o : m_cases.list) {
            ++m_weight[size_t(o)];
            for (const int s : m_in.coveredBy[size_t(o)])
                if (!m_chosen[size_t(s)])
                    ++m_score[size_t(s)];
        }
    }

    const Instance &m_in;
    std::mt19937_64 m_random;
    std::vector<int> m_count, m_solution;
    OpenCases m_cases;
    std::vector<std::int64_t> m_weight, m_score, m_stamp;
    std::vector<char> m_changed, m_chosen;
    int m_order = 1;
};

// How a group that normalizes the search group moves its orbits: per
// element, the image of each row orbit and each case orbit. Elements that
// move the row orbits alike are kept once.
struct Symmetries
{
    std::vector<std::vector<int>> rowMap, caseMap;
};

// Empty when there are no generators, when the group is too large or when
// it does not map orbits onto orbits.
Symmetries MakeSymmetries(const Instance &in, const std::vector<std::vector<int>> &gens)
{
    const size_t largest = 100000;
    if (gens.empty())
        return {};
    std::vector<std::vector<int>> elements{Identity(in.v)};
    std::set<std::vector<int>> seen(elements.begin(), elements.end()), maps;
    for (size_t i = 0; i < elements.size(); ++i) {
        for (const std::vector<int> &g : gens) {
            std::vector<int> product(size_t(in.v));
            for (int x = 0; x < in.v; ++x)
                product[size_t(x)] = g[size_t(elements[i][size_t(x)])];
            if (seen.insert(product).second)
                elements.push_back(product);
        }
        if (elements.size() > largest)
            return {};
    }
    Symmetries out;
    for (const std::vector<int> &n : elements) {
        std::vector<int> rows, cases;
        for (size_t r = 0; r < in.rows.size(); ++r) {
            rows.push_back(in.rowOf[in.colex.rank(Apply(n, in.rows[r]))]);
            for (const Mask member : in.members[r])
                if (in.rowOf[in.colex.rank(Apply(n, member))] != rows.back())
                    return {};
        }
        for (const Mask c : in.cases)
            cases.push_back(in.caseOf[in.colex.rank(Apply(n, c))]);
        if (maps.insert(rows).second) {
            out.rowMap.push_back(rows);
            out.caseMap.push_back(cases);
        }
    }
    return out;
}

// A depth-first search for a cover over the orbits of at most `target` rows:
// an open case is covered by each row orbit that leaves the bound met in
// turn, the case chosen among the few with fewest orbits left; an orbit tried
// is left out of its later siblings. It either finds such a cover or shows
// that none is invariant under the group.
class ExactSearch
{
public:
    ExactSearch(const Instance &in, int target, int extra, const Symmetries &symmetries)
        : m_in(in)
        , m_symmetries(symmetries)
        , m_target(target)
        , m_extra(extra)
        , m_perRow(std::int64_t(Binomial(in.k, in.t)))
    {
        m_count.assign(in.caseWeight.size(), 0);
        m_left.assign(in.caseWeight.size(), 0);
        m_free.assign(in.caseWeight.size(), 0);
        m_used.assign(in.rows.size(), 0);
        for (size_t n = 0; n < m_pairRows.size() && in.k > 2; ++n)
            m_pairRows[n] = int((n + size_t(in.k) - 3) / size_t(in.k - 2));
        for (size_t n = 0; n < m_pointRowsOf.size(); ++n)
            m_pointRowsOf[n] = int((n + size_t(in.k) - 2) / size_t(in.k - 1));
        for (size_t c = 0; c < in.caseWeight.size(); ++c) {
            m_left[c] = int(in.coveredBy[c].size());
            open(int(c), 1);
        }
        // Orbits come in few sizes: the fewest rows of at least n that they
        // can add up to.
        std::vector<char> sum(size_t(target) + 1, 0);
        sum[0] = 1;
        for (int n = 1; n <= target; ++n)
            for (const int w : in.rowWeight)
                sum[size_t(n)] |= (w <= n && sum[size_t(n - w)]) || extra > 0;
        m_reach.assign(size_t(target) + 2, target + 1);
        for (int n = target; n >= 0; --n)
            m_reach[size_t(n)] = sum[size_t(n)] ? n : m_reach[size_t(n) + 1];
    }
    // 1 found, 0 none, -1 out of time.
    int run(double seconds)
    {
        m_begin = Clock::now();
        m_seconds = seconds;
        // Rows outside the orbits would have to be mapped too.
        std::vector<int> all(m_extra > 0 ? 0 : m_symmetries.rowMap.size());
        std::iota(all.begin(), all.end(), 0);
        const int found = dfs(all);
        std::fprintf(stderr, "  %lld nodes, %.1f s\n", (long long)m_nodes, Since(m_begin));
        return m_out ? -1 : found;
    }
    const std::vector<int> &cover() const { return m_best; }
    // The rows outside the orbits, with --extra.
    const std::vector<Mask> &extraRows() const { return m_bestExtra; }

private:
    void open(int c, int step)
    {
        m_openWeight += step * m_in.caseWeight[size_t(c)];
        if (m_in.t != 3)
            return;
        for (const Mask set : m_in.caseMembers[size_t(c)]) {
            const int a = __builtin_ctzll(set), b = __builtin_ctzll(set & (set - 1)),
                      d = 63 - __builtin_clzll(set);
            openPair(a, b, step);
            openPair(a, d, step);
            openPair(b, d, step);
        }
    }
    // Keeps the rows needed through each point, and their sum, up to date.
    void openPair(int x, int y, int step)
    {
        // Tables instead of divisions: this is the inner loop of the search.
        int &open = m_pair[size_t(x * 24 + y)];
        const int change = m_pairRows[size_t(open + step)] - m_pairRows[size_t(open)];
        open += step;
        if (change == 0)
            return;
        for (const int z : {x, y}) {
            int &through = m_through[size_t(z)];
            m_pointRows += m_pointRowsOf[size_t(through + change)] - m_pointRowsOf[size_t(through)];
            through += change;
        }
    }
    void use(int r, int step)
    {
        m_used[size_t(r)] = step > 0;
        for (const int c : m_in.covers[size_t(r)])
            m_left[size_t(c)] -= step;
    }
    void cover(int r, int step)
    {
        m_rows += step * m_in.rowWeight[size_t(r)];
        for (const int c : m_in.covers[size_t(r)]) {
            if (step > 0 && m_count[size_t(c)]++ == 0)
                open(c, -1);
            if (step < 0 && --m_count[size_t(c)] == 0)
                open(c, 1);
        }
    }
    // Whether the rows so far with the fewest still needed stay in target.
    bool fits()
    {
        const std::int64_t need = bound();
        return need <= m_target - m_rows && m_rows + m_reach[size_t(need)] <= m_target;
    }
    std::int64_t bound() const;
    std::vector<int> candidates(int c);
    int dfs(const std::vector<int> &keep);
    int finish();

    const Instance &m_in;
    const Symmetries &m_symmetries;
    const int m_target;
    const int m_extra; // rows allowed outside the orbits
    const std::int64_t m_perRow;
    std::vector<char> m_free; // by case orbit: left to those rows
    std::int64_t m_freeWeight = 0;
    std::vector<Mask> m_extraRows, m_bestExtra;
    std::vector<int> m_count, m_left, m_reach;
    std::vector<char> m_used;
    std::vector<int> m_chosen, m_best;
    std::array<int, 24 * 24> m_pair{};        // open cases through each pair
    std::array<int, 24> m_through{};          // rows they need through each point
    std::array<int, 24> m_pairRows{};         // by open cases through a pair: rows
    std::array<int, 24 * 24> m_pointRowsOf{}; // by rows through pairs of a point
    std::int64_t m_pointRows = 0;             // those over the points, summed
    std::int64_t m_openWeight = 0, m_nodes = 0;
    int m_rows = 0;
    bool m_out = false;
    Clock::time_point m_begin;
    double m_seconds = 0;
};

// The rows still needed at least: for t = 3, Schoenheim's count over the open
// cases (each pair in them needs rows through it, each point rows through
// it); otherwise the open cases over the cases a row holds.
std::int64_t ExactSearch::bound() const
{
    const std::int64_t plain = (m_openWeight + m_perRow - 1) / m_perRow;
    if (m_in.t != 3)
        return plain;
    return std::max(plain, (m_pointRows + m_in.k - 1) / m_in.k);
}

// The orbits left that cover case c and keep the bound, most new cases
// per row first.
std::vector<int> ExactSearch::candidates(int c)
{
    std::vector<std::pair<std::int64_t, int>> order;
    for (const int r : m_in.coveredBy[size_t(c)]) {
        if (m_used[size_t(r)] || m_rows + m_in.rowWeight[size_t(r)] > m_target)
            continue;
        const std::int64_t before = m_openWeight;
        cover(r, 1);
        if (fits())
            order.push_back({(m_openWeight - before) * 1000 / m_in.rowWeight[size_t(r)], r});
        cover(r, -1);
    }
    std::sort(order.begin(), order.end());
    std::vector<int> rows;
    for (const auto &entry : order)
        rows.push_back(entry.second);
    return rows;
}

// Rows outside the orbits for the cases left to them, at most m_extra.
int ExactSearch::finish()
{
    std::vector<Mask> open;
    for (size_t c = 0; c < m_count.size(); ++c)
        if (m_count[c] == 0)
            open.insert(open.end(), m_in.caseMembers[c].begin(), m_in.caseMembers[c].end());
    m_extraRows.clear();
    if (!CoverWithRows(m_in.v, m_in.k, open, std::min(m_extra, m_target - m_rows), m_extraRows))
        return 0;
    m_best = m_chosen;
    m_bestExtra = m_extraRows;
    return 1;
}

// `keep`: the symmetries that map the choices so far onto themselves. Of the
// orbits that one of them maps onto each other only the first is tried.
int ExactSearch::dfs(const std::vector<int> &keep)
{
    if (m_openWeight == m_freeWeight)
        return m_freeWeight == 0 ? (m_best = m_chosen, 1) : finish();
    if ((++m_nodes & 255) == 0 && Since(m_begin) > m_seconds)
        m_out = true;
    if (m_out)
        return 0;
    std::vector<int> fewest(4, -1);
    for (size_t c = 0; c < m_count.size(); ++c) {
        if (m_count[c] != 0 || m_free[c])
            continue;
        int at = int(c);
        for (int &slot : fewest)
            if (slot < 0 || m_left[size_t(at)] < m_left[size_t(slot)])
                std::swap(slot, at);
    }
    std::vector<int> order;
    int pick = -1;
    for (const int c : fewest) {
        if (c < 0)
            continue;
        std::vector<int> rows = candidates(c);
        if (pick < 0 || rows.size() < order.size()) {
            order.swap(rows);
            pick = c;
        }
        if (order.empty())
            break;
    }
    std::vector<int> fixing; // of the case
    for (const int s : keep)
        if (m_symmetries.caseMap[size_t(s)][size_t(pick)] == pick)
            fixing.push_back(s);
    int found = 0;
    std::vector<int> tried;
    for (size_t i = 0; i < order.size() && found == 0 && !m_out; ++i) {
        const int r = order[i];
        if (m_used[size_t(r)])
            continue;
        std::vector<int> alike{r}, still;
        for (const int s : fixing) {
            const int image = m_symmetries.rowMap[size_t(s)][size_t(r)];
            if (image == r)
                still.push_back(s);
            else if (!m_used[size_t(image)]
                     && std::find(alike.begin(), alike.end(), image) == alike.end())
                alike.push_back(image);
        }
        for (const int a : alike)
            use(a, 1);
        tried.insert(tried.end(), alike.begin(), alike.end());
        cover(r, 1);
        if (fits()) {
            m_chosen.push_back(r);
            found = dfs(still);
            m_chosen.pop_back();
        }
        cover(r, -1);
    }
    // Or the case is left to the rows outside the orbits.
    const std::int64_t weight = m_in.caseWeight[size_t(pick)];
    if (found == 0 && !m_out && m_freeWeight + weight <= m_extra * m_perRow) {
        m_free[size_t(pick)] = 1;
        m_freeWeight += weight;
        found = dfs({});
        m_freeWeight -= weight;
        m_free[size_t(pick)] = 0;
    }
    for (const int r : tried)
        use(r, -1);
    return found;
}

// The rows of the chosen orbits.
std::vector<Mask> Expand(const Instance &in, const std::vector<int> &orbits)
{
    std::vector<Mask> rows;
    for (const int r : orbits) {
        const std::vector<Mask> orbit = OrbitOf(in.rows[size_t(r)], in.group);
        rows.insert(rows.end(), orbit.begin(), orbit.end());
    }
    return rows;
}

// The group named "N", "NmA", "Ns" or "NmAs": cycles of N points over the
// first v - fixed, the rest fixed; mA also multiplies within each cycle by A,
// s also turns the cycles into each other. Empty if it names none.
std::vector<std::vector<int>> CyclicGroup(int v, const std::string &name, int fixed)
{
    const int cycle = std::max(1, std::atoi(name.c_str()));
    const size_t m = name.find('m');
    const int times = m == std::string::npos ? 1 : std::atoi(name.c_str() + m + 1);
    if (fixed < 0 || fixed > v || (v - fixed) % cycle != 0 || std::gcd(times, cycle) != 1)
        return {};
    std::vector<std::vector<int>> group(3, Identity(v));
    for (int i = 0; i < v - fixed; ++i) {
        const int base = (i / cycle) * cycle;
        group[0][size_t(i)] = base + (i % cycle + 1) % cycle;
        group[1][size_t(i)] = base + (i % cycle) * times % cycle;
        group[2][size_t(i)] = (i + cycle) % (v - fixed);
    }
    if (name.find('s') == std::string::npos)
        group.pop_back();
    return group;
}

// Generators given as the images of 1..v, generators apart by ';'. Empty if
// one is not a permutation of 1..v.
std::vector<std::vector<int>> Generators(int v, const std::string &text)
{
    std::vector<std::vector<int>> group;
    std::istringstream parts(text);
    for (std::string part; std::getline(parts, part, ';');) {
        std::istringstream numbers(part);
        std::vector<int> perm;
        for (int n; numbers >> n;)
            perm.push_back(n - 1);
        std::vector<int> sorted = perm;
        std::sort(sorted.begin(), sorted.end());
        if (sorted != Identity(v))
            return {};
        group.push_back(perm);
    }
    return group;
}

// Rows from a file: numbers 1..v, rows apart by commas or lines, the head
// "v k t m:" of a line skipped. A row one short of k gets v: so the wheel for
// v - 1 numbers with the one for rows of k - 1, t - 1 hit, make a start for v
// (a t-set holding v is covered by the second, any other by the first).
std::vector<Mask> ReadRows(const char *path, int v, int k)
{
    std::ifstream file(path);
    std::vector<Mask> rows;
    for (std::string line; std::getline(file, line);) {
        const size_t colon = line.find(':');
        if (colon != std::string::npos)
            line = line.substr(colon + 1);
        std::replace(line.begin(), line.end(), ',', '\n');
        std::istringstream parts(line);
        for (std::string part; std::getline(parts, part);) {
            std::istringstream numbers(part);
            Mask row = 0;
            for (int n; numbers >> n;)
                row |= n >= 1 && n <= v ? Mask(1) << (n - 1) : 0;
            if (__builtin_popcountll(row) == k - 1)
                row |= Mask(1) << (v - 1);
            if (__builtin_popcountll(row) == k)
                rows.push_back(row);
        }
    }
    return rows;
}

void Print(int v, int k, int t, const std::vector<Mask> &rows)
{
    std::vector<std::vector<int>> wheel;
    for (Mask row : rows) {
        std::vector<int> numbers;
        for (; row != 0; row &= row - 1)
            numbers.push_back(__builtin_ctzll(row) + 1);
        wheel.push_back(numbers);
    }
    std::sort(wheel.begin(), wheel.end());
    std::vector<int> all;
    for (int n = 1; n <= v; ++n)
        all.push_back(n);
    const WheelCheckResult check = CheckWheel(all, wheel, t, t);
    std::fprintf(stderr, "%zu rows, %llu of %llu cases uncovered\n", wheel.size(),
                 (unsigned long long)check.Uncovered, (unsigned long long)check.Cases);
    if (!check.Valid || check.Uncovered != 0)
        return;
    std::printf("%d %d %d %d:", v, k, t, t);
    for (size_t i = 0; i < wheel.size(); ++i) {
        for (size_t j = 0; j < wheel[i].size(); ++j)
            std::printf("%s%d", j > 0 ? " " : i > 0 ? "," : "", wheel[i][j]);
    }
    std::printf("\n");
}

} // namespace

struct Options
{
    int v = 0, k = 0, t = 0, fixed = 0, target = 0;
    std::string group = "1";
    double seconds = 10, after = 0;
    bool exact = false;
    int extra = 0;
    double anneal = 0; // the heat
    int weigh = -1;    // rows the group fixes, for row weighting
    const char *gens = nullptr;
    const char *norm = nullptr; // generators of a normalizing group
    std::uint64_t seed = 1;
    const char *start = nullptr;
};

// The options of the usage line above; false when they do not read so.
bool ReadOptions(int argc, char **argv, Options &o)
{
    if (argc < 4 || (argc - 4) % 2 != 0)
        return false;
    o.v = std::atoi(argv[1]);
    o.k = std::atoi(argv[2]);
    o.t = std::atoi(argv[3]);
    for (int i = 4; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const char *value = argv[i + 1];
        if (name == "--group")
            o.group = value;
        else if (name == "--fixed")
            o.fixed = std::atoi(value);
        else if (name == "--seconds")
            o.seconds = std::atof(value);
        else if (name == "--after")
            o.after = std::atof(value);
        else if (name == "--seed")
            o.seed = std::strtoull(value, nullptr, 10);
        else if (name == "--target")
            o.target = std::atoi(value);
        else if (name == "--start")
            o.start = value;
        else if (name == "--gens")
            o.gens = value;
        else if (name == "--norm")
            o.norm = value;
        else if (name == "--anneal")
            o.anneal = std::atof(value);
        else if (name == "--weigh")
            o.weigh = std::atoi(value);
        else if (name == "--extra")
            o.extra = std::atoi(value);
        else if (name == "--exact")
            o.exact = std::atoi(value) != 0;
        else
            return false;
    }
    return o.v >= o.k && o.v <= 24 && o.k <= 8 && o.t >= 1 && o.t <= o.k;
}

int main(int argc, char **argv)
{
    Options o;
    const bool read = ReadOptions(argc, argv, o);
    const std::vector<std::vector<int>> group = o.gens ? Generators(o.v, o.gens)
                                                       : CyclicGroup(o.v, o.group, o.fixed);
    if (!read || group.empty()) {
        std::fprintf(stderr, "wheel_search v k t [--group N[mA][s] --fixed F --gens G --exact 1"
                             " --norm G --extra X --anneal H --weigh F --seconds S --after S"
                             " --seed N --target R --start FILE]\n");
        return 2;
    }
    std::vector<Mask> rows;
    if (o.anneal > 0) {
        const std::vector<Mask> start = o.start ? ReadRows(o.start, o.v, o.k) : std::vector<Mask>();
        Annealing search(o.v, o.k, o.t, o.seed);
        Print(o.v, o.k, o.t, search.run(o.v, o.target, o.anneal, o.seconds, start));
        return 0;
    }
    if (o.start) {
        rows = ReadRows(o.start, o.v, o.k);
    } else {
        const Instance orbits = MakeInstance(o.v, o.k, o.t, group);
        std::fprintf(stderr, "%zu row orbits, %zu case orbits\n", orbits.rows.size(),
                     orbits.caseWeight.size());
        if (o.exact) {
            const Symmetries symmetries = MakeSymmetries(
                orbits, o.norm ? Generators(o.v, o.norm) : std::vector<std::vector<int>>());
            if (o.norm && symmetries.rowMap.empty()) {
                std::fprintf(stderr, "--norm names no group that maps orbits onto orbits\n");
                return 2;
            }
            ExactSearch search(orbits, o.target, o.extra, symmetries);
            const int found = search.run(o.seconds);
            std::fprintf(stderr, "%s\n", found > 0 ? "found" : found == 0 ? "none" : "out of time");
            rows = Expand(orbits, search.cover());
            rows.insert(rows.end(), search.extraRows().begin(), search.extraRows().end());
        } else if (o.weigh >= 0) {
            WeightingSearch search(orbits, o.seed);
            rows = Expand(orbits, search.run(o.target, o.weigh, o.seconds));
        } else {
            OrbitSearch search(orbits, o.seed);
            search.greedy();
            rows = Expand(orbits, search.run(o.seconds, o.target));
        }
    }
    if (o.after > 0 && !rows.empty() && int(rows.size()) > o.target) {
        const Instance plain = MakeInstance(o.v, o.k, o.t, {Identity(o.v)});
        std::vector<int> start;
        for (const Mask row : rows)
            start.push_back(plain.rowOf[plain.colex.rank(row)]);
        OrbitSearch search(plain, o.seed + 1);
        search.start(start);
        std::fprintf(stderr, "row by row from %zu rows\n", rows.size());
        rows = Expand(plain, search.run(o.after, o.target));
    }
    Print(o.v, o.k, o.t, rows);
    return 0;
}
