#pragma once

#include "core/PopularityFit.h"
#include "core/PopularityGame.h"

#include <QStringList>

#include <vector>

// The texts the popularity tab shows, written here so that they are tested
// without a window. None says or hints that a row is likelier to win.

// What the fit found for one game, or why there is nothing to show.
QStringList PopularityReportLines(const PopularityFit &fit, const PopularityGame &game);

// The saved rows of one game under its model.
struct PopularityRowSummary
{
    qint64 Rows = 0;    // combinations of the game
    qint64 Skipped = 0; // rows of the game that are no combination
    double LowestIndex = 0;
    double HighestIndex = 0;
    double HighestYen = 0;
    qint64 AbovePrice = 0; // rows whose expected yen reaches the price
};

QStringList PopularityRowLines(const PopularityRowSummary &summary, const PopularityGame &game);

// The statements that close the report: what popularity does and does not
// change, and that the expected yen stays below the price.
QStringList PopularityNoticeLines();

// Numbers 1..MaxNumber, most popular first; ties by the smaller number.
std::vector<int> NumbersByPopularity(const PopularityModel &model);
