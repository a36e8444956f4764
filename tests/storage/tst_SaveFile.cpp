#include "support/DiskFull.h"
#include "support/TestFiles.h"

#include "storage/FileIo.h"
#include "storage/SaveFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The LOTO6 row numbered 3 and the Mini LOTO row numbered 7, whose empty
// column 6 is two adjacent TABs.
const QString kExampleClip = QStringLiteral("3\t5\t11\t18\t27\t33\t41\t135\t12\t5\r"
                                            "7\t2\t9\t14\t23\t30\t\t78\t10\t2");
const QByteArray kExampleBytes = "Zanbo\r\n 2 \r\n 9 \r\n"
                                 "3\t5\t11\t18\t27\t33\t41\t135\t12\t5\r"
                                 "7\t2\t9\t14\t23\t30\t\t78\t10\t2\r\n";

} // namespace

class SaveFileTest : public QObject
{
    Q_OBJECT
private slots:
    void write_givesExactBytes_data();
    void write_givesExactBytes();
    void roundTrip_keepsEveryCell_data();
    void roundTrip_keepsEveryCell();
    void parse_readsFieldByField_data();
    void parse_readsFieldByField();
    void parse_stopsAtTheRowLimit_data();
    void parse_stopsAtTheRowLimit();
    void read_unopenableFile();
    void parse_survivesMutatedFiles();
    void write_failureKeepsOldFile_data();
    void write_failureKeepsOldFile();
    void leftoverTemporaryFiles_onlyOursRemoved();
};

void SaveFileTest::write_givesExactBytes_data()
{
    QTest::addColumn<qint64>("rowCount");
    QTest::addColumn<QString>("clip");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("two games") << qint64(2) << kExampleClip << kExampleBytes;
    QTest::newRow("one row") << qint64(1) << QStringLiteral("1\t1\t2\t3\t4\t5\t6\t21\t2\t3")
                             << QByteArray(
                                    "Zanbo\r\n 1 \r\n 9 \r\n1\t1\t2\t3\t4\t5\t6\t21\t2\t3\r\n");
    // Text in code page 932 after ASCII rows, and ASCII after it again.
    QTest::newRow("code page 932 among ASCII rows")
        << qint64(4) << QString::fromUtf8("1\t2\rロト６\t表\r3\r4\t")
        << QByteArray("Zanbo\r\n 4 \r\n 9 \r\n1\t2\r" + Cp932("ロト６\t表") + "\r3\r4\t\r\n");
}

void SaveFileTest::write_givesExactBytes()
{
    QFETCH(qint64, rowCount);
    QFETCH(QString, clip);
    QFETCH(QByteArray, expected);

    QCOMPARE(SaveFileBytes(rowCount, 9, clip), expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("a.loto"));
    const SaveFileWriteResult result = WriteSaveFile(path, rowCount, 9, clip);
    QVERIFY(result.ok);
    QVERIFY(result.error.isEmpty());
    QCOMPARE(FileBytes(path), expected);

    // Written a few rows at a time, the file is the same.
    const QStringList rows = clip.split(u'\r');
    for (const qint64 blockRows : {1, 2, 3}) {
        QList<qint64> written;
        const SaveFileWriteResult inBlocks = WriteSaveFile(
            path, rowCount, 9,
            [&rows](qint64 first, qint64 count) { return rows.mid(first, count).join(u'\r'); },
            [&written](qint64 rowsWritten) { written.append(rowsWritten); }, blockRows);
        QVERIFY(inBlocks.ok);
        QCOMPARE(FileBytes(path), expected);
        QCOMPARE(written.constLast(), rowCount);
    }
}

void SaveFileTest::roundTrip_keepsEveryCell_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("two games") << kExampleClip.split(u'\r');
    QTest::newRow("one row") << QStringList{QStringLiteral("1\t1\t2\t3\t4\t5\t6\t21\t2\t3")};
    QTest::newRow("empty cells") << QStringList{QStringLiteral("\t\t\t\t\t\t\t\t\t"),
                                                QStringLiteral("8\t1\t2\t3\t4\t5\t\t15\t1\t3")};
    // Text loaded from some other file may carry double-byte characters.
    QTest::newRow("code page 932")
        << QStringList{QString::fromUtf8("ロト６\tミニロト\t－"), QString::fromUtf8("ｻﾞﾝﾎﾞ\t表")};
    // Control codes keep their bytes beside double-byte text, as on Windows.
    QTest::newRow("control codes beside code page 932")
        << QStringList{QString::fromUtf8("表\x1c"), QString::fromUtf8("\x1a\t\x1c\t\x7f")};
}

void SaveFileTest::roundTrip_keepsEveryCell()
{
    QFETCH(QStringList, rows);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("r.loto"));
    QVERIFY(WriteSaveFile(path, rows.size(), 9, rows.join(u'\r')).ok);

    const SaveFileContent content = ReadSaveFile(path);
    QVERIFY(content.opened);
    QVERIFY(content.signatureOk);
    QVERIFY(content.countsValid);
    QVERIFY(!content.truncated);
    QCOMPARE(content.declaredRows, qint64(rows.size()));
    QCOMPARE(content.declaredLastColumn, 9);
    QCOMPARE(content.rows, rows);
}

void SaveFileTest::parse_readsFieldByField_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("signatureOk");
    QTest::addColumn<bool>("countsValid");
    QTest::addColumn<qint64>("declaredRows");
    QTest::addColumn<int>("declaredLastColumn");
    QTest::addColumn<QStringList>("rows");

    const QString row1 = QStringLiteral("1\t2");
    const QString row2 = QStringLiteral("3\t4");

    QTest::newRow("example") << kExampleBytes << true << true << qint64(2) << 9
                             << kExampleClip.split(u'\r');
    QTest::newRow("lower-case signature") << QByteArray("zanbo\r\n 1 \r\n 9 \r\n1\t2\r\n") << false
                                          << true << qint64(1) << 9 << QStringList{row1};
    QTest::newRow("other text") << QByteArray("hello world\r\n") << false << false << qint64(0) << 9
                                << QStringList();
    QTest::newRow("blank after signature") << QByteArray("Zanbo \r\n 1 \r\n 9 \r\n1\t2\r\n")
                                           << false << true << qint64(1) << 9 << QStringList{row1};
    QTest::newRow("blanks before signature, commas")
        << QByteArray("  Zanbo, 2 , 9,1\t2\r3\t4\r\n") << true << true << qint64(2) << 9
        << QStringList{row1, row2};
    QTest::newRow("empty file") << QByteArray() << false << false << qint64(0) << 9
                                << QStringList();
    QTest::newRow("no rows") << QByteArray("Zanbo\r\n 0 \r\n 9 \r\n\r\n") << true << true
                             << qint64(0) << 9 << QStringList();
    QTest::newRow("file ends before D rows")
        << QByteArray("Zanbo\r\n 5 \r\n 9 \r\n1\t2\r3\t4\r\n") << true << true << qint64(5) << 9
        << QStringList{row1, row2};
    QTest::newRow("file ends inside a row")
        << QByteArray("Zanbo\r\n 5 \r\n 9 \r\n1\t2\r3\t") << true << true << qint64(5) << 9
        << QStringList{row1, QStringLiteral("3\t")};
    QTest::newRow("file ends after the counts")
        << QByteArray("Zanbo\r\n 3 \r\n 9") << true << true << qint64(3) << 9 << QStringList();
    QTest::newRow("huge D in a short file")
        << QByteArray("Zanbo\r\n 2000000000 \r\n 9 \r\n1\t2\r3\t4\r\n") << true << true
        << qint64(2000000000) << 9 << QStringList{row1, row2};
    QTest::newRow("rows beyond D are not read")
        << QByteArray("Zanbo\r\n 1 \r\n 9 \r\n1\t2\r3\t4\r\n") << true << true << qint64(1) << 9
        << QStringList{row1};
    QTest::newRow("D not a number") << QByteArray("Zanbo\r\n two \r\n 9 \r\n1\t2\r\n") << true
                                    << false << qint64(0) << 9 << QStringList();
    QTest::newRow("D with trailing letters") << QByteArray("Zanbo\r\n 2x \r\n 9 \r\n1\t2\r\n")
                                             << true << false << qint64(0) << 9 << QStringList();
    QTest::newRow("D beyond 64 bits")
        << QByteArray("Zanbo\r\n 99999999999999999999 \r\n 9 \r\n1\t2\r\n") << true << false
        << qint64(0) << 9 << QStringList();
    QTest::newRow("negative D") << QByteArray("Zanbo\r\n -3 \r\n 9 \r\n1\t2\r\n") << true << false
                                << qint64(-3) << 9 << QStringList();
    QTest::newRow("C not a number") << QByteArray("Zanbo\r\n 1 \r\n nine \r\n1\t2\r\n") << true
                                    << false << qint64(1) << 9 << QStringList{row1};
    QTest::newRow("C beyond int") << QByteArray("Zanbo\r\n 1 \r\n 4294967296 \r\n1\t2\r\n") << true
                                  << false << qint64(1) << 9 << QStringList{row1};
    QTest::newRow("C other than 9") << QByteArray("Zanbo\r\n 1 \r\n 5 \r\n1\t2\r\n") << true << true
                                    << qint64(1) << 5 << QStringList{row1};
    QTest::newRow("line ends before the counts")
        << QByteArray("Zanbo\r\n\r\n\t1\r\n\n 9 \r\n1\t2\r\n") << true << true << qint64(1) << 9
        << QStringList{row1};
    QTest::newRow("comma splits a row")
        << QByteArray("Zanbo\r\n 3 \r\n 9 \r\n1\t2,3\t4\r5\r\n") << true << true << qint64(3) << 9
        << QStringList{row1, row2, QStringLiteral("5")};
    QTest::newRow("CR LF and LF between rows")
        << QByteArray("Zanbo\n 3 \n 9 \n1\t2\r\n3\t4\n\r\n") << true << true << qint64(3) << 9
        << QStringList{row1, row2, QString()};
    QTest::newRow("code page 932 rows")
        << QByteArray("Zanbo\r\n 2 \r\n 9 \r\n" + Cp932("ロト６\tｻﾞﾝﾎﾞ") + "\r\n" + Cp932("表")
                      + "\r\n")
        << true << true << qint64(2) << 9
        << QStringList{QString::fromUtf8("ロト６\tｻﾞﾝﾎﾞ"), QString::fromUtf8("表")};
    // One endless line must not fill the memory.
    const QByteArray endless(MaxSaveRowBytes + 100, '7');
    QTest::newRow("over-long row keeps its start")
        << QByteArray("Zanbo\r\n 2 \r\n 9 \r\n" + endless + "\r\n1\t2\r\n") << true << true
        << qint64(2) << 9 << QStringList{QString::fromLatin1(endless.left(MaxSaveRowBytes)), row1};
}

void SaveFileTest::parse_readsFieldByField()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, signatureOk);
    QFETCH(bool, countsValid);
    QFETCH(qint64, declaredRows);
    QFETCH(int, declaredLastColumn);
    QFETCH(QStringList, rows);

    // Read in blocks this small, every field, CR LF and double-byte
    // character of the file lies across a block edge somewhere; blocks of
    // nine bytes read eight at a time and the ninth alone.
    for (const qsizetype blockBytes : {SaveFileBlockBytes, qsizetype(1), qsizetype(2), qsizetype(3),
                                       qsizetype(5), qsizetype(9)}) {
        const SaveFileContent content = ParseSaveFile(bytes, blockBytes);
        QVERIFY(content.opened);
        QCOMPARE(content.signatureOk, signatureOk);
        QCOMPARE(content.countsValid, countsValid);
        QCOMPARE(content.declaredRows, declaredRows);
        QCOMPARE(content.declaredLastColumn, declaredLastColumn);
        QCOMPARE(content.rows, rows);
        QVERIFY(!content.truncated);
    }
}

void SaveFileTest::parse_stopsAtTheRowLimit_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("maxRows");
    QTest::addColumn<int>("rowsRead");
    QTest::addColumn<bool>("truncated");

    const QByteArray fiveRows("Zanbo\r\n 5 \r\n 9 \r\n1\r2\r3\r4\r5\r\n");
    QTest::newRow("D beyond the limit") << fiveRows << qint64(3) << 3 << true;
    QTest::newRow("D at the limit") << fiveRows << qint64(5) << 5 << false;
    QTest::newRow("D beyond the limit, file ends there")
        << QByteArray("Zanbo\r\n 5 \r\n 9 \r\n1\r2\r3\r\n") << qint64(3) << 3 << false;
    QTest::newRow("rows beyond D, D at the limit")
        << QByteArray("Zanbo\r\n 3 \r\n 9 \r\n1\r2\r3\r4\r\n") << qint64(3) << 3 << false;
}

void SaveFileTest::parse_stopsAtTheRowLimit()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, maxRows);
    QFETCH(int, rowsRead);
    QFETCH(bool, truncated);

    for (const qsizetype blockBytes : {SaveFileBlockBytes, qsizetype(1)}) {
        const SaveFileContent content = ParseSaveFile(bytes, blockBytes, maxRows);
        QCOMPARE(content.rows.size(), rowsRead);
        QCOMPARE(content.rows.constLast(), QString::number(rowsRead));
        QCOMPARE(content.truncated, truncated);
    }
}

void SaveFileTest::read_unopenableFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const SaveFileContent missing = ReadSaveFile(dir.filePath(QStringLiteral("none.loto")));
    QVERIFY(!missing.opened);
    QVERIFY(!missing.signatureOk);
    QVERIFY(missing.rows.isEmpty());
    QVERIFY(!ReadSaveFile(dir.path()).opened);
}

void SaveFileTest::parse_survivesMutatedFiles()
{
    // Truncated, flipped, noisy and lying files, from a fixed seed so that a
    // failure can be replayed.
    QRandomGenerator random(20240607);
    QStringList base;
    for (int i = 1; i <= 40; ++i)
        base << QStringLiteral("%1\t1\t2\t3\t4\t5\t6\t21\t2\t3").arg(i);
    const QByteArray valid = SaveFileBytes(base.size(), 9, base.join(u'\r'));
    static const char noiseBytes[] = "\x82\x00\r\n,\t ]=Z9-\x83\xfc\xa0";
    const QByteArray noise(noiseBytes, sizeof(noiseBytes) - 1);

    for (int round = 0; round < 4000; ++round) {
        QByteArray bytes = valid;
        switch (round % 5) {
        case 0:
            bytes.truncate(random.bounded(int(bytes.size()) + 1));
            break;
        case 1:
            for (int n = random.bounded(1, 20); n > 0; --n)
                bytes[random.bounded(int(bytes.size()))] = char(random.bounded(256));
            break;
        case 2:
            bytes.replace(" 40 ", round % 2 ? " 2147483647000 " : " 99999999999999999999999 ");
            bytes.truncate(random.bounded(int(bytes.size()) + 1));
            break;
        case 3:
            for (int n = random.bounded(1, 400); n > 0; --n)
                bytes.insert(random.bounded(int(bytes.size()) + 1),
                             noise.at(random.bounded(int(noise.size()))));
            break;
        default:
            bytes = "Zanbo\r\n 999999999 \r\n 9 \r\n";
            for (int n = random.bounded(0, 3000); n > 0; --n)
                bytes.append(noise.at(random.bounded(int(noise.size()))));
            break;
        }

        const SaveFileContent content = ParseSaveFile(bytes);
        QVERIFY(content.opened);
        QVERIFY(content.rows.size() <= qMax<qint64>(0, content.declaredRows));
        // Every row consumes at least one byte, and holds at most one
        // character per byte: memory follows the file, not D.
        QVERIFY(content.rows.size() <= bytes.size());
        qsizetype characters = 0;
        for (const QString &row : content.rows)
            characters += row.size();
        QVERIFY(characters <= bytes.size());
        if (content.countsValid)
            QVERIFY(content.declaredRows >= 0 && content.declaredLastColumn >= 0);
    }
}

void SaveFileTest::write_failureKeepsOldFile_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("missing folder") << QStringLiteral("missing");
    QTest::newRow("target is a folder") << QStringLiteral("folder");
    QTest::newRow("read-only folder") << QStringLiteral("read-only");
    QTest::newRow("full disk") << QStringLiteral("full");
}

void SaveFileTest::write_failureKeepsOldFile()
{
    QFETCH(QString, where);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path = dir.filePath(QStringLiteral("missing/a.loto"));
    if (where == QLatin1String("folder")) {
        path = dir.filePath(QStringLiteral("a.loto"));
        QVERIFY(QDir().mkdir(path));
    }
    const QString folder = dir.filePath(QStringLiteral("ro"));
    if (where == QLatin1String("read-only")) {
        QVERIFY(QDir().mkdir(folder));
        path = folder + QStringLiteral("/a.loto");
        WriteFileBytes(path, kExampleBytes);
        if (!MakeReadOnly(folder))
            QSKIP("folder permissions are not enforced for this user");
    }

    if (where == QLatin1String("full")) {
        QVERIFY(QDir().mkdir(folder));
        path = folder + QStringLiteral("/a.loto");
        WriteFileBytes(path, kExampleBytes);
    }
    QString clip = QStringLiteral("1\t2");
    if (where == QLatin1String("full"))
        clip = QString(kExampleClip + QLatin1Char('\r')).repeated(20000);
    SaveFileWriteResult result;
    {
        DiskFull full(where == QLatin1String("full") ? 65536 : RLIM_INFINITY);
        result = WriteSaveFile(path, 1, 9, clip);
    }
    QVERIFY(!result.ok);
    QVERIFY(!result.error.isEmpty());
    // Every reason is told in Japanese: no system text in English.
    QVERIFY2(!result.error.contains(QRegularExpression(QStringLiteral("[A-Za-z]{3}"))),
             qPrintable(result.error));
    if (where == QLatin1String("missing"))
        QVERIFY(!QFile::exists(path));
    if (where == QLatin1String("folder"))
        QVERIFY(QFileInfo(path).isDir());
    if (where == QLatin1String("read-only") || where == QLatin1String("full")) {
        QCOMPARE(FileBytes(path), kExampleBytes);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                 QStringList(QStringLiteral("a.loto")));
        MakeWritable(folder);
    }
}

// A kill between writing and renaming leaves our temporary file; the next
// start removes it and nothing of the user's that merely looks alike.
void SaveFileTest::leftoverTemporaryFiles_onlyOursRemoved()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QStringList kept{QStringLiteral(".zanbo-writing-note.txt"), QStringLiteral("a.loto"),
                           QStringLiteral("zanbo.ini.Ab12Cd"),
                           QStringLiteral(".zanbo-writing-Ab12Cd.partial.bak")};
    for (const QString &name : kept)
        WriteFileBytes(dir.filePath(name), kExampleBytes);
    {
        AtomicFileWriter killed(dir.filePath(QStringLiteral("a.loto")));
        QVERIFY(killed.write("partial"));
        const QStringList all = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(all.size(), kept.size() + 1);
        for (const QString &name : all)
            QVERIFY(kept.contains(name)
                    || (name.startsWith(AtomicFileWriter::TemporaryPrefix())
                        && name.endsWith(AtomicFileWriter::TemporarySuffix())));
    }
    QCOMPARE(RemoveLeftoverTemporaryFiles(dir.path()), 0);
    WriteFileBytes(dir.filePath(QStringLiteral(".zanbo-writing-Xy34Zw.partial")), "left by a kill");
    QCOMPARE(RemoveLeftoverTemporaryFiles(dir.path()), 1);
    QStringList now = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    QStringList expected = kept;
    now.sort();
    expected.sort();
    QCOMPARE(now, expected);
}

QTEST_GUILESS_MAIN(SaveFileTest)
#include "tst_SaveFile.moc"
