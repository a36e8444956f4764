#include "ui/ResultGridModel.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int MaxPaletteColors = 127;

} // namespace

ResultGridModel::ResultGridModel(QObject *parent)
    : QAbstractTableModel(parent)
{
    // A new grid has one header row, one data row and two columns.
    m_rows = 2;
    m_shownRows = 1;
    m_cols = 2;
    m_cells.assign(4, EmptyCode);
    m_centered.fill(false, 2);
}

// ---------------------------------------------------------------------------
// Cell codes

// Only the canonical decimal form is stored as a value, so that decoding
// gives back exactly the text that was written ("07" and " 7" stay text).
std::optional<quint32> ResultGridModel::numberCode(QStringView text)
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

std::optional<quint32> ResultGridModel::keyOf(QStringView text) const
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

quint32 ResultGridModel::encode(QStringView text)
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
    return PoolBit | index;
}

QString ResultGridModel::decode(quint32 code) const
{
    if (code == EmptyCode)
        return QString();
    if (code & PoolBit)
        return m_pool.at(qsizetype(code & ~PoolBit));
    return QString::number(code);
}

void ResultGridModel::appendDecoded(QString &out, quint32 code) const
{
    if (code == EmptyCode)
        return;
    if (code & PoolBit) {
        out += m_pool.at(qsizetype(code & ~PoolBit));
        return;
    }
    char16_t digits[10];
    int n = 0;
    do {
        digits[n++] = char16_t(u'0' + code % 10);
        code /= 10;
    } while (code);
    while (n)
        out += QChar(digits[--n]);
}

// Texts that were overwritten stay in the pool; drop them once the pool is
// bigger than the grid could possibly use.
void ResultGridModel::compactPoolIfWasteful()
{
    if (m_pool.size() < 4096 || size_t(m_pool.size()) <= m_cells.size())
        return;
    std::vector<quint32> remap(size_t(m_pool.size()), EmptyCode);
    QVector<QString> pool;
    QHash<QString, quint32> poolIndex;
    for (quint32 &code : m_cells) {
        if (code == EmptyCode || !(code & PoolBit))
            continue;
        quint32 &target = remap[code & ~PoolBit];
        if (target == EmptyCode) {
            target = quint32(pool.size());
            pool.append(m_pool.at(qsizetype(code & ~PoolBit)));
            poolIndex.insert(pool.constLast(), target);
        }
        code = PoolBit | target;
    }
    m_pool = std::move(pool);
    m_poolIndex = std::move(poolIndex);
}

// ---------------------------------------------------------------------------
// Shape

void ResultGridModel::setGridRowCount(int rows)
{
    rows = std::max(rows, 1);
    if (rows == m_rows)
        return;
    const size_t cells = size_t(rows) * size_t(m_cols);
    if (rows > m_rows) {
        syncRowCount();
        beginInsertRows(QModelIndex(), m_rows - 1, rows - 2);
        m_cells.resize(cells, EmptyCode);
        if (!m_attrs.empty())
            m_attrs.resize(cells, 0);
        m_rows = rows;
        m_shownRows = rows - 1;
        endInsertRows();
    } else {
        m_cells.resize(cells);
        if (!m_attrs.empty())
            m_attrs.resize(cells);
        m_rows = rows;
        if (m_cells.capacity() > 2 * m_cells.size() + 4096) {
            m_cells.shrink_to_fit();
            m_attrs.shrink_to_fit();
        }
        m_rowsShifted = true;
        queueFlush();
    }
}

void ResultGridModel::queueFlush()
{
    if (m_flushQueued)
        return;
    m_flushQueued = true;
    QMetaObject::invokeMethod(this, &ResultGridModel::flushPending, Qt::QueuedConnection);
}

void ResultGridModel::flushPending()
{
    m_flushQueued = false;
    syncRowCount();
    notifyCells();
    if (m_rowsShifted) {
        m_rowsShifted = false;
        emit rowsShifted();
    }
}

void ResultGridModel::syncRowCount()
{
    if (m_shownRows <= m_rows - 1)
        return;
    beginRemoveRows(QModelIndex(), m_rows - 1, m_shownRows - 1);
    m_shownRows = m_rows - 1;
    endRemoveRows();
}

void ResultGridModel::setGridColumnCount(int columns)
{
    columns = std::max(columns, 1);
    if (columns == m_cols)
        return;
    syncRowCount();
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
    if (columns > oldCols)
        beginInsertColumns(QModelIndex(), oldCols - 1, columns - 2);
    else
        beginRemoveColumns(QModelIndex(), columns - 1, oldCols - 2);
    relayout(m_cells, EmptyCode);
    relayout(m_attrs, quint8(0));
    m_cols = columns;
    m_centered.resize(columns);
    if (columns > oldCols)
        endInsertColumns();
    else
        endRemoveColumns();
}

void ResultGridModel::appendRows(int count)
{
    if (count <= 0)
        return;
    setGridRowCount(m_rows + count);
}

bool ResultGridModel::removeGridRows(int first, int last)
{
    if (first < 1 || last < first || last >= m_rows)
        return false;
    const auto from = ptrdiff_t(size_t(first) * size_t(m_cols));
    const auto to = ptrdiff_t(size_t(last + 1) * size_t(m_cols));
    m_cells.erase(m_cells.begin() + from, m_cells.begin() + to);
    if (!m_attrs.empty())
        m_attrs.erase(m_attrs.begin() + from, m_attrs.begin() + to);
    m_rows -= last - first + 1;
    m_rowsShifted = true;
    queueFlush();
    return true;
}

void ResultGridModel::clearCells()
{
    std::fill(m_cells.begin(), m_cells.end(), EmptyCode);
    std::vector<quint8>().swap(m_attrs);
    m_pool.clear();
    m_poolIndex.clear();
    m_palette.clear();
    cellsChanged(0, 0, m_rows - 1, m_cols - 1);
}

// ---------------------------------------------------------------------------
// Texts

QString ResultGridModel::text(int row, int col) const
{
    if (!isValidCell(row, col))
        return QString();
    return decode(cellCode(row, col));
}

bool ResultGridModel::isEmptyCell(int row, int col) const
{
    return !isValidCell(row, col) || cellCode(row, col) == EmptyCode;
}

void ResultGridModel::setText(int row, int col, const QString &text)
{
    if (!isValidCell(row, col))
        return;
    compactPoolIfWasteful();
    const quint32 code = encode(text);
    if (cellCode(row, col) == code)
        return;
    cell(row, col) = code;
    cellsChanged(row, col, row, col);
}

QString ResultGridModel::blockText(int top, int left, int bottom, int right) const
{
    top = std::max(top, 0);
    left = std::max(left, 0);
    bottom = std::min(bottom, m_rows - 1);
    right = std::min(right, m_cols - 1);
    if (top > bottom || left > right)
        return QString();

    // Two passes, length first, so a million rows are written straight into
    // one buffer.
    auto length = [this](quint32 code) -> qsizetype {
        if (code == EmptyCode)
            return 0;
        if (code & PoolBit)
            return m_pool.at(qsizetype(code & ~PoolBit)).size();
        qsizetype digits = 1;
        while (code >= 10) {
            code /= 10;
            ++digits;
        }
        return digits;
    };
    const qsizetype rows = bottom - top + 1;
    const qsizetype cols = right - left + 1;
    qsizetype total = rows * cols - 1; // separators
    for (int r = top; r <= bottom; ++r) {
        const quint32 *line = &m_cells[size_t(r) * size_t(m_cols)];
        for (int c = left; c <= right; ++c)
            total += length(line[c]);
    }

    QString out(total, Qt::Uninitialized);
    QChar *p = out.data();
    for (int r = top; r <= bottom; ++r) {
        if (r != top)
            *p++ = QChar(u'\r');
        const quint32 *line = &m_cells[size_t(r) * size_t(m_cols)];
        for (int c = left; c <= right; ++c) {
            if (c != left)
                *p++ = QChar(u'\t');
            quint32 code = line[c];
            if (code == EmptyCode)
                continue;
            if (code & PoolBit) {
                const QString &s = m_pool.at(qsizetype(code & ~PoolBit));
                std::copy_n(s.constData(), s.size(), p);
                p += s.size();
                continue;
            }
            const qsizetype digits = length(code);
            for (qsizetype i = digits - 1; i >= 0; --i) {
                p[i] = QChar(char16_t(u'0' + code % 10));
                code /= 10;
            }
            p += digits;
        }
    }
    return out;
}

void ResultGridModel::setBlockText(int top, int left, QStringView text)
{
    if (!isValidCell(top, left))
        return;
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
    cellsChanged(top, left, std::min(row, m_rows) - 1, rightmost);
}

// ---------------------------------------------------------------------------
// Sort

void ResultGridModel::sortRows(int first, int last, const QVector<int> &keyColumns)
{
    first = std::max(first, 1);
    last = std::min(last, m_rows - 1);
    if (last <= first)
        return;
    QVector<int> keys;
    for (int c : keyColumns)
        if (c >= 0 && c < m_cols)
            keys.append(c);
    if (keys.isEmpty())
        return;

    const size_t n = size_t(last - first + 1);
    std::vector<quint32> order(n);
    if (keys.size() == 1 && sortByNumberCodes(first, last, keys.front(), order)) {
        permuteRows(first, order);
        return;
    }

    // Pool texts are parsed once each, not once per comparison.
    constexpr double NotANumber = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> poolValue(size_t(m_pool.size()), NotANumber);
    for (qsizetype i = 0; i < m_pool.size(); ++i) {
        bool ok = false;
        const double v = m_pool.at(i).toDouble(&ok);
        if (ok && std::isfinite(v))
            poolValue[size_t(i)] = v;
    }

    // Per row and key: rank (0 number, 1 text, 2 empty) and the number.
    struct Key
    {
        double value;
        quint32 code;
        quint32 rank;
    };
    const size_t k = size_t(keys.size());
    std::vector<Key> keyTable(n * k);
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = 0; j < k; ++j) {
            const quint32 code = cellCode(first + int(i), keys[qsizetype(j)]);
            Key &key = keyTable[i * k + j];
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

    for (size_t i = 0; i < n; ++i)
        order[i] = quint32(i);
    std::stable_sort(order.begin(), order.end(), [&](quint32 a, quint32 b) {
        const Key *ka = &keyTable[a * k];
        const Key *kb = &keyTable[b * k];
        for (size_t j = 0; j < k; ++j) {
            if (ka[j].rank != kb[j].rank)
                return ka[j].rank < kb[j].rank;
            if (ka[j].rank == 0) {
                if (ka[j].value != kb[j].value)
                    return ka[j].value < kb[j].value;
            } else if (ka[j].rank == 1 && ka[j].code != kb[j].code) {
                const int cmp = QString::compare(m_pool.at(qsizetype(ka[j].code & ~PoolBit)),
                                                 m_pool.at(qsizetype(kb[j].code & ~PoolBit)));
                if (cmp != 0)
                    return cmp < 0;
            }
        }
        return false;
    });

    permuteRows(first, order);
}

// The common case, one key column of plain numbers and empty cells, sorts
// 64-bit keys (value, then position for stability) without comparator calls.
bool ResultGridModel::sortByNumberCodes(int first, int last, int col,
                                        std::vector<quint32> &order) const
{
    const size_t n = size_t(last - first + 1);
    std::vector<quint64> keys(n);
    for (size_t i = 0; i < n; ++i) {
        const quint32 code = cellCode(first + int(i), col);
        if (code != EmptyCode && (code & PoolBit))
            return false;
        const quint64 rank = code == EmptyCode ? PoolBit : code; // empty after numbers
        keys[i] = (rank << 32) | i;
    }
    std::sort(keys.begin(), keys.end());
    for (size_t i = 0; i < n; ++i)
        order[i] = quint32(keys[i]);
    return true;
}

// Row first + i takes the row that was at first + order[i].
void ResultGridModel::permuteRows(int first, const std::vector<quint32> &order)
{
    const size_t n = order.size();
    auto permute = [&](auto &store) {
        if (store.empty())
            return;
        const size_t cols = size_t(m_cols);
        const auto base = store.begin() + ptrdiff_t(size_t(first) * cols);
        std::decay_t<decltype(store)> block(base, base + ptrdiff_t(n * cols));
        for (size_t i = 0; i < n; ++i)
            std::copy_n(block.begin() + ptrdiff_t(order[i] * cols), cols,
                        base + ptrdiff_t(i * cols));
    };
    permute(m_cells);
    permute(m_attrs);
    cellsChanged(first, 0, first + int(n) - 1, m_cols - 1);
}

// ---------------------------------------------------------------------------
// Marks

quint8 ResultGridModel::attr(int row, int col) const
{
    if (m_attrs.empty() || !isValidCell(row, col))
        return 0;
    return m_attrs[size_t(row) * size_t(m_cols) + size_t(col)];
}

quint8 &ResultGridModel::attrRef(int row, int col)
{
    if (m_attrs.empty())
        m_attrs.assign(m_cells.size(), 0);
    return m_attrs[size_t(row) * size_t(m_cols) + size_t(col)];
}

quint8 ResultGridModel::paletteIndex(QRgb rgb)
{
    rgb |= 0xFF000000u;
    const qsizetype found = m_palette.indexOf(rgb);
    if (found >= 0)
        return quint8(found + 1);
    if (m_palette.size() < MaxPaletteColors) {
        m_palette.append(rgb);
        return quint8(m_palette.size());
    }
    // A full palette takes the nearest colour it has.
    qsizetype best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (qsizetype i = 0; i < m_palette.size(); ++i) {
        const QRgb p = m_palette.at(i);
        const int dr = qRed(p) - qRed(rgb), dg = qGreen(p) - qGreen(rgb),
                  db = qBlue(p) - qBlue(rgb);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return quint8(best + 1);
}

void ResultGridModel::setCellColor(int row, int col, QRgb rgb)
{
    if (!isValidCell(row, col))
        return;
    quint8 &a = attrRef(row, col);
    a = quint8((a & BoldBit) | paletteIndex(rgb));
    cellsChanged(row, col, row, col);
}

void ResultGridModel::setCellBold(int row, int col)
{
    if (!isValidCell(row, col))
        return;
    attrRef(row, col) |= BoldBit;
    cellsChanged(row, col, row, col);
}

bool ResultGridModel::hasCellColor(int row, int col) const
{
    return (attr(row, col) & ColorMask) != 0;
}

QRgb ResultGridModel::cellColor(int row, int col) const
{
    const int index = attr(row, col) & ColorMask;
    return index ? m_palette.at(index - 1) : QRgb(0);
}

bool ResultGridModel::cellBold(int row, int col) const
{
    return (attr(row, col) & BoldBit) != 0;
}

void ResultGridModel::setColumnCentered(int col, bool centered)
{
    if (col < 0 || col >= m_cols || m_centered.at(col) == centered)
        return;
    m_centered[col] = centered;
    cellsChanged(0, col, m_rows - 1, col);
}

bool ResultGridModel::isColumnCentered(int col) const
{
    return col >= 0 && col < m_cols && m_centered.at(col);
}

qint64 ResultGridModel::storageBytes() const
{
    qint64 bytes = qint64(m_cells.capacity() * sizeof(quint32)) + qint64(m_attrs.capacity());
    for (const QString &s : m_pool)
        bytes += qint64(sizeof(QString)) + s.size() * 2;
    return bytes;
}

// ---------------------------------------------------------------------------
// Qt model

void ResultGridModel::cellsChanged(int top, int left, int bottom, int right)
{
    if (top > bottom || left > right)
        return;
    if (m_dirtyTop < 0) {
        m_dirtyTop = top;
        m_dirtyLeft = left;
        m_dirtyBottom = bottom;
        m_dirtyRight = right;
    } else {
        m_dirtyTop = std::min(m_dirtyTop, top);
        m_dirtyLeft = std::min(m_dirtyLeft, left);
        m_dirtyBottom = std::max(m_dirtyBottom, bottom);
        m_dirtyRight = std::max(m_dirtyRight, right);
    }
    queueFlush();
}

void ResultGridModel::notifyCells()
{
    if (m_dirtyTop < 0)
        return;
    // Rows or columns may have gone since the change.
    const int top = m_dirtyTop;
    const int left = m_dirtyLeft;
    const int bottom = std::min(m_dirtyBottom, m_rows - 1);
    const int right = std::min(m_dirtyRight, m_cols - 1);
    m_dirtyTop = -1;
    if (top > bottom || left > right)
        return;
    const int dataTop = std::max(top, 1);
    const int dataLeft = std::max(left, 1);
    if (dataTop <= bottom && dataLeft <= right)
        emit dataChanged(index(dataTop - 1, dataLeft - 1), index(bottom - 1, right - 1));
    if (top == 0 && dataLeft <= right)
        emit headerDataChanged(Qt::Horizontal, dataLeft - 1, right - 1);
    if (left == 0 && dataTop <= bottom)
        emit headerDataChanged(Qt::Vertical, dataTop - 1, bottom - 1);
    if (top == 0 && left == 0)
        emit cornerChanged();
}

int ResultGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_shownRows;
}

int ResultGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cols - 1;
}

QVariant ResultGridModel::cellData(int row, int col, int role) const
{
    if (!isValidCell(row, col))
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return decode(cellCode(row, col));
    case Qt::TextAlignmentRole:
        if (m_centered.at(col))
            return int(Qt::AlignCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        if (hasCellColor(row, col))
            return QBrush(QColor(cellColor(row, col)));
        return QVariant();
    case Qt::FontRole:
        if (cellBold(row, col)) {
            QFont font;
            // Only the weight is set; the rest comes from the grid font.
            font.setBold(true);
            return font;
        }
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant ResultGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    return cellData(index.row() + 1, index.column() + 1, role);
}

QVariant ResultGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal)
        return cellData(0, section + 1, role);
    return cellData(section + 1, 0, role);
}

Qt::ItemFlags ResultGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled;
}
