// The streaming save-file reader on any bytes. Properties:
//  - read in blocks of a few bytes it gives exactly what one whole read
//    gives, and the same as the whole-file parser;
//  - it gives no more rows than the row limit or D allows, and a sink that
//    is full stops it.

#include "FuzzCheck.h"

#include "storage/SaveFile.h"

#include <QBuffer>

#include <algorithm>

namespace {

class Rows : public SaveFileRowSink
{
public:
    explicit Rows(qint64 room)
        : m_room(room)
    {}
    bool addRow(QLatin1StringView row) override { return take(QString(row)); }
    bool addRow(QStringView row) override { return take(row.toString()); }
    QStringList rows;

private:
    bool take(const QString &row)
    {
        FUZZ_CHECK(rows.size() < m_room); // nothing is given after a refusal
        rows.append(row);
        return rows.size() < m_room;
    }
    qint64 m_room;
};

struct Read
{
    SaveFileHead head;
    SaveFileRowsRead result;
    QStringList rows;
};

Read ReadAll(const QByteArray &bytes, qsizetype blockBytes, qint64 maxRows, qint64 room)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    SaveFileReader reader(buffer, blockBytes);
    Read read;
    read.head = reader.readHead();
    Rows sink(room);
    // As the program reads: a wrong C still lets the rows be read.
    read.result = reader.readRows(sink, maxRows);
    read.rows = sink.rows;
    return read;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes choose the block size and the limits.
    const qsizetype block = 1 + data[0] % 17;
    const qint64 maxRows = data[1] % 8 == 0 ? MaxSaveFileRows : data[1] % 8;
    const QByteArray bytes = FuzzBytes(data + 2, size - 2);

    const Read whole = ReadAll(bytes, SaveFileBlockBytes, MaxSaveFileRows, MaxSaveFileRows);
    const Read small = ReadAll(bytes, block, MaxSaveFileRows, MaxSaveFileRows);
    FUZZ_CHECK(small.head.countsValid == whole.head.countsValid);
    FUZZ_CHECK(small.head.declaredRows == whole.head.declaredRows);
    FUZZ_CHECK(small.head.signatureOk == whole.head.signatureOk);
    FUZZ_CHECK2(small.rows == whole.rows,
                small.rows.join(u'|') + QStringLiteral(" != ") + whole.rows.join(u'|'));
    FUZZ_CHECK(whole.rows.size() <= std::max<qint64>(whole.head.declaredRows, 0));
    const SaveFileContent parsed = ParseSaveFile(bytes);
    FUZZ_CHECK(parsed.rows == whole.rows);

    const Read limited = ReadAll(bytes, block, maxRows, MaxSaveFileRows);
    FUZZ_CHECK(limited.rows.size() <= maxRows);
    FUZZ_CHECK(limited.rows == whole.rows.mid(0, limited.rows.size()));
    const Read full = ReadAll(bytes, block, MaxSaveFileRows, 2);
    FUZZ_CHECK(full.rows == whole.rows.mid(0, 2));
    return 0;
}
