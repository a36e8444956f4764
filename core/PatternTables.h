#pragma once

#include "core/GameTable.h"
#include "storage/WholeNumber.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

// Reads one value of one pattern file with ReadIniValue's semantics
// ("ERR" when absent).
using PatternValueReader = std::function<QString(const QString &section, const QString &key)>;

// What CheckPatternFile builds for both games. Entry 0 of each table is
// empty; entry j is pattern j. Every table has the same length, P + 1.
struct PatternTables
{
    std::array<int, GameCount> PatternCount{0, 0};
    std::array<QStringList, GameCount> PatternDigits;
    std::array<QStringList, GameCount> PatternName;
    std::array<QStringList, GameCount> PatternComment;
    std::array<QString, GameCount> BoardMessage;
};

// Largest "PAT"/"MSG" count a file may give; above it the file is damaged.
constexpr int MaxPatternFileCount = 10000;

// The name that marks a broken pattern entry; selecting it leaves the board alone.
QString BrokenPatternName();

// The welcome text of a game whose pattern file is missing.
QString NoFileMessage(const QString &gameName);

// The board message of a game whose pattern file is damaged.
QString DamagedFileMessage(const QString &gameName);

// Builds the tables. filePresent[g] tells whether game g's file exists;
// readers[g] reads its values. The game names come from the game table.
// A present file whose "PAT" or "MSG" count is not a whole number in
// 0..MaxPatternFileCount is unusable: its game gets no patterns and the
// damaged-file message, and the count never sizes a table.
PatternTables LoadPatternTables(const GameTableType &games,
                                const std::array<bool, GameCount> &filePresent,
                                const std::array<PatternValueReader, GameCount> &readers);

// One file's counts and entries, read as LoadPatternTables reads them.
struct PatternFileSummary
{
    // "PAT" and "MSG" are both present and whole numbers in 0..MaxPatternFileCount;
    // the rest is filled only then.
    bool CountsReadable = false;
    int PatternCount = 0;
    int MessageCount = 0;
    // Counted patterns without digits or name, plus counted message lines
    // that are absent.
    int MissingEntries = 0;
};

PatternFileSummary SummarizePatternFile(const PatternValueReader &read);

// The same from the files named in the game table (each parsed once).
PatternTables LoadPatternTablesFromFiles(const GameTableType &games);

// The setting that character i (1-based) of a digit string asks for:
// the digit's value (0..9) when it is a decimal digit, 3 when it is any other
// character or past the end. The slider refuses 0 and 6..9.
int PatternDigitSetting(const QString &digits, int i);
