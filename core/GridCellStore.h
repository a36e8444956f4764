#pragma once

#include "core/GridBlock.h"

#include <QHash>
#include <QLatin1StringView>
#include <QString>
#include <QStringView>
#include <QVector>

#include <cstddef>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// The text cells of a result grid, stored compactly enough for a million
// rows. Row 0 is the header row and column 0 the left column; they hold
// texts like any other cell, but row removal and sorting leave row 0 alone.
//
// Every cell is one 32-bit code: a plain decimal number (no sign, no leading
// zero, below 2^31) is its own value, an empty cell a sentinel, any other text
// an index into a deduplicated string pool. Colour and bold marks live in a
// byte per cell that is allocated only when the first mark is set.
//
// Calls that change cells report whether or where they did, so a view layer
// can tell its views; the store itself knows no views.
class GridCellStore
{
public:
    // At least one row and one column.
    GridCellStore(int rows, int columns);

    int rowCount() const { return m_rows; }
    int columnCount() const { return m_cols; }
    // Cells of rows/columns that stay are kept; new ones are empty. At least 1.
    void setRowCount(int rows);
    void setColumnCount(int columns);
    // An empty column at col, the cells from col on one column further right;
    // and the other way, column col taken out (never the last column left).
    void insertColumn(int col);
    bool removeColumn(int col);
    void appendRows(int count);
    // Makes room for rows in all, so that filling the store up to them never
    // moves its cells: the room costs address space, not memory, until rows
    // fill it.
    void reserveRows(int rows);
    // Adds one row at the bottom holding text split on TAB; cells beyond the
    // last column are dropped, cells a short text does not reach stay empty.
    // The Latin-1 form is the quick one, for ASCII rows read from a file.
    void appendRowText(QLatin1StringView text);
    void appendRowText(QStringView text);
    // Appends rows from the first on as appendRowText would while each is
    // plain: its cells up to the last column plain decimal numbers or empty.
    // Stops before the first other row; returns how many it appended. Many
    // rows are parsed on two threads at once.
    qsizetype appendPlainRows(const QLatin1StringView *rows, qsizetype count);
    // Removes rows first..last (never row 0); false if out of range.
    bool removeRows(int first, int last);

    bool isValidCell(int row, int col) const
    {
        return row >= 0 && row < m_rows && col >= 0 && col < m_cols;
    }
    QString text(int row, int col) const;
    // False when the cell is outside the grid or already held the text.
    bool setText(int row, int col, QStringView text);
    bool isEmptyCell(int row, int col) const
    {
        return !isValidCell(row, col) || cellCode(row, col) == EmptyCode;
    }

    // Texts of the block (clipped to the grid), TAB within a row and CR
    // between rows.
    QString blockText(const GridBlock &block) const;
    // Splits text on CR, then TAB, and writes it from (top, left) on; cells
    // that would fall outside the grid are dropped, cells a shorter row does
    // not reach are left as they were. Returns the cells written.
    GridBlock setBlockText(int top, int left, QStringView text);

    // For comparing many cells with a few fixed texts without building a
    // string per cell: a cell's key equals keyOf(text) exactly when the cell
    // holds that text. No key means no cell holds the text.
    std::optional<quint32> keyOf(QStringView text) const;
    quint32 cellKey(int row, int col) const
    {
        return isValidCell(row, col) ? cellCode(row, col) : EmptyCode;
    }
    // The key of an empty cell, and of any cell outside the grid.
    static constexpr quint32 EmptyKey = 0xFFFFFFFFu;

    // Empties every cell and drops every mark; counts and centring stay.
    void clear();

    // A copy of other's texts taken in steps, so that a large store is copied
    // without holding up the caller's thread for long: begin, then continue
    // until it returns true. Marks are not copied. other must not change in
    // between; the caller starts again when it does.
    void beginTextCopyOf(const GridCellStore &other);
    bool continueTextCopyOf(const GridCellStore &other, size_t maxCells);

    // Stable ascending sort of rows first..last (never row 0) by the key
    // columns in order. Numbers (texts that read as a finite number) come
    // first, by value; then other texts, by their UTF-16 order; empty cells
    // last. Returns the cells that may have moved.
    GridBlock sortRows(int first, int last, const QVector<int> &keyColumns);

    // Colours are 0xAARRGGBB; alpha is ignored. The store keeps up to 127
    // colours; beyond that a cell takes the nearest one it has. Both return
    // false for a cell outside the grid.
    bool setCellColor(int row, int col, quint32 argb);
    bool setCellBold(int row, int col);
    bool hasCellColor(int row, int col) const;
    // Opaque colour, or 0 when the cell has none.
    quint32 cellColor(int row, int col) const;
    bool cellBold(int row, int col) const;
    // Drops every colour and bold mark; false when there was none.
    bool clearMarks();

    // False when nothing changed.
    bool setColumnCentered(int col, bool centered);
    bool isColumnCentered(int col) const;

    // Bytes held by the cells, marks and string pool.
    qint64 storageBytes() const;
    // The same for the cells in use (not the room reserved), with the pool's
    // texts counted at what they cost in all, index and bookkeeping
    // included; quick enough to ask after every row.
    qint64 usedBytes() const
    {
        return qint64((m_cells.size() * sizeof(quint32)) + m_attrs.size()) + m_poolBytes;
    }

private:
    struct SortKey;

    static constexpr quint32 EmptyCode = EmptyKey;
    static constexpr quint32 PoolBit = 0x80000000u;
    static constexpr quint8 BoldBit = 0x80u;
    static constexpr quint8 ColorMask = 0x7Fu;

    // Lets rows appended in bulk grow the cells without writing them twice:
    // each cell is written by whoever parses its row.
    template<typename T>
    struct UninitializedAllocator : std::allocator<T>
    {
        template<typename U>
        struct rebind
        {
            using other = UninitializedAllocator<U>;
        };
        UninitializedAllocator() = default;
        template<typename U>
        UninitializedAllocator(const UninitializedAllocator<U> &) noexcept
        {}
        template<typename U>
        void construct(U *p) noexcept
        {
            ::new (static_cast<void *>(p)) U;
        }
        template<typename U, typename... Args>
        void construct(U *p, Args &&...args)
        {
            ::new (static_cast<void *>(p)) U(std::forward<Args>(args)...);
        }
    };

    static std::optional<quint32> numberCode(QStringView text);
    static bool parsePlainRow(QLatin1StringView text, quint32 *cells, int columns);
    qsizetype parsePlainRows(const QLatin1StringView *rows, qsizetype count, quint32 *cells) const;
    static qsizetype digitCount(quint32 number);
    quint32 encode(QStringView text);
    quint32 encode(QLatin1StringView text);
    std::optional<size_t> newRow();
    void moveColumns(int col, int oldCols, int columns);
    QString decode(quint32 code) const;
    const QString &pooled(quint32 code) const { return m_pool.at(qsizetype(code & ~PoolBit)); }
    qsizetype textLength(quint32 code) const;
    QChar *writeText(QChar *out, quint32 code) const;
    void compactPoolIfWasteful();
    void compactPool();

    size_t offset(int row, int col) const { return size_t(row) * size_t(m_cols) + size_t(col); }
    quint32 &cell(int row, int col) { return m_cells[offset(row, col)]; }
    quint32 cellCode(int row, int col) const { return m_cells[offset(row, col)]; }

    quint8 attr(int row, int col) const;
    quint8 &attrRef(int row, int col);
    quint8 paletteIndex(quint32 argb);

    bool sortByNumberCodes(int first, int last, int col, std::vector<quint32> &order) const;
    std::vector<double> poolNumbers() const;
    std::vector<SortKey> sortKeys(int first, int last, const QVector<int> &keyColumns) const;
    bool keyRowLess(const SortKey *a, const SortKey *b, size_t keyCount) const;
    std::vector<quint32> sortOrder(int first, int last, const QVector<int> &keyColumns) const;
    void permuteRows(int first, const std::vector<quint32> &order);

    int m_rows = 0;
    int m_cols = 0;
    std::vector<quint32, UninitializedAllocator<quint32>> m_cells;
    std::vector<quint8> m_attrs; // empty until the first mark
    QVector<QString> m_pool;
    QHash<QString, quint32> m_poolIndex;
    qint64 m_poolBytes = 0;     // estimate, see usedBytes()
    QVector<quint32> m_palette; // palette index i + 1 is m_palette[i]
    QVector<bool> m_centered;
};
