#include "storage/IniDocument.h"

#include "storage/CodePage.h"
#include "storage/FileIo.h"
#include "storage/Module1.h"

#include <QHash>

#include <optional>
#include <vector>

namespace {

// A value is read as the profile reader fills a 1024-byte buffer: at most
// 1023 bytes before the terminating NUL.
constexpr qsizetype kMaxValueBytes = 1023;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

struct Range
{
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype size() const { return end - begin; }
};

enum class LineKind { Other, Section, Key };

struct Line
{
    qsizetype start = 0;      // first byte of the line
    qsizetype contentEnd = 0; // first byte of its line end (or end of data)
    qsizetype next = 0;       // first byte of the next line
    LineKind kind = LineKind::Other;
    Range name;  // section or key name, blanks dropped
    Range value; // value of a key line, blanks dropped (quotes kept)
};

Range trimmed(const QByteArray &bytes, Range r)
{
    // Blanks are single bytes below any trail byte, so trimming bytes at
    // either end never splits a character.
    while (r.begin < r.end && isBlank(bytes.at(r.begin)))
        ++r.begin;
    while (r.end > r.begin && isBlank(bytes.at(r.end - 1)))
        --r.end;
    return r;
}

// Splits off the line that starts at pos and classifies it. A line ends at
// CR LF, a lone LF or a lone CR; neither byte can be part of a double-byte
// character.
Line readLine(const QByteArray &bytes, qsizetype pos)
{
    const qsizetype size = bytes.size();
    const char *data = bytes.constData();
    Line line;
    line.start = pos;
    qsizetype i = pos;
    while (i < size && data[i] != '\r' && data[i] != '\n')
        ++i;
    line.contentEnd = i;
    if (i < size) {
        if (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n')
            i += 2;
        else
            ++i;
    }
    line.next = i;

    qsizetype first = line.start;
    while (first < line.contentEnd && isBlank(data[first]))
        ++first;
    if (first == line.contentEnd || data[first] == ';')
        return line;

    if (data[first] == '[') {
        // The name runs to the first ']' that is a character of its own.
        for (qsizetype j = first + 1; j < line.contentEnd; ++j) {
            // A trail byte can be an ASCII letter, '[', ']' or a backslash, so
            // structure is only looked for at character boundaries.
            if (IsCp932LeadByte(data[j])) {
                ++j;
                continue;
            }
            if (data[j] == ']') {
                line.kind = LineKind::Section;
                line.name = trimmed(bytes, {first + 1, j});
                return line;
            }
        }
        // No closing bracket: not a header; read on as any other line.
    }

    // '=' is below the trail-byte range, so a plain search is safe.
    for (qsizetype j = first; j < line.contentEnd; ++j) {
        if (data[j] == '=') {
            line.kind = LineKind::Key;
            line.name = trimmed(bytes, {first, j});
            line.value = trimmed(bytes, {j + 1, line.contentEnd});
            return line;
        }
    }
    return line;
}

// The lines of a profile file, one after another.
class LineReader
{
public:
    explicit LineReader(const QByteArray &bytes)
        : m_bytes(bytes)
    {}

    bool next(Line &line)
    {
        if (m_pos >= m_bytes.size())
            return false;
        line = readLine(m_bytes, m_pos);
        m_pos = line.next;
        return true;
    }

private:
    const QByteArray &m_bytes;
    qsizetype m_pos = 0;
};

// Names compare without regard to ASCII letter case only, on decoded text.
QString foldAscii(QString text)
{
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if (u >= u'A' && u <= u'Z')
            c = QChar(char16_t(u + (u'a' - u'A')));
    }
    return text;
}

// Only blanks surround a name, as in the file: an ideographic space is part
// of it.
QString trimBlanks(const QString &text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && (text.at(b) == u' ' || text.at(b) == u'\t'))
        ++b;
    while (e > b && (text.at(e - 1) == u' ' || text.at(e - 1) == u'\t'))
        --e;
    return text.mid(b, e - b);
}

QString foldAsciiTrimmed(const QString &text)
{
    return foldAscii(trimBlanks(text));
}

class Decoder
{
public:
    static QString decode(const QByteArray &bytes, Range r)
    {
        return FromCp932(QByteArrayView(bytes.constData() + r.begin, r.size()));
    }

    QString name(const QByteArray &bytes, Range r) { return foldAscii(decode(bytes, r)); }

    // The value as the profile reader hands it out: one pair of matching
    // quotes dropped, then cut to the buffer without halving a character.
    QString value(const QByteArray &bytes, Range r)
    {
        if (r.size() >= 2) {
            const char q = bytes.at(r.begin);
            if ((q == '"' || q == '\'') && bytes.at(r.end - 1) == q) {
                ++r.begin;
                --r.end;
            }
        }
        if (r.size() > kMaxValueBytes) {
            qsizetype i = r.begin;
            const qsizetype limit = r.begin + kMaxValueBytes;
            while (i < limit) {
                const qsizetype step = IsCp932LeadByte(bytes.at(i)) ? 2 : 1;
                if (i + step > limit)
                    break;
                i += step;
            }
            r.end = i;
        }
        return decode(bytes, r);
    }
};

} // namespace

struct IniDocument::Impl
{
    struct Section
    {
        QHash<QString, Range> keys; // folded key name -> value of its first line
    };
    QHash<QString, qsizetype> sectionIndex; // folded name -> first section of it
    std::vector<Section> sections;
};

IniDocument::IniDocument(const QByteArray &bytes)
    : m_bytes(bytes)
{
    auto impl = std::make_shared<Impl>();
    Decoder decoder;
    Impl::Section *current = nullptr; // null before the first header
    bool currentIsFirst = false;      // later sections of a used name are unreachable
    LineReader lines(m_bytes);
    Line line;
    while (lines.next(line)) {
        if (line.kind == LineKind::Section) {
            const QString name = decoder.name(m_bytes, line.name);
            currentIsFirst = !impl->sectionIndex.contains(name);
            if (currentIsFirst) {
                impl->sectionIndex.insert(name, qsizetype(impl->sections.size()));
                impl->sections.emplace_back();
                current = &impl->sections.back();
            }
        } else if (line.kind == LineKind::Key && current && currentIsFirst) {
            const QString key = decoder.name(m_bytes, line.name);
            if (!current->keys.contains(key))
                current->keys.insert(key, line.value);
        }
    }
    m_index = std::move(impl);
}

IniDocument IniDocument::fromFile(const QString &filePath)
{
    QByteArray bytes;
    if (!ReadWholeFile(filePath, bytes))
        return IniDocument(QByteArray());
    return IniDocument(bytes);
}

QString IniDocument::value(const QString &section, const QString &key) const
{
    if (!m_index)
        return AbsentMarker();
    const auto s = m_index->sectionIndex.constFind(foldAsciiTrimmed(section));
    if (s == m_index->sectionIndex.cend())
        return AbsentMarker();
    const Impl::Section &sec = m_index->sections[size_t(*s)];
    const auto k = sec.keys.constFind(foldAsciiTrimmed(key));
    if (k == sec.keys.cend())
        return AbsentMarker();
    Decoder decoder;
    return decoder.value(m_bytes, *k);
}

namespace {

// Where a key stands in the first section of its name; later sections of the
// same name are never searched, as the profile reader does.
struct KeySearch
{
    bool sectionFound = false;
    Line insertAfter;        // last key line of the section, else its header
    std::optional<Line> key; // the key's line, when present
};

KeySearch FindKey(const QByteArray &bytes, const QString &section, const QString &key)
{
    const QString wantedSection = foldAsciiTrimmed(section);
    const QString wantedKey = foldAsciiTrimmed(key);
    Decoder decoder;
    KeySearch search;
    bool inSection = false;
    LineReader lines(bytes);
    Line line;
    while (lines.next(line)) {
        if (line.kind == LineKind::Section) {
            if (inSection)
                break;
            if (decoder.name(bytes, line.name) == wantedSection) {
                search.sectionFound = inSection = true;
                search.insertAfter = line;
            }
        } else if (line.kind == LineKind::Key && inSection) {
            if (decoder.name(bytes, line.name) == wantedKey) {
                search.key = line;
                break;
            }
            search.insertAfter = line;
        }
    }
    return search;
}

} // namespace

QString IniDocument::lookup(const QByteArray &bytes, const QString &section, const QString &key)
{
    const KeySearch search = FindKey(bytes, section, key);
    if (!search.key)
        return AbsentMarker();
    Decoder decoder;
    return decoder.value(bytes, search.key->value);
}

QByteArray IniDocument::withValue(const QByteArray &bytes, const QString &section,
                                  const QString &key, const QString &value)
{
    const KeySearch search = FindKey(bytes, section, key);
    const qsizetype size = bytes.size();
    QByteArray out;
    out.reserve(size + key.size() + value.size() * 2 + section.size() * 2 + 8);
    if (search.key) {
        // Same line, same spelling of the key, same line end.
        const Line &line = *search.key;
        out.append(bytes.constData(), line.start);
        out.append(bytes.constData() + line.name.begin, line.name.size());
        out.append('=');
        out.append(ToCp932(value));
        out.append(bytes.constData() + line.contentEnd, size - line.contentEnd);
        return out;
    }

    const QByteArray keyLine = ToCp932(trimBlanks(key)) + '=' + ToCp932(value) + "\r\n";
    if (search.sectionFound) {
        const Line &after = search.insertAfter;
        out.append(bytes.constData(), after.next);
        if (after.next == after.contentEnd)
            out.append("\r\n"); // that line was the last one and had no line end
        out.append(keyLine);
        out.append(bytes.constData() + after.next, size - after.next);
        return out;
    }

    out = bytes;
    if (!out.isEmpty() && !out.endsWith('\n') && !out.endsWith('\r'))
        out.append("\r\n");
    out.append('[');
    out.append(ToCp932(trimBlanks(section)));
    out.append("]\r\n");
    out.append(keyLine);
    return out;
}
