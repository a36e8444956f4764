#include "core/WheelBounds.h"

#include "core/PrizeChance.h"

#include <algorithm>
#include <array>

namespace {

constexpr int FirstV = 7;
constexpr int LastV = 20;
using Sizes = std::array<int, LastV - FirstV + 1>;

struct KnownRow
{
    int K;
    int T;
    Sizes Rows;
};

// Best known upper bounds of the covering numbers C(v, k, t), v = 7..20.
constexpr std::array<KnownRow, 5> Coverings{{
    {6, 3, {4, 4, 7, 10, 11, 15, 21, 25, 31, 38, 44, 48, 60, 71}},
    {6, 4, {5, 7, 12, 20, 32, 41, 66, 80, 117, 152, 188, 236, 325, 382}},
    {6, 5, {6, 12, 30, 50, 100, 132, 245, 371, 578, 808, 1202, 1530, 2167, 2800}},
    {5, 3, {5, 8, 12, 17, 20, 29, 34, 43, 55, 65, 68, 94, 108, 133}},
    {5, 4, {9, 20, 30, 51, 66, 113, 157, 229, 294, 404, 491, 664, 839, 1063}},
}};

struct KnownLotto
{
    int V, K, M, T, Rows;
};

constexpr std::array<KnownLotto, 4> Lottos{{
    {10, 6, 6, 4, 3},
    {10, 6, 5, 4, 7},
    {12, 6, 6, 4, 6},
    {16, 6, 6, 3, 5},
}};

quint64 Ceil(quint64 a, quint64 b)
{
    return (a + b - 1) / b;
}

} // namespace

int WheelLowerBound(int v, int k, int m, int t)
{
    if (t < 1 || t > m || t > k || k > v || m > v)
        return 0;
    if (m == t) {
        quint64 bound = 1;
        for (int i = t - 1; i >= 0; --i)
            bound = Ceil(quint64(v - i) * bound, quint64(k - i));
        return int(bound);
    }
    quint64 most = 0; // the cases one row meets in t numbers or more
    for (int j = t; j <= std::min(k, m); ++j)
        most += Binomial(k, j) * Binomial(v - k, m - j);
    return int(std::max<quint64>(1, Ceil(Binomial(v, m), std::max<quint64>(most, 1))));
}

int BestKnownRows(int v, int k, int m, int t)
{
    if (m == t && v >= FirstV && v <= LastV) {
        for (const KnownRow &row : Coverings) {
            if (row.K == k && row.T == t)
                return row.Rows[size_t(v - FirstV)];
        }
    }
    for (const KnownLotto &lotto : Lottos) {
        if (lotto.V == v && lotto.K == k && lotto.M == m && lotto.T == t)
            return lotto.Rows;
    }
    return 0;
}
