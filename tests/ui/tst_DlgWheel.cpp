#include "support/FakeDialogs.h"
#include "support/Modal.h"
#include "support/SyntheticPopularity.h"

#include "core/WheelCheck.h"
#include "storage/DrawHistory.h"
#include "storage/FilePathCommands.h"
#include "ui/BoardSlider.h"
#include "ui/DlgWheel.h"
#include "ui/Form1.h"
#include "ui/ResultGrid.h"
#include "ui/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The wheel dialog on the main window: the numbers it takes from the board,
// a wheel built, proved and moved into the save area, and a stop that keeps
// the best wheel found so far.
class DlgWheelTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    FakeDialogs m_dialogs;

    std::unique_ptr<Form1> start()
    {
        return std::make_unique<Form1>(AddPathSeparator(m_dir.path()), m_dialogs);
    }

    static void choose(DlgWheel &dialog, int count)
    {
        for (int n = 1; n <= count; ++n)
            dialog.ChkNum[size_t(n)]->setChecked(true);
    }

    static void waitForWheel(DlgWheel &dialog)
    {
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isWorking(), 30000);
    }

private slots:
    void init() { m_dialogs = FakeDialogs(); }

    void wheelButton_opensTheDialog()
    {
        auto w = start();
        QCOMPARE(w->CmdWheel->parentWidget(), w->Frame3);
        QCOMPARE(w->CmdWheel->text(), QStringLiteral("ホイール(&W)"));
        QCOMPARE(w->CmdWheel->geometry(), TwipsRect(8880, 2520, 1575, 375));
        QString seen;
        OnNextModal([&seen](QWidget *modal) {
            auto *dialog = qobject_cast<DlgWheel *>(modal);
            QVERIFY(dialog);
            seen = dialog->objectName() + QLatin1Char('|') + dialog->windowTitle()
                   + QLatin1Char('|') + QString::number(dialog->SpnSeconds->value());
            dialog->CancelButton->click();
        });
        w->CmdWheel->click();
        QCOMPARE(seen, QStringLiteral("DlgWheel|ホイール（組合せ保証）|10"));
    }

    void fromBoard_takesThePlusSideOfTheGame()
    {
        auto w = start();
        w->Slider1[5]->setValue(1);
        w->Slider1[9]->setValue(2);
        w->Slider1[17]->setValue(4);
        w->Slider1[40]->setValue(1);
        DlgWheel dialog(*w);
        dialog.CmdFromBoard->click();
        QVERIFY(dialog.chosenNumbers() == (std::vector<int>{5, 9, 40}));
        QCOMPARE(dialog.LblCount->text(), QStringLiteral("選んだ数字: 3 個"));
        QVERIFY(!dialog.CmdBuild->isEnabled());

        // Mini LOTO has no 40: its box is off and cannot be chosen.
        dialog.CmbGame->setCurrentIndex(GameMiniLoto);
        dialog.CmbGame_Click();
        QVERIFY(!dialog.ChkNum[40]->isEnabled());
        QVERIFY(dialog.chosenNumbers() == (std::vector<int>{5, 9}));
        QCOMPARE(dialog.SpnIf->maximum(), 5);
    }

    void build_showsAProvedWheelAndMovesItToTheSaveArea()
    {
        auto w = start();
        DlgWheel dialog(*w);
        choose(dialog, 12);
        dialog.SpnIf->setValue(4);
        dialog.SpnMatch->setValue(4);
        QCOMPARE(dialog.LblSentence->text(),
                 QStringLiteral("選んだ 12 個の数字に本数字が 4 個以上入っていれば、"
                                "どれかの行で 4 個以上が当たります（4等以上）。"));
        dialog.SpnSeconds->setValue(1);
        dialog.CmdBuild->click();
        QVERIFY(dialog.isWorking());
        QVERIFY(dialog.CmdStop->isEnabled());
        waitForWheel(dialog);

        const std::vector<std::vector<int>> rows = dialog.rows();
        QVERIFY(rows.size() >= 36);
        const QString text = dialog.TxtWheel->toPlainText();
        QVERIFY(text.contains(QStringLiteral("保証を満たさない場合: 0 / 495 通り")));
        QVERIFY(text.contains(QStringLiteral("全組合せ（フルホイール）: 924 行")));
        QVERIFY(text.contains(QStringLiteral("費用: %1 円")
                                  .arg(QLocale(QLocale::Japanese).toString(rows.size() * 200))));
        QVERIFY(text.contains(QStringLiteral("5等以上")));
        QCOMPARE(dialog.GridWheel->rowCount(), int(rows.size()));
        QVERIFY(dialog.CmdToSave->isEnabled());

        dialog.CmdToSave->click();
        QCOMPARE(dialog.GridWheel->rowCount(), 0);
        QVERIFY(!dialog.CmdToSave->isEnabled());
        ResultGrid *save = w->FGkekka[1];
        QCOMPARE(save->rowCount(), int(rows.size()) + 1);
        for (int c = 0; c < 6; ++c)
            QCOMPARE(save->text(int(rows.size()), FirstNumberColumn + c),
                     QString::number(rows.back()[size_t(c)]));

        // The moved rows are unsaved changes: closing asks about them.
        m_dialogs.yesNoCancelAnswers = {QMessageBox::Cancel};
        QVERIFY(!w->close());
        QCOMPARE(m_dialogs.questions.size(), 1);
    }

    void stop_keepsTheBestWheelSoFar()
    {
        auto w = start();
        DlgWheel dialog(*w);
        choose(dialog, 18);
        dialog.SpnIf->setValue(5);
        dialog.SpnMatch->setValue(5);
        dialog.SpnSeconds->setValue(600);
        dialog.CmdBuild->click();
        QTRY_VERIFY_WITH_TIMEOUT(dialog.LblProgress->text().contains(QStringLiteral("行")), 20000);
        dialog.CmdStop->click();
        waitForWheel(dialog);
        QVERIFY(!dialog.rows().empty());
        QVERIFY(dialog.TxtWheel->toPlainText().contains(
            QStringLiteral("保証を満たさない場合: 0 / 8,568 通り")));
        QVERIFY(dialog.LblProgress->text().startsWith(QStringLiteral("中止")));
    }

    // The popular order is a relabelling of the chosen numbers: without
    // winner counts nothing changes and the window says why; with them the
    // rows shown still keep the guarantee and the chance is said unchanged.
    void popularOrder_relabelsOnlyWithAHistory()
    {
        auto w = start();
        DlgWheel dialog(*w);
        for (const int n : {3, 7, 12, 19, 25, 31, 36, 40, 41, 43})
            dialog.ChkNum[size_t(n)]->setChecked(true);
        dialog.SpnSeconds->setValue(1);
        dialog.ChkPopular->setChecked(true);
        dialog.CmdBuild->click();
        waitForWheel(dialog);
        QVERIFY(!dialog.rows().empty());
        QVERIFY(dialog.TxtWheel->toPlainText().contains(
            QStringLiteral("人気の低い並びにできませんでした: 当せん口数と賞金のある当選番号"
                           "が 0 回分しかありません")));

        SyntheticPlayers players;
        for (int n = 1; n <= players.MaxNumber; ++n)
            players.Effects[size_t(n)] = n <= 31 ? 0.4 : -0.4;
        QVERIFY(w->History().store(SyntheticHistory(players, 200, 5)));
        dialog.CmdBuild->click();
        waitForWheel(dialog);
        const QString text = dialog.TxtWheel->toPlainText();
        QVERIFY2(text.contains(QStringLiteral("当せんの確率は変わりません")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("保証を満たさない場合: 0 / 120 通り")));
        const WheelCheckResult check = CheckWheel(dialog.chosenNumbers(), dialog.rows(), 3, 3);
        QVERIFY(check.Valid);
        QCOMPARE(check.Uncovered, quint64(0));
    }
};

QTEST_MAIN(DlgWheelTest)
#include "tst_DlgWheel.moc"
