#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Code page 932 (Shift-JIS) as Windows reads and writes it: ASCII maps to
// itself both ways, and only other characters go through Qt's converter.
// The converter's table for this code page swaps three control codes (0x1A,
// 0x1C, 0x7F), so giving it ASCII would change them, and text written in
// pieces would not read back as it was written.

// A lead byte of a double-byte character.
inline bool IsCp932LeadByte(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 0x81 && u <= 0x9F) || (u >= 0xE0 && u <= 0xFC);
}

QString FromCp932(QByteArrayView bytes);

// Characters the code page has no form for are written as '?'; lossless,
// when given, tells whether that happened.
QByteArray ToCp932(QStringView text, bool *lossless = nullptr);
// The same, appended to out.
void AppendCp932(QByteArray &out, QStringView text, bool *lossless = nullptr);
