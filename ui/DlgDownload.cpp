#include "ui/DlgDownload.h"

#include "core/PatternFileCheck.h"
#include "net/HttpTransfer.h"
#include "storage/FilePathCommands.h"
#include "storage/Module1.h"
#include "storage/Settings.h"
#include "ui/Form1.h"
#include "ui/TextBoxLines.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>

#include <array>
#include <iterator>
#include <optional>

namespace {

// Layout in pixels: the text boxes are sized in pixels by design, the rest
// follows them.
constexpr int Margin = 12;
constexpr int ClientWidth = 480;
constexpr int TextLeft = Margin;
constexpr int TextTop = 74;
constexpr int TextWidth = ClientWidth - 2 * Margin;
constexpr int TextGap = DlgDownload::Text1FullHeight - DlgDownload::Text1ShortHeight
                        - DlgDownload::Text2Height;
constexpr int ButtonWidth = 100;
constexpr int ButtonHeight = 28;
constexpr int ButtonTop = TextTop + DlgDownload::Text1FullHeight + 10;
constexpr int ClientHeight = ButtonTop + ButtonHeight + Margin;
constexpr int ImageSize = 40;

// What became of one game's file in a run. Only Stored changed the local
// file; every other outcome leaves it exactly as it was.
// The games whose pattern files this dialog fetches: LOTO6 and Mini LOTO.
constexpr int DownloadGames = 2;

enum class Outcome {
    NotFetched, // an earlier request timed out or was cancelled
    TimedOut,
    FetchFailed, // the transfer itself failed
    Rejected,    // an answer other than 2xx, or not a whole pattern file
    StoreFailed, // the write failed
    Stored,
};

QString StateLine(int state)
{
    static const char16_t *const lines[] = {
        u" 0: 状態についての報告はありません。",
        u" 1: 指定されたサーバーの IP アドレスを調べています。",
        u" 2: 指定されたサーバーの IP アドレスを見つけました。",
        u" 3: サーバーとの接続処理を行っています。",
        u" 4: サーバーと正常に接続しました。",
        u" 5: サーバーに要求を送信しています。",
        u" 6: 要求を正常に送信しました。",
        u" 7: サーバーからの応答を受信しています。",
        u" 8: サーバーからの応答を正常に受信しました。",
        u" 9: サーバーとの接続を解除しています。",
        u"10: サーバーとの接続を正常に解除しました。",
        u"11: サーバーとの通信中にエラーが発生しました。",
        u"12: 要求処理が完了し、すべてのデータが受信されました。",
    };
    if (state < 0 || state >= int(std::size(lines)))
        return QString();
    return QString::fromUtf16(lines[state]);
}

Outcome OutcomeOf(PatternStoreResult result)
{
    switch (result) {
    case PatternStoreResult::Stored:
        return Outcome::Stored;
    case PatternStoreResult::NotAPatternFile:
        return Outcome::Rejected;
    case PatternStoreResult::WriteFailed:
        break;
    }
    return Outcome::StoreFailed;
}

// The files go where the program keeps its data; that is named when it is
// not the program's own folder.
QString DownloadIntroText(const QString &dataFolder, const QString &programFolder)
{
    const QString intro = QStringLiteral(
        "パターンファイルと当選番号ファイルをサーバーからダウンロードします。");
    if (QDir(dataFolder) == QDir(programFolder))
        return intro
               + QStringLiteral(
                   "データファイルはZanboをインストールしたフォルダに上書き保存されます。");
    return intro
           + QStringLiteral("データファイルは %1 に上書き保存されます。")
                 .arg(QDir::toNativeSeparators(QDir::cleanPath(dataFolder)));
}

// The detail line that says why a game's file was not taken, with the
// server's HTTP status when there was an answer.
QString RefusedLine(int status, const QString &reason)
{
    const QString answer = status > 0 ? QStringLiteral("（HTTP %1）").arg(status) : QString();
    return QStringLiteral("取り込みませんでした") + answer + QStringLiteral(": ") + reason;
}

bool IsSuccessStatus(int status)
{
    return status >= 200 && status <= 299;
}

} // namespace

DlgDownload::DlgDownload(Form1 &main, QWidget *parent)
    : QDialog(parent)
    , m_main(main)
    , m_settingsFilePath(main.SettingsFilePath)
{
    setObjectName(QStringLiteral("DlgDownload"));
    setWindowTitle(QStringLiteral("パターンファイルのダウンロード"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(ClientWidth, ClientHeight);
    createControls();
    Form_Load();
}

DlgDownload::~DlgDownload()
{
    Form_Unload();
}

void DlgDownload::createControls()
{
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(m_main.windowIcon().pixmap(ImageSize, ImageSize));
    Image1->setGeometry(Margin, Margin, ImageSize, ImageSize);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const int labelLeft = Margin + ImageSize + Margin;
    Label1->setGeometry(labelLeft, Margin - 2, ClientWidth - labelLeft - Margin,
                        TextTop - Margin - 4);

    const auto makeBox = [this](const QString &name) {
        auto *box = new QPlainTextEdit(this);
        box->setObjectName(name);
        box->setReadOnly(true);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        return box;
    };
    Text1 = makeBox(QStringLiteral("Text1"));
    Text1->setGeometry(TextLeft, TextTop, TextWidth, Text1FullHeight);
    Text2 = makeBox(QStringLiteral("Text2"));
    Text2->setGeometry(TextLeft, TextTop + Text1ShortHeight + TextGap, TextWidth, Text2Height);
    Text2->hide();

    ChkShousai = new QCheckBox(QStringLiteral("詳細を表示(&V)"), this);
    ChkShousai->setObjectName(QStringLiteral("ChkShousai"));
    ChkShousai->setToolTip(QStringLiteral("ネットワークの接続状態を詳細に表示します。"));
    ChkShousai->setGeometry(Margin, ButtonTop, 200, ButtonHeight);

    OKButton = new QPushButton(QStringLiteral("開始(&S)"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(ClientWidth - Margin - 2 * ButtonWidth - 8, ButtonTop, ButtonWidth,
                          ButtonHeight);
    OKButton->setDefault(true);

    CancelButton = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(ClientWidth - Margin - ButtonWidth, ButtonTop, ButtonWidth,
                              ButtonHeight);

    Inet1 = new HttpTransfer(this);
    Inet1->setObjectName(QStringLiteral("Inet1"));

    connect(ChkShousai, &QCheckBox::toggled, this, [this] { ChkShousai_Click(); });
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
    connect(Inet1, &HttpTransfer::stateChanged, this,
            [this](HttpTransfer::State state) { Inet1_StateChanged(int(state)); });
}

void DlgDownload::Form_Load()
{
    Text1->setGeometry(TextLeft, TextTop, TextWidth, Text1FullHeight);
    Label1->setText(DownloadIntroText(m_main.ProgramFolder, QApplication::applicationDirPath()));
    Text1->setPlainText(QStringLiteral("開始ボタンをクリックするとネットワークに接続します。\n"));
    Text2->clear();
    for (int g = 0; g < DownloadGames; ++g)
        PreviousMessage[g] = ReadIniValue(m_main.GameTable[g].PatternFilePath,
                                          QStringLiteral("MSG"), QStringLiteral("MSG1"));
    // A value that is no whole number is carried as 0 rather than lost in a failed read.
    NotosenValue = ReadSetting(m_settingsFilePath, Setting::NoTosen);
}

void DlgDownload::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    WriteSetting(m_settingsFilePath, Setting::NoTosen, NotosenValue);
    if (m_cursorOverridden) {
        QApplication::restoreOverrideCursor();
        m_cursorOverridden = false;
    }
}

void DlgDownload::ChkShousai_Click()
{
    const bool detail = ChkShousai->isChecked();
    Text1->setGeometry(TextLeft, TextTop, TextWidth, detail ? Text1ShortHeight : Text1FullHeight);
    Text2->setVisible(detail);
    Text1->ensureCursorVisible();
}

void DlgDownload::OKButton_Click()
{
    if (m_running)
        return;
    m_running = true;
    CancelButton->setEnabled(false);
    OKButton->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_cursorOverridden = true;

    AppendMessageLine(Text1, QStringLiteral("　　サーバーに接続中です・・・"));
    DownloadPatternFiles();
    AppendMessageLine(Text1, QString());
    AppendMessageLine(Text1, QStringLiteral("　　＝＝＝　閉じるボタンを押してください　＝＝＝"));

    QCoreApplication::processEvents();
    // Whatever the outcome: the files on disk may have changed.
    m_main.CheckPatternFile();
    m_main.CmbSwitch_Click();

    CancelButton->setEnabled(true);
    OKButton->setEnabled(true);
    if (m_cursorOverridden) {
        QApplication::restoreOverrideCursor();
        m_cursorOverridden = false;
    }
    m_running = false;
}

void DlgDownload::CancelButton_Click()
{
    close();
}

void DlgDownload::Inet1_StateChanged(int state)
{
    AppendMessageLine(Text2, StateLine(state));
}

void DlgDownload::DownloadPatternFiles()
{
    TimeoutSeconds = ReadSetting(m_settingsFilePath, Setting::NetTimeout);
    Inet1->setRequestTimeout(TimeoutSeconds);

    std::array<Outcome, DownloadGames> outcome{Outcome::NotFetched, Outcome::NotFetched};
    for (int g = 0; g < DownloadGames; ++g) {
        const GameInfo &game = m_main.GameTable[g];
        const QUrl address(m_main.Links.DownloadBaseUrl + GetFileName(game.PatternFilePath));
        // Tells the detail view which request the state lines below belong to.
        AppendMessageLine(Text2, QStringLiteral("接続先: ") + address.toDisplayString());
        QByteArray body;
        const HttpTransfer::Result result = Inet1->get(address, body);
        if (result == HttpTransfer::Result::Timeout) {
            // A server that slow is not asked again in the same run.
            outcome[g] = Outcome::TimedOut;
            break;
        }
        if (result == HttpTransfer::Result::Cancelled) {
            outcome[g] = Outcome::FetchFailed;
            break;
        }
        if (result != HttpTransfer::Result::Ok) {
            // Nothing is stored for this game; the next one is still tried.
            outcome[g] = Outcome::FetchFailed;
            AppendMessageLine(Text2, RefusedLine(Inet1->httpStatus(), TransferFailure()));
            continue;
        }
        // An error status may come with a body that looks like a pattern file.
        const int status = Inet1->httpStatus();
        PatternFileVerdict verdict = PatternFileVerdict::Whole;
        outcome[g] = IsSuccessStatus(status)
                         ? OutcomeOf(StoreWholePatternFile(game, body, nullptr, &verdict))
                         : Outcome::Rejected;
        if (!IsSuccessStatus(status))
            AppendMessageLine(
                Text2, RefusedLine(status, QStringLiteral("サーバーがファイルを返しませんでした")));
        else if (verdict != PatternFileVerdict::Whole)
            AppendMessageLine(Text2, RefusedLine(status, RefusalReason(verdict, body)));
        else if (outcome[g] == Outcome::StoreFailed)
            AppendMessageLine(
                Text2, RefusedLine(status, QStringLiteral("ファイルを保存できませんでした")));
    }
    Inet1->cancel();

    // Each game is reported on its own, whatever became of the other.
    int goodFiles = 0;
    for (int g = 0; g < DownloadGames; ++g) {
        const GameInfo &game = m_main.GameTable[g];
        if (outcome[g] == Outcome::TimedOut)
            AppendMessageLine(
                Text1, QStringLiteral("(NG)■ネットワークの接続でタイムアウトが発生しました■"));
        else if (outcome[g] == Outcome::FetchFailed)
            AppendMessageLine(Text1,
                              QStringLiteral("(NG)■ネットワークの接続でエラーが発生しました■"));
        if (outcome[g] != Outcome::Stored) {
            AppendMessageLine(
                Text1,
                QStringLiteral("(NG)■") + game.GameName
                    + QStringLiteral(" 用ファイルのダウンロードは正常に終了しませんでした■"));
            continue;
        }
        const QString label = (game.GameName + QStringLiteral("　　　　")).left(4);
        const QString message = ReadIniValue(game.PatternFilePath, QStringLiteral("MSG"),
                                             QStringLiteral("MSG1"));
        if (message == PreviousMessage[g]) {
            AppendMessageLine(Text1, QStringLiteral("(OK)") + label
                                         + QStringLiteral("用ファイルは最新です。□□□□"));
        } else {
            AppendMessageLine(
                Text1, QStringLiteral("(OK)") + label
                           + QStringLiteral("用ファイルのダウンロードは正常に終了しました。"));
            AppendMessageLine(Text1, QStringLiteral("      ") + message);
        }
        ++goodFiles;
    }
    if (goodFiles != DownloadGames)
        AppendMessageLine(Text1,
                          QStringLiteral("(NG)■パターンファイルのダウンロード に失敗しました■"));
}

QString DlgDownload::TransferFailure() const
{
    if (Inet1->bodyTooLarge())
        return QStringLiteral("受信データが %1 バイトを超えています")
            .arg(HttpTransfer::MaxBodyBytes);
    return QStringLiteral("サーバーと通信できませんでした");
}

void DlgDownload::done(int result)
{
    // The run owns the dialog until it has ended.
    if (m_running)
        return;
    Form_Unload();
    QDialog::done(result);
}

void DlgDownload::closeEvent(QCloseEvent *event)
{
    if (m_running) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
