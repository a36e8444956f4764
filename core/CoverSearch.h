#pragma once

#include <QtGlobal>

#include <array>
#include <functional>
#include <random>
#include <vector>

// One search for the fewest k-sets of {0..v-1} such that every m-set meets one
// of them in at least t elements (a covering design when m = t, a lotto design
// when m > t). Sets are bitmasks, bit i for element i. It starts greedily,
// then walks: it keeps a number of rows and moves one element of one row at a
// time to cover a random uncovered m-set, choosing the move that leaves the
// fewest uncovered (a tabu list keeps it from undoing its last moves); each
// time all are covered it records the rows and drops the least useful one.
// Once the walk finds no smaller cover for long, it starts afresh, or
// simulated annealing takes over at a fixed number of rows. Runs on one thread; the same problem, seed and number of steps give
// the same rows (a time limit cuts the search wherever it has got to).
struct CoverProblem
{
    int V = 0;
    int K = 0;
    int M = 0;
    int T = 0;
};

class CoverSearch
{
public:
    // Called before every step with the steps so far; true stops.
    using StopCheck = std::function<bool(qint64 steps)>;
    // Called with every complete cover smaller than the ones before.
    using Found = std::function<void(const std::vector<quint64> &rows)>;

    // anneal: once the walk stalls, anneal rather than start afresh. Each
    // does better on some cases, so the searches of a wheel take turns.
    CoverSearch(const CoverProblem &problem, quint64 seed, bool anneal);

    // Searches until stop says so or a cover of targetRows rows (or fewer) is
    // found. Returns the smallest cover found (empty if none).
    std::vector<quint64> run(int targetRows, const StopCheck &stop, const Found &found);

    // m-sets, the cases to cover.
    quint64 caseCount() const { return m_caseCount; }

private:
    static constexpr qint64 WalkPatience = 20000;
    static constexpr quint64 NoiseOneIn = 64;
    static constexpr qint64 AnnealFirst = 20000;
    static constexpr qint64 AnnealLongest = qint64(1) << 26;
    static constexpr double AnnealHot = 0.5;
    static constexpr double AnnealCold = 0.05;
    static constexpr size_t AcceptSize = 16;

    quint32 rank(quint64 set) const;
    quint64 random(quint64 below);
    void addRow(quint64 row);
    void removeRow(size_t index);
    void cover(quint32 rank, int change);
    bool startGreedy(const StopCheck &stop);
    size_t leastUsefulRow();
    void reset();
    bool keepCover(int targetRows, const Found &found);
    bool walk(int targetRows, const StopCheck &stop, const Found &found);
    void anneal(int targetRows, const StopCheck &stop, const Found &found);
    bool annealRound(qint64 length, const StopCheck &stop);
    void annealStep(const std::array<double, AcceptSize> &accept);
    void nearRows(quint64 target);
    size_t nearRow(quint64 target);
    void step(qint64 now);
    int moveDelta(quint64 row, int out, int in);
    void rowDeltas(quint64 row, quint64 target, int in);
    void applyMove(size_t index, int out, int in);
    void fillPairs(quint64 row, int out, int in);
    template<typename F>
    void forEachCovered(quint64 row, F f) const;

    CoverProblem m_p;
    bool m_anneal = false;
    quint64 m_all = 0;
    quint64 m_caseCount = 0;
    std::mt19937_64 m_random;
    std::vector<quint32> m_count; // rows covering each m-set, by rank
    std::vector<quint32> m_open;  // uncovered m-sets
    std::vector<qint32> m_openAt; // place in m_open, -1 when covered
    std::vector<quint64> m_rows;
    std::vector<quint64> m_best; // smallest complete cover so far
    qint64 m_steps = 0;
    std::vector<qint64> m_tabu;     // [row * V + element]: step until it may return
    std::vector<quint64> m_lost;    // the m-sets a move may uncover
    std::vector<quint64> m_gained;  // and the ones it may cover, pairwise
    std::vector<quint64> m_subsets; // scratch
    std::vector<quint64> m_others;  // scratch
    std::vector<size_t> m_near;     // rows nearest the m-set being covered
    size_t m_bestOpen = 0;
    std::array<int, 64> m_deltaOf{}; // per element moved out: see rowDeltas
};
