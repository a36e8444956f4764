#include "core/Backtest.h"

#include "core/PrizeChance.h"
#include "core/WorkControl.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <memory>
#include <thread>
#include <utility>

namespace {

constexpr int BlockWords = 64;
constexpr int BlockRows = BlockWords * 64;

// The well-formed draws of one game, ready for judging.
struct GameDraws
{
    std::vector<std::array<int, MaxPickCount>> Numbers;
    std::vector<DrawSets> Sets;
    // The bonus numbers; a game with fewer than the most leaves slot 0.
    std::vector<std::array<int, MaxBonusCount>> Bonus;
    // Per tier the prize one win earns; 0 where it is not known.
    std::vector<std::array<qint64, MaxTiers>> Prices;
    std::vector<size_t> ResultIndex; // into BacktestResult::Draws
};

using DrawWins = std::vector<std::array<qint64, MaxTiers>>;

// The numbers of a block of rows turned on their side: bit b of Bits[n][w]
// is set when row 64 w + b of the block holds n.
struct Block
{
    std::array<std::array<quint64, BlockWords>, BoardSlots> Bits;
    // The block's rows' wins and yen, written out once the block is done.
    std::array<std::array<quint32, MaxTiers>, BlockRows> Wins;
    std::array<qint64, BlockRows> Yen;
};

// The tier index (0 the first prize, -1 none) of a count of hits written as
// bits 2, 1, 0 followed by the bonus bit, read off the game's prize tiers.
// Three bits count up to seven hits.
template<int Game>
int TierIndex(int code)
{
    static constexpr std::array<qint8, 16> Indices = [] {
        std::array<qint8, 16> indices{};
        for (int c = 0; c < 16; ++c)
            indices[size_t(c)] = qint8(PrizeTier(Game, c >> 1, (c & 1) != 0) - 1);
        return indices;
    }();
    return Indices[size_t(code)];
}

struct Job
{
    int Game = 0;
    size_t First = 0; // into the game's rows
    size_t Count = 0;
};

class Judge
{
public:
    Judge(const SavedRowSets &rows, const std::array<GameDraws, GameCount> &draws,
          std::vector<BacktestRow> &out)
        : m_rows(rows)
        , m_draws(draws)
        , m_out(out)
    {
        // Rows that score a number twice take the slow road apart.
        for (int g = 0; g < GameCount; ++g) {
            m_fast[size_t(g)] = rows.Games[size_t(g)].Sets;
            for (const GameRowSets::Repeat &repeat : rows.Games[size_t(g)].Repeats)
                m_fast[size_t(g)][repeat.Index] = 0;
        }
    }

    void judgeBlock(const Job &job, Block &block, DrawWins &wins) const
    {
        for (auto &bits : block.Bits)
            std::fill(bits.begin(), bits.end(), 0);
        std::fill_n(block.Wins.begin(), job.Count, std::array<quint32, MaxTiers>{});
        std::fill_n(block.Yen.begin(), job.Count, 0);
        const std::vector<NumberSet> &sets = m_fast[size_t(job.Game)];
        for (size_t i = 0; i < job.Count; ++i) {
            NumberSet set = sets[job.First + i];
            while (set != 0) {
                block.Bits[size_t(__builtin_ctzll(set))][i / 64] |= quint64(1) << (i % 64);
                set &= set - 1;
            }
        }
        const int words = int((job.Count + 63) / 64);
        static const std::array<Scan, GameCount> scans = MakeScans(
            std::make_index_sequence<GameCount>());
        (this->*scans[size_t(job.Game)])(job, block, words, wins);
        const std::vector<int> &gridRows = m_rows.Games[size_t(job.Game)].GridRows;
        for (size_t i = 0; i < job.Count; ++i) {
            BacktestRow &row = m_out[size_t(gridRows[job.First + i] - 1)];
            row.Wins = block.Wins[i];
            row.Yen = block.Yen[i];
        }
    }

    void judgeRepeats(int game, DrawWins &wins) const
    {
        const GameRowSets &rows = m_rows.Games[size_t(game)];
        const GameDraws &draws = m_draws[size_t(game)];
        for (const GameRowSets::Repeat &repeat : rows.Repeats) {
            BacktestRow &row = m_out[size_t(rows.GridRows[repeat.Index] - 1)];
            for (size_t j = 0; j < draws.Sets.size(); ++j) {
                int hits = 0;
                for (const NumberSet layer : repeat.AtLeast)
                    hits += CountNumbers(layer & draws.Sets[j].Main);
                const int tier = PrizeTier(game, hits, repeat.AtLeast[0] & draws.Sets[j].Bonus);
                if (tier > 0) {
                    ++row.Wins[size_t(tier - 1)];
                    row.Yen += draws.Prices[j][size_t(tier - 1)];
                    ++wins[j][size_t(tier - 1)];
                }
            }
        }
    }

private:
    using Scan = void (Judge::*)(const Job &, Block &, int, DrawWins &) const;
    template<size_t... Game>
    static constexpr std::array<Scan, sizeof...(Game)> MakeScans(std::index_sequence<Game...>)
    {
        return {&Judge::scan<int(Game)>...};
    }

    // The rows of 64 lanes that hit at least Fewest numbers, from the bits of
    // their counts.
    template<int Fewest>
    static quint64 AtLeastHits(quint64 bit2, quint64 bit1, quint64 bit0)
    {
        static_assert(Fewest >= 1 && Fewest <= 7, "three bits count one to seven hits");
        if constexpr (Fewest == 1)
            return bit2 | bit1 | bit0;
        else if constexpr (Fewest == 2)
            return bit2 | bit1;
        else if constexpr (Fewest == 3)
            return bit2 | (bit1 & bit0);
        else if constexpr (Fewest == 4)
            return bit2;
        else if constexpr (Fewest == 5)
            return bit2 & (bit1 | bit0);
        else if constexpr (Fewest == 6)
            return bit2 & bit1;
        else
            return bit2 & bit1 & bit0;
    }

    // Adds up each row's hits with the draw bit by bit across 64 rows at a
    // time: bit0, bit1 and bit2 of every row's count, two full adders of
    // three numbers each and the seventh number added to their sums. Slot 0
    // holds no number, so the numbers a game lacks add nothing. A row with
    // enough hits to win takes its tier from its count bits and bonus bit.
    template<int Game>
    void scan(const Job &job, Block &block, int words, DrawWins &wins) const
    {
        constexpr int Pick = GameRules[Game].PickCount;
        constexpr int Bonuses = GameRules[Game].BonusCount;
        static_assert(Pick <= 7 && Pick <= MaxPickCount, "the counters add up seven numbers");
        static_assert(Bonuses >= 1 && Bonuses <= MaxBonusCount, "a draw has a bonus number");
        const GameDraws &draws = m_draws[size_t(job.Game)];
        for (size_t j = 0; j < draws.Numbers.size(); ++j) {
            const std::array<int, MaxPickCount> &numbers = draws.Numbers[j];
            std::array<const quint64 *, 7> in{};
            for (int i = 0; i < 7; ++i)
                in[size_t(i)] = block.Bits[size_t(i < Pick ? numbers[size_t(i)] : 0)].data();
            std::array<const quint64 *, Bonuses> bonus{};
            for (int i = 0; i < Bonuses; ++i)
                bonus[size_t(i)] = block.Bits[size_t(draws.Bonus[j][size_t(i)])].data();
            const std::array<qint64, MaxTiers> &prices = draws.Prices[j];
            std::array<qint64, MaxTiers> &drawWins = wins[j];
            for (int w = 0; w < words; ++w) {
                const quint64 a = in[0][w], b = in[1][w], c = in[2][w];
                const quint64 d = in[3][w], e = in[4][w], f = in[5][w], g = in[6][w];
                const quint64 x1 = a ^ b;
                const quint64 s1 = x1 ^ c;
                const quint64 c1 = (a & b) | (c & x1);
                const quint64 x2 = d ^ e;
                const quint64 s2 = x2 ^ f;
                const quint64 c2 = (d & e) | (f & x2);
                const quint64 x0 = s1 ^ s2;
                const quint64 bit0 = x0 ^ g;
                const quint64 k0 = (s1 & s2) | (g & x0);
                const quint64 x3 = c1 ^ c2;
                const quint64 bit1 = x3 ^ k0;
                const quint64 bit2 = (c1 & c2) | (k0 & x3);
                const quint64 winners = AtLeastHits<std::max(1, MinPrizeHits(Game))>(bit2, bit1,
                                                                                     bit0);
                quint64 bonusBits = 0;
                for (int i = 0; i < Bonuses; ++i)
                    bonusBits |= bonus[size_t(i)][w];
                for (quint64 mask = winners; mask != 0; mask &= mask - 1) {
                    const int lane = __builtin_ctzll(mask);
                    const int code = int((bit2 >> lane) & 1) << 3 | int((bit1 >> lane) & 1) << 2
                                     | int((bit0 >> lane) & 1) << 1 | int((bonusBits >> lane) & 1);
                    const int t = TierIndex<Game>(code);
                    if (t < 0)
                        continue; // enough hits only with a bonus number
                    const size_t i = size_t(w) * 64 + size_t(lane);
                    ++block.Wins[i][size_t(t)];
                    block.Yen[i] += prices[size_t(t)];
                    ++drawWins[size_t(t)];
                }
            }
        }
    }

    const SavedRowSets &m_rows;
    const std::array<GameDraws, GameCount> &m_draws;
    std::vector<BacktestRow> &m_out;
    std::array<std::vector<NumberSet>, GameCount> m_fast;
};

GameDraws PrepareDraws(int game, const GameInfo &info, const QVector<DrawRecord> &records,
                       BacktestResult &result)
{
    GameDraws draws;
    BacktestSummary &summary = result.Games[size_t(game)];
    for (const DrawRecord &record : records) {
        const std::optional<DrawSets> sets = record.Game == game ? DrawSetsOf(record, info)
                                                                 : std::nullopt;
        if (!sets) {
            ++summary.SkippedDraws;
            continue;
        }
        std::array<int, MaxPickCount> numbers{};
        std::copy_n(record.Numbers.begin(), info.PickCount, numbers.begin());
        draws.Numbers.push_back(numbers);
        draws.Sets.push_back(*sets);
        std::array<int, MaxBonusCount> bonus{};
        bonus[0] = record.Bonus;
        for (size_t i = 1; i < bonus.size() && int(i) < GameRuleOf(game).BonusCount; ++i)
            bonus[i] = record.MoreBonuses[i - 1];
        draws.Bonus.push_back(bonus);

        BacktestDraw shown;
        shown.Game = game;
        shown.DrawNumber = record.DrawNumber;
        shown.Date = record.Date;
        // A prize past the limit (a history some other program wrote) is
        // as good as unknown: no sum of it could be trusted.
        shown.KnownPrizes = int(
            std::count_if(record.PrizeYen.begin(), record.PrizeYen.begin() + TierCount(game),
                          [](qint64 yen) { return yen >= 0 && yen <= DrawRecord::MaxYen; }));
        shown.Priced = shown.KnownPrizes == TierCount(game);
        std::array<qint64, MaxTiers> prices{};
        for (int t = 0; t < TierCount(game); ++t) {
            // A tier nobody won stores no amount a win could be paid.
            const qint64 yen = record.PrizeYen[size_t(t)];
            prices[size_t(t)] = shown.Priced && yen > 0 ? yen : 0;
        }
        draws.Prices.push_back(prices);
        draws.ResultIndex.push_back(result.Draws.size());
        result.Draws.push_back(shown);
    }
    summary.Draws = qint64(draws.Sets.size());
    return draws;
}

int ThreadCount(int threads)
{
    if (threads > 0)
        return threads;
    return std::max(1, int(std::thread::hardware_concurrency()));
}

} // namespace

int BacktestRow::bestTier() const
{
    for (int t = 0; t < MaxTiers; ++t) {
        if (Wins[size_t(t)] > 0)
            return t + 1;
    }
    return 0;
}

namespace {

using ThreadWins = std::vector<std::array<DrawWins, GameCount>>;

// Every ticket gets its place in the result, numbered as in the grid; the
// places of other rows are dropped once the run is over.
void PlaceRows(const SavedRowSets &rows, BacktestResult &result)
{
    // Sets built by hand may leave the grid's row count unsaid.
    int gridRows = rows.GridRowCount;
    for (const GameRowSets &game : rows.Games) {
        for (const int row : game.GridRows)
            gridRows = std::max(gridRows, row);
    }
    result.Rows.resize(size_t(gridRows));
    for (int g = 0; g < GameCount; ++g) {
        const GameRowSets &game = rows.Games[size_t(g)];
        for (size_t i = 0; i < game.size(); ++i) {
            BacktestRow &row = result.Rows[size_t(game.GridRows[i] - 1)];
            row.GridRow = game.GridRows[i];
            row.Game = g;
        }
    }
}

// Blocks of rows for the threads to take in turn; total is the row-draw pairs.
std::vector<Job> MakeJobs(const SavedRowSets &rows,
                          const std::array<GameDraws, GameCount> &prepared, qint64 &total)
{
    std::vector<Job> jobs;
    total = 0;
    for (int g = 0; g < GameCount; ++g) {
        const size_t count = rows.Games[size_t(g)].size();
        if (prepared[size_t(g)].Sets.empty())
            continue;
        for (size_t first = 0; first < count; first += BlockRows)
            jobs.push_back({g, first, std::min<size_t>(BlockRows, count - first)});
        total += qint64(count) * qint64(prepared[size_t(g)].Sets.size());
    }
    return jobs;
}

// Runs the jobs on threadCount threads, each counting wins per draw apart.
ThreadWins RunJobs(const Judge &judge, const std::vector<Job> &jobs,
                   const std::array<GameDraws, GameCount> &prepared, int threadCount,
                   WorkControl &control)
{
    ThreadWins wins(static_cast<size_t>(threadCount));
    for (auto &perThread : wins) {
        for (int g = 0; g < GameCount; ++g)
            perThread[size_t(g)].assign(prepared[size_t(g)].Sets.size(), {});
    }
    std::atomic<size_t> next{0};
    const auto work = [&](int thread) {
        auto block = std::make_unique<Block>();
        for (size_t i = next.fetch_add(1); i < jobs.size(); i = next.fetch_add(1)) {
            if (control.isCancelled())
                return;
            const Job &job = jobs[i];
            judge.judgeBlock(job, *block, wins[size_t(thread)][size_t(job.Game)]);
            if (!control.advance(qint64(job.Count)
                                 * qint64(prepared[size_t(job.Game)].Sets.size())))
                return;
        }
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < threadCount; ++t)
        helpers.emplace_back(work, t);
    work(0);
    for (std::thread &helper : helpers)
        helper.join();
    return wins;
}

// Wins, winnings and what chance alone gives, per game and per draw.
void Summarize(int g, const GameInfo &info, const GameDraws &gameDraws, const ThreadWins &wins,
               qint64 rowCount, const QVector<DrawRecord> &records, BacktestResult &result)
{
    const std::array<std::optional<double>, MaxTiers> expected = AveragePrizeYen(records, g);
    BacktestSummary &summary = result.Games[size_t(g)];
    summary.Rows = rowCount;
    summary.CostYen = summary.Rows * summary.Draws * GameRuleOf(g).RowYen;

    const std::array<quint64, MaxTiers> single = SingleRowTierOutcomes(info);
    const double outcomes = double(BonusOutcomes(info));
    for (int t = 0; t < TierCount(g); ++t)
        summary.ChanceWins[size_t(t)] = double(summary.Rows) * double(summary.Draws)
                                        * double(single[size_t(t)]) / outcomes;

    __int128 winnings = 0;
    for (size_t j = 0; j < gameDraws.Sets.size(); ++j) {
        BacktestDraw &draw = result.Draws[gameDraws.ResultIndex[j]];
        for (const auto &perThread : wins) {
            for (int t = 0; t < MaxTiers; ++t)
                draw.Wins[size_t(t)] += perThread[size_t(g)][j][size_t(t)];
        }
        // Twenty million rows each winning a trillion yen pass what 64 bits
        // hold: the sums are taken in 128 bits and checked.
        __int128 drawYen = 0;
        for (int t = 0; t < TierCount(g); ++t) {
            const qint64 count = draw.Wins[size_t(t)];
            const qint64 price = gameDraws.Prices[j][size_t(t)];
            summary.Wins[size_t(t)] += count;
            drawYen += __int128(count) * price;
            if (price == 0)
                summary.UnpricedWins += count;
            if (!draw.Priced)
                (draw.KnownPrizes > 0 ? summary.PartlyPricedWins : summary.UnrecordedWins) += count;
            if (draw.Priced && expected[size_t(t)])
                summary.ChanceWinningsYen += double(summary.Rows) * double(single[size_t(t)])
                                             / outcomes * *expected[size_t(t)];
        }
        draw.YenTooLarge = drawYen > std::numeric_limits<qint64>::max();
        draw.Yen = draw.YenTooLarge ? 0 : qint64(drawYen);
        winnings += drawYen;
        if (!draw.Priced && draw.KnownPrizes > 0)
            ++summary.PartlyPricedDraws;
        if (draw.Priced) {
            ++summary.PricedDraws;
            summary.PricedCostYen += summary.Rows * GameRuleOf(g).RowYen;
        }
    }
    summary.WinningsTooLarge = winnings > std::numeric_limits<qint64>::max();
    summary.WinningsYen = summary.WinningsTooLarge ? 0 : qint64(winnings);
}

} // namespace

BacktestResult RunBacktest(const SavedRowSets &rows,
                           const std::array<QVector<DrawRecord>, GameCount> &draws,
                           WorkControl &control, int threads)
{
    BacktestResult result;
    std::array<GameDraws, GameCount> prepared;
    for (int g = 0; g < GameCount; ++g)
        prepared[size_t(g)] = PrepareDraws(g, GameInfoOf(g), draws[size_t(g)], result);
    PlaceRows(rows, result);

    qint64 total = 0;
    const std::vector<Job> jobs = MakeJobs(rows, prepared, total);
    control.start(total);
    const Judge judge(rows, prepared, result.Rows);
    const int threadCount = std::min(ThreadCount(threads), std::max(1, int(jobs.size())));
    ThreadWins wins = RunJobs(judge, jobs, prepared, threadCount, control);
    // Rows with repeated numbers are few; their steps were counted with the rest.
    for (int g = 0; g < GameCount && !control.isCancelled(); ++g)
        judge.judgeRepeats(g, wins[0][size_t(g)]);
    if (control.isCancelled()) {
        BacktestResult cancelled;
        cancelled.Cancelled = true;
        return cancelled;
    }

    for (int g = 0; g < GameCount; ++g) {
        Summarize(g, GameInfoOf(g), prepared[size_t(g)], wins, qint64(rows.Games[size_t(g)].size()),
                  draws[size_t(g)], result);
        result.Games[size_t(g)].NotTickets = rows.Games[size_t(g)].NotTickets;
    }
    result.Rows.erase(std::remove_if(result.Rows.begin(), result.Rows.end(),
                                     [](const BacktestRow &row) { return row.GridRow == 0; }),
                      result.Rows.end());
    return result;
}
