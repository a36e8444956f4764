#include "ui/DlgHistory.h"

#include "core/GameTable.h"
#include "storage/DrawHistory.h"
#include "storage/FileIo.h"
#include "storage/Settings.h"
#include "ui/ControlFactory.h"
#include "ui/DlgEnterDraw.h"
#include "ui/DrawHistoryModel.h"
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
#include <QTimer>

#include <algorithm>
#include <functional>
#include <thread>

namespace {

const QString ImportTitle = QStringLiteral("当選番号の取込");
const QString UpdateTitle = QStringLiteral("最新の当選番号の取得");
const QString CsvFilter = QStringLiteral("CSVファイル(*.csv)|*.csv|すべてのファイル(*.*)|*.*");

QString ReadStoppedText(const QString &fileName)
{
    return QStringLiteral("「%1」の取込を中止しました。当選番号履歴は変わっていません。")
        .arg(fileName);
}

QString SharedFolderText()
{
    return QStringLiteral("データフォルダを別のZanboが使っているため、当選番号履歴は見るだけで、"
                          "書き換えません。");
}

} // namespace

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
    // The widest draw number shows whole in any font.
    const int numberWidth = GridHistory->fontMetrics().horizontalAdvance(
                                QString::number(DrawRecord::MaxDrawNumber))
                            + TwipsToPixels(240);
    GridHistory->setColumnWidth(DrawHistoryModel::DrawNumberColumn,
                                std::max(numberWidth, GridHistory->columnWidth(0)));
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
        if (m_readStopped)
            report(ReadStoppedText(fileName));
        else
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
        if (m_readStopped)
            report(ReadStoppedText(fileName));
        else
            failed(QStringLiteral("「%1」を読めません（%2）。").arg(fileName, error));
        return;
    }
    if (!ensureHistory(true))
        return;
    DrawImport import;
    withHistoryInBackground([&](DrawHistory &history, const DrawHistory::ReadProgress &progress) {
        import = PlanImport(file, history.draws(file.Game, progress), fileName);
    });
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

// Runs work on a thread of its own while the window keeps answering: the
// bar shows the thousandths the work reports, the stop button is on when the
// work can stop, and every other control is off until the work ends.
void DlgHistory::runInBackground(const std::function<void(std::atomic<int> &perMille)> &work,
                                 bool stoppable)
{
    std::atomic<int> perMille{0};
    m_readStopped = false;
    QEventLoop loop;
    QTimer bar;
    bar.setInterval(50);
    connect(&bar, &QTimer::timeout, this, [this, &perMille] { PrgUpdate->setValue(perMille); });
    setReading(true, stoppable);
    bar.start();
    std::thread worker([&] {
        work(perMille);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    bar.stop();
    setReading(false, false);
}

// A large or hostile file takes a while: it is read off the window's thread.
bool DlgHistory::readInBackground(const QString &path, DrawFile &file, QString &error, int game)
{
    const QString fileName = QFileInfo(path).fileName();
    bool read = false;
    runInBackground(
        [&](std::atomic<int> &perMille) {
            QByteArray bytes;
            read = ReadWholeFile(path, bytes, &error);
            if (read && !m_readStopped)
                file = ReadDrawFile(bytes, fileName, QDateTime::currentDateTimeUtc(), game,
                                    [this, &perMille](double done) {
                                        perMille = int(done * 1000);
                                        return !m_readStopped;
                                    });
        },
        true);
    return read && !m_readStopped;
}

// A long history takes seconds to read or write, so the work runs in the
// background on a connection of its own: a connection serves only the
// thread that made it.
void DlgHistory::withHistoryInBackground(
    const std::function<void(DrawHistory &history, const DrawHistory::ReadProgress &progress)>
        &work)
{
    const QString path = m_main.History().filePath();
    runInBackground(
        [&](std::atomic<int> &perMille) {
            DrawHistory history(path);
            work(history, [&perMille](int read, int total) {
                perMille = total > 0 ? int(1000LL * read / total) : 0;
                return true;
            });
        },
        false);
}

bool DlgHistory::storeInBackground(const QVector<DrawRecord> &draws)
{
    bool stored = false;
    QString error;
    withHistoryInBackground([&](DrawHistory &history, const DrawHistory::ReadProgress &) {
        stored = history.store(draws);
        error = history.errorText();
    });
    if (!stored)
        failed(error);
    return stored;
}

void DlgHistory::setReading(bool reading, bool stoppable)
{
    m_reading = reading;
    const QList<QWidget *> controls{CmbGame,   GridHistory, CmdImport, CmdExport,   CmdEnter,
                                    CmdDelete, CmdEdit,     CmdUpdate, CancelButton};
    if (reading) {
        m_enabledBefore.clear();
        for (QWidget *control : controls) {
            m_enabledBefore.append(control->isEnabled());
            control->setEnabled(false);
        }
    } else {
        for (int c = 0; c < controls.size() && c < m_enabledBefore.size(); ++c)
            controls.at(c)->setEnabled(m_enabledBefore.at(c));
    }
    CmdStop->setEnabled(reading && stoppable);
    PrgUpdate->setRange(0, reading ? 1000 : 1);
    PrgUpdate->setValue(0);
}

void DlgHistory::reject()
{
    if (!m_reading)
        QDialog::reject();
    else if (CmdStop->isEnabled())
        m_readStopped = true;
}

void DlgHistory::storeImport(DrawImport &import)
{
    if (!import.Conflicts.isEmpty())
        import.ConflictsReplaced = m_main.dialogs().confirm(this, ReplaceQuestion(import),
                                                            ImportTitle, QMessageBox::Warning);
    const QVector<DrawRecord> draws = DrawsToStore(import);
    if (!draws.isEmpty() && !storeInBackground(draws))
        return;
    report(ImportReport(import));
    showDraws();
}

void DlgHistory::CmdExport_Click()
{
    const int game = currentGame();
    const QString gameName = m_main.GameTable[size_t(game)].GameName;
    if (m_main.History().count(game) == 0) {
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
    bool written = false;
    qsizetype count = 0;
    withHistoryInBackground([&](DrawHistory &history, const DrawHistory::ReadProgress &progress) {
        const QVector<DrawRecord> draws = history.draws(game, progress);
        count = draws.size();
        written = WriteFileAtomically(path, WriteDrawFile(draws, game), &error);
    });
    if (!written) {
        failed(QStringLiteral("「%1」に書き出せません（%2）。").arg(path, error));
        return;
    }
    report(QStringLiteral("%1の当選番号%2回分を「%3」に書き出しました。")
               .arg(gameName)
               .arg(count)
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
    DrawImport import;
    withHistoryInBackground([&](DrawHistory &history, const DrawHistory::ReadProgress &progress) {
        import = PlanImport(file, history.draws(file.Game, progress), QStringLiteral("手入力"));
    });
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
    DrawImport import;
    withHistoryInBackground([&](DrawHistory &history, const DrawHistory::ReadProgress &progress) {
        import = PlanCorrection(form.draw(), history.draws(stored.Game, progress));
    });
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
    if (m_reading)
        m_readStopped = true;
    else
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
    DrawUpdate update;
    withHistoryInBackground([&](DrawHistory &history, const DrawHistory::ReadProgress &) {
        update = PlanDrawUpdate(fetched, [&history](int game) { return history.draws(game); });
    });
    for (GameUpdate &game : update.Games) {
        if (!game.Import.Conflicts.isEmpty())
            game.Import.ConflictsReplaced = m_main.dialogs().confirm(
                this, ReplaceQuestion(game.Import), UpdateTitle, QMessageBox::Warning);
    }
    const QVector<DrawRecord> draws = DrawsToStore(update);
    if (!draws.isEmpty() && !storeInBackground(draws))
        return;
    report(DrawUpdateReport(update, m_main.GameTable));
    showDraws();
}

void DlgHistory::CancelButton_Click()
{
    reject();
}
