#include "storage/Module1.h"

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

    static Run run(const QStringList &arguments, bool display)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!display) {
            for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
                environment.remove(QLatin1String(name));
        }
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(ZANBO_PROGRAM), arguments);
        Run result;
        if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit) {
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
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--bogus")} << true << 2
                                        << QString() << QStringList{QStringLiteral("bogus"), usage};
        QTest::newRow("--data-dir with an empty folder")
            << QStringList{QStringLiteral("--data-dir"), QString()} << true << 2 << QString()
            << QStringList{usage};
        QTest::newRow("a file name")
            << QStringList{QStringLiteral("saved.loto")} << true << 2 << QString()
            << QStringList{QStringLiteral("saved.loto"), usage};
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
        QTRY_VERIFY_WITH_TIMEOUT(process.canReadLine() || process.state() == QProcess::NotRunning,
                                 20000);
        const QString said = QString::fromLocal8Bit(process.readAll());
        process.kill();
        process.waitForFinished(20000);
        QVERIFY2(said.contains(QStringLiteral("/proc"))
                     && said.contains(QStringLiteral("書き込めません")),
                 qPrintable(said));
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_CommandLine.moc"
