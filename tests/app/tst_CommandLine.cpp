#include "TestHttpServer.h"
#include "storage/Module1.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The built program run as a user runs it: what each command line prints and
// the status it ends with, and where --data-dir puts its files.
class CommandLineTest : public QObject
{
    Q_OBJECT

private:
    struct Run
    {
        int status = -1;
        QString out;
        QString err;
    };

    static QProcessEnvironment environment(bool display)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!display) {
            for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
                environment.remove(QLatin1String(name));
        }
        return environment;
    }

    // This thread's event loop runs meanwhile, so a test server on it answers.
    static Run run(const QStringList &arguments, bool display = false)
    {
        QProcess process;
        process.setProcessEnvironment(environment(display));
        process.start(QStringLiteral(ZANBO_PROGRAM), arguments);
        const QDeadlineTimer deadline(120000);
        while (!process.waitForFinished(10) && process.state() != QProcess::NotRunning
               && !deadline.hasExpired())
            QCoreApplication::processEvents();
        Run result;
        if (process.state() != QProcess::NotRunning
            || process.exitStatus() != QProcess::NormalExit) {
            process.kill();
            process.waitForFinished();
            return result;
        }
        result.status = process.exitCode();
        result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        result.err = QString::fromLocal8Bit(process.readAllStandardError());
        return result;
    }

private slots:
    void answers_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("display");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QStringList>("errHas");
        const QString version = QStringLiteral("Zanbo Ver.2.0.10\n");
        const QString usage = QStringLiteral("--data-dir <DIR>");
        QTest::newRow("--version")
            << QStringList{QStringLiteral("--version")} << true << 0 << version << QStringList();
        QTest::newRow("--help without a display")
            << QStringList{QStringLiteral("--help")} << false << 0 << usage << QStringList();
        QTest::newRow("Qt's own option before --version")
            << QStringList{QStringLiteral("-platform"), QStringLiteral("offscreen"),
                           QStringLiteral("--version")}
            << true << 0 << version << QStringList();
        QTest::newRow("--help in Japanese")
            << QStringList{QStringLiteral("--help")} << false << 0
            << QStringLiteral("\nオプション:\n  -h, --help") << QStringList();
        QTest::newRow("unknown option")
            << QStringList{QStringLiteral("--bogus")} << true << 2 << QString()
            << QStringList{QStringLiteral("知らないオプションです: --bogus"), usage,
                           QStringLiteral("使い方: ")};
        QTest::newRow("--data-dir with an empty folder")
            << QStringList{QStringLiteral("--data-dir"), QString()} << true << 2 << QString()
            << QStringList{usage};
        QTest::newRow("a file name")
            << QStringList{QStringLiteral("saved.loto")} << true << 2 << QString()
            << QStringList{QStringLiteral("saved.loto"), usage};
        QTest::newRow("unknown option without a display")
            << QStringList{QStringLiteral("--no-such-option")} << false << 2 << QString()
            << QStringList{QStringLiteral("no-such-option"), usage};
        QTest::newRow("a command without its file")
            << QStringList{QStringLiteral("judge")} << false << 2 << QString()
            << QStringList{QStringLiteral("zanbo judge SAVEFILE")};
        QTest::newRow("an option of another command")
            << QStringList{QStringLiteral("chance"), QStringLiteral("x.loto"),
                           QStringLiteral("--from"), QStringLiteral("3")}
            << false << 2 << QString() << QStringList{QStringLiteral("--from")};
        QTest::newRow("an unknown game")
            << QStringList{QStringLiteral("export"), QStringLiteral("--game"),
                           QStringLiteral("loto8"), QStringLiteral("-")}
            << false << 1 << QString() << QStringList{QStringLiteral("loto8")};
        QTest::newRow("wheel") << QStringList{QStringLiteral("wheel"),
                                              QStringLiteral("--game"),
                                              QStringLiteral("miniloto"),
                                              QStringLiteral("--numbers"),
                                              QStringLiteral("1,3,5,7,9,11,13"),
                                              QStringLiteral("--guarantee"),
                                              QStringLiteral("4/5"),
                                              QStringLiteral("--seconds"),
                                              QStringLiteral("1")}
                               << false << 0 << QStringLiteral("保証を満たさない場合: 0 / 21 通り")
                               << QStringList();
    }

    void answers()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, display);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QStringList, errHas);
        const Run result = run(arguments, display);
        QCOMPARE(result.status, status);
        if (out.endsWith(QLatin1Char('\n')))
            QCOMPARE(result.out, out);
        else
            QVERIFY2(result.out.contains(out), qPrintable(result.out));
        for (const QString &part : errHas)
            QVERIFY2(result.err.contains(part), qPrintable(result.err));
    }

private:
    enum Serve { None, Good, Other, Conflicting, Cut, Failing, Empty, Html };

    // Rows of the common layout as the export writes them.
    static QString draw(int number)
    {
        static const QStringList draws{QString(),
                                       QStringLiteral("1,2000/10/05,2,8,10,13,27,30,39"),
                                       QStringLiteral("2,2000/10/12,1,9,16,20,21,43,5"),
                                       QStringLiteral("3,2000/10/19,1,5,15,31,36,38,13"),
                                       QStringLiteral("4,2000/10/26,4,11,19,25,33,41,2"),
                                       QStringLiteral("5,2000/11/02,3,7,12,22,29,40,17")};
        return draws.at(number);
    }

    static QByteArray body(const QStringList &rows)
    {
        return rows.join(QStringLiteral("\n")).toUtf8() + "\n";
    }

    // Serves one kind of body at path.
    static void serve(TestHttpServer &server, const QString &path, Serve kind)
    {
        const QByteArray good = body({draw(1), draw(2), draw(3), draw(4)});
        switch (kind) {
        case None:
            break;
        case Good:
            server.setBody(path, good);
            break;
        case Other: // draw 3 differs, 4 agrees, 5 is new
            server.setBody(
                path, body({QStringLiteral("3,2000/10/19,1,5,15,31,36,39,13"), draw(4), draw(5)}));
            break;
        case Conflicting: // draw 2 differs from the stored one
            server.setBody(path, body({QStringLiteral("2,2000/10/12,1,9,16,20,21,42,5"), draw(3)}));
            break;
        case Cut:
            server.setDropMidBody(path, good, good.size() / 2);
            break;
        case Failing:
            server.setBody(path, good, 500);
            break;
        case Empty:
            server.setBody(path, QByteArray());
            break;
        case Html:
            server.setBody(path, "<!DOCTYPE html><html><body>1,2,3</body></html>");
            break;
        }
    }

    // A data folder holding draws 1 and 2 of LOTO6, with the given sources.
    static QString prepare(const QTemporaryDir &scratch, const QStringList &sources)
    {
        const QString folder = scratch.path();
        QFile csv(scratch.filePath(QStringLiteral("start.csv")));
        if (!csv.open(QIODevice::WriteOnly) || csv.write(body({draw(1), draw(2)})) < 0)
            return QString();
        csv.close();
        if (run({QStringLiteral("--data-dir"), folder, QStringLiteral("import"), csv.fileName()})
                .status
            != 0)
            return QString();
        QString ini = QStringLiteral("[DRAWS]\r\n");
        for (int i = 0; i < sources.size(); ++i)
            ini += QStringLiteral("L6URL%1=%2\r\n").arg(i + 1).arg(sources.at(i));
        QFile file(scratch.filePath(QStringLiteral("zanbo.ini")));
        if (!file.open(QIODevice::WriteOnly) || file.write(ini.toLatin1()) < 0)
            return QString();
        return folder;
    }

    // The stored LOTO6 draws: number, date, numbers and bonus of each.
    static QStringList stored(const QString &folder)
    {
        const Run exported = run({QStringLiteral("--data-dir"), folder, QStringLiteral("export"),
                                  QStringLiteral("--game"), QStringLiteral("loto6"),
                                  QStringLiteral("-")});
        QStringList rows = exported.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        if (exported.status != 0 || rows.isEmpty())
            return {QStringLiteral("export failed: ") + exported.err};
        rows.removeFirst(); // the header
        for (QString &row : rows)
            row = row.section(QLatin1Char(','), 0, 8);
        return rows;
    }

private slots:
    // Whatever the sources serve, the history holds exactly what they agree
    // on and nothing from a body that is not a whole draw file.
    void update_storesWhatTheSourcesAgreeOn_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<int>("status");
        QTest::addColumn<QList<int>>("draws");
        QTest::newRow("good") << int(Good) << int(None) << 0 << QList<int>{1, 2, 3, 4};
        QTest::newRow("cut") << int(Cut) << int(None) << 1 << QList<int>{1, 2};
        QTest::newRow("status 500") << int(Failing) << int(None) << 1 << QList<int>{1, 2};
        QTest::newRow("empty") << int(Empty) << int(None) << 1 << QList<int>{1, 2};
        QTest::newRow("HTML") << int(Html) << int(None) << 1 << QList<int>{1, 2};
        QTest::newRow("sources disagree on one draw")
            << int(Good) << int(Other) << 0 << QList<int>{1, 2, 4, 5};
        QTest::newRow("one source fails, the other is taken")
            << int(Failing) << int(Good) << 1 << QList<int>{1, 2, 3, 4};
        QTest::newRow("a stored draw is never overwritten")
            << int(Conflicting) << int(None) << 0 << QList<int>{1, 2, 3};
    }

    void update_storesWhatTheSourcesAgreeOn()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(int, status);
        QFETCH(QList<int>, draws);
        TestHttpServer server;
        QVERIFY(server.start());
        QStringList sources;
        for (const int kind : {first, second}) {
            if (kind == None)
                continue;
            const QString path = QStringLiteral("/draws%1.csv").arg(sources.size() + 1);
            serve(server, path, Serve(kind));
            sources << server.url(path).toString();
        }
        QTemporaryDir scratch;
        const QString folder = prepare(scratch, sources);
        QVERIFY(!folder.isEmpty());

        const Run update = run({QStringLiteral("--data-dir"), folder, QStringLiteral("update")});
        QCOMPARE(update.status, status);
        for (const QString &source : sources)
            QVERIFY2(update.out.contains(source), qPrintable(update.out));
        QStringList expected;
        for (const int number : draws)
            expected << draw(number);
        QCOMPARE(stored(folder), expected);
    }

    // The commands on a save file print what the windows compute: the
    // judgement's own lines against the newest draw, and the figures.
    void commands_onASaveFile_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("outHas");
        const QString first = QStringLiteral("ロト６　１等　ホントニ！？　☆☆☆☆☆");
        const QString second = QStringLiteral("ロト６　２等　ホントニ！？　☆☆☆☆");
        QTest::newRow("judge") << QStringList{QStringLiteral("judge")}
                               << QStringList{QStringLiteral("   1  9 16 20 21 43 (5)\n"),
                                              first + QLatin1Char('\n') + second
                                                  + QStringLiteral("\n＝＝＝　判定終了です")};
        QTest::newRow("judge as csv")
            << QStringList{QStringLiteral("judge"), QStringLiteral("--format"),
                           QStringLiteral("csv")}
            << QStringList{QStringLiteral("\r\n1,loto6,6,0,") + first,
                           QStringLiteral("\r\n2,loto6,5,1,") + second};
        QTest::newRow("backtest of one draw") << QStringList{
            QStringLiteral("backtest"), QStringLiteral("--from"), QStringLiteral("2"),
            QStringLiteral("--to"),     QStringLiteral("2"),      QStringLiteral("--format"),
            QStringLiteral("csv")} << QStringList{QStringLiteral("\r\nloto6,2,1,1,1,0,0,0,")};
        QTest::newRow("chance") << QStringList{QStringLiteral("chance"), QStringLiteral("--format"),
                                               QStringLiteral("json")}
                                << QStringList{QStringLiteral("\"distinct_rows\": 2")};
    }

    void commands_onASaveFile()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, outHas);
        QTemporaryDir scratch;
        const QString folder = prepare(scratch, {});
        QVERIFY(!folder.isEmpty());
        QFile save(scratch.filePath(QStringLiteral("rows.loto")));
        QVERIFY(save.open(QIODevice::WriteOnly));
        QVERIFY(save.write("Zanbo,2,9\r\n1\t1\t9\t16\t20\t21\t43\r\n"
                           "2\t1\t9\t16\t20\t21\t5\r\n")
                > 0);
        save.close();
        arguments.insert(1, save.fileName());
        const Run result = run(QStringList{QStringLiteral("--data-dir"), folder} + arguments);
        QCOMPARE(result.status, 0);
        for (const QString &part : outHas)
            QVERIFY2(result.out.contains(part), qPrintable(result.out));
    }

    // A kill while the draws are written leaves the old history or the whole
    // new one, never a part.
    void update_killedWhileStoring_leavesOldOrWholeHistory()
    {
        constexpr int Draws = 99000;
        QStringList rows;
        const QDate first(2000, 10, 5);
        for (int n = 1; n <= Draws; ++n)
            rows << (n <= 2 ? draw(n)
                            : QStringLiteral("%1,%2,1,5,15,31,36,38,13")
                                  .arg(n)
                                  .arg(first.addDays(n % 8000).toString(
                                      QStringLiteral("yyyy/MM/dd"))));
        TestHttpServer server;
        QVERIFY(server.start());
        server.setBody(QStringLiteral("/big.csv"), body(rows));
        QTemporaryDir scratch;
        const QString folder = prepare(scratch,
                                       {server.url(QStringLiteral("/big.csv")).toString()});
        QVERIFY(!folder.isEmpty());

        QProcess process;
        process.setProcessEnvironment(environment(false));
        process.start(QStringLiteral(ZANBO_PROGRAM),
                      {QStringLiteral("--data-dir"), folder, QStringLiteral("update")});
        const QString journal = scratch.filePath(QStringLiteral("zanbo-draws.sqlite-journal"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(journal) || process.state() == QProcess::NotRunning,
                                 30000);
        // On a quick machine the store may be done before the journal is
        // seen; the history must be whole either way.
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            QVERIFY(process.waitForFinished(20000));
        }
        const QStringList after = stored(folder);
        QVERIFY2(after == QStringList({draw(1), draw(2)}) || after.size() == Draws,
                 qPrintable(QString::number(after.size())));
    }

    // The folder is made on first use, and the settings a close writes land
    // in it; SIGTERM closes the window as the user would.
    void dataDir_holdsTheSettingsWrittenAtClose()
    {
        QTemporaryDir scratch;
        const QString folder = scratch.filePath(QStringLiteral("new/data"));
        QProcess process;
        process.start(QStringLiteral(ZANBO_PROGRAM), {QStringLiteral("--data-dir"), folder});
        QTRY_VERIFY_WITH_TIMEOUT(
            QFileInfo(folder).isDir() || process.state() == QProcess::NotRunning, 20000);
        QCOMPARE(process.state(), QProcess::Running);
        process.terminate();
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(ReadIniValue(folder + QStringLiteral("/zanbo.ini"), QStringLiteral("ALL"),
                              QStringLiteral("KAI")),
                 QStringLiteral("10"));
    }

    // A folder the program cannot write is named at start-up, in Japanese,
    // before anything is silently not kept. (No one adds files to /proc.)
    void dataDir_unwritable_warnsAtStart()
    {
        QProcess process;
        process.start(QStringLiteral(ZANBO_PROGRAM),
                      {QStringLiteral("--data-dir"), QStringLiteral("/proc/")});
        process.setReadChannel(QProcess::StandardError);
        // Qt may warn first (no XDG_RUNTIME_DIR when run as root), so gather
        // every line until ours arrives.
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT((err += process.readAllStandardError()).contains("--data-dir")
                                     || process.state() == QProcess::NotRunning,
                                 20000);
        err += process.readAllStandardError();
        const QString said = QString::fromLocal8Bit(err);
        process.kill();
        process.waitForFinished(20000);
        QVERIFY2(said.contains(QStringLiteral("/proc"))
                     && said.contains(QStringLiteral("書き込めません")),
                 qPrintable(said));
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_CommandLine.moc"
