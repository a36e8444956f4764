#include "ui/DlgAnalysis.h"

#include "core/FrequencyReport.h"
#include "core/PrizeChance.h"
#include "core/WorkControl.h"
#include "ui/AnalysisText.h"
#include "ui/BacktestRowModel.h"
#include "ui/BoardSlider.h"
#include "ui/ControlFactory.h"
#include "ui/Form1.h"
#include "ui/PopularityTab.h"
#include "ui/UserDialogs.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFutureWatcherBase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

QPlainTextEdit *MakeOutputBox(QWidget *parent, const QString &name)
{
    auto *box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->document()->setUndoRedoEnabled(false);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return box;
}

QTableWidget *MakeTable(QWidget *parent, const QString &name, const QStringList &headers)
{
    auto *table = new QTableWidget(0, int(headers.size()), parent);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return table;
}

// The games where more than the second prize or better depends on the
// bonus numbers, and those tiers: "ロト７は6等以上も…".
QString MoreBonusTiersText(const GameTableType &games)
{
    QString text;
    for (int g = 0; g < GameCount; ++g) {
        QStringList tiers;
        for (int t = 2; t < TierCount(g); ++t) {
            if (AtLeastNeedsBonus(g, t))
                tiers << BacktestRowModel::tierName(t + 1) + QStringLiteral("以上");
        }
        if (!tiers.isEmpty())
            text += QStringLiteral("%1は%2もボーナス数字で変わるので、同じ組を分母にしています。")
                        .arg(games[size_t(g)].GameName, tiers.join(QStringLiteral("・")));
    }
    return text;
}

// The band and the line run across the whole width of the bars.
QAreaSeries *ChanceBand(const FrequencyStats &stats)
{
    auto *upper = new QLineSeries;
    auto *lower = new QLineSeries;
    for (const double x : {-0.5, stats.MaxNumber - 0.5}) {
        upper->append(x, stats.bandHigh());
        lower->append(x, std::max(0.0, stats.bandLow()));
    }
    auto *band = new QAreaSeries(upper, lower);
    band->setName(QStringLiteral("偶然で出る範囲（±2σ）"));
    band->setColor(QColor(255, 170, 0, 70));
    band->setBorderColor(QColor(255, 170, 0, 140));
    return band;
}

QLineSeries *ExpectedLine(const FrequencyStats &stats)
{
    auto *expected = new QLineSeries;
    expected->setName(QStringLiteral("偶然の期待値"));
    for (const double x : {-0.5, stats.MaxNumber - 0.5})
        expected->append(x, stats.Expected);
    QPen pen(QColor(200, 60, 0));
    pen.setWidth(2);
    pen.setStyle(Qt::DashLine);
    expected->setPen(pen);
    return expected;
}

// What the back-test does, with one price for every game or each game's own.
QString BacktestScopeText(const GameTableType &games)
{
    QStringList prices;
    for (int g = 0; g < GameCount; ++g)
        prices
            << QStringLiteral("%1 %2 円").arg(games[size_t(g)].GameName).arg(GameRuleOf(g).RowYen);
    const bool onePrice = std::all_of(GameRules.begin(), GameRules.end(), [](const GameRule &rule) {
        return rule.RowYen == GameRules.front().RowYen;
    });
    return QStringLiteral("保存エリアの行（%1のくじ）を、くじごとに上で選んだ範囲の過去の"
                          "抽選すべてで、判定と同じ規則により当たり外れを調べます。"
                          "1口 %2として、記録された賞金だけで計算します。")
        .arg(GameCount == 2 ? QStringLiteral("両方") : QStringLiteral("すべて"),
             onePrice ? QStringLiteral("%1 円").arg(GameRules.front().RowYen)
                      : prices.join(QStringLiteral("、")));
}

} // namespace

DlgAnalysis::DlgAnalysis(Form1 &main, const DrawSource &draws, QWidget *parent)
    : QDialog(parent)
    , m_main(main)
{
    setObjectName(QStringLiteral("DlgAnalysis"));
    setWindowTitle(QStringLiteral("分析"));
    resize(1040, 720);

    QHBoxLayout *top = createRangeBar();
    TabAnalysis = new QTabWidget(this);
    TabAnalysis->setObjectName(QStringLiteral("TabAnalysis"));
    TabAnalysis->addTab(createFrequencyTab(), QStringLiteral("出現回数"));
    TabAnalysis->addTab(createBacktestTab(), QStringLiteral("検証"));
    TabAnalysis->addTab(createChanceTab(), QStringLiteral("次回の確率"));
    TabPopularity = new PopularityTab(
        m_main, [this](int g) { return drawsInRange(g); }, TabAnalysis);
    TabAnalysis->addTab(TabPopularity, QStringLiteral("人気と配当"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(TabAnalysis, 1);
    layout->addLayout(createBottomBar());

    connectControls();

    CmbGame->setCurrentIndex(std::clamp(m_main.currentGame(), 0, GameCount - 1));
    CmbGame_Click();
    // A long history takes seconds to read: the window opens at once.
    loadDraws(draws);
}

QHBoxLayout *DlgAnalysis::createRangeBar()
{
    CmbGame = new QComboBox(this);
    CmbGame->setObjectName(QStringLiteral("CmbGame"));
    for (const GameInfo &info : m_main.GameTable)
        CmbGame->addItem(info.GameName);
    SpnFrom = new QSpinBox(this);
    SpnFrom->setObjectName(QStringLiteral("SpnFrom"));
    SpnTo = new QSpinBox(this);
    SpnTo->setObjectName(QStringLiteral("SpnTo"));
    for (QSpinBox *spin : {SpnFrom, SpnTo}) {
        spin->setPrefix(QStringLiteral("第"));
        spin->setSuffix(QStringLiteral("回"));
        spin->setKeyboardTracking(false);
    }
    LblRange = MakeLabel(this, QStringLiteral("LblRange"), QString());

    auto *top = new QHBoxLayout;
    top->addWidget(MakeLabel(this, QStringLiteral("LblGame"), QStringLiteral("くじ：")));
    top->addWidget(CmbGame);
    top->addSpacing(16);
    top->addWidget(MakeLabel(this, QStringLiteral("LblFrom"), QStringLiteral("範囲：")));
    top->addWidget(SpnFrom);
    top->addWidget(MakeLabel(this, QStringLiteral("LblTo"), QStringLiteral("～")));
    top->addWidget(SpnTo);
    top->addSpacing(16);
    top->addWidget(LblRange, 1);

    return top;
}

QHBoxLayout *DlgAnalysis::createBottomBar()
{
    PrgWork = new QProgressBar(this);
    PrgWork->setObjectName(QStringLiteral("PrgWork"));
    PrgWork->setRange(0, 1000);
    PrgWork->setValue(0);
    PrgWork->setTextVisible(false);
    CmdStop = MakeButton(this, QStringLiteral("CmdStop"), QStringLiteral("中止(&S)"));
    CmdStop->setEnabled(false);
    CancelButton = MakeButton(this, QStringLiteral("CancelButton"), QStringLiteral("閉じる(&C)"));
    for (QPushButton *button : {CmdStop, CancelButton})
        button->setAutoDefault(false);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(PrgWork, 1);
    bottom->addWidget(CmdStop);
    bottom->addSpacing(24);
    bottom->addWidget(CancelButton);

    return bottom;
}

void DlgAnalysis::connectControls()
{
    m_progressTimer.setInterval(50);
    connect(&m_progressTimer, &QTimer::timeout, this, [this] { showProgress(); });
    connect(CmbGame, &QComboBox::activated, this, [this] { CmbGame_Click(); });
    connect(SpnFrom, &QSpinBox::valueChanged, this, [this] { SpnRange_Change(); });
    connect(SpnTo, &QSpinBox::valueChanged, this, [this] { SpnRange_Change(); });
    connect(ChkBonus, &QCheckBox::toggled, this, [this] { ChkBonus_Click(); });
    connect(CmdToBoard, &QPushButton::clicked, this, [this] { CmdToBoard_Click(); });
    connect(CmdBacktest, &QPushButton::clicked, this, [this] { CmdBacktest_Click(); });
    connect(CmdExport, &QPushButton::clicked, this, [this] { CmdExport_Click(); });
    connect(CmdChance, &QPushButton::clicked, this, [this] { CmdChance_Click(); });
    connect(CmdStop, &QPushButton::clicked, this, [this] { CmdStop_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
}

DlgAnalysis::~DlgAnalysis()
{
    stopWork();
}

QWidget *DlgAnalysis::createFrequencyTab()
{
    auto *tab = new QWidget;
    ChartFrequency = new QChartView(tab);
    ChartFrequency->setObjectName(QStringLiteral("ChartFrequency"));
    ChartFrequency->setRenderHint(QPainter::Antialiasing);
    ChartFrequency->setMinimumHeight(280);
    ChkBonus = new QCheckBox(QStringLiteral("ボーナス数字も数える(&B)"), tab);
    ChkBonus->setObjectName(QStringLiteral("ChkBonus"));
    GridFrequency = MakeTable(tab, QStringLiteral("GridFrequency"),
                              {QStringLiteral("数字"), QStringLiteral("回数"),
                               QStringLiteral("期待値との差"), QStringLiteral("出ていない回数"),
                               QStringLiteral("偶然でその回数\n以上出ない確率")});
    TxtFrequency = MakeOutputBox(tab, QStringLiteral("TxtFrequency"));
    CmdToBoard = MakeButton(tab, QStringLiteral("CmdToBoard"), QStringLiteral("盤に反映(&R)"));
    CmdToBoard->setAutoDefault(false);
    LblToBoard = MakeLabel(tab, QStringLiteral("LblToBoard"),
                           QStringLiteral("「盤に反映」は、よく出た数字の上位 1/5 をスライダの"
                                          "「+」側、あまり出ていない 1/5 を「－」側に置き、残りを"
                                          "その間に並べます（ユーザー設定として変更できます）。"
                                          "抽選は毎回独立しているので、過去の出現回数で次回"
                                          "出やすい数字が変わることはありません。"));
    LblToBoard->setWordWrap(true);

    // The chart takes the whole width, so every number fits under its bar.
    auto *side = new QVBoxLayout;
    side->addWidget(ChkBonus);
    side->addWidget(GridFrequency, 1);
    side->addWidget(CmdToBoard);
    side->addWidget(LblToBoard);
    auto *lower = new QHBoxLayout;
    lower->addWidget(TxtFrequency, 1);
    lower->addLayout(side, 1);
    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(ChartFrequency, 1);
    layout->addLayout(lower, 1);
    return tab;
}

QWidget *DlgAnalysis::createBacktestTab()
{
    auto *tab = new QWidget;
    CmdBacktest = MakeButton(tab, QStringLiteral("CmdBacktest"), QStringLiteral("検証する(&V)"));
    CmdExport = MakeButton(tab, QStringLiteral("CmdExport"),
                           QStringLiteral("行ごとの表をCSVに保存(&E)"));
    CmdExport->setEnabled(false);
    for (QPushButton *button : {CmdBacktest, CmdExport})
        button->setAutoDefault(false);
    auto *explain = MakeLabel(tab, QStringLiteral("LblBacktest"),
                              BacktestScopeText(m_main.GameTable));
    explain->setWordWrap(true);
    TxtBacktest = MakeOutputBox(tab, QStringLiteral("TxtBacktest"));

    QStringList names;
    for (const GameInfo &info : m_main.GameTable)
        names << info.GameName;
    m_rowModel = new BacktestRowModel(names, this);
    GridBacktest = new QTableView(tab);
    GridBacktest->setObjectName(QStringLiteral("GridBacktest"));
    GridBacktest->setModel(m_rowModel);
    GridBacktest->setSortingEnabled(true);
    GridBacktest->sortByColumn(BacktestRowModel::RowColumn, Qt::AscendingOrder);
    GridBacktest->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridBacktest->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridBacktest->verticalHeader()->hide();
    GridBacktest->verticalHeader()->setDefaultSectionSize(GridBacktest->fontMetrics().height() + 4);
    GridBacktest->horizontalHeader()->setDefaultSectionSize(44);
    GridBacktest->setColumnWidth(BacktestRowModel::RowColumn, 64);
    GridBacktest->setColumnWidth(BacktestRowModel::GameColumn, 64);
    GridBacktest->horizontalHeader()->setStretchLastSection(true);
    QStringList drawColumns{QStringLiteral("くじ"), QStringLiteral("回"), QStringLiteral("抽選日")};
    for (int t = 1; t <= MaxTiers; ++t)
        drawColumns << BacktestRowModel::tierName(t);
    drawColumns << QStringLiteral("当選金(円)") << QStringLiteral("賞金");
    GridBacktestDraws = MakeTable(tab, QStringLiteral("GridBacktestDraws"), drawColumns);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(CmdBacktest);
    buttons->addWidget(explain, 1);
    buttons->addWidget(CmdExport);
    auto *tables = new QSplitter(Qt::Horizontal, tab);
    tables->addWidget(GridBacktest);
    tables->addWidget(GridBacktestDraws);
    auto *parts = new QSplitter(Qt::Vertical, tab);
    parts->addWidget(TxtBacktest);
    parts->addWidget(tables);
    parts->setStretchFactor(0, 2);
    parts->setStretchFactor(1, 3);
    auto *layout = new QVBoxLayout(tab);
    layout->addLayout(buttons);
    layout->addWidget(parts, 1);
    return tab;
}

QWidget *DlgAnalysis::createChanceTab()
{
    auto *tab = new QWidget;
    CmdChance = MakeButton(tab, QStringLiteral("CmdChance"), QStringLiteral("計算する(&P)"));
    CmdChance->setAutoDefault(false);
    LblChance = MakeLabel(
        tab, QStringLiteral("LblChance"),
        QStringLiteral("次回の抽選で保存エリアの行（くじごと）が当たる確率を、起こりうる結果を"
                       "すべて数え上げて厳密に求めます。どの結果も同じ確からしさで起こります。"
                       "2等はボーナス数字で決まるので、2等以上は本数字とボーナス数字の組を分母に、"
                       "ほかは本数字の組を分母にしています（ボーナス数字で変わらないため）。")
            + MoreBonusTiersText(m_main.GameTable));
    LblChance->setWordWrap(true);
    TxtChance = MakeOutputBox(tab, QStringLiteral("TxtChance"));
    TxtChance->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont fixed = TxtChance->font();
    // The figures line up in columns only in a fixed-pitch font.
    fixed.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"),
                       QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("monospace")});
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    TxtChance->setFont(fixed);

    auto *head = new QHBoxLayout;
    head->addWidget(CmdChance, 0, Qt::AlignTop);
    head->addWidget(LblChance, 1);
    auto *layout = new QVBoxLayout(tab);
    layout->addLayout(head);
    layout->addWidget(TxtChance, 1);
    return tab;
}

int DlgAnalysis::game() const
{
    return std::clamp(CmbGame->currentIndex(), 0, GameCount - 1);
}

QVector<DrawRecord> DlgAnalysis::drawsInRange(int game) const
{
    const Range &range = m_ranges[size_t(game)];
    const int low = std::min(range.From, range.To);
    const int high = std::max(range.From, range.To);
    QVector<DrawRecord> draws;
    for (const DrawRecord &draw : m_draws[size_t(game)]) {
        if (draw.DrawNumber >= low && draw.DrawNumber <= high)
            draws.append(draw);
    }
    return draws;
}

void DlgAnalysis::CmbGame_Click()
{
    TabPopularity->setGame(game());
    showRange();
    updateFrequency();
}

// Puts the chosen game's range into the spin boxes without running their
// change handler.
void DlgAnalysis::showRange()
{
    const int g = game();
    const QVector<DrawRecord> &draws = m_draws[size_t(g)];
    const bool any = !draws.isEmpty();
    const int first = any ? draws.first().DrawNumber : 0;
    const int last = any ? draws.last().DrawNumber : 0;
    for (QSpinBox *spin : {SpnFrom, SpnTo}) {
        const QSignalBlocker quiet(spin);
        spin->setRange(first, last);
        spin->setEnabled(any);
    }
    {
        const QSignalBlocker quiet(SpnFrom);
        SpnFrom->setValue(m_ranges[size_t(g)].From);
    }
    const QSignalBlocker quiet(SpnTo);
    SpnTo->setValue(m_ranges[size_t(g)].To);
}

void DlgAnalysis::SpnRange_Change()
{
    m_ranges[size_t(game())] = {SpnFrom->value(), SpnTo->value()};
    updateFrequency();
}

void DlgAnalysis::ChkBonus_Click()
{
    updateFrequency();
}

void DlgAnalysis::updateFrequency()
{
    const int g = game();
    m_frequency = CountFrequencies(drawsInRange(g), g, m_main.GameTable[g], ChkBonus->isChecked());
    showFrequency();
}

void DlgAnalysis::showFrequency()
{
    const int g = game();
    if (m_loading)
        LblRange->setText(QStringLiteral("当選番号の履歴を読み込んでいます…"));
    else if (m_draws[size_t(g)].isEmpty())
        LblRange->setText(
            QStringLiteral("当選番号の履歴がありません。履歴に取り込むと分析できます。"));
    else
        LblRange->setText(QStringLiteral("保存されている %1 回のうち %2 回")
                              .arg(Grouped(m_draws[size_t(g)].size()),
                                   Grouped(m_frequency.Draws + m_frequency.SkippedDraws)));
    CmdToBoard->setEnabled(m_frequency.Draws > 0);
    showFrequencyChart();
    showFrequencyTable();
    showFrequencyText();
}

void DlgAnalysis::showFrequencyChart()
{
    const FrequencyStats &stats = m_frequency;
    const int numbers = stats.MaxNumber;
    auto *chart = new QChart;
    chart->setTitle(QStringLiteral("%1　%2の出現回数（%3回）")
                        .arg(m_main.GameTable[game()].GameName,
                             ChkBonus->isChecked() ? QStringLiteral("本数字とボーナス数字")
                                                   : QStringLiteral("本数字"),
                             Grouped(stats.Draws)));
    chart->legend()->setAlignment(Qt::AlignBottom);

    auto *axisX = new QBarCategoryAxis;
    auto *bars = new QBarSet(QStringLiteral("出現回数"));
    qint64 most = 0;
    for (int n = 1; n <= numbers; ++n) {
        axisX->append(QString::number(n));
        *bars << double(stats.Counts[size_t(n)]);
        most = std::max(most, stats.Counts[size_t(n)]);
    }
    bars->setColor(QColor(70, 120, 200));

    auto *barSeries = new QBarSeries;
    barSeries->append(bars);
    barSeries->setBarWidth(0.7);

    chart->addSeries(ChanceBand(stats));
    chart->addSeries(barSeries);
    chart->addSeries(ExpectedLine(stats));
    auto *axisY = new QValueAxis;
    SetRoundTicks(axisY, std::max(double(most), stats.bandHigh()) * 1.05);
    axisY->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    // The axis would shorten two-digit numbers to "..." though they fit.
    axisX->setTruncateLabels(false);
    for (QAbstractSeries *series : chart->series()) {
        series->attachAxis(axisX);
        series->attachAxis(axisY);
    }

    QChart *old = ChartFrequency->chart();
    ChartFrequency->setChart(chart);
    delete old;
}

void DlgAnalysis::showFrequencyTable()
{
    const FrequencyStats &stats = m_frequency;
    GridFrequency->setSortingEnabled(false);
    GridFrequency->clearContents();
    GridFrequency->setRowCount(stats.MaxNumber);
    const QLocale locale(QLocale::Japanese, QLocale::Japan);
    for (int n = 1; n <= stats.MaxNumber; ++n) {
        const int r = n - 1;
        const qint64 count = stats.Counts[size_t(n)];
        const double sigmas = stats.StandardDeviation > 0
                                  ? (double(count) - stats.Expected) / stats.StandardDeviation
                                  : 0.0;
        // A difference that rounds to nothing has no sign: never "-0.0σ".
        const double shown = std::abs(sigmas) < 0.05 ? 0.0 : sigmas;
        // A number never drawn in the range has stayed away at least that long.
        const int since = stats.DrawsSince[size_t(n)];
        const int gap = since >= 0 ? since : int(stats.Draws);
        const QString gapText = since >= 0 ? QString::number(since)
                                           : QStringLiteral("%1 以上").arg(stats.Draws);
        const QList<std::pair<double, QString>> cells{
            {n, QString::number(n)},
            {double(count), QString::number(count)},
            {sigmas, QStringLiteral("%1σ").arg(locale.toString(shown, 'f', 1))},
            {double(gap), gapText},
            {stats.chanceOfGap(gap), PercentText(stats.chanceOfGap(gap))},
        };
        for (int c = 0; c < cells.size(); ++c)
            GridFrequency->setItem(r, c, NumberCell(cells.at(c).first, cells.at(c).second));
    }
    GridFrequency->setSortingEnabled(true);
    GridFrequency->sortItems(0, Qt::AscendingOrder);
}

void DlgAnalysis::showFrequencyText()
{
    const Range &range = m_ranges[size_t(game())];
    TxtFrequency->setPlainText(FrequencyReportText(m_frequency, m_main.GameTable[game()],
                                                   range.From, range.To, ChkBonus->isChecked()));
}

void DlgAnalysis::CmdToBoard_Click()
{
    const int g = game();
    if (m_frequency.Draws == 0)
        return;
    if (!m_main.dialogs().confirm(this,
                                  QStringLiteral("パターン制御盤のスライダを出現回数の順に"
                                                 "置きますか？\n過去の回数を写すだけで、次回の"
                                                 "当選の見込みは変わりません。"),
                                  QStringLiteral("盤に反映"), QMessageBox::Question))
        return;
    m_main.SetGameWeights(g, BoardFromCounts(m_frequency));
}

void DlgAnalysis::CancelButton_Click()
{
    close();
}

void DlgAnalysis::closeEvent(QCloseEvent *event)
{
    stopWork();
    event->accept();
}
