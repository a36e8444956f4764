#include "core/WheelCheck.h"

#include <algorithm>

namespace {

// Each chosen number becomes one bit, in the order given.
bool ToBits(const std::vector<int> &numbers, const std::vector<int> &values, quint64 &bits)
{
    bits = 0;
    for (const int value : values) {
        const auto at = std::find(numbers.begin(), numbers.end(), value);
        if (at == numbers.end())
            return false;
        const quint64 bit = quint64(1) << (at - numbers.begin());
        if (bits & bit)
            return false;
        bits |= bit;
    }
    return true;
}

// The t-number parts of the rows: a case is guaranteed exactly when it holds
// one of them. Kept as a bitmap over all patterns of v bits when that is
// small, else as a sorted list.
class Marks
{
public:
    Marks(const std::vector<quint64> &rows, int t, int v)
        : m_bitmap(v <= BitmapBits)
    {
        if (m_bitmap)
            m_bits.assign((size_t(1) << v) / 64 + 1, 0);
        for (const quint64 row : rows) {
            for (quint64 part = row;; part = (part - 1) & row) {
                if (__builtin_popcountll(part) == t)
                    mark(part);
                if (part == 0)
                    break;
            }
        }
        std::sort(m_list.begin(), m_list.end());
    }

    bool holdsOne(quint64 pattern, int t) const
    {
        if (__builtin_popcountll(pattern) == t)
            return marked(pattern);
        for (quint64 part = pattern; part != 0; part = (part - 1) & pattern) {
            if (__builtin_popcountll(part) == t && marked(part))
                return true;
        }
        return false;
    }

private:
    static constexpr int BitmapBits = 24;

    void mark(quint64 part)
    {
        if (m_bitmap)
            m_bits[part / 64] |= quint64(1) << (part % 64);
        else
            m_list.push_back(part);
    }
    bool marked(quint64 part) const
    {
        if (m_bitmap)
            return (m_bits[part / 64] >> (part % 64)) & 1;
        return std::binary_search(m_list.begin(), m_list.end(), part);
    }

    bool m_bitmap;
    std::vector<quint64> m_bits;
    std::vector<quint64> m_list;
};

} // namespace

WheelCheckResult CheckWheel(const std::vector<int> &numbers,
                            const std::vector<std::vector<int>> &rows, int t, int m)
{
    WheelCheckResult result;
    const int v = int(numbers.size());
    quint64 chosen = 0;
    if (v > 62 || m < 1 || m > v || t < 1 || t > m || !ToBits(numbers, numbers, chosen))
        return result;
    std::vector<quint64> masks;
    masks.reserve(rows.size());
    for (const std::vector<int> &row : rows) {
        quint64 bits = 0;
        if (!ToBits(numbers, row, bits))
            return result;
        masks.push_back(bits);
    }
    result.Valid = true;
    const Marks marks(masks, t, v);
    // Every m-bit pattern below 2^v, in increasing order.
    const quint64 end = quint64(1) << v;
    for (quint64 pattern = (quint64(1) << m) - 1; pattern < end;) {
        ++result.Cases;
        if (!marks.holdsOne(pattern, t))
            ++result.Uncovered;
        const quint64 low = pattern & (~pattern + 1);
        const quint64 ripple = pattern + low;
        pattern = ripple | (((pattern ^ ripple) >> 2) / low);
    }
    return result;
}
