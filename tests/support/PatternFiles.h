#pragma once

// Pattern files as the publisher writes them: code page 932, CR LF.

#include "support/TestFiles.h"

#include <QList>
#include <QStringList>

inline void WritePatternFile(const QString &path, const QStringList &lines)
{
    WriteFileBytes(path, Cp932Lines(lines.join(QLatin1Char('\n')) + QLatin1Char('\n')));
}

// Section "TOSENNUM"; a null text leaves its key out, so damaged sections are
// written the same way.
inline QStringList DrawSection(const QString &numId, const QString &date,
                               const QStringList &numbers, const QString &bonus)
{
    QStringList lines{QStringLiteral("[TOSENNUM]")};
    if (!numId.isNull())
        lines << QStringLiteral("NUMID=") + numId;
    if (!date.isNull())
        lines << QStringLiteral("DATE=") + date;
    for (int i = 0; i < numbers.size(); ++i) {
        if (!numbers[i].isNull())
            lines << QStringLiteral("N%1=%2").arg(i + 1).arg(numbers[i]);
    }
    if (!bonus.isNull())
        lines << QStringLiteral("N0=") + bonus;
    return lines;
}

// The same from whole numbers: the main numbers, then the bonus last.
inline QString DrawSection(int drawNumber, const QString &date, const QList<int> &numbers)
{
    QStringList mains;
    for (int i = 0; i + 1 < numbers.size(); ++i)
        mains << QString::number(numbers.at(i));
    return DrawSection(QString::number(drawNumber), date, mains,
                       QString::number(numbers.constLast()))
               .join(QLatin1Char('\n'))
           + QLatin1Char('\n');
}
