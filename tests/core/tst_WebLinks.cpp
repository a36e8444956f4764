#include "support/PatternFiles.h"

#include "core/GameTable.h"
#include "core/WebLinks.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class WebLinksTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void loadWebSettings_miniLotoWins_data();
    void loadWebSettings_miniLotoWins();
    void isWebAddress_data();
    void isWebAddress();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    GameTableType m_games;
};

void WebLinksTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_games = MakeGameTable(m_dir->path() + QLatin1Char('/'));
}

void WebLinksTest::loadWebSettings_miniLotoWins_data()
{
    QTest::addColumn<QStringList>("loto6");
    QTest::addColumn<QStringList>("mini");
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("download");

    const QString web = QStringLiteral("[WEB]");
    const QString builtInHome = BuiltInHomePageUrl();
    const QString builtInDownload = BuiltInDownloadBaseUrl();

    QTest::newRow("no files") << QStringList() << QStringList() << builtInHome << builtInDownload;
    QTest::newRow("loto6 only") << QStringList{web, QStringLiteral("WWW=http://l6.test/")}
                                << QStringList() << QStringLiteral("http://l6.test/")
                                << builtInDownload;
    QTest::newRow("both, mini loto wins")
        << QStringList{web, QStringLiteral("WWW=http://l6.test/"),
                       QStringLiteral("FTP=http://l6.test/d/")}
        << QStringList{web, QStringLiteral("WWW=http://ml.test/"),
                       QStringLiteral("FTP=http://ml.test/d/")}
        << QStringLiteral("http://ml.test/") << QStringLiteral("http://ml.test/d/");
    QTest::newRow("each key from where it is")
        << QStringList{web, QStringLiteral("FTP=http://l6.test/d/")}
        << QStringList{web, QStringLiteral("WWW=http://ml.test/")}
        << QStringLiteral("http://ml.test/") << QStringLiteral("http://l6.test/d/");
    QTest::newRow("file without WEB section")
        << QStringList{QStringLiteral("[PATTERN]"), QStringLiteral("PAT=0")}
        << QStringList{QStringLiteral("[MSG]"), QStringLiteral("MSG=0")} << builtInHome
        << builtInDownload;
}

void WebLinksTest::loadWebSettings_miniLotoWins()
{
    QFETCH(QStringList, loto6);
    QFETCH(QStringList, mini);
    if (!loto6.isEmpty())
        WritePatternFile(m_games[GameLoto6].PatternFilePath, loto6);
    if (!mini.isEmpty())
        WritePatternFile(m_games[GameMiniLoto].PatternFilePath, mini);

    const LinkTable links = LoadWebSettings(m_games);
    QTEST(links.HomePageUrl, "home");
    QTEST(links.DownloadBaseUrl, "download");
}

void WebLinksTest::isWebAddress_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("web");

    QTest::newRow("http") << QStringLiteral("http://example.test/zanbo/") << true;
    QTest::newRow("https") << QStringLiteral("https://example.test/") << true;
    QTest::newRow("upper-case scheme") << QStringLiteral("HTTPS://EXAMPLE.TEST/x") << true;
    QTest::newRow("built-in help page") << HelpPageUrl() << true;
    QTest::newRow("file") << QStringLiteral("file:///etc/passwd") << false;
    QTest::newRow("javascript") << QStringLiteral("javascript:alert(1)") << false;
    QTest::newRow("windows path") << QStringLiteral("C:\\x") << false;
    QTest::newRow("relative") << QStringLiteral("zanbo/help.htm") << false;
    QTest::newRow("no host") << QStringLiteral("http:///path") << false;
    QTest::newRow("empty") << QString() << false;
}

void WebLinksTest::isWebAddress()
{
    QFETCH(QString, address);
    QTEST(IsWebAddress(QUrl(address)), "web");
}

QTEST_GUILESS_MAIN(WebLinksTest)
#include "tst_WebLinks.moc"
