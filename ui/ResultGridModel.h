#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QRgb>
#include <QString>
#include <QStringView>
#include <QVector>

#include <cstdint>
#include <optional>
#include <type_traits>
#include <vector>

// Compact cell store behind ResultGrid.
//
// The store works in grid coordinates: row 0 is the header row and column 0
// the left column. Towards Qt the model shows only the data part (grid row
// r + 1, grid column c + 1 at model index (r, c)); row 0 and column 0 reach
// the view as header data, so they never scroll away.
//
// Every cell is one 32-bit code: a plain decimal number (no sign, no leading
// zero, below 2^31) is its own value, an empty cell a sentinel, any other text
// an index into a deduplicated string pool. Colour and bold marks live in a
// byte per cell that is allocated only when the first mark is set.
class ResultGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ResultGridModel(QObject *parent = nullptr);

    int gridRowCount() const { return m_rows; }
    int gridColumnCount() const { return m_cols; }
    // Cells of rows/columns that stay are kept; new ones are empty. At least 1.
    void setGridRowCount(int rows);
    void setGridColumnCount(int columns);

    QString text(int row, int col) const;
    void setText(int row, int col, const QString &text);
    bool isEmptyCell(int row, int col) const;
    bool isValidCell(int row, int col) const
    {
        return row >= 0 && row < m_rows && col >= 0 && col < m_cols;
    }

    // Texts of the block rows top..bottom, columns left..right (inclusive,
    // inside the grid), TAB within a row and CR between rows.
    QString blockText(int top, int left, int bottom, int right) const;
    // Splits text on CR, then TAB, and writes it from (top, left) on; cells
    // that would fall outside the grid are dropped, cells a shorter row does
    // not reach are left as they were.
    void setBlockText(int top, int left, QStringView text);

    // For comparing many cells with a few fixed texts without building a
    // string per cell: a cell's key equals keyOf(text) exactly when the cell
    // holds that text. No key means no cell holds the text.
    std::optional<quint32> keyOf(QStringView text) const;
    quint32 cellKey(int row, int col) const
    {
        return isValidCell(row, col) ? cellCode(row, col) : EmptyCode;
    }

    void appendRows(int count);
    // Removes grid rows first..last (data rows only); false if out of range.
    bool removeGridRows(int first, int last);

    // Row removals and cell changes reach the views in one step, from the
    // event loop or the next call that needs them to agree: a header view
    // does work in proportion to all its rows for every removal it is told
    // of, which would make removing rows one by one quadratic, and telling
    // three views of every single cell write costs more than the write.
    // Until then the views show surplus rows empty. Call this to announce
    // everything now.
    void flushPending();

    // Empties every cell and drops every mark; counts stay.
    void clearCells();

    // Stable ascending sort of grid rows first..last by the key columns in
    // order. Numbers (texts that read as a finite number) come first, by
    // value; then other texts, by their UTF-16 order; empty cells last.
    void sortRows(int first, int last, const QVector<int> &keyColumns);

    void setCellColor(int row, int col, QRgb rgb);
    void setCellBold(int row, int col);
    bool hasCellColor(int row, int col) const;
    QRgb cellColor(int row, int col) const;
    bool cellBold(int row, int col) const;

    void setColumnCentered(int col, bool centered);
    bool isColumnCentered(int col) const;

    // Bytes held by the cell store (cells, marks and string pool).
    qint64 storageBytes() const;

    // QAbstractItemModel
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // The text or look of cell (0, 0), which no header view shows.
    void cornerChanged();
    // Rows moved up or went away without the views having been told yet.
    void rowsShifted();

private:
    static constexpr quint32 EmptyCode = 0xFFFFFFFFu;
    static constexpr quint32 PoolBit = 0x80000000u;
    static constexpr quint8 BoldBit = 0x80u;
    static constexpr quint8 ColorMask = 0x7Fu;

    static std::optional<quint32> numberCode(QStringView text);
    quint32 encode(QStringView text);
    QString decode(quint32 code) const;
    void appendDecoded(QString &out, quint32 code) const;
    quint32 &cell(int row, int col) { return m_cells[size_t(row) * size_t(m_cols) + size_t(col)]; }
    quint32 cellCode(int row, int col) const
    {
        return m_cells[size_t(row) * size_t(m_cols) + size_t(col)];
    }
    quint8 attr(int row, int col) const;
    quint8 &attrRef(int row, int col);
    quint8 paletteIndex(QRgb rgb);
    void compactPoolIfWasteful();
    QVariant cellData(int row, int col, int role) const;
    void cellsChanged(int top, int left, int bottom, int right);

    bool sortByNumberCodes(int first, int last, int col, std::vector<quint32> &order) const;
    void permuteRows(int first, const std::vector<quint32> &order);
    void queueFlush();
    void syncRowCount();
    void notifyCells();

    int m_rows = 0;
    int m_shownRows = 0; // data rows the views have been told of
    bool m_flushQueued = false;
    bool m_rowsShifted = false;
    // Cells changed since the views were last told, in grid coordinates.
    int m_dirtyTop = -1;
    int m_dirtyLeft = 0;
    int m_dirtyBottom = 0;
    int m_dirtyRight = 0;
    int m_cols = 0;
    std::vector<quint32> m_cells;
    std::vector<quint8> m_attrs; // empty until the first mark
    QVector<QString> m_pool;
    QHash<QString, quint32> m_poolIndex;
    QVector<QRgb> m_palette; // palette index i + 1 is m_palette[i]
    QVector<bool> m_centered;
};
