#include "core/PopularityFit.h"

#include "core/WorkControl.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <vector>

// Which effects the model holds, and why. A winner of the last shared tier
// shares only part of the drawn combination (LOTO6 4等: four of six), so its
// count carries almost nothing of whole-combination shapes (runs, equal
// gaps, sheet patterns) and very much of how popular each drawn number is.
// The counts therefore support: one popularity per number (birthdays, lucky
// numbers and the low end all show there) and one shared effect for the
// numbers of the previous draw, which many pick again and which moves from
// draw to draw, so it is told apart from a number's own popularity. Both
// keep a ticket's weight a product over its numbers, which makes every
// tier's winners exact sums (see PopularitySums.h) instead of estimates.

namespace {

// Ridge on every log effect: fixes the level the numbers share and keeps a
// short history from fitting its noise.
constexpr double Ridge = 4.0;
// Draws before the first out-of-sample prediction, and at most this many
// predictions between refits.
constexpr int FirstTraining = 52;
constexpr int RecentDraws = 52;
// Draws whose fixed-prize winners put the pools back in step with the sales.
constexpr int CalibrationDraws = 52;

struct FitDraw
{
    int DrawNumber = 0;
    DrawSets Sets;
    NumberSet Previous = 0;
    double LogExposure = 0;
    double Winners = 0;
    double FirstWinners = -1; // unknown
    double FixedWinners = -1; // of the last fixed-prize tier; unknown
};

using Theta = std::vector<double>; // [0] scale, [1..N] numbers, [N + 1] repeat

struct Prepared
{
    std::vector<FitDraw> Draws;
    std::vector<const DrawRecord *> Records; // beside Draws
    NumberSet Latest = 0;
    qint64 WithoutCounts = 0;
    qint64 Malformed = 0;
};

// log(weight of tier's winners / weight of every ticket) for one draw, and
// its gradient by the number effects and the repeat effect when asked.
double LogShare(const PopularityGame &game, const FitDraw &draw, const Theta &theta, int tier,
                double *gradient)
{
    const int n = game.MaxNumber;
    const int k = game.PickCount;
    NumberWeights w{};
    for (int x = 1; x <= n; ++x)
        w[size_t(x)] = std::exp(theta[size_t(x)]
                                + ((draw.Previous & NumberBit(x)) ? theta[size_t(n + 1)] : 0.0));
    const ClassSums sums = SumsOfDraw(game, draw.Sets, w);
    const SymmetricSums all = SumsOf(NumbersUpTo(n), w, k);
    const double winners = TierWeight(game, sums, tier);
    const double everyone = all[size_t(k)];
    if (gradient) {
        double repeat = 0;
        for (int x = 1; x <= n; ++x) {
            ClassSums changed = sums;
            SymmetricSums &part = (draw.Sets.Main & NumberBit(x))    ? changed.Main
                                  : (draw.Sets.Bonus & NumberBit(x)) ? changed.Bonus
                                                                     : changed.Other;
            part = SumsDerivative(part, w[size_t(x)], k);
            const double g = TierWeight(game, changed, tier) / winners
                             - SumsDerivative(all, w[size_t(x)], k)[size_t(k)] / everyone;
            gradient[x] = g;
            if (draw.Previous & NumberBit(x))
                repeat += g;
        }
        gradient[0] = 1;
        gradient[n + 1] = repeat;
    }
    return std::log(winners) - std::log(everyone);
}

// Solves a x = b for a symmetric positive definite a (lower half used).
std::vector<double> SolveSymmetric(std::vector<double> a, std::vector<double> b, int size)
{
    for (int j = 0; j < size; ++j) {
        double d = a[size_t(j * size + j)];
        for (int m = 0; m < j; ++m)
            d -= a[size_t(j * size + m)] * a[size_t(j * size + m)];
        d = std::sqrt(std::max(d, 1e-12));
        a[size_t(j * size + j)] = d;
        for (int i = j + 1; i < size; ++i) {
            double s = a[size_t(i * size + j)];
            for (int m = 0; m < j; ++m)
                s -= a[size_t(i * size + m)] * a[size_t(j * size + m)];
            a[size_t(i * size + j)] = s / d;
        }
    }
    for (int i = 0; i < size; ++i) {
        for (int m = 0; m < i; ++m)
            b[size_t(i)] -= a[size_t(i * size + m)] * b[size_t(m)];
        b[size_t(i)] /= a[size_t(i * size + i)];
    }
    for (int i = size - 1; i >= 0; --i) {
        for (int m = i + 1; m < size; ++m)
            b[size_t(i)] -= a[size_t(m * size + i)] * b[size_t(m)];
        b[size_t(i)] /= a[size_t(i * size + i)];
    }
    return b;
}

// Penalised Fisher scoring over the first count draws, from theta as given.
void FitTheta(const PopularityGame &game, const std::vector<FitDraw> &draws, size_t count, int tier,
              Theta &theta, int iterations)
{
    const int size = int(theta.size());
    std::vector<double> gradient(static_cast<size_t>(size), 0.0);
    for (int iteration = 0; iteration < iterations; ++iteration) {
        std::vector<double> info(size_t(size * size), 0.0);
        std::vector<double> score(size_t(size), 0.0);
        for (size_t d = 0; d < count; ++d) {
            const FitDraw &draw = draws[d];
            const double mu = std::exp(theta[0] + draw.LogExposure
                                       + LogShare(game, draw, theta, tier, gradient.data()));
            const double residual = draw.Winners - mu;
            for (int i = 0; i < size; ++i) {
                const double gi = gradient[size_t(i)];
                score[size_t(i)] += residual * gi;
                double *row = &info[size_t(i * size)];
                const double weighted = mu * gi;
                for (int j = 0; j <= i; ++j)
                    row[j] += weighted * gradient[size_t(j)];
            }
        }
        for (int i = 1; i < size; ++i) {
            info[size_t(i * size + i)] += Ridge;
            score[size_t(i)] -= Ridge * theta[size_t(i)];
        }
        std::vector<double> step = SolveSymmetric(std::move(info), std::move(score), size);
        double largest = 0;
        for (const double s : step)
            largest = std::max(largest, std::abs(s));
        // A long first step from a poor start is cut short, not taken whole.
        const double scale = largest > 1 ? 1 / largest : 1;
        for (int i = 0; i < size; ++i)
            theta[size_t(i)] += scale * step[size_t(i)];
        if (largest < 1e-5)
            return;
    }
}

// The pools of the shared tiers from the second down: fixed parts of the
// sales, so their sum measures the tickets sold whatever the winners. A
// tier nobody won (its pool carried over) is left out and the rest scaled
// up by their usual part of the sum.
struct ExposureRule
{
    std::vector<int> Tiers;
    std::vector<double> Parts;

    std::optional<double> of(const DrawRecord &draw) const
    {
        double yen = 0;
        double part = 0;
        for (size_t i = 0; i < Tiers.size(); ++i) {
            const size_t t = size_t(Tiers[i] - 1);
            if (draw.Winners[t] > 0 && draw.PrizeYen[t] > 0) {
                yen += double(draw.Winners[t]) * double(draw.PrizeYen[t]);
                part += Parts[i];
            }
        }
        if (part <= 0 || yen <= 0)
            return std::nullopt;
        return yen / part;
    }
};

ExposureRule MakeExposureRule(const PopularityGame &game,
                              const std::vector<const DrawRecord *> &all)
{
    ExposureRule rule;
    const int lowest = game.lowestSharedTier();
    for (int t = std::min(2, lowest); t <= lowest; ++t) {
        if (game.Tiers[size_t(t - 1)].shared())
            rule.Tiers.push_back(t);
    }
    rule.Parts.assign(rule.Tiers.size(), 0.0);
    double sum = 0;
    for (const DrawRecord *draw : all) {
        std::vector<double> pools;
        for (const int t : rule.Tiers) {
            const size_t i = size_t(t - 1);
            if (draw->Winners[i] <= 0 || draw->PrizeYen[i] <= 0)
                break;
            pools.push_back(double(draw->Winners[i]) * double(draw->PrizeYen[i]));
        }
        if (pools.size() != rule.Tiers.size())
            continue;
        for (size_t i = 0; i < pools.size(); ++i) {
            rule.Parts[i] += pools[i];
            sum += pools[i];
        }
    }
    for (double &part : rule.Parts)
        part = sum > 0 ? part / sum : 1.0 / double(rule.Parts.size());
    return rule;
}

// The pools are fixed parts of the sales only while the rules stay: when the
// parts change (LOTO6 gave its lower tiers smaller parts in 2017) the same
// sales give other pools, and one scale over the whole history would be
// wrong on one side of the change. A fixed-prize tier is paid per winner
// whatever the parts, so its winners per pool yen, the median over the draws
// just before (never the draw's own), put each draw's pools back in step
// with its sales. Without such a tier the pools stand as they are.
void CalibrateExposure(std::vector<FitDraw> &draws)
{
    std::vector<std::pair<size_t, double>> ratios; // draw, fixed winners per pool
    for (size_t d = 0; d < draws.size(); ++d) {
        if (draws[d].FixedWinners > 0)
            ratios.emplace_back(d, std::log(draws[d].FixedWinners) - draws[d].LogExposure);
    }
    if (ratios.size() < size_t(CalibrationDraws))
        return;
    std::vector<double> window;
    size_t next = 0; // the first ratio of a draw not before the current one
    for (size_t d = 0; d < draws.size(); ++d) {
        while (next < ratios.size() && ratios[next].first < d)
            ++next;
        // The first draws, used for training alone, take the first ratios.
        const size_t end = std::max(next, size_t(CalibrationDraws));
        window.clear();
        for (size_t i = end - size_t(CalibrationDraws); i < end; ++i)
            window.push_back(ratios[i].second);
        std::nth_element(window.begin(), window.begin() + long(window.size() / 2), window.end());
        draws[d].LogExposure += window[window.size() / 2];
    }
}

Prepared Prepare(const QVector<DrawRecord> &records, const PopularityGame &game, int tier)
{
    Prepared prepared;
    std::vector<const DrawRecord *> sorted;
    for (const DrawRecord &record : records) {
        if (record.Game == game.Game)
            sorted.push_back(&record);
    }
    std::stable_sort(sorted.begin(), sorted.end(), [](const DrawRecord *a, const DrawRecord *b) {
        return a->DrawNumber < b->DrawNumber;
    });
    QHash<int, NumberSet> mains;
    std::vector<const DrawRecord *> wellFormed;
    for (const DrawRecord *record : sorted) {
        if (const std::optional<DrawSets> sets = game.setsOf(*record)) {
            mains.insert(record->DrawNumber, sets->Main);
            wellFormed.push_back(record);
            prepared.Latest = sets->Main;
        } else {
            ++prepared.Malformed;
        }
    }
    const ExposureRule exposure = MakeExposureRule(game, wellFormed);
    int fixedTier = 0;
    for (int t = 1; t <= game.TierCount; ++t) {
        if (!game.Tiers[size_t(t - 1)].shared())
            fixedTier = t;
    }
    for (const DrawRecord *record : wellFormed) {
        const std::optional<double> sales = exposure.of(*record);
        const qint64 winners = record->Winners[size_t(tier - 1)];
        if (!sales || winners < 0) {
            ++prepared.WithoutCounts;
            continue;
        }
        FitDraw draw;
        draw.DrawNumber = record->DrawNumber;
        draw.Sets = *game.setsOf(*record);
        draw.Previous = mains.value(record->DrawNumber - 1, 0);
        draw.LogExposure = std::log(*sales);
        draw.Winners = double(winners);
        draw.FirstWinners = double(std::max<qint64>(-1, record->Winners[0]));
        if (fixedTier > 0)
            draw.FixedWinners = double(
                std::max<qint64>(-1, record->Winners[size_t(fixedTier - 1)]));
        prepared.Draws.push_back(draw);
        prepared.Records.push_back(record);
    }
    CalibrateExposure(prepared.Draws);
    return prepared;
}

double PoissonDeviance(double observed, double expected)
{
    const double d = observed > 0 ? observed * std::log(observed / expected) - (observed - expected)
                                  : expected;
    return 2 * d;
}

} // namespace

namespace {

// The scale that makes the first count draws' expected winners add up to
// their winners when every combination is alike.
double FlatScale(const std::vector<FitDraw> &draws, size_t count, double logFlat)
{
    double observed = 0;
    double expected = 0;
    for (size_t d = 0; d < count; ++d) {
        observed += draws[d].Winners;
        expected += std::exp(draws[d].LogExposure + logFlat);
    }
    return observed > 0 && expected > 0 ? std::log(observed / expected) : 0.0;
}

struct OutOfSample
{
    size_t First = 0;
    size_t Block = 1;
    size_t refits(size_t draws) const
    {
        return draws < First + 10 ? 0 : (draws - First + Block - 1) / Block;
    }
};

OutOfSample OutOfSamplePlan(const PopularityGame &game, size_t draws)
{
    OutOfSample plan;
    plan.First = size_t(std::max(FirstTraining, 2 * (game.MaxNumber + 2)));
    plan.Block = std::max<size_t>(10, draws / 50);
    return plan;
}

// Each draw predicted by a model fitted to the draws before it alone; the
// model is fitted again every Block draws, starting from the last fit.
void PredictOutOfSample(const PopularityGame &game, const std::vector<FitDraw> &draws,
                        PopularityFit &fit, WorkControl *control)
{
    const OutOfSample plan = OutOfSamplePlan(game, draws.size());
    if (plan.refits(draws.size()) == 0)
        return;
    const Theta flat(size_t(game.MaxNumber + 2), 0.0);
    const double logFlat = LogShare(game, draws[0], flat, fit.Tier, nullptr);
    const double logFlatFirst = LogShare(game, draws[0], flat, 1, nullptr);
    Theta theta = flat;
    theta[0] = FlatScale(draws, plan.First, logFlat);
    std::vector<double> ratios;
    std::vector<double> predicted;
    double deviance = 0;
    double flatDeviance = 0;
    for (size_t start = plan.First; start < draws.size(); start += plan.Block) {
        if (control && control->isCancelled())
            return;
        FitTheta(game, draws, start, fit.Tier, theta, start == plan.First ? 30 : 2);
        const double flatScale = FlatScale(draws, start, logFlat);
        for (size_t d = start; d < std::min(draws.size(), start + plan.Block); ++d) {
            const FitDraw &draw = draws[d];
            const double flatMu = std::exp(flatScale + draw.LogExposure + logFlat);
            const double mu = std::exp(theta[0] + draw.LogExposure
                                       + LogShare(game, draw, theta, fit.Tier, nullptr));
            ratios.push_back(draw.Winners / flatMu);
            predicted.push_back(mu / flatMu);
            if (draw.FirstWinners < 0)
                continue;
            const double first = std::exp(theta[0] + draw.LogExposure
                                          + LogShare(game, draw, theta, 1, nullptr));
            deviance += PoissonDeviance(draw.FirstWinners, first);
            flatDeviance += PoissonDeviance(draw.FirstWinners,
                                            std::exp(flatScale + draw.LogExposure + logFlatFirst));
            ++fit.FirstTierDraws;
        }
        if (control)
            control->advance(1);
    }
    double mean = 0;
    for (const double r : ratios)
        mean += r / double(ratios.size());
    double residual = 0;
    double spread = 0;
    for (size_t i = 0; i < ratios.size(); ++i) {
        residual += (ratios[i] - predicted[i]) * (ratios[i] - predicted[i]);
        spread += (ratios[i] - mean) * (ratios[i] - mean);
    }
    fit.PredictedDraws = qint64(ratios.size());
    if (spread > 0)
        fit.RSquared = 1 - residual / spread;
    if (flatDeviance > 0)
        fit.FirstTierGain = 1 - deviance / flatDeviance;
}

// Tickets and pools as the most recent draws had them: sales move over the
// years.
PopularityModel::Parameters RecentParameters(const PopularityGame &game, const Prepared &prepared,
                                             double scale)
{
    PopularityModel::Parameters parameters;
    const size_t count = prepared.Draws.size();
    const size_t from = count > size_t(RecentDraws) ? count - size_t(RecentDraws) : 0;
    double sales = 0;
    for (size_t d = from; d < count; ++d)
        sales += std::exp(prepared.Draws[d].LogExposure) / double(count - from);
    parameters.Tickets = std::exp(scale) * sales;
    for (int t = 0; t < game.TierCount; ++t) {
        // A first prize won seldom looks further back than the recent draws.
        for (const size_t begin : {from, size_t(0)}) {
            double yen = 0;
            int known = 0;
            for (size_t d = begin; d < count; ++d) {
                const DrawRecord &record = *prepared.Records[d];
                if (record.Winners[size_t(t)] > 0 && record.PrizeYen[size_t(t)] > 0) {
                    yen += double(record.Winners[size_t(t)]) * double(record.PrizeYen[size_t(t)]);
                    ++known;
                }
            }
            if (known > 0) {
                parameters.PoolYen[size_t(t)] = yen / known;
                break;
            }
        }
    }
    parameters.Previous = prepared.Latest;
    return parameters;
}

} // namespace

PopularityFit FitPopularity(const QVector<DrawRecord> &draws, const PopularityGame &game,
                            WorkControl *control)
{
    PopularityFit fit;
    fit.Game = game.Game;
    fit.Tier = game.lowestSharedTier();
    if (fit.Tier == 0 || game.PickCount > MaxPopularityPick || game.MaxNumber > HighestNumber)
        return fit;
    const Prepared prepared = Prepare(draws, game, fit.Tier);
    fit.UsedDraws = qint64(prepared.Draws.size());
    fit.WithoutCounts = prepared.WithoutCounts;
    fit.Malformed = prepared.Malformed;
    if (prepared.Draws.empty())
        return fit;
    fit.FirstDraw = prepared.Draws.front().DrawNumber;
    fit.LastDraw = prepared.Draws.back().DrawNumber;
    if (fit.UsedDraws < PopularityFit::MinDraws)
        return fit;
    if (control)
        control->start(
            qint64(OutOfSamplePlan(game, prepared.Draws.size()).refits(prepared.Draws.size())) + 1);
    PredictOutOfSample(game, prepared.Draws, fit, control);
    if (control && control->isCancelled()) {
        fit.Cancelled = true;
        return fit;
    }

    const int n = game.MaxNumber;
    Theta theta(size_t(n + 2), 0.0);
    theta[0] = FlatScale(prepared.Draws, prepared.Draws.size(),
                         LogShare(game, prepared.Draws[0], theta, fit.Tier, nullptr));
    FitTheta(game, prepared.Draws, prepared.Draws.size(), fit.Tier, theta, 40);
    PopularityModel::Parameters parameters = RecentParameters(game, prepared, theta[0]);
    double mean = 0;
    for (int x = 1; x <= n; ++x)
        mean += theta[size_t(x)] / n;
    for (int x = 1; x <= n; ++x)
        parameters.Effects[size_t(x)] = theta[size_t(x)] - mean;
    parameters.Repeat = theta[size_t(n + 1)];
    fit.Model = std::make_shared<const PopularityModel>(game, parameters);
    if (control)
        control->advance(1);
    return fit;
}
