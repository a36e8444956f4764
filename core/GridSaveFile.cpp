#include "core/GridSaveFile.h"

#include "core/GameTable.h"

#include <algorithm>
#include <limits>
#include <new>

bool GridRowSink::addRow(QLatin1StringView row)
{
    if (m_cells.usedBytes() >= m_maxBytes || m_cells.rowCount() == std::numeric_limits<int>::max())
        return false;
    m_cells.appendRowText(row);
    return true;
}

bool GridRowSink::addRow(QStringView row)
{
    if (m_cells.usedBytes() >= m_maxBytes || m_cells.rowCount() == std::numeric_limits<int>::max())
        return false;
    m_cells.appendRowText(row);
    return true;
}

qsizetype GridRowSink::addRows(const QLatin1StringView *rows, qsizetype count)
{
    // Plain rows go in together while even all of them, a byte of marks to
    // each cell counted, stay below the limit; the others one by one.
    const qint64 rowBytes = qint64(m_cells.columnCount()) * qint64(sizeof(quint32) + 1);
    qsizetype taken = 0;
    while (taken < count) {
        const qint64 room = (m_maxBytes - m_cells.usedBytes()) / rowBytes - 1;
        if (room > 0)
            taken += m_cells.appendPlainRows(rows + taken,
                                             qsizetype(std::min<qint64>(room, count - taken)));
        if (taken == count || !addRow(rows[taken]))
            break;
        ++taken;
    }
    return taken;
}

int SaveFileGridColumns(const SaveFileHead &head)
{
    return head.countsValid && head.declaredLastColumn == WideGridColumnCount - 1
               ? int(WideGridColumnCount)
               : int(GridColumnCount);
}

SaveFileRowsRead ReadSaveFileRows(SaveFileReader &reader, const SaveFileHead &head,
                                  qint64 bytesLeft, GridCellStore &cells, qint64 maxRows,
                                  const std::function<bool(qint64 bytesRead)> &progress,
                                  qint64 maxBytes)
{
    // Every row but the last takes at least its delimiter.
    const qint64 fileRows = std::max<qint64>(bytesLeft, 0) + 1;
    const qint64 room = std::min({std::max<qint64>(head.declaredRows, 0), maxRows, fileRows,
                                  qint64(std::numeric_limits<int>::max() - cells.rowCount())});
    try {
        cells.reserveRows(cells.rowCount() + int(std::max<qint64>(room, 0)));
    } catch (const std::bad_alloc &) {
        // The room is only a head start: without it the rows still come.
    }
    GridRowSink sink(cells, maxBytes);
    return reader.readRows(sink, maxRows, progress);
}

SaveFileWriteResult WriteGridSaveFile(const QString &filePath, const GridCellStore &cells,
                                      const std::function<void(qint64 rowsWritten)> &progress)
{
    const int lastColumn = cells.columnCount() - 1;
    return WriteSaveFile(
        filePath, cells.rowCount() - 1, lastColumn,
        [&cells, lastColumn](qint64 first, qint64 count) {
            return cells.blockText(GridBlock{int(first + 1), 0, int(first + count), lastColumn});
        },
        progress);
}
