#include "support/FakeDialogs.h"
#include "support/Modal.h"
#include "support/PatternFiles.h"
#include "support/Screenshots.h"

#include "TestHttpServer.h"
#include "storage/DrawHistory.h"
#include "storage/FilePathCommands.h"
#include "storage/Settings.h"
#include "ui/DlgEnterDraw.h"
#include "ui/DlgHistory.h"
#include "ui/DlgJudge.h"
#include "ui/Form1.h"
#include "ui/ResultGrid.h"
#include "ui/TextBoxLines.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

QString Fixture(const char *name)
{
    return QStringLiteral(ZANBO_SOURCE_DIR "/tests/data/") + QLatin1String(name);
}

// Draw number, date and numbers of the grid's row, as the grid shows them.
QString GridRow(const DlgHistory &dialog, int row)
{
    const QAbstractItemModel *model = dialog.GridHistory->model();
    QStringList cells;
    for (int c = 0; c < 4; ++c)
        cells << model->index(row, c).data().toString();
    return cells.join(QLatin1Char('|'));
}

DrawRecord StoredDraw(int number, QList<int> mains, int bonus, const char *date = "2000-10-12")
{
    DrawRecord draw;
    draw.DrawNumber = number;
    draw.Date = QDate::fromString(QLatin1String(date), Qt::ISODate);
    draw.MainCount = 6;
    for (int i = 0; i < 6; ++i)
        draw.Numbers[size_t(i)] = mains.at(i);
    draw.Bonus = bonus;
    draw.Source = QStringLiteral("manual");
    draw.StoredAt = QDateTime::fromSecsSinceEpoch(1600000000, Qt::UTC);
    return draw;
}

QStringList Words(const char *text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '));
}

} // namespace

// The history dialog driven as a user would: import with its questions,
// export, typing a draw in, a damaged history, and the judgement's draw.
class DlgHistoryTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    FakeDialogs m_dialogs;

    QString folder() const { return AddPathSeparator(m_dir.path()); }
    std::unique_ptr<Form1> start() { return std::make_unique<Form1>(folder(), m_dialogs); }
    // The draws 1 and 2 of the LOTO6 fixture, draw 2 with another sixth number.
    void storeEarlierVersion(Form1 &w)
    {
        QVERIFY(w.History().store({StoredDraw(1, {2, 8, 10, 13, 27, 30}, 39, "2000-10-05"),
                                   StoredDraw(2, {1, 9, 16, 20, 21, 42}, 5)}));
    }

private slots:
    void init()
    {
        QDir dir(m_dir.path());
        for (const QString &name : dir.entryList(QDir::Files))
            dir.remove(name);
        m_dialogs = FakeDialogs();
    }

    void import_conflict_keptOrReplacedAsTheUserSays_data()
    {
        QTest::addColumn<bool>("replace");
        QTest::newRow("keep the stored draw") << false;
        QTest::newRow("replace it") << true;
    }

    void import_conflict_keptOrReplacedAsTheUserSays()
    {
        QFETCH(bool, replace);
        auto w = start();
        storeEarlierVersion(*w);
        DlgHistory dialog(*w, w.get());
        m_dialogs.fileNames = {Fixture("loto6-utf8-bom-crlf.csv")};
        m_dialogs.confirmAnswers = {true, replace};
        QTest::mouseClick(dialog.CmdImport, Qt::LeftButton);

        QCOMPARE(m_dialogs.questions.size(), 2);
        QVERIFY(m_dialogs.questions[0].text.contains(QStringLiteral("ロト６の当選番号のファイル")));
        // Every game is offered, whatever was detected.
        QCOMPARE(m_dialogs.choiceLists.value(0),
                 (QStringList{QStringLiteral("ロト６"), QStringLiteral("ミニロト"),
                              QStringLiteral("ロト７")}));
        QVERIFY(m_dialogs.questions[1].text.contains(
            QStringLiteral("登録済み: 第2回 2000/10/12   1  9 16 20 21 42 (5)")));
        QVERIFY(m_dialogs.questions[1].text.contains(
            QStringLiteral("取込内容: 第2回 2000/10/12   1  9 16 20 21 43 (5)")));
        QVERIFY(m_dialogs.warnings.isEmpty());

        const QString report = dialog.TxtReport->toPlainText();
        QVERIFY(
            report.contains(QStringLiteral("新規 2件、登録済み 1件、食い違い 1件、不正な行 0件")));
        QVERIFY(report.contains(replace ? QStringLiteral("■食い違い（取込内容で置き換えました）")
                                        : QStringLiteral("■食い違い（登録済みのまま残しました）")));
        QCOMPARE(dialog.GridHistory->model()->rowCount(), 4);
        QCOMPARE(GridRow(dialog, 0), QStringLiteral("4|2000/10/26|16 18 26 27 34 40|13"));
        // Yen with separators, as in every table.
        QCOMPARE(dialog.GridHistory->model()->index(1, 6).data().toString(),
                 QStringLiteral("213,410,200"));
        // Room for the longest draw number and its margins.
        QVERIFY(dialog.GridHistory->columnWidth(0)
                >= dialog.GridHistory->fontMetrics().horizontalAdvance(QStringLiteral("99999"))
                       + 8);
        QCOMPARE(GridRow(dialog, 2), replace ? QStringLiteral("2|2000/10/12|01 09 16 20 21 43|05")
                                             : QStringLiteral("2|2000/10/12|01 09 16 20 21 42|05"));
        if (!replace) {
            dialog.show();
            SaveScreenshot(&dialog, QStringLiteral("history_import_conflict"));
        }
    }

    void import_stopsBeforeStoring_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("warnings");
        QTest::addColumn<QString>("says");
        QTest::addColumn<QByteArray>("bytes"); // written to file first unless null
        QTest::addColumn<bool>("stop");        // the stop button pressed during the read
        QTest::newRow("game not confirmed")
            << Fixture("mini-cp932-lf.csv") << 1 << 0 << QStringLiteral("取込を取りやめました")
            << QByteArray() << false;
        QTest::newRow("no draw columns")
            << Fixture("../../README.md") << 0 << 1 << QStringLiteral("として読めません")
            << QByteArray() << false;
        QTest::newRow("missing file") << folder() + QStringLiteral("nothing.csv") << 0 << 1
                                      << QStringLiteral("を読めません") << QByteArray() << false;
        QTest::newRow("empty file")
            << folder() + QStringLiteral("empty.csv") << 0 << 1
            << QStringLiteral("は空のファイルです") << QByteArray("") << false;
        QTest::newRow("header alone")
            << folder() + QStringLiteral("header.csv") << 0 << 1
            << QStringLiteral("当選番号の行がありません")
            << QStringLiteral("開催回,日付,第1数字,第2数字,第3数字,第4数字,第5数字,BONUS数字\r\n")
                   .toUtf8()
            << false;
        QTest::newRow("stopped while read")
            << Fixture("loto6-utf8-bom-crlf.csv") << 0 << 0
            << QStringLiteral("の取込を中止しました") << QByteArray() << true;
    }

    void import_stopsBeforeStoring()
    {
        QFETCH(QString, file);
        QFETCH(int, questions);
        QFETCH(int, warnings);
        QFETCH(QString, says);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, stop);
        if (!bytes.isNull())
            WriteFileBytes(file, bytes);
        auto w = start();
        DlgHistory dialog(*w, w.get());
        m_dialogs.fileNames = {file};
        m_dialogs.confirmAnswers = {false};
        if (stop)
            QTimer::singleShot(0, dialog.CmdStop, &QPushButton::click);
        dialog.CmdImport_Click();
        QCOMPARE(m_dialogs.questions.size(), questions);
        QCOMPARE(m_dialogs.warnings.size(), warnings);
        QVERIFY2(dialog.TxtReport->toPlainText().contains(says),
                 qPrintable(dialog.TxtReport->toPlainText()));
        QVERIFY(!QFile::exists(w->HistoryFilePath()));
    }

    // The fetch runs in the background: the stop button ends a stalled one
    // with nothing stored, and a finished one asks before it replaces a
    // stored draw.
    void update_stoppedOrStoredAsTheUserSays_data()
    {
        QTest::addColumn<bool>("stall");
        QTest::newRow("stopped while the server stalls") << true;
        QTest::newRow("a conflict kept as stored") << false;
    }

    void update_stoppedOrStoredAsTheUserSays()
    {
        QFETCH(bool, stall);
        TestHttpServer server;
        QVERIFY(server.start());
        const QString path = QStringLiteral("/loto6.csv");
        if (stall)
            server.setStall(path);
        else
            server.setBody(path, FileBytes(Fixture("loto6-utf8-bom-crlf.csv")));
        auto w = start();
        storeEarlierVersion(*w);
        QVERIFY(WriteSetting(w->SettingsFilePath, Setting::L6Url2, server.url(path).toString()));
        DlgHistory dialog(*w, w.get());
        m_dialogs.confirmAnswers = {false};
        QTest::mouseClick(dialog.CmdUpdate, Qt::LeftButton);
        if (stall) {
            QTRY_VERIFY(server.requestCount(path) > 0);
            QTest::mouseClick(dialog.CmdStop, Qt::LeftButton);
        }
        QTRY_VERIFY_WITH_TIMEOUT(dialog.CmdUpdate->isEnabled(), 10000);
        const QString report = dialog.TxtReport->toPlainText();
        if (stall) {
            QVERIFY2(report.contains(QStringLiteral("中止")), qPrintable(report));
            QCOMPARE(dialog.GridHistory->model()->rowCount(), 2);
            return;
        }
        QCOMPARE(m_dialogs.questions.size(), 1);
        QVERIFY(m_dialogs.questions[0].text.contains(
            QStringLiteral("登録済み: 第2回 2000/10/12   1  9 16 20 21 42 (5)")));
        QVERIFY2(
            report.contains(server.url(path).toString()
                            + QStringLiteral(": 新規 2件、登録済み 1件、登録済みと食い違い 1件")),
            qPrintable(report));
        QCOMPARE(dialog.GridHistory->model()->rowCount(), 4);
        QCOMPARE(GridRow(dialog, 2), QStringLiteral("2|2000/10/12|01 09 16 20 21 42|05"));
    }

    // With the option on, the main window stores the new draws by itself and
    // says so in its message box, without a question or a warning.
    void startUp_checksTheSourcesInTheBackground()
    {
        TestHttpServer server;
        QVERIFY(server.start());
        const QString path = QStringLiteral("/loto6.csv");
        server.setBody(path, FileBytes(Fixture("loto6-utf8-bom-crlf.csv")));
        const QString ini = folder() + QStringLiteral("zanbo.ini");
        QVERIFY(WriteSetting(ini, Setting::L6Url1, server.url(path).toString()));
        QVERIFY(WriteSetting(ini, Setting::CheckDrawsAtStart, 1));
        auto w = start();
        QTRY_VERIFY_WITH_TIMEOUT(
            w->TxtMessage->toPlainText().contains(QStringLiteral("ロト６ 新規 4件")), 10000);
        QCOMPARE(w->History().count(0), 4);
        QVERIFY(m_dialogs.questions.isEmpty());
        QVERIFY(m_dialogs.warnings.isEmpty());
    }

    void exportThenImport_changesNothing()
    {
        auto w = start();
        DlgHistory dialog(*w, w.get());
        m_dialogs.fileNames = {Fixture("mini-cp932-lf.csv"), folder() + QStringLiteral("out.csv")};
        m_dialogs.confirmAnswers = {true};
        dialog.CmdImport_Click();
        QCOMPARE(dialog.currentGame(), 1);
        const QVector<DrawRecord> before = w->History().draws(1);
        QCOMPARE(before.size(), 3);

        dialog.CmdExport_Click();
        QVERIFY(m_dialogs.fileDialogWasSave.constLast());
        QVERIFY(FileBytes(folder() + QStringLiteral("out.csv")).startsWith("\xEF\xBB\xBF開催回"));

        m_dialogs.fileNames = {folder() + QStringLiteral("out.csv")};
        m_dialogs.confirmAnswers = {true};
        dialog.CmdImport_Click();
        QVERIFY(dialog.TxtReport->toPlainText().contains(
            QStringLiteral("新規 0件、登録済み 3件、食い違い 0件、不正な行 0件")));
        const QVector<DrawRecord> after = w->History().draws(1);
        QCOMPARE(after.size(), before.size());
        for (int i = 0; i < after.size(); ++i) {
            QVERIFY(after.at(i).sameNumbers(before.at(i)));
            QCOMPARE(after.at(i).PrizeYen, before.at(i).PrizeYen);
            QCOMPARE(after.at(i).Source, before.at(i).Source);
            QCOMPARE(after.at(i).StoredAt, before.at(i).StoredAt);
        }
    }

    void enterDraw_checkedAndStoredAsManual_data()
    {
        QTest::addColumn<QStringList>("numbers"); // six main numbers, then the bonus
        QTest::addColumn<QString>("message");     // empty: accepted
        // Winners and yen of tiers 1 to 5, then the carry-over; "-" left empty.
        QTest::addColumn<QStringList>("prizes");
        const QStringList none(11, QStringLiteral("-"));
        QTest::newRow("accepted, sorted") << Words("40 3 15 22 31 43 7") << "" << none;
        QTest::newRow("bonus among the main numbers")
            << Words("3 15 22 31 40 43 15") << "ボーナス数字15が本数字と重複しています。" << none;
        QTest::newRow("out of range")
            << Words("3 15 22 31 40 44 7") << "本数字「44」が1～43の整数ではありません。" << none;
        QTest::newRow("with prizes") << Words("40 3 15 22 31 43 7") << ""
                                     << Words("0 0 5 10,000,000 150 300000 8000 6000 140000 "
                                              "1000 450,000,000");
        QTest::newRow("a prize that is no number")
            << Words("40 3 15 22 31 43 7") << "2等の口数または賞金が数ではありません。"
            << Words("0 0 5 abc - - - - - - -");
    }

    void enterDraw_checkedAndStoredAsManual()
    {
        QFETCH(QStringList, numbers);
        QFETCH(QString, message);
        QFETCH(QStringList, prizes);
        const auto typed = [&](int i) {
            return prizes.at(i) == QLatin1String("-") ? QString() : prizes.at(i);
        };
        auto w = start();
        DlgHistory dialog(*w, w.get());
        QString shown;
        OnNextModal([&](QWidget *modal) {
            auto *form = qobject_cast<DlgEnterDraw *>(modal);
            QVERIFY(form);
            QCOMPARE(form->TxtDrawNumber->text(), QStringLiteral("1"));
            form->TxtDrawNumber->setText(QStringLiteral("1234"));
            form->TxtDate->setText(QStringLiteral("2017/11/30"));
            for (int i = 0; i < 6; ++i)
                form->TxtNumber[size_t(i)]->setText(numbers.at(i));
            form->TxtBonus->setText(numbers.at(6));
            for (int t = 0; t < 5; ++t) {
                form->TxtWinners[size_t(t)]->setText(typed(2 * t));
                form->TxtPrize[size_t(t)]->setText(typed(2 * t + 1));
            }
            form->TxtCarryOver->setText(typed(10));
            QTest::mouseClick(form->OKButton, Qt::LeftButton);
            shown = form->LblMessage->text();
            if (form->isVisible())
                form->reject();
        });
        dialog.CmdEnter_Click();
        QCOMPARE(shown, message);
        if (!message.isEmpty()) {
            QVERIFY(!QFile::exists(w->HistoryFilePath()));
            return;
        }
        QCOMPARE(GridRow(dialog, 0), QStringLiteral("1234|2017/11/30|03 15 22 31 40 43|07"));
        const DrawRecord stored = *w->History().newest(0);
        QCOMPARE(stored.Source, QStringLiteral("manual"));
        const auto amount = [&](int i) {
            return typed(i).isEmpty() ? DrawRecord::Unknown
                                      : typed(i).remove(QLatin1Char(',')).toLongLong();
        };
        for (int t = 0; t < 5; ++t) {
            QCOMPARE(stored.Winners[size_t(t)], amount(2 * t));
            QCOMPARE(stored.PrizeYen[size_t(t)], amount(2 * t + 1));
        }
        QCOMPARE(stored.CarryOverYen, amount(10));
    }

    // A stored draw corrected in the form goes through the conflict question
    // and is written whole, or not at all.
    void editDraw_asksThenReplaces_data()
    {
        QTest::addColumn<bool>("replace");
        QTest::newRow("replaced") << true;
        QTest::newRow("kept") << false;
    }
    void editDraw_asksThenReplaces()
    {
        QFETCH(bool, replace);
        auto w = start();
        QVERIFY(w->History().store({StoredDraw(1234, {3, 15, 22, 31, 40, 43}, 7, "2017-11-30")}));
        DlgHistory dialog(*w, w.get());
        dialog.GridHistory->selectRow(0);
        m_dialogs.confirmAnswers = {replace};
        OnNextModal([&](QWidget *modal) {
            auto *form = qobject_cast<DlgEnterDraw *>(modal);
            QVERIFY(form);
            QCOMPARE(form->TxtNumber[5]->text(), QStringLiteral("43"));
            QVERIFY(form->TxtDrawNumber->isReadOnly());
            form->TxtNumber[5]->setText(QStringLiteral("42"));
            form->TxtPrize[0]->setText(QStringLiteral("200000000"));
            QTest::mouseClick(form->OKButton, Qt::LeftButton);
        });
        dialog.CmdEdit->click();
        QCOMPARE(m_dialogs.questions.size(), 1);
        const DrawRecord stored = *w->History().newest(0);
        QCOMPARE(w->History().count(0), 1);
        QCOMPARE(stored.Numbers[5], replace ? 42 : 43);
        QCOMPARE(stored.PrizeYen[0], replace ? qint64(200000000) : DrawRecord::Unknown);
    }

    void damagedHistory_reportedAndKeptUnderNewName_data()
    {
        QTest::addColumn<bool>("startAfresh");
        QTest::newRow("go on without a history") << false;
        QTest::newRow("start a new history") << true;
    }

    void damagedHistory_reportedAndKeptUnderNewName()
    {
        QFETCH(bool, startAfresh);
        auto w = start();
        const QByteArray damaged("SQLite format 3\0 and then nothing that makes sense", 50);
        WriteFileBytes(w->HistoryFilePath(), damaged);
        QCOMPARE(w->LatestDraw(0), std::nullopt); // the judgement goes on without it

        m_dialogs.confirmAnswers = {startAfresh};
        bool opened = false;
        OnNextModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<DlgHistory *>(modal);
            QVERIFY(dialog);
            opened = true;
            QVERIFY(dialog->TxtReport->toPlainText().contains(QStringLiteral("壊れています")));
            QCOMPARE(dialog->CmdImport->isEnabled(), startAfresh);
            dialog->CancelButton->click();
        });
        QCOMPARE(w->CmdHistory->text(), QStringLiteral("当選番号履歴(&Y)"));
        QTest::mouseClick(w->CmdHistory, Qt::LeftButton);
        QVERIFY(opened);
        QCOMPARE(m_dialogs.questions.size(), 1);

        const QStringList kept = QDir(folder()).entryList({QStringLiteral("*.damaged-*")});
        QCOMPARE(kept.size(), startAfresh ? 1 : 0);
        const QString damagedNow = startAfresh ? folder() + kept.value(0) : w->HistoryFilePath();
        QCOMPARE(FileBytes(damagedNow), damaged);
        if (startAfresh) {
            QVERIFY(w->History().store({StoredDraw(5, {1, 2, 3, 4, 5, 6}, 7)}));
            QCOMPARE(w->History().count(0), 1);
        }
    }

    // A history another program holds in a write is healthy: told, left
    // exactly as it is, never offered to be set aside.
    void busyHistory_toldAndLeftAlone()
    {
        auto w = start();
        {
            DrawHistory other(w->HistoryFilePath());
            QVERIFY(other.store({StoredDraw(1, {2, 8, 10, 13, 27, 30}, 39, "2000-10-05")}));
        }
        const QByteArray before = FileBytes(w->HistoryFilePath());
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                    QStringLiteral("writer"));
        db.setDatabaseName(w->HistoryFilePath());
        QVERIFY(db.open());
        auto query = std::make_unique<QSqlQuery>(db);
        QVERIFY(query->exec(QStringLiteral("BEGIN EXCLUSIVE")));
        w->History().setBusyTimeout(100);

        bool opened = false;
        OnNextModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<DlgHistory *>(modal);
            QVERIFY(dialog);
            opened = true;
            QVERIFY2(dialog->TxtReport->toPlainText().contains(QStringLiteral("別のZanbo")),
                     qPrintable(dialog->TxtReport->toPlainText()));
            QVERIFY(!dialog->CmdImport->isEnabled());
            dialog->CancelButton->click();
        });
        QTest::mouseClick(w->CmdHistory, Qt::LeftButton);
        QVERIFY(opened);
        QVERIFY(m_dialogs.questions.isEmpty());
        QVERIFY(query->exec(QStringLiteral("ROLLBACK")));
        query.reset();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("writer"));
        QCOMPARE(FileBytes(w->HistoryFilePath()), before);
        QVERIFY(QDir(folder()).entryList({QStringLiteral("*.damaged-*")}).isEmpty());
    }

    void judge_usesTheNewerDraw_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("numbers");
        QTest::addColumn<QString>("line"); // the first line after the draws
        QTest::newRow("stored draw newer") << 1234 << "1234回　(抽選日 2017/11/30)（履歴）"
                                           << "    1  2  3  4  5 10 (6)"
                                           << "ロト６　２等　ホントニ！？　☆☆☆☆";
        QTest::newRow("pattern file's draw newer")
            << 249 << "250回　(抽選日 2005/10/06)"
            << "    3 15 22 31 40 43 (7)"
            << "■ロト６の判定のまとめ　１等 0 行、２等 0 行、３等 0 行、４等 0 行、５等 0 行";
    }

    void judge_usesTheNewerDraw()
    {
        QFETCH(int, stored);
        QFETCH(QString, label);
        QFETCH(QString, numbers);
        QFETCH(QString, line);
        WritePatternFile(
            folder() + QStringLiteral("zanbol6.txt"),
            {DrawSection(250, QStringLiteral("2005/10/06"), {3, 15, 22, 31, 40, 43, 7})});
        auto w = start();
        QVERIFY(w->History().store({StoredDraw(stored, {1, 2, 3, 4, 5, 10}, 6, "2017-11-30")}));
        ResultGrid *grid = w->FGkekka[1];
        grid->setRowCount(2);
        for (int c = 1; c <= 6; ++c)
            grid->setText(1, c, QString::number(c));

        w->CmdJudge_Click();
        DlgJudge *dialog = w->judgeDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->LblJ[0]->text(), label);
        QCOMPARE(MessageText(dialog->Text1).split(QStringLiteral("\r\n")).value(1), numbers);
        dialog->OKButton_Click();
        const QStringList lines = MessageText(dialog->Text1).split(QStringLiteral("\r\n"));
        // No Mini LOTO or LOTO7 draw: their headings alone.
        QCOMPARE(lines.value(4), line);
        if (stored > 250) {
            w->show();
            SaveSideBySide({w.get(), dialog}, QStringLiteral("judge_stored_draw"));
        }
    }
};

QTEST_MAIN(DlgHistoryTest)
#include "tst_DlgHistory.moc"
