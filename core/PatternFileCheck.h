#pragma once

#include "core/GameTable.h"
#include "storage/PatternFileStore.h"

#include <QByteArray>
#include <QString>

// Whether downloaded bytes may replace a game's pattern file. Only a whole
// file is taken: one that the pattern tables and the winning-number reader
// read without a gap. A reply cut short, an error page or a file damaged on
// the way is refused, so the good copy on disk stays.
enum class PatternFileVerdict {
    Whole,
    NoTitleMark, // not a pattern file at all
    Incomplete,  // a count unreadable, or an entry it counts missing
    NoDraw,      // no readable draw of the game in "TOSENNUM"
};

PatternFileVerdict CheckPatternFileBytes(const QByteArray &bytes, int pickCount,
                                         int bonusCount = 1);

// Why bytes with that verdict were refused, for the download's details;
// empty for a whole file.
QString RefusalReason(PatternFileVerdict verdict, const QByteArray &bytes);

// Replaces the game's file with body in one atomic write when body is whole
// for that game; otherwise, or when the write fails, the file is untouched.
PatternStoreResult StoreWholePatternFile(const GameInfo &game, const QByteArray &body,
                                         QString *error = nullptr,
                                         PatternFileVerdict *verdict = nullptr);
