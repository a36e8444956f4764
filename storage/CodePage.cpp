#include "storage/CodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

constexpr char kCodePage[] = "windows-31j";

bool IsTrailByte(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 0x40 && u <= 0x7E) || (u >= 0x80 && u <= 0xFC);
}

// Opening the converter is slow: one a thread, kept.
QStringDecoder &Decoder()
{
    thread_local QStringDecoder decoder(kCodePage, QStringConverter::Flag::Stateless);
    return decoder;
}

QStringEncoder &Encoder()
{
    thread_local QStringEncoder encoder(kCodePage, QStringConverter::Flag::Stateless);
    return encoder;
}

} // namespace

QString FromCp932(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    while (i < size) {
        const qsizetype ascii = i;
        while (i < size && static_cast<unsigned char>(bytes[i]) < 0x80)
            ++i;
        if (i > ascii)
            text.append(QLatin1StringView(bytes.data() + ascii, i - ascii));
        if (i == size)
            break;
        // A run of characters beyond ASCII; a trail byte may itself lie in
        // the ASCII range, so the run steps a character at a time.
        const qsizetype start = i;
        while (i < size && static_cast<unsigned char>(bytes[i]) >= 0x80) {
            const bool pair = IsCp932LeadByte(bytes[i]) && i + 1 < size
                              && IsTrailByte(bytes[i + 1]);
            i += pair ? 2 : 1;
        }
        QStringDecoder &decoder = Decoder();
        decoder.resetState();
        text.append(decoder.decode(bytes.sliced(start, i - start)));
    }
    return text;
}

void AppendCp932(QByteArray &out, QStringView text, bool *lossless)
{
    bool clean = true;
    const qsizetype size = text.size();
    out.reserve(out.size() + size);
    qsizetype i = 0;
    while (i < size) {
        const qsizetype ascii = i;
        while (i < size && text[i].unicode() < 0x80)
            ++i;
        if (i > ascii) {
            const qsizetype at = out.size();
            out.resize(at + (i - ascii));
            char *to = out.data() + at;
            for (qsizetype k = ascii; k < i; ++k)
                *to++ = char(text[k].unicode());
        }
        if (i == size)
            break;
        const qsizetype start = i;
        while (i < size && text[i].unicode() >= 0x80)
            ++i;
        QStringEncoder &encoder = Encoder();
        encoder.resetState();
        out.append(encoder.encode(text.sliced(start, i - start)));
        clean = clean && !encoder.hasError();
    }
    if (lossless)
        *lossless = clean;
}

QByteArray ToCp932(QStringView text, bool *lossless)
{
    QByteArray out;
    AppendCp932(out, text, lossless);
    return out;
}
