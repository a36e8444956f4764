#include "support/DrawFixtures.h"
#include "support/FakeDialogs.h"
#include "support/Screenshots.h"
#include "support/SyntheticPopularity.h"
#include "support/TestFiles.h"

#include "core/Backtest.h"
#include "core/BacktestReport.h"
#include "core/ChanceReport.h"
#include "core/FrequencyReport.h"
#include "core/PopularityReport.h"
#include "core/SavedRows.h"
#include "core/WorkControl.h"
#include "storage/DrawHistory.h"
#include "storage/FilePathCommands.h"
#include "ui/BacktestRowModel.h"
#include "ui/BoardSlider.h"
#include "ui/DlgAnalysis.h"
#include "ui/Form1.h"
#include "ui/PopularityRowModel.h"
#include "ui/PopularityTab.h"
#include "ui/ResultGrid.h"
#include "ui/ResultGridModel.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QSpinBox>
#include <QStringDecoder>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QValueAxis>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

constexpr int Loto6Draws = 300;
constexpr int MiniDraws = 200;

DrawSource Fixtures()
{
    return [](int game, const ReadProgress &) {
        return FixtureDraws(game, game == GameLoto6 ? Loto6Draws : MiniDraws);
    };
}

// The dialog reads its draws in the background when it opens.
bool Loaded(const DlgAnalysis &dialog)
{
    return QTest::qWaitFor([&dialog] { return !dialog.isWorking(); }, 20000);
}

// The sum of the bars and the level of the chance line on the chart.
std::pair<double, double> ChartFigures(const DlgAnalysis &dialog)
{
    double bars = 0;
    double expected = -1;
    for (QAbstractSeries *series : dialog.ChartFrequency->chart()->series()) {
        if (auto *barSeries = qobject_cast<QBarSeries *>(series))
            bars = barSeries->barSets().at(0)->sum();
        if (auto *line = qobject_cast<QLineSeries *>(series); line && line->count() > 0)
            expected = line->at(0).y();
    }
    return {bars, expected};
}

// Rows in the save area from clip text: cells by TAB, rows by CR.
void FillSaveArea(Form1 &w, int rows, const QString &clip)
{
    w.FGkekka[1]->setRowCount(rows + 1);
    w.FGkekka[1]->gridModel()->setBlockText(1, 1, clip);
}

SavedRowSets SavedRowsOf(const Form1 &w)
{
    return ReadSavedRows(w.FGkekka[1]->gridModel()->store());
}

QList<int> FirstDraws(int count)
{
    QList<int> numbers;
    for (int d = 1; d <= count; ++d)
        numbers << d;
    return numbers;
}

QString RowsOf(const QVector<DrawRecord> &draws, const QList<int> &drawNumbers)
{
    QStringList rows;
    for (const int d : drawNumbers) {
        const DrawRecord &draw = draws.at(d - 1);
        QStringList cells;
        for (int k = 0; k < draw.MainCount; ++k)
            cells << QString::number(draw.Numbers[size_t(k)]);
        rows << cells.join(QLatin1Char('\t'));
    }
    return rows.join(QLatin1Char('\r'));
}

} // namespace

// The analysis dialog on the main window: its three tabs with fixture draws,
// the board it sets, the CSV it writes and the stop of its long work.
class DlgAnalysisTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    FakeDialogs m_dialogs;

    std::unique_ptr<Form1> start()
    {
        return std::make_unique<Form1>(AddPathSeparator(m_dir.path()), m_dialogs);
    }

private slots:
    void init() { m_dialogs = FakeDialogs(); }

    // The button opens the dialog on the window's own draw history.
    void analysisButton_opensTheDialogOnTheHistory()
    {
        auto w = start();
        QCOMPARE(w->CmdAnalysis->parentWidget(), w->Frame3);
        QCOMPARE(w->CmdAnalysis->text(), QStringLiteral("分析(&A)"));
        QCOMPARE(w->CmdAnalysis->geometry(), TwipsRect(8880, 3240, 1575, 375));
        QString seen;
        const auto look = [&seen] {
            auto *dialog = qobject_cast<DlgAnalysis *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QVERIFY(Loaded(*dialog));
            seen = dialog->windowTitle() + QLatin1Char('|') + dialog->LblRange->text();
            dialog->CancelButton->click();
        };
        QTimer::singleShot(0, qApp, look);
        w->CmdAnalysis->click();
        QCOMPARE(seen,
                 QStringLiteral("分析|当選番号の履歴がありません。履歴に取り込むと分析できます。"));

        QVERIFY(w->History().store(FixtureDraws(GameLoto6, 12)));
        QTimer::singleShot(0, qApp, look);
        w->CmdAnalysis->click();
        QCOMPARE(seen, QStringLiteral("分析|保存されている 12 回のうち 12 回"));
    }

    // The window opens before the draws are read; the read shows its
    // progress and can be stopped.
    void opening_readsTheDrawsInTheBackground()
    {
        auto w = start();
        auto go = std::make_shared<QSemaphore>();
        const DrawSource held = [go](int game, const ReadProgress &progress) {
            progress(0.5);
            go->tryAcquire(1, 3000);
            return FixtureDraws(game, 50);
        };
        DlgAnalysis dialog(*w, held);
        QVERIFY(dialog.isWorking());
        QVERIFY(dialog.CmdStop->isEnabled());
        QVERIFY(!dialog.CmdBacktest->isEnabled());
        QVERIFY(!dialog.TabPopularity->CmdPopularity->isEnabled());
        QCOMPARE(dialog.LblRange->text(), QStringLiteral("当選番号の履歴を読み込んでいます…"));
        QTRY_VERIFY(dialog.PrgWork->value() > 0);
        go->release(GameCount);
        QVERIFY(Loaded(dialog));
        QCOMPARE(dialog.LblRange->text(), QStringLiteral("保存されている 50 回のうち 50 回"));
        QCOMPARE(ChartFigures(dialog).first, 300.0);
        QCOMPARE(dialog.SpnTo->value(), 50);
        QVERIFY(dialog.CmdBacktest->isEnabled());
        QVERIFY(dialog.TabPopularity->CmdPopularity->isEnabled());

        const DrawSource endless = [](int game, const ReadProgress &progress) {
            for (int wait = 0; wait < 20000 && progress(0.1); ++wait)
                QThread::msleep(1);
            return FixtureDraws(game, 10);
        };
        DlgAnalysis stopped(*w, endless);
        QTRY_VERIFY(stopped.PrgWork->value() > 0);
        stopped.CmdStop->click();
        QVERIFY(Loaded(stopped));
        QVERIFY2(stopped.LblRange->text().contains(QStringLiteral("中止")),
                 qPrintable(stopped.LblRange->text()));
        QVERIFY(!stopped.CmdBacktest->isEnabled());
        QVERIFY(!stopped.SpnFrom->isEnabled());
    }

    void frequencyTab_countsBesideChance()
    {
        auto w = start();
        DlgAnalysis dialog(*w, Fixtures());
        QVERIFY(Loaded(dialog));
        QCOMPARE(dialog.CmbGame->count(), int(GameCount));
        QCOMPARE(dialog.SpnFrom->value(), 1);
        QCOMPARE(dialog.SpnTo->value(), Loto6Draws);
        QCOMPARE(ChartFigures(dialog).first, 6.0 * Loto6Draws);
        QVERIFY(qFuzzyCompare(ChartFigures(dialog).second, Loto6Draws * 6 / 43.0));
        QCOMPARE(dialog.GridFrequency->rowCount(), 43);
        QCOMPARE(
            dialog.TxtFrequency->toPlainText(),
            FrequencyReportText(dialog.frequency(), w->GameTable[GameLoto6], 1, Loto6Draws, false));
        // The count axis ticks at round values.
        const auto *axis = qobject_cast<QValueAxis *>(
            dialog.ChartFrequency->chart()->axes(Qt::Vertical).value(0));
        QVERIFY(axis);
        QCOMPARE(axis->tickType(), QValueAxis::TicksDynamic);
        QCOMPARE(axis->tickAnchor(), 0.0);
        QVERIFY2(QList<double>({1, 2, 5, 10, 20, 50}).contains(axis->tickInterval()),
                 qPrintable(QString::number(axis->tickInterval())));
        QCOMPARE(std::fmod(axis->max(), axis->tickInterval()), 0.0);
        dialog.show();
        SaveScreenshot(&dialog, QStringLiteral("analysis_frequency"));

        dialog.ChkBonus->setChecked(true);
        QCOMPARE(ChartFigures(dialog).first, 7.0 * Loto6Draws);
        dialog.SpnTo->setValue(100);
        QCOMPARE(ChartFigures(dialog).first, 700.0);
        QVERIFY(qFuzzyCompare(ChartFigures(dialog).second, 100 * 7 / 43.0));
        QCOMPARE(dialog.TxtFrequency->toPlainText(),
                 FrequencyReportText(dialog.frequency(), w->GameTable[GameLoto6], 1, 100, true));

        // Each game keeps its own range.
        dialog.CmbGame->setCurrentIndex(GameMiniLoto);
        dialog.CmbGame_Click();
        QCOMPARE(dialog.SpnTo->value(), MiniDraws);
        QCOMPARE(dialog.GridFrequency->rowCount(), 31);
        QCOMPARE(ChartFigures(dialog).first, 6.0 * MiniDraws);
        dialog.CmbGame->setCurrentIndex(GameLoto6);
        dialog.CmbGame_Click();
        QCOMPARE(dialog.SpnTo->value(), 100);

        // A difference a hair below the expectation shows as 0.0σ, unsigned.
        int tinyBelow = 0;
        for (int to = 1; to <= 150; ++to) {
            dialog.SpnTo->setValue(to);
            for (int r = 0; r < dialog.GridFrequency->rowCount(); ++r) {
                const QTableWidgetItem *cell = dialog.GridFrequency->item(r, 2);
                QVERIFY2(cell->text() != QStringLiteral("-0.0σ"), qPrintable(QString::number(to)));
                if (cell->data(Qt::UserRole).toDouble() < 0
                    && cell->text() == QStringLiteral("0.0σ"))
                    ++tinyBelow;
            }
        }
        QVERIFY(tinyBelow > 0);
    }

    void toBoard_setsTheSlidersAsTheUsersOwnSetting()
    {
        auto w = start();
        QCOMPARE(w->currentGame(), GameLoto6);
        DlgAnalysis dialog(*w, Fixtures());
        QVERIFY(Loaded(dialog));
        dialog.CmbGame->setCurrentIndex(GameMiniLoto);
        dialog.CmbGame_Click();
        const std::array<int, BoardSlots> board = BoardFromCounts(dialog.frequency());

        m_dialogs.confirmAnswers = {false};
        dialog.CmdToBoard->click();
        QCOMPARE(m_dialogs.questions.size(), 1);
        QCOMPARE(m_dialogs.questions.at(0).title, QStringLiteral("盤に反映"));
        QCOMPARE(w->currentGame(), GameLoto6);
        QCOMPARE(w->Slider1[1]->value(), 3);

        m_dialogs.confirmAnswers = {true};
        dialog.CmdToBoard->click();
        QCOMPARE(w->currentGame(), GameMiniLoto);
        QCOMPARE(w->CmbPattern->currentIndex(), 0);
        for (int n = 1; n <= 31; ++n) {
            QCOMPARE(w->Slider1[size_t(n)]->value(), board[size_t(n)]);
            QCOMPARE(w->CustomSettings[size_t(n)], board[size_t(n)]);
        }
        QCOMPARE(w->Slider1[40]->value(), 3);
    }

    void backtestTab_judgesTheSaveAreaAndWritesCsv()
    {
        auto w = start();
        const QVector<DrawRecord> loto6 = FixtureDraws(GameLoto6, Loto6Draws);
        const QVector<DrawRecord> mini = FixtureDraws(GameMiniLoto, MiniDraws);
        // Rows equal to past draws win their first prize there; the rest
        // of the rows are other draws' numbers, winning what chance gives.
        FillSaveArea(*w, 48,
                     RowsOf(loto6, {5, 17, 33, 120, 251}) + QLatin1Char('\r')
                         + RowsOf(mini, {8, 99, 150}) + QLatin1Char('\r')
                         + RowsOf(FixtureDraws(GameLoto6, 40, 9), FirstDraws(40)));
        DlgAnalysis dialog(*w, Fixtures());
        QVERIFY(Loaded(dialog));
        dialog.TabAnalysis->setCurrentIndex(1);
        dialog.CmdBacktest->click();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isWorking(), 30000);

        const QAbstractItemModel *rows = dialog.GridBacktest->model();
        QCOMPARE(rows->rowCount(), 48);
        for (int r = 0; r < 8; ++r) {
            QCOMPARE(rows->index(r, BacktestRowModel::RowColumn).data().toString(),
                     QString::number(r + 1));
            QCOMPARE(rows->index(r, BacktestRowModel::BestColumn).data().toString(),
                     QStringLiteral("1等"));
        }
        QCOMPARE(rows->index(5, BacktestRowModel::GameColumn).data().toString(),
                 QStringLiteral("ミニロト"));
        QCOMPARE(dialog.GridBacktestDraws->rowCount(), Loto6Draws + MiniDraws);
        // The report of the window's own rows and draws.
        WorkControl control;
        std::array<QVector<DrawRecord>, GameCount> draws;
        std::array<DrawRange, GameCount> ranges;
        for (int g = 0; g < GameCount; ++g) {
            draws[size_t(g)] = Fixtures()(g, ReadProgress());
            ranges[size_t(g)] = {1, int(draws[size_t(g)].size())};
        }
        QCOMPARE(
            dialog.TxtBacktest->toPlainText(),
            BacktestReportText(RunBacktest(SavedRowsOf(*w), draws, control), w->GameTable, ranges));
        dialog.show();
        SaveScreenshot(&dialog, QStringLiteral("analysis_backtest"));

        // Sorted by the yen won, and written to CSV in that order.
        dialog.GridBacktest->sortByColumn(BacktestRowModel::YenColumn, Qt::DescendingOrder);
        const QLocale locale(QLocale::Japanese, QLocale::Japan);
        QStringList shown;
        for (int r = 0; r < 48; ++r) {
            shown << rows->index(r, BacktestRowModel::RowColumn).data().toString();
            if (r > 0)
                QVERIFY(locale.toLongLong(
                            rows->index(r - 1, BacktestRowModel::YenColumn).data().toString())
                        >= locale.toLongLong(
                            rows->index(r, BacktestRowModel::YenColumn).data().toString()));
        }
        const QString csv = m_dir.filePath(QStringLiteral("rows.csv"));
        m_dialogs.fileNames = {csv};
        dialog.CmdExport->click();
        QStringDecoder decoder("windows-31j");
        const QStringList lines = QString(decoder.decode(FileBytes(csv)))
                                      .split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 48 + 2);
        QCOMPARE(lines.first(), QStringLiteral("行,くじ,1等,2等,3等,4等,5等,6等,最高,当選金(円)"));
        for (int r = 0; r < 48; ++r)
            QCOMPARE(lines.at(r + 1).section(QLatin1Char(','), 0, 0), shown.at(r));
        // Mini LOTO has no fifth prize: its cell stays empty.
        const QStringList miniRow
            = lines.filter(QStringLiteral(",ミニロト,")).value(0).split(QLatin1Char(','));
        QCOMPARE(miniRow.size(), 10);
        QCOMPARE(miniRow.at(BacktestRowModel::FirstTierColumn + 4), QString());
        QVERIFY(lines.last().isEmpty());
    }

    void chanceTab_exactFiguresOverEveryOutcome()
    {
        auto w = start();
        FillSaveArea(
            *w, 3,
            QStringLiteral("5\t12\t19\t28\t36\t43\r5\t12\t19\t28\t36\t43\r2\t9\t17\t24\t31"));
        DlgAnalysis dialog(*w, Fixtures());
        QVERIFY(Loaded(dialog));
        dialog.TabAnalysis->setCurrentIndex(2);
        dialog.CmdChance->click();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isWorking(), 30000);
        // The report of the window's own rows, with the draws' average prizes.
        const SavedRowSets rows = SavedRowsOf(*w);
        std::array<ChanceResult, GameCount> results;
        std::array<qint64, GameCount> saved{};
        std::array<std::array<std::optional<double>, MaxTiers>, GameCount> averages;
        WorkControl control;
        for (int g = 0; g < GameCount; ++g) {
            const GameInfo &info = w->GameTable[g];
            results[size_t(g)] = ComputeChance(
                g, info, CombinationRows(rows.Games[size_t(g)], info), control);
            saved[size_t(g)] = qint64(rows.Games[size_t(g)].size())
                               + rows.Games[size_t(g)].NotTickets;
            averages[size_t(g)] = AveragePrizeYen(Fixtures()(g, ReadProgress()), g);
        }
        QCOMPARE(dialog.TxtChance->toPlainText(),
                 ChanceReportText(results, saved, w->GameTable, averages));
        dialog.show();
        SaveScreenshot(&dialog, QStringLiteral("analysis_chance"));
    }

    void popularityTab_pricesTheSaveAreaAndWritesCsv()
    {
        auto w = start();
        FillSaveArea(*w, 4,
                     QStringLiteral("1\t2\t3\t4\t5\t6\r33\t35\t37\t39\t41\t43\r"
                                    "2\t9\t17\t24\t31\r5\t12\t19\t28\t36"));
        const DrawSource players = [](int game, const ReadProgress &) {
            SyntheticPlayers taste;
            taste.Game = game;
            taste.MaxNumber = game == GameLoto6 ? 43 : 31;
            taste.PickCount = game == GameLoto6 ? 6 : 5;
            for (int n = 1; n <= taste.MaxNumber; ++n)
                taste.Effects[size_t(n)] = n <= 12 ? 0.3 : 0.0;
            return SyntheticHistory(taste, 200, 4);
        };
        DlgAnalysis dialog(*w, players);
        QVERIFY(Loaded(dialog));
        PopularityTab *tab = dialog.TabPopularity;
        QCOMPARE(dialog.TabAnalysis->tabText(3), QStringLiteral("人気と配当"));
        QCOMPARE(tab->CmdPopularity->text(), QStringLiteral("推定する(&P)"));
        dialog.TabAnalysis->setCurrentIndex(3);
        tab->CmdPopularity->click();
        QTRY_VERIFY_WITH_TIMEOUT(!tab->isWorking(), 20000);

        const QString text = tab->TxtPopularity->toPlainText();
        QVERIFY2(text.contains(QStringLiteral("4等口数 R² = ")), qPrintable(text));
        QVERIFY(text.endsWith(PopularityNoticeLines().join(QLatin1Char('\n'))));
        QVERIFY(text.contains(QStringLiteral("数字がそろっていない行 1 行は除いています。")));
        const QAbstractItemModel *rows = tab->GridPopularity->model();
        QCOMPARE(rows->rowCount(), 3);
        tab->GridPopularity->sortByColumn(PopularityRowModel::IndexColumn, Qt::DescendingOrder);
        // The LOTO6 row of high numbers, which few pick, heads the list.
        QCOMPARE(rows->index(0, PopularityRowModel::RowColumn).data().toString(),
                 QStringLiteral("2"));
        auto *bars = qobject_cast<QBarSeries *>(tab->ChartPopularity->chart()->series().at(0));
        QVERIFY(bars);
        QCOMPARE(bars->barSets().at(0)->count(), 43);
        dialog.show();
        SaveScreenshot(&dialog, QStringLiteral("analysis_popularity"));

        const QString csv = m_dir.filePath(QStringLiteral("popularity.csv"));
        m_dialogs.fileNames = {csv};
        tab->CmdPopularityExport->click();
        QStringDecoder decoder("windows-31j");
        const QStringList lines = QString(decoder.decode(FileBytes(csv)))
                                      .split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 3 + 2);
        QCOMPARE(lines.first(), QStringLiteral("行,くじ,人気指数,期待配当 固定(円),"
                                               "期待配当 山分け(円),期待配当 計(円),価格(円)"));
        QVERIFY(lines.at(1).startsWith(QStringLiteral("2,ロト６,")));

        // Draws without winner counts: a sentence, and no table.
        DlgAnalysis plain(*w, [](int game, const ReadProgress &) {
            QVector<DrawRecord> draws = FixtureDraws(game, 100);
            for (DrawRecord &draw : draws)
                draw.Winners.fill(DrawRecord::Unknown);
            return draws;
        });
        QVERIFY(Loaded(plain));
        plain.TabPopularity->CmdPopularity->click();
        QTRY_VERIFY_WITH_TIMEOUT(!plain.TabPopularity->isWorking(), 30000);
        QVERIFY(plain.TabPopularity->TxtPopularity->toPlainText().contains(
            QStringLiteral("当選口数と賞金の記録がある回がないため、人気は推定できません。")));
        QCOMPARE(plain.TabPopularity->GridPopularity->model()->rowCount(), 0);
        QVERIFY(!plain.TabPopularity->CmdPopularityExport->isEnabled());
    }

    void stop_endsTheWorkAndTheWindowGoesOn()
    {
        auto w = start();
        constexpr int Rows = 300000;
        QString clip;
        for (int r = 0; r < Rows; ++r) {
            if (r > 0)
                clip += QLatin1Char('\r');
            const int a = 1 + r % 38;
            clip += QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6")
                        .arg(a)
                        .arg(a + 1)
                        .arg(a + 2)
                        .arg(a + 3)
                        .arg(a + 4)
                        .arg(a + 5);
        }
        FillSaveArea(*w, Rows, clip);
        const DrawSource many = [](int game, const ReadProgress &) {
            return FixtureDraws(game, 2000);
        };
        {
            DlgAnalysis dialog(*w, many);
            QVERIFY(Loaded(dialog));
            dialog.CmdBacktest->click();
            QVERIFY(dialog.isWorking());
            QVERIFY(dialog.CmdStop->isEnabled());
            QVERIFY(!dialog.CmdChance->isEnabled());
            dialog.CmdStop->click();
            QTRY_VERIFY_WITH_TIMEOUT(!dialog.isWorking(), 30000);
            QCOMPARE(dialog.TxtBacktest->toPlainText(), QStringLiteral("中止しました。"));
            QCOMPARE(dialog.GridBacktest->model()->rowCount(), 0);
            QVERIFY(dialog.CmdBacktest->isEnabled());
            QVERIFY(!dialog.CmdExport->isEnabled());

            // Closing the window in the middle of the work ends it too.
            dialog.CmdBacktest->click();
            QVERIFY(dialog.isWorking());
        }
        QVERIFY(w->isEnabled());
    }
};

QTEST_MAIN(DlgAnalysisTest)
#include "tst_DlgAnalysis.moc"
