#include "core/WheelBuild.h"

#include "core/CoverSearch.h"
#include "core/PrizeChance.h"
#include "core/ShippedWheels.h"
#include "core/WheelBounds.h"
#include "core/WheelCheck.h"
#include "core/WheelGame.h"

#include <QElapsedTimer>

#include <algorithm>
#include <mutex>
#include <thread>

namespace {

// Past this many cases the search would need too much memory and time.
constexpr quint64 MaxCases = 2000000;
constexpr int MaxThreads = 8;

struct SharedBest
{
    std::mutex lock;
    size_t rows = size_t(-1);
};

std::vector<std::vector<int>> ToNumbers(const std::vector<quint64> &rows,
                                        const std::vector<int> &numbers)
{
    std::vector<std::vector<int>> out;
    for (quint64 row : rows) {
        std::vector<int> values;
        for (; row != 0; row &= row - 1)
            values.push_back(numbers[size_t(__builtin_ctzll(row))]);
        out.push_back(values);
    }
    std::sort(out.begin(), out.end());
    return out;
}

// The fewest rows any search found; null when none found any.
const std::vector<quint64> *Smallest(const std::vector<std::vector<quint64>> &found)
{
    const std::vector<quint64> *best = nullptr;
    for (const std::vector<quint64> &rows : found) {
        if (!rows.empty() && (!best || rows.size() < best->size()))
            best = &rows;
    }
    return best;
}

} // namespace

QString WheelRequestError(const WheelRequest &request)
{
    if (request.Game < 0 || request.Game >= WheelGameCount())
        return QStringLiteral("ゲームを選んでください。");
    const WheelGame game = WheelGameAt(request.Game);
    std::vector<int> numbers = request.Numbers;
    std::sort(numbers.begin(), numbers.end());
    if (std::adjacent_find(numbers.begin(), numbers.end()) != numbers.end()
        || (!numbers.empty() && (numbers.front() < 1 || numbers.back() > game.MaxNumber)))
        return QStringLiteral("数字は 1～%1 から重ならないように選んでください。")
            .arg(game.MaxNumber);
    const int v = int(numbers.size());
    if (v < game.PickCount)
        return QStringLiteral("数字を %1 個以上選んでください。").arg(game.PickCount);
    if (request.Match < 1 || request.Match > request.If || request.If > game.PickCount)
        return QStringLiteral(
                   "当たりの数は 1 以上、条件の数以下、条件の数は %1 以下にしてください。")
            .arg(game.PickCount);
    if (Binomial(v, request.If) > MaxCases)
        return QStringLiteral("場合の数が多すぎます（%1 "
                              "通り）。数字を減らすか、条件の数を小さくしてください。")
            .arg(Binomial(v, request.If));
    return QString();
}

namespace {

// The shipped wheel for this case in the chosen numbers, if it keeps its
// guarantee there; empty otherwise.
std::vector<std::vector<int>> ShippedRows(const std::vector<int> &numbers, const CoverProblem &p)
{
    std::vector<std::vector<int>> rows = ShippedWheel(p.V, p.K, p.T, p.M);
    for (std::vector<int> &row : rows) {
        if (int(row.size()) != p.K)
            return {};
        for (int &n : row) {
            if (n < 1 || n > p.V)
                return {};
            n = numbers[size_t(n - 1)];
        }
        std::sort(row.begin(), row.end());
    }
    std::sort(rows.begin(), rows.end());
    const WheelCheckResult check = CheckWheel(numbers, rows, p.T, p.M);
    if (rows.empty() || !check.Valid || check.Uncovered != 0)
        return {};
    return rows;
}

struct SearchRun
{
    CoverProblem Problem;
    int Target = 0;  // stop once this small
    size_t Beat = 0; // only smaller covers are reported
    const WheelRequest &Request;
    const std::atomic<bool> *Stop;
    const WheelProgress &Progress;
};

// Runs the searches on their threads; the smallest cover of each.
std::vector<std::vector<quint64>> Search(const SearchRun &run, const QElapsedTimer &timer)
{
    const auto seconds = [&] { return double(timer.nsecsElapsed()) / 1e9; };
    const WheelRequest &request = run.Request;
    const int threads = std::clamp(request.Threads, 1, MaxThreads);
    std::atomic<bool> reached{false};
    SharedBest shared;
    shared.rows = run.Beat;
    std::vector<std::vector<quint64>> found(static_cast<size_t>(threads));
    const auto search = [&](int index) {
        CoverSearch searcher(run.Problem, request.Seed * 0x9E3779B97F4A7C15ull + quint64(index),
                             index % 2 == 1);
        const auto stopCheck = [&](qint64 steps) {
            return (run.Stop && run.Stop->load()) || reached.load() || seconds() > request.Seconds
                   || (request.MaxSteps > 0 && steps >= request.MaxSteps);
        };
        const auto onFound = [&](const std::vector<quint64> &rows) {
            // With a step limit the searches must not stop each other, or
            // which one got there first would decide the rows.
            if (int(rows.size()) <= run.Target && request.MaxSteps == 0)
                reached.store(true);
            const std::lock_guard<std::mutex> hold(shared.lock);
            if (rows.size() < shared.rows) {
                shared.rows = rows.size();
                if (run.Progress)
                    run.Progress(int(rows.size()), seconds());
            }
        };
        found[size_t(index)] = searcher.run(run.Target, stopCheck, onFound);
    };
    std::vector<std::thread> helpers;
    for (int i = 1; i < threads; ++i)
        helpers.emplace_back(search, i);
    search(0);
    for (std::thread &helper : helpers)
        helper.join();
    return found;
}

} // namespace

// A shipped wheel, when there is one, is the start: the search then only
// looks for a smaller one in the time given.
WheelResult BuildWheel(const WheelRequest &request, const std::atomic<bool> *stop,
                       const WheelProgress &progress)
{
    WheelResult result;
    result.Error = WheelRequestError(request);
    if (!result.Error.isEmpty())
        return result;
    std::vector<int> numbers = request.Numbers;
    std::sort(numbers.begin(), numbers.end());
    const CoverProblem problem{int(numbers.size()), WheelGameAt(request.Game).PickCount, request.If,
                               request.Match};
    result.LowerBound = WheelLowerBound(problem.V, problem.K, problem.M, problem.T);
    result.BestKnown = BestKnownRows(problem.V, problem.K, problem.M, problem.T);
    QElapsedTimer timer;
    timer.start();
    result.Rows = ShippedRows(numbers, problem);
    result.FromData = !result.Rows.empty();
    if (result.FromData && progress)
        progress(int(result.Rows.size()), 0);
    const SearchRun run{problem,
                        std::max(result.LowerBound, request.TargetRows),
                        result.FromData ? result.Rows.size() : size_t(-1),
                        request,
                        stop,
                        progress};
    if (!result.FromData || int(result.Rows.size()) > run.Target) {
        const std::vector<std::vector<quint64>> found = Search(run, timer);
        const std::vector<quint64> *best = Smallest(found);
        if (best && (!result.FromData || best->size() < result.Rows.size())) {
            result.Rows = ToNumbers(*best, numbers);
            result.FromData = false;
        }
    }
    result.Stopped = stop && stop->load();
    result.Seconds = double(timer.nsecsElapsed()) / 1e9;
    const WheelCheckResult check = CheckWheel(numbers, result.Rows, request.Match, request.If);
    result.Cases = check.Cases;
    result.Uncovered = check.Valid ? check.Uncovered : check.Cases;
    return result;
}
