#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The save file: "Zanbo" CR LF, " D " CR LF, " C " CR LF, then the clip text
// of the rows (cells joined by TAB, rows by CR) and a final CR LF, in code
// page 932.

// The bytes of a save file for D rows, C + 1 columns and the rows' clip text.
QByteArray SaveFileBytes(qint64 rowCount, int lastColumn, const QString &clipText);

struct SaveFileWriteResult
{
    bool ok = false;
    QString error; // what went wrong, for the warning box
};

// Writes through a temporary file and an atomic replace.
SaveFileWriteResult WriteSaveFile(const QString &filePath, qint64 rowCount, int lastColumn,
                                  const QString &clipText);

// A save file read field by field. A field ends at a comma, CR LF, a lone CR
// or a lone LF; after the signature and the two counts each field is one row
// text (so "a,b" on one line gives two rows, and an empty line an empty
// row). Rows are read only as far as the file holds them and never beyond D;
// D never sizes anything before the rows are read. When D is not a number
// (or negative) no row is read; when only C is wrong the rows are read all
// the same.
struct SaveFileContent
{
    bool opened = false;        // false when the file could not be opened
    bool signatureOk = false;   // first field equals "Zanbo" exactly
    qint64 declaredRows = 0;    // D as read (0 when not a number)
    int declaredLastColumn = 9; // C as read (9 when not a number)
    bool countsValid = false;   // D and C were both numbers, neither negative
    QStringList rows;           // the row texts actually read, at most D
    bool truncated = false;     // the file exceeded MaxSaveFileBytes; only its start was read
};

// The most of a file ReadSaveFile reads (a million rows take about 30 MB),
// so that picking some huge unrelated file cannot exhaust memory.
constexpr qint64 MaxSaveFileBytes = qint64(128) * 1024 * 1024;

// Reads the file, up to MaxSaveFileBytes (a signature mismatch is reported, the rest is read
// anyway so the caller can go on after the user's OK).
SaveFileContent ReadSaveFile(const QString &filePath);
// The same on bytes already in memory (for tests and fuzzing).
SaveFileContent ParseSaveFile(const QByteArray &bytes);
