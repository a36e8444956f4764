#include "ui/DlgDownload.h"

#include "net/HttpTransfer.h"
#include "net/PatternDownload.h"
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

#include <array>

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
    for (int g = 0; g < GameCount; ++g)
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
    AppendMessageLine(Text2, PatternDownload::StateLine(state));
}

void DlgDownload::DownloadPatternFiles()
{
    TimeoutSeconds = ReadSetting(m_settingsFilePath, Setting::NetTimeout);
    PatternDownload run(
        *Inet1, m_main.GameTable, m_main.Links.DownloadBaseUrl,
        [this](const QString &line) { AppendMessageLine(Text1, line); },
        [this](const QString &line) { AppendMessageLine(Text2, line); });
    run.run(TimeoutSeconds, PreviousMessage);
}

QString DlgDownload::TransferFailure() const
{
    return PatternDownload::TransferFailure(*Inet1);
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
