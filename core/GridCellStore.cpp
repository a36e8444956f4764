#include "core/GridCellStore.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <system_error>
#include <thread>
#include <type_traits>

namespace {

constexpr int MaxPaletteColors = 127;

// What a pooled text costs besides its characters: the string's own header
// and allocation, its slot in the pool and its entry in the index.
constexpr qint64 PooledTextOverhead = 128;

qint64 PooledTextBytes(const QString &text)
{
    return PooledTextOverhead + qint64(text.size()) * qint64(sizeof(QChar));
}

int ColorDistance(quint32 a, quint32 b)
{
    int distance = 0;
    for (const int shift : {16, 8, 0}) {
        const int d = int((a >> shift) & 0xFFu) - int((b >> shift) & 0xFFu);
        distance += d * d;
    }
    return distance;
}

} // namespace

// Per row and key column: rank (0 number, 1 text, 2 empty), the number,
// and the cell code for comparing texts.
struct GridCellStore::SortKey
{
    double value;
    quint32 code;
    quint32 rank;
};

GridCellStore::GridCellStore(int rows, int columns)
    : m_rows(std::max(rows, 1))
    , m_cols(std::max(columns, 1))
{
    m_cells.assign(size_t(m_rows) * size_t(m_cols), EmptyCode);
    m_centered.fill(false, m_cols);
}

// ---------------------------------------------------------------------------
// Cell codes

// Only the canonical decimal form is stored as a value, so that decoding
// gives back exactly the text that was written ("07" and " 7" stay text).
inline std::optional<quint32> GridCellStore::numberCode(QStringView text)
{
    if (text.isEmpty() || text.size() > 10 || (text.size() > 1 && text.front() == u'0'))
        return std::nullopt;
    quint64 value = 0;
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < u'0' || u > u'9')
            return std::nullopt;
        value = value * 10 + (u - u'0');
    }
    if (value >= PoolBit)
        return std::nullopt;
    return quint32(value);
}

inline qsizetype GridCellStore::digitCount(quint32 number)
{
    // Most cells hold one or two digits.
    if (number < 10)
        return 1;
    if (number < 100)
        return 2;
    qsizetype digits = 1;
    while (number >= 10) {
        number /= 10;
        ++digits;
    }
    return digits;
}

std::optional<quint32> GridCellStore::keyOf(QStringView text) const
{
    if (text.isEmpty())
        return EmptyCode;
    if (const std::optional<quint32> number = numberCode(text))
        return number;
    const auto found = m_poolIndex.constFind(text.toString());
    if (found == m_poolIndex.constEnd())
        return std::nullopt;
    return PoolBit | found.value();
}

inline quint32 GridCellStore::encode(QStringView text)
{
    if (text.isEmpty())
        return EmptyCode;
    if (const std::optional<quint32> number = numberCode(text))
        return *number;
    const QString key = text.toString();
    const auto found = m_poolIndex.constFind(key);
    if (found != m_poolIndex.constEnd())
        return PoolBit | found.value();
    if (m_pool.size() >= qsizetype(PoolBit - 1))
        return EmptyCode; // cannot happen before memory runs out
    const quint32 index = quint32(m_pool.size());
    m_pool.append(key);
    m_poolIndex.insert(key, index);
    m_poolBytes += PooledTextBytes(key);
    return PoolBit | index;
}

// The quick path for ASCII bytes: numbers are read straight from them.
inline quint32 GridCellStore::encode(QLatin1StringView text)
{
    const qsizetype size = text.size();
    if (size == 0)
        return EmptyCode;
    const char *chars = text.data();
    if (size <= 10 && (size == 1 || chars[0] != '0')) {
        quint64 value = 0;
        qsizetype i = 0;
        for (; i < size; ++i) {
            const unsigned digit = unsigned(quint8(chars[i])) - unsigned('0');
            if (digit > 9)
                break;
            value = value * 10 + digit;
        }
        if (i == size && value < PoolBit)
            return quint32(value);
    }
    return encode(QStringView(QString(text)));
}

QString GridCellStore::decode(quint32 code) const
{
    if (code == EmptyCode)
        return QString();
    if (code & PoolBit)
        return pooled(code);
    return QString::number(code);
}

inline qsizetype GridCellStore::textLength(quint32 code) const
{
    if (code == EmptyCode)
        return 0;
    if (code & PoolBit)
        return pooled(code).size();
    return digitCount(code);
}

// Writes the cell's text at out and returns the position after it.
inline QChar *GridCellStore::writeText(QChar *out, quint32 code) const
{
    if (code == EmptyCode)
        return out;
    if (code & PoolBit) {
        const QString &s = pooled(code);
        return std::copy_n(s.constData(), s.size(), out);
    }
    if (code < 10) {
        *out = QChar(char16_t(u'0' + code));
        return out + 1;
    }
    if (code < 100) {
        out[0] = QChar(char16_t(u'0' + code / 10));
        out[1] = QChar(char16_t(u'0' + code % 10));
        return out + 2;
    }
    const qsizetype digits = digitCount(code);
    for (qsizetype i = digits - 1; i >= 0; --i) {
        out[i] = QChar(char16_t(u'0' + code % 10));
        code /= 10;
    }
    return out + digits;
}

// Texts that were overwritten stay in the pool; drop them once the pool is
// bigger than the grid could possibly use.
inline void GridCellStore::compactPoolIfWasteful()
{
    if (m_pool.size() >= 4096 && size_t(m_pool.size()) > m_cells.size())
        compactPool();
}

void GridCellStore::compactPool()
{
    std::vector<quint32> remap(size_t(m_pool.size()), EmptyCode);
    QVector<QString> pool;
    QHash<QString, quint32> poolIndex;
    for (quint32 &code : m_cells) {
        if (code == EmptyCode || !(code & PoolBit))
            continue;
        quint32 &target = remap[code & ~PoolBit];
        if (target == EmptyCode) {
            target = quint32(pool.size());
            pool.append(pooled(code));
            poolIndex.insert(pool.constLast(), target);
        }
        code = PoolBit | target;
    }
    m_pool = std::move(pool);
    m_poolIndex = std::move(poolIndex);
    m_poolBytes = 0;
    for (const QString &text : std::as_const(m_pool))
        m_poolBytes += PooledTextBytes(text);
}

// ---------------------------------------------------------------------------
// Shape

void GridCellStore::setRowCount(int rows)
{
    rows = std::max(rows, 1);
    if (rows == m_rows)
        return;
    const size_t cells = size_t(rows) * size_t(m_cols);
    m_cells.resize(cells, EmptyCode);
    if (!m_attrs.empty())
        m_attrs.resize(cells, 0);
    const bool shrunk = rows < m_rows;
    m_rows = rows;
    if (shrunk && m_cells.capacity() > 2 * m_cells.size() + 4096) {
        m_cells.shrink_to_fit();
        m_attrs.shrink_to_fit();
    }
}

void GridCellStore::setColumnCount(int columns)
{
    columns = std::max(columns, 1);
    if (columns == m_cols)
        return;
    const int oldCols = m_cols;
    const int keep = std::min(oldCols, columns);
    auto relayout = [&](auto &store, auto fill) {
        using Vec = std::decay_t<decltype(store)>;
        if (store.empty())
            return;
        Vec next(size_t(m_rows) * size_t(columns), fill);
        for (int r = 0; r < m_rows; ++r)
            std::copy_n(store.begin() + ptrdiff_t(size_t(r) * size_t(oldCols)), keep,
                        next.begin() + ptrdiff_t(size_t(r) * size_t(columns)));
        store = std::move(next);
    };
    relayout(m_cells, EmptyCode);
    relayout(m_attrs, quint8(0));
    m_cols = columns;
    m_centered.resize(columns);
}

void GridCellStore::moveColumns(int col, int oldCols, int columns)
{
    // Columns before col stay; inserting moves the rest one column right,
    // removing drops column col and moves the rest left.
    auto relayout = [&](auto &store, auto fill) {
        using Vec = std::decay_t<decltype(store)>;
        if (store.empty())
            return;
        Vec next(size_t(m_rows) * size_t(columns), fill);
        for (int r = 0; r < m_rows; ++r) {
            const auto from = store.begin() + ptrdiff_t(size_t(r) * size_t(oldCols));
            const auto to = next.begin() + ptrdiff_t(size_t(r) * size_t(columns));
            std::copy_n(from, col, to);
            if (columns > oldCols)
                std::copy_n(from + col, oldCols - col, to + col + 1);
            else
                std::copy_n(from + col + 1, oldCols - col - 1, to + col);
        }
        store = std::move(next);
    };
    relayout(m_cells, EmptyCode);
    relayout(m_attrs, quint8(0));
    m_cols = columns;
}

void GridCellStore::insertColumn(int col)
{
    col = std::clamp(col, 0, m_cols);
    moveColumns(col, m_cols, m_cols + 1);
    m_centered.insert(col, false);
}

bool GridCellStore::removeColumn(int col)
{
    if (col < 0 || col >= m_cols || m_cols == 1)
        return false;
    moveColumns(col, m_cols, m_cols - 1);
    m_centered.remove(col);
    return true;
}

void GridCellStore::appendRows(int count)
{
    if (count <= 0)
        return;
    setRowCount(m_rows + count);
}

void GridCellStore::reserveRows(int rows)
{
    if (rows > m_rows)
        m_cells.reserve(size_t(rows) * size_t(m_cols));
}

// A new row of empty cells at the bottom; its first cell's index, or none
// when the store cannot grow.
inline std::optional<size_t> GridCellStore::newRow()
{
    if (m_rows == std::numeric_limits<int>::max())
        return std::nullopt;
    compactPoolIfWasteful();
    const size_t base = m_cells.size();
    m_cells.resize(base + size_t(m_cols), EmptyCode);
    if (!m_attrs.empty())
        m_attrs.resize(m_cells.size(), 0);
    ++m_rows;
    return base;
}

// One pass over the bytes: a cell of digits becomes its value as it is read,
// anything else goes through the pool.
void GridCellStore::appendRowText(QLatin1StringView text)
{
    const std::optional<size_t> base = newRow();
    if (!base)
        return;
    const char *start = text.data();
    const char *const end = start + text.size();
    for (int col = 0; col < m_cols; ++col) {
        const char *p = start;
        quint64 value = 0;
        while (p != end && unsigned(quint8(*p) - quint8('0')) <= 9u) {
            value = value * 10 + unsigned(quint8(*p) - quint8('0'));
            ++p;
        }
        const qsizetype size = p - start;
        quint32 code;
        if (p != end && *p != '\t') {
            p = std::find(p, end, '\t');
            code = encode(QLatin1StringView(start, p - start));
        } else if (size == 0) {
            code = EmptyCode;
        } else if (size <= 10 && (size == 1 || *start != '0') && value < PoolBit) {
            code = quint32(value);
        } else {
            code = encode(QLatin1StringView(start, size));
        }
        m_cells[*base + size_t(col)] = code;
        if (p == end)
            break;
        start = p + 1;
    }
}

// The cells of a plain row, as appendRowText would write them; false for
// any other row.
bool GridCellStore::parsePlainRow(QLatin1StringView text, quint32 *cells, int columns)
{
    const char *p = text.data();
    const char *const end = p + text.size();
    for (int col = 0; col < columns; ++col) {
        const char *const start = p;
        quint64 value = 0;
        while (p != end && unsigned(quint8(*p) - quint8('0')) <= 9u) {
            value = value * 10 + unsigned(quint8(*p) - quint8('0'));
            ++p;
        }
        const ptrdiff_t size = p - start;
        if (p != end && *p != '\t')
            return false;
        if (size == 0)
            cells[col] = EmptyCode;
        else if (size <= 10 && (size == 1 || *start != '0') && value < PoolBit)
            cells[col] = quint32(value);
        else
            return false;
        if (p == end) {
            std::fill(cells + col + 1, cells + columns, EmptyCode);
            return true;
        }
        ++p;
    }
    return true;
}

// Parses rows into cells, row i at cells + i * columns, until a row is not
// plain; returns how many rows were. A long run is split between this
// thread and a helper, which gives up once a row before its half failed.
qsizetype GridCellStore::parsePlainRows(const QLatin1StringView *rows, qsizetype count,
                                        quint32 *cells) const
{
    const size_t cols = size_t(m_cols);
    std::atomic<qsizetype> firstOther{count};
    const auto parse = [&](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to && i < firstOther.load(std::memory_order_relaxed); ++i) {
            if (parsePlainRow(rows[i], cells + size_t(i) * cols, m_cols))
                continue;
            qsizetype seen = firstOther.load(std::memory_order_relaxed);
            while (i < seen && !firstOther.compare_exchange_weak(seen, i))
                ;
            return;
        }
    };
    // Rows that are not plain usually come early and often: the first ones
    // alone decide whether a helper is worth starting.
    constexpr qsizetype Probe = 1024;
    constexpr qsizetype ShareFrom = 8192;
    parse(0, std::min(count, Probe));
    if (firstOther.load() < count || count <= Probe)
        return firstOther.load();
    if (count < ShareFrom) {
        parse(Probe, count);
        return firstOther.load();
    }
    const qsizetype middle = Probe + (count - Probe) / 2;
    try {
        std::thread helper(parse, middle, count);
        parse(Probe, middle);
        helper.join();
    } catch (const std::system_error &) {
        parse(Probe, count); // no thread to be had: all here
    }
    return firstOther.load();
}

qsizetype GridCellStore::appendPlainRows(const QLatin1StringView *rows, qsizetype count)
{
    count = std::min<qsizetype>(count, std::numeric_limits<int>::max() - m_rows);
    if (count <= 0)
        return 0;
    compactPoolIfWasteful(); // as the first appended row would
    const size_t base = m_cells.size();
    m_cells.resize(base + size_t(count) * size_t(m_cols));
    const qsizetype appended = parsePlainRows(rows, count, m_cells.data() + base);
    m_cells.resize(base + size_t(appended) * size_t(m_cols));
    if (!m_attrs.empty())
        m_attrs.resize(m_cells.size(), 0);
    m_rows += int(appended);
    return appended;
}

void GridCellStore::appendRowText(QStringView text)
{
    const std::optional<size_t> base = newRow();
    if (!base)
        return;
    const qsizetype size = text.size();
    int col = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= size && col < m_cols; ++i) {
        if (i < size && text[i] != u'\t')
            continue;
        m_cells[*base + size_t(col)] = encode(text.mid(start, i - start));
        ++col;
        start = i + 1;
    }
}

bool GridCellStore::removeRows(int first, int last)
{
    if (first < 1 || last < first || last >= m_rows)
        return false;
    const auto from = ptrdiff_t(offset(first, 0));
    const auto to = ptrdiff_t(offset(last + 1, 0));
    m_cells.erase(m_cells.begin() + from, m_cells.begin() + to);
    if (!m_attrs.empty())
        m_attrs.erase(m_attrs.begin() + from, m_attrs.begin() + to);
    m_rows -= last - first + 1;
    return true;
}

void GridCellStore::beginTextCopyOf(const GridCellStore &other)
{
    // The pool and its index are shared until either side changes them.
    m_rows = other.m_rows;
    m_cols = other.m_cols;
    m_pool = other.m_pool;
    m_poolIndex = other.m_poolIndex;
    m_poolBytes = other.m_poolBytes;
    m_centered = other.m_centered;
    m_palette.clear();
    m_attrs.clear();
    m_cells.clear();
    m_cells.shrink_to_fit();
    m_cells.reserve(other.m_cells.size());
}

bool GridCellStore::continueTextCopyOf(const GridCellStore &other, size_t maxCells)
{
    const size_t from = m_cells.size();
    const size_t to = std::min(other.m_cells.size(), from + maxCells);
    m_cells.insert(m_cells.end(), other.m_cells.begin() + std::ptrdiff_t(from),
                   other.m_cells.begin() + std::ptrdiff_t(to));
    return m_cells.size() == other.m_cells.size();
}

void GridCellStore::clear()
{
    std::fill(m_cells.begin(), m_cells.end(), EmptyCode);
    std::vector<quint8>().swap(m_attrs);
    m_pool.clear();
    m_poolIndex.clear();
    m_poolBytes = 0;
    m_palette.clear();
}

// ---------------------------------------------------------------------------
// Texts

QString GridCellStore::text(int row, int col) const
{
    if (!isValidCell(row, col))
        return QString();
    return decode(cellCode(row, col));
}

bool GridCellStore::setText(int row, int col, QStringView text)
{
    if (!isValidCell(row, col))
        return false;
    compactPoolIfWasteful();
    const quint32 code = encode(text);
    if (cellCode(row, col) == code)
        return false;
    cell(row, col) = code;
    return true;
}

QString GridCellStore::blockText(const GridBlock &block) const
{
    const int top = std::max(block.top, 0);
    const int left = std::max(block.left, 0);
    const int bottom = std::min(block.bottom, m_rows - 1);
    const int right = std::min(block.right, m_cols - 1);
    if (top > bottom || left > right)
        return QString();

    // Two passes, length first, so a million rows are written straight into
    // one buffer.
    qsizetype total = qsizetype(bottom - top + 1) * (right - left + 1) - 1; // separators
    for (int r = top; r <= bottom; ++r) {
        const quint32 *line = &m_cells[offset(r, 0)];
        for (int c = left; c <= right; ++c)
            total += textLength(line[c]);
    }

    QString out(total, Qt::Uninitialized);
    QChar *p = out.data();
    for (int r = top; r <= bottom; ++r) {
        if (r != top)
            *p++ = QChar(u'\r');
        const quint32 *line = &m_cells[offset(r, 0)];
        for (int c = left; c <= right; ++c) {
            if (c != left)
                *p++ = QChar(u'\t');
            p = writeText(p, line[c]);
        }
    }
    return out;
}

GridBlock GridCellStore::setBlockText(int top, int left, QStringView text)
{
    if (!isValidCell(top, left))
        return GridBlock();
    compactPoolIfWasteful();
    int row = top;
    int col = left;
    int rightmost = left;
    qsizetype cellStart = 0;
    const qsizetype size = text.size();
    const QChar *chars = text.data();
    // The end of the text ends the last cell as a CR would.
    for (qsizetype i = 0; i <= size; ++i) {
        const char16_t ch = i < size ? chars[i].unicode() : u'\r';
        if (ch != u'\t' && ch != u'\r')
            continue;
        if (col < m_cols) {
            cell(row, col) = encode(text.mid(cellStart, i - cellStart));
            rightmost = std::max(rightmost, col);
        }
        cellStart = i + 1;
        if (ch == u'\t') {
            ++col;
        } else {
            col = left;
            if (++row >= m_rows)
                break;
        }
    }
    return GridBlock{top, left, std::min(row, m_rows) - 1, rightmost};
}

// ---------------------------------------------------------------------------
// Sort

GridBlock GridCellStore::sortRows(int first, int last, const QVector<int> &keyColumns)
{
    first = std::max(first, 1);
    last = std::min(last, m_rows - 1);
    if (last <= first)
        return GridBlock();
    QVector<int> keys;
    for (int c : keyColumns)
        if (c >= 0 && c < m_cols)
            keys.append(c);
    if (keys.isEmpty())
        return GridBlock();

    std::vector<quint32> order(size_t(last - first + 1));
    if (keys.size() != 1 || !sortByNumberCodes(first, last, keys.front(), order))
        order = sortOrder(first, last, keys);
    permuteRows(first, order);
    return GridBlock{first, 0, last, m_cols - 1};
}

// The common case, one key column of plain numbers and empty cells, needs no
// comparisons: numbers no larger than about the row count (sums, row
// numbers) are counted into buckets, larger ones sorted as 64-bit keys
// (value, then position, for stability).
bool GridCellStore::sortByNumberCodes(int first, int last, int col,
                                      std::vector<quint32> &order) const
{
    const size_t n = size_t(last - first + 1);
    std::vector<quint32> ranks(n);
    quint32 highest = 0;
    for (size_t i = 0; i < n; ++i) {
        const quint32 code = cellCode(first + int(i), col);
        if (code != EmptyCode && (code & PoolBit))
            return false;
        ranks[i] = code;
        if (code != EmptyCode)
            highest = std::max(highest, code);
    }
    const quint32 emptyRank = highest + 1; // empty cells after the numbers
    for (quint32 &rank : ranks)
        rank = rank == EmptyCode ? emptyRank : rank;

    if (size_t(emptyRank) <= 2 * n + 65536) {
        std::vector<quint32> start(size_t(emptyRank) + 2, 0);
        for (const quint32 rank : ranks)
            ++start[size_t(rank) + 1];
        for (size_t b = 1; b < start.size(); ++b)
            start[b] += start[b - 1];
        for (size_t i = 0; i < n; ++i)
            order[start[ranks[i]]++] = quint32(i);
        return true;
    }
    std::vector<quint64> keys(n);
    for (size_t i = 0; i < n; ++i)
        keys[i] = (quint64(ranks[i]) << 32) | i;
    std::sort(keys.begin(), keys.end());
    for (size_t i = 0; i < n; ++i)
        order[i] = quint32(keys[i]);
    return true;
}

// The value of every pool text that reads as a finite number, NaN for the
// others: each is parsed once, not once per comparison.
std::vector<double> GridCellStore::poolNumbers() const
{
    std::vector<double> values(size_t(m_pool.size()), std::numeric_limits<double>::quiet_NaN());
    for (qsizetype i = 0; i < m_pool.size(); ++i) {
        bool ok = false;
        const double v = m_pool.at(i).toDouble(&ok);
        if (ok && std::isfinite(v))
            values[size_t(i)] = v;
    }
    return values;
}

// Row by row, the keys of rows first..last, keyColumns.size() to a row.
std::vector<GridCellStore::SortKey> GridCellStore::sortKeys(int first, int last,
                                                            const QVector<int> &keyColumns) const
{
    const std::vector<double> poolValue = poolNumbers();
    const size_t n = size_t(last - first + 1);
    const size_t k = size_t(keyColumns.size());
    std::vector<SortKey> table(n * k);
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = 0; j < k; ++j) {
            const quint32 code = cellCode(first + int(i), keyColumns[qsizetype(j)]);
            SortKey &key = table[i * k + j];
            key.code = code;
            if (code == EmptyCode) {
                key.rank = 2;
                key.value = 0;
            } else if (!(code & PoolBit)) {
                key.rank = 0;
                key.value = double(code);
            } else {
                const double v = poolValue[code & ~PoolBit];
                key.rank = std::isnan(v) ? 1 : 0;
                key.value = std::isnan(v) ? 0 : v;
            }
        }
    }
    return table;
}

inline bool GridCellStore::keyRowLess(const SortKey *a, const SortKey *b, size_t keyCount) const
{
    for (size_t j = 0; j < keyCount; ++j) {
        if (a[j].rank != b[j].rank)
            return a[j].rank < b[j].rank;
        if (a[j].rank == 0) {
            if (a[j].value != b[j].value)
                return a[j].value < b[j].value;
        } else if (a[j].rank == 1 && a[j].code != b[j].code) {
            const int cmp = QString::compare(pooled(a[j].code), pooled(b[j].code));
            if (cmp != 0)
                return cmp < 0;
        }
    }
    return false;
}

// Position i of the result is the offset from first of the row that sorts
// i-th.
std::vector<quint32> GridCellStore::sortOrder(int first, int last,
                                              const QVector<int> &keyColumns) const
{
    const std::vector<SortKey> table = sortKeys(first, last, keyColumns);
    const size_t k = size_t(keyColumns.size());
    std::vector<quint32> order(size_t(last - first + 1));
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = quint32(i);
    std::stable_sort(order.begin(), order.end(), [&](quint32 a, quint32 b) {
        return keyRowLess(&table[a * k], &table[b * k], k);
    });
    return order;
}

// Row first + i takes the row that was at first + order[i].
void GridCellStore::permuteRows(int first, const std::vector<quint32> &order)
{
    const size_t n = order.size();
    auto permute = [&](auto &store) {
        if (store.empty())
            return;
        // Gathered into a new array rather than copied out and back: one
        // pass over the cells instead of two.
        // Plain copies into room made first: they copy as blocks of bytes
        // whatever allocator the store has.
        const size_t cols = size_t(m_cols);
        const auto base = store.cbegin() + ptrdiff_t(size_t(first) * cols);
        std::decay_t<decltype(store)> sorted;
        sorted.resize(store.size());
        auto out = std::copy(store.cbegin(), base, sorted.begin());
        for (size_t i = 0; i < n; ++i)
            out = std::copy_n(base + ptrdiff_t(order[i] * cols), cols, out);
        std::copy(base + ptrdiff_t(n * cols), store.cend(), out);
        store.swap(sorted);
    };
    permute(m_cells);
    permute(m_attrs);
}

// ---------------------------------------------------------------------------
// Marks

quint8 GridCellStore::attr(int row, int col) const
{
    if (m_attrs.empty() || !isValidCell(row, col))
        return 0;
    return m_attrs[offset(row, col)];
}

quint8 &GridCellStore::attrRef(int row, int col)
{
    if (m_attrs.empty())
        m_attrs.assign(m_cells.size(), 0);
    return m_attrs[offset(row, col)];
}

quint8 GridCellStore::paletteIndex(quint32 argb)
{
    argb |= 0xFF000000u;
    const qsizetype found = m_palette.indexOf(argb);
    if (found >= 0)
        return quint8(found + 1);
    if (m_palette.size() < MaxPaletteColors) {
        m_palette.append(argb);
        return quint8(m_palette.size());
    }
    // A full palette takes the nearest colour it has.
    qsizetype best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (qsizetype i = 0; i < m_palette.size(); ++i) {
        const int distance = ColorDistance(m_palette.at(i), argb);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return quint8(best + 1);
}

bool GridCellStore::setCellColor(int row, int col, quint32 argb)
{
    if (!isValidCell(row, col))
        return false;
    quint8 &a = attrRef(row, col);
    a = quint8((a & BoldBit) | paletteIndex(argb));
    return true;
}

bool GridCellStore::setCellBold(int row, int col)
{
    if (!isValidCell(row, col))
        return false;
    attrRef(row, col) |= BoldBit;
    return true;
}

bool GridCellStore::hasCellColor(int row, int col) const
{
    return (attr(row, col) & ColorMask) != 0;
}

quint32 GridCellStore::cellColor(int row, int col) const
{
    const int index = attr(row, col) & ColorMask;
    return index ? m_palette.at(index - 1) : 0u;
}

bool GridCellStore::cellBold(int row, int col) const
{
    return (attr(row, col) & BoldBit) != 0;
}

bool GridCellStore::clearMarks()
{
    if (m_attrs.empty() && m_palette.isEmpty())
        return false;
    std::vector<quint8>().swap(m_attrs);
    m_palette.clear();
    return true;
}

bool GridCellStore::setColumnCentered(int col, bool centered)
{
    if (col < 0 || col >= m_cols || m_centered.at(col) == centered)
        return false;
    m_centered[col] = centered;
    return true;
}

bool GridCellStore::isColumnCentered(int col) const
{
    return col >= 0 && col < m_cols && m_centered.at(col);
}

qint64 GridCellStore::storageBytes() const
{
    qint64 bytes = qint64(m_cells.capacity() * sizeof(quint32)) + qint64(m_attrs.capacity());
    for (const QString &s : m_pool)
        bytes += qint64(sizeof(QString)) + s.size() * 2;
    return bytes;
}
