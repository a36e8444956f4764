#include "ui/DlgWheel.h"

#include "core/WheelText.h"
#include "ui/ControlFactory.h"
#include "ui/Form1.h"
#include "ui/Twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QtConcurrent>

#include <algorithm>

namespace {

constexpr int DefaultSeconds = 10;
constexpr int MostSeconds = 3600;
constexpr int BoxColumns = 8;

QSpinBox *MakeSpin(QWidget *parent, const QString &name, int low, int high, int value)
{
    auto *spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(low, high);
    spin->setValue(value);
    return spin;
}

} // namespace

DlgWheel::DlgWheel(Form1 &main, QWidget *parent)
    : QDialog(parent)
    , m_main(main)
{
    setObjectName(QStringLiteral("DlgWheel"));
    setWindowTitle(QStringLiteral("ホイール（組合せ保証）"));
    setFixedSize(TwipsToPixels(10800), TwipsToPixels(7680));
    createControls();
    connectHandlers();
    m_progressTimer.setInterval(200);
    connect(&m_progressTimer, &QTimer::timeout, this, [this] { showProgress(); });
    const int shown = m_main.currentGame();
    CmbGame->setCurrentIndex(shown >= 0 && shown < CmbGame->count() ? shown : 0);
    CmbGame_Click();
    setWorking(false);
}

DlgWheel::~DlgWheel()
{
    stopWork();
}

void DlgWheel::createControls()
{
    MakeLabel(this, QStringLiteral("LblGame"), QStringLiteral("ゲーム"))
        ->setGeometry(TwipsRect(120, 150, 900, 300));
    CmbGame = new QComboBox(this);
    CmbGame->setObjectName(QStringLiteral("CmbGame"));
    for (int g = 0; g < WheelGameCount(); ++g)
        CmbGame->addItem(WheelGameAt(g).Name);
    PlaceTwips(CmbGame, 1080, 120, 1800, 330);

    createNumberBoxes();
    CmdFromBoard = MakeButton(this, QStringLiteral("CmdFromBoard"),
                              QStringLiteral("盤の「+」側の数字(&P)"));
    CmdFromBoard->setToolTip(
        QStringLiteral("パターン制御盤でスライダが「+」側にある数字を選びます。"));
    PlaceTwips(CmdFromBoard, 120, 2340, 2400, 375);
    LblCount = MakeLabel(this, QStringLiteral("LblCount"), QString());
    PlaceTwips(LblCount, 2640, 2370, 2640, 300);

    MakeLabel(this, QStringLiteral("LblIf"), QStringLiteral("条件: 選んだ数字に入る本数字"))
        ->setGeometry(TwipsRect(120, 2850, 3000, 300));
    SpnIf = MakeSpin(this, QStringLiteral("SpnIf"), 1, 6, 3);
    PlaceTwips(SpnIf, 3240, 2820, 900, 330);
    MakeLabel(this, QStringLiteral("LblMatch"), QStringLiteral("保証: どれかの行で当たる数"))
        ->setGeometry(TwipsRect(120, 3210, 3000, 300));
    SpnMatch = MakeSpin(this, QStringLiteral("SpnMatch"), 1, 6, 3);
    PlaceTwips(SpnMatch, 3240, 3180, 900, 330);
    LblSentence = MakeLabel(this, QStringLiteral("LblSentence"), QString());
    LblSentence->setWordWrap(true);
    LblSentence->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PlaceTwips(LblSentence, 120, 3570, 5160, 660);

    MakeLabel(this, QStringLiteral("LblSeconds"), QStringLiteral("探索時間（秒）"))
        ->setGeometry(TwipsRect(120, 4350, 1800, 300));
    SpnSeconds = MakeSpin(this, QStringLiteral("SpnSeconds"), 1, MostSeconds, DefaultSeconds);
    PlaceTwips(SpnSeconds, 1920, 4320, 900, 330);
    CmdBuild = MakeButton(this, QStringLiteral("CmdBuild"), QStringLiteral("作成(&B)"));
    PlaceTwips(CmdBuild, 3120, 4260, 1020, 420);
    CmdStop = MakeButton(this, QStringLiteral("CmdStop"), QStringLiteral("中止(&T)"));
    CmdStop->setToolTip(QStringLiteral("探索を止め、それまでに見つかった最少の行を示します。"));
    PlaceTwips(CmdStop, 4200, 4260, 1080, 420);
    PrgWheel = new QProgressBar(this);
    PrgWheel->setObjectName(QStringLiteral("PrgWheel"));
    PrgWheel->setRange(0, 1000);
    PrgWheel->setTextVisible(false);
    PlaceTwips(PrgWheel, 120, 4830, 5160, 240);
    LblProgress = MakeLabel(this, QStringLiteral("LblProgress"), QString());
    PlaceTwips(LblProgress, 120, 5130, 5160, 300);

    createResultControls();
}

// The promise made plainly, the report, the rows and where they go.
void DlgWheel::createResultControls()
{
    LblHonesty = MakeLabel(this, QStringLiteral("LblHonesty"), WheelHonesty());
    LblHonesty->setWordWrap(true);
    LblHonesty->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont small = font();
    small.setPointSize(8);
    LblHonesty->setFont(small);
    PlaceTwips(LblHonesty, 120, 5520, 5160, 2040);

    TxtWheel = new QPlainTextEdit(this);
    TxtWheel->setObjectName(QStringLiteral("TxtWheel"));
    TxtWheel->setReadOnly(true);
    PlaceTwips(TxtWheel, 5400, 120, 5280, 3960);
    GridWheel = new QTableWidget(this);
    GridWheel->setObjectName(QStringLiteral("GridWheel"));
    GridWheel->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridWheel->verticalHeader()->setDefaultSectionSize(TwipsToPixels(270));
    PlaceTwips(GridWheel, 5400, 4200, 5280, 2760);
    CmdToSave = MakeButton(this, QStringLiteral("CmdToSave"), QStringLiteral("保存エリアへ(&S)"));
    CmdToSave->setToolTip(QStringLiteral("行を結果保存エリアに移します。"));
    PlaceTwips(CmdToSave, 5400, 7080, 2000, 420);
    CancelButton = MakeButton(this, QStringLiteral("CancelButton"), QStringLiteral("閉じる"));
    PlaceTwips(CancelButton, 9180, 7080, 1500, 420);
}

void DlgWheel::createNumberBoxes()
{
    for (int n = 1; n <= NumberBoxes; ++n) {
        auto *box = new QCheckBox(QString::number(n), this);
        box->setObjectName(QStringLiteral("ChkNum_%1").arg(n));
        const int column = (n - 1) % BoxColumns;
        const int line = (n - 1) / BoxColumns;
        PlaceTwips(box, 120 + 645 * column, 540 + 285 * line, 645, 285);
        ChkNum[size_t(n)] = box;
    }
}

void DlgWheel::connectHandlers()
{
    connect(CmbGame, &QComboBox::activated, this, [this] { CmbGame_Click(); });
    for (int n = 1; n <= NumberBoxes; ++n)
        connect(ChkNum[size_t(n)], &QCheckBox::toggled, this, [this] { ChkNum_Click(); });
    connect(SpnMatch, &QSpinBox::valueChanged, this, [this] { SpnMatch_Change(); });
    connect(SpnIf, &QSpinBox::valueChanged, this, [this] { SpnIf_Change(); });
    connect(CmdFromBoard, &QPushButton::clicked, this, [this] { CmdFromBoard_Click(); });
    connect(CmdBuild, &QPushButton::clicked, this, [this] { CmdBuild_Click(); });
    connect(CmdStop, &QPushButton::clicked, this, [this] { CmdStop_Click(); });
    connect(CmdToSave, &QPushButton::clicked, this, [this] { CmdToSave_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

WheelGame DlgWheel::game() const
{
    return WheelGameAt(std::max(0, CmbGame->currentIndex()));
}

void DlgWheel::CmbGame_Click()
{
    const WheelGame current = game();
    for (int n = 1; n <= NumberBoxes; ++n) {
        QCheckBox *box = ChkNum[size_t(n)];
        const bool inGame = n <= current.MaxNumber;
        if (!inGame)
            box->setChecked(false);
        box->setEnabled(inGame);
    }
    SpnIf->setMaximum(current.PickCount);
    SpnMatch->setMaximum(current.PickCount);
    updateChoice();
}

void DlgWheel::ChkNum_Click()
{
    updateChoice();
}

// Hits guaranteed can never exceed the numbers the condition asks for.
void DlgWheel::SpnMatch_Change()
{
    if (SpnIf->value() < SpnMatch->value())
        SpnIf->setValue(SpnMatch->value());
    updateChoice();
}

void DlgWheel::SpnIf_Change()
{
    if (SpnMatch->value() > SpnIf->value())
        SpnMatch->setValue(SpnIf->value());
    updateChoice();
}

void DlgWheel::CmdFromBoard_Click()
{
    const std::vector<int> plus = m_main.PlusSideNumbers();
    const int highest = game().MaxNumber;
    for (int n = 1; n <= NumberBoxes; ++n) {
        ChkNum[size_t(n)]->setChecked(n <= highest
                                      && std::find(plus.begin(), plus.end(), n) != plus.end());
    }
    if (plus.empty())
        TxtWheel->setPlainText(QStringLiteral("パターン制御盤で「+」側にある数字がありません。"));
}

std::vector<int> DlgWheel::chosenNumbers() const
{
    std::vector<int> numbers;
    for (int n = 1; n <= NumberBoxes; ++n) {
        if (ChkNum[size_t(n)]->isChecked())
            numbers.push_back(n);
    }
    return numbers;
}

void DlgWheel::updateChoice()
{
    const WheelGame current = game();
    const int chosen = int(chosenNumbers().size());
    LblCount->setText(QStringLiteral("選んだ数字: %1 個").arg(chosen));
    if (chosen < current.PickCount)
        LblSentence->setText(
            QStringLiteral("数字を %1 個以上選んでください。").arg(current.PickCount));
    else if (SpnIf->value() > chosen)
        LblSentence->setText(QStringLiteral("条件の数は、選んだ数字の個数以下にしてください。"));
    else
        LblSentence->setText(WheelSentence(current, chosen, SpnMatch->value(), SpnIf->value()));
    if (!isWorking())
        CmdBuild->setEnabled(chosen >= current.PickCount && SpnIf->value() <= chosen);
}

void DlgWheel::setWorking(bool working)
{
    CmdBuild->setEnabled(!working);
    CmdStop->setEnabled(working);
    CmbGame->setEnabled(!working);
    CmdFromBoard->setEnabled(!working);
    SpnMatch->setEnabled(!working);
    SpnIf->setEnabled(!working);
    SpnSeconds->setEnabled(!working);
    for (int n = 1; n <= NumberBoxes; ++n)
        ChkNum[size_t(n)]->setEnabled(!working && n <= game().MaxNumber);
    CmdToSave->setEnabled(!working && !m_rows.empty());
    if (working) {
        m_progressTimer.start();
    } else {
        m_progressTimer.stop();
        updateChoice();
    }
}

void DlgWheel::CmdBuild_Click()
{
    if (isWorking())
        return;
    WheelRequest request;
    request.Game = CmbGame->currentIndex();
    request.Numbers = chosenNumbers();
    request.Match = SpnMatch->value();
    request.If = SpnIf->value();
    request.Seconds = SpnSeconds->value();
    request.Seed = 1;
    const QString error = WheelRequestError(request);
    if (!error.isEmpty()) {
        TxtWheel->setPlainText(error);
        return;
    }
    m_rows.clear();
    showRows();
    TxtWheel->setPlainText(QStringLiteral("探しています…"));
    m_stop = std::make_shared<std::atomic<bool>>(false);
    m_abort = std::make_shared<std::atomic<bool>>(false);
    m_bestRows = std::make_shared<std::atomic<int>>(0);
    m_seconds = request.Seconds;
    m_elapsed.start();
    auto *watcher = new QFutureWatcher<std::shared_ptr<Outcome>>(this);
    m_watcher = watcher;
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        const std::shared_ptr<Outcome> outcome = watcher->result();
        m_watcher = nullptr;
        watcher->deleteLater();
        showOutcome(*outcome);
        setWorking(false);
    });
    const auto stop = m_stop;
    const auto abort = m_abort;
    const auto best = m_bestRows;
    watcher->setFuture(QtConcurrent::run([request, stop, abort, best] {
        auto outcome = std::make_shared<Outcome>();
        outcome->Request = request;
        outcome->Result = BuildWheel(request, stop.get(),
                                     [best](int rows, double) { best->store(rows); });
        if (!outcome->Result.Rows.empty() && outcome->Result.Uncovered == 0 && !abort->load())
            outcome->Spread = ComputeWheelSpread(WheelGameAt(request.Game), outcome->Result.Rows,
                                                 abort.get());
        return outcome;
    }));
    setWorking(true);
    showProgress();
}

void DlgWheel::showProgress()
{
    const double seconds = double(m_elapsed.elapsed()) / 1000;
    PrgWheel->setValue(int(std::clamp(1000 * seconds / std::max(m_seconds, 1.0), 0.0, 1000.0)));
    const int best = m_bestRows ? m_bestRows->load() : 0;
    LblProgress->setText(best > 0 ? QStringLiteral("探索中… これまでの最少: %1 行").arg(best)
                                  : QStringLiteral("探索中…"));
}

// Only a wheel the check found whole is shown; a search stopped before it
// covered every case shows none.
void DlgWheel::showOutcome(const Outcome &outcome)
{
    const WheelResult &result = outcome.Result;
    PrgWheel->setValue(PrgWheel->maximum());
    if (!result.Error.isEmpty()) {
        TxtWheel->setPlainText(result.Error);
        LblProgress->clear();
        return;
    }
    if (result.Rows.empty()) {
        TxtWheel->setPlainText(QStringLiteral("時間内に保証を満たす行の組が見つかりませんでした。"
                                              "探索時間を延ばしてください。"));
        LblProgress->setText(QStringLiteral("見つかりませんでした。"));
        return;
    }
    if (result.Uncovered != 0) {
        TxtWheel->setPlainText(WheelProofLine(result.Uncovered, result.Cases)
                               + QStringLiteral("\n保証を満たさないため、この行は示しません。"));
        LblProgress->clear();
        return;
    }
    m_rows = result.Rows;
    showRows();
    TxtWheel->setPlainText(WheelReport(game(), outcome.Request, result, outcome.Spread));
    LblProgress->setText(QStringLiteral("%1: %2 行（%3 秒）")
                             .arg(result.Stopped ? QStringLiteral("中止") : QStringLiteral("完了"))
                             .arg(result.Rows.size())
                             .arg(result.Seconds, 0, 'f', 1));
}

void DlgWheel::showRows()
{
    int columns = 0;
    for (const std::vector<int> &row : m_rows)
        columns = std::max(columns, int(row.size()));
    GridWheel->clear();
    GridWheel->setRowCount(int(m_rows.size()));
    GridWheel->setColumnCount(columns);
    QStringList headers;
    for (int c = 1; c <= columns; ++c)
        headers << QStringLiteral("#%1").arg(c);
    GridWheel->setHorizontalHeaderLabels(headers);
    for (int r = 0; r < int(m_rows.size()); ++r) {
        for (int c = 0; c < int(m_rows[size_t(r)].size()); ++c) {
            auto *item = new QTableWidgetItem(QString::number(m_rows[size_t(r)][size_t(c)]));
            item->setTextAlignment(Qt::AlignCenter);
            GridWheel->setItem(r, c, item);
        }
    }
    for (int c = 0; c < columns; ++c)
        GridWheel->setColumnWidth(c, TwipsToPixels(570));
}

void DlgWheel::CmdStop_Click()
{
    if (m_stop)
        m_stop->store(true);
}

// The rows leave the dialog as rows leave a grid in a move.
void DlgWheel::CmdToSave_Click()
{
    if (m_rows.empty() || isWorking())
        return;
    const size_t moved = m_rows.size();
    if (!m_main.AppendRowsToSaveArea(m_rows))
        return;
    m_rows.clear();
    showRows();
    CmdToSave->setEnabled(false);
    LblProgress->setText(QStringLiteral("保存エリアへ %1 行移しました。").arg(moved));
}

void DlgWheel::stopWork()
{
    if (!m_watcher)
        return;
    m_abort->store(true);
    m_stop->store(true);
    m_watcher->disconnect(this);
    m_watcher->waitForFinished();
    m_watcher->deleteLater();
    m_watcher = nullptr;
    m_progressTimer.stop();
}

void DlgWheel::closeEvent(QCloseEvent *event)
{
    stopWork();
    event->accept();
}

void DlgWheel::reject()
{
    stopWork();
    QDialog::reject();
}
