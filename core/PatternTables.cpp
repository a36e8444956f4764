#include "core/PatternTables.h"

#include "storage/IniDocument.h"
#include "storage/Module1.h"

#include <algorithm>

namespace {

const QString &LineBreak()
{
    static const QString crlf = QStringLiteral("\r\n");
    return crlf;
}

enum class CountState { Absent, Valid, Damaged };

struct FileCount
{
    CountState State = CountState::Absent;
    int Value = 0;
};

FileCount ReadCount(const PatternValueReader &reader, const QString &section, const QString &key)
{
    FileCount count;
    if (!reader)
        return count;
    const QString text = reader(section, key);
    if (text == AbsentMarker())
        return count;
    const std::optional<qint32> value = ParseWholeNumber(text);
    if (!value || *value < 0 || *value > MaxPatternFileCount) {
        count.State = CountState::Damaged;
        return count;
    }
    count.State = CountState::Valid;
    count.Value = *value;
    return count;
}

QStringList EmptyTable(int entries)
{
    QStringList table;
    table.reserve(entries);
    for (int j = 0; j < entries; ++j)
        table.append(QString());
    return table;
}

} // namespace

QString BrokenPatternName()
{
    return QStringLiteral("データがおかしいですね");
}

QString NoFileMessage(const QString &gameName)
{
    return QStringLiteral("Zanboへようこそ！ ") + LineBreak() + LineBreak()
           + QStringLiteral("まずは「パターンダウンロードボタン」を押してquindleウェブサイトから"
                            "最新のパターンファイルをダウンロードしてください。")
           + LineBreak() + LineBreak() + QStringLiteral("(現在") + gameName
           + QStringLiteral("用のパターンファイルがありません)");
}

QString DamagedFileMessage(const QString &gameName)
{
    return QStringLiteral("パターンファイルが壊れているようです。") + LineBreak() + LineBreak()
           + QStringLiteral("お手数ですが「パターンダウンロードボタン」を押して、"
                            "もう一度ダウンロードしてください。")
           + LineBreak() + LineBreak() + QStringLiteral("(現在の") + gameName
           + QStringLiteral("用のパターンファイルは読み込めません)");
}

namespace {

// What one file's counts allow, checked before anything is sized by them,
// so a damaged file can neither allocate a huge table nor run a huge loop.
struct FileCounts
{
    FileCount Patterns;
    FileCount Messages;
    bool Damaged = false;
};

FileCounts ReadFileCounts(bool present, const PatternValueReader &read)
{
    FileCounts counts;
    counts.Patterns = ReadCount(read, QStringLiteral("PATTERN"), QStringLiteral("PAT"));
    if (present) {
        counts.Messages = ReadCount(read, QStringLiteral("MSG"), QStringLiteral("MSG"));
        counts.Damaged = counts.Patterns.State == CountState::Damaged
                         || counts.Messages.State == CountState::Damaged;
    }
    return counts;
}

QString MessageLine(const PatternValueReader &read, int j)
{
    return read(QStringLiteral("MSG"), QStringLiteral("MSG") + QString::number(j));
}

QString ReadMessage(const PatternValueReader &read, int lines)
{
    QString message;
    for (int j = 1; j <= lines; ++j) {
        message += MessageLine(read, j);
        message += LineBreak();
    }
    return message;
}

struct PatternEntry
{
    QString Digits;
    QString Name;
    QString Comment;
    // An entry without digits or name stays listed, but inert.
    bool usable() const { return Digits != AbsentMarker() && Name != AbsentMarker(); }
};

PatternEntry ReadPatternEntry(const PatternValueReader &read, int j)
{
    const QString key = QStringLiteral("PAT") + QString::number(j);
    return {read(QStringLiteral("PATTERN"), key), read(QStringLiteral("PATTERNNAME"), key),
            read(QStringLiteral("PATTERNCOMMENT"), key)};
}

void ReadPatterns(const PatternValueReader &read, int count, int g, PatternTables &tables)
{
    tables.PatternCount[g] = count;
    for (int j = 1; j <= count; ++j) {
        const PatternEntry entry = ReadPatternEntry(read, j);
        const bool usable = entry.usable();
        tables.PatternDigits[g][j] = usable ? entry.Digits : BrokenPatternName();
        tables.PatternName[g][j] = usable ? entry.Name : BrokenPatternName();
        tables.PatternComment[g][j] = usable ? entry.Comment : BrokenPatternName();
    }
}

} // namespace

PatternTables LoadPatternTables(const GameTableType &games,
                                const std::array<bool, GameCount> &filePresent,
                                const std::array<PatternValueReader, GameCount> &readers)
{
    std::array<FileCounts, GameCount> counts;
    int tableCount = 0;
    for (int g = 0; g < GameCount; ++g) {
        counts[g] = ReadFileCounts(filePresent[g], readers[g]);
        if (!counts[g].Damaged && counts[g].Patterns.State == CountState::Valid)
            tableCount = std::max(tableCount, counts[g].Patterns.Value);
    }

    PatternTables tables;
    for (int g = 0; g < GameCount; ++g) {
        tables.PatternDigits[g] = EmptyTable(tableCount + 1);
        tables.PatternName[g] = EmptyTable(tableCount + 1);
        tables.PatternComment[g] = EmptyTable(tableCount + 1);
        tables.BoardMessage[g] = NoFileMessage(games[g].GameName);
    }

    for (int g = 0; g < GameCount; ++g) {
        if (!filePresent[g])
            continue;
        if (counts[g].Damaged) {
            tables.BoardMessage[g] = DamagedFileMessage(games[g].GameName);
            continue;
        }
        if (counts[g].Messages.State == CountState::Valid)
            tables.BoardMessage[g] = ReadMessage(readers[g], counts[g].Messages.Value);
        if (counts[g].Patterns.State == CountState::Valid)
            ReadPatterns(readers[g], counts[g].Patterns.Value, g, tables);
    }
    return tables;
}

PatternTables LoadPatternTablesFromFiles(const GameTableType &games)
{
    std::array<bool, GameCount> present{};
    std::array<PatternValueReader, GameCount> readers;
    for (int g = 0; g < GameCount; ++g) {
        present[g] = FileIsPresent(games[g].PatternFilePath);
        // Parsed once: a thousand patterns are three thousand look-ups.
        const IniDocument document = present[g] ? IniDocument::fromFile(games[g].PatternFilePath)
                                                : IniDocument(QByteArray());
        readers[g] = [document](const QString &section, const QString &key) {
            return document.value(section, key);
        };
    }
    return LoadPatternTables(games, present, readers);
}

PatternFileSummary SummarizePatternFile(const PatternValueReader &read)
{
    PatternFileSummary summary;
    const FileCounts counts = ReadFileCounts(true, read);
    summary.CountsReadable = counts.Patterns.State == CountState::Valid
                             && counts.Messages.State == CountState::Valid;
    if (!summary.CountsReadable)
        return summary;
    summary.PatternCount = counts.Patterns.Value;
    summary.MessageCount = counts.Messages.Value;
    for (int j = 1; j <= summary.PatternCount; ++j) {
        if (!ReadPatternEntry(read, j).usable())
            ++summary.MissingEntries;
    }
    for (int j = 1; j <= summary.MessageCount; ++j) {
        if (MessageLine(read, j) == AbsentMarker())
            ++summary.MissingEntries;
    }
    return summary;
}

int PatternDigitSetting(const QString &digits, int i)
{
    if (i < 1 || i > digits.size())
        return 3;
    const char16_t c = digits.at(i - 1).unicode();
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    return 3;
}
