#include "storage/SaveFile.h"

#include "storage/FileIo.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <limits>

namespace {

constexpr char kCodePage[] = "windows-31j";
const char kSignature[] = "Zanbo";

bool isAscii(const QByteArray &bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

QByteArray countLine(qint64 count)
{
    return ' ' + QByteArray::number(count) + " \r\n";
}

// The file is read field by field: a field ends at a comma, CR LF, a lone CR
// or a lone LF, and the delimiter is consumed with it. None of these bytes
// can be the trail byte of a double-byte character, so the same split works
// on raw ASCII bytes and on decoded text. Double quotes are ordinary
// characters: the writer never produces them.
template<typename Ch>
class FieldReader
{
public:
    FieldReader(const Ch *data, qsizetype size)
        : m_data(data)
        , m_size(size)
    {}

    bool atEnd() const { return m_pos >= m_size; }

    void skip(bool lineEndsToo)
    {
        while (m_pos < m_size) {
            const char16_t c = unit(m_pos);
            if (c == u' ' || (lineEndsToo && (c == u'\t' || c == u'\r' || c == u'\n')))
                ++m_pos;
            else
                break;
        }
    }

    // Returns the field's [begin, end) and moves past its delimiter.
    std::pair<qsizetype, qsizetype> next()
    {
        const qsizetype begin = m_pos;
        while (m_pos < m_size) {
            const char16_t c = unit(m_pos);
            if (c == u',' || c == u'\r' || c == u'\n')
                break;
            ++m_pos;
        }
        const qsizetype end = m_pos;
        if (m_pos < m_size) {
            if (unit(m_pos) == u'\r' && m_pos + 1 < m_size && unit(m_pos + 1) == u'\n')
                m_pos += 2;
            else
                ++m_pos;
        }
        return {begin, end};
    }

    QString text(std::pair<qsizetype, qsizetype> field) const
    {
        if constexpr (std::is_same_v<Ch, char>)
            return QString::fromLatin1(m_data + field.first, field.second - field.first);
        else
            return QString(m_data + field.first, field.second - field.first);
    }

    bool equals(std::pair<qsizetype, qsizetype> field, const char *ascii) const
    {
        qsizetype i = field.first;
        for (; *ascii; ++ascii, ++i) {
            if (i >= field.second || unit(i) != char16_t(*ascii))
                return false;
        }
        return i == field.second;
    }

    // A decimal integer with an optional sign, blanks around it allowed.
    std::optional<qint64> number(std::pair<qsizetype, qsizetype> field) const
    {
        qsizetype i = field.first;
        qsizetype end = field.second;
        while (i < end && (unit(i) == u' ' || unit(i) == u'\t'))
            ++i;
        while (end > i && (unit(end - 1) == u' ' || unit(end - 1) == u'\t'))
            --end;
        bool negative = false;
        if (i < end && (unit(i) == u'-' || unit(i) == u'+')) {
            negative = unit(i) == u'-';
            ++i;
        }
        if (i == end)
            return std::nullopt;
        qint64 value = 0;
        for (; i < end; ++i) {
            const char16_t c = unit(i);
            if (c < u'0' || c > u'9')
                return std::nullopt;
            if (value > (std::numeric_limits<qint64>::max() - (c - u'0')) / 10)
                return std::nullopt;
            value = value * 10 + (c - u'0');
        }
        return negative ? -value : value;
    }

private:
    char16_t unit(qsizetype i) const
    {
        if constexpr (std::is_same_v<Ch, char>)
            return char16_t(static_cast<unsigned char>(m_data[i]));
        else
            return m_data[i].unicode();
    }

    const Ch *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
};

template<typename Ch>
SaveFileContent parseFields(const Ch *data, qsizetype size)
{
    SaveFileContent content;
    content.opened = true;
    FieldReader<Ch> reader(data, size);

    reader.skip(false);
    content.signatureOk = reader.equals(reader.next(), kSignature);

    reader.skip(true);
    const std::optional<qint64> rows = reader.number(reader.next());
    reader.skip(true);
    const std::optional<qint64> lastColumn = reader.number(reader.next());

    const bool columnFits = lastColumn && *lastColumn >= std::numeric_limits<int>::min()
                            && *lastColumn <= std::numeric_limits<int>::max();
    content.declaredRows = rows.value_or(0);
    if (columnFits)
        content.declaredLastColumn = int(*lastColumn);
    content.countsValid = rows && *rows >= 0 && columnFits && *lastColumn >= 0;

    // Each field is one row text, so a comma splits a line into two rows.
    // D only bounds the loop: the file's end stops it first when D lies.
    for (qint64 r = 0; r < content.declaredRows && !reader.atEnd(); ++r)
        content.rows.append(reader.text(reader.next()));
    return content;
}

} // namespace

QByteArray SaveFileBytes(qint64 rowCount, int lastColumn, const QString &clipText)
{
    QByteArray bytes;
    bytes.reserve(40 + clipText.size());
    bytes.append(kSignature);
    bytes.append("\r\n");
    bytes.append(countLine(rowCount));
    bytes.append(countLine(lastColumn));
    // Rows from the generator are ASCII: copy them straight in, one pass.
    const qsizetype header = bytes.size();
    bytes.resize(header + clipText.size());
    char *out = bytes.data() + header;
    const QChar *in = clipText.constData();
    qsizetype i = 0;
    for (; i < clipText.size() && in[i].unicode() < 0x80; ++i)
        out[i] = char(in[i].unicode());
    if (i < clipText.size()) {
        bytes.truncate(header);
        QStringEncoder encoder(kCodePage);
        bytes.append(encoder.encode(clipText));
    }
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

SaveFileContent ParseSaveFile(const QByteArray &bytes)
{
    if (isAscii(bytes))
        return parseFields(bytes.constData(), bytes.size());
    QStringDecoder decoder(kCodePage, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return parseFields(text.constData(), text.size());
}

SaveFileContent ReadSaveFile(const QString &filePath)
{
    QFile file(filePath);
    if (!OpenRegularFile(file))
        return {};
    // Sized from the file, so the cap is never allocated for a small file.
    const qint64 wanted = file.isSequential() ? MaxSaveFileBytes
                                              : qMin(file.size(), MaxSaveFileBytes);
    const QByteArray bytes = wanted > 0 ? file.read(wanted) : QByteArray();
    SaveFileContent content = ParseSaveFile(bytes);
    content.truncated = !file.atEnd();
    return content;
}
