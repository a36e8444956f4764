#pragma once

// What the benchmark programs share: rows drawn as the program draws them, files in the program's encoding, and the
// clocks and memory figures they print.

#include "core/GameTable.h"
#include "core/Generator.h"
#include "core/RandomSource.h"
#include "core/Statistics.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QStringEncoder>

#include <cstdint>
#include <cstdio>
#include <ctime>

// Rows as the result grids hold them, drawn by the program's own generator
// with every threshold 1, so the numbers of a row are distinct and each is
// equally likely. Columns: 0 the row number, 1..k the numbers in ascending
// order (the rest of 1..6 empty), 7 sum, 8 deviation, 9 odd count.
class BenchRows
{
public:
    static constexpr int ColumnCount = 10;

    explicit BenchRows(std::uint32_t seed)
        : m_random(seed)
        , m_games(MakeGameTable(QString()))
    {
        m_thresholds.fill(1);
    }

    // Draws the next row of game (GameLoto6 or GameMiniLoto).
    void draw(int game = GameLoto6)
    {
        const GameInfo &info = m_games[size_t(game)];
        m_pick = info.PickCount;
        DrawCombination(m_thresholds, info.MaxNumber, m_pick, m_random, m_numbers);
        SortCombination(m_numbers, m_pick);
        m_sum = CombinationSum(m_numbers, m_pick);
        m_deviation = CombinationDeviation(m_numbers, m_pick);
        m_odd = CombinationOddCount(m_numbers, m_pick);
    }

    // The drawn row's number i, from 1.
    int number(int i) const { return m_numbers[size_t(i)]; }

    // Cell col of the drawn row when it stands at grid row `row`.
    QString cell(int row, int col) const
    {
        if (col == 0)
            return QString::number(row);
        if (col <= 6)
            return col <= m_pick ? QString::number(m_numbers[size_t(col)]) : QString();
        if (col == 7)
            return QString::number(m_sum);
        return QString::number(col == 8 ? m_deviation : m_odd);
    }

    // Cells first..last of the drawn row, tab-separated as in clip text.
    void appendCells(QString &text, int row, int first, int last) const
    {
        for (int col = first; col <= last; ++col) {
            if (col != first)
                text += QLatin1Char('\t');
            text += cell(row, col);
        }
    }

private:
    RandomSource m_random;
    GameTableType m_games;
    Thresholds m_thresholds{};
    Combination m_numbers{};
    int m_pick = 0;
    int m_sum = 0;
    int m_deviation = 0;
    int m_odd = 0;
};

// The clip text of count LOTO6 rows, all ten columns, numbered from 1.
inline QString LotoClipText(int count, std::uint32_t seed)
{
    BenchRows rows(seed);
    QString text;
    text.reserve(qsizetype(count) * 30);
    for (int r = 1; r <= count; ++r) {
        if (r > 1)
            text += QLatin1Char('\r');
        rows.draw();
        rows.appendCells(text, r, 0, BenchRows::ColumnCount - 1);
    }
    return text;
}

// Writes text as the program's files are: code page 932, every "\n" a CR LF.
inline bool WritePatternFile(const QString &path, QString text)
{
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    QStringEncoder encoder("windows-31j");
    const QByteArray bytes = encoder.encode(text);
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

// Lets the window run what an action posted (its repaint included).
inline void Settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// Processor time of this process: on a shared machine it shows what a step
// itself costs, apart from the wait for a core.
inline double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Wall time and processor time since start().
class Stopwatch
{
public:
    void start()
    {
        m_wall.start();
        m_cpu = CpuSeconds();
    }
    double wall() const { return m_wall.nsecsElapsed() / 1e9; }
    double cpu() const { return CpuSeconds() - m_cpu; }

private:
    QElapsedTimer m_wall;
    double m_cpu = 0;
};

// A size field of /proc/self/status ("VmRSS", "VmHWM") in bytes; -1 if it
// cannot be read.
inline qint64 StatusBytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

inline double StatusMegabytes(const char *field)
{
    const qint64 bytes = StatusBytes(field);
    return bytes < 0 ? -1 : bytes / (1024.0 * 1024.0);
}

// Starts the peak resident size (VmHWM) afresh, so the next figure is one
// step's.
inline bool ResetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}
