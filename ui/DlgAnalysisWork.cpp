#include "ui/DlgAnalysis.h"

#include "core/BacktestReport.h"
#include "core/ChanceReport.h"
#include "core/DrawFrequency.h"
#include "core/SavedRows.h"
#include "core/TicketRows.h"
#include "core/WorkControl.h"
#include "storage/CodePage.h"
#include "ui/AnalysisText.h"
#include "ui/BacktestRowModel.h"
#include "ui/FileFolders.h"
#include "ui/Form1.h"
#include "ui/PopularityTab.h"
#include "ui/ResultGrid.h"
#include "ui/ResultGridModel.h"
#include "ui/UserDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QtConcurrent>

#include <algorithm>
#include <optional>

template<typename Result>
void DlgAnalysis::startWork(std::function<Result(WorkControl &)> job,
                            std::function<void(Result &)> done)
{
    if (isWorking())
        return;
    auto control = std::make_shared<WorkControl>();
    auto *watcher = new QFutureWatcher<std::shared_ptr<Result>>(this);
    m_control = control;
    m_watcher = watcher;
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, done] {
        const std::shared_ptr<Result> result = watcher->result();
        m_watcher = nullptr;
        m_control.reset();
        watcher->deleteLater();
        setWorking(false);
        done(*result);
    });
    watcher->setFuture(
        QtConcurrent::run([control, job] { return std::make_shared<Result>(job(*control)); }));
    setWorking(true);
}

struct DlgAnalysis::Loaded
{
    std::array<QVector<DrawRecord>, GameCount> Draws;
    // The shown game counted as the window first shows it.
    FrequencyStats Frequency;
    int Game = 0;
    bool Cancelled = false;
};

void DlgAnalysis::loadDraws(const DrawSource &draws)
{
    m_loading = true;
    const int shown = game();
    const GameInfo info = m_main.GameTable[shown];
    TabPopularity->CmdPopularity->setEnabled(false);
    showFrequency();
    startWork<Loaded>(
        [draws, shown, info](WorkControl &control) {
            Loaded loaded;
            loaded.Game = shown;
            constexpr qint64 Steps = 1000;
            control.start(Steps * GameCount);
            for (int g = 0; g < GameCount && draws && !control.isCancelled(); ++g) {
                qint64 reported = 0;
                loaded.Draws[size_t(g)] = draws(g, [&control, &reported](double done) {
                    const qint64 now = qint64(std::clamp(done, 0.0, 1.0) * Steps);
                    if (now > reported) {
                        control.advance(now - reported);
                        reported = now;
                    }
                    return !control.isCancelled();
                });
                control.advance(Steps - reported);
                QVector<DrawRecord> &list = loaded.Draws[size_t(g)];
                std::stable_sort(list.begin(), list.end(),
                                 [](const DrawRecord &a, const DrawRecord &b) {
                                     return a.DrawNumber < b.DrawNumber;
                                 });
            }
            loaded.Cancelled = control.isCancelled();
            if (!loaded.Cancelled)
                loaded.Frequency = CountFrequencies(loaded.Draws[size_t(shown)], shown, info,
                                                    false);
            return loaded;
        },
        [this](Loaded &loaded) { showLoaded(loaded); });
}

// Every stored draw of each game once, in draw order; the range starts as all of them.
void DlgAnalysis::showLoaded(Loaded &loaded)
{
    m_loading = false;
    TabPopularity->CmdPopularity->setEnabled(true);
    if (loaded.Cancelled) {
        LblRange->setText(QStringLiteral("当選番号の履歴の読込を中止しました。"
                                         "分析するには、この画面を開き直してください。"));
        CmdBacktest->setEnabled(false);
        CmdChance->setEnabled(false);
        TabPopularity->CmdPopularity->setEnabled(false);
        return;
    }
    for (int g = 0; g < GameCount; ++g) {
        m_draws[size_t(g)] = std::move(loaded.Draws[size_t(g)]);
        const QVector<DrawRecord> &list = m_draws[size_t(g)];
        if (!list.isEmpty())
            m_ranges[size_t(g)] = {list.first().DrawNumber, list.last().DrawNumber};
    }
    showRange();
    // The user may have switched the game or the bonus box meanwhile.
    if (game() == loaded.Game && !ChkBonus->isChecked()) {
        m_frequency = std::move(loaded.Frequency);
        showFrequency();
    } else {
        updateFrequency();
    }
}

bool DlgAnalysis::isWorking() const
{
    return m_watcher != nullptr;
}

void DlgAnalysis::setWorking(bool working)
{
    CmdBacktest->setEnabled(!working);
    CmdChance->setEnabled(!working);
    CmdExport->setEnabled(!working && m_rowModel->rowCount() > 0);
    CmdStop->setEnabled(working);
    PrgWork->setValue(0);
    if (working)
        m_progressTimer.start();
    else
        m_progressTimer.stop();
}

void DlgAnalysis::showProgress()
{
    if (!m_control || m_control->total() <= 0)
        return;
    PrgWork->setValue(int(1000 * m_control->done() / m_control->total()));
}

void DlgAnalysis::CmdStop_Click()
{
    if (m_control)
        m_control->cancel();
}

// Ends the work in hand before the window goes; its result is dropped.
void DlgAnalysis::stopWork()
{
    if (!m_watcher)
        return;
    m_control->cancel();
    m_watcher->disconnect(this);
    m_watcher->waitForFinished();
    m_watcher = nullptr;
    m_control.reset();
    setWorking(false);
}

namespace {

const QString Stopped = QStringLiteral("中止しました。");

SavedRowSets SavedRows(const Form1 &main)
{
    return ReadSavedRows(main.FGkekka[1]->gridModel()->store());
}

} // namespace

void DlgAnalysis::CmdBacktest_Click()
{
    std::array<QVector<DrawRecord>, GameCount> draws;
    for (int g = 0; g < GameCount; ++g)
        draws[size_t(g)] = drawsInRange(g);
    // Shared with the worker rather than copied: a large save area makes
    // megabytes of sets.
    const auto rows = std::make_shared<const SavedRowSets>(SavedRows(m_main));
    m_rowModel->clear();
    GridBacktestDraws->setRowCount(0);
    TxtBacktest->setPlainText(QStringLiteral("検証しています…"));
    startWork<BacktestResult>(
        [rows, draws](WorkControl &control) { return RunBacktest(*rows, draws, control); },
        [this](BacktestResult &result) { showBacktest(result); });
}

void DlgAnalysis::showBacktest(BacktestResult &result)
{
    if (result.Cancelled) {
        TxtBacktest->setPlainText(Stopped);
        return;
    }
    std::array<DrawRange, GameCount> ranges;
    for (int g = 0; g < GameCount; ++g)
        ranges[size_t(g)] = {m_ranges[size_t(g)].From, m_ranges[size_t(g)].To};
    TxtBacktest->setPlainText(BacktestReportText(result, m_main.GameTable, ranges));
    m_rowModel->setRows(std::move(result.Rows));
    GridBacktest->sortByColumn(GridBacktest->horizontalHeader()->sortIndicatorSection(),
                               GridBacktest->horizontalHeader()->sortIndicatorOrder());
    showBacktestDraws(result.Draws);
    CmdExport->setEnabled(m_rowModel->rowCount() > 0);
}

void DlgAnalysis::showBacktestDraws(const std::vector<BacktestDraw> &draws)
{
    GridBacktestDraws->setSortingEnabled(false);
    GridBacktestDraws->setRowCount(int(draws.size()));
    for (int r = 0; r < int(draws.size()); ++r) {
        const BacktestDraw &draw = draws[size_t(r)];
        const auto text = [&](int column, const QString &value) {
            auto *item = new QTableWidgetItem(value);
            item->setTextAlignment(Qt::AlignCenter);
            GridBacktestDraws->setItem(r, column, item);
        };
        const auto number = [&](int column, qint64 value) {
            GridBacktestDraws->setItem(r, column, NumberCell(double(value), Grouped(value)));
        };
        text(0, m_main.GameTable[draw.Game].GameName);
        // Draw numbers are names, written plain as everywhere else.
        GridBacktestDraws->setItem(r, 1,
                                   NumberCell(draw.DrawNumber, QString::number(draw.DrawNumber)));
        text(2, draw.Date.toString(QStringLiteral("yyyy/MM/dd")));
        for (int t = 0; t < TierCount(draw.Game); ++t)
            number(3 + t, draw.Wins[size_t(t)]);
        if (draw.YenTooLarge)
            text(3 + MaxTiers, QStringLiteral("範囲外"));
        else
            number(3 + MaxTiers, draw.Yen);
        text(4 + MaxTiers, PrizeRecordText(draw));
    }
    GridBacktestDraws->setSortingEnabled(true);
}

void DlgAnalysis::CmdExport_Click()
{
    const QString fileName = SaveCsvThroughDialog(
        m_main.dialogs(), this,
        CsvSaveOptions(StartFolder(QStringLiteral("analysis"), m_main.ProgramFolder)), [this] {
            return ToCp932(m_rowModel->csvLines().join(QStringLiteral("\r\n"))
                           + QStringLiteral("\r\n"));
        });
    if (!fileName.isEmpty())
        RememberFolder(QStringLiteral("analysis"), fileName);
}

void DlgAnalysis::CmdChance_Click()
{
    const SavedRowSets rows = SavedRows(m_main);
    std::array<std::vector<NumberSet>, GameCount> combinations;
    std::array<qint64, GameCount> saved{};
    for (int g = 0; g < GameCount; ++g) {
        combinations[size_t(g)] = CombinationRows(rows.Games[size_t(g)], m_main.GameTable[g]);
        saved[size_t(g)] = qint64(rows.Games[size_t(g)].size()) + rows.Games[size_t(g)].NotTickets;
    }
    const GameTableType games = m_main.GameTable;
    TxtChance->setPlainText(QStringLiteral("計算しています…"));
    using Results = std::array<ChanceResult, GameCount>;
    startWork<Results>(
        [combinations, games](WorkControl &control) {
            Results results;
            for (int g = 0; g < GameCount && !control.isCancelled(); ++g) {
                // Each game's count runs with the whole bar.
                results[size_t(g)] = ComputeChance(g, games[size_t(g)], combinations[size_t(g)],
                                                   control);
            }
            results[0].Cancelled = control.isCancelled();
            return results;
        },
        [this, saved](Results &results) { showChance(results, saved); });
}

void DlgAnalysis::showChance(const std::array<ChanceResult, GameCount> &results,
                             const std::array<qint64, GameCount> &savedRows)
{
    for (const ChanceResult &result : results) {
        if (result.Cancelled) {
            TxtChance->setPlainText(Stopped);
            return;
        }
    }
    std::array<std::array<std::optional<double>, MaxTiers>, GameCount> averages;
    for (int g = 0; g < GameCount; ++g)
        averages[size_t(g)] = AveragePrizeYen(drawsInRange(g), g);
    TxtChance->setPlainText(ChanceReportText(results, savedRows, m_main.GameTable, averages));
}
