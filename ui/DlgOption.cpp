#include "ui/DlgOption.h"

#include "core/ProgramVersion.h"
#include "ui/Form1.h"
#include "ui/Twips.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

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
    setFixedSize(TwipsToPixels(6030), TwipsToPixels(3195));
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
}

void DlgOption::OKButton_Click()
{
    m_main.NoWeb = ChkNoWeb->isChecked() ? 1 : 0;
    m_main.ChangeWebButton(m_main.NoWeb);
    accept();
}

void DlgOption::CancelButton_Click()
{
    reject();
}
