#pragma once

#include "core/GameTable.h"
#include "rules/DrawRecord.h"

#include <QVector>

#include <array>

// How often each number came up in a run of draws, beside what chance alone
// gives: each draw holds a number with probability PerDraw / N, so its count
// is binomial.
struct FrequencyStats
{
    int MaxNumber = 0;
    int PerDraw = 0;         // numbers counted per draw: the main ones, the bonus ones if asked
    qint64 Draws = 0;        // well-formed draws counted
    qint64 SkippedDraws = 0; // records left out as not well-formed
    std::array<qint64, BoardSlots> Counts{};
    // Draws since the last that held the number; -1 when none did.
    std::array<int, BoardSlots> DrawsSince{};

    double Probability = 0; // per draw and number
    double Expected = 0;
    double StandardDeviation = 0;

    // Counts against equal chances for all numbers: the chi-square
    // statistic with N - 1 degrees of freedom and the chance of one at least
    // this large from chance alone.
    double ChiSquare = 0;
    int Freedom = 0;
    double PValue = 1;

    // Numbers whose count lies outside expected ± 2 standard deviations, and
    // how many chance alone puts there on average.
    int OutsideBand = 0;
    double ChanceOutsideBand = 0;

    double bandLow() const { return Expected - 2 * StandardDeviation; }
    double bandHigh() const { return Expected + 2 * StandardDeviation; }
    // The chance that a number stays out of gap draws in a row.
    double chanceOfGap(int gap) const;
    // Numbers 1..MaxNumber, most drawn first; ties by the smaller number.
    QVector<int> numbersByCount() const;
};

// draws ascending by draw number; records of another game or not
// well-formed are left out.
FrequencyStats CountFrequencies(const QVector<DrawRecord> &draws, int game, const GameInfo &info,
                                bool withBonus);

// Board settings 1..5 from the counts: the most drawn fifth of the numbers at
// 1 (the "+" end), the least drawn fifth at 5, the rest between by rank.
// Numbers with equal counts share their middle rank, so ties never split.
// Slots above MaxNumber and slot 0 stay 3.
std::array<int, BoardSlots> BoardFromCounts(const FrequencyStats &stats);
