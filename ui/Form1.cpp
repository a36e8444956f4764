#include "ui/Form1.h"

#include "storage/DrawHistory.h"
#include "storage/Settings.h"
#include "ui/BoardSlider.h"
#include "ui/CaptionKeys.h"
#include "ui/ControlFactory.h"
#include "ui/DlgJudge.h"
#include "ui/ResultGrid.h"
#include "ui/StretchLayout.h"
#include "ui/Twips.h"
#include "ui/UserDialogs.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// The program's icon, a ball with the letter Z, drawn for when Qt's SVG
// support is missing.
QPixmap DrawnProgramIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient gradient(size * 0.35, size * 0.35, size * 0.7);
    gradient.setColorAt(0, QColor(255, 244, 170));
    gradient.setColorAt(1, QColor(230, 150, 20));
    painter.setBrush(gradient);
    painter.setPen(QPen(QColor(150, 90, 0), size / 24.0 + 0.5));
    painter.drawEllipse(QRectF(1, 1, size - 2, size - 2));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(size * 6 / 10);
    painter.setFont(font);
    painter.setPen(QColor(120, 20, 20));
    painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("Z"));
    return pixmap;
}

// The same icon as the desktop shows it, sharp at any size and scale.
QIcon ProgramIcon()
{
    const QIcon svg(QStringLiteral(":/icons/zanbo.svg"));
    if (!svg.pixmap(64, 64).isNull())
        return svg;
    QIcon drawn;
    for (const int size : {16, 32, 64, 128, 256})
        drawn.addPixmap(DrawnProgramIcon(size));
    return drawn;
}

// Puts label over the run of blanks in caption's text, widening the blanks
// where the font leaves them too narrow for widest.
void PlaceInBlanks(QLabel *label, QLabel *caption, const QString &widest)
{
    const QString text = caption->text();
    const QString head = text.left(text.indexOf(QLatin1Char(' ')));
    const QString blanks = text.left(text.lastIndexOf(QLatin1Char(' ')) + 1);
    const int needed = label->fontMetrics().horizontalAdvance(widest) + 2;
    const int gap = caption->fontMetrics().horizontalAdvance(blanks)
                    - caption->fontMetrics().horizontalAdvance(head);
    if (gap < needed) {
        // Qt adds word spacing only once to a run of blanks; letter spacing
        // widens each of them.
        const int count = int(blanks.size() - head.size());
        QFont wider = caption->font();
        wider.setLetterSpacing(QFont::AbsoluteSpacing, (needed - gap + count - 1) / count);
        caption->setFont(wider);
    }
    const QFontMetrics metrics = caption->fontMetrics();
    const int left = metrics.horizontalAdvance(head);
    caption->resize(std::max(caption->width(), caption->sizeHint().width()), caption->height());
    label->setGeometry(caption->x() + left, caption->y(), metrics.horizontalAdvance(blanks) - left,
                       caption->height());
}

} // namespace

Form1::Form1(const QString &dataFolder, UserDialogs &dialogs, QWidget *parent)
    : QWidget(parent)
    , ProgramFolder(dataFolder)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zanbo"));
    // The design's size by default; the window grows and shrinks to fit the
    // screen, its controls scrolling when it is smaller than the design.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    m_content = ScrollableContent(this, DesignSize());
    resize(FitToScreen(this, DesignSize()));
    setWindowIcon(ProgramIcon());
    // The window's own Japanese proportional font, with the one Debian ships
    // as the fallback.
    QFont windowFont(QStringLiteral("ＭＳ Ｐゴシック"));
    windowFont.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                            QStringLiteral("IPAGothic")});
    windowFont.setPointSize(9);
    setFont(windowFont);
    createControls();
    stretchControls();
    GiveCaptionKeys(this);
    // The move buttons' captions name no key: Alt+M moves to the save area,
    // Alt+X takes rows out of it.
    GiveButtonKey(CmdCopy[0], QKeySequence(QStringLiteral("Alt+M")));
    GiveButtonKey(CmdCopy[1], QKeySequence(QStringLiteral("Alt+X")));
    connectHandlers();
    Form_Load();
}

QSize Form1::DesignSize()
{
    return QSize(TwipsToPixels(11550), TwipsToPixels(7800));
}

// Beyond the design size the two grids and the message box take the room;
// the rest keeps its place beside them.
void Form1::stretchControls()
{
    // Inside the frames the grids and the message box take all the frame's room.
    auto *inPrediction = new StretchLayout(Frame3, Frame3->size());
    for (QWidget *control : Frame3->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (control == TxtMessage)
            inPrediction->add(control, {0, 0, 0, 1});
        else if (control == FGkekka[0])
            inPrediction->add(control, {0, 0, 1, 1});
        else
            // The history and analysis buttons and the picture keep to the right.
            inPrediction->add(control, {control->x() >= TwipsToPixels(8800) ? 1.0 : 0.0, 1, 0, 0});
    }
    auto *inSaveArea = new StretchLayout(Frame2, Frame2->size());
    for (QWidget *control : Frame2->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        inSaveArea->add(control, control == FGkekka[1] ? StretchLayout::Share{0, 0, 1, 1}
                                                       : StretchLayout::Share{1, 0, 0, 0});
    // The frames last: their design sizes are taken above.
    auto *stretch = new StretchLayout(m_content, DesignSize());
    stretch->add(Frame1, {0, 0, 1, 0});
    stretch->add(Frame3, {0, 0, 1, 0.5});
    stretch->add(Frame2, {0, 0.5, 1, 0.5});
}

Form1::~Form1()
{
    JoinRecoveryWriter();
    if (m_judge)
        delete m_judge.data();
}

int Form1::currentGame() const
{
    return CmbSwitch->currentIndex();
}

void Form1::setJudgeDialog(DlgJudge *dialog)
{
    m_judge = dialog;
}

void Form1::createControls()
{
    createBoard();
    createPredictionArea();
    createSaveArea();
}

void Form1::createBoard()
{
    Frame1 = new QGroupBox(QStringLiteral("パターン制御盤"), m_content);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setToolTip(QStringLiteral("当選しそうな数字のスライダを＋側に、外れそうな数字のスライダ"
                                      "を－側にセットして、実行ボタンを押してください。"));
    PlaceTwips(Frame1, 120, 120, 11295, 1695);

    for (int i = 1; i <= HighestNumber; ++i)
        createBoardSlider(i);
    // The board is one Tab stop; its arrow keys move between the sliders.
    auto row = std::make_shared<QList<BoardSlider *>>();
    for (int i = 1; i <= HighestNumber; ++i)
        row->append(Slider1[i]);
    BoardSlider::JoinRow(row);

    QFont bold = font();
    bold.setBold(true);
    Label2[0] = MakeLabel(Frame1, QStringLiteral("Label2_0"), QStringLiteral("+"));
    Label2[1] = MakeLabel(Frame1, QStringLiteral("Label2_1"), QStringLiteral("－"));
    for (QLabel *label : Label2) {
        label->setFont(bold);
        label->setAlignment(Qt::AlignCenter);
    }
    PlaceTwips(Label2[0], 120, 240, 240, 255);
    PlaceTwips(Label2[1], 120, 720, 240, 255);

    CmdCntReset = MakeButton(Frame1, QStringLiteral("CmdCntReset"), QStringLiteral("RESET(&T)"));
    CmdCntReset->setToolTip(QStringLiteral("パターン制御盤を初期状態に戻します。"));
    PlaceTwips(CmdCntReset, 240, 1290, 1335, 345);

    CmbSwitch = new QComboBox(Frame1);
    CmbSwitch->setObjectName(QStringLiteral("CmbSwitch"));
    PlaceTwips(CmbSwitch, 1680, 1320, 1215, 300);

    Label4 = MakeLabel(Frame1, QStringLiteral("Label4"), QStringLiteral("パターン選択："));
    Label4->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PlaceTwips(Label4, 3000, 1320, 1380, 300);

    CmbPattern = new QComboBox(Frame1);
    CmbPattern->setObjectName(QStringLiteral("CmbPattern"));
    PlaceTwips(CmbPattern, 4440, 1320, 3960, 300);

    CmdReadPattern = MakeButton(Frame1, QStringLiteral("CmdReadPattern"),
                                QStringLiteral("パターンダウンロード(&D)"));
    PlaceTwips(CmdReadPattern, 8640, 1275, 2415, 345);
}

// Number i's slider and the label under it.
void Form1::createBoardSlider(int i)
{
    // A wider gap after every tenth number.
    const int left = 360 + 240 * (i - 1) + 120 * ((i - 1) / 10);
    auto *slider = new BoardSlider(Qt::Vertical, Frame1);
    slider->setObjectName(QStringLiteral("Slider1_%1").arg(i));
    slider->setRange(1, 5);
    slider->setValue(3);
    slider->setSingleStep(1);
    slider->setPageStep(1);
    slider->setTickPosition(QSlider::NoTicks);
    // Minimum at the top: 1 is the "+" end.
    slider->setInvertedAppearance(true);
    slider->setInvertedControls(true);
    // A favoured number shows a full bar.
    slider->setFilledTowardMaximum(true);
    PlaceTwips(slider, left, 240, 255, 735);
    Slider1[i] = slider;

    auto *label = MakeLabel(Frame1, QStringLiteral("Label1_%1").arg(i), QString());
    label->setAlignment(Qt::AlignCenter);
    QFont small = font();
    small.setPointSize(8);
    label->setFont(small);
    PlaceTwips(label, left, 960, 255, 255);
    Label1[i] = label;
}

void Form1::createPredictionArea()
{
    Frame3 = new QGroupBox(QStringLiteral("予測エリア"), m_content);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    PlaceTwips(Frame3, 120, 1920, 11295, 3735);

    TxtMessage = new QPlainTextEdit(Frame3);
    TxtMessage->setObjectName(QStringLiteral("TxtMessage"));
    TxtMessage->setReadOnly(true);
    PlaceTwips(TxtMessage, 120, 240, 3975, 2175);

    FGkekka[0] = new ResultGrid(Frame3);
    FGkekka[0]->setObjectName(QStringLiteral("FGkekka_0"));
    FGkekka[0]->setToolTip(QStringLiteral("一番上の行をクリックすると昇順に並び替えます。"));
    PlaceTwips(FGkekka[0], 4200, 240, 6975, 2055);

    Label5 = MakeLabel(Frame3, QStringLiteral("Label5"),
                       QStringLiteral("結果を保存するには、上のボックス内の結果データをクリックして"
                                      "、「保存エリアへ移動」ボタンを押してください。"));
    Label5->setWordWrap(true);
    QFont labelFont = font();
    labelFont.setPointSize(8);
    Label5->setFont(labelFont);
    Label5->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PlaceTwips(Label5, 4200, 2520, 2685, 660);

    CmdCopy[0] = MakeButton(Frame3, QStringLiteral("CmdCopy_0"),
                            QStringLiteral("保存エリアへ移動"));
    CmdCopy[0]->setToolTip(QStringLiteral("保存エリアにデータを移します。"));
    PlaceTwips(CmdCopy[0], 4200, 3240, 1815, 375);
    CmdCopy[1] = MakeButton(Frame3, QStringLiteral("CmdCopy_1"), QStringLiteral("削除"));
    CmdCopy[1]->setToolTip(QStringLiteral("保存エリアからデータを削除します。"));
    PlaceTwips(CmdCopy[1], 6000, 3240, 855, 375);
    CmdCopy[0]->setEnabled(false);
    CmdCopy[1]->setEnabled(false);

    createRunControls();
    createPredictionButtons();
}

// The count slider and the run button.
void Form1::createRunControls()
{
    SldKosu = new BoardSlider(Qt::Horizontal, Frame3);
    SldKosu->setObjectName(QStringLiteral("SldKosu"));
    SldKosu->setRange(1, 100);
    SldKosu->setValue(10);
    SldKosu->setSingleStep(1);
    SldKosu->setPageStep(10);
    SldKosu->setTickPosition(QSlider::TicksBelow);
    SldKosu->setTickInterval(10);
    SldKosu->setToolTip(QStringLiteral("一度に出力する結果の個数を決めます。"));
    PlaceTwips(SldKosu, 120, 2520, 2415, 495);

    Label3 = MakeLabel(Frame3, QStringLiteral("Label3"), QStringLiteral("出力        個"));
    PlaceTwips(Label3, 360, 3120, 1455, 255);
    LblKosu = MakeLabel(Frame3, QStringLiteral("LblKosu"), QStringLiteral("10"));
    LblKosu->setAlignment(Qt::AlignCenter);
    PlaceInBlanks(LblKosu, Label3, QStringLiteral("100"));

    CmdRun = MakeButton(Frame3, QStringLiteral("CmdRun"), QStringLiteral("実行(&N)"));
    QFont runFont = CmdRun->font();
    runFont.setBold(true);
    runFont.setPointSizeF(runFont.pointSizeF() * 1.3);
    CmdRun->setFont(runFont);
    PlaceTwips(CmdRun, 2640, 2520, 1455, 1035);
}

// The buttons that open the options, the web, help, history, analysis and wheels.
void Form1::createPredictionButtons()
{
    CmdOption = MakeButton(Frame3, QStringLiteral("CmdOption"), QStringLiteral("オプション(&O)"));
    PlaceTwips(CmdOption, 7200, 2520, 1575, 375);
    CmdHP = MakeButton(Frame3, QStringLiteral("CmdHP"), QStringLiteral("WEBへ接続(&B)"));
    PlaceTwips(CmdHP, 7200, 2880, 1575, 375);
    CmdHelp = MakeButton(Frame3, QStringLiteral("CmdHelp"), QStringLiteral("ｵﾝﾗｲﾝﾍﾙﾌﾟ(&H)"));
    PlaceTwips(CmdHelp, 7200, 3240, 1575, 375);
    CmdHistory = MakeButton(Frame3, QStringLiteral("CmdHistory"),
                            QStringLiteral("当選番号履歴(&Y)"));
    PlaceTwips(CmdHistory, 8880, 2880, 1575, 375);
    CmdAnalysis = MakeButton(Frame3, QStringLiteral("CmdAnalysis"), QStringLiteral("分析(&A)"));
    PlaceTwips(CmdAnalysis, 8880, 3240, 1575, 375);
    CmdWheel = MakeButton(Frame3, QStringLiteral("CmdWheel"), QStringLiteral("ホイール(&W)"));
    CmdWheel->setToolTip(
        QStringLiteral("選んだ数字から、当たりの数を保証する最少の行を作ります。"));
    PlaceTwips(CmdWheel, 8880, 2520, 1575, 375);

    Image1 = MakeLabel(Frame3, QStringLiteral("Image1"), QString());
    const int imageSize = TwipsToPixels(480);
    Image1->setPixmap(windowIcon().pixmap(QSize(imageSize, imageSize), devicePixelRatioF()));
    PlaceTwips(Image1, 10680, 2520, 480, 480);
}

void Form1::createSaveArea()
{
    Frame2 = new QGroupBox(QStringLiteral("結果保存エリア"), m_content);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    PlaceTwips(Frame2, 120, 5760, 11295, 1935);

    FGkekka[1] = new ResultGrid(Frame2);
    FGkekka[1]->setObjectName(QStringLiteral("FGkekka_1"));
    FGkekka[1]->setToolTip(QStringLiteral("下向き矢印でここにデータを移動します。"));
    PlaceTwips(FGkekka[1], 120, 240, 8895, 1575);

    CmdJudge = MakeButton(Frame2, QStringLiteral("CmdJudge"), QStringLiteral("判定（&J)"));
    PlaceTwips(CmdJudge, 9240, 240, 1815, 375);
    CmdSave = MakeButton(Frame2, QStringLiteral("CmdSave"), QStringLiteral("保存(S)"));
    PlaceTwips(CmdSave, 9240, 600, 1815, 375);
    CmdLoad = MakeButton(Frame2, QStringLiteral("CmdLoad"), QStringLiteral("読込(&R)"));
    PlaceTwips(CmdLoad, 9240, 960, 1815, 375);
    CmdClear = MakeButton(Frame2, QStringLiteral("CmdClear"), QStringLiteral("クリア(&C)"));
    PlaceTwips(CmdClear, 10080, 1440, 975, 375);
    // The one free place beside the buttons above.
    CmdInputRow = MakeButton(Frame2, QStringLiteral("CmdInputRow"),
                             QStringLiteral("行を入力(&I)..."));
    PlaceTwips(CmdInputRow, 9240, 1440, 825, 375);
    // The place is narrow: the caption takes a smaller type until it fits.
    QFont small = CmdInputRow->font();
    const int room = CmdInputRow->width()
                     - 2
                           * CmdInputRow->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr,
                                                               CmdInputRow);
    while (small.pointSizeF() > 5
           && QFontMetrics(small).size(Qt::TextShowMnemonic, CmdInputRow->text()).width() > room)
        small.setPointSizeF(small.pointSizeF() - 0.5);
    CmdInputRow->setFont(small);
    ActExportCsv = new QAction(QStringLiteral("CSVに書き出す(&E)..."), FGkekka[1]);
    ActExportCsv->setObjectName(QStringLiteral("ActExportCsv"));
    FGkekka[1]->addAction(ActExportCsv);
    FGkekka[1]->setContextMenuPolicy(Qt::ActionsContextMenu);
    CmdJudge->setEnabled(false);
    CmdSave->setEnabled(false);
}

void Form1::connectHandlers()
{
    for (int i = 1; i <= HighestNumber; ++i) {
        connect(Slider1[i], &QSlider::valueChanged, this, [this, i] { Slider1_Change(i); });
        connect(Slider1[i], &QSlider::sliderMoved, this, [this, i] { Slider1_Scroll(i); });
    }
    connect(SldKosu, &QSlider::valueChanged, this, [this] { SldKosu_Change(); });
    connect(SldKosu, &QSlider::sliderMoved, this, [this] { SldKosu_Scroll(); });
    connect(CmdCntReset, &QPushButton::clicked, this, [this] { CmdCntReset_Click(); });
    // Only a user's pick runs the handlers this way; the program calls them itself
    // after it changes a list, as the handlers expect.
    // Picking the game already shown changes nothing.
    connect(CmbSwitch, &QComboBox::activated, this, [this] {
        if (currentGame() != m_shownGame)
            CmbSwitch_Click();
    });
    connect(CmbPattern, &QComboBox::activated, this, [this] { CmbPattern_Click(); });
    connect(CmdReadPattern, &QPushButton::clicked, this, [this] { CmdReadPattern_Click(); });
    connect(CmdRun, &QPushButton::clicked, this, [this] { CmdRun_Click(); });
    for (int i = 0; i < 2; ++i) {
        connect(FGkekka[i], &ResultGrid::clicked, this, [this, i] { FGkekka_Click(i); });
        connect(CmdCopy[i], &QPushButton::clicked, this, [this, i] { CmdCopy_Click(i); });
    }
    connect(CmdOption, &QPushButton::clicked, this, [this] { CmdOption_Click(); });
    connect(CmdHP, &QPushButton::clicked, this, [this] { CmdHP_Click(); });
    connect(CmdHelp, &QPushButton::clicked, this, [this] { CmdHelp_Click(); });
    connect(CmdHistory, &QPushButton::clicked, this, [this] { CmdHistory_Click(); });
    connect(CmdAnalysis, &QPushButton::clicked, this, [this] { CmdAnalysis_Click(); });
    connect(CmdWheel, &QPushButton::clicked, this, [this] { CmdWheel_Click(); });
    connect(CmdJudge, &QPushButton::clicked, this, [this] { CmdJudge_Click(); });
    connect(CmdSave, &QPushButton::clicked, this, [this] { CmdSave_Click(); });
    connect(CmdLoad, &QPushButton::clicked, this, [this] { CmdLoad_Click(); });
    connect(CmdClear, &QPushButton::clicked, this, [this] { CmdClear_Click(); });
    connect(CmdInputRow, &QPushButton::clicked, this, [this] { CmdInputRow_Click(); });
    connect(ActExportCsv, &QAction::triggered, this, [this] { ExportSaveAreaCsv(); });
}

void Form1::Form_Load()
{
    // 1-2. Game table and file paths.
    GameTable = MakeGameTable(ProgramFolder);
    SettingsFilePath = ProgramFolder + QStringLiteral("zanbo.ini");

    // 3-4. Built-in addresses, then what the pattern files say.
    Links = LinkTable{BuiltInHomePageUrl(), BuiltInDownloadBaseUrl()};
    LoadWebSettings();

    // Nothing writes the settings file during start-up, so one reading of it
    // answers every key below.
    const SettingsSnapshot settings(SettingsFilePath);

    // 5. Window size and position.
    if (settings.stored(Setting::Width) || settings.stored(Setting::Height))
        resize(FitToScreen(this, QSize(TwipsToPixels(settings.value(Setting::Width)),
                                       TwipsToPixels(settings.value(Setting::Height)))));
    m_sizeAtStart = size();
    m_sizeStored = settings.stored(Setting::Width) || settings.stored(Setting::Height);
    RestorePosition(settings.value(Setting::PosLeft), settings.value(Setting::PosTop));

    // 6. Board labels and the user's own settings.
    for (int i = 1; i <= HighestNumber; ++i) {
        Label1[i]->setText(QString::number(i));
        CustomSettings[i] = Slider1[i]->value();
    }

    // 7. Combinations per run.
    if (const std::optional<int> kai = settings.stored(Setting::Kai))
        SldKosu->setValueChecked(*kai); // its change handler shows the count
    else
        FGkekka[0]->setRowCount(SldKosu->value() + 1);

    // 8. The no-web option.
    NoWeb = settings.value(Setting::NoWeb);
    ChangeWebButton(NoWeb);

    // 9-10. Grids.
    FGkekka[1]->setRowCount(1);
    SetGridColumns(settings.value(Setting::ColWidth));

    // 11. Game list: list index = game index.
    for (const GameInfo &info : GameTable)
        CmbSwitch->addItem(info.GameName);

    // 12. Pattern tables of both games.
    CheckPatternFile();

    // 13. The last game, which runs the game switch.
    const int game = CmbSwitch->findText(settings.value(Setting::L6ml), Qt::MatchExactly);
    CmbSwitch->setCurrentIndex(game < 0 ? GameLoto6 : game);
    CmbSwitch_Click();

    // 14-15.
    PrepareResultGrids();
    Random.seed(ClockSeed());
    CheckDrawsInBackground();
}

// Both grids' columns, each twips wide, the number columns centred.
void Form1::SetGridColumns(int twips)
{
    for (ResultGrid *grid : FGkekka) {
        grid->setColumnCount(GridColumnCount);
        for (int c = 0; c < GridColumnCount; ++c)
            grid->setColumnWidthTwips(c, twips);
        for (int c = FirstNumberColumn; c < GridColumnCount; ++c)
            grid->setColumnAlignmentCentered(c);
    }
}

// A position that would put the window wholly off every screen is ignored,
// so the window cannot get lost.
void Form1::RestorePosition(std::optional<float> leftTwips, std::optional<float> topTwips)
{
    if (!leftTwips || !topTwips)
        return;
    const QPoint position(TwipsToPixels(*leftTwips), TwipsToPixels(*topTwips));
    const QRect wanted(position, frameGeometry().size());
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen->geometry().intersects(wanted)) {
            move(position);
            return;
        }
    }
}

void Form1::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_judge)
        m_judge->close();
    // A clean end: whatever was unsaved was given up knowingly.
    DropRecoveryCopy();
    // Another program holds the data folder: its settings are its own.
    if (DataFolderShared)
        return;
    QVector<SettingText> settings{Entry(Setting::L6ml, CmbSwitch->currentText()),
                                  Entry(Setting::Kai, SldKosu->value()),
                                  Entry(Setting::NoWeb, NoWeb)};
    // A minimised window keeps the position of the previous run.
    if (!isMinimized()) {
        const QPoint position = frameGeometry().topLeft();
        settings << Entry(Setting::PosLeft, float(PixelsToTwips(position.x())))
                 << Entry(Setting::PosTop, float(PixelsToTwips(position.y())));
        // Written only once the user changed it, so a file of the design
        // size stays as it was.
        if (m_sizeStored || size() != m_sizeAtStart)
            settings << Entry(Setting::Width, int(PixelsToTwips(width())))
                     << Entry(Setting::Height, int(PixelsToTwips(height())));
    }
    if (WriteSettings(SettingsFilePath, settings, &m_settingsError))
        return;
    m_settingsError = QStringLiteral("設定を保存できませんでした。\n") + m_settingsError;
    // Closed by a signal, nobody may be there to answer; the program's end
    // status tells instead.
    if (!ClosingBySignal)
        m_dialogs.warn(this, m_settingsError, QStringLiteral("終了"));
}

void Form1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    KeepOnScreen(this);
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (!m_unloaded && !SettleSaveAreaChanges(QStringLiteral("終了"))) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void Form1::SelectGridRange(ResultGrid *grid, int row, int col, int rowSel, int colSel)
{
    grid->setCurrentRow(row);
    grid->setCurrentColumn(col);
    grid->setSelectionEndRow(rowSel);
    grid->setSelectionEndColumn(colSel);
}
