#include "support/FailDevice.h"
#include "support/TestFiles.h"

#include "storage/FileIo.h"
#include "storage/FilePathCommands.h"
#include "storage/IniDocument.h"
#include "storage/Module1.h"
#include "storage/Settings.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class ProfileFileTest : public QObject
{
    Q_OBJECT
private slots:
    void read_matchesProfileReader_data();
    void read_matchesProfileReader();
    void read_cutsLongValueAtCharacterBoundary_data();
    void read_cutsLongValueAtCharacterBoundary();
    void read_seesFileAsItIsNow();
    void read_missingFileIsAbsent();
    void document_indexesManyKeys();

    void write_editsInPlace_data();
    void write_editsInPlace();
    void write_shutdownSequenceCreatesExactFile();
    void write_failureLeavesNothing_data();
    void write_failureLeavesNothing();
    void unreadableFile_neitherReadNorReplaced_data();
    void unreadableFile_neitherReadNorReplaced();
    void readError_givesNothing();
    void settings_outOfRangeReadsAsDefault_data();
    void settings_outOfRangeReadsAsDefault();

    void addPathSeparator_data();
    void addPathSeparator();
    void getFileName_data();
    void getFileName();
    void appendMessageLineText();
};

void ProfileFileTest::read_matchesProfileReader_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QString all = QStringLiteral("ALL");
    const QString kai = QStringLiteral("KAI");
    const QString err = QStringLiteral("ERR");

    QTest::newRow("lower-case section and key")
        << QByteArray("[all]\r\nkai=12\r\n") << all << kai << QStringLiteral("12");
    QTest::newRow("asked in lower case")
        << QByteArray("[ALL]\r\nKai=5\r\n") << QStringLiteral("all") << QStringLiteral("kAI")
        << QStringLiteral("5");
    QTest::newRow("empty value is not absent")
        << QByteArray("[ALL]\r\nKAI=\r\n") << all << kai << QString();
    QTest::newRow("blank value is empty")
        << QByteArray("[ALL]\r\nKAI=  \t\r\n") << all << kai << QString();
    QTest::newRow("absent key") << QByteArray("[ALL]\r\nKAIX=1\r\n") << all << kai << err;
    QTest::newRow("absent section") << QByteArray("[AL]\r\nKAI=1\r\n") << all << kai << err;
    QTest::newRow("empty file") << QByteArray() << all << kai << err;
    QTest::newRow("stored ERR") << QByteArray("[ALL]\r\nKAI=ERR\r\n") << all << kai << err;
    QTest::newRow("stored err is a value")
        << QByteArray("[ALL]\r\nKAI=err\r\n") << all << kai << QStringLiteral("err");
    QTest::newRow("blanks dropped") << QByteArray(" [ \tALL ] \r\n \t KAI \t=  1 2 \t\r\n") << all
                                    << kai << QStringLiteral("1 2");
    QTest::newRow("double quotes")
        << QByteArray("[ALL]\r\nKAI= \" a b \" \r\n") << all << kai << QStringLiteral(" a b ");
    QTest::newRow("single quotes")
        << QByteArray("[ALL]\r\nKAI='x'\r\n") << all << kai << QStringLiteral("x");
    QTest::newRow("one pair of quotes only")
        << QByteArray("[ALL]\r\nKAI=\"\"x\"\"\r\n") << all << kai << QStringLiteral("\"x\"");
    QTest::newRow("unmatched quotes kept")
        << QByteArray("[ALL]\r\nKAI=\"x'\r\n") << all << kai << QStringLiteral("\"x'");
    QTest::newRow("lone quote kept")
        << QByteArray("[ALL]\r\nKAI=\"\r\n") << all << kai << QStringLiteral("\"");
    QTest::newRow("equals sign inside value")
        << QByteArray("[ALL]\r\nKAI=a=b\r\n") << all << kai << QStringLiteral("a=b");
    QTest::newRow("first key wins")
        << QByteArray("[ALL]\r\nKAI=1\r\nkai=2\r\n") << all << kai << QStringLiteral("1");
    QTest::newRow("only first section searched")
        << QByteArray("[ALL]\r\nX=1\r\n[OPT]\r\n[all]\r\nKAI=2\r\n") << all << kai << err;
    QTest::newRow("first section answers")
        << QByteArray("[ALL]\r\nKAI=1\r\n[ALL]\r\nKAI=2\r\n") << all << kai << QStringLiteral("1");
    QTest::newRow("comment line") << QByteArray("[ALL]\r\n;KAI=1\r\n  ; KAI=2\r\nKAI=3\r\n") << all
                                  << kai << QStringLiteral("3");
    QTest::newRow("key before any section")
        << QByteArray("KAI=1\r\n[ALL]\r\n") << all << kai << err;
    QTest::newRow("line without equals sign")
        << QByteArray("[ALL]\r\nKAI\r\n") << all << kai << err;
    QTest::newRow("text after the header")
        << QByteArray("[ALL] x]y\r\nKAI=4\r\n") << all << kai << QStringLiteral("4");
    QTest::newRow("header without bracket") << QByteArray("[ALL\r\nKAI=4\r\n") << all << kai << err;
    QTest::newRow("lone LF") << QByteArray("[X]\nA=0\n[ALL]\nA=1\nKAI=2\n") << all << kai
                             << QStringLiteral("2");
    QTest::newRow("lone CR") << QByteArray("[X]\rA=0\r[ALL]\rA=1\rKAI=2\r") << all << kai
                             << QStringLiteral("2");
    QTest::newRow("mixed line ends, no final one")
        << QByteArray("[X]\r\nKAI=0\r[ALL]\nA=1\r\nKAI=7") << all << kai << QStringLiteral("7");
    QTest::newRow("CR LF is one line end")
        << QByteArray("[ALL]\r\n\r\nKAI=5\r\n") << all << kai << QStringLiteral("5");

    QTest::newRow("game name round trip") << Cp932("[ALL]\r\nL6ML=ロト６\r\n") << all
                                          << QStringLiteral("L6ML") << QString::fromUtf8("ロト６");
    QTest::newRow("second game name") << Cp932("[ALL]\r\nL6ML=ミニロト\r\n") << all
                                      << QStringLiteral("L6ML") << QString::fromUtf8("ミニロト");
    QTest::newRow("full-width minus") << Cp932("[MSG]\r\nM=－\r\n") << QStringLiteral("MSG")
                                      << QStringLiteral("M") << QString::fromUtf8("－");
    // ゾ is 83 5D: its trail byte is ']' and must not close the header.
    QTest::newRow("trail byte is a bracket")
        << Cp932("[ゾX]\r\nK=1\r\n") << QString::fromUtf8("ゾX") << QStringLiteral("K")
        << QStringLiteral("1");
    // ア is 83 41 and ヂ is 83 61: their trail bytes are 'A' and 'a'.
    QTest::newRow("trail byte letter in section")
        << Cp932("[ア]\r\nK=1\r\n") << QString::fromUtf8("ヂ") << QStringLiteral("K") << err;
    QTest::newRow("trail byte letter in key")
        << Cp932("[S]\r\nヂ=1\r\n") << QStringLiteral("S") << QString::fromUtf8("ア") << err;
    QTest::newRow("full-width letters keep their case")
        << Cp932("[Ａ]\r\nK=1\r\n") << QString::fromUtf8("ａ") << QStringLiteral("K") << err;
    QTest::newRow("double-byte key")
        << Cp932("[パターン]\r\n名前 = 値\r\n") << QString::fromUtf8("パターン")
        << QString::fromUtf8("名前") << QString::fromUtf8("値");
}

void ProfileFileTest::read_matchesProfileReader()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("zanbo.ini"));
    WriteFileBytes(path, content);

    QCOMPARE(ReadIniValue(path, section, key), expected);
    QCOMPARE(IniDocument(content).value(section, key), expected);
    QCOMPARE(IniDocument::fromFile(path).value(section, key), expected);
}

void ProfileFileTest::read_cutsLongValueAtCharacterBoundary_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("expected");

    const QString a = QString::fromUtf8("ア");
    QTest::newRow("2000 bytes") << QByteArray(2000, 'x') << QString(1023, u'x');
    QTest::newRow("exactly 1023") << QByteArray(1023, 'x') << QString(1023, u'x');
    QTest::newRow("character straddles the cut")
        << QByteArray(1022, 'x') + Cp932("ア") + QByteArray(975, 'y') << QString(1022, u'x');
    QTest::newRow("character ends at the cut")
        << QByteArray(1021, 'x') + Cp932("アア") + QByteArray(975, 'y') << QString(1021, u'x') + a;
    QTest::newRow("all double-byte") << Cp932(QString(1000, a.at(0))) << QString(511, a.at(0));
    QTest::newRow("quotes dropped before the cut")
        << '"' + QByteArray(1500, 'x') + '"' << QString(1023, u'x');
}

void ProfileFileTest::read_cutsLongValueAtCharacterBoundary()
{
    QFETCH(QByteArray, value);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("p.txt"));
    const QByteArray content = "[S]\r\nK=" + value + "\r\nL=1\r\n";
    WriteFileBytes(path, content);

    QCOMPARE(ReadIniValue(path, QStringLiteral("S"), QStringLiteral("K")), expected);
    QCOMPARE(IniDocument(content).value(QStringLiteral("S"), QStringLiteral("K")), expected);
    QCOMPARE(ReadIniValue(path, QStringLiteral("S"), QStringLiteral("L")), QStringLiteral("1"));
}

void ProfileFileTest::read_seesFileAsItIsNow()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("zanbol6.txt"));
    WriteFileBytes(path, "[TOSENNUM]\r\nKAI=100\r\n");
    QCOMPARE(ReadIniValue(path, QStringLiteral("TOSENNUM"), QStringLiteral("KAI")),
             QStringLiteral("100"));
    WriteFileBytes(path, "[TOSENNUM]\r\nKAI=101\r\n");
    QCOMPARE(ReadIniValue(path, QStringLiteral("TOSENNUM"), QStringLiteral("KAI")),
             QStringLiteral("101"));
}

void ProfileFileTest::read_missingFileIsAbsent()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("none.ini"));
    QCOMPARE(ReadIniValue(path, QStringLiteral("ALL"), QStringLiteral("KAI")), AbsentMarker());
    QCOMPARE(IniDocument::fromFile(path).value(QStringLiteral("ALL"), QStringLiteral("KAI")),
             AbsentMarker());
    QCOMPARE(IniDocument().value(QStringLiteral("ALL"), QStringLiteral("KAI")), AbsentMarker());
    QVERIFY(!FileIsPresent(path));
    QVERIFY(!FileIsPresent(dir.path()));
    WriteFileBytes(path, QByteArray());
    QVERIFY(FileIsPresent(path));
}

void ProfileFileTest::document_indexesManyKeys()
{
    // A pattern file's size: every key of every section must be found, and
    // the later duplicate section must stay unreachable.
    QByteArray content = "[TITLE]\r\nCOUNT=1000\r\n";
    for (const char *section : {"PATTERN", "PATTERNNAME", "PATTERNCOMMENT"}) {
        content += QByteArray("[") + section + "]\r\n";
        for (int i = 1; i <= 1000; ++i)
            content += "P" + QByteArray::number(i) + '=' + section + QByteArray::number(i) + "\r\n";
    }
    content += "[pattern]\r\nP1=late\r\nP1001=late\r\n";
    const IniDocument document(content);
    for (const char *section : {"PATTERN", "PATTERNNAME", "PATTERNCOMMENT"}) {
        for (int i = 1; i <= 1000; ++i) {
            const QString expected = QLatin1String(section) + QString::number(i);
            const QString key = QStringLiteral("p") + QString::number(i);
            if (document.value(QLatin1String(section), key) != expected)
                QFAIL(qPrintable(key + QStringLiteral(" of ") + QLatin1String(section)));
        }
    }
    QCOMPARE(document.value(QStringLiteral("PATTERN"), QStringLiteral("P1001")), AbsentMarker());
    QCOMPARE(document.value(QStringLiteral("title"), QStringLiteral("count")),
             QStringLiteral("1000"));
}

void ProfileFileTest::write_editsInPlace_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    const QString all = QStringLiteral("ALL");
    const QString kai = QStringLiteral("KAI");

    QTest::newRow("new file") << false << QByteArray() << all << kai << QStringLiteral("10")
                              << QByteArray("[ALL]\r\nKAI=10\r\n");
    QTest::newRow("empty file") << true << QByteArray() << all << kai << QStringLiteral("10")
                                << QByteArray("[ALL]\r\nKAI=10\r\n");
    QTest::newRow("replace keeps every other byte")
        << true
        << QByteArray("junk before\n; note\r\n[ALL]\r\n; c=1\r\nL6ML=x\r\n  KAI = 10 \r"
                      "odd line\r\nPOSLEFT=1\n\r\n[OPT]\r\nKAI=3\r\n")
        << all << kai << QStringLiteral("25")
        << QByteArray("junk before\n; note\r\n[ALL]\r\n; c=1\r\nL6ML=x\r\nKAI=25\r"
                      "odd line\r\nPOSLEFT=1\n\r\n[OPT]\r\nKAI=3\r\n");
    QTest::newRow("replace keeps the file's spelling")
        << true << QByteArray("[all]\r\nkai=1\r\n") << all << kai << QStringLiteral("2")
        << QByteArray("[all]\r\nkai=2\r\n");
    QTest::newRow("replace with empty value")
        << true << QByteArray("[ALL]\r\nKAI=1\r\nX=2") << all << kai << QString()
        << QByteArray("[ALL]\r\nKAI=\r\nX=2");
    QTest::newRow("replace first of two keys")
        << true << QByteArray("[ALL]\r\nKAI=1\r\nKAI=2\r\n") << all << kai << QStringLiteral("3")
        << QByteArray("[ALL]\r\nKAI=3\r\nKAI=2\r\n");
    QTest::newRow("replace on the last line without line end")
        << true << QByteArray("[ALL]\nKAI=1") << all << kai << QStringLiteral("99")
        << QByteArray("[ALL]\nKAI=99");
    QTest::newRow("new key after the last key line")
        << true << QByteArray("[ALL]\r\nL6ML=x\r\n; note\r\n\r\n[OPT]\r\nNOWEB=0\r\n") << all << kai
        << QStringLiteral("10")
        << QByteArray("[ALL]\r\nL6ML=x\r\nKAI=10\r\n; note\r\n\r\n[OPT]\r\nNOWEB=0\r\n");
    QTest::newRow("new key in a section without keys")
        << true << QByteArray("[ALL]\r\n; note\r\n[OPT]\r\n") << all << kai << QStringLiteral("10")
        << QByteArray("[ALL]\r\nKAI=10\r\n; note\r\n[OPT]\r\n");
    QTest::newRow("new key after a last line without line end")
        << true << QByteArray("[ALL]\r\nL6ML=x") << all << kai << QStringLiteral("10")
        << QByteArray("[ALL]\r\nL6ML=x\r\nKAI=10\r\n");
    QTest::newRow("new key after a header without line end")
        << true << QByteArray("[ALL]") << all << kai << QStringLiteral("10")
        << QByteArray("[ALL]\r\nKAI=10\r\n");
    QTest::newRow("new key in a lone-LF file")
        << true << QByteArray("[ALL]\nA=1\n[OPT]\nB=2\n") << all << kai << QStringLiteral("10")
        << QByteArray("[ALL]\nA=1\nKAI=10\r\n[OPT]\nB=2\n");
    QTest::newRow("new key in a lone-CR file")
        << true << QByteArray("[ALL]\rA=1\r") << all << kai << QStringLiteral("10")
        << QByteArray("[ALL]\rA=1\rKAI=10\r\n");
    QTest::newRow("new key goes to the first section of the name")
        << true << QByteArray("[ALL]\r\nA=1\r\n[ALL]\r\nKAI=1\r\n") << all << kai
        << QStringLiteral("2") << QByteArray("[ALL]\r\nA=1\r\nKAI=2\r\n[ALL]\r\nKAI=1\r\n");
    QTest::newRow("new section after a file without final line end")
        << true << QByteArray("[OPT]\r\nNOWEB=0") << all << kai << QStringLiteral("10")
        << QByteArray("[OPT]\r\nNOWEB=0\r\n[ALL]\r\nKAI=10\r\n");
    QTest::newRow("new section after a final lone LF")
        << true << QByteArray("[OPT]\nNOWEB=0\n") << all << kai << QStringLiteral("10")
        << QByteArray("[OPT]\nNOWEB=0\n[ALL]\r\nKAI=10\r\n");
    QTest::newRow("key before any section is not in it")
        << true << QByteArray("KAI=1\r\n") << all << kai << QStringLiteral("2")
        << QByteArray("KAI=1\r\n[ALL]\r\nKAI=2\r\n");
    QTest::newRow("double-byte value")
        << true << QByteArray("[ALL]\r\nL6ML=x\r\n") << all << QStringLiteral("L6ML")
        << QString::fromUtf8("ミニロト") << Cp932("[ALL]\r\nL6ML=ミニロト\r\n");
    QTest::newRow("trail byte letter is another section")
        << true << Cp932("[ア]\r\nK=1\r\n") << QString::fromUtf8("ヂ") << QStringLiteral("K")
        << QStringLiteral("2") << Cp932("[ア]\r\nK=1\r\n[ヂ]\r\nK=2\r\n");
    QTest::newRow("trail byte bracket in the section name")
        << true << Cp932("[ゾ]\r\nK=1\r\n") << QString::fromUtf8("ゾ") << QStringLiteral("K")
        << QStringLiteral("2") << Cp932("[ゾ]\r\nK=2\r\n");
}

void ProfileFileTest::write_editsInPlace()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("zanbo.ini"));
    if (exists)
        WriteFileBytes(path, before);

    QVERIFY(WriteIniValue(path, section, key, value) != 0);
    QCOMPARE(FileBytes(path), after);
    QCOMPARE(IniDocument::withValue(before, section, key, value), after);
    QCOMPARE(ReadIniValue(path, section, key), value);
}

void ProfileFileTest::write_shutdownSequenceCreatesExactFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("zanbo.ini"));
    const QString all = QStringLiteral("ALL");
    QVERIFY(WriteIniValue(path, all, QStringLiteral("L6ML"), QString::fromUtf8("ロト６")));
    QVERIFY(WriteIniValue(path, all, QStringLiteral("KAI"), QStringLiteral("10")));
    QVERIFY(
        WriteIniValue(path, QStringLiteral("OPT"), QStringLiteral("NOWEB"), QStringLiteral("0")));
    QVERIFY(WriteIniValue(path, all, QStringLiteral("POSLEFT"), QStringLiteral("1200")));
    QVERIFY(WriteIniValue(path, all, QStringLiteral("POSTOP"), QStringLiteral("945")));
    QCOMPARE(FileBytes(path),
             Cp932("[ALL]\r\nL6ML=ロト６\r\nKAI=10\r\nPOSLEFT=1200\r\nPOSTOP=945\r\n"
                   "[OPT]\r\nNOWEB=0\r\n"));

    // The next shutdown replaces values without moving anything.
    QVERIFY(WriteIniValue(path, all, QStringLiteral("L6ML"), QString::fromUtf8("ミニロト")));
    QVERIFY(WriteIniValue(path, all, QStringLiteral("KAI"), QStringLiteral("100")));
    QCOMPARE(FileBytes(path),
             Cp932("[ALL]\r\nL6ML=ミニロト\r\nKAI=100\r\nPOSLEFT=1200\r\nPOSTOP=945\r\n"
                   "[OPT]\r\nNOWEB=0\r\n"));
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size() == 1);
}

void ProfileFileTest::write_failureLeavesNothing_data()
{
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::newRow("missing folder") << false;
    QTest::newRow("read-only folder") << true;
}

void ProfileFileTest::write_failureLeavesNothing()
{
    QFETCH(bool, readOnlyFolder);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString folder = dir.filePath(QStringLiteral("missing"));
    const QByteArray old = "[ALL]\r\nKAI=5\r\n";
    if (readOnlyFolder) {
        folder = dir.filePath(QStringLiteral("ro"));
        QVERIFY(QDir().mkdir(folder));
        WriteFileBytes(folder + QStringLiteral("/kept.ini"), old);
        if (!MakeReadOnly(folder))
            QSKIP("folder permissions are not enforced for this user");
    }
    const QString path = folder + QStringLiteral("/zanbo.ini");
    const QString kept = folder + QStringLiteral("/kept.ini");

    QCOMPARE(
        WriteIniValue(path, QStringLiteral("ALL"), QStringLiteral("KAI"), QStringLiteral("10")), 0);
    QVERIFY(!QFile::exists(path));
    if (readOnlyFolder) {
        QCOMPARE(
            WriteIniValue(kept, QStringLiteral("ALL"), QStringLiteral("KAI"), QStringLiteral("10")),
            0);
        QCOMPARE(FileBytes(kept), old);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                 QStringList(QStringLiteral("kept.ini")));
        MakeWritable(folder);
    }
}

void ProfileFileTest::unreadableFile_neitherReadNorReplaced_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("named pipe") << QStringLiteral("fifo");
    QTest::newRow("folder") << QStringLiteral("folder");
    QTest::newRow("larger than any settings file") << QStringLiteral("huge");
}

void ProfileFileTest::unreadableFile_neitherReadNorReplaced()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("zanbo.ini"));
    if (kind == QLatin1String("fifo")) {
        // Opening a pipe for reading would wait for a writer forever.
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(path));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[ALL]\r\nKAI=5\r\n");
        QVERIFY(file.resize(MaxWholeFileBytes + 1)); // sparse: costs no disk
    }
    const QFileInfo before(path);

    QCOMPARE(ReadIniValue(path, QStringLiteral("ALL"), QStringLiteral("KAI")), AbsentMarker());
    QCOMPARE(IniDocument::fromFile(path).value(QStringLiteral("ALL"), QStringLiteral("KAI")),
             AbsentMarker());
    QCOMPARE(WriteIniValue(path, QStringLiteral("ALL"), QStringLiteral("KAI"), QStringLiteral("7")),
             0);
    const QFileInfo after(path);
    QCOMPARE(after.isFile(), before.isFile());
    QCOMPARE(after.size(), before.size());
    QCOMPARE(QDir(dir.path())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             QStringList(QStringLiteral("zanbo.ini")));
}

void ProfileFileTest::readError_givesNothing()
{
    const QByteArray content = "[ALL]\r\nKAI=5\r\n" + QByteArray(100000, ';');
    FailDevice device(content, 5000);
    QVERIFY(device.open(QIODevice::ReadOnly));
    QByteArray bytes = "stale";
    QString error;
    QVERIFY(!ReadWholeDevice(device, bytes, &error));
    QVERIFY(bytes.isEmpty());
    QVERIFY(!error.isEmpty());

    FailDevice whole(content, content.size() + 1);
    QVERIFY(whole.open(QIODevice::ReadOnly));
    QVERIFY(ReadWholeDevice(whole, bytes));
    QCOMPARE(bytes, content);
}

void ProfileFileTest::settings_outOfRangeReadsAsDefault_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("kai");
    QTest::addColumn<int>("colWidth");
    QTest::addColumn<int>("noWeb");
    QTest::addColumn<int>("timeout");
    QTest::newRow("absent") << QByteArray() << 10 << 550 << 0 << 30;
    QTest::newRow("in range") << QByteArray(
        "[ALL]\r\nKAI=100\r\n[OPT]\r\nNOWEB=1\r\n[ETC]\r\nCOLWIDTH=1\r\nNETTIMEOUT=3600\r\n")
                              << 100 << 1 << 1 << 3600;
    QTest::newRow("outside the range")
        << QByteArray("[ALL]\r\nKAI=101\r\n[ETC]\r\nCOLWIDTH=100001\r\nNETTIMEOUT=0\r\n") << 10
        << 550 << 0 << 30;
    QTest::newRow("not whole numbers") << QByteArray(
        "[ALL]\r\nKAI=5x\r\n[OPT]\r\nNOWEB=1.0\r\n[ETC]\r\nCOLWIDTH=\r\nNETTIMEOUT=ERR\r\n")
                                       << 10 << 550 << 0 << 30;
    QTest::newRow("a time-out of a day")
        << QByteArray("[ETC]\r\nNETTIMEOUT=86400\r\n") << 10 << 550 << 0 << 86400;
    QTest::newRow("a time-out past a day")
        << QByteArray("[ETC]\r\nNETTIMEOUT=86401\r\n") << 10 << 550 << 0 << 30;
    QTest::newRow("a negative time-out")
        << QByteArray("[ETC]\r\nNETTIMEOUT=-5\r\n") << 10 << 550 << 0 << 30;
    QTest::newRow("any whole number for the web option")
        << QByteArray("[OPT]\r\nNOWEB=-7\r\n") << 10 << 550 << -7 << 30;
}

void ProfileFileTest::settings_outOfRangeReadsAsDefault()
{
    QFETCH(QByteArray, file);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("zanbo.ini"));
    if (!file.isEmpty())
        WriteFileBytes(path, file);
    const SettingsSnapshot settings(path);
    QTEST(settings.value(Setting::Kai), "kai");
    QTEST(settings.value(Setting::ColWidth), "colWidth");
    QTEST(settings.value(Setting::NoWeb), "noWeb");
    QTEST(ReadSetting(path, Setting::NetTimeout), "timeout");
    QCOMPARE(settings.stored(Setting::Kai).has_value(),
             QTest::currentDataTag() == QByteArray("in range"));
}

void ProfileFileTest::addPathSeparator_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    const QString sep = QDir::separator();
    QTest::newRow("empty") << QString() << sep;
    QTest::newRow("folder") << QStringLiteral("/opt/zanbo") << QStringLiteral("/opt/zanbo") + sep;
    QTest::newRow("root") << QStringLiteral("/") << QStringLiteral("/");
    QTest::newRow("ends with separator")
        << QStringLiteral("/opt/zanbo/") << QStringLiteral("/opt/zanbo/");
    QTest::newRow("relative") << QStringLiteral("zanbo") << QStringLiteral("zanbo") + sep;
}

void ProfileFileTest::addPathSeparator()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(AddPathSeparator(path), expected);
    QCOMPARE(AddPathSeparator(path) + QStringLiteral("zanbo.ini"),
             expected + QStringLiteral("zanbo.ini"));
}

void ProfileFileTest::getFileName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    const QString name = QStringLiteral("zanbol6.txt");
    QTest::newRow("slash path") << QStringLiteral("/opt/zanbo/zanbol6.txt") << name;
    QTest::newRow("backslash path") << QStringLiteral("C:\\Zanbo\\zanbol6.txt") << name;
    QTest::newRow("mixed") << QStringLiteral("C:/a\\b/zanbol6.txt") << name;
    QTest::newRow("bare name") << name << name;
    QTest::newRow("folder") << QStringLiteral("/opt/zanbo/") << QString();
    QTest::newRow("empty") << QString() << QString();
}

void ProfileFileTest::getFileName()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(GetFileName(path), expected);
}

void ProfileFileTest::appendMessageLineText()
{
    const QString once = AppendMessageLineText(QString(), QStringLiteral("(OK) a"));
    QCOMPARE(once, QStringLiteral("(OK) a\r\n"));
    QCOMPARE(AppendMessageLineText(once, QString::fromUtf8("(NG)■b")),
             QString::fromUtf8("(OK) a\r\n(NG)■b\r\n"));
}

QTEST_GUILESS_MAIN(ProfileFileTest)
#include "tst_ProfileFile.moc"
