#pragma once

#include "core/Backtest.h"
#include "core/DrawFrequency.h"
#include "core/GameTable.h"
#include "core/PrizeChance.h"
#include "rules/DrawRecord.h"

#include <QDialog>
#include <QTimer>
#include <QVector>

#include <array>
#include <functional>
#include <memory>

class BacktestRowModel;
class Form1;
class PopularityTab;
class QChartView;
class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QFutureWatcherBase;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableView;
class QTableWidget;
class WorkControl;

// Told how much of a read is done (0 to 1); false asks the read to stop.
using ReadProgress = std::function<bool(double done)>;
// The stored draws of a game (0 LOTO6, 1 Mini LOTO, ...), ascending by draw
// number. Called on a worker thread.
using DrawSource = std::function<QVector<DrawRecord>(int game, const ReadProgress &progress)>;

// Analysis of the stored draws: how often each number came up against what
// chance gives, the save area's rows tried against past draws, and the
// exact chance that they win next draw. The long work, the first read of
// the draws included, runs on worker threads; the window stays responsive
// and can stop it.
class DlgAnalysis : public QDialog
{
    Q_OBJECT
public:
    DlgAnalysis(Form1 &main, const DrawSource &draws, QWidget *parent = nullptr);
    ~DlgAnalysis() override;

    // --- Game and range of draws (a range per game) ---
    QComboBox *CmbGame = nullptr;
    QSpinBox *SpnFrom = nullptr;
    QSpinBox *SpnTo = nullptr;
    QLabel *LblRange = nullptr;
    QTabWidget *TabAnalysis = nullptr;

    // --- 出現回数 ---
    QChartView *ChartFrequency = nullptr;
    QCheckBox *ChkBonus = nullptr;
    QTableWidget *GridFrequency = nullptr;
    QPlainTextEdit *TxtFrequency = nullptr;
    QPushButton *CmdToBoard = nullptr;
    QLabel *LblToBoard = nullptr;

    // --- 検証 ---
    QPushButton *CmdBacktest = nullptr;
    QPushButton *CmdExport = nullptr;
    QPlainTextEdit *TxtBacktest = nullptr;
    QTableView *GridBacktest = nullptr;
    QTableWidget *GridBacktestDraws = nullptr;

    // --- 次回の確率 ---
    QPushButton *CmdChance = nullptr;
    QPlainTextEdit *TxtChance = nullptr;
    QLabel *LblChance = nullptr;

    // --- 人気と配当 ---
    PopularityTab *TabPopularity = nullptr;

    // --- Long work ---
    QProgressBar *PrgWork = nullptr;
    QPushButton *CmdStop = nullptr;
    QPushButton *CancelButton = nullptr;

    void CmbGame_Click();
    void SpnRange_Change();
    void ChkBonus_Click();
    void CmdToBoard_Click();
    void CmdBacktest_Click();
    void CmdExport_Click();
    void CmdChance_Click();
    void CmdStop_Click();
    void CancelButton_Click();

    int game() const;
    // The stored draws of the game within its chosen range.
    QVector<DrawRecord> drawsInRange(int game) const;
    const FrequencyStats &frequency() const { return m_frequency; }
    // True while the work in hand, the first read of the draws included, runs.
    bool isWorking() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    struct Range
    {
        int From = 0;
        int To = 0;
    };

    struct Loaded;
    // Reads every game's draws and counts the shown one in the background.
    void loadDraws(const DrawSource &draws);
    void showLoaded(Loaded &loaded);
    QHBoxLayout *createRangeBar();
    QHBoxLayout *createBottomBar();
    void connectControls();
    QWidget *createFrequencyTab();
    QWidget *createBacktestTab();
    QWidget *createChanceTab();
    void showRange();
    void updateFrequency();
    void showFrequency();
    void showFrequencyChart();
    void showFrequencyTable();
    void showFrequencyText();
    void showBacktest(BacktestResult &result);
    void showBacktestDraws(const std::vector<BacktestDraw> &draws);
    void showChance(const std::array<ChanceResult, GameCount> &results,
                    const std::array<qint64, GameCount> &savedRows);

    // Runs job on a worker thread with the progress bar and the stop
    // button, then hands its result to done on this thread.
    template<typename Result>
    void startWork(std::function<Result(WorkControl &)> job, std::function<void(Result &)> done);
    void setWorking(bool working);
    void showProgress();
    void stopWork();

    Form1 &m_main;
    std::array<QVector<DrawRecord>, GameCount> m_draws;
    std::array<Range, GameCount> m_ranges;
    FrequencyStats m_frequency;
    bool m_loading = false;
    BacktestRowModel *m_rowModel = nullptr;

    std::shared_ptr<WorkControl> m_control;
    QFutureWatcherBase *m_watcher = nullptr;
    QTimer m_progressTimer;
};
