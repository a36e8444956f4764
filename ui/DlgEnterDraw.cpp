#include "ui/DlgEnterDraw.h"

#include "core/DrawFile.h"
#include "core/GameTable.h"
#include "ui/ControlFactory.h"
#include "ui/Twips.h"

#include <QComboBox>
#include <QLineEdit>

#include <algorithm>

DlgEnterDraw::DlgEnterDraw(int game, int nextDrawNumber, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DlgEnterDraw"));
    setWindowTitle(QStringLiteral("当選番号の入力"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(TwipsToPixels(5400), TwipsToPixels(2520));

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

    LblMessage = MakeLabel(this, QStringLiteral("LblMessage"), QString());
    QPalette palette = LblMessage->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    LblMessage->setPalette(palette);
    PlaceTwips(LblMessage, 120, 1680, 5160, 255);

    OKButton = MakeButton(this, QStringLiteral("OKButton"), QStringLiteral("登録(&S)"));
    OKButton->setDefault(true);
    PlaceTwips(OKButton, 2760, 2040, 1215, 375);
    CancelButton = MakeButton(this, QStringLiteral("CancelButton"), QStringLiteral("ｷｬﾝｾﾙ"));
    CancelButton->setAutoDefault(false);
    PlaceTwips(CancelButton, 4080, 2040, 1215, 375);

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

    DrawFields fields;
    fields.DrawNumber = drawNumber;
    fields.Date = date;
    for (size_t i = 0; i < mains.size(); ++i)
        fields.Mains[i] = mains[i];
    fields.Bonus = bonus;
    QString reason;
    const std::optional<DrawRecord> draw = CheckDraw(fields, game, &reason);
    if (!draw) {
        LblMessage->setText(reason + QStringLiteral("。"));
        return;
    }
    m_draw = *draw;
    m_draw.Source = QStringLiteral("manual");
    m_draw.StoredAt = QDateTime::currentDateTimeUtc();
    accept();
}
