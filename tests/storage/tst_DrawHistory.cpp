#include "support/TestFiles.h"

#include "core/DrawFile.h"
#include "core/DrawImport.h"
#include "storage/DrawHistory.h"
#include "storage/FileIo.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

namespace {

DrawRecord Draw(int game, int number, int seed)
{
    DrawRecord draw;
    draw.Game = game;
    draw.DrawNumber = number;
    draw.Date = QDate(2000, 10, 5).addDays(7 * number);
    draw.MainCount = game == 0 ? 6 : game == 1 ? 5 : 7;
    for (int i = 0; i < draw.MainCount; ++i)
        draw.Numbers[size_t(i)] = (seed + i * 5) % 25 + 1 + i; // ascending, distinct
    draw.Bonus = 43 - game * 12;
    if (game == 2) {
        draw.MoreBonuses[0] = 30;
        draw.Winners[5] = 40000;
        draw.PrizeYen[5] = 1400;
    }
    draw.Winners = {number % 2, 3, 100, 2000, DrawRecord::Unknown, DrawRecord::Unknown};
    draw.PrizeYen = {DrawRecord::Unknown, 15219100, 522700, 9100, 1000, DrawRecord::Unknown};
    draw.CarryOverYen = game == 0 ? qint64(number) * 1000000000 : DrawRecord::Unknown;
    draw.Source = number % 2 ? QStringLiteral("a.csv") : QStringLiteral("manual");
    draw.StoredAt = QDateTime::fromSecsSinceEpoch(1700000000 + number, Qt::UTC);
    return draw;
}

// A word of a driver's English in what the user reads; the program's own
// name is no English.
bool HasEnglish(QString text)
{
    text.remove(QStringLiteral("Zanbo"));
    return text.contains(QRegularExpression(QStringLiteral("[A-Za-z]{3,}")));
}

bool SameRecord(const DrawRecord &a, const DrawRecord &b)
{
    return a.sameNumbers(b) && a.Date == b.Date && a.Winners == b.Winners
           && a.PrizeYen == b.PrizeYen && a.CarryOverYen == b.CarryOverYen && a.Source == b.Source
           && a.StoredAt == b.StoredAt;
}

// PRAGMA integrity_check through a connection of the test's own.
QString IntegrityCheck(const QString &path)
{
    QString result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                    QStringLiteral("check"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(QStringLiteral("PRAGMA integrity_check")) && query.next())
                result = query.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    return result;
}

// The child of the killed-import test: imports the file into the history
// as the history dialog does, saying on stdout when the write begins.
int ImportChild(const QString &database, const QString &csv)
{
    QByteArray bytes;
    if (!ReadWholeFile(csv, bytes))
        return 2;
    const DrawFile file = ReadDrawFile(bytes, QStringLiteral("big.csv"));
    DrawHistory history(database);
    if (!history.open(true))
        return 3;
    const DrawImport import = PlanImport(file, history.draws(file.Game), QStringLiteral("big"));
    std::fputs("storing\n", stdout);
    std::fflush(stdout);
    return history.store(DrawsToStore(import)) ? 0 : 4;
}

constexpr int OldDraws = 10;
constexpr int ImportedDraws = 20000;

} // namespace

// The SQLite store of the draw history.
class DrawHistoryTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }

private slots:
    void storeAndRead_everyFieldPerGame_newestAndPages()
    {
        const QString file = path("history.sqlite");
        QVector<DrawRecord> loto6;
        for (int n = 1; n <= 600; ++n)
            loto6.append(Draw(0, n, n));
        const QVector<DrawRecord> mini{Draw(1, 5, 3), Draw(1, 9, 4)};
        const QVector<DrawRecord> loto7{Draw(2, 600, 5)};
        {
            DrawHistory history(file);
            QVERIFY(!history.fileExists());
            QVERIFY(history.draws(0).isEmpty());
            QVERIFY(!history.fileExists()); // reading creates nothing
            QVERIFY(history.store(mini + loto6 + loto7));
        }
        DrawHistory history(file); // a second store on the same file reads it back
        const QVector<DrawRecord> read = history.draws(0);
        QCOMPARE(read.size(), loto6.size());
        for (int i = 0; i < read.size(); ++i)
            QVERIFY2(SameRecord(read.at(i), loto6.at(i)), qPrintable(DrawLine(read.at(i))));
        QVERIFY(SameRecord(history.draws(1).constLast(), mini.constLast()));
        QVERIFY(SameRecord(history.draws(2).constLast(), loto7.constLast()));
        QCOMPARE(history.newest(0)->DrawNumber, 600);
        QCOMPARE(history.newest(1)->DrawNumber, 9);
        QCOMPARE(history.count(0), 600);
        const QVector<DrawRecord> page = history.newestFirst(0, 256, 256);
        QCOMPARE(page.size(), 256);
        QCOMPARE(page.constFirst().DrawNumber, 344);
        QCOMPARE(history.newestFirst(0, 512, 256).size(), 88);

        QVERIFY(history.remove(0, {600, 599}));
        QCOMPARE(history.newest(0)->DrawNumber, 598);
        DrawRecord changed = Draw(0, 1, 99);
        QVERIFY(history.store({changed}));
        QVERIFY(SameRecord(history.draws(0).constFirst(), changed));
        history.close();

        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                    QStringLiteral("version"));
        db.setDatabaseName(file);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec(QStringLiteral("PRAGMA user_version")) && query.next());
        QCOMPARE(query.value(0).toInt(), DrawHistory::SchemaVersion);
        query = QSqlQuery();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("version"));
    }

    void open_unusableFile_reportsAndKeepsItAside_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a database") << "text"
                                        << "壊れています";
        QTest::newRow("truncated database") << "truncated"
                                            << "壊れています";
        QTest::newRow("pages overwritten") << "overwritten"
                                           << "壊れています";
        QTest::newRow("another program's database") << "foreign"
                                                    << "壊れています";
        QTest::newRow("written by a newer program") << "newer"
                                                    << "新しい版";
        QTest::newRow("negative version") << "negative"
                                          << "別の版";
    }

    void open_unusableFile_reportsAndKeepsItAside()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        const QString file = m_dir.filePath(kind + QStringLiteral(".sqlite"));
        if (kind == QStringLiteral("text")) {
            WriteFileBytes(file, QByteArray("開催回,日付\n1,2000/10/5\n"));
        } else {
            {
                DrawHistory history(file);
                QVector<DrawRecord> draws;
                for (int n = 1; n <= 2000; ++n)
                    draws.append(Draw(0, n, n));
                QVERIFY(history.store(draws));
            }
            QFile raw(file);
            QVERIFY(raw.open(QIODevice::ReadWrite));
            if (kind == QStringLiteral("truncated")) {
                QVERIFY(raw.resize(raw.size() / 2));
            } else if (kind == QStringLiteral("overwritten")) {
                raw.seek(4096 * 3);
                raw.write(QByteArray(4096 * 4, '\x5a'));
            } else {
                raw.close();
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                            QStringLiteral("edit"));
                db.setDatabaseName(file);
                QVERIFY(db.open());
                QSqlQuery query(db);
                QVERIFY(query.exec(kind == QStringLiteral("newer")
                                       ? QStringLiteral("PRAGMA user_version = 99")
                                   : kind == QStringLiteral("negative")
                                       ? QStringLiteral("PRAGMA user_version = -1")
                                       : QStringLiteral("PRAGMA user_version = 0")));
                query = QSqlQuery();
                db.close();
                db = QSqlDatabase();
                QSqlDatabase::removeDatabase(QStringLiteral("edit"));
            }
        }
        const QByteArray before = FileBytes(file);

        DrawHistory history(file);
        QVERIFY(!history.open());
        QVERIFY2(history.errorText().contains(message), qPrintable(history.errorText()));
        QVERIFY2(!HasEnglish(QString(history.errorText()).remove(file)),
                 qPrintable(history.errorText()));
        QCOMPARE(history.problem() == DrawHistory::Problem::OtherVersion,
                 message != QStringLiteral("壊れています"));
        QVERIFY(history.draws(0).isEmpty());
        QVERIFY(!history.newest(0));
        QVERIFY(!history.store({Draw(0, 1, 1)}));
        QCOMPARE(FileBytes(file), before); // never written over

        const QString keptAs = history.setAside();
        QVERIFY(!keptAs.isEmpty());
        QCOMPARE(FileBytes(keptAs), before);
        QVERIFY(history.store({Draw(0, 1, 1)}));
        QCOMPARE(history.count(0), 1);
    }

    // Draws that live only in the write-ahead log (a crash of a program that
    // wrote it) go aside with the file; a busy history is left alone.
    void setAside_writeAheadLog_keepsEveryDraw_busyFileUntouched()
    {
        const QString file = path("wal.sqlite");
        const QString copy = path("walcopy.sqlite");
        QVector<DrawRecord> draws;
        for (int n = 1; n <= 53; ++n)
            draws.append(Draw(0, n, n));
        {
            DrawHistory history(file);
            QVERIFY(history.store(draws.mid(0, 3)));
        }
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                        QStringLiteral("wal"));
            db.setDatabaseName(file);
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("PRAGMA journal_mode = WAL")));
            query.finish();
            // A reader's open snapshot keeps the log from being folded in.
            QVERIFY(query.exec(QStringLiteral("BEGIN")));
            QVERIFY(query.exec(QStringLiteral("SELECT count(*) FROM draws")) && query.next());
            {
                DrawHistory writer(file);
                QVERIFY2(writer.store(draws.mid(3)), qPrintable(writer.errorText()));
            }
            for (const QString &suffix :
                 {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
                QVERIFY2(QFile::copy(file + suffix, copy + suffix), qPrintable(suffix));

            query.finish();
            QVERIFY(query.exec(QStringLiteral("COMMIT")));
            query = QSqlQuery();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("wal"));

        DrawHistory history(copy);
        const QString keptAs = history.setAside();
        QVERIFY(!keptAs.isEmpty());
        QVERIFY(history.store({Draw(0, 1, 1)}));
        QCOMPARE(history.count(0), 1);
        QCOMPARE(DrawHistory(keptAs).count(0), 53);

        // Another connection in the middle of a write: busy, not damaged.
        const QString held = path("held.sqlite");
        QVERIFY(DrawHistory(held).store(draws));
        const QByteArray before = FileBytes(held);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                        QStringLiteral("held"));
            db.setDatabaseName(held);
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            DrawHistory busy(held);
            busy.setBusyTimeout(100);
            QVERIFY(!busy.open());
            QCOMPARE(busy.problem(), DrawHistory::Problem::Busy);
            QVERIFY2(busy.errorText().contains(QStringLiteral("別のZanbo")),
                     qPrintable(busy.errorText()));
            QVERIFY(query.exec(QStringLiteral("ROLLBACK")));
            query = QSqlQuery();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("held"));
        QCOMPARE(FileBytes(held), before);
    }

    // A history of the first schema, with a draw in it, opens into the
    // current one and keeps the draw.
    void open_firstSchema_migratesAndKeepsDraws()
    {
        const QString file = path("first.sqlite");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                        QStringLiteral("first"));
            db.setDatabaseName(file);
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral(
                "CREATE TABLE draws (game INTEGER NOT NULL, draw INTEGER NOT NULL,"
                " date TEXT NOT NULL, n1 INTEGER NOT NULL, n2 INTEGER NOT NULL,"
                " n3 INTEGER NOT NULL, n4 INTEGER NOT NULL, n5 INTEGER NOT NULL, n6 INTEGER,"
                " bonus INTEGER NOT NULL, w1 INTEGER, w2 INTEGER, w3 INTEGER, w4 INTEGER,"
                " w5 INTEGER, p1 INTEGER, p2 INTEGER, p3 INTEGER, p4 INTEGER, p5 INTEGER,"
                " carryover INTEGER, source TEXT NOT NULL, stored_at INTEGER NOT NULL,"
                " PRIMARY KEY (game, draw)) WITHOUT ROWID")));
            QVERIFY(query.exec(QStringLiteral(
                "INSERT INTO draws VALUES (0, 7, '2001-01-04', 1, 2, 3, 4, 5, 6, 7,"
                " 1, 2, 3, 4, 5, 10, 20, 30, 40, 1000, NULL, 'a.csv', 1700000000)")));
            QVERIFY(query.exec(QStringLiteral("PRAGMA user_version = 1")));
            query = QSqlQuery();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("first"));
        DrawHistory history(file);
        const QVector<DrawRecord> read = history.draws(0);
        QCOMPARE(read.size(), 1);
        QCOMPARE(read[0].MainCount, 6);
        QCOMPARE(read[0].Bonus, 7);
        QCOMPARE(read[0].MoreBonuses[0], 0);
        QCOMPARE(read[0].PrizeYen[4], qint64(1000));
        QCOMPARE(read[0].PrizeYen[5], DrawRecord::Unknown);
        DrawRecord loto7 = Draw(2, 1, 1);
        QVERIFY(history.store({loto7}));
        QVERIFY(SameRecord(history.draws(2).constFirst(), loto7));
    }

    void store_unwritableFolder_failsAndLeavesNoFile()
    {
        const QString folder = path("locked");
        QVERIFY(QDir().mkpath(folder));
        if (!MakeReadOnly(folder))
            QSKIP("this user can write to any folder");
        DrawHistory history(folder + QStringLiteral("/h.sqlite"));
        const bool stored = history.store({Draw(0, 1, 1)});
        MakeWritable(folder);
        QVERIFY(!stored);
        QVERIFY(history.errorText().contains(QStringLiteral("作れません")));
        QVERIFY2(!HasEnglish(QString(history.errorText()).remove(folder)),
                 qPrintable(history.errorText()));
        QVERIFY(!history.fileExists());
    }

    void import_killedAtAnyMoment_leavesOldOrWholeHistory()
    {
        // Old history, and a file whose draws all come after it.
        const QString old = path("old.sqlite");
        QVector<DrawRecord> oldDraws;
        for (int n = 1; n <= OldDraws; ++n)
            oldDraws.append(Draw(0, n, n));
        {
            DrawHistory history(old);
            QVERIFY(history.store(oldDraws));
        }
        QString csv = QStringLiteral("開催回,日付,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,"
                                     "BONUS数字,1等賞金\n");
        for (int n = OldDraws + 1; n <= OldDraws + ImportedDraws; ++n)
            csv += QStringLiteral("%1,2001/1/%2,1,2,3,4,5,%3,44,\"1,000,000\"\n")
                       .arg(n)
                       .arg(n % 28 + 1)
                       .arg(n % 37 + 6)
                       .replace(QStringLiteral(",44,"), QStringLiteral(",43,"));
        const QString csvPath = path("big.csv");
        WriteFileBytes(csvPath, csv.toUtf8());

        const QString db = path("killed.sqlite");
        int interrupted = 0;
        const auto runChild = [&](int killAfterMs) {
            QFile::remove(db);
            QFile::remove(db + QStringLiteral("-journal"));
            QFile::copy(old, db);
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--import-child"), db, csvPath});
            QElapsedTimer timer;
            if (!child.waitForStarted() || !child.waitForReadyRead(30000))
                return qint64(-1);
            timer.start();
            if (killAfterMs >= 0) {
                QTest::qWait(killAfterMs);
                child.kill();
            }
            child.waitForFinished(30000);
            // A journal left behind shows the kill cut a write short.
            interrupted += killAfterMs >= 0 && QFile::exists(db + QStringLiteral("-journal"));
            return timer.elapsed();
        };
        const auto check = [&](const char *when) -> bool {
            const QString integrity = IntegrityCheck(db);
            if (integrity != QStringLiteral("ok")) {
                qWarning() << when << "integrity_check:" << integrity;
                return false;
            }
            DrawHistory history(db);
            const QVector<DrawRecord> draws = history.draws(0);
            if (draws.size() == OldDraws) {
                for (int i = 0; i < OldDraws; ++i) {
                    if (!SameRecord(draws.at(i), oldDraws.at(i)))
                        return false;
                }
                return true;
            }
            return draws.size() == OldDraws + ImportedDraws
                   && draws.constLast().DrawNumber == OldDraws + ImportedDraws
                   && draws.constLast().PrizeYen[0] == 1000000;
        };

        // A whole run first: it tells how long the write takes.
        const qint64 writeMs = runChild(-1);
        QVERIFY(writeMs >= 0);
        QVERIFY(check("whole run"));
        QCOMPARE(DrawHistory(db).count(0), OldDraws + ImportedDraws);

        for (int round = 0; round < 6; ++round) {
            const int delay = int(QRandomGenerator::global()->bounded(qint64(writeMs) + 1));
            QVERIFY(runChild(delay) >= 0);
            QVERIFY2(check("killed"), qPrintable(QStringLiteral("killed after %1 ms").arg(delay)));
        }
        QVERIFY(interrupted > 0);
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--import-child") == 0)
        return ImportChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    DrawHistoryTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_DrawHistory.moc"
