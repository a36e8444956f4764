#include "support/DiskFull.h"
#include "support/PatternFiles.h"

#include "core/GameTable.h"
#include "core/PatternFileCheck.h"
#include "core/PatternTables.h"

#include <QtTest>

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <functional>
#include <optional>

namespace {

QStringList MiniLotoTwoPatterns()
{
    return {QStringLiteral("[PATTERN]"), QStringLiteral("PAT=2"),         QStringLiteral("PAT1=1"),
            QStringLiteral("PAT2=2"),    QStringLiteral("[PATTERNNAME]"), QStringLiteral("PAT1=M1"),
            QStringLiteral("PAT2=M2")};
}

// A sample pattern file with edit applied to its text.
QByteArray EditedSample(const char *name, const std::function<void(QString &)> &edit = {})
{
    QString text = QStringDecoder("windows-31j")
                       .decode(FileBytes(QStringLiteral(ZANBO_SOURCE_DIR "/data/")
                                         + QLatin1String(name)));
    if (edit)
        edit(text);
    return Cp932(text);
}

std::function<void(QString &)> Drop(const char *line)
{
    return [line](QString &text) {
        const QString whole = QString::fromUtf8(line) + QStringLiteral("\r\n");
        QVERIFY2(text.contains(whole), line);
        text.remove(whole);
    };
}

std::function<void(QString &)> Replace(const char *from, const char *to)
{
    return [from, to](QString &text) {
        QVERIFY2(text.contains(QString::fromUtf8(from)), from);
        text.replace(QString::fromUtf8(from), QString::fromUtf8(to));
    };
}

} // namespace

Q_DECLARE_METATYPE(PatternFileVerdict)

class PatternTablesTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void noFiles_welcomeTextNamesTheGame();
    void patternFile_loadsEntriesAndMessage_data();
    void patternFile_loadsEntriesAndMessage();
    void tables_sizedByTheLargerFile();
    void damagedCount_marksFileUnusable_data();
    void damagedCount_marksFileUnusable();
    void digitSetting_perCharacter_data();
    void digitSetting_perCharacter();
    void download_replacesFileOnlyWhenWhole_data();
    void download_replacesFileOnlyWhenWhole();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    GameTableType m_games;
};

void PatternTablesTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_games = MakeGameTable(m_dir->path() + QLatin1Char('/'));
}

void PatternTablesTest::noFiles_welcomeTextNamesTheGame()
{
    const PatternTables tables = LoadPatternTablesFromFiles(m_games);
    const QString head = QStringLiteral(
        "Zanboへようこそ！ \r\n\r\n"
        "まずは「パターンダウンロードボタン」を押してquindleウェブサイトから"
        "最新のパターンファイルをダウンロードしてください。\r\n\r\n");
    QCOMPARE(tables.BoardMessage[GameLoto6],
             head + QStringLiteral("(現在ロト６用のパターンファイルがありません)"));
    QCOMPARE(tables.BoardMessage[GameMiniLoto],
             head + QStringLiteral("(現在ミニロト用のパターンファイルがありません)"));
    for (int g = 0; g < GameCount; ++g) {
        QCOMPARE(tables.PatternCount[g], 0);
        QCOMPARE(tables.PatternDigits[g], QStringList{QString()});
        QCOMPARE(tables.PatternName[g], QStringList{QString()});
        QCOMPARE(tables.PatternComment[g], QStringList{QString()});
    }
}

void PatternTablesTest::patternFile_loadsEntriesAndMessage_data()
{
    QTest::addColumn<QStringList>("file");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("digits");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("comments");
    QTest::addColumn<QString>("message"); // "welcome" for the no-file text

    const QString broken = BrokenPatternName();
    const QString d1 = QString(10, u'1') + QString(33, u'3');
    const QString d2 = QString(36, u'3') + QString(7, u'5');
    const QString d3 = QStringLiteral("15x");

    QTest::newRow("three patterns, second name missing")
        << QStringList{QStringLiteral("[TITLE]"),
                       QStringLiteral("COPYRIGHT=ZANBO"),
                       QStringLiteral("[MSG]"),
                       QStringLiteral("MSG=2"),
                       QStringLiteral("MSG1=今週の一言"),
                       QStringLiteral("MSG2=second line"),
                       QStringLiteral("[PATTERN]"),
                       QStringLiteral("PAT=3"),
                       QStringLiteral("PAT1=") + d1,
                       QStringLiteral("PAT2=") + d2,
                       QStringLiteral("PAT3=") + d3,
                       QStringLiteral("[PATTERNNAME]"),
                       QStringLiteral("PAT1=小さい数字"),
                       QStringLiteral("PAT3=third"),
                       QStringLiteral("[PATTERNCOMMENT]"),
                       QStringLiteral("PAT1=1から10を重視"),
                       QStringLiteral("PAT2=c2"),
                       QStringLiteral("PAT3=c3")}
        << 3 << QStringList{QString(), d1, broken, d3}
        << QStringList{QString(), QStringLiteral("小さい数字"), broken, QStringLiteral("third")}
        << QStringList{QString(), QStringLiteral("1から10を重視"), broken, QStringLiteral("c3")}
        << QStringLiteral("今週の一言\r\nsecond line\r\n");

    QTest::newRow("missing digits and missing comment")
        << QStringList{QStringLiteral("[MSG]"),         QStringLiteral("MSG=1"),
                       QStringLiteral("MSG1=m"),        QStringLiteral("[PATTERN]"),
                       QStringLiteral("PAT=2"),         QStringLiteral("PAT2=") + d2,
                       QStringLiteral("[PATTERNNAME]"), QStringLiteral("PAT1=one"),
                       QStringLiteral("PAT2=two")}
        << 2 << QStringList{QString(), broken, d2}
        << QStringList{QString(), broken, QStringLiteral("two")}
        << QStringList{QString(), broken, QStringLiteral("ERR")} << QStringLiteral("m\r\n");

    QTest::newRow("MSG 0 gives an empty message")
        << QStringList{QStringLiteral("[MSG]"), QStringLiteral("MSG=0"),
                       QStringLiteral("MSG1=never shown")}
        << 0 << QStringList{QString()} << QStringList{QString()} << QStringList{QString()}
        << QString();

    QTest::newRow("missing message line reads as ERR")
        << QStringList{QStringLiteral("[MSG]"), QStringLiteral("MSG=3"), QStringLiteral("MSG1=a"),
                       QStringLiteral("MSG3=c")}
        << 0 << QStringList{QString()} << QStringList{QString()} << QStringList{QString()}
        << QStringLiteral("a\r\nERR\r\nc\r\n");

    QTest::newRow("no MSG keeps the welcome text, patterns still load")
        << QStringList{QStringLiteral("[PATTERN]"),  QStringLiteral("PAT=1"),
                       QStringLiteral("PAT1=") + d1, QStringLiteral("[PATTERNNAME]"),
                       QStringLiteral("PAT1=n1"),    QStringLiteral("[PATTERNCOMMENT]"),
                       QStringLiteral("PAT1=k1")}
        << 1 << QStringList{QString(), d1} << QStringList{QString(), QStringLiteral("n1")}
        << QStringList{QString(), QStringLiteral("k1")} << QStringLiteral("welcome");

    QTest::newRow("no PAT leaves no patterns")
        << QStringList{QStringLiteral("[MSG]"), QStringLiteral("MSG=1"), QStringLiteral("MSG1=x"),
                       QStringLiteral("[PATTERNNAME]"), QStringLiteral("PAT1=orphan")}
        << 0 << QStringList{QString()} << QStringList{QString()} << QStringList{QString()}
        << QStringLiteral("x\r\n");

    QTest::newRow("signed count with blanks")
        << QStringList{QStringLiteral("[PATTERN]"), QStringLiteral("PAT = +1 "),
                       QStringLiteral("PAT1=") + d3, QStringLiteral("[PATTERNNAME]"),
                       QStringLiteral("PAT1=n")}
        << 1 << QStringList{QString(), d3} << QStringList{QString(), QStringLiteral("n")}
        << QStringList{QString(), QStringLiteral("ERR")} << QStringLiteral("welcome");
}

void PatternTablesTest::patternFile_loadsEntriesAndMessage()
{
    QFETCH(QStringList, file);
    QFETCH(QString, message);
    WritePatternFile(m_games[GameLoto6].PatternFilePath, file);

    const PatternTables tables = LoadPatternTablesFromFiles(m_games);
    QTEST(tables.PatternCount[GameLoto6], "count");
    QTEST(tables.PatternDigits[GameLoto6], "digits");
    QTEST(tables.PatternName[GameLoto6], "names");
    QTEST(tables.PatternComment[GameLoto6], "comments");
    if (message == QLatin1String("welcome"))
        message = NoFileMessage(m_games[GameLoto6].GameName);
    QCOMPARE(tables.BoardMessage[GameLoto6], message);

    // The other game is untouched by this file.
    QCOMPARE(tables.PatternCount[GameMiniLoto], 0);
    QCOMPARE(tables.BoardMessage[GameMiniLoto], NoFileMessage(m_games[GameMiniLoto].GameName));
}

void PatternTablesTest::tables_sizedByTheLargerFile()
{
    QStringList loto6{QStringLiteral("[PATTERN]"), QStringLiteral("PAT=5")};
    QStringList loto6Names{QStringLiteral("[PATTERNNAME]")};
    for (int j = 1; j <= 5; ++j) {
        loto6 << QStringLiteral("PAT%1=%2").arg(j).arg(QString(43, QChar(u'0' + j)));
        loto6Names << QStringLiteral("PAT%1=L%1").arg(j);
    }
    WritePatternFile(m_games[GameLoto6].PatternFilePath, loto6 + loto6Names);
    WritePatternFile(m_games[GameMiniLoto].PatternFilePath, MiniLotoTwoPatterns());

    const PatternTables tables = LoadPatternTablesFromFiles(m_games);
    QCOMPARE(tables.PatternCount[GameLoto6], 5);
    QCOMPARE(tables.PatternCount[GameMiniLoto], 2);
    for (int g = 0; g < GameCount; ++g) {
        QCOMPARE(tables.PatternDigits[g].size(), 6);
        QCOMPARE(tables.PatternName[g].size(), 6);
        QCOMPARE(tables.PatternComment[g].size(), 6);
    }
    QCOMPARE(tables.PatternName[GameLoto6][5], QStringLiteral("L5"));
    QCOMPARE(tables.PatternName[GameMiniLoto],
             (QStringList{QString(), QStringLiteral("M1"), QStringLiteral("M2"), QString(),
                          QString(), QString()}));
}

void PatternTablesTest::damagedCount_marksFileUnusable_data()
{
    QTest::addColumn<QString>("patCount");
    QTest::addColumn<QString>("msgCount");

    QTest::newRow("PAT letters") << QStringLiteral("abc") << QStringLiteral("1");
    QTest::newRow("PAT negative") << QStringLiteral("-1") << QStringLiteral("1");
    QTest::newRow("PAT beyond 32 bits") << QStringLiteral("99999999999") << QStringLiteral("1");
    QTest::newRow("PAT above the cap") << QStringLiteral("10001") << QStringLiteral("1");
    QTest::newRow("PAT fraction") << QStringLiteral("1.5") << QStringLiteral("1");
    QTest::newRow("PAT trailing junk") << QStringLiteral("12abc") << QStringLiteral("1");
    QTest::newRow("PAT empty") << QString() << QStringLiteral("1");
    QTest::newRow("PAT sign only") << QStringLiteral("-") << QStringLiteral("1");
    QTest::newRow("PAT full-width digits") << QStringLiteral("１２") << QStringLiteral("1");
    QTest::newRow("MSG huge") << QStringLiteral("1") << QStringLiteral("2000000000");
    QTest::newRow("MSG negative") << QStringLiteral("1") << QStringLiteral("-3");
}

void PatternTablesTest::damagedCount_marksFileUnusable()
{
    QFETCH(QString, patCount);
    QFETCH(QString, msgCount);
    WritePatternFile(m_games[GameLoto6].PatternFilePath,
                     {QStringLiteral("[MSG]"), QStringLiteral("MSG=") + msgCount,
                      QStringLiteral("MSG1=hello"), QStringLiteral("[PATTERN]"),
                      QStringLiteral("PAT=") + patCount, QStringLiteral("PAT1=1"),
                      QStringLiteral("[PATTERNNAME]"), QStringLiteral("PAT1=n")});
    WritePatternFile(m_games[GameMiniLoto].PatternFilePath, MiniLotoTwoPatterns());

    const PatternTables tables = LoadPatternTablesFromFiles(m_games);
    QCOMPARE(tables.PatternCount[GameLoto6], 0);
    QCOMPARE(tables.BoardMessage[GameLoto6], DamagedFileMessage(m_games[GameLoto6].GameName));
    QVERIFY(tables.BoardMessage[GameLoto6].contains(QStringLiteral("ロト６")));
    QVERIFY(tables.BoardMessage[GameLoto6] != NoFileMessage(m_games[GameLoto6].GameName));
    // The sound file still loads, and the damaged count sized nothing.
    QCOMPARE(tables.PatternCount[GameMiniLoto], 2);
    for (int g = 0; g < GameCount; ++g)
        QCOMPARE(tables.PatternName[g].size(), 3);
    QCOMPARE(tables.PatternName[GameLoto6], (QStringList{QString(), QString(), QString()}));
}

void PatternTablesTest::digitSetting_perCharacter_data()
{
    QTest::addColumn<QString>("digits");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("setting");

    QTest::newRow("15x first") << QStringLiteral("15x") << 1 << 1;
    QTest::newRow("15x second") << QStringLiteral("15x") << 2 << 5;
    QTest::newRow("15x letter") << QStringLiteral("15x") << 3 << 3;
    QTest::newRow("15x past the end") << QStringLiteral("15x") << 4 << 3;
    QTest::newRow("15x far past the end") << QStringLiteral("15x") << 43 << 3;
    QTest::newRow("nine kept for the slider to refuse") << QStringLiteral("33339") << 5 << 9;
    QTest::newRow("zero kept for the slider to refuse") << QStringLiteral("0") << 1 << 0;
    QTest::newRow("full-width digit") << QStringLiteral("１") << 1 << 3;
    QTest::newRow("blank") << QStringLiteral(" 1") << 1 << 3;
    QTest::newRow("empty string") << QString() << 1 << 3;
    QTest::newRow("position zero") << QStringLiteral("1") << 0 << 3;
}

void PatternTablesTest::digitSetting_perCharacter()
{
    QFETCH(QString, digits);
    QFETCH(int, position);
    QTEST(PatternDigitSetting(digits, position), "setting");
}

void PatternTablesTest::download_replacesFileOnlyWhenWhole_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("game");
    QTest::addColumn<PatternFileVerdict>("verdict");
    QTest::addColumn<bool>("diskFull");

    const auto whole = PatternFileVerdict::Whole;
    const auto incomplete = PatternFileVerdict::Incomplete;
    const QByteArray l6 = EditedSample("zanbol6.txt");
    const QByteArray ml = EditedSample("zanboml.txt");
    QTest::newRow("LOTO6 sample") << l6 << GameLoto6 << whole << false;
    QTest::newRow("Mini LOTO sample") << ml << GameMiniLoto << whole << false;
    QTest::newRow("LOTO6 draw read for Mini LOTO") << l6 << GameMiniLoto << whole << false;
    QTest::newRow("missing comment is no gap") << EditedSample(
        "zanbol6.txt", Drop("PAT3=奇数をやや出やすく、偶数をやや出にくくしています。"))
                                               << GameLoto6 << whole << false;
    QTest::newRow("no patterns, no message, a draw")
        << Cp932Lines(QStringLiteral("[TITLE]\nCOPYRIGHT=ZANBO\n[MSG]\nMSG=0\n[PATTERN]\nPAT=0\n")
                      + DrawSection(9, QStringLiteral("d"), {1, 2, 3, 4, 5, 6}))
        << GameMiniLoto << whole << false;
    QTest::newRow("whole, but the disk is full") << l6 << GameLoto6 << whole << true;

    QTest::newRow("empty") << QByteArray() << GameLoto6 << PatternFileVerdict::NoTitleMark << false;
    QTest::newRow("title mark in lower case")
        << EditedSample("zanbol6.txt", Replace("COPYRIGHT=ZANBO", "COPYRIGHT=zanbo")) << GameLoto6
        << PatternFileVerdict::NoTitleMark << false;
    QTest::newRow("title mark only") << Cp932Lines(QStringLiteral("[TITLE]\nCOPYRIGHT=ZANBO\n"))
                                     << GameLoto6 << incomplete << false;
    QTest::newRow("cut in the middle of the patterns")
        << l6.left(l6.indexOf("PAT3=")) << GameLoto6 << incomplete << false;
    QTest::newRow("cut in the middle of the names")
        << l6.left(l6.indexOf("PAT4=", l6.indexOf("[PATTERNNAME]"))) << GameLoto6 << incomplete
        << false;
    QTest::newRow("cut before the draw")
        << l6.left(l6.indexOf("[TOSENNUM]")) << GameLoto6 << PatternFileVerdict::NoDraw << false;
    QTest::newRow("cut in the draw")
        << l6.left(l6.indexOf("N0=")) << GameLoto6 << PatternFileVerdict::NoDraw << false;
    QTest::newRow("pattern digits missing")
        << EditedSample("zanbol6.txt", Drop("PAT4=4444444444222222222222222222224444444444444"))
        << GameLoto6 << incomplete << false;
    QTest::newRow("pattern name missing") << EditedSample("zanbol6.txt", Drop("PAT3=奇数を多めに"))
                                          << GameLoto6 << incomplete << false;
    QTest::newRow("message line missing")
        << EditedSample("zanbol6.txt", Drop("MSG3=実際の抽せん結果を予想するものではありません。"))
        << GameLoto6 << incomplete << false;
    QTest::newRow("MSG count missing")
        << EditedSample("zanbol6.txt", Drop("MSG=3")) << GameLoto6 << incomplete << false;
    QTest::newRow("PAT count no number") << EditedSample("zanbol6.txt", Replace("PAT=4", "PAT=4x"))
                                         << GameLoto6 << incomplete << false;
    QTest::newRow("no sixth number for LOTO6")
        << ml << GameLoto6 << PatternFileVerdict::NoDraw << false;
    QTest::newRow("draw number no number")
        << EditedSample("zanbol6.txt", Replace("NUMID=", "NUMID=x")) << GameLoto6
        << PatternFileVerdict::NoDraw << false;
}

void PatternTablesTest::download_replacesFileOnlyWhenWhole()
{
    QFETCH(QByteArray, body);
    QFETCH(int, game);
    QFETCH(PatternFileVerdict, verdict);
    QFETCH(bool, diskFull);
    const GameInfo &info = m_games[size_t(game)];
    const QByteArray previous = EditedSample(game == GameLoto6 ? "zanbol6.txt" : "zanboml.txt",
                                             Replace("MSG1=2026/12/05 版", "MSG1=2026/11/28 版"));
    WriteFileBytes(info.PatternFilePath, previous);

    QCOMPARE(CheckPatternFileBytes(body, info.PickCount), verdict);
    PatternStoreResult result;
    {
        std::optional<DiskFull> full;
        if (diskFull) {
            full.emplace(previous.size() / 4);
            QVERIFY(full->isActive());
        }
        result = StoreWholePatternFile(info, body);
    }
    const PatternStoreResult expected = verdict != PatternFileVerdict::Whole
                                            ? PatternStoreResult::NotAPatternFile
                                        : diskFull ? PatternStoreResult::WriteFailed
                                                   : PatternStoreResult::Stored;
    QCOMPARE(result, expected);
    // A refused or failed body leaves the good file byte for byte, and no
    // temporary file beside it.
    QCOMPARE(FileBytes(info.PatternFilePath),
             result == PatternStoreResult::Stored ? body : previous);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

QTEST_GUILESS_MAIN(PatternTablesTest)
#include "tst_PatternTables.moc"
