#include "storage/SaveFile.h"

#include "storage/CodePage.h"
#include "storage/FileIo.h"

#include <QBuffer>
#include <QFile>
#include <QtAlgorithms>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <optional>

namespace {

const char kSignature[] = "Zanbo";

QByteArray countLine(qint64 count)
{
    return ' ' + QByteArray::number(count) + " \r\n";
}

QByteArray headBytes(qint64 rowCount, int lastColumn)
{
    return kSignature + QByteArray("\r\n") + countLine(rowCount) + countLine(lastColumn);
}

// What each byte means to the field scanner.
enum ByteClass : quint8 { Plain = 0, Delimiter = 1, High = 2 };

constexpr std::array<quint8, 256> MakeByteClasses()
{
    std::array<quint8, 256> classes{};
    classes[','] = Delimiter;
    classes['\r'] = Delimiter;
    classes['\n'] = Delimiter;
    for (int c = 0x80; c < 0x100; ++c)
        classes[size_t(c)] = High;
    return classes;
}

constexpr std::array<quint8, 256> kByteClasses = MakeByteClasses();

// The most rows handed to a sink at once: enough to share among threads,
// little enough to hold their views.
constexpr qsizetype MaxBatchRows = 65536;

// A decimal integer with an optional sign, blanks and TABs around it allowed.
std::optional<qint64> FieldNumber(QByteArrayView field)
{
    qsizetype i = 0;
    qsizetype end = field.size();
    while (i < end && (field[i] == ' ' || field[i] == '\t'))
        ++i;
    while (end > i && (field[end - 1] == ' ' || field[end - 1] == '\t'))
        --end;
    bool negative = false;
    if (i < end && (field[i] == '-' || field[i] == '+')) {
        negative = field[i] == '-';
        ++i;
    }
    if (i == end)
        return std::nullopt;
    qint64 value = 0;
    for (; i < end; ++i) {
        const char c = field[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        if (value > (std::numeric_limits<qint64>::max() - (c - '0')) / 10)
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

class ListSink : public SaveFileRowSink
{
public:
    explicit ListSink(QStringList &rows)
        : m_rows(rows)
    {}
    bool addRow(QLatin1StringView row) override
    {
        m_rows.append(QString(row));
        return true;
    }
    bool addRow(QStringView row) override
    {
        m_rows.append(row.toString());
        return true;
    }

private:
    QStringList &m_rows;
};

SaveFileContent ReadContent(QIODevice &device, qsizetype blockBytes, qint64 maxRows)
{
    SaveFileContent content;
    content.opened = true;
    SaveFileReader reader(device, blockBytes);
    const SaveFileHead head = reader.readHead();
    content.signatureOk = head.signatureOk;
    content.declaredRows = head.declaredRows;
    content.declaredLastColumn = head.declaredLastColumn;
    content.countsValid = head.countsValid;
    ListSink sink(content.rows);
    content.truncated = reader.readRows(sink, maxRows).limitReached;
    return content;
}

} // namespace

// ---------------------------------------------------------------------------
// Writing

QByteArray SaveFileBytes(qint64 rowCount, int lastColumn, const QString &clipText)
{
    QByteArray bytes = headBytes(rowCount, lastColumn);
    bytes.reserve(bytes.size() + clipText.size() + 2);
    AppendCp932(bytes, clipText);
    bytes.append("\r\n");
    return bytes;
}

SaveFileWriteResult WriteSaveFile(const QString &filePath, qint64 rowCount, int lastColumn,
                                  const QString &clipText)
{
    SaveFileWriteResult result;
    result.ok = WriteFileAtomically(filePath, SaveFileBytes(rowCount, lastColumn, clipText),
                                    &result.error);
    return result;
}

SaveFileWriteResult WriteSaveFile(const QString &filePath, qint64 rowCount, int lastColumn,
                                  const SaveFileRowsText &rowsText,
                                  const std::function<void(qint64 rowsWritten)> &progress,
                                  qint64 blockRows)
{
    blockRows = std::max<qint64>(blockRows, 1);
    AtomicFileWriter file(filePath);
    QByteArray bytes = headBytes(rowCount, lastColumn);
    bool ok = file.write(bytes);
    for (qint64 first = 0; ok && first < rowCount; first += blockRows) {
        const qint64 count = std::min(blockRows, rowCount - first);
        bytes.clear();
        if (first > 0)
            bytes.append('\r');
        AppendCp932(bytes, rowsText(first, count));
        ok = file.write(bytes);
        if (ok && progress)
            progress(first + count);
    }
    SaveFileWriteResult result;
    result.ok = ok && file.write("\r\n") && file.commit();
    if (!result.ok)
        result.error = file.error();
    return result;
}

// ---------------------------------------------------------------------------
// Reading

qsizetype SaveFileRowSink::addRows(const QLatin1StringView *rows, qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i) {
        if (!addRow(rows[i]))
            return i;
    }
    return count;
}

SaveFileReader::SaveFileReader(QIODevice &device, qsizetype blockBytes)
    : m_device(device)
{
    m_block.resize(std::max<qsizetype>(blockBytes, 1));
}

// Makes sure a byte is waiting at m_pos; false at the end of the device or
// after a failed read.
bool SaveFileReader::fill()
{
    while (m_pos >= m_end) {
        if (m_eof || m_failed)
            return false;
        const qint64 got = m_device.read(m_block.data(), m_block.size());
        if (got < 0) {
            m_failed = true;
            return false;
        }
        if (got == 0) {
            m_eof = true;
            return false;
        }
        m_bytesRead += got;
        m_pos = 0;
        m_end = qsizetype(got);
        // A CR at the end of the last block and an LF here are one line end.
        if (m_afterCr) {
            m_afterCr = false;
            if (m_block.at(0) == '\n')
                m_pos = 1;
        }
    }
    return true;
}

bool SaveFileReader::atEnd()
{
    return !fill();
}

void SaveFileReader::skip(bool lineEndsToo)
{
    while (fill()) {
        const char c = m_block.at(m_pos);
        if (c == ' ' || (lineEndsToo && (c == '\t' || c == '\r' || c == '\n')))
            ++m_pos;
        else
            break;
    }
}

// The next field, its delimiter consumed. None of the delimiters can be the
// trail byte of a double-byte character, so fields are split on the raw
// bytes and only a field with a byte above 0x7F needs decoding. Double quotes
// are ordinary characters: the writer never produces them. A field that lies
// inside one block is handed out where it lies; one that crosses blocks is
// gathered first. *field is valid until the next call.
SaveFileReader::Field SaveFileReader::nextField(QByteArrayView *field, bool *ascii)
{
    bool gathered = false;
    quint8 seen = Plain;
    for (;;) {
        if (!fill()) {
            if (m_failed)
                return Field::Failed;
            if (!gathered)
                return Field::AtEnd;
            *field = m_field;
            *ascii = !(seen & High);
            return Field::Ended;
        }
        const char *bytes = m_block.constData();
        const qsizetype begin = m_pos;
        qsizetype i = begin;
        while (i < m_end) {
            const quint8 kind = kByteClasses[quint8(bytes[i])];
            if (kind == Delimiter)
                break;
            seen |= kind;
            ++i;
        }
        if (!gathered && i == m_end)
            m_field.resize(0);
        const qsizetype room = MaxSaveRowBytes - (gathered ? m_field.size() : 0);
        if (i == m_end) {
            m_field.append(bytes + begin, std::min(i - begin, room));
            gathered = true;
            m_pos = m_end;
            continue;
        }
        m_pos = pastDelimiter(i);
        if (gathered) {
            m_field.append(bytes + begin, std::min(i - begin, room));
            *field = m_field;
        } else {
            *field = QByteArrayView(bytes + begin, std::min(i - begin, room));
        }
        *ascii = !(seen & High);
        return Field::Ended;
    }
}

// Where the next field starts after the delimiter at i: CR LF is one line
// end, even when the block ends between them.
qsizetype SaveFileReader::pastDelimiter(qsizetype i)
{
    qsizetype next = i + 1;
    if (m_block.at(i) == '\r') {
        if (next == m_end)
            m_afterCr = true; // the LF, if any, starts the next block
        else if (m_block.at(next) == '\n')
            ++next;
    }
    return next;
}

// The first byte from `from` on that is a delimiter or above 0x7F, or the
// end of the block. Eight bytes at a time where it can: a byte equal to c
// shows as a zero byte in word ^ c, and the lowest zero byte found that way
// is always a true one.
qsizetype SaveFileReader::fieldEnd(qsizetype from) const
{
    const char *bytes = m_block.constData();
    qsizetype i = from;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    constexpr quint64 Ones = 0x0101010101010101ULL;
    constexpr quint64 Highs = 0x8080808080808080ULL;
    const auto zeroBytes = [](quint64 v) { return (v - Ones) & ~v & Highs; };
    for (; i + 8 <= m_end; i += 8) {
        quint64 word;
        std::memcpy(&word, bytes + i, sizeof word);
        const quint64 found = zeroBytes(word ^ (Ones * ',')) | zeroBytes(word ^ (Ones * '\r'))
                              | zeroBytes(word ^ (Ones * '\n')) | (word & Highs);
        if (found)
            return i + qCountTrailingZeroBits(found) / 8;
    }
#endif
    while (i < m_end && kByteClasses[quint8(bytes[i])] == Plain)
        ++i;
    return i;
}

// The fields from m_pos on that end inside the block and hold only ASCII,
// at most maxCount: the block stays until the next fill, so they can be
// handed out together. Stops before any other field; nextField takes it.
void SaveFileReader::plainFields(std::vector<QLatin1StringView> &fields, qsizetype maxCount)
{
    const char *bytes = m_block.constData();
    qsizetype pos = m_pos;
    while (qsizetype(fields.size()) < maxCount && pos < m_end) {
        const qsizetype i = fieldEnd(pos);
        if (i == m_end || kByteClasses[quint8(bytes[i])] == High)
            break;
        fields.emplace_back(bytes + pos, std::min(i - pos, MaxSaveRowBytes));
        pos = pastDelimiter(i);
    }
    m_pos = pos;
}

std::optional<qint64> SaveFileReader::nextNumber()
{
    QByteArrayView field;
    bool ascii = true;
    if (nextField(&field, &ascii) != Field::Ended)
        return std::nullopt;
    return FieldNumber(field);
}

SaveFileHead SaveFileReader::readHead()
{
    QByteArrayView field;
    bool ascii = true;
    skip(false);
    m_head.signatureOk = nextField(&field, &ascii) == Field::Ended
                         && field == QByteArrayView(kSignature);

    skip(true);
    const std::optional<qint64> rows = nextNumber();
    skip(true);
    const std::optional<qint64> lastColumn = nextNumber();

    const bool columnFits = lastColumn && *lastColumn >= std::numeric_limits<int>::min()
                            && *lastColumn <= std::numeric_limits<int>::max();
    m_head.declaredRows = rows.value_or(0);
    if (columnFits)
        m_head.declaredLastColumn = int(*lastColumn);
    m_head.countsValid = rows && *rows >= 0 && columnFits && *lastColumn >= 0;
    return m_head;
}

SaveFileRowsRead SaveFileReader::readRows(SaveFileRowSink &sink, qint64 maxRows,
                                          const std::function<bool(qint64 bytesRead)> &progress)
{
    SaveFileRowsRead result;
    // D only bounds the loop: the file's end stops it first when D lies.
    const qint64 wanted = std::max<qint64>(m_head.declaredRows, 0);
    const qint64 limit = std::min(wanted, std::max<qint64>(maxRows, 0));
    QByteArrayView field;
    bool ascii = true;
    qint64 reported = m_bytesRead;
    std::vector<QLatin1StringView> batch;
    while (result.rows < limit) {
        batch.clear();
        plainFields(batch, qsizetype(std::min<qint64>(limit - result.rows, MaxBatchRows)));
        if (!batch.empty()) {
            // No block was read meanwhile: nothing new for the progress.
            const qsizetype taken = sink.addRows(batch.data(), qsizetype(batch.size()));
            result.rows += taken;
            if (taken < qsizetype(batch.size())) {
                result.limitReached = true;
                break;
            }
            continue;
        }
        const Field got = nextField(&field, &ascii);
        if (got != Field::Ended)
            break;
        const bool taken = ascii ? sink.addRow(QLatin1StringView(field.data(), field.size()))
                                 : sink.addRow(QStringView(FromCp932(field)));
        if (!taken) {
            result.limitReached = true;
            break;
        }
        ++result.rows;
        if (progress && m_bytesRead != reported) {
            reported = m_bytesRead;
            if (!progress(m_bytesRead)) {
                result.cancelled = true;
                break;
            }
        }
    }
    if (m_failed) {
        result.readFailed = true;
        result.error = m_device.errorString();
    } else if (!result.cancelled && result.rows == limit && limit < wanted && !atEnd()) {
        result.limitReached = true;
    }
    return result;
}

SaveFileContent ReadSaveFile(const QString &filePath, qint64 maxRows)
{
    QFile file(filePath);
    if (!OpenRegularFile(file))
        return {};
    return ReadContent(file, SaveFileBlockBytes, maxRows);
}

SaveFileContent ParseSaveFile(const QByteArray &bytes, qsizetype blockBytes, qint64 maxRows)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    // No block larger than the bytes: a fuzzer calls this for every input.
    return ReadContent(buffer, std::min(blockBytes, bytes.size() + 1), maxRows);
}
