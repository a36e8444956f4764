#include "core/PopularityModel.h"

#include "core/PrizeChance.h"

#include <cmath>
#include <numeric>
#include <random>

namespace {

// E[1 / (1 + M)] for M other winners, M Poisson with mean mu: the part of a
// tier's pool one ticket takes.
double ShareFactor(double mu)
{
    if (mu < 1e-9)
        return 1.0;
    return mu > 40 ? 1.0 / mu : -std::expm1(-mu) / mu;
}

// Rows drawn at random to average a random row's share; a fixed seed keeps
// the index of a row the same from one run to the next.
constexpr int RandomRows = 20000;

} // namespace

PopularityModel::PopularityModel(const PopularityGame &game, const Parameters &parameters)
    : m_game(game)
    , m_parameters(parameters)
{
    const int k = m_game.PickCount;
    NumberWeights base{};
    for (int n = 1; n <= m_game.MaxNumber; ++n) {
        base[size_t(n)] = std::exp(m_parameters.Effects[size_t(n)]);
        const bool repeated = m_parameters.Previous & NumberBit(n);
        m_weights[size_t(n)] = base[size_t(n)] * (repeated ? std::exp(m_parameters.Repeat) : 1.0);
    }
    const NumberSet all = NumbersUpTo(m_game.MaxNumber);
    m_all = SumsOf(all, m_weights, k);
    const SymmetricSums baseAll = SumsOf(all, base, k);
    for (int n = 1; n <= m_game.MaxNumber; ++n)
        m_shares[size_t(n)] = SumsDerivative(baseAll, base[size_t(n)], k)[size_t(k)]
                              / baseAll[size_t(k)];
    prepareOverlaps();
    bool anyPool = false;
    for (int t = 0; t < m_game.TierCount; ++t)
        anyPool = anyPool || m_parameters.PoolYen[size_t(t)] > 0;
    for (int t = 0; t < m_game.TierCount; ++t) {
        if (m_game.Tiers[size_t(t)].shared())
            m_indexWeight[size_t(t)] = m_winChance[size_t(t)]
                                       * (anyPool ? m_parameters.PoolYen[size_t(t)] : 1.0);
    }
    prepareRandomRow();
}

double PopularityModel::evenShare() const
{
    return m_game.MaxNumber == 0 ? 0.0 : double(m_game.PickCount) / m_game.MaxNumber;
}

// Fix a row c and a ticket c' sharing j numbers with it. The numbers fall in
// four classes: both, c only, c' only, neither. Every draw is counted by how
// many main and bonus numbers it takes from each class; the draws where c
// wins tier t, and among them those where c' wins it too, give the chance.
void PopularityModel::prepareOverlaps()
{
    const int n = m_game.MaxNumber;
    const int k = m_game.PickCount;
    const int bonusCount = m_game.BonusCount;
    const double total = double(Binomial(n, k)) * double(Binomial(n - k, bonusCount));
    for (int j = 0; j <= k; ++j) {
        const std::array<int, 4> size{j, k - j, k - j, n - 2 * k + j};
        if (size[3] < 0)
            continue;
        std::array<double, MaxTiers> both{};
        std::array<double, MaxTiers> wins{};
        for (int a = 0; a <= size[0]; ++a)
            for (int b = 0; b <= size[1]; ++b)
                for (int e = 0; e <= size[2]; ++e) {
                    const int f = k - a - b - e;
                    if (f < 0 || f > size[3])
                        continue;
                    const double mains = double(Binomial(size[0], a)) * double(Binomial(size[1], b))
                                         * double(Binomial(size[2], e))
                                         * double(Binomial(size[3], f));
                    const std::array<int, 4> left{size[0] - a, size[1] - b, size[2] - e,
                                                  size[3] - f};
                    for (int x1 = 0; x1 <= std::min(left[0], bonusCount); ++x1)
                        for (int x2 = 0; x2 <= std::min(left[1], bonusCount - x1); ++x2)
                            for (int x3 = 0; x3 <= std::min(left[2], bonusCount - x1 - x2); ++x3) {
                                const int x4 = bonusCount - x1 - x2 - x3;
                                if (x4 > left[3])
                                    continue;
                                const double ways = mains * double(Binomial(left[0], x1))
                                                    * double(Binomial(left[1], x2))
                                                    * double(Binomial(left[2], x3))
                                                    * double(Binomial(left[3], x4));
                                const int mine = m_game.tierOf(a + b, x1 + x2);
                                if (mine == 0)
                                    continue;
                                wins[size_t(mine - 1)] += ways;
                                if (m_game.tierOf(a + e, x1 + x3) == mine)
                                    both[size_t(mine - 1)] += ways;
                            }
                }
        for (int t = 0; t < m_game.TierCount; ++t) {
            m_overlap[size_t(t)][size_t(j)] = wins[size_t(t)] > 0
                                                  ? both[size_t(t)] / wins[size_t(t)]
                                                  : 0.0;
            if (j == k)
                m_winChance[size_t(t)] = wins[size_t(t)] / total;
        }
    }
}

void PopularityModel::prepareRandomRow()
{
    const int n = m_game.MaxNumber;
    const int k = m_game.PickCount;
    std::mt19937_64 engine(20240607);
    std::array<int, BoardSlots> pool{};
    std::iota(pool.begin(), pool.end(), 0);
    for (int r = 0; r < RandomRows; ++r) {
        NumberSet row = 0;
        for (int i = 0; i < k; ++i) {
            const int pick = i + int(engine() % quint64(n - i));
            std::swap(pool[size_t(1 + i)], pool[size_t(1 + pick)]);
            row |= NumberBit(pool[size_t(1 + i)]);
        }
        for (int t = 1; t <= m_game.TierCount; ++t) {
            if (m_game.Tiers[size_t(t - 1)].shared())
                m_randomShare[size_t(t - 1)] += ShareFactor(coWinners(row, t)) / RandomRows;
        }
    }
    m_random = RowPayout();
    m_randomIndexWeight = 0;
    for (int t = 0; t < m_game.TierCount; ++t)
        m_randomIndexWeight += m_indexWeight[size_t(t)] * m_randomShare[size_t(t)];
    for (int t = 1; t <= m_game.TierCount; ++t) {
        const PopularityTier &tier = m_game.Tiers[size_t(t - 1)];
        if (tier.shared())
            m_random.SharedYen += winChance(t) * m_parameters.PoolYen[size_t(t - 1)]
                                  * m_randomShare[size_t(t - 1)];
        else
            m_random.FixedYen += winChance(t) * double(tier.FixedYen);
    }
}

double PopularityModel::ticketsOn(NumberSet row) const
{
    double weight = 1;
    for (NumberSet rest = row; rest != 0; rest &= rest - 1)
        weight *= m_weights[size_t(__builtin_ctzll(rest))];
    return m_parameters.Tickets * weight / m_all[size_t(m_game.PickCount)];
}

double PopularityModel::coWinners(NumberSet row, int tier) const
{
    const int k = m_game.PickCount;
    const SymmetricSums inRow = SumsOf(row, m_weights, k);
    SymmetricSums rest = m_all;
    for (NumberSet left = row; left != 0; left &= left - 1)
        rest = SumsWithout(rest, m_weights[size_t(__builtin_ctzll(left))], k);
    // Tickets sharing j numbers with the row weigh e_j(row) × e_{k-j}(rest).
    double weight = 0;
    for (int j = 0; j <= k; ++j)
        weight += m_overlap[size_t(tier - 1)][size_t(j)] * inRow[size_t(j)] * rest[size_t(k - j)];
    return m_parameters.Tickets * weight / m_all[size_t(k)];
}

RowPayout PopularityModel::payout(NumberSet row) const
{
    const int k = m_game.PickCount;
    const SymmetricSums inRow = SumsOf(row, m_weights, k);
    SymmetricSums rest = m_all;
    for (NumberSet left = row; left != 0; left &= left - 1)
        rest = SumsWithout(rest, m_weights[size_t(__builtin_ctzll(left))], k);
    SymmetricSums overlapWeight{};
    for (int j = 0; j <= k; ++j)
        overlapWeight[size_t(j)] = inRow[size_t(j)] * rest[size_t(k - j)];
    const double scale = m_parameters.Tickets / m_all[size_t(k)];

    RowPayout result;
    double weighted = 0;
    for (int t = 1; t <= m_game.TierCount; ++t) {
        const PopularityTier &tier = m_game.Tiers[size_t(t - 1)];
        if (!tier.shared()) {
            result.FixedYen += winChance(t) * double(tier.FixedYen);
            continue;
        }
        const auto &overlap = m_overlap[size_t(t - 1)];
        double weight = 0;
        for (int j = 0; j <= k; ++j)
            weight += overlap[size_t(j)] * overlapWeight[size_t(j)];
        const double share = ShareFactor(scale * weight);
        result.SharedYen += winChance(t) * m_parameters.PoolYen[size_t(t - 1)] * share;
        weighted += m_indexWeight[size_t(t - 1)] * share;
    }
    result.Index = m_randomIndexWeight > 0 ? 100 * weighted / m_randomIndexWeight : 100;
    return result;
}
