#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>
#include <vector>

class QIODevice;

// The save file: "Zanbo" CR LF, " D " CR LF, " C " CR LF, then the clip text
// of the rows (cells joined by TAB, rows by CR) and a final CR LF, in code
// page 932.

// The most rows a save file gives: the whole LOTO6 space three times over,
// and still a bound on what a file of bare line ends can cost.
constexpr qint64 MaxSaveFileRows = 20000000;
// How much of a save file is read at a time, and how many rows are written
// at a time.
constexpr qsizetype SaveFileBlockBytes = qsizetype(1) << 20;
constexpr qint64 SaveFileWriteBlockRows = 65536;
// A row text longer than this keeps only its start: no row the program
// writes comes near it, and one endless line must not fill the memory.
constexpr qsizetype MaxSaveRowBytes = qsizetype(64) * 1024;

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

// The clip text of rowCount rows from first on (0 is the first row of the
// file), without a separator before or after.
using SaveFileRowsText = std::function<QString(qint64 first, qint64 rowCount)>;
// The same file written in blocks of rows, so that only one block is ever
// held as text and bytes: the bytes are those SaveFileBytes gives for the
// whole clip text. progress, when given, hears the rows written so far.
SaveFileWriteResult WriteSaveFile(const QString &filePath, qint64 rowCount, int lastColumn,
                                  const SaveFileRowsText &rowsText,
                                  const std::function<void(qint64 rowsWritten)> &progress = {},
                                  qint64 blockRows = SaveFileWriteBlockRows);

// A save file is read field by field. A field ends at a comma, CR LF, a lone
// CR or a lone LF; after the signature and the two counts each field is one
// row text (so "a,b" on one line gives two rows, and an empty line an empty
// row). Rows are read only as far as the file holds them and never beyond D;
// D never sizes anything before the rows are read. When D is not a number
// (or negative) no row is read; when only C is wrong the rows are read all
// the same.
struct SaveFileHead
{
    bool signatureOk = false;   // first field equals "Zanbo" exactly
    qint64 declaredRows = 0;    // D as read (0 when not a number)
    int declaredLastColumn = 9; // C as read (9 when not a number)
    bool countsValid = false;   // D and C were both numbers, neither negative
};

// Takes the rows as they are read. ASCII rows come as their bytes, any other
// decoded from code page 932.
class SaveFileRowSink
{
public:
    virtual ~SaveFileRowSink() = default;
    // False when the sink can take no more rows: reading stops there.
    virtual bool addRow(QLatin1StringView row) = 0;
    virtual bool addRow(QStringView row) = 0;
    // Several ASCII rows at once, as addRow would take them one by one:
    // returns how many were taken from the first on, fewer than count when
    // the sink could take no more.
    virtual qsizetype addRows(const QLatin1StringView *rows, qsizetype count);
};

struct SaveFileRowsRead
{
    qint64 rows = 0;           // rows given to the sink
    bool limitReached = false; // rows were left in the file at the row limit or a full sink
    bool cancelled = false;    // the progress callback asked to stop
    bool readFailed = false;   // the device reported an error
    QString error;
};

// Reads a save file from a device in blocks of blockBytes, so that only a
// block and the row being read are held at a time.
class SaveFileReader
{
public:
    explicit SaveFileReader(QIODevice &device, qsizetype blockBytes = SaveFileBlockBytes);

    // The signature, D and C; call once, first.
    SaveFileHead readHead();
    // Passes at most min(D, maxRows) rows to sink. progress, when given, hears
    // the bytes read so far after every block and stops the reading when it
    // returns false.
    SaveFileRowsRead readRows(SaveFileRowSink &sink, qint64 maxRows = MaxSaveFileRows,
                              const std::function<bool(qint64 bytesRead)> &progress = {});

private:
    enum class Field { Ended, AtEnd, Failed };
    bool fill();
    void skip(bool lineEndsToo);
    Field nextField(QByteArrayView *field, bool *ascii);
    void plainFields(std::vector<QLatin1StringView> &fields, qsizetype maxCount);
    qsizetype fieldEnd(qsizetype from) const;
    qsizetype pastDelimiter(qsizetype i);
    std::optional<qint64> nextNumber();
    bool atEnd();

    QIODevice &m_device;
    QByteArray m_block;
    QByteArray m_field; // a field that crosses blocks
    qsizetype m_pos = 0;
    qsizetype m_end = 0;
    qint64 m_bytesRead = 0;
    bool m_eof = false;
    bool m_failed = false;
    bool m_afterCr = false; // a field ended at a CR that was the last byte of a block
    SaveFileHead m_head;
};

// A whole save file as the reader gives it.
struct SaveFileContent
{
    bool opened = false;        // false when the file could not be opened
    bool signatureOk = false;   // first field equals "Zanbo" exactly
    qint64 declaredRows = 0;    // D as read (0 when not a number)
    int declaredLastColumn = 9; // C as read (9 when not a number)
    bool countsValid = false;   // D and C were both numbers, neither negative
    QStringList rows;           // the row texts actually read, at most D
    bool truncated = false;     // D went past the row limit and rows were left unread
};

// Reads the file's rows into a list (a signature mismatch is reported, the
// rest is read anyway so the caller can go on after the user's OK).
SaveFileContent ReadSaveFile(const QString &filePath, qint64 maxRows = MaxSaveFileRows);
// The same on bytes already in memory (for tests and fuzzing).
SaveFileContent ParseSaveFile(const QByteArray &bytes, qsizetype blockBytes = SaveFileBlockBytes,
                              qint64 maxRows = MaxSaveFileRows);
