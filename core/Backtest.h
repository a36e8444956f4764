#pragma once

#include "core/GameTable.h"
#include "core/NumberSets.h"
#include "core/SavedRows.h"
#include "rules/DrawRecord.h"

#include <QDate>
#include <QVector>

#include <array>
#include <vector>

class WorkControl;

struct BacktestRow
{
    int GridRow = 0;
    int Game = 0;
    std::array<quint32, MaxTiers> Wins{};
    qint64 Yen = 0; // from the stored prizes only
    // The best tier won, 1 the first prize; 0 for none.
    int bestTier() const;
};

struct BacktestDraw
{
    int Game = 0;
    int DrawNumber = 0;
    QDate Date;
    std::array<qint64, MaxTiers> Wins{};
    qint64 Yen = 0;
    // Yen would not fit: it is then left at 0 and not summed.
    bool YenTooLarge = false;
    // Every tier's prize is stored (none above DrawRecord::MaxYen); only
    // such draws are priced.
    bool Priced = false;
    // Tiers whose prize is stored: some but not all make a draw whose
    // prizes are partly unknown, none one without prizes.
    int KnownPrizes = 0;
};

struct BacktestSummary
{
    qint64 Rows = 0;         // tickets only
    qint64 NotTickets = 0;   // rows of the game left out as not tickets
    qint64 Draws = 0;        // well-formed draws in the range
    qint64 SkippedDraws = 0; // records left out as not well-formed
    qint64 PricedDraws = 0;
    qint64 PartlyPricedDraws = 0; // some tiers' prizes stored, not all
    std::array<qint64, MaxTiers> Wins{};
    // What chance alone gives as many rows over as many draws.
    std::array<double, MaxTiers> ChanceWins{};
    // Wins whose prize is not known: at a draw without stored prizes, or of
    // a tier nobody won that time. Never guessed, never in WinningsYen.
    qint64 UnpricedWins = 0;
    // Of those, the wins at draws with no prize stored and at draws with
    // some; the rest are of tiers nobody won.
    qint64 UnrecordedWins = 0;
    qint64 PartlyPricedWins = 0;
    qint64 CostYen = 0;       // every row at every draw
    qint64 PricedCostYen = 0; // at the priced draws: what the return is over
    qint64 WinningsYen = 0;
    // The winnings are past what is counted exactly: WinningsYen is then
    // left at 0 and must not be shown as a sum.
    bool WinningsTooLarge = false;
    // Expected at the priced draws from chance alone, each tier at its
    // expected prize (see AveragePrizeYen), as the chance counts it.
    double ChanceWinningsYen = 0;
};

struct BacktestResult
{
    bool Cancelled = false;
    std::array<BacktestSummary, GameCount> Games;
    // The tickets, in grid order.
    std::vector<BacktestRow> Rows;
    // Each game's draws in the table's order, each in the order given.
    std::vector<BacktestDraw> Draws;
};

// Judges every saved row against every draw of its game by the judgement's
// rules. Each pair is one AND and a count of hits; rows go by in blocks of
// 4096, turned on their side so that one draw judges 64 rows in a few word
// operations. The blocks are shared out among threads (0: one per core);
// the control sees one step per row-draw pair. A cancelled run returns
// Cancelled and nothing else.
BacktestResult RunBacktest(const SavedRowSets &rows,
                           const std::array<QVector<DrawRecord>, GameCount> &draws,
                           WorkControl &control, int threads = 0);
