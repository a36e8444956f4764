#include "ui/DlgHistory.h"

#include "core/GameTable.h"
#include "storage/DrawHistory.h"
#include "storage/FileIo.h"
#include "storage/Settings.h"
#include "ui/ControlFactory.h"
#include "ui/DrawUpdateRunner.h"
#include "ui/FileFolders.h"
#include "ui/Form1.h"
#include "ui/StretchLayout.h"
#include "ui/Twips.h"
#include "ui/UserDialogs.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QEventLoop>
#include <QFileInfo>
#include <QHash>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTableView>

#include <algorithm>
#include <thread>

namespace {

const QString ImportTitle = QStringLiteral("当選番号の取込");
const QString UpdateTitle = QStringLiteral("最新の当選番号の取得");
const QString CsvFilter = QStringLiteral("CSVファイル(*.csv)|*.csv|すべてのファイル(*.*)|*.*");

QString SharedFolderText()
{
    return QStringLiteral("データフォルダを別のZanboが使っているため、当選番号履歴は見るだけで、"
                          "書き換えません。");
}

} // namespace

// The stored draws of one game, newest first. Rows are read from the store a
// page at a time as the view asks for them, so opening a long history reads
// only what is on the screen.
class DrawHistoryModel : public QAbstractTableModel
{
public:
    enum Column {
        DrawNumberColumn,
        DateColumn,
        NumbersColumn,
        BonusColumn,
        FirstWinnersColumn,
        FirstPrizeColumn,
        CarryOverColumn,
        SourceColumn,
        ColumnCount
    };

    using QAbstractTableModel::QAbstractTableModel;

    // history null: nothing to show.
    void reload(DrawHistory *history, int game)
    {
        beginResetModel();
        m_history = history;
        m_game = game;
        m_pages.clear();
        m_count = history ? history->count(game) : 0;
        endResetModel();
    }
    // Row 0 is the newest draw.
    const DrawRecord &drawAt(int row) const
    {
        static const DrawRecord none;
        const int page = row / PageSize;
        auto found = m_pages.find(page);
        if (found == m_pages.end())
            found = m_pages.insert(
                page, m_history ? m_history->newestFirst(m_game, page * PageSize, PageSize)
                                : QVector<DrawRecord>());
        const int index = row % PageSize;
        return index < found->size() ? found->at(index) : none;
    }
    int newestDrawNumber() const { return m_count > 0 ? drawAt(0).DrawNumber : 0; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_count;
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid())
            return QVariant();
        if (role == Qt::TextAlignmentRole)
            switch (index.column()) {
            case SourceColumn:
                return int(Qt::AlignLeft | Qt::AlignVCenter);
            case DateColumn:
            case NumbersColumn:
            case BonusColumn:
                return int(Qt::AlignCenter);
            default:
                return int(Qt::AlignRight | Qt::AlignVCenter);
            }
        if (role != Qt::DisplayRole)
            return QVariant();
        const DrawRecord &draw = drawAt(index.row());
        const auto amount = [](qint64 value) {
            return value == DrawRecord::Unknown ? QString() : QLocale::c().toString(value);
        };
        switch (index.column()) {
        case DrawNumberColumn:
            return QString::number(draw.DrawNumber);
        case DateColumn:
            return draw.Date.toString(QStringLiteral("yyyy/MM/dd"));
        case NumbersColumn: {
            QStringList numbers;
            for (int i = 0; i < draw.MainCount; ++i)
                numbers << QStringLiteral("%1").arg(draw.Numbers[size_t(i)], 2, 10,
                                                    QLatin1Char('0'));
            return numbers.join(QLatin1Char(' '));
        }
        case BonusColumn: {
            QStringList bonuses{QStringLiteral("%1").arg(draw.Bonus, 2, 10, QLatin1Char('0'))};
            for (int i = 1; i < GameRuleOf(draw.Game).BonusCount; ++i)
                bonuses << QStringLiteral("%1").arg(draw.MoreBonuses[size_t(i - 1)], 2, 10,
                                                    QLatin1Char('0'));
            return bonuses.join(QLatin1Char(' '));
        }
        case FirstWinnersColumn:
            return amount(draw.Winners[0]);
        case FirstPrizeColumn:
            return amount(draw.PrizeYen[0]);
        case CarryOverColumn:
            return amount(draw.CarryOverYen);
        case SourceColumn:
            return draw.Source == QStringLiteral("manual") ? QStringLiteral("手入力") : draw.Source;
        default:
            return QVariant();
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        static const char16_t *const names[ColumnCount] = {
            u"回",      u"抽選日",  u"本数字",           u"ボーナス",
            u"1等口数", u"1等賞金", u"キャリーオーバー", u"取込元"};
        return section >= 0 && section < ColumnCount ? QString::fromUtf16(names[section])
                                                     : QVariant();
    }

private:
    static constexpr int PageSize = 256;
    DrawHistory *m_history = nullptr;
    int m_game = 0;
    int m_count = 0;
    mutable QHash<int, QVector<DrawRecord>> m_pages;
};

DlgHistory::DlgHistory(Form1 &main, QWidget *parent)
    : QDialog(parent)
    , m_main(main)
{
    setObjectName(QStringLiteral("DlgHistory"));
    setWindowTitle(QStringLiteral("当選番号履歴"));
    // The design's size by default; the grid and the report take any room
    // the user gives, and a screen too small scrolls.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    const QSize design(TwipsToPixels(9600), TwipsToPixels(7200));
    QWidget *content = ScrollableContent(this, design);
    resize(FitToScreen(this, design));
    createControls(content);
    auto *stretch = new StretchLayout(content, design);
    for (QWidget *control : content->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (control == GridHistory)
            stretch->add(control, {0, 0, 1, 0.5});
        else if (control == TxtReport)
            stretch->add(control, {0, 0.5, 1, 0.5});
        else if (control == CancelButton)
            stretch->add(control, {1, 0.5, 0, 0});
        else if (control->x() >= GridHistory->geometry().right())
            stretch->add(control, {1, 0, 0, 0});
    }

    connect(CmbGame, &QComboBox::activated, this, [this] { CmbGame_Click(); });
    connect(CmdImport, &QPushButton::clicked, this, [this] { CmdImport_Click(); });
    connect(CmdExport, &QPushButton::clicked, this, [this] { CmdExport_Click(); });
    connect(CmdEnter, &QPushButton::clicked, this, [this] { CmdEnter_Click(); });
    connect(CmdDelete, &QPushButton::clicked, this, [this] { CmdDelete_Click(); });
    connect(CmdEdit, &QPushButton::clicked, this, [this] { CmdEdit_Click(); });
    connect(GridHistory, &QTableView::doubleClicked, this, [this] { CmdEdit_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
    connect(CmdUpdate, &QPushButton::clicked, this, [this] { CmdUpdate_Click(); });
    connect(CmdStop, &QPushButton::clicked, this, [this] { CmdStop_Click(); });
    m_updater = new DrawUpdateRunner(this);
    connect(m_updater, &DrawUpdateRunner::sourceStarted, this,
            [this](int index, int count, const QString &address) {
                PrgUpdate->setRange(0, count);
                PrgUpdate->setValue(index);
                report(QStringLiteral("取得しています: %1").arg(address));
            });
    connect(m_updater, &DrawUpdateRunner::finished, this,
            [this](const QVector<SourceFetch> &fetched, bool cancelled) {
                updateFetched(fetched, cancelled);
            });
    Form_Load();
}

void DlgHistory::createControls(QWidget *area)
{
    Label1 = MakeLabel(area, QStringLiteral("Label1"), QStringLiteral("ゲーム："));
    PlaceTwips(Label1, 120, 150, 720, 255);
    CmbGame = new QComboBox(area);
    CmbGame->setObjectName(QStringLiteral("CmbGame"));
    PlaceTwips(CmbGame, 840, 120, 1500, 300);

    m_model = new DrawHistoryModel(this);
    GridHistory = new QTableView(area);
    GridHistory->setObjectName(QStringLiteral("GridHistory"));
    GridHistory->setModel(m_model);
    GridHistory->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridHistory->setSelectionMode(QAbstractItemView::ExtendedSelection);
    GridHistory->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridHistory->setWordWrap(false);
    GridHistory->verticalHeader()->hide();
    // Fixed row heights and column widths: the view never measures the
    // cells of a long history.
    GridHistory->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    GridHistory->verticalHeader()->setDefaultSectionSize(TwipsToPixels(285));
    GridHistory->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    const std::array<int, DrawHistoryModel::ColumnCount> widths{600, 1300, 2000, 800,
                                                                800, 1400, 1600, 1600};
    for (int c = 0; c < DrawHistoryModel::ColumnCount; ++c)
        GridHistory->setColumnWidth(c, TwipsToPixels(widths[size_t(c)]));
    PlaceTwips(GridHistory, 120, 540, 7200, 3405);

    CmdImport = MakeButton(area, QStringLiteral("CmdImport"), QStringLiteral("CSV取込(&I)..."));
    PlaceTwips(CmdImport, 7440, 540, 2040, 375);
    CmdExport = MakeButton(area, QStringLiteral("CmdExport"), QStringLiteral("CSV書出し(&E)..."));
    PlaceTwips(CmdExport, 7440, 960, 2040, 375);
    CmdEnter = MakeButton(area, QStringLiteral("CmdEnter"), QStringLiteral("手入力(&N)..."));
    PlaceTwips(CmdEnter, 7440, 1380, 2040, 375);
    CmdDelete = MakeButton(area, QStringLiteral("CmdDelete"), QStringLiteral("削除(&D)"));
    PlaceTwips(CmdDelete, 7440, 1800, 2040, 375);
    CmdEdit = MakeButton(area, QStringLiteral("CmdEdit"), QStringLiteral("修正(&M)..."));
    PlaceTwips(CmdEdit, 7440, 2220, 2040, 375);
    CancelButton = MakeButton(area, QStringLiteral("CancelButton"), QStringLiteral("閉じる(&C)"));
    PlaceTwips(CancelButton, 7440, 4065, 2040, 375);
    createUpdateControls(area);
    for (QPushButton *button :
         {CmdImport, CmdExport, CmdEnter, CmdDelete, CmdEdit, CmdUpdate, CmdStop, CancelButton})
        button->setAutoDefault(false);

    TxtReport = new QPlainTextEdit(area);
    TxtReport->setObjectName(QStringLiteral("TxtReport"));
    TxtReport->setReadOnly(true);
    TxtReport->setLineWrapMode(QPlainTextEdit::NoWrap);
    PlaceTwips(TxtReport, 120, 4560, 9360, 2520);
}

// The fetch of the draw sources, on a row of its own under the draws.
void DlgHistory::createUpdateControls(QWidget *area)
{
    CmdUpdate = MakeButton(area, QStringLiteral("CmdUpdate"),
                           QStringLiteral("最新の当選番号を取得(&U)"));
    PlaceTwips(CmdUpdate, 120, 4065, 2880, 375);
    CmdStop = MakeButton(area, QStringLiteral("CmdStop"), QStringLiteral("中止(&S)"));
    CmdStop->setEnabled(false);
    PlaceTwips(CmdStop, 3120, 4065, 1080, 375);
    PrgUpdate = new QProgressBar(area);
    PrgUpdate->setObjectName(QStringLiteral("PrgUpdate"));
    PrgUpdate->setTextVisible(false);
    PrgUpdate->setValue(0);
    PlaceTwips(PrgUpdate, 4320, 4110, 3000, 285);
}

void DlgHistory::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    KeepOnScreen(this);
}

int DlgHistory::currentGame() const
{
    return CmbGame->currentIndex();
}

void DlgHistory::Form_Load()
{
    for (int g = 0; g < GameCount; ++g)
        CmbGame->addItem(m_main.GameTable[size_t(g)].GameName);
    CmbGame->setCurrentIndex(std::clamp(m_main.currentGame(), 0, GameCount - 1));
    DrawHistory &history = m_main.History();
    if (history.fileExists())
        ensureHistory(false);
    if (m_main.DataFolderShared) {
        for (QPushButton *button : {CmdImport, CmdEnter, CmdDelete})
            button->setEnabled(false);
        report(SharedFolderText());
    }
    showDraws();
}

bool DlgHistory::ensureHistory(bool create)
{
    DrawHistory &history = m_main.History();
    if (create && m_main.DataFolderShared) {
        failed(SharedFolderText());
        return false;
    }
    if (!m_writable && create)
        return false;
    if (history.open(create))
        return true;
    // Only a file SQLite calls damaged may be set aside: a busy, unreadable
    // or other version's history is left exactly as it is.
    if (!history.fileExists() || history.errorText().isEmpty()
        || history.problem() != DrawHistory::Problem::Damaged) {
        if (create)
            failed(history.errorText());
        else if (history.fileExists())
            goWithoutHistory(history.errorText());
        return false;
    }
    // A file that is there but no usable history: kept, never deleted.
    const QString problem = history.errorText();
    report(problem);
    const QString question = problem
                             + QStringLiteral("\n\n新しい当選番号履歴を始めますか？"
                                              "今のファイルは別の名前で残します。"
                                              "（キャンセルで履歴を使わずに続けます）");
    if (!m_main.dialogs().confirm(this, question, windowTitle(), QMessageBox::Warning)) {
        goWithoutHistory(problem);
        return false;
    }
    const QString keptAs = history.setAside();
    if (keptAs.isEmpty()) {
        failed(history.errorText());
        return false;
    }
    report(problem + QStringLiteral("\n元のファイルは「%1」として残しました。").arg(keptAs));
    return history.open(create) || !create;
}

void DlgHistory::goWithoutHistory(const QString &problem)
{
    m_writable = false;
    for (QPushButton *button : {CmdImport, CmdEnter, CmdDelete, CmdEdit, CmdExport, CmdUpdate})
        button->setEnabled(false);
    report(problem + QStringLiteral("\n当選番号履歴を使わずに続けます。"));
}

void DlgHistory::showDraws()
{
    DrawHistory &history = m_main.History();
    m_model->reload(m_writable ? &history : nullptr, currentGame());
}

void DlgHistory::report(const QString &text)
{
    TxtReport->setPlainText(text);
}

void DlgHistory::failed(const QString &text)
{
    report(text);
    m_main.dialogs().warn(this, text, windowTitle());
}

void DlgHistory::CmbGame_Click()
{
    showDraws();
}

void DlgHistory::CmdImport_Click()
{
    FileDialogOptions options;
    options.filter = CsvFilter;
    options.defaultExtension = QStringLiteral("*.csv");
    options.initialFolder = StartFolder(QStringLiteral("csv"), m_main.ProgramFolder);
    const QString path = m_main.dialogs().openFileName(this, options);
    if (path.isEmpty())
        return;
    RememberFolder(QStringLiteral("csv"), path);
    const QString fileName = QFileInfo(path).fileName();

    QString error;
    DrawFile file;
    if (!readInBackground(path, file, error)) {
        failed(QStringLiteral("「%1」を読めません（%2）。").arg(fileName, error));
        return;
    }
    if (file.Empty) {
        failed(QStringLiteral("「%1」は空のファイルです。").arg(fileName));
        return;
    }
    if (file.Rows == 0 && (file.Game >= 0 || file.HasHeader)) {
        failed(QStringLiteral("「%1」には当選番号の行がありません（見出しの行だけです）。")
                   .arg(fileName));
        return;
    }
    if (file.Game < 0) {
        failed(QStringLiteral("「%1」は当選番号のファイルとして読めません。"
                              "開催回・日付・本数字・ボーナス数字の列が要ります。")
                   .arg(fileName));
        return;
    }
    const int game = chooseImportGame(fileName, file);
    if (game < 0) {
        report(QStringLiteral("「%1」の取込を取りやめました。").arg(fileName));
        return;
    }
    if (game != file.Game && !readInBackground(path, file, error, game)) {
        failed(QStringLiteral("「%1」を読めません（%2）。").arg(fileName, error));
        return;
    }
    if (!ensureHistory(true))
        return;
    DrawImport import = PlanImport(file, m_main.History().draws(file.Game), fileName);
    CmbGame->setCurrentIndex(file.Game);
    storeImport(import);
}

int DlgHistory::chooseImportGame(const QString &fileName, const DrawFile &file)
{
    QStringList games;
    for (const GameInfo &info : m_main.GameTable)
        games << info.GameName;
    const QString question = QStringLiteral("「%1」は%2の当選番号のファイルです（%3行）。\n"
                                            "取り込むくじを選んでください。")
                                 .arg(fileName, games.at(file.Game))
                                 .arg(file.Rows);
    return m_main.dialogs().chooseOne(this, question, ImportTitle, games, file.Game);
}

// A large or hostile file takes a while: it is read on a thread of its own
// while the window keeps answering, with the dialog's controls off.
bool DlgHistory::readInBackground(const QString &path, DrawFile &file, QString &error, int game)
{
    const QString fileName = QFileInfo(path).fileName();
    bool read = false;
    QEventLoop loop;
    setEnabled(false);
    std::thread worker([&] {
        QByteArray bytes;
        read = ReadWholeFile(path, bytes, &error);
        if (read)
            file = ReadDrawFile(bytes, fileName, QDateTime::currentDateTimeUtc(), game);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    setEnabled(true);
    return read;
}

void DlgHistory::storeImport(DrawImport &import)
{
    if (!import.Conflicts.isEmpty())
        import.ConflictsReplaced = m_main.dialogs().confirm(this, ReplaceQuestion(import),
                                                            ImportTitle, QMessageBox::Warning);
    const QVector<DrawRecord> draws = DrawsToStore(import);
    if (!draws.isEmpty() && !m_main.History().store(draws)) {
        failed(m_main.History().errorText());
        return;
    }
    report(ImportReport(import));
    showDraws();
}

void DlgHistory::CmdExport_Click()
{
    const int game = currentGame();
    const QVector<DrawRecord> draws = m_main.History().draws(game);
    const QString gameName = m_main.GameTable[size_t(game)].GameName;
    if (draws.isEmpty()) {
        report(QStringLiteral("%1の当選番号履歴は空です。").arg(gameName));
        return;
    }
    FileDialogOptions options;
    options.filter = CsvFilter;
    options.defaultExtension = QStringLiteral("*.csv");
    options.initialFolder = StartFolder(QStringLiteral("csv"), m_main.ProgramFolder);
    options.confirmReplace = true;
    const QString path = m_main.dialogs().saveFileName(this, options);
    if (path.isEmpty())
        return;
    RememberFolder(QStringLiteral("csv"), path);
    QString error;
    if (!WriteFileAtomically(path, WriteDrawFile(draws, game), &error)) {
        failed(QStringLiteral("「%1」に書き出せません（%2）。").arg(path, error));
        return;
    }
    report(QStringLiteral("%1の当選番号%2回分を「%3」に書き出しました。")
               .arg(gameName)
               .arg(draws.size())
               .arg(path));
}

void DlgHistory::CmdEnter_Click()
{
    DlgEnterDraw form(currentGame(), m_model->newestDrawNumber() + 1, this);
    if (form.exec() != QDialog::Accepted || !ensureHistory(true))
        return;
    DrawFile file;
    file.Game = form.draw().Game;
    file.Draws = {form.draw()};
    DrawImport import = PlanImport(file, m_main.History().draws(file.Game),
                                   QStringLiteral("手入力"));
    CmbGame->setCurrentIndex(file.Game);
    storeImport(import);
}

void DlgHistory::CmdEdit_Click()
{
    const QModelIndexList rows = GridHistory->selectionModel()->selectedRows();
    if (rows.size() != 1 || !m_writable)
        return;
    const DrawRecord stored = m_model->drawAt(rows.constFirst().row());
    DlgEnterDraw form(stored.Game, stored.DrawNumber, this);
    form.setDraw(stored);
    if (form.exec() != QDialog::Accepted || !ensureHistory(true))
        return;
    DrawImport import = PlanCorrection(form.draw(), m_main.History().draws(stored.Game));
    storeImport(import);
}

void DlgHistory::CmdDelete_Click()
{
    QVector<int> numbers;
    for (const QModelIndex &index : GridHistory->selectionModel()->selectedRows())
        numbers.append(m_model->drawAt(index.row()).DrawNumber);
    if (numbers.isEmpty())
        return;
    std::sort(numbers.begin(), numbers.end());
    const QString question = numbers.size() == 1
                                 ? QStringLiteral("第%1回の当選番号を履歴から削除しますか？")
                                       .arg(numbers.constFirst())
                                 : QStringLiteral("選んだ%1回分の当選番号を履歴から削除しますか？")
                                       .arg(numbers.size());
    if (!m_main.dialogs().confirm(this, question, windowTitle(), QMessageBox::Question))
        return;
    if (!m_main.History().remove(currentGame(), numbers)) {
        failed(m_main.History().errorText());
        return;
    }
    report(QStringLiteral("%1回分の当選番号を削除しました。").arg(numbers.size()));
    showDraws();
}

void DlgHistory::CmdUpdate_Click()
{
    const QVector<DrawSourceUrl> sources = ConfiguredDrawSources(m_main.SettingsFilePath);
    if (sources.isEmpty()) {
        report(QStringLiteral("当選番号の取得先が設定されていません。"
                              "オプションで取得先のアドレスを設定してください。"));
        return;
    }
    if (!ensureHistory(true))
        return;
    setUpdating(true);
    m_updater->start(sources, ReadSetting(m_main.SettingsFilePath, Setting::NetTimeout));
}

void DlgHistory::CmdStop_Click()
{
    m_updater->cancel();
}

void DlgHistory::setUpdating(bool updating)
{
    for (QPushButton *button : {CmdImport, CmdEnter, CmdDelete, CmdEdit, CmdUpdate})
        button->setEnabled(!updating && m_writable);
    CmdStop->setEnabled(updating);
    PrgUpdate->setRange(0, 1);
    PrgUpdate->setValue(0);
}

void DlgHistory::updateFetched(const QVector<SourceFetch> &fetched, bool cancelled)
{
    setUpdating(false);
    if (cancelled) {
        report(QStringLiteral("取得を中止しました。当選番号履歴は変わっていません。"));
        return;
    }
    DrawHistory &history = m_main.History();
    DrawUpdate update = PlanDrawUpdate(fetched,
                                       [&history](int game) { return history.draws(game); });
    for (GameUpdate &game : update.Games) {
        if (!game.Import.Conflicts.isEmpty())
            game.Import.ConflictsReplaced = m_main.dialogs().confirm(
                this, ReplaceQuestion(game.Import), UpdateTitle, QMessageBox::Warning);
    }
    const QVector<DrawRecord> draws = DrawsToStore(update);
    if (!draws.isEmpty() && !history.store(draws)) {
        failed(history.errorText());
        return;
    }
    report(DrawUpdateReport(update, m_main.GameTable));
    showDraws();
}

void DlgHistory::CancelButton_Click()
{
    reject();
}

DlgEnterDraw::DlgEnterDraw(int game, int nextDrawNumber, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DlgEnterDraw"));
    setWindowTitle(QStringLiteral("当選番号の入力"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    // Room below the numbers for the prizes of the game with the most tiers.
    const int prizeRows = MaxTiers + 2;
    setFixedSize(TwipsToPixels(5400), TwipsToPixels(2520 + 330 * prizeRows));

    const auto label = [this](const QString &name, const QString &text, int left, int top) {
        PlaceTwips(MakeLabel(this, name, text), left, top, 1080, 255);
    };
    const auto edit = [this](const QString &name, int left, int top, int width) {
        auto *box = new QLineEdit(this);
        box->setObjectName(name);
        PlaceTwips(box, left, top, width, 300);
        return box;
    };
    label(QStringLiteral("Label1"), QStringLiteral("ゲーム"), 120, 150);
    CmbGame = new QComboBox(this);
    CmbGame->setObjectName(QStringLiteral("CmbGame"));
    for (int g = 0; g < GameCount; ++g)
        CmbGame->addItem(GameInfoOf(g).GameName);
    CmbGame->setCurrentIndex(std::clamp(game, 0, GameCount - 1));
    PlaceTwips(CmbGame, 1200, 120, 1500, 300);

    label(QStringLiteral("Label2"), QStringLiteral("回"), 120, 540);
    TxtDrawNumber = edit(QStringLiteral("TxtDrawNumber"), 1200, 510, 900);
    TxtDrawNumber->setText(QString::number(nextDrawNumber));
    label(QStringLiteral("Label3"), QStringLiteral("抽選日"), 2280, 540);
    TxtDate = edit(QStringLiteral("TxtDate"), 3000, 510, 1500);
    TxtDate->setText(QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")));
    TxtDate->setToolTip(QStringLiteral("2024/01/04 の形で入力してください。"));

    label(QStringLiteral("Label4"), QStringLiteral("本数字"), 120, 930);
    for (int i = 0; i < int(TxtNumber.size()); ++i)
        TxtNumber[size_t(i)] = edit(QStringLiteral("TxtNumber_%1").arg(i), 1200 + 540 * i, 900,
                                    480);
    label(QStringLiteral("Label5"), QStringLiteral("ボーナス"), 120, 1320);
    TxtBonus = edit(QStringLiteral("TxtBonus"), 1200, 1290, 480);
    TxtBonus2 = edit(QStringLiteral("TxtBonus2"), 1740, 1290, 480);
    label(QStringLiteral("Label6"), QStringLiteral("口数"), 1200, 1680);
    label(QStringLiteral("Label7"), QStringLiteral("1口の賞金（円）"), 2760, 1680);
    for (int t = 0; t < MaxTiers; ++t) {
        const int top = 1680 + 330 * (t + 1);
        label(QStringLiteral("LblTier_%1").arg(t), QStringLiteral("%1等").arg(t + 1), 120,
              top + 30);
        TxtWinners[size_t(t)] = edit(QStringLiteral("TxtWinners_%1").arg(t), 1200, top, 1440);
        TxtPrize[size_t(t)] = edit(QStringLiteral("TxtPrize_%1").arg(t), 2760, top, 2040);
    }
    label(QStringLiteral("Label8"), QStringLiteral("キャリー"), 120, 1710 + 330 * (MaxTiers + 1));
    TxtCarryOver = edit(QStringLiteral("TxtCarryOver"), 2760, 1680 + 330 * (MaxTiers + 1), 2040);
    const int below = 330 * prizeRows;

    LblMessage = MakeLabel(this, QStringLiteral("LblMessage"), QString());
    QPalette palette = LblMessage->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    LblMessage->setPalette(palette);
    PlaceTwips(LblMessage, 120, 1680 + below, 5160, 255);

    OKButton = MakeButton(this, QStringLiteral("OKButton"), QStringLiteral("登録(&S)"));
    OKButton->setDefault(true);
    PlaceTwips(OKButton, 2760, 2040 + below, 1215, 375);
    CancelButton = MakeButton(this, QStringLiteral("CancelButton"), QStringLiteral("ｷｬﾝｾﾙ"));
    CancelButton->setAutoDefault(false);
    PlaceTwips(CancelButton, 4080, 2040 + below, 1215, 375);

    connect(CmbGame, &QComboBox::currentIndexChanged, this, [this] { CmbGame_Click(); });
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    CmbGame_Click();
}

void DlgEnterDraw::CmbGame_Click()
{
    // A game with fewer main numbers has no use for the last boxes.
    const int game = std::clamp(CmbGame->currentIndex(), 0, GameCount - 1);
    for (int i = GameRuleOf(game).PickCount; i < int(TxtNumber.size()); ++i) {
        TxtNumber[size_t(i)]->setEnabled(false);
        TxtNumber[size_t(i)]->clear();
    }
    for (int i = 0; i < GameRuleOf(game).PickCount; ++i)
        TxtNumber[size_t(i)]->setEnabled(true);
    TxtBonus2->setEnabled(GameRuleOf(game).BonusCount > 1);
    if (!TxtBonus2->isEnabled())
        TxtBonus2->clear();
    for (int t = 0; t < MaxTiers; ++t) {
        const bool used = t < TierCount(game);
        TxtWinners[size_t(t)]->setEnabled(used);
        TxtPrize[size_t(t)]->setEnabled(used);
        if (!used) {
            TxtWinners[size_t(t)]->clear();
            TxtPrize[size_t(t)]->clear();
        }
    }
    TxtCarryOver->setEnabled(GameRuleOf(game).CarryOver);
    if (!GameRuleOf(game).CarryOver)
        TxtCarryOver->clear();
}

void DlgEnterDraw::setDraw(const DrawRecord &draw)
{
    setWindowTitle(QStringLiteral("当選番号の修正"));
    CmbGame->setCurrentIndex(std::clamp(draw.Game, 0, GameCount - 1));
    CmbGame->setEnabled(false);
    TxtDrawNumber->setText(QString::number(draw.DrawNumber));
    TxtDrawNumber->setReadOnly(true);
    TxtDate->setText(draw.Date.toString(QStringLiteral("yyyy/MM/dd")));
    for (int i = 0; i < draw.MainCount && i < int(TxtNumber.size()); ++i)
        TxtNumber[size_t(i)]->setText(QString::number(draw.Numbers[size_t(i)]));
    TxtBonus->setText(QString::number(draw.Bonus));
    if (GameRuleOf(draw.Game).BonusCount > 1)
        TxtBonus2->setText(QString::number(draw.MoreBonuses[0]));
    const auto amount = [](qint64 value) {
        return value == DrawRecord::Unknown ? QString() : QString::number(value);
    };
    for (int t = 0; t < TierCount(draw.Game); ++t) {
        TxtWinners[size_t(t)]->setText(amount(draw.Winners[size_t(t)]));
        TxtPrize[size_t(t)]->setText(amount(draw.PrizeYen[size_t(t)]));
    }
    TxtCarryOver->setText(amount(draw.CarryOverYen));
}

void DlgEnterDraw::OKButton_Click()
{
    const int game = CmbGame->currentIndex();
    // The views below point into these texts while the draw is checked.
    const QString drawNumber = TxtDrawNumber->text();
    const QString date = TxtDate->text();
    std::array<QString, MaxPickCount> mains;
    for (size_t i = 0; i < mains.size(); ++i)
        mains[i] = TxtNumber[i]->text();
    const QString bonus = TxtBonus->text();
    const QString bonus2 = TxtBonus2->text();
    std::array<QString, MaxTiers> winners;
    std::array<QString, MaxTiers> prizes;
    for (int t = 0; t < MaxTiers; ++t) {
        winners[size_t(t)] = TxtWinners[size_t(t)]->text().trimmed();
        prizes[size_t(t)] = TxtPrize[size_t(t)]->text().trimmed();
    }
    const QString carryOver = TxtCarryOver->text().trimmed();

    DrawFields fields;
    for (int t = 0; t < MaxTiers; ++t) {
        fields.Winners[size_t(t)] = winners[size_t(t)];
        fields.PrizeYen[size_t(t)] = prizes[size_t(t)];
    }
    fields.CarryOverYen = carryOver;
    fields.DrawNumber = drawNumber;
    fields.Date = date;
    for (size_t i = 0; i < mains.size(); ++i)
        fields.Mains[i] = mains[i];
    fields.Bonus = bonus;
    if (!fields.MoreBonuses.empty())
        fields.MoreBonuses.front() = bonus2;
    QString reason;
    const std::optional<DrawRecord> draw = CheckDraw(fields, game, &reason);
    if (!draw) {
        LblMessage->setText(reason + QStringLiteral("。"));
        return;
    }
    // An amount typed but unreadable is refused, never stored as unknown.
    const auto unread = [](const QString &text, qint64 value) {
        return !text.isEmpty() && value == DrawRecord::Unknown;
    };
    for (int t = 0; t < TierCount(game); ++t) {
        if (unread(winners[size_t(t)], draw->Winners[size_t(t)])
            || unread(prizes[size_t(t)], draw->PrizeYen[size_t(t)])) {
            LblMessage->setText(
                QStringLiteral("%1等の口数または賞金が数ではありません。").arg(t + 1));
            return;
        }
    }
    if (unread(carryOver, draw->CarryOverYen)) {
        LblMessage->setText(QStringLiteral("キャリーオーバーが数ではありません。"));
        return;
    }
    m_draw = *draw;
    m_draw.Source = QStringLiteral("manual");
    m_draw.StoredAt = QDateTime::currentDateTimeUtc();
    accept();
}
