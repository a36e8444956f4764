#include "support/TestFiles.h"

#include "storage/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(DataFolderKind)

// Which folder holds the program's files: an installed program and one whose
// folder cannot be written use the per-user folder, --data-dir wins over both,
// and a build tree or a portable copy keeps them beside itself.
class DataFolderTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_readOnly;

    QString at(const QString &relative) const { return m_root.filePath(relative); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        for (const char *folder : {"build/app", "prefix/bin", "prefix/share/zanbo", "copy/usr/bin",
                                   "copy/usr/share/zanbo", "locked"})
            QVERIFY(QDir().mkpath(at(QLatin1String(folder))));
        QVERIFY(QFile::link(at(QStringLiteral("prefix/bin")), at(QStringLiteral("linked-bin"))));
        // Root writes wherever permission bits forbid it, but no one adds files to /proc.
        m_readOnly = MakeReadOnly(at(QStringLiteral("locked"))) ? at(QStringLiteral("locked"))
                                                                : QStringLiteral("/proc");
    }

    void cleanupTestCase() { MakeWritable(at(QStringLiteral("locked"))); }

    void choice_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<DataFolderKind>("kind");
        QTest::addColumn<QString>("folder");
        const QString build = QStringLiteral("build/app");
        const QString bin = QStringLiteral("prefix/bin");
        QTest::newRow("build tree") << build << QString() << DataFolderKind::BesideProgram << build;
        QTest::newRow("install prefix's bin")
            << bin << QString() << DataFolderKind::PerUser << QStringLiteral("home/Zanbo");
        QTest::newRow("install prefix's bin through a link and a trailing slash")
            << QStringLiteral("linked-bin/") << QString() << DataFolderKind::PerUser
            << QStringLiteral("home/Zanbo");
        QTest::newRow("installed tree unpacked elsewhere")
            << QStringLiteral("copy/usr/bin") << QString() << DataFolderKind::PerUser
            << QStringLiteral("home/Zanbo");
        QTest::newRow("program folder cannot be written")
            << QStringLiteral("<read-only>") << QString() << DataFolderKind::PerUser
            << QStringLiteral("home/Zanbo");
        QTest::newRow("--data-dir over an install")
            << bin << QStringLiteral("mine/") << DataFolderKind::CommandLine
            << QStringLiteral("mine");
        QTest::newRow("--data-dir over a build tree")
            << build << QStringLiteral("mine/../other") << DataFolderKind::CommandLine
            << QStringLiteral("other");
    }

    void choice()
    {
        QFETCH(QString, program);
        QFETCH(QString, commandLine);
        QFETCH(DataFolderKind, kind);
        QFETCH(QString, folder);
        DataFolderPlaces places;
        places.programFolder = program == QStringLiteral("<read-only>") ? m_readOnly : at(program);
        places.installedBinFolder = at(QStringLiteral("prefix/bin"));
        places.installedSamplesFromBin = QStringLiteral("../share/zanbo");
        places.commandLineFolder = commandLine.isEmpty() ? QString() : at(commandLine);
        places.perUserFolder = at(QStringLiteral("home/Zanbo"));
        const QStringList before = QDir(places.programFolder)
                                       .entryList(QDir::AllEntries | QDir::Hidden | QDir::System);

        const DataFolderChoice choice = ChooseDataFolder(places);
        QCOMPARE(choice.kind, kind);
        QCOMPARE(choice.folder, at(folder) + QLatin1Char('/'));
        // Choosing neither creates the folder nor leaves a probe behind.
        QVERIFY(!QFileInfo::exists(at(QStringLiteral("home"))));
        QVERIFY(!QFileInfo::exists(at(QStringLiteral("mine"))));
        // /proc lists every process, and other tests start and end theirs.
        if (places.programFolder != QStringLiteral("/proc"))
            QCOMPARE(QDir(places.programFolder)
                         .entryList(QDir::AllEntries | QDir::Hidden | QDir::System),
                     before);
    }

    void fileDialogFolder_data()
    {
        QTest::addColumn<QString>("lastUsed");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("expected");
        QTest::newRow("installed: documents") << ""
                                              << "home/Zanbo"
                                              << "docs";
        QTest::newRow("beside the program: its folder") << ""
                                                        << "build/app"
                                                        << "build/app";
        QTest::newRow("last used wins") << "locked"
                                        << "home/Zanbo"
                                        << "locked";
        QTest::newRow("last used gone") << "gone"
                                        << "home/Zanbo"
                                        << "docs";
    }

    void fileDialogFolder()
    {
        QFETCH(QString, lastUsed);
        QFETCH(QString, data);
        QFETCH(QString, expected);
        QVERIFY(QDir().mkpath(at(QStringLiteral("home/Zanbo"))));
        QCOMPARE(FileDialogFolder(lastUsed.isEmpty() ? QString() : at(lastUsed), at(data),
                                  at(QStringLiteral("home/Zanbo")), at(QStringLiteral("docs"))),
                 at(expected));
    }

    // A first start gets the samples; a file of the user's is never replaced,
    // and a folder already in use gets nothing back that the user removed.
    void samplesOnFirstStartOnly()
    {
        const QString samples = at(QStringLiteral("prefix/share/zanbo"));
        WriteFileBytes(samples + QStringLiteral("/a.txt"), "sample a");
        WriteFileBytes(samples + QStringLiteral("/b.txt"), "sample b");
        const QStringList names{QStringLiteral("a.txt"), QStringLiteral("b.txt")};
        DataFolderPlaces places;
        places.programFolder = at(QStringLiteral("prefix/bin"));
        places.installedSamplesFromBin = QStringLiteral("../share/zanbo");
        QCOMPARE(InstalledSampleFolder(places), samples + QLatin1Char('/'));
        places.programFolder = at(QStringLiteral("build/app"));
        QCOMPARE(InstalledSampleFolder(places), QString());

        const QString data = at(QStringLiteral("first/"));
        QVERIFY(QDir().mkpath(data));
        WriteFileBytes(data + QStringLiteral("b.txt"), "mine");
        QCOMPARE(PlaceSampleFiles(samples, data, names, QStringLiteral("zanbo.ini")),
                 QStringList{QStringLiteral("a.txt")});
        QCOMPARE(FileBytes(data + QStringLiteral("a.txt")), QByteArray("sample a"));
        QCOMPARE(FileBytes(data + QStringLiteral("b.txt")), QByteArray("mine"));

        QVERIFY(QFile::remove(data + QStringLiteral("a.txt")));
        WriteFileBytes(data + QStringLiteral("zanbo.ini"), "");
        QCOMPARE(PlaceSampleFiles(samples, data, names, QStringLiteral("zanbo.ini")),
                 QStringList());
        QVERIFY(!QFileInfo::exists(data + QStringLiteral("a.txt")));
    }

    // A second program on the folder is told; once the first lets go, the
    // folder is free again.
    void lock_secondHolderRefused()
    {
        const QString folder = at(QStringLiteral("locked-by-one"));
        QVERIFY(QDir().mkpath(folder));
        {
            const std::unique_ptr<QLockFile> first = LockDataFolder(folder);
            QVERIFY(first && first->isLocked());
            QVERIFY(!LockDataFolder(folder));
        }
        QVERIFY(LockDataFolder(folder));
    }
};

QTEST_GUILESS_MAIN(DataFolderTest)
#include "tst_DataFolder.moc"
