// The profile layer on any bytes. The first line of the input names a
// section, a key and a value ("section|key|value", code page 932); the rest
// is the file. Properties:
//  - the indexed document and the one-key look-up read every key alike;
//  - a written key reads back, when the layer can represent it at all;
//  - every other key keeps its value;
//  - writing the same value again changes no byte.

#include "FuzzCheck.h"

#include "storage/IniDocument.h"
#include "storage/Module1.h"

#include <QList>
#include <QPair>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

// Opening the code page is slow; one decoder serves every call.
QString Decode(const QByteArray &bytes)
{
    static QStringDecoder decoder("windows-31j", QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

bool RoundTrips(const QString &text, QByteArray *encoded)
{
    static QStringEncoder encoder("windows-31j", QStringConverter::Flag::Stateless);
    encoder.resetState();
    *encoded = encoder.encode(text);
    return !encoder.hasError() && Decode(*encoded) == text;
}

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool HasControl(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == QChar::ReplacementCharacter)
            return true;
    }
    return false;
}

bool HasBlankEnds(const QString &text)
{
    return !text.isEmpty() && (IsBlank(text.front()) || IsBlank(text.back()));
}

// Names and values that a profile file can hold and give back unchanged.
bool Representable(const QString &section, const QString &key, const QString &value)
{
    QByteArray encoded;
    if (section.isEmpty() || key.isEmpty() || HasBlankEnds(section) || HasBlankEnds(key)
        || HasBlankEnds(value) || HasControl(section) || HasControl(key) || HasControl(value))
        return false;
    if (section.contains(u'[') || section.contains(u']') || key.contains(u'[') || key.contains(u']')
        || key.contains(u'=') || key.startsWith(u';'))
        return false;
    // A value in matching quotes is read without them.
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front())
        return false;
    if (!RoundTrips(section, &encoded) || !RoundTrips(key, &encoded))
        return false;
    return RoundTrips(value, &encoded) && encoded.size() <= 1023;
}

// The layer drops blanks, and only blanks, around names and values.
QString TrimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text.at(begin)))
        ++begin;
    while (end > begin && IsBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QString Fold(const QString &name)
{
    QString folded = name;
    for (QChar &c : folded) {
        if (c.unicode() >= u'A' && c.unicode() <= u'Z')
            c = QChar(char16_t(c.unicode() + 32));
    }
    return folded;
}

// Section and key names that the file seems to use, found by a plain look at
// its lines: a name the layer sees otherwise is only asked for in vain.
QList<QPair<QString, QString>> NamesIn(const QByteArray &bytes)
{
    QList<QPair<QString, QString>> names;
    QString section;
    qsizetype start = 0;
    while (start < bytes.size() && names.size() < 200) {
        qsizetype end = start;
        while (end < bytes.size() && bytes.at(end) != '\r' && bytes.at(end) != '\n')
            ++end;
        const QString line = TrimBlanks(Decode(bytes.mid(start, end - start)));
        start = end + 1;
        if (line.startsWith(u'[') && line.contains(u']')) {
            section = TrimBlanks(line.mid(1, line.indexOf(u']') - 1));
        } else if (line.contains(u'=')) {
            names.append({section, TrimBlanks(line.left(line.indexOf(u'=')))});
        }
    }
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = FuzzBytes(data, size);
    const qsizetype newline = input.indexOf('\n');
    const QByteArray command = newline < 0 ? input : input.left(newline);
    const QByteArray file = newline < 0 ? QByteArray() : input.mid(newline + 1);
    const QStringList parts = Decode(command).split(u'|');
    const QString section = parts.value(0);
    const QString key = parts.value(1);
    const QString value = parts.value(2);

    const IniDocument before(file);
    QList<QPair<QString, QString>> names = NamesIn(file);
    for (const auto &[s, k] : std::as_const(names)) {
        FUZZ_CHECK2(before.value(s, k) == IniDocument::lookup(file, s, k), s + u'/' + k);
    }

    const QByteArray written = IniDocument::withValue(file, section, key, value);
    if (!Representable(section, key, value))
        return 0;

    const IniDocument after(written);
    FUZZ_CHECK2(after.value(section, key) == value, after.value(section, key));
    FUZZ_CHECK(IniDocument::lookup(written, section, key) == value);
    for (const auto &[s, k] : std::as_const(names)) {
        if (Fold(s) == Fold(section) && Fold(k) == Fold(key))
            continue;
        FUZZ_CHECK2(after.value(s, k) == before.value(s, k), s + u'/' + k);
    }
    FUZZ_CHECK(IniDocument::withValue(written, section, key, value) == written);
    return 0;
}
