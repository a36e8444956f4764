#include "support/FakeDialogs.h"
#include "support/Screenshots.h"
#include "support/SyntheticPopularity.h"

#include "storage/FilePathCommands.h"
#include "ui/DlgAnalysis.h"
#include "ui/DlgDownload.h"
#include "ui/DlgHistory.h"
#include "ui/DlgJudge.h"
#include "ui/DlgOption.h"
#include "ui/DlgWheel.h"
#include "ui/Form1.h"
#include "ui/PopularityTab.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The main window and every dialog at the display scale this run was started
// with (QT_SCALE_FACTOR; CTest runs it at 1 and at 2): the layout in
// device-independent pixels is the design's at 96 dpi, no control spills out
// of its parent or cuts its caption, and pictures are drawn for the screen's
// pixel ratio instead of being enlarged. Screenshots: scale<N>_<window>.png.
class DisplayScaleTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    FakeDialogs m_dialogs;
    std::unique_ptr<Form1> m_main;

    // The design's controls carry their names; Qt's own parts of a control do not.
    static QList<QWidget *> Controls(QWidget *window)
    {
        QList<QWidget *> controls;
        for (QWidget *widget : window->findChildren<QWidget *>()) {
            const QString name = widget->objectName();
            if (!name.isEmpty() && !name.startsWith(QStringLiteral("qt_"))
                && widget->isVisibleTo(window))
                controls.append(widget);
        }
        return controls;
    }

    static void checkLayout(QWidget *window, const QString &variant = QString())
    {
        const qreal ratio = qApp->devicePixelRatio();
        QCOMPARE(window->devicePixelRatioF(), ratio);
        for (QWidget *control : Controls(window)) {
            const QString where = control->objectName();
            // What a scroll area shows may be larger than its view.
            if (qobject_cast<QScrollArea *>(control->parentWidget()->parentWidget()))
                continue;
            QVERIFY2(control->parentWidget()->rect().contains(control->geometry()),
                     qPrintable(where + QStringLiteral(" spills out of its parent")));
            if (auto *label = qobject_cast<QLabel *>(control)) {
                if (!label->pixmap().isNull())
                    QVERIFY2(label->pixmap().devicePixelRatio() == ratio,
                             qPrintable(where + QStringLiteral(" shows an enlarged picture")));
                else if (label->wordWrap())
                    QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
                             qPrintable(where + QStringLiteral(" cuts its text")));
                else
                    QVERIFY2(label->sizeHint().width() <= label->width(),
                             qPrintable(where + QStringLiteral(" cuts its text")));
            } else if (auto *button = qobject_cast<QPushButton *>(control)) {
                // A push button's size hint has a minimum width; its caption is what counts.
                const int caption
                    = button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width()
                      + 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
                QVERIFY2(caption <= button->width(),
                         qPrintable(where + QStringLiteral(" cuts its caption")));
            } else if (auto *box = qobject_cast<QCheckBox *>(control)) {
                QVERIFY2(box->sizeHint().width() <= box->width(),
                         qPrintable(where + QStringLiteral(" cuts its caption")));
            }
        }
        QVERIFY(QTest::qWaitForWindowExposed(window));
        // A screen other than the test platform's usual one names its pictures.
        const QSize screen = window->screen()->size() * ratio;
        const QString suffix
            = variant
              + (screen == QSize(800, 800)
                     ? QString()
                     : QStringLiteral("_%1x%2").arg(screen.width()).arg(screen.height()));
        SaveScreenshot(window,
                       QStringLiteral("scale%1_%2%3").arg(ratio).arg(window->objectName(), suffix));
        // On a screen of its own, the whole screen too: the window has to fit on it.
        if (!suffix.isEmpty() && variant.isEmpty())
            window->screen()->grabWindow(0).save(
                QStringLiteral(ZANBO_SCREENSHOT_DIR "/scale%1_%2%3_screen.png")
                    .arg(ratio)
                    .arg(window->objectName(), suffix));
    }

    // A LOTO6 wheel of 12 numbers, 4 if 4, as the dialog shows it when done.
    std::unique_ptr<QWidget> FinishedWheel()
    {
        auto wheel = std::make_unique<DlgWheel>(*m_main, m_main.get());
        for (int n = 1; n <= 12; ++n)
            wheel->ChkNum[size_t(n)]->setChecked(true);
        wheel->SpnIf->setValue(4);
        wheel->SpnMatch->setValue(4);
        wheel->SpnSeconds->setValue(1);
        wheel->CmdBuild->click();
        DlgWheel *shown = wheel.get();
        [&] { QTRY_VERIFY_WITH_TIMEOUT(!shown->isWorking(), 30000); }();
        return wheel;
    }

    // The analysis dialog on its popularity tab, with an estimate shown.
    std::unique_ptr<QWidget> estimatedPopularity()
    {
        const auto draws = [](int game, const ReadProgress &) {
            SyntheticPlayers players;
            players.Game = game;
            players.MaxNumber = PopularityGames()[size_t(game)].MaxNumber;
            players.PickCount = PopularityGames()[size_t(game)].PickCount;
            for (int n = 1; n <= 31; ++n)
                players.Effects[size_t(n)] = 0.2;
            return SyntheticHistory(players, 150, 2);
        };
        auto dialog = std::make_unique<DlgAnalysis>(*m_main, draws, m_main.get());
        if (!QTest::qWaitFor([&] { return !dialog->isWorking(); }, 20000))
            return nullptr;
        dialog->TabAnalysis->setCurrentWidget(dialog->TabPopularity);
        dialog->TabPopularity->CmdPopularity->click();
        if (!QTest::qWaitFor([&] { return !dialog->TabPopularity->isWorking(); }, 20000))
            return nullptr;
        return dialog;
    }

    // The analysis dialog on its chance tab, the save area's rows counted.
    std::unique_ptr<QWidget> countedChance()
    {
        auto dialog = std::make_unique<DlgAnalysis>(
            *m_main, [](int, const ReadProgress &) { return QVector<DrawRecord>(); }, m_main.get());
        // The draws are read as the dialog opens; its buttons wait for them.
        if (!QTest::qWaitFor([&] { return !dialog->isWorking(); }, 20000))
            return nullptr;
        dialog->TabAnalysis->setCurrentIndex(2);
        dialog->CmdChance->click();
        if (!QTest::qWaitFor([&] { return !dialog->isWorking(); }, 60000))
            return nullptr;
        return dialog;
    }

    static const GameTableType &PopularityGames()
    {
        static const GameTableType games = MakeGameTable(QString());
        return games;
    }

private slots:
    void initTestCase()
    {
        // A data folder with a long name, which the options dialog shows in full.
        const QString folder = m_dir.filePath(
            QStringLiteral("a-data-folder-with-a-rather-long-name/for-the-options-dialog"));
        QVERIFY(QDir().mkpath(folder));
        for (const char *name : {"zanbol6.txt", "zanboml.txt", "zanbol7.txt"})
            QVERIFY(QFile::copy(QStringLiteral(ZANBO_SOURCE_DIR "/data/") + QLatin1String(name),
                                folder + QLatin1Char('/') + QLatin1String(name)));
        m_main = std::make_unique<Form1>(AddPathSeparator(folder), m_dialogs);
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    }

    void cleanupTestCase() { m_main.reset(); }

    // The window shows the icon the desktop shows, drawn from the same SVG
    // through Qt's SVG plugin.
    void windowIcon_isTheInstalledSvg()
    {
        const QImage installed = QIcon(QStringLiteral(ZANBO_SOURCE_DIR "/ui/zanbo.svg"))
                                     .pixmap(QSize(64, 64), 1.0)
                                     .toImage();
        QVERIFY(!installed.isNull());
        QCOMPARE(m_main->windowIcon().pixmap(QSize(64, 64), 1.0).toImage(), installed);
    }

    void window_keepsItsLayout_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QSize>("size");
        QTest::newRow("main") << QStringLiteral("Form1") << QSize(770, 520);
        QTest::newRow("options") << QStringLiteral("DlgOption") << QSize(402, 432);
        QTest::newRow("history") << QStringLiteral("DlgHistory") << QSize(640, 480);
        QTest::newRow("judgement") << QStringLiteral("DlgJudge") << QSize(480, 360);
        QTest::newRow("download") << QStringLiteral("DlgDownload") << QSize(480, 261);
        QTest::newRow("wheel") << QStringLiteral("DlgWheel") << QSize(720, 512);
        QTest::newRow("analysis, popularity") << QStringLiteral("DlgAnalysis") << QSize(1040, 720);
        QTest::newRow("main, LOTO7") << QStringLiteral("Form1") << QSize(770, 520);
        QTest::newRow("judgement, LOTO7") << QStringLiteral("DlgJudge") << QSize(480, 360);
        QTest::newRow("analysis, chance, LOTO7")
            << QStringLiteral("DlgAnalysis") << QSize(1040, 720);
    }

    void window_keepsItsLayout()
    {
        QFETCH(QString, window);
        QFETCH(QSize, size);
        // The LOTO7 rows show the game with a run of combinations in the
        // prediction grid and two of them in the save area.
        const bool loto7 = QString::fromLatin1(QTest::currentDataTag()).endsWith(u"LOTO7");
        if (loto7 && m_main->CmbSwitch->currentIndex() != GameLoto7) {
            m_main->CmbSwitch->setCurrentIndex(GameLoto7);
            m_main->CmbSwitch_Click();
            m_main->CmdRun->click();
            Form1::SelectGridRange(m_main->FGkekka[0], 1, 0, 2, 0);
            m_main->CmdCopy_Click(0);
            m_main->CmdRun->click();
        }
        std::unique_ptr<QWidget> dialog;
        if (window == QStringLiteral("DlgOption"))
            dialog = std::make_unique<DlgOption>(*m_main, m_main.get());
        else if (window == QStringLiteral("DlgJudge"))
            dialog = std::make_unique<DlgJudge>(*m_main, m_main.get());
        else if (window == QStringLiteral("DlgHistory"))
            dialog = std::make_unique<DlgHistory>(*m_main, m_main.get());
        else if (window == QStringLiteral("DlgDownload"))
            dialog = std::make_unique<DlgDownload>(*m_main, m_main.get());
        else if (window == QStringLiteral("DlgWheel"))
            dialog = FinishedWheel();
        else if (window == QStringLiteral("DlgAnalysis"))
            dialog = loto7 ? countedChance() : estimatedPopularity();
        QVERIFY(dialog || window == QStringLiteral("Form1"));
        QWidget *shown = dialog ? dialog.get() : m_main.get();
        shown->show();
        // The design's size where the screen has room for it; a window that
        // can scroll shrinks to the screen, its controls still at the
        // design's places, and is wholly on the screen.
        const QRect room = shown->screen()->availableGeometry();
        if (QWidget *content = shown->findChild<QWidget *>(QStringLiteral("Content"))) {
            const QSize frame = shown->frameGeometry().size() - shown->size();
            QCOMPARE(shown->size(), size.boundedTo(room.size() - frame));
            QVERIFY(content->width() >= size.width() && content->height() >= size.height());
            QVERIFY2(room.contains(shown->frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                           .arg(shown->x())
                                                                           .arg(shown->y())
                                                                           .arg(shown->width())
                                                                           .arg(shown->height())));
        } else {
            QCOMPARE(shown->size(), size);
        }
        checkLayout(shown, loto7 ? QStringLiteral("_loto7") : QString());
        if (auto *options = qobject_cast<DlgOption *>(shown))
            QVERIFY(options->LblDataFolder->text().contains(
                QDir::toNativeSeparators(m_main->ProgramFolder)));
    }
};

QTEST_MAIN(DisplayScaleTest)
#include "tst_DisplayScale.moc"
