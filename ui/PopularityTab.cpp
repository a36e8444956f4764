#include "ui/PopularityTab.h"

#include "core/SavedRows.h"
#include "core/WorkControl.h"
#include "storage/CodePage.h"
#include "ui/AnalysisText.h"
#include "ui/ControlFactory.h"
#include "ui/Form1.h"
#include "ui/PopularityRowModel.h"
#include "ui/ResultGrid.h"
#include "ui/ResultGridModel.h"
#include "ui/UserDialogs.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QtConcurrent>

#include <algorithm>
#include <limits>

namespace {

using Result = PopularityTab::Result;

// Fits every game on its draws and prices the saved rows of each.
Result Estimate(const GameTableType &games, const std::array<QVector<DrawRecord>, GameCount> &draws,
                const SavedRowSets &saved, WorkControl &control)
{
    Result result;
    for (int g = 0; g < GameCount && !control.isCancelled(); ++g) {
        const PopularityGame rules = PopularityGameOf(g, games[size_t(g)]);
        PopularityFit &fit = result.Fits[size_t(g)];
        fit = FitPopularity(draws[size_t(g)], rules, &control);
        if (!fit.Model)
            continue;
        const GameRowSets &rows = saved.Games[size_t(g)];
        PopularityRowSummary &summary = result.Summaries[size_t(g)];
        summary.LowestIndex = std::numeric_limits<double>::max();
        summary.Skipped = rows.NotTickets;
        const NumberSet range = NumbersUpTo(rules.MaxNumber);
        for (size_t i = 0; i < rows.size(); ++i) {
            const NumberSet row = rows.Sets[i];
            if (CountNumbers(row) != rules.PickCount || (row & ~range) != 0) {
                ++summary.Skipped;
                continue;
            }
            const RowPayout payout = fit.Model->payout(row);
            result.Rows.push_back({rows.GridRows[i], g, payout, rules.PriceYen});
            ++summary.Rows;
            summary.LowestIndex = std::min(summary.LowestIndex, payout.Index);
            summary.HighestIndex = std::max(summary.HighestIndex, payout.Index);
            summary.HighestYen = std::max(summary.HighestYen, payout.yen());
            if (payout.yen() >= double(rules.PriceYen))
                ++summary.AbovePrice;
        }
    }
    std::sort(result.Rows.begin(), result.Rows.end(),
              [](const PopularityRow &a, const PopularityRow &b) { return a.GridRow < b.GridRow; });
    result.Cancelled = control.isCancelled();
    return result;
}

} // namespace

PopularityTab::PopularityTab(Form1 &main, DrawsOf draws, QWidget *parent)
    : QWidget(parent)
    , m_main(main)
    , m_draws(std::move(draws))
{
    setObjectName(QStringLiteral("TabPopularity"));
    CmdPopularity = MakeButton(this, QStringLiteral("CmdPopularity"),
                               QStringLiteral("推定する(&P)"));
    CmdPopularityExport = MakeButton(this, QStringLiteral("CmdPopularityExport"),
                                     QStringLiteral("行ごとの表をCSVに保存(&E)"));
    CmdPopularityExport->setEnabled(false);
    // The explanation beside them wraps; the buttons keep their captions whole.
    for (QPushButton *button : {CmdPopularity, CmdPopularityExport}) {
        button->setAutoDefault(false);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        button->setMinimumWidth(
            button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width() + 4 * margin);
    }
    LblPopularity = MakeLabel(
        this, QStringLiteral("LblPopularity"),
        QStringLiteral("上で選んだ範囲の当選口数と賞金から、ほかの人がどの数字を買うかを推定し、"
                       "保存エリアの行（両方のくじ）が当たったときに賞金を何人で分け合うかを"
                       "見積もります。人気は当選の確率を変えません。期待配当は価格を下回ります。"));
    LblPopularity->setWordWrap(true);
    TxtPopularity = new QPlainTextEdit(this);
    TxtPopularity->setObjectName(QStringLiteral("TxtPopularity"));
    TxtPopularity->setReadOnly(true);
    TxtPopularity->document()->setUndoRedoEnabled(false);

    createGrid();
    ChartPopularity = new QChartView(this);
    ChartPopularity->setObjectName(QStringLiteral("ChartPopularity"));
    ChartPopularity->setRenderHint(QPainter::Antialiasing);
    ChartPopularity->setMinimumHeight(240);

    auto *head = new QHBoxLayout;
    head->addWidget(CmdPopularity, 0, Qt::AlignTop);
    head->addWidget(LblPopularity, 1);
    head->addWidget(CmdPopularityExport, 0, Qt::AlignTop);
    auto *lower = new QSplitter(Qt::Horizontal, this);
    lower->addWidget(TxtPopularity);
    lower->addWidget(GridPopularity);
    auto *parts = new QSplitter(Qt::Vertical, this);
    parts->addWidget(ChartPopularity);
    parts->addWidget(lower);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(parts, 1);

    connect(CmdPopularity, &QPushButton::clicked, this, [this] { CmdPopularity_Click(); });
    connect(CmdPopularityExport, &QPushButton::clicked, this,
            [this] { CmdPopularityExport_Click(); });
    showChart();
}

void PopularityTab::createGrid()
{
    QStringList names;
    for (const GameInfo &info : m_main.GameTable)
        names << info.GameName;
    m_rowModel = new PopularityRowModel(names, this);
    GridPopularity = new QTableView(this);
    GridPopularity->setObjectName(QStringLiteral("GridPopularity"));
    GridPopularity->setModel(m_rowModel);
    GridPopularity->setSortingEnabled(true);
    GridPopularity->sortByColumn(PopularityRowModel::RowColumn, Qt::AscendingOrder);
    GridPopularity->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridPopularity->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridPopularity->verticalHeader()->hide();
    GridPopularity->verticalHeader()->setDefaultSectionSize(GridPopularity->fontMetrics().height()
                                                            + 4);
    GridPopularity->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

PopularityTab::~PopularityTab()
{
    stopWork();
}

void PopularityTab::setGame(int game)
{
    m_game = std::clamp(game, 0, GameCount - 1);
    showChart();
}

void PopularityTab::CmdPopularity_Click()
{
    if (isWorking())
        return;
    std::array<QVector<DrawRecord>, GameCount> draws;
    for (int g = 0; g < GameCount; ++g)
        draws[size_t(g)] = m_draws ? m_draws(g) : QVector<DrawRecord>();
    const auto saved = std::make_shared<const SavedRowSets>(
        ReadSavedRows(m_main.FGkekka[1]->gridModel()->store()));
    const GameTableType games = m_main.GameTable;
    auto control = std::make_shared<WorkControl>();
    auto *watcher = new QFutureWatcher<std::shared_ptr<Result>>(this);
    m_control = control;
    m_watcher = watcher;
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        const std::shared_ptr<Result> result = watcher->result();
        m_watcher = nullptr;
        m_control.reset();
        watcher->deleteLater();
        CmdPopularity->setEnabled(true);
        show(*result);
    });
    m_rowModel->clear();
    CmdPopularity->setEnabled(false);
    CmdPopularityExport->setEnabled(false);
    TxtPopularity->setPlainText(QStringLiteral("推定しています…"));
    watcher->setFuture(QtConcurrent::run([games, draws, saved, control] {
        return std::make_shared<Result>(Estimate(games, draws, *saved, *control));
    }));
}

// Ends the work in hand before the tab goes; its result is dropped.
void PopularityTab::stopWork()
{
    if (!m_watcher)
        return;
    m_control->cancel();
    m_watcher->disconnect(this);
    m_watcher->waitForFinished();
    m_watcher = nullptr;
    m_control.reset();
}

void PopularityTab::show(Result &result)
{
    if (result.Cancelled) {
        TxtPopularity->setPlainText(QStringLiteral("中止しました。"));
        return;
    }
    QStringList lines;
    for (int g = 0; g < GameCount; ++g) {
        const PopularityGame rules = PopularityGameOf(g, m_main.GameTable[g]);
        const PopularityFit &fit = result.Fits[size_t(g)];
        lines << PopularityReportLines(fit, rules);
        if (fit.Model)
            lines << PopularityRowLines(result.Summaries[size_t(g)], rules);
        lines << QString();
    }
    lines << PopularityNoticeLines();
    TxtPopularity->setPlainText(lines.join(QLatin1Char('\n')));
    m_fits = std::move(result.Fits);
    m_rowModel->setRows(std::move(result.Rows));
    GridPopularity->sortByColumn(GridPopularity->horizontalHeader()->sortIndicatorSection(),
                                 GridPopularity->horizontalHeader()->sortIndicatorOrder());
    CmdPopularityExport->setEnabled(m_rowModel->rowCount() > 0);
    showChart();
}

void PopularityTab::CmdPopularityExport_Click()
{
    SaveCsvThroughDialog(m_main.dialogs(), this, CsvSaveOptions(m_main.ProgramFolder), [this] {
        return ToCp932(m_rowModel->csvLines().join(QStringLiteral("\r\n"))
                       + QStringLiteral("\r\n"));
    });
}

void PopularityTab::showChart()
{
    const GameInfo &info = m_main.GameTable[m_game];
    const PopularityFit &fit = m_fits[size_t(m_game)];
    auto *chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    if (!fit.Model) {
        chart->setTitle(
            QStringLiteral("%1　数字ごとの人気（「推定する」で表示します）").arg(info.GameName));
    } else {
        const PopularityModel &model = *fit.Model;
        chart->setTitle(QStringLiteral("%1　その数字を含む口の割合（推定）").arg(info.GameName));
        auto *axisX = new QBarCategoryAxis;
        auto *bars = new QBarSet(QStringLiteral("人気（%）"));
        double most = 0;
        for (int n = 1; n <= info.MaxNumber; ++n) {
            axisX->append(QString::number(n));
            *bars << 100 * model.numberShare(n);
            most = std::max(most, 100 * model.numberShare(n));
        }
        bars->setColor(QColor(70, 150, 120));
        auto *barSeries = new QBarSeries;
        barSeries->append(bars);
        barSeries->setBarWidth(0.7);
        auto *even = new QLineSeries;
        even->setName(QStringLiteral("どの数字も同じ人気なら"));
        for (const double x : {-0.5, info.MaxNumber - 0.5})
            even->append(x, 100 * model.evenShare());
        QPen pen(QColor(200, 60, 0));
        pen.setWidth(2);
        pen.setStyle(Qt::DashLine);
        even->setPen(pen);
        chart->addSeries(barSeries);
        chart->addSeries(even);
        auto *axisY = new QValueAxis;
        SetRoundTicks(axisY, most * 1.05);
        axisY->setLabelFormat(QStringLiteral("%.0f%%"));
        chart->addAxis(axisX, Qt::AlignBottom);
        chart->addAxis(axisY, Qt::AlignLeft);
        axisX->setTruncateLabels(false);
        for (QAbstractSeries *series : chart->series()) {
            series->attachAxis(axisX);
            series->attachAxis(axisY);
        }
    }
    QChart *old = ChartPopularity->chart();
    ChartPopularity->setChart(chart);
    delete old;
}
