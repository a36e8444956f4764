#include "support/FakeDialogs.h"
#include "support/PatternFiles.h"
#include "support/Screenshots.h"

#include "TestHttpServer.h"
#include "net/HttpTransfer.h"
#include "storage/FilePathCommands.h"
#include "storage/Module1.h"
#include "ui/DlgDownload.h"
#include "ui/DlgJudge.h"
#include "ui/Form1.h"
#include "ui/TextBoxLines.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

#include <sys/stat.h>

using ServerSetup = std::function<void(TestHttpServer &)>;
Q_DECLARE_METATYPE(ServerSetup)

namespace {

const QString L6Path = QStringLiteral("/zanbo/zanbol6.txt");
const QString MlPath = QStringLiteral("/zanbo/zanboml.txt");
const QString L7Path = QStringLiteral("/zanbo/zanbol7.txt");

const QString Opening = QStringLiteral("開始ボタンをクリックするとネットワークに接続します。");
const QString Connecting = QStringLiteral("　　サーバーに接続中です・・・");
const QString PressClose = QStringLiteral("　　＝＝＝　閉じるボタンを押してください　＝＝＝");
const QString TimeoutLine = QStringLiteral("(NG)■ネットワークの接続でタイムアウトが発生しました■");
const QString ErrorLine = QStringLiteral("(NG)■ネットワークの接続でエラーが発生しました■");
const QString FailedLine = QStringLiteral("(NG)■パターンファイルのダウンロード に失敗しました■");
const QString L6Renewed = QStringLiteral(
    "(OK)ロト６　用ファイルのダウンロードは正常に終了しました。");
const QString MlRenewed = QStringLiteral(
    "(OK)ミニロト用ファイルのダウンロードは正常に終了しました。");
const QString L6UpToDate = QStringLiteral("(OK)ロト６　用ファイルは最新です。□□□□");
const QString MlUpToDate = QStringLiteral("(OK)ミニロト用ファイルは最新です。□□□□");
const QString L7Renewed = QStringLiteral(
    "(OK)ロト７　用ファイルのダウンロードは正常に終了しました。");
const QString L7UpToDate = QStringLiteral("(OK)ロト７　用ファイルは最新です。□□□□");
const QString L6NotOk = QStringLiteral(
    "(NG)■ロト６ 用ファイルのダウンロードは正常に終了しませんでした■");
const QString MlNotOk = QStringLiteral(
    "(NG)■ミニロト 用ファイルのダウンロードは正常に終了しませんでした■");
const QString L7NotOk = QStringLiteral(
    "(NG)■ロト７ 用ファイルのダウンロードは正常に終了しませんでした■");
const QString ResponseReceivedLine = QStringLiteral(" 8: サーバーからの応答を正常に受信しました。");
const QString ErrorStateLine = QStringLiteral("11: サーバーとの通信中にエラーが発生しました。");
const QString CompletedLine = QStringLiteral(
    "12: 要求処理が完了し、すべてのデータが受信されました。");

QString AddressLine(const TestHttpServer &server, const QString &path)
{
    return QStringLiteral("接続先: ") + server.url(path).toDisplayString();
}

QByteArray Sample(const char *name)
{
    return FileBytes(QStringLiteral(ZANBO_SOURCE_DIR "/data/") + QLatin1String(name));
}
// A sample without the mark of its made-up draw, which the judgement never uses.
QByteArray RealDraws(const char *name)
{
    return Sample(name).replace("SAMPLE=1\r\n", "");
}
const QString SampleMessage = QStringLiteral("      2026/12/05 版 サンプルパターン");

// A small pattern file with one pattern and the given MSG1 and draw number.
QByteArray PatternFile(const QString &msg1, int draw = 100)
{
    return Cp932Lines(QStringLiteral("[TITLE]\nCOPYRIGHT=ZANBO\n[MSG]\nMSG=1\nMSG1=%1\n"
                                     "[PATTERN]\nPAT=1\nPAT1=1111133333\n[PATTERNNAME]\nPAT1=試し\n"
                                     "[TOSENNUM]\nNUMID=%2\nDATE=2005/10/06\n"
                                     "N1=1\nN2=2\nN3=3\nN4=4\nN5=5\nN6=6\nN0=7\n")
                          .arg(msg1)
                          .arg(draw));
}

QStringList Lines(const QPlainTextEdit *box)
{
    QStringList lines = MessageText(box).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

// Text1 after one run whose report is report.
QStringList Run(const QStringList &report)
{
    return QStringList{Connecting} + report + QStringList{QString(), PressClose};
}

} // namespace

class DlgDownloadTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    FakeDialogs m_dialogs;
    std::unique_ptr<TestHttpServer> m_server;

    QString folder() const { return AddPathSeparator(m_dir->path()); }
    QString l6File() const { return folder() + QStringLiteral("zanbol6.txt"); }
    QString mlFile() const { return folder() + QStringLiteral("zanboml.txt"); }
    QString l7File() const { return folder() + QStringLiteral("zanbol7.txt"); }
    QString ini() const { return folder() + QStringLiteral("zanbo.ini"); }

    // The main window with the download folder on the test server.
    std::unique_ptr<Form1> start(const QString &base = QString())
    {
        auto w = std::make_unique<Form1>(folder(), m_dialogs);
        w->Links.DownloadBaseUrl = base.isNull()
                                       ? m_server->url(QStringLiteral("/zanbo/")).toString()
                                       : base;
        return w;
    }
    void serveSamples()
    {
        m_server->setBody(L6Path, Sample("zanbol6.txt"));
        m_server->setBody(MlPath, Sample("zanboml.txt"));
        m_server->setBody(L7Path, Sample("zanbol7.txt"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(!Sample("zanbol6.txt").isEmpty());
        QVERIFY(!Sample("zanboml.txt").isEmpty());
        QVERIFY(!Sample("zanbol7.txt").isEmpty());
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        WriteFileBytes(ini(), Cp932Lines(QStringLiteral("[ETC]\nNETTIMEOUT=1\n")));
        m_server = std::make_unique<TestHttpServer>();
        QVERIFY(m_server->start());
        m_dialogs = FakeDialogs();
    }

    void firstUse_bothRenewed_secondRunRenewedAgain_mainWindowRebuilt()
    {
        serveSamples();
        auto w = start();
        w->CmbSwitch->setCurrentIndex(GameMiniLoto);
        w->CmbSwitch_Click();
        QCOMPARE(w->CmbPattern->count(), 1);
        {
            DlgDownload dialog(*w, w.get());
            QCOMPARE(dialog.windowTitle(), QStringLiteral("パターンファイルのダウンロード"));
            QCOMPARE(dialog.PreviousMessage[0], AbsentMarker());
            QVERIFY(dialog.Text2->isHidden());
            QCOMPARE(dialog.Text1->height(), 137);
            // The files go to the data folder, not to where the program is installed.
            QVERIFY2(
                dialog.Label1->text().contains(QDir::toNativeSeparators(QDir::cleanPath(folder()))),
                qPrintable(dialog.Label1->text()));

            dialog.OKButton_Click();
            const QStringList report{L6Renewed,     SampleMessage, MlRenewed,
                                     SampleMessage, L7Renewed,     SampleMessage};
            QCOMPARE(Lines(dialog.Text1), QStringList{Opening} + Run(report));
            QCOMPARE(FileBytes(l6File()), Sample("zanbol6.txt"));
            QCOMPARE(FileBytes(mlFile()), Sample("zanboml.txt"));
            QCOMPARE(FileBytes(l7File()), Sample("zanbol7.txt"));
            // Hidden or not, the detail box collected every step.
            QVERIFY(Lines(dialog.Text2).contains(ResponseReceivedLine));
            QCOMPARE(Lines(dialog.Text2).constLast(), CompletedLine);
            // Each game's steps follow the address they were for.
            const QStringList detail = Lines(dialog.Text2);
            QCOMPARE(detail.first(), AddressLine(*m_server, L6Path));
            const qsizetype mlAddress = detail.indexOf(AddressLine(*m_server, MlPath));
            QVERIFY(mlAddress > 1);
            QCOMPARE(detail.at(mlAddress - 1), CompletedLine);
            const qsizetype l7Address = detail.indexOf(AddressLine(*m_server, L7Path));
            QVERIFY(l7Address > mlAddress + 1);
            QCOMPARE(detail.at(l7Address - 1), CompletedLine);
            QCOMPARE(detail.count(AddressLine(*m_server, L6Path)), 1);
            QVERIFY(dialog.OKButton->isEnabled() && dialog.CancelButton->isEnabled());
            QVERIFY(!QApplication::overrideCursor());

            // The main window reloaded the game on show.
            QCOMPARE(w->currentGame(), GameMiniLoto);
            QCOMPARE(w->CmbPattern->count(), 1 + w->Patterns.PatternCount[GameMiniLoto]);
            QVERIFY(w->CmbPattern->count() > 1);
            QVERIFY(w->TxtMessage->toPlainText().startsWith(SampleMessage.trimmed()));

            // Compared with what the files said when the dialog opened.
            dialog.OKButton_Click();
            QCOMPARE(Lines(dialog.Text1), QStringList{Opening} + Run(report) + Run(report));

            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            dialog.ChkShousai->setChecked(true);
            QCOMPARE(dialog.Text1->height(), 73);
            QVERIFY(!dialog.Text2->isHidden());
            QCOMPARE(dialog.Text2->geometry().top(), dialog.Text1->geometry().top() + 80);
            QCOMPARE(dialog.Text2->height(), 57);
            SaveScreenshot(&dialog, QStringLiteral("download_ok_detail"));
            dialog.ChkShousai->setChecked(false);
            QCOMPARE(dialog.Text1->height(), 137);
            QVERIFY(dialog.Text2->isHidden());

            QCOMPARE(ReadIniValue(ini(), QStringLiteral("OPT"), QStringLiteral("NOTOSEN")),
                     AbsentMarker());
            dialog.CancelButton_Click();
        }
        QCOMPARE(ReadIniValue(ini(), QStringLiteral("OPT"), QStringLiteral("NOTOSEN")),
                 QStringLiteral("0"));
    }

    void report_data()
    {
        QTest::addColumn<QByteArray>("oldL6"); // null: no file
        QTest::addColumn<QByteArray>("oldMl");
        QTest::addColumn<QByteArray>("oldL7");
        // The server has the LOTO7 sample unless setup routes its path anew.
        QTest::addColumn<ServerSetup>("setup");
        QTest::addColumn<QString>("base"); // null: the test server's /zanbo/
        QTest::addColumn<QStringList>("report");
        QTest::addColumn<QByteArray>("newL6");
        QTest::addColumn<QByteArray>("newMl");
        QTest::addColumn<QByteArray>("newL7");
        QTest::addColumn<int>("mlRequests");
        QTest::addColumn<int>("l7Requests");
        QTest::addColumn<QString>("stateLine"); // lines, split by '|', that must appear in Text2

        const QByteArray l6 = Sample("zanbol6.txt");
        const QByteArray ml = Sample("zanboml.txt");
        const QByteArray l7 = Sample("zanbol7.txt");
        const QByteArray old = PatternFile(QStringLiteral("旧版"));
        const QByteArray none;
        const ServerSetup samples = [l6, ml](TestHttpServer &s) {
            s.setBody(L6Path, l6);
            s.setBody(MlPath, ml);
        };
        const QString server;

        QTest::newRow("all up to date") << l6 << ml << l7 << samples << server
                                        << QStringList{L6UpToDate, MlUpToDate, L7UpToDate} << l6
                                        << ml << l7 << 1 << 1 << CompletedLine;
        QTest::newRow("LOTO6 renewed, the others up to date")
            << old << ml << l7 << samples << server
            << QStringList{L6Renewed, SampleMessage, MlUpToDate, L7UpToDate} << l6 << ml << l7 << 1
            << 1 << CompletedLine;
        QTest::newRow("error page for Mini LOTO: previous copy back")
            << none << old << none
            << ServerSetup([l6](TestHttpServer &s) { s.setBody(L6Path, l6); }) << server
            << QStringList{L6Renewed, SampleMessage, MlNotOk, L7Renewed, SampleMessage, FailedLine}
            << l6 << old << l7 << 1 << 1
            << CompletedLine
                   + QStringLiteral("|取り込みませんでした（HTTP 404）: "
                                    "サーバーがファイルを返しませんでした");
        QTest::newRow("error page for LOTO6: no file left")
            << none << none << l7 << ServerSetup([ml](TestHttpServer &s) { s.setBody(MlPath, ml); })
            << server << QStringList{L6NotOk, MlRenewed, SampleMessage, L7UpToDate, FailedLine}
            << none << ml << l7 << 1 << 1 << CompletedLine;
        QTest::newRow("server without the LOTO7 file: LOTO7 alone reported")
            << l6 << ml << old << ServerSetup([l6, ml](TestHttpServer &s) {
                   s.setBody(L6Path, l6);
                   s.setBody(MlPath, ml);
                   s.setBody(L7Path, TestHttpServer::notFoundPage(), 404);
               })
            << server << QStringList{L6UpToDate, MlUpToDate, L7NotOk, FailedLine} << l6 << ml << old
            << 1 << 1
            << CompletedLine
                   + QStringLiteral("|取り込みませんでした（HTTP 404）: "
                                    "サーバーがファイルを返しませんでした");
        QByteArray oneBonus = l7;
        oneBonus.replace("N00=27\r\n", "");
        QTest::newRow("LOTO7 file with one bonus number")
            << l6 << ml << old << ServerSetup([l6, ml, oneBonus](TestHttpServer &s) {
                   s.setBody(L6Path, l6);
                   s.setBody(MlPath, ml);
                   s.setBody(L7Path, oneBonus);
               })
            << server << QStringList{L6UpToDate, MlUpToDate, L7NotOk, FailedLine} << l6 << ml << old
            << 1 << 1
            << CompletedLine
                   + QStringLiteral("|取り込みませんでした（HTTP 200）: パターンファイルに"
                                    "このくじの当選番号がありません");
        QTest::newRow("page without the title mark, status 200")
            << old << old << old << ServerSetup([ml](TestHttpServer &s) {
                   s.setBody(L6Path, Cp932Lines(QStringLiteral(
                                         "[TITLE]\nCOPYRIGHT=zanbo\n[MSG]\nMSG1=x\n")));
                   s.setBody(MlPath, ml);
               })
            << server
            << QStringList{L6NotOk, MlRenewed, SampleMessage, L7Renewed, SampleMessage, FailedLine}
            << old << ml << l7 << 1 << 1
            << CompletedLine
                   + QStringLiteral("|取り込みませんでした（HTTP 200）: "
                                    "受信した内容がパターンファイルではありません");
        QTest::newRow("empty body") << old << ml << l7 << ServerSetup([ml](TestHttpServer &s) {
            s.setBody(L6Path, QByteArray());
            s.setBody(MlPath, ml);
        }) << server << QStringList{L6NotOk, MlUpToDate, L7UpToDate, FailedLine}
                                    << old << ml << l7 << 1 << 1
                                    << CompletedLine
                                           + QStringLiteral("|取り込みませんでした（HTTP 200）: "
                                                            "受信した内容が空です");
        QByteArray huge = old + QByteArray(HttpTransfer::MaxBodyBytes, ';');
        QTest::newRow("oversized LOTO6 body: nothing stored, the others still fetched")
            << old << old << old << ServerSetup([huge, ml](TestHttpServer &s) {
                   s.setBody(L6Path, huge);
                   s.setBody(MlPath, ml);
               })
            << server << QStringList{ErrorLine, L6NotOk,       MlRenewed, SampleMessage,
                                     L7Renewed, SampleMessage, FailedLine}
            << old << ml << l7 << 1 << 1
            << ErrorStateLine
                   + QStringLiteral("|取り込みませんでした（HTTP 200）: 受信データが 1048576 "
                                    "バイトを超えています");
        QTest::newRow("oversized Mini LOTO body: error reported")
            << old << old << l7 << ServerSetup([huge, l6](TestHttpServer &s) {
                   s.setBody(L6Path, l6);
                   s.setBody(MlPath, huge);
               })
            << server
            << QStringList{L6Renewed, SampleMessage, ErrorLine, MlNotOk, L7UpToDate, FailedLine}
            << l6 << old << l7 << 1 << 1 << ErrorStateLine;
        QTest::newRow("redirect followed")
            << old << ml << l7 << ServerSetup([l6, ml](TestHttpServer &s) {
                   s.setRedirect(L6Path, QStringLiteral("/moved/zanbol6.txt"), 301);
                   s.setBody(QStringLiteral("/moved/zanbol6.txt"), l6);
                   s.setBody(MlPath, ml);
               })
            << server << QStringList{L6Renewed, SampleMessage, MlUpToDate, L7UpToDate} << l6 << ml
            << l7 << 1 << 1 << CompletedLine;
        const QByteArray longOld = old + Cp932Lines(QStringLiteral(";古い内容\n").repeated(500));
        const QByteArray shortNew = PatternFile(QStringLiteral("新版"));
        QTest::newRow("shorter new file leaves no trace of the old")
            << longOld << ml << l7 << ServerSetup([shortNew, ml](TestHttpServer &s) {
                   s.setBody(L6Path, shortNew);
                   s.setBody(MlPath, ml);
               })
            << server
            << QStringList{L6Renewed, QStringLiteral("      新版"), MlUpToDate, L7UpToDate}
            << shortNew << ml << l7 << 1 << 1 << CompletedLine;
        QTest::newRow("LOTO6 times out: no later game requested")
            << old << old << old << ServerSetup([ml](TestHttpServer &s) {
                   s.setStall(L6Path);
                   s.setBody(MlPath, ml);
               })
            << server << QStringList{TimeoutLine, L6NotOk, MlNotOk, L7NotOk, FailedLine} << old
            << old << old << 0 << 0 << ErrorStateLine;
        QTest::newRow("Mini LOTO times out: LOTO7 never requested")
            << old << old << old << ServerSetup([l6](TestHttpServer &s) {
                   s.setBody(L6Path, l6);
                   s.setStall(MlPath);
               })
            << server
            << QStringList{L6Renewed, SampleMessage, TimeoutLine, MlNotOk, L7NotOk, FailedLine}
            << l6 << old << old << 1 << 0 << ErrorStateLine;
        const QStringList allFailed{ErrorLine, L6NotOk, ErrorLine, MlNotOk,
                                    ErrorLine, L7NotOk, FailedLine};
        QTest::newRow("nothing listening")
            << old << old << old << samples
            << QStringLiteral("http://127.0.0.1:%1/zanbo/").arg(TestHttpServer::unusedPort())
            << allFailed << old << old << old << 0 << 0 << ErrorStateLine;
        QTest::newRow("not a web address")
            << old << old << old << samples << QStringLiteral("file:///tmp/zanbo/") << allFailed
            << old << old << old << 0 << 0 << ErrorStateLine;

        // Replies a server may give that are no whole pattern file: each is a
        // failed download of that game, and its good file stays.
        const ServerSetup cutShort = [l6, ml](TestHttpServer &s) {
            s.setBody(L6Path, l6.left(l6.size() / 2), 200, TestHttpServer::Framing::UntilClose);
            s.setBody(MlPath, ml);
        };
        QTest::newRow("body without length cut half-way")
            << old << ml << l7 << cutShort << server
            << QStringList{L6NotOk, MlUpToDate, L7UpToDate, FailedLine} << old << ml << l7 << 1 << 1
            << CompletedLine
                   + QStringLiteral(
                       "|取り込みませんでした（HTTP 200）: パターンファイルが途中で切れているか、"
                       "項目が欠けています");
        QTest::newRow("status 500 with a pattern body")
            << old << ml << l7 << ServerSetup([l6, ml](TestHttpServer &s) {
                   s.setBody(L6Path, l6, 500);
                   s.setBody(MlPath, ml);
               })
            << server << QStringList{L6NotOk, MlUpToDate, L7UpToDate, FailedLine} << old << ml << l7
            << 1 << 1 << CompletedLine;
        QTest::newRow("title mark only")
            << old << old << old << ServerSetup([l6](TestHttpServer &s) {
                   s.setBody(L6Path, l6);
                   s.setBody(MlPath, Cp932Lines(QStringLiteral("[TITLE]\nCOPYRIGHT=ZANBO\n")));
               })
            << server
            << QStringList{L6Renewed, SampleMessage, MlNotOk, L7Renewed, SampleMessage, FailedLine}
            << l6 << old << l7 << 1 << 1 << CompletedLine;
        QTest::newRow("no draw for the game")
            << old << old << l7 << ServerSetup([ml](TestHttpServer &s) {
                   // The Mini LOTO file has no sixth number for a LOTO6 draw.
                   s.setBody(L6Path, ml);
                   s.setBody(MlPath, ml);
               })
            << server << QStringList{L6NotOk, MlRenewed, SampleMessage, L7UpToDate, FailedLine}
            << old << ml << l7 << 1 << 1
            << CompletedLine
                   + QStringLiteral("|取り込みませんでした（HTTP 200）: パターンファイルに"
                                    "このくじの当選番号がありません");
        QTest::newRow("second game reset after the first was renewed")
            << old << old << old << ServerSetup([l6](TestHttpServer &s) {
                   s.setBody(L6Path, l6);
                   s.setReset(MlPath);
               })
            << server << QStringList{L6Renewed, SampleMessage, ErrorLine, MlNotOk,
                                     L7Renewed, SampleMessage, FailedLine}
            << l6 << old << l7 << 1 << 1 << ErrorStateLine;
    }

    void report()
    {
        QFETCH(QByteArray, oldL6);
        QFETCH(QByteArray, oldMl);
        QFETCH(QByteArray, oldL7);
        QFETCH(ServerSetup, setup);
        QFETCH(QString, base);
        QFETCH(QStringList, report);
        QFETCH(QByteArray, newL6);
        QFETCH(QByteArray, newMl);
        QFETCH(QByteArray, newL7);
        QFETCH(int, mlRequests);
        QFETCH(int, l7Requests);
        QFETCH(QString, stateLine);

        const QString files[] = {l6File(), mlFile(), l7File()};
        const QByteArray before[] = {oldL6, oldMl, oldL7};
        const QByteArray after[] = {newL6, newMl, newL7};
        for (int g = 0; g < GameCount; ++g) {
            if (!before[g].isNull())
                WriteFileBytes(files[g], before[g]);
        }
        m_server->setBody(L7Path, Sample("zanbol7.txt"));
        setup(*m_server);
        auto w = start(base);
        DlgDownload dialog(*w, w.get());
        dialog.OKButton_Click();

        QCOMPARE(Lines(dialog.Text1), QStringList{Opening} + Run(report));
        for (const QString &line : stateLine.split(u'|'))
            QVERIFY2(Lines(dialog.Text2).contains(line),
                     qPrintable(Lines(dialog.Text2).join(u'|')));
        int filesLeft = 1; // the settings
        for (int g = 0; g < GameCount; ++g) {
            QCOMPARE(QFile::exists(files[g]), !after[g].isNull());
            QCOMPARE(FileBytes(files[g]), after[g]);
            filesLeft += int(!after[g].isNull());
        }
        QCOMPARE(m_server->requestCount(MlPath), mlRequests);
        QCOMPARE(m_server->requestCount(L7Path), l7Requests);
        // No temporary file of the atomic writes is left behind.
        QCOMPARE(QDir(folder()).entryList(QDir::Files).size(), filesLeft);
    }

    void settingsValues_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("timeout");
        QTest::addColumn<QString>("notosen");
        QTest::newRow("both absent") << QString() << 30 << QStringLiteral("0");
        QTest::newRow("both set") << QStringLiteral("[ETC]\nNETTIMEOUT=7\n[OPT]\nNOTOSEN=5\n") << 7
                                  << QStringLiteral("5");
        QTest::newRow("not numbers") << QStringLiteral("[ETC]\nNETTIMEOUT=abc\n[OPT]\nNOTOSEN=1x\n")
                                     << 30 << QStringLiteral("0");
        QTest::newRow("a day") << QStringLiteral("[ETC]\nNETTIMEOUT=86400\n") << 86400
                               << QStringLiteral("0");
        QTest::newRow("out of range, negative")
            << QStringLiteral("[ETC]\nNETTIMEOUT=0\n[OPT]\nNOTOSEN=-3\n") << 30
            << QStringLiteral("-3");
    }

    void settingsValues()
    {
        QFETCH(QString, settings);
        QFETCH(int, timeout);
        QFETCH(QString, notosen);
        WriteFileBytes(ini(), Cp932Lines(settings));
        auto w = start(QStringLiteral("http://127.0.0.1:%1/").arg(TestHttpServer::unusedPort()));
        {
            DlgDownload dialog(*w, w.get());
            dialog.OKButton_Click();
            QCOMPARE(dialog.TimeoutSeconds, timeout);
            QCOMPARE(dialog.Inet1->requestTimeout(), timeout);
            dialog.close();
        }
        QCOMPARE(ReadIniValue(ini(), QStringLiteral("OPT"), QStringLiteral("NOTOSEN")), notosen);
    }

    // The download button's modal path; the run cannot be closed while it goes on.
    void downloadButton_modal_closeRefusedWhileRunning()
    {
        WriteFileBytes(mlFile(), PatternFile(QStringLiteral("旧版")));
        m_server->setBody(L6Path, Sample("zanbol6.txt"));
        auto w = start();
        bool ran = false;
        QTimer::singleShot(0, qApp, [&] {
            auto *dialog = qobject_cast<DlgDownload *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->objectName(), QStringLiteral("DlgDownload"));
            QVERIFY(!dialog->Image1->pixmap().isNull());
            bool tried = false;
            connect(dialog->Inet1, &HttpTransfer::stateChanged, dialog, [&, dialog] {
                if (tried)
                    return;
                tried = true;
                QVERIFY(!dialog->OKButton->isEnabled() && !dialog->CancelButton->isEnabled());
                QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
                dialog->close();
                dialog->reject();
                QTest::keyClick(dialog, Qt::Key_Escape);
                QVERIFY(dialog->isVisible());
            });
            QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
            QVERIFY(tried);
            QVERIFY(dialog->isVisible());
            QCOMPARE(Lines(dialog->Text1),
                     QStringList{Opening}
                         + Run({L6Renewed, SampleMessage, MlNotOk, L7NotOk, FailedLine}));
            SaveScreenshot(dialog, QStringLiteral("download_failed"));
            // The details say why the file was refused.
            dialog->ChkShousai->setChecked(true);
            QVERIFY2(Lines(dialog->Text2).join(u'|').contains(QStringLiteral("（HTTP 404）")),
                     qPrintable(Lines(dialog->Text2).join(u'|')));
            SaveScreenshot(dialog, QStringLiteral("download_failed_reason"));
            ran = true;
            QTest::mouseClick(dialog->CancelButton, Qt::LeftButton);
        });
        w->CmdReadPattern_Click();
        QVERIFY(ran);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!w->findChild<DlgDownload *>());
        QCOMPARE(ReadIniValue(ini(), QStringLiteral("OPT"), QStringLiteral("NOTOSEN")),
                 QStringLiteral("0"));
        QCOMPARE(FileBytes(mlFile()), PatternFile(QStringLiteral("旧版")));
    }

    // Opening a pipe for reading would wait for a writer forever.
    void namedPipes_blockNeitherStartNorDownloadNorJudgement()
    {
        QFile::remove(ini());
        for (const QString &path : {ini(), l6File(), mlFile()})
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        m_server->setBody(L6Path, RealDraws("zanbol6.txt"));
        {
            auto w = start();
            QCOMPARE(w->Patterns.PatternCount[GameLoto6], 0);
            w->CmdJudge_Click();
            DlgJudge *judge = w->judgeDialog();
            QVERIFY(judge);
            QTimer::singleShot(0, qApp, [] {
                auto *dialog = qobject_cast<DlgDownload *>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                dialog->OKButton->click();
                QCOMPARE(Lines(dialog->Text1),
                         QStringList{Opening}
                             + Run({L6Renewed, SampleMessage, MlNotOk, L7NotOk, FailedLine}));
                dialog->CancelButton->click();
            });
            judge->CmdDownload_Click();
            // The good download replaced its pipe; the draw it brought is judged.
            QVERIFY(QFileInfo(l6File()).isFile());
            QCOMPARE(judge->LblJ[0]->text(), QStringLiteral("2056回　(抽選日 2026/12/03)"));
            judge->OKButton_Click();
        }
        // Nothing was written into the pipes, at closing either.
        QVERIFY(!QFileInfo(ini()).isFile() && QFileInfo::exists(ini()));
        QVERIFY(!QFileInfo(mlFile()).isFile() && QFileInfo::exists(mlFile()));
    }

    void judgeDialog_showsNewDrawAfterItsDownloadButton()
    {
        WriteFileBytes(l6File(), PatternFile(QStringLiteral("旧版"), 250));
        WriteFileBytes(mlFile(), PatternFile(QStringLiteral("旧版"), 330));
        m_server->setBody(L6Path, RealDraws("zanbol6.txt"));
        m_server->setBody(MlPath, RealDraws("zanboml.txt"));
        m_server->setBody(L7Path, RealDraws("zanbol7.txt"));
        auto w = start();
        w->CmdJudge_Click();
        DlgJudge *judge = w->judgeDialog();
        QVERIFY(judge);
        QVERIFY(judge->LblJ[0]->text().startsWith(QStringLiteral("250回")));
        QVERIFY(!judge->LblJ[2]->text().startsWith(QStringLiteral("605回")));
        QTimer::singleShot(0, qApp, [] {
            auto *dialog = qobject_cast<DlgDownload *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->OKButton->click();
            dialog->CancelButton->click();
        });
        judge->CmdDownload_Click();
        QCOMPARE(judge->LblJ[0]->text(), QStringLiteral("2056回　(抽選日 2026/12/03)"));
        QVERIFY(judge->LblJ[1]->text().startsWith(QStringLiteral("1372回")));
        QCOMPARE(judge->LblJ[2]->text(), QStringLiteral("605回　(抽選日 2026/12/04)"));
    }
};

QTEST_MAIN(DlgDownloadTest)
#include "tst_DlgDownload.moc"
