// The grid's cell store under a run of operations read from the input.
// Byte 0 and 1 give the size; the text up to the first NUL is loaded as a
// block; the bytes after it are operations. Properties:
//  - load, save and reload give the same cells;
//  - every cell's key matches keyOf() of its text;
//  - sorting keeps the rows (with their marks) and sorting again moves none;
//  - a removal takes exactly the rows asked for and keeps the others in order.

#include "FuzzCheck.h"

#include "core/GridCellStore.h"

#include <QStringList>

#include <algorithm>
#include <vector>

namespace {

constexpr int MaxRows = 40;
constexpr int MaxColumns = 12;

// A row's cells with their marks, the unit that sorting and removal move.
struct Row
{
    QStringList Texts;
    std::vector<quint32> Marks; // colour, then bold, per cell

    bool operator==(const Row &other) const { return Texts == other.Texts && Marks == other.Marks; }
    bool operator<(const Row &other) const
    {
        return Texts != other.Texts ? Texts < other.Texts : Marks < other.Marks;
    }
};

using Rows = std::vector<Row>;

Rows RowsOf(const GridCellStore &store)
{
    Rows rows(size_t(store.rowCount()));
    for (int r = 0; r < store.rowCount(); ++r) {
        Row &row = rows[size_t(r)];
        for (int c = 0; c < store.columnCount(); ++c) {
            row.Texts.append(store.text(r, c));
            row.Marks.push_back(store.cellColor(r, c));
            row.Marks.push_back(store.cellBold(r, c) ? 1 : 0);
        }
    }
    return rows;
}

Rows Slice(const Rows &rows, int first, int last)
{
    const int end = std::min(last, int(rows.size()) - 1) + 1;
    return first < end ? Rows(rows.begin() + first, rows.begin() + end) : Rows();
}

Rows Sorted(Rows rows)
{
    std::sort(rows.begin(), rows.end());
    return rows;
}

GridBlock Whole(const GridCellStore &store)
{
    return GridBlock{0, 0, store.rowCount() - 1, store.columnCount() - 1};
}

void CheckSaveAndReload(const GridCellStore &store)
{
    const QString saved = store.blockText(Whole(store));
    GridCellStore reloaded(store.rowCount(), store.columnCount());
    reloaded.setBlockText(0, 0, saved);
    for (int r = 0; r < store.rowCount(); ++r) {
        for (int c = 0; c < store.columnCount(); ++c) {
            const QString text = store.text(r, c);
            FUZZ_CHECK2(reloaded.text(r, c) == text, text);
            FUZZ_CHECK(store.isEmptyCell(r, c) == text.isEmpty());
            const std::optional<quint32> key = store.keyOf(text);
            FUZZ_CHECK(key && *key == store.cellKey(r, c));
        }
    }
    FUZZ_CHECK(reloaded.blockText(Whole(reloaded)) == saved);
}

// Texts an operation writes: numbers and words as the grids hold them.
QString TextFor(quint8 byte)
{
    switch (byte % 6) {
    case 0:
        return QString();
    case 1:
    case 2:
        return QString::number(byte);
    case 3:
        return QStringLiteral("-") + QString::number(byte % 10) + QStringLiteral(".5");
    case 4:
        return QStringLiteral("０") + QString::number(byte);
    default:
        return QStringLiteral("nan");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    GridCellStore store(1 + data[0] % MaxRows, 1 + data[1] % MaxColumns);
    const QByteArray rest = FuzzBytes(data + 2, size - 2);
    const qsizetype nul = rest.indexOf('\0');
    const QString load = QString::fromUtf8(nul < 0 ? rest : rest.left(nul));
    const QByteArray ops = nul < 0 ? QByteArray() : rest.mid(nul + 1);

    const GridBlock written = store.setBlockText(0, 0, load);
    FUZZ_CHECK(written.isEmpty() || (written.top == 0 && written.left == 0));
    FUZZ_CHECK(written.bottom < store.rowCount() && written.right < store.columnCount());
    CheckSaveAndReload(store);

    for (qsizetype i = 0; i + 3 < ops.size(); i += 4) {
        const auto op = quint8(ops.at(i));
        const auto a = quint8(ops.at(i + 1));
        const auto b = quint8(ops.at(i + 2));
        const auto c = quint8(ops.at(i + 3));
        const int rows = store.rowCount();
        const int cols = store.columnCount();
        switch (op % 8) {
        case 0:
            store.setText(a % rows, b % cols, TextFor(c));
            break;
        case 1:
            store.setCellColor(a % rows, b % cols, 0xFF000000u | (quint32(c) * 0x010203u));
            break;
        case 2:
            store.setCellBold(a % rows, b % cols);
            break;
        case 3: {
            if (rows < 2)
                break;
            const int first = 1 + a % (rows - 1);
            const int last = first + b % (rows - first);
            QVector<int> keys{c % cols};
            if (c >= 128)
                keys.append((c / 2) % cols);
            const Rows before = RowsOf(store);
            store.sortRows(first, last, keys);
            const Rows after = RowsOf(store);
            FUZZ_CHECK(Sorted(Slice(after, first, last)) == Sorted(Slice(before, first, last)));
            FUZZ_CHECK(Slice(after, 0, first - 1) == Slice(before, 0, first - 1));
            FUZZ_CHECK(Slice(after, last + 1, rows) == Slice(before, last + 1, rows));
            store.sortRows(first, last, keys);
            FUZZ_CHECK(RowsOf(store) == after);
            break;
        }
        case 4: {
            const int first = a % (rows + 1);
            const int last = first + b % 4 - 1;
            Rows expected = RowsOf(store);
            const bool removed = store.removeRows(first, last);
            FUZZ_CHECK(removed == (first >= 1 && last >= first && last < rows));
            if (removed)
                expected.erase(expected.begin() + first, expected.begin() + last + 1);
            FUZZ_CHECK(RowsOf(store) == expected);
            break;
        }
        case 5:
            store.setRowCount(1 + a % MaxRows);
            break;
        case 6:
            store.setColumnCount(1 + a % MaxColumns);
            break;
        default:
            CheckSaveAndReload(store);
            break;
        }
    }
    CheckSaveAndReload(store);
    return 0;
}
