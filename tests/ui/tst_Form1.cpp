#include "support/DiskFull.h"
#include "support/FakeDialogs.h"
#include "support/PatternFiles.h"
#include "support/Screenshots.h"

#include "core/GameTable.h"
#include "storage/DataFolder.h"
#include "storage/FilePathCommands.h"
#include "storage/Module1.h"
#include "ui/BoardSlider.h"
#include "ui/Form1.h"
#include "ui/ResultGrid.h"
#include "ui/Twips.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// Start-up and shutdown of the main window: what it restores from zanbo.ini,
// what it writes back, and the controls it must hold.
class Form1Test : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    FakeDialogs m_dialogs;

    QString folder() const { return AddPathSeparator(m_dir.path()); }
    QString iniPath() const { return folder() + QStringLiteral("zanbo.ini"); }
    std::unique_ptr<Form1> start() { return std::make_unique<Form1>(folder(), m_dialogs); }
    void writeIni(const QString &text) { WriteFileBytes(iniPath(), Cp932Lines(text)); }

private slots:
    void init() { QFile::remove(iniPath()); }

    void firstStart_usesDefaultsAndWritesSettingsInOrder()
    {
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        SaveScreenshot(w.get(), QStringLiteral("main_startup"));

        QCOMPARE(w->windowTitle(), QStringLiteral("Zanbo"));
        QCOMPARE(w->CmbSwitch->currentIndex(), 0);
        QCOMPARE(w->CmbSwitch->count(), 3);
        QCOMPARE(w->CmbSwitch->itemText(1), QStringLiteral("ミニロト"));
        QCOMPARE(w->CmbSwitch->itemText(2), QStringLiteral("ロト７"));
        for (int i = 1; i <= 43; ++i) {
            QCOMPARE(w->Slider1[i]->value(), 3);
            QCOMPARE(w->CustomSettings[i], 3);
            QCOMPARE(w->Label1[i]->text(), QString::number(i));
        }
        QCOMPARE(w->SldKosu->value(), 10);
        QCOMPARE(w->LblKosu->text(), QStringLiteral("10"));
        QVERIFY(w->CmdHP->isEnabled());
        QVERIFY(w->CmdReadPattern->isEnabled());
        for (ResultGrid *grid : w->FGkekka) {
            QCOMPARE(grid->columnCount(), int(GridColumnCount));
            for (int c = 0; c < 10; ++c)
                QCOMPARE(grid->columnWidthTwips(c), 550);
        }
        QCOMPARE(w->FGkekka[0]->rowCount(), 11);
        QCOMPARE(w->FGkekka[1]->rowCount(), 1);
        QVERIFY(!QFile::exists(iniPath()));

        const QPoint pos = w->frameGeometry().topLeft();
        w->close();
        const QString left = QString::number(double(float(PixelsToTwips(pos.x()))), 'g', 7);
        const QString top = QString::number(double(float(PixelsToTwips(pos.y()))), 'g', 7);
        QCOMPARE(
            FileBytes(iniPath()),
            Cp932Lines(QStringLiteral(
                           "[ALL]\nL6ML=ロト６\nKAI=10\nPOSLEFT=%1\nPOSTOP=%2\n[OPT]\nNOWEB=0\n")
                           .arg(left, top)));
    }

    // As installed: the samples placed on the first start give the board
    // its patterns at once.
    void firstStartInstalled_boardHasTheSamplePatterns()
    {
        QTemporaryDir home;
        const QString data = AddPathSeparator(home.path());
        QStringList names;
        for (const GameInfo &game : MakeGameTable(QString()))
            names << game.PatternFilePath;
        QCOMPARE(PlaceSampleFiles(QStringLiteral(ZANBO_SOURCE_DIR "/data/"), data, names,
                                  QStringLiteral("zanbo.ini"))
                     .size(),
                 names.size());
        auto w = std::make_unique<Form1>(data, m_dialogs);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QVERIFY(w->CmbPattern->count() > 1);
        SaveScreenshot(w.get(), QStringLiteral("main_first_start_installed"));
    }

    void storedPosition_isRestoredAndWrittenBack()
    {
        writeIni(QStringLiteral("[ALL]\nPOSLEFT=1500\nPOSTOP=1200\n"));
        auto w = start();
        QCOMPARE(w->pos(), QPoint(TwipsToPixels(1500), TwipsToPixels(1200)));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->close();
        QCOMPARE(ReadIniValue(iniPath(), QStringLiteral("ALL"), QStringLiteral("POSLEFT")),
                 QString::number(double(float(PixelsToTwips(w->frameGeometry().left()))), 'g', 7));
    }

    // A settings write that fails is told once, with its reason; closed by a
    // signal it is only kept for the end status. A second program on the
    // folder writes nothing.
    void close_settingsNotKept_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("full disk") << "full";
        QTest::newRow("full disk, closed by a signal") << "signal";
        QTest::newRow("folder held by another program") << "shared";
    }
    void close_settingsNotKept()
    {
        QFETCH(QString, how);
        writeIni(QStringLiteral("[ALL]\nKAI=5\n"));
        const QByteArray before = FileBytes(iniPath());
        m_dialogs = FakeDialogs();
        auto w = start();
        w->SldKosu->setValue(20);
        w->ClosingBySignal = how == QStringLiteral("signal");
        w->DataFolderShared = how == QStringLiteral("shared");
        {
            DiskFull full(16);
            QVERIFY(full.isActive());
            w->close();
        }
        QCOMPARE(FileBytes(iniPath()), before);
        QCOMPARE(w->SettingsError().contains(QStringLiteral("上限")),
                 how != QStringLiteral("shared"));
        QCOMPARE(m_dialogs.warnings.size(), how == QStringLiteral("full") ? 1 : 0);
        if (how == QStringLiteral("full"))
            QCOMPARE(m_dialogs.warnings.constFirst().text, w->SettingsError());
    }

    // A size the user gave comes back; the grids take the room beyond the
    // design, the buttons beside them keep their distance from the edge.
    void storedSize_isRestored_gridsTakeTheRoom()
    {
        writeIni(QStringLiteral("[ALL]\nPOSLEFT=0\nPOSTOP=0\nPOSWIDTH=11850\nPOSHEIGHT=9000\n"));
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCOMPARE(w->size(), QSize(790, 600));
        QCOMPARE(w->FGkekka[1]->size(), QSize(TwipsToPixels(8895) + 20, TwipsToPixels(1575) + 40));
        QCOMPARE(w->FGkekka[0]->height(), TwipsToPixels(2055) + 40);
        QCOMPARE(w->CmdSave->x(), TwipsToPixels(9240) + 20);
        QCOMPARE(w->CmdRun->y(), TwipsToPixels(2520) + 40);
        w->resize(700, 500);
        w->close();
        QCOMPARE(ReadIniValue(iniPath(), QStringLiteral("ALL"), QStringLiteral("POSWIDTH")),
                 QStringLiteral("10500"));
        QCOMPARE(ReadIniValue(iniPath(), QStringLiteral("ALL"), QStringLiteral("POSHEIGHT")),
                 QStringLiteral("7500"));
    }

    void positionIgnored_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::newRow("left without top") << QStringLiteral("[ALL]\nPOSLEFT=1500\n");
        QTest::newRow("top not a number") << QStringLiteral("[ALL]\nPOSLEFT=1500\nPOSTOP=abc\n");
        QTest::newRow("off every screen")
            << QStringLiteral("[ALL]\nPOSLEFT=-9000000\nPOSTOP=9000000\n");
        QTest::newRow("beyond any geometry")
            << QStringLiteral("[ALL]\nPOSLEFT=1e30\nPOSTOP=-3e38\n");
        QTest::newRow("not finite") << QStringLiteral("[ALL]\nPOSLEFT=inf\nPOSTOP=nan\n");
    }
    void positionIgnored()
    {
        QFETCH(QString, ini);
        FakeDialogs dialogs;
        Form1 reference(folder(), dialogs);
        const QPoint systemPlace = reference.pos();
        writeIni(ini);
        auto w = start();
        QCOMPARE(w->pos(), systemPlace);
    }

    void minimisedClose_keepsStoredPosition()
    {
        writeIni(QStringLiteral("[ALL]\nPOSLEFT=1500\nPOSTOP=1200\n"));
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->move(300, 200);
        w->setWindowState(Qt::WindowMinimized);
        QVERIFY(w->isMinimized());
        w->close();
        QCOMPARE(ReadIniValue(iniPath(), QStringLiteral("ALL"), QStringLiteral("POSLEFT")),
                 QStringLiteral("1500"));
        QCOMPARE(ReadIniValue(iniPath(), QStringLiteral("ALL"), QStringLiteral("POSTOP")),
                 QStringLiteral("1200"));
        QCOMPARE(ReadIniValue(iniPath(), QStringLiteral("ALL"), QStringLiteral("KAI")),
                 QStringLiteral("10"));
    }

    void storedValues_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<int>("kosu");
        QTest::addColumn<int>("columnWidth");
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("noWeb");
        QTest::newRow("all valid")
            << QStringLiteral("[all]\nkai=25\nL6ML=ミニロト\n[ETC]\nCOLWIDTH=800\n[OPT]\nNOWEB=1\n")
            << 25 << 800 << 1 << 1;
        QTest::newRow("out of range")
            << QStringLiteral("[ALL]\nKAI=101\nL6ML=ロト7\n[ETC]\nCOLWIDTH=0\n[OPT]\nNOWEB=x\n")
            << 10 << 550 << 0 << 0;
        QTest::newRow("not whole numbers")
            << QStringLiteral("[ALL]\nKAI=2.5\nL6ML=ERR\n[ETC]\nCOLWIDTH=800px\n[OPT]\nNOWEB=1.0\n")
            << 10 << 550 << 0 << 0;
        QTest::newRow("zero count")
            << QStringLiteral("[ALL]\nKAI=0\n[ETC]\nCOLWIDTH=100001\n") << 10 << 550 << 0 << 0;
    }
    void storedValues()
    {
        QFETCH(QString, ini);
        QFETCH(int, kosu);
        QFETCH(int, columnWidth);
        QFETCH(int, game);
        QFETCH(int, noWeb);
        writeIni(ini);
        auto w = start();
        QCOMPARE(w->SldKosu->value(), kosu);
        QCOMPARE(w->LblKosu->text(), QString::number(kosu));
        QCOMPARE(w->FGkekka[0]->rowCount(), kosu + 1);
        QCOMPARE(w->currentGame(), game);
        QCOMPARE(w->NoWeb, noWeb);
        QCOMPARE(w->CmdHP->isEnabled(), noWeb == 0);
        QCOMPARE(w->CmdReadPattern->isEnabled(), noWeb == 0);
        QVERIFY(w->CmdHelp->isEnabled());
        for (ResultGrid *grid : w->FGkekka)
            for (int c = 0; c < 10; ++c)
                QCOMPARE(grid->columnWidthTwips(c), columnWidth);
        for (int i = 32; i <= 43; ++i)
            QCOMPARE(w->Slider1[i]->isVisibleTo(w.get()), game == 0);
    }

    void controls_haveCaptionsTipsAndStartStates()
    {
        auto w = start();
        const auto button = [&](const char *name) {
            auto *b = w->findChild<QPushButton *>(QLatin1String(name));
            return b;
        };
        struct Expect
        {
            const char *name;
            const char *caption;
            bool enabled;
        };
        const Expect buttons[] = {
            {"CmdCntReset", "RESET(&T)", true},
            {"CmdReadPattern", "パターンダウンロード(&D)", true},
            {"CmdRun", "実行(&N)", true},
            {"CmdCopy_0", "保存エリアへ移動", false},
            {"CmdCopy_1", "削除", false},
            {"CmdOption", "オプション(&O)", true},
            {"CmdHP", "WEBへ接続(&B)", true},
            {"CmdHelp", "ｵﾝﾗｲﾝﾍﾙﾌﾟ(&H)", true},
            {"CmdJudge", "判定（&J)", false},
            {"CmdSave", "保存(S)", false},
            {"CmdLoad", "読込(&R)", true},
            {"CmdClear", "クリア(&C)", true},
        };
        for (const Expect &e : buttons) {
            QPushButton *b = button(e.name);
            QVERIFY2(b, e.name);
            QCOMPARE(b->text(), QString::fromUtf8(e.caption));
            QCOMPARE(b->isEnabled(), e.enabled);
        }
        QCOMPARE(w->findChild<QGroupBox *>(QStringLiteral("Frame1"))->title(),
                 QStringLiteral("パターン制御盤"));
        QCOMPARE(w->findChild<QGroupBox *>(QStringLiteral("Frame3"))->title(),
                 QStringLiteral("予測エリア"));
        QCOMPARE(w->findChild<QGroupBox *>(QStringLiteral("Frame2"))->title(),
                 QStringLiteral("結果保存エリア"));
        QCOMPARE(w->findChild<QLabel *>(QStringLiteral("Label4"))->text(),
                 QStringLiteral("パターン選択："));
        QCOMPARE(w->findChild<QLabel *>(QStringLiteral("Label3"))->text(),
                 QStringLiteral("出力        個"));
        QCOMPARE(w->FGkekka[0]->objectName(), QStringLiteral("FGkekka_0"));
        QCOMPARE(w->FGkekka[1]->toolTip(),
                 QStringLiteral("下向き矢印でここにデータを移動します。"));
        QCOMPARE(w->SldKosu->toolTip(), QStringLiteral("一度に出力する結果の個数を決めます。"));
        QVERIFY(w->findChild<BoardSlider *>(QStringLiteral("Slider1_43")));
        QVERIFY(w->findChild<QLabel *>(QStringLiteral("Label2_1")));

        // Slider positions: a wider gap after every tenth number.
        QCOMPARE(w->Slider1[11]->x() - w->Slider1[10]->x(), TwipsToPixels(360));
        QCOMPARE(w->size(), QSize(TwipsToPixels(11550), TwipsToPixels(7800)));
    }

    // The count sits between "出力" and "個", three digits included.
    void countLabel_fitsBetweenItsWords()
    {
        auto w = start();
        w->SldKosu->setValue(100);
        QCOMPARE(w->LblKosu->text(), QStringLiteral("100"));
        const QFontMetrics caption = w->Label3->fontMetrics();
        const int gapLeft = w->Label3->x() + caption.horizontalAdvance(QStringLiteral("出力"));
        const int gapRight = w->Label3->x()
                             + caption.horizontalAdvance(w->Label3->text().chopped(1));
        const int digits = w->LblKosu->fontMetrics().horizontalAdvance(QStringLiteral("100"));
        const int centre = w->LblKosu->geometry().center().x();
        QVERIFY(centre - digits / 2 >= gapLeft);
        QVERIFY(centre + (digits + 1) / 2 <= gapRight);
        QVERIFY(w->Label3->width() >= w->Label3->sizeHint().width());
    }

    void sliders_refuseOutOfRangeAndReportProgramChanges()
    {
        auto w = start();
        BoardSlider *slider = w->Slider1[7];
        QSignalSpy changed(slider, &QSlider::valueChanged);
        QVERIFY(!slider->setValueChecked(9));
        QVERIFY(!slider->setValueChecked(0));
        QCOMPARE(slider->value(), 3);
        QVERIFY(slider->setValueChecked(1));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(w->CustomSettings[7], 1);
    }
};

QTEST_MAIN(Form1Test)
#include "tst_Form1.moc"
