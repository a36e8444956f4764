#pragma once

#include "core/GridCellStore.h"
#include "storage/SaveFile.h"

#include <functional>

// A save file's rows go straight into a cell store, one grid row each, and a
// store's rows go to a save file in blocks: neither way holds the whole file
// as text.

// The most the rows of one loaded file may take in a store: the row limit's
// worth of ten-column rows and some room for texts, so that no file, whatever
// it holds, takes the program much past a gigabyte.
constexpr qint64 MaxLoadedGridBytes = qint64(900) * 1000 * 1000;

// Appends each row it is given at the bottom of cells, and refuses rows once
// the store has reached maxBytes.
class GridRowSink : public SaveFileRowSink
{
public:
    explicit GridRowSink(GridCellStore &cells, qint64 maxBytes = MaxLoadedGridBytes)
        : m_cells(cells)
        , m_maxBytes(maxBytes)
    {}
    bool addRow(QLatin1StringView row) override;
    bool addRow(QStringView row) override;
    qsizetype addRows(const QLatin1StringView *rows, qsizetype count) override;

private:
    GridCellStore &m_cells;
    qint64 m_maxBytes;
};

// The columns a save file's rows take in a grid: a file with a seventh
// number column (C = 10) fills a grid of seven number columns, any other a
// grid of six, however many cells its rows hold.
int SaveFileGridColumns(const SaveFileHead &head);

// Reads the rows after a head already read into the bottom of cells, until
// cells hold maxBytes. Room is made first for as many rows as the file can
// give: no more than D, maxRows, or the bytes left in the file, so a lying D
// costs nothing.
SaveFileRowsRead ReadSaveFileRows(SaveFileReader &reader, const SaveFileHead &head,
                                  qint64 bytesLeft, GridCellStore &cells,
                                  qint64 maxRows = MaxSaveFileRows,
                                  const std::function<bool(qint64 bytesRead)> &progress = {},
                                  qint64 maxBytes = MaxLoadedGridBytes);

// Writes the data rows of cells (rows 1 to the last, columns 0 to the last)
// as a save file.
SaveFileWriteResult WriteGridSaveFile(const QString &filePath, const GridCellStore &cells,
                                      const std::function<void(qint64 rowsWritten)> &progress = {});
