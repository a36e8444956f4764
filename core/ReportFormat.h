#pragma once

#include <QString>
#include <QtGlobal>

// How the analysis writes its figures.

// 6096454 as "6,096,454".
QString Grouped(qint64 value);
// A fraction as a percentage: four decimals, or five significant digits
// for the tiny chances of the top prizes ("2.7165%", "0.000016403%").
// Only 0 and 1 themselves read as 0 % and 100 %; what rounding would take
// there reads "99.9999%超" or "0.000000000001%未満".
QString PercentText(double fraction);
// A share between 0 and 1 as a percentage with the given decimals, bounded
// as PercentText is ("0.1%未満", "99.9%超").
QString ShareText(double fraction, int decimals);
// A count over all outcomes with its percentage:
// "165,613 / 6,096,454 (2.7165%)".
QString OutcomeText(quint64 winning, quint64 outcomes);
// An expected value with three significant digits ("91.7", "0.00000197").
QString Approx(double value);
// A return or rate in percent with one decimal ("41.9%"); a return above
// nothing that rounds to nothing reads "0.1%未満".
QString RateText(double fraction);
// text followed by blanks up to a width in a fixed-pitch font, where
// full-width characters take two cells.
QString PadCells(const QString &text, int cells);
// A prize tier by number: "1等", … ; 0 is "なし".
QString TierName(int tier);
