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

QString PatternSection() { return QStringLiteral("PATTERN"); }
QString MessageSection() { return QStringLiteral("MSG"); }
QString PatKey() { return QStringLiteral("PAT"); }
QString MsgKey() { return QStringLiteral("MSG"); }

// Lines 1..lines of the file's message, each ended by CR LF.
QString ReadBoardMessage(const PatternValueReader &read, int lines)
{
    QString message;
    for (int j = 1; j <= lines; ++j) {
        message += read(MessageSection(), MsgKey() + QString::number(j));
        message += LineBreak();
    }
    return message;
}

// Patterns 1..count of game g's file into tables, whose entries already
// exist; a pattern without digits or name is marked broken.
void ReadPatterns(const PatternValueReader &read, int g, int count, PatternTables &tables)
{
    const QString nameSection = QStringLiteral("PATTERNNAME");
    const QString commentSection = QStringLiteral("PATTERNCOMMENT");
    tables.PatternCount[g] = count;
    for (int j = 1; j <= count; ++j) {
        const QString key = PatKey() + QString::number(j);
        const QString digits = read(PatternSection(), key);
        const QString name = read(nameSection, key);
        const QString comment = read(commentSection, key);
        const bool whole = digits != AbsentMarker() && name != AbsentMarker();
        tables.PatternDigits[g][j] = whole ? digits : BrokenPatternName();
        tables.PatternName[g][j] = whole ? name : BrokenPatternName();
        tables.PatternComment[g][j] = whole ? comment : BrokenPatternName();
    }
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

PatternTables LoadPatternTables(const GameTableType &games,
                                const std::array<bool, GameCount> &filePresent,
                                const std::array<PatternValueReader, GameCount> &readers)
{
    // Every count is checked before anything is sized by it, so a damaged
    // file can neither allocate a huge table nor run a huge loop.
    std::array<FileCount, GameCount> patterns;
    std::array<FileCount, GameCount> messages;
    std::array<bool, GameCount> damaged{false, false};
    int tableCount = 0;
    for (int g = 0; g < GameCount; ++g) {
        patterns[g] = ReadCount(readers[g], PatternSection(), PatKey());
        if (filePresent[g]) {
            messages[g] = ReadCount(readers[g], MessageSection(), MsgKey());
            damaged[g] = patterns[g].State == CountState::Damaged
                         || messages[g].State == CountState::Damaged;
        }
        if (!damaged[g] && patterns[g].State == CountState::Valid)
            tableCount = std::max(tableCount, patterns[g].Value);
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
        if (damaged[g]) {
            tables.BoardMessage[g] = DamagedFileMessage(games[g].GameName);
            continue;
        }
        const PatternValueReader &read = readers[g];
        if (messages[g].State == CountState::Valid)
            tables.BoardMessage[g] = ReadBoardMessage(read, messages[g].Value);
        if (patterns[g].State == CountState::Valid)
            ReadPatterns(read, g, patterns[g].Value, tables);
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
        const IniDocument document =
            present[g] ? IniDocument::fromFile(games[g].PatternFilePath) : IniDocument(QByteArray());
        readers[g] = [document](const QString &section, const QString &key) {
            return document.value(section, key);
        };
    }
    return LoadPatternTables(games, present, readers);
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
