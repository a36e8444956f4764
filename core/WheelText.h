#pragma once

#include "core/WheelBuild.h"
#include "core/WheelGame.h"
#include "core/WheelSpread.h"

#include <QString>

// What a wheel promises, in plain Japanese: v chosen numbers, at least m of
// the drawn main numbers among them, at least t hits in some row, and the
// tier that many hits win.
QString WheelSentence(const WheelGame &game, int chosen, int t, int m);

// The proof line: cases no row guarantees out of all cases.
QString WheelProofLine(quint64 uncovered, quint64 cases);

// What the dialog and the command line show of a built wheel: the rows, the
// cost, the proof, the sizes to compare with and the prize spread beside as
// many random rows.
QString WheelReport(const WheelGame &game, const WheelRequest &request, const WheelResult &result,
                    const WheelSpread &spread);

// A wheel raises neither the chance nor the expected winnings.
QString WheelHonesty();
