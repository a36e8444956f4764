#pragma once

#include "rules/GameRules.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <array>

// One published draw as the draw history keeps it. The game index is the
// program's own (0 LOTO6, 1 Mini LOTO, 2 LOTO7); the game table says how many main
// numbers, bonus numbers and prize tiers each game has and their range.
struct DrawRecord
{
    static constexpr int MaxMainNumbers = MaxPickCount;
    static constexpr int MaxBonusNumbers = MaxBonusCount;
    static constexpr int MaxTiers = ::MaxTiers;
    static constexpr qint64 Unknown = -1;
    using Amounts = std::array<qint64, MaxTiers>;

    static constexpr Amounts UnknownAmounts()
    {
        Amounts amounts{};
        for (qint64 &amount : amounts)
            amount = Unknown;
        return amounts;
    }

    int Game = 0;
    int DrawNumber = 0;
    QDate Date;
    // The main numbers in ascending order in the first MainCount slots.
    std::array<int, MaxMainNumbers> Numbers{};
    int MainCount = 0;
    // The first bonus number; a game with more keeps the rest in MoreBonuses.
    int Bonus = 0;
    std::array<int, MaxBonusNumbers - 1> MoreBonuses{};
    // Per tier (index 0 the first prize): winners and yen per winner, or
    // Unknown where the source does not say.
    Amounts Winners = UnknownAmounts();
    Amounts PrizeYen = UnknownAmounts();
    qint64 CarryOverYen = Unknown;
    // Where the row came from: the imported file's name, or "manual".
    QString Source;
    QDateTime StoredAt;

    // Same draw, same numbers: what decides "already stored" against a conflict.
    bool sameNumbers(const DrawRecord &other) const
    {
        return Game == other.Game && DrawNumber == other.DrawNumber && MainCount == other.MainCount
               && Numbers == other.Numbers && Bonus == other.Bonus
               && MoreBonuses == other.MoreBonuses;
    }
};
