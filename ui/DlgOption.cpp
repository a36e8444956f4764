#include "ui/DlgOption.h"

#include "core/GameKeys.h"
#include "core/ProgramVersion.h"
#include "storage/Settings.h"
#include "ui/Form1.h"
#include "ui/Twips.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

#include <algorithm>

namespace {

// The design sizes fit the original fonts; where this system's fonts are
// larger, a caption grows to the right and down instead of being cut off.
void GrowToFit(QWidget *widget)
{
    const QSize hint = widget->sizeHint();
    widget->resize(std::max(widget->width(), hint.width()),
                   std::max(widget->height(), hint.height()));
}

// Twips: each address row, and the height of the sources' frame around them.
constexpr int DrawUrlRowTwips = 360;
constexpr int DrawSourcesTop = 3120;
constexpr int DrawSlotCount = 2 * int(GameKeys.size());
constexpr int DrawSourcesFrameTwips = 300 + DrawUrlRowTwips * DrawSlotCount + 420;

const TextSetting &DrawSourceSetting(int index)
{
    return GameKeys[size_t(index / 2)].DrawSources[size_t(index % 2)];
}

} // namespace

DlgOption::DlgOption(Form1 &main, QWidget *parent)
    : QDialog(parent)
    , m_main(main)
{
    setObjectName(QStringLiteral("DlgOption"));
    setWindowTitle(QStringLiteral("オプション"));
    // Fixed border, a close box and nothing else.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(TwipsToPixels(6030), TwipsToPixels(DrawSourcesTop + DrawSourcesFrameTwips + 480));
    createControls();

    const QRect owner = m_main.frameGeometry();
    move(owner.center() - QPoint(width() / 2, height() / 2));

    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
    Form_Load();
}

void DlgOption::createControls()
{
    LblVer = new QLabel(QStringLiteral("Zanbo Ver."), this);
    LblVer->setObjectName(QStringLiteral("LblVer"));
    QFont versionFont = LblVer->font();
    versionFont.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")});
    versionFont.setPointSizeF(11.25);
    versionFont.setBold(true);
    LblVer->setFont(versionFont);
    QPalette versionPalette = LblVer->palette();
    versionPalette.setColor(QPalette::WindowText, QColor(0, 128, 128));
    LblVer->setPalette(versionPalette);
    PlaceTwips(LblVer, 240, 240, 1545, 225);

    Label3 = new QLabel(QStringLiteral("by quindle"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    PlaceTwips(Label3, 4635, 240, 1320, 180);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    PlaceTwips(Frame1, 120, 600, 4335, 975);

    ChkNoWeb = new QCheckBox(QStringLiteral("WEBへの接続を行わないようにする"), Frame1);
    ChkNoWeb->setObjectName(QStringLiteral("ChkNoWeb"));
    PlaceTwips(ChkNoWeb, 120, 240, 3735, 255);

    Label2 = new QLabel(QStringLiteral("（WEB接続のボタンを無効にします）"), Frame1);
    Label2->setObjectName(QStringLiteral("Label2"));
    PlaceTwips(Label2, 480, 600, 2685, 180);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    PlaceTwips(OKButton, 4680, 720, 1215, 375);

    CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    PlaceTwips(CancelButton, 4680, 1200, 1215, 375);

    LblDataFolder = new QLabel(this);
    LblDataFolder->setObjectName(QStringLiteral("LblDataFolder"));
    LblDataFolder->setTextFormat(Qt::PlainText);
    LblDataFolder->setWordWrap(true);
    LblDataFolder->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LblDataFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    PlaceTwips(LblDataFolder, 240, 1800, 5670, 1215);
    createDrawSources(DrawSourcesTop);
}

void DlgOption::createDrawSources(int top)
{
    Frame2 = new QGroupBox(QStringLiteral("最新の当選番号の取得先（http または https の CSV）"),
                           this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    PlaceTwips(Frame2, 120, top, 5790, DrawSourcesFrameTwips);
    const GameTableType games = MakeGameTable(QString());
    for (int i = 0; i < DrawSlotCount; ++i) {
        const int y = 300 + DrawUrlRowTwips * i;
        auto *label = new QLabel(QStringLiteral("%1 %2")
                                     .arg(games[size_t(GameKeys[size_t(i / 2)].Game)].GameName)
                                     .arg(i % 2 + 1),
                                 Frame2);
        label->setObjectName(QStringLiteral("LblDrawUrl_%1").arg(i));
        PlaceTwips(label, 120, y + 30, 1200, 255);
        auto *edit = new QLineEdit(Frame2);
        edit->setObjectName(QStringLiteral("TxtDrawUrl_%1").arg(i));
        PlaceTwips(edit, 1320, y, 4350, 300);
        LblDrawUrl.push_back(label);
        TxtDrawUrl.push_back(edit);
    }
    ChkCheckDraws = new QCheckBox(
        QStringLiteral("起動時に新しい当選番号を確認する（画面は出しません）"), Frame2);
    ChkCheckDraws->setObjectName(QStringLiteral("ChkCheckDraws"));
    PlaceTwips(ChkCheckDraws, 120, 300 + DrawUrlRowTwips * DrawSlotCount + 60, 5550, 255);

    LblUrlMessage = new QLabel(this);
    LblUrlMessage->setObjectName(QStringLiteral("LblUrlMessage"));
    QPalette palette = LblUrlMessage->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    LblUrlMessage->setPalette(palette);
    PlaceTwips(LblUrlMessage, 240, top + DrawSourcesFrameTwips + 120, 5670, 255);
}

void DlgOption::fitCaptions()
{
    for (QWidget *widget : {static_cast<QWidget *>(LblVer), static_cast<QWidget *>(Label3),
                            static_cast<QWidget *>(ChkNoWeb), static_cast<QWidget *>(Label2)})
        GrowToFit(widget);
}

void DlgOption::Form_Load()
{
    LblVer->setText(ProgramVersionText());
    LblDataFolder->setText(QStringLiteral("設定とパターンファイルの保存先：\n")
                           + QDir::toNativeSeparators(m_main.ProgramFolder));
    fitCaptions();
    ChkNoWeb->setChecked(m_main.NoWeb == 1);
    const SettingsSnapshot settings(m_main.SettingsFilePath);
    for (int i = 0; i < DrawSlotCount; ++i)
        TxtDrawUrl[size_t(i)]->setText(settings.value(DrawSourceSetting(i)));
    ChkCheckDraws->setChecked(settings.value(Setting::CheckDrawsAtStart) == 1);
}

bool DlgOption::saveDrawSources()
{
    const SettingsSnapshot settings(m_main.SettingsFilePath);
    bool written = true;
    for (int i = 0; i < DrawSlotCount; ++i) {
        const QString text = TxtDrawUrl[size_t(i)]->text().trimmed();
        const QUrl url(text);
        const QString scheme = url.scheme().toLower();
        if (!text.isEmpty()
            && (!url.isValid() || url.host().isEmpty()
                || (scheme != QStringLiteral("http") && scheme != QStringLiteral("https")))) {
            LblUrlMessage->setText(
                QStringLiteral("%1: アドレスは http:// か https:// で始めてください。")
                    .arg(LblDrawUrl[size_t(i)]->text()));
            TxtDrawUrl[size_t(i)]->setFocus();
            return false;
        }
        // Only what changed is written: the settings file is rewritten whole.
        if (text != settings.value(DrawSourceSetting(i)))
            written = written && WriteSetting(m_main.SettingsFilePath, DrawSourceSetting(i), text);
    }
    const int check = ChkCheckDraws->isChecked() ? 1 : 0;
    if (check != settings.value(Setting::CheckDrawsAtStart))
        written = written
                  && WriteSetting(m_main.SettingsFilePath, Setting::CheckDrawsAtStart, check);
    if (!written)
        LblUrlMessage->setText(QStringLiteral("設定ファイルに書き込めませんでした。"));
    return written;
}

void DlgOption::OKButton_Click()
{
    if (!saveDrawSources())
        return;
    m_main.NoWeb = ChkNoWeb->isChecked() ? 1 : 0;
    m_main.ChangeWebButton(m_main.NoWeb);
    accept();
}

void DlgOption::CancelButton_Click()
{
    reject();
}
