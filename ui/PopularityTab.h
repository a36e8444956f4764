#pragma once

#include "core/GameTable.h"
#include "core/PopularityFit.h"
#include "core/PopularityReport.h"
#include "rules/DrawRecord.h"
#include "ui/PopularityRowModel.h"

#include <QVector>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class Form1;
class QChartView;
class QFutureWatcherBase;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class WorkControl;

// The analysis dialog's 「人気と配当」 tab: how many others are estimated to
// share a saved row's prizes, from the winner counts of the stored draws.
// The fit runs on a worker thread; the tab only shows what core/ returns.
class PopularityTab : public QWidget
{
    Q_OBJECT
public:
    // The stored draws of a game that the estimate is to use.
    using DrawsOf = std::function<QVector<DrawRecord>(int game)>;

    PopularityTab(Form1 &main, DrawsOf draws, QWidget *parent = nullptr);
    ~PopularityTab() override;

    QPushButton *CmdPopularity = nullptr;
    QPushButton *CmdPopularityExport = nullptr;
    QLabel *LblPopularity = nullptr;
    QPlainTextEdit *TxtPopularity = nullptr;
    QTableView *GridPopularity = nullptr;
    QChartView *ChartPopularity = nullptr;

    void CmdPopularity_Click();
    void CmdPopularityExport_Click();
    // The chart shows this game's numbers.
    void setGame(int game);
    bool isWorking() const { return m_watcher != nullptr; }
    const PopularityFit &fit(int game) const { return m_fits[size_t(game)]; }

    struct Result
    {
        bool Cancelled = false;
        std::array<PopularityFit, GameCount> Fits;
        std::array<PopularityRowSummary, GameCount> Summaries;
        std::vector<PopularityRow> Rows;
    };

private:
    void createGrid();
    void show(Result &result);
    void showChart();
    void stopWork();

    Form1 &m_main;
    DrawsOf m_draws;
    int m_game = 0;
    std::array<PopularityFit, GameCount> m_fits;
    PopularityRowModel *m_rowModel = nullptr;
    std::shared_ptr<WorkControl> m_control;
    QFutureWatcherBase *m_watcher = nullptr;
};
