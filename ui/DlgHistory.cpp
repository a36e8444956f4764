#include "ui/DlgHistory.h"

#include "core/GameTable.h"
#include "storage/DrawHistory.h"
#include "storage/FileIo.h"
#include "storage/Settings.h"
#include "ui/ControlFactory.h"
#include "ui/DlgEnterDraw.h"
#include "ui/DrawHistoryModel.h"
#include "ui/DrawUpdateRunner.h"
#include "ui/Form1.h"
#include "ui/Twips.h"
#include "ui/UserDialogs.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QFileInfo>
#include <QHash>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTableView>

#include <algorithm>

namespace {

const QString ImportTitle = QStringLiteral("当選番号の取込");
const QString UpdateTitle = QStringLiteral("最新の当選番号の取得");
const QString CsvFilter = QStringLiteral("CSVファイル(*.csv)|*.csv|すべてのファイル(*.*)|*.*");

} // namespace

DlgHistory::DlgHistory(Form1 &main, QWidget *parent)
    : QDialog(parent)
    , m_main(main)
{
    setObjectName(QStringLiteral("DlgHistory"));
    setWindowTitle(QStringLiteral("当選番号履歴"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(TwipsToPixels(9600), TwipsToPixels(7200));
    createControls();

    connect(CmbGame, &QComboBox::activated, this, [this] { CmbGame_Click(); });
    connect(CmdImport, &QPushButton::clicked, this, [this] { CmdImport_Click(); });
    connect(CmdExport, &QPushButton::clicked, this, [this] { CmdExport_Click(); });
    connect(CmdEnter, &QPushButton::clicked, this, [this] { CmdEnter_Click(); });
    connect(CmdDelete, &QPushButton::clicked, this, [this] { CmdDelete_Click(); });
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

void DlgHistory::createControls()
{
    Label1 = MakeLabel(this, QStringLiteral("Label1"), QStringLiteral("ゲーム："));
    PlaceTwips(Label1, 120, 150, 720, 255);
    CmbGame = new QComboBox(this);
    CmbGame->setObjectName(QStringLiteral("CmbGame"));
    PlaceTwips(CmbGame, 840, 120, 1500, 300);

    m_model = new DrawHistoryModel(this);
    GridHistory = new QTableView(this);
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

    CmdImport = MakeButton(this, QStringLiteral("CmdImport"), QStringLiteral("CSV取込(&I)..."));
    PlaceTwips(CmdImport, 7440, 540, 2040, 375);
    CmdExport = MakeButton(this, QStringLiteral("CmdExport"), QStringLiteral("CSV書出し(&E)..."));
    PlaceTwips(CmdExport, 7440, 960, 2040, 375);
    CmdEnter = MakeButton(this, QStringLiteral("CmdEnter"), QStringLiteral("手入力(&N)..."));
    PlaceTwips(CmdEnter, 7440, 1380, 2040, 375);
    CmdDelete = MakeButton(this, QStringLiteral("CmdDelete"), QStringLiteral("削除(&D)"));
    PlaceTwips(CmdDelete, 7440, 1800, 2040, 375);
    CancelButton = MakeButton(this, QStringLiteral("CancelButton"), QStringLiteral("閉じる(&C)"));
    PlaceTwips(CancelButton, 7440, 4065, 2040, 375);
    createUpdateControls();
    for (QPushButton *button :
         {CmdImport, CmdExport, CmdEnter, CmdDelete, CmdUpdate, CmdStop, CancelButton})
        button->setAutoDefault(false);

    TxtReport = new QPlainTextEdit(this);
    TxtReport->setObjectName(QStringLiteral("TxtReport"));
    TxtReport->setReadOnly(true);
    TxtReport->setLineWrapMode(QPlainTextEdit::NoWrap);
    PlaceTwips(TxtReport, 120, 4560, 9360, 2520);
}

// The fetch of the draw sources, on a row of its own under the draws.
void DlgHistory::createUpdateControls()
{
    CmdUpdate = MakeButton(this, QStringLiteral("CmdUpdate"),
                           QStringLiteral("最新の当選番号を取得(&U)"));
    PlaceTwips(CmdUpdate, 120, 4065, 2880, 375);
    CmdStop = MakeButton(this, QStringLiteral("CmdStop"), QStringLiteral("中止(&S)"));
    CmdStop->setEnabled(false);
    PlaceTwips(CmdStop, 3120, 4065, 1080, 375);
    PrgUpdate = new QProgressBar(this);
    PrgUpdate->setObjectName(QStringLiteral("PrgUpdate"));
    PrgUpdate->setTextVisible(false);
    PrgUpdate->setValue(0);
    PlaceTwips(PrgUpdate, 4320, 4110, 3000, 285);
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
    showDraws();
}

bool DlgHistory::ensureHistory(bool create)
{
    DrawHistory &history = m_main.History();
    if (!m_writable && create)
        return false;
    if (history.open(create))
        return true;
    if (!history.fileExists() || history.errorText().isEmpty()) {
        if (create)
            failed(history.errorText());
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
        m_writable = false;
        for (QPushButton *button : {CmdImport, CmdEnter, CmdDelete, CmdExport, CmdUpdate})
            button->setEnabled(false);
        report(problem + QStringLiteral("\n当選番号履歴を使わずに続けます。"));
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
    options.initialFolder = m_main.ProgramFolder;
    const QString path = m_main.dialogs().openFileName(this, options);
    if (path.isEmpty())
        return;
    const QString fileName = QFileInfo(path).fileName();

    QByteArray bytes;
    QString error;
    if (!ReadWholeFile(path, bytes, &error)) {
        failed(QStringLiteral("「%1」を読めません（%2）。").arg(fileName, error));
        return;
    }
    DrawFile file = ReadDrawFile(bytes, fileName);
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
    if (game != file.Game)
        file = ReadDrawFile(bytes, fileName, QDateTime::currentDateTimeUtc(), game);
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
    options.initialFolder = m_main.ProgramFolder;
    options.confirmReplace = true;
    const QString path = m_main.dialogs().saveFileName(this, options);
    if (path.isEmpty())
        return;
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
    for (QPushButton *button : {CmdImport, CmdEnter, CmdDelete, CmdUpdate})
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
