#include "ui/DlgAnalysis.h"

#include "core/SavedRows.h"
#include "core/TicketRows.h"
#include "core/WorkControl.h"
#include "storage/CodePage.h"
#include "storage/FileIo.h"
#include "ui/AnalysisText.h"
#include "ui/BacktestRowModel.h"
#include "ui/FileFolders.h"
#include "ui/Form1.h"
#include "ui/ResultGrid.h"
#include "ui/ResultGridModel.h"
#include "ui/UserDialogs.h"

#include <QDir>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QtConcurrent>

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
    QStringList lines;
    for (int g = 0; g < GameCount; ++g) {
        const BacktestSummary &summary = result.Games[size_t(g)];
        const QString &name = m_main.GameTable[g].GameName;
        if (summary.Rows == 0) {
            lines << QStringLiteral("■%1　保存エリアにこのくじの行がありません。").arg(name);
            if (summary.NotTickets > 0)
                lines << NotTicketsLeftOutLine(g, summary.NotTickets);
            continue;
        }
        if (summary.Draws == 0) {
            lines << QStringLiteral("■%1　保存エリアの %2 行。対象の抽選がありません。")
                         .arg(name, Grouped(summary.Rows));
            if (summary.NotTickets > 0)
                lines << NotTicketsLeftOutLine(g, summary.NotTickets);
            continue;
        }
        const Range &range = m_ranges[size_t(g)];
        lines << QStringLiteral("■%1　保存エリアの %2 行 × 第%3回～第%4回の %5 回")
                     .arg(name, Grouped(summary.Rows))
                     .arg(std::min(range.From, range.To))
                     .arg(std::max(range.From, range.To))
                     .arg(Grouped(summary.Draws));
        if (summary.NotTickets > 0)
            lines << NotTicketsLeftOutLine(g, summary.NotTickets);
        lines << QStringLiteral("  当選回数（偶然だけの期待値）");
        for (int t = 0; t < TierCount(g); ++t)
            lines << QStringLiteral("    %1  %2 回（%3 回）")
                         .arg(BacktestRowModel::tierName(t + 1))
                         .arg(Grouped(summary.Wins[size_t(t)]), 10)
                         .arg(Approx(summary.ChanceWins[size_t(t)]));
        lines << QStringLiteral("  購入額 %1 円（1口 %2 円）")
                     .arg(Grouped(summary.CostYen))
                     .arg(GameRuleOf(g).RowYen);
        if (summary.PricedDraws == 0) {
            lines << QStringLiteral("  賞金の記録がある回がないため、当選金と還元率は出せません。");
        } else if (summary.WinningsTooLarge) {
            lines << QStringLiteral("  当選金が正しく数えられる範囲を超えたため、当選金と還元率は"
                                    "出せません。");
        } else {
            const double rate = double(summary.WinningsYen) / double(summary.PricedCostYen);
            const double chance = summary.ChanceWinningsYen / double(summary.PricedCostYen);
            lines << QStringLiteral("  当選金 %1 円（賞金の記録がある %2 回分、その購入額 %3 円）")
                         .arg(Grouped(summary.WinningsYen), Grouped(summary.PricedDraws),
                              Grouped(summary.PricedCostYen));
            lines << QStringLiteral("  還元率 %1（偶然だけの期待値 %2）")
                         .arg(RateText(rate), RateText(chance));
            lines << ExpectedPrizeRuleLine();
        }
        if (summary.UnpricedWins > 0)
            lines << QStringLiteral("  賞金不明の当選 %1 件（賞金の記録がない回、または該当者が"
                                    "いなかった等級）は、金額を推定せず当選金に入れていません。")
                         .arg(Grouped(summary.UnpricedWins));
        if (summary.SkippedDraws > 0)
            lines << QStringLiteral("  形の正しくない記録 %1 件は除きました。")
                         .arg(summary.SkippedDraws);
    }
    lines << QStringLiteral("過去の成績は次回の当選の見込みを変えません。");
    TxtBacktest->setPlainText(lines.join(QLatin1Char('\n')));

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
        number(1, draw.DrawNumber);
        text(2, draw.Date.toString(QStringLiteral("yyyy/MM/dd")));
        for (int t = 0; t < TierCount(draw.Game); ++t)
            number(3 + t, draw.Wins[size_t(t)]);
        if (draw.YenTooLarge)
            text(3 + MaxTiers, QStringLiteral("範囲外"));
        else
            number(3 + MaxTiers, draw.Yen);
        text(4 + MaxTiers, draw.Priced ? QStringLiteral("記録あり") : QStringLiteral("記録なし"));
    }
    GridBacktestDraws->setSortingEnabled(true);
}

void DlgAnalysis::CmdExport_Click()
{
    FileDialogOptions options;
    options.filter = QStringLiteral("CSV(*.csv)|*.csv|全て|*.*");
    options.defaultExtension = QStringLiteral("*.csv");
    options.initialFolder = StartFolder(QStringLiteral("analysis"), m_main.ProgramFolder);
    options.confirmReplace = true;
    const QString fileName = m_main.dialogs().saveFileName(this, options);
    if (fileName.isEmpty())
        return;
    RememberFolder(QStringLiteral("analysis"), fileName);
    const QByteArray bytes = ToCp932(m_rowModel->csvLines().join(QStringLiteral("\r\n"))
                                     + QStringLiteral("\r\n"));
    QString error;
    if (!WriteFileAtomically(fileName, bytes, &error))
        m_main.dialogs().warn(this,
                              QStringLiteral("ファイル「%1」に保存できませんでした。\n%2")
                                  .arg(QDir::toNativeSeparators(fileName), error),
                              QStringLiteral("CSVに保存"));
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
    QStringList lines;
    for (int g = 0; g < GameCount; ++g) {
        const ChanceResult &result = results[size_t(g)];
        const GameInfo &info = m_main.GameTable[g];
        if (result.Rows == 0) {
            lines << QStringLiteral("■%1　保存エリアにこのくじの組合せがありません。")
                         .arg(info.GameName);
            lines << QString();
            continue;
        }
        lines << QStringLiteral("■%1　保存エリアの %2 行（異なる組合せ %3）")
                     .arg(info.GameName, Grouped(result.Rows), Grouped(result.DistinctRows));
        if (savedRows[size_t(g)] > result.Rows)
            lines << NotTicketsLeftOutLine(g, savedRows[size_t(g)] - result.Rows);
        lines << QStringLiteral("  ") + PadCells(QStringLiteral("次回どれかの行が当たる確率"), 48)
                     + QStringLiteral("偶然に選んだ %1 行なら").arg(Grouped(result.Rows));
        for (int t = 0; t < TierCount(g); ++t) {
            const OutcomeCount &count = result.AtLeast[size_t(t)];
            QString tier = BacktestRowModel::tierName(t + 1);
            if (t > 0)
                tier += QStringLiteral("以上");
            lines << QStringLiteral("  ") + PadCells(tier, 9)
                         + PadCells(OutcomeText(count.Winning, count.Outcomes), 39)
                         + PercentText(result.IndependentAtLeast[size_t(t)]);
        }
        QStringList bonusTiers; // those whose chance is over the bonus numbers too
        for (int t = 0; t < TierCount(g); ++t) {
            if (AtLeastNeedsBonus(g, t))
                bonusTiers << BacktestRowModel::tierName(t + 1) + QStringLiteral("以上");
        }
        lines << QStringLiteral("  （%1以上は何か当たる確率。分母は本数字の組 %2 通り、%5だけ"
                                "本数字とボーナス数字の組 %2 × %3 = %4 通り）")
                     .arg(BacktestRowModel::tierName(TierCount(g)),
                          Grouped(qint64(MainOutcomes(info))))
                     .arg(Grouped(qint64(BonusOutcomes(info) / MainOutcomes(info))))
                     .arg(Grouped(qint64(BonusOutcomes(info))),
                          bonusTiers.join(QStringLiteral("と")));

        QStringList expected;
        for (int t = 0; t < TierCount(g); ++t)
            expected << QStringLiteral("%1 %2 回")
                            .arg(BacktestRowModel::tierName(t + 1),
                                 Approx(result.ExpectedWins[size_t(t)]));
        lines << QStringLiteral("  当選の期待回数（行ごとの和）: ")
                     + expected.join(QStringLiteral("、"));

        const std::array<std::optional<double>, MaxTiers> average = AveragePrizeYen(drawsInRange(g),
                                                                                    g);
        double yen = 0;
        QStringList missing;
        for (int t = 0; t < TierCount(g); ++t) {
            if (average[size_t(t)])
                yen += result.ExpectedWins[size_t(t)] * *average[size_t(t)];
            else
                missing << BacktestRowModel::tierName(t + 1);
        }
        if (missing.size() == TierCount(g)) {
            lines << QStringLiteral("  履歴に賞金の記録がないため、当選金の期待値は出せません。");
        } else {
            QString line = QStringLiteral("  当選金の期待値（履歴の平均賞金から）: 1回あたり %1 円"
                                          "（購入額 %2 円、還元率 %3）")
                               .arg(Grouped(qint64(std::llround(yen))),
                                    Grouped(result.Rows * GameRuleOf(g).RowYen),
                                    RateText(yen / double(result.Rows * GameRuleOf(g).RowYen)));
            if (!missing.isEmpty())
                line += QStringLiteral("　%1は平均賞金がないため含めていません。")
                            .arg(missing.join(QStringLiteral("・")));
            lines << line << ExpectedPrizeRuleLine();
        }
        lines << QString();
    }
    lines << QStringLiteral("同じ組合せを重ねて持つと、当たる確率は増えずに期待回数だけが増えます。"
                            "行どうしの重なりが少ないほど、どれかが当たる確率は上がります。");
    TxtChance->setPlainText(lines.join(QLatin1Char('\n')));
}
