#include "core/PopularityRelabel.h"

#include <algorithm>
#include <random>

namespace {

class Relabeller
{
public:
    Relabeller(const PopularityModel &model, std::vector<NumberSet> rows, int labels)
        : m_model(model)
        , m_rows(std::move(rows))
        , m_rowsOf(size_t(labels))
    {
        for (size_t r = 0; r < m_rows.size(); ++r) {
            for (int l = 0; l < labels; ++l) {
                if (m_rows[r] & NumberBit(l + 1))
                    m_rowsOf[size_t(l)].push_back(r);
            }
        }
    }

    double total(const std::vector<int> &numbers)
    {
        m_index.resize(m_rows.size());
        double sum = 0;
        for (size_t r = 0; r < m_rows.size(); ++r) {
            m_index[r] = indexOf(m_rows[r], numbers);
            sum += m_index[r];
        }
        return sum;
    }

    // Swaps of two labels while any raises the total; numbers ends at a
    // local best. Returns the total there.
    double climb(std::vector<int> &numbers)
    {
        double sum = total(numbers);
        bool better = true;
        for (int pass = 0; better && pass < 100; ++pass) {
            better = false;
            for (size_t i = 0; i < numbers.size(); ++i)
                for (size_t j = i + 1; j < numbers.size(); ++j)
                    better = trySwap(numbers, i, j, sum) || better;
        }
        return sum;
    }

private:
    double indexOf(NumberSet labels, const std::vector<int> &numbers) const
    {
        NumberSet row = 0;
        for (NumberSet rest = labels; rest != 0; rest &= rest - 1)
            row |= NumberBit(numbers[size_t(__builtin_ctzll(rest) - 1)]);
        return m_model.payout(row).Index;
    }

    bool trySwap(std::vector<int> &numbers, size_t i, size_t j, double &sum)
    {
        std::swap(numbers[i], numbers[j]);
        // Rows holding both labels keep their numbers.
        std::vector<std::pair<size_t, double>> changed;
        double delta = 0;
        for (const size_t l : {i, j}) {
            for (const size_t r : m_rowsOf[l]) {
                const NumberSet both = NumberBit(int(i) + 1) | NumberBit(int(j) + 1);
                if ((m_rows[r] & both) == both)
                    continue;
                const double index = indexOf(m_rows[r], numbers);
                delta += index - m_index[r];
                changed.emplace_back(r, index);
            }
        }
        if (delta <= 1e-9) {
            std::swap(numbers[i], numbers[j]);
            return false;
        }
        for (const auto &[r, index] : changed)
            m_index[r] = index;
        sum += delta;
        return true;
    }

    const PopularityModel &m_model;
    std::vector<NumberSet> m_rows;
    std::vector<std::vector<size_t>> m_rowsOf;
    std::vector<double> m_index;
};

bool Acceptable(const PopularityModel &model, const std::vector<int> &chosen)
{
    NumberSet seen = 0;
    for (const int n : chosen) {
        if (n < 1 || n > model.game().MaxNumber || (seen & NumberBit(n)))
            return false;
        seen |= NumberBit(n);
    }
    return int(chosen.size()) < 64;
}

} // namespace

PopularityRelabel RelabelForPayout(const PopularityModel &model,
                                   const std::vector<NumberSet> &wheelRows,
                                   const std::vector<int> &chosen)
{
    PopularityRelabel result;
    result.Numbers = chosen;
    if (!Acceptable(model, chosen))
        return result;
    const int labels = int(chosen.size());
    std::vector<NumberSet> rows;
    for (const NumberSet row : wheelRows) {
        const bool inRange = (row & ~NumbersUpTo(labels)) == 0;
        if (inRange && CountNumbers(row) == model.game().PickCount)
            rows.push_back(row);
    }
    result.Rows = int(rows.size());
    if (rows.empty())
        return result;
    Relabeller relabeller(model, rows, labels);
    const double before = relabeller.total(chosen);
    std::vector<int> best = chosen;
    double bestTotal = relabeller.climb(best);
    std::mt19937 engine(17);
    for (int start = 0; start < 4; ++start) {
        std::vector<int> numbers = chosen;
        std::shuffle(numbers.begin(), numbers.end(), engine);
        const double total = relabeller.climb(numbers);
        if (total > bestTotal + 1e-9) {
            best = numbers;
            bestTotal = total;
        }
    }
    result.Numbers = best;
    result.IndexBefore = before / double(rows.size());
    result.IndexAfter = bestTotal / double(rows.size());
    return result;
}
