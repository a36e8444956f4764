#pragma once

#include "core/DrawFrequency.h"
#include "core/GameTable.h"

#include <QString>

// How far a number's count lies from what chance alone gives, in standard
// deviations (0 when there is no spread).
double NumberSigmas(const FrequencyStats &stats, int n);
// The number out longest (the smallest on a tie); gapDraws gets the draws it
// has been out, all of them when it never came.
int LongestGap(const FrequencyStats &stats, int *gapDraws);

// Below this many draws the text gives no chance for the spread of the
// counts: the chi-square approximation needs more.
constexpr int MinDrawsForSpreadTest = 10;

// The text under the frequency chart: the range, the spread against chance,
// the most and least drawn numbers, the longest gap and the plain chance of
// every number. fromDraw and toDraw in either order.
QString FrequencyReportText(const FrequencyStats &stats, const GameInfo &info, int fromDraw,
                            int toDraw, bool withBonus);
