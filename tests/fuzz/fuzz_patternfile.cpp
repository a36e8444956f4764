// The pattern tables, the winning numbers and the download's check on any
// bytes. The input is the LOTO6 file, then a form feed and the Mini LOTO
// file; without a form feed both games get the same bytes. Properties:
//  - table sizes and counts stay in range;
//  - loading from memory equals loading from disk;
//  - a file the download would accept loads with every counted entry and
//    its draw.

#include "FuzzCheck.h"

#include "core/GameTable.h"
#include "core/PatternFileCheck.h"
#include "core/PatternTables.h"
#include "core/WinningNumbers.h"
#include "storage/IniDocument.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

namespace {

bool operator==(const WinningNumbers &a, const WinningNumbers &b)
{
    return a.DrawDate == b.DrawDate && a.DrawNumber == b.DrawNumber && a.Numbers == b.Numbers;
}

bool SameTables(const PatternTables &a, const PatternTables &b)
{
    return a.PatternCount == b.PatternCount && a.PatternDigits == b.PatternDigits
           && a.PatternName == b.PatternName && a.PatternComment == b.PatternComment
           && a.BoardMessage == b.BoardMessage;
}

const GameTableType &Games()
{
    // One folder for the whole run, in memory where the system offers it;
    // each input overwrites both files.
    static const std::unique_ptr<QTemporaryDir> dir = [] {
        const QString shm = QStringLiteral("/dev/shm");
        return QFileInfo(shm).isWritable()
                   ? std::make_unique<QTemporaryDir>(shm + QStringLiteral("/zanbo-fuzz-XXXXXX"))
                   : std::make_unique<QTemporaryDir>();
    }();
    static const GameTableType games = MakeGameTable(dir->path() + u'/');
    return games;
}

// A plain write: the atomic one waits for the disk, which fuzzing cannot afford.
bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(bytes) == bytes.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = FuzzBytes(data, size);
    const qsizetype split = input.indexOf('\f');
    const std::array<QByteArray, GameCount> files{split < 0 ? input : input.left(split),
                                                  split < 0 ? input : input.mid(split + 1)};
    const GameTableType &games = Games();

    std::array<IniDocument, GameCount> documents;
    std::array<PatternValueReader, GameCount> readers;
    for (int g = 0; g < GameCount; ++g) {
        FUZZ_CHECK(WriteFile(games[g].PatternFilePath, files[g]));
        documents[g] = IniDocument(files[g]);
        readers[g] = [document = documents[g]](const QString &section, const QString &key) {
            return document.value(section, key);
        };
    }

    const PatternTables fromMemory = LoadPatternTables(games, {true, true}, readers);
    const PatternTables fromDisk = LoadPatternTablesFromFiles(games);
    FUZZ_CHECK(SameTables(fromMemory, fromDisk));

    const qsizetype entries = fromMemory.PatternDigits[0].size();
    FUZZ_CHECK(entries >= 1 && entries <= MaxPatternFileCount + 1);
    for (int g = 0; g < GameCount; ++g) {
        FUZZ_CHECK(fromMemory.PatternDigits[g].size() == entries);
        FUZZ_CHECK(fromMemory.PatternName[g].size() == entries);
        FUZZ_CHECK(fromMemory.PatternComment[g].size() == entries);
        FUZZ_CHECK(fromMemory.PatternCount[g] >= 0 && fromMemory.PatternCount[g] < entries);
        for (int j = 1; j < std::min<qsizetype>(entries, 50); ++j) {
            // Digits give a setting 0..9 for every number, past the end too.
            for (int i = 0; i <= HighestNumber + 1; ++i) {
                const int setting = PatternDigitSetting(fromMemory.PatternDigits[g][j], i);
                FUZZ_CHECK(setting >= 0 && setting <= 9);
            }
        }

        const int pickCount = games[g].PickCount;
        const std::optional<WinningNumbers> drawInMemory = ReadWinningNumbers(documents[g],
                                                                              pickCount);
        const std::optional<WinningNumbers> drawOnDisk = ReadWinningNumbers(games, g);
        FUZZ_CHECK(drawInMemory.has_value() == drawOnDisk.has_value());
        if (drawInMemory) {
            FUZZ_CHECK(*drawInMemory == *drawOnDisk);
            for (int slot = pickCount; slot < BonusSlot; ++slot)
                FUZZ_CHECK(drawInMemory->Numbers[size_t(slot)] == 0);
        }

        if (CheckPatternFileBytes(files[g], pickCount) == PatternFileVerdict::Whole) {
            // Nothing of an accepted file is a stand-in for something missing.
            FUZZ_CHECK(drawInMemory.has_value());
            FUZZ_CHECK(fromMemory.BoardMessage[g] != NoFileMessage(games[g].GameName));
            FUZZ_CHECK(fromMemory.BoardMessage[g] != DamagedFileMessage(games[g].GameName));
            for (int j = 1; j <= fromMemory.PatternCount[g]; ++j) {
                const QString key = QStringLiteral("PAT") + QString::number(j);
                FUZZ_CHECK(fromMemory.PatternDigits[g][j]
                           == documents[g].value(QStringLiteral("PATTERN"), key));
                FUZZ_CHECK(fromMemory.PatternName[g][j]
                           == documents[g].value(QStringLiteral("PATTERNNAME"), key));
            }
        }
    }
    return 0;
}
