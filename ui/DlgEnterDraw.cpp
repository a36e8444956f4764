#include "ui/DlgEnterDraw.h"

#include "core/DrawFile.h"
#include "core/GameTable.h"
#include "ui/ControlFactory.h"
#include "ui/Twips.h"

#include <QComboBox>
#include <QDate>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include <algorithm>

namespace {

void AddLabel(QWidget *parent, const QString &name, const QString &text, int left, int top)
{
    PlaceTwips(MakeLabel(parent, name, text), left, top, 1080, 255);
}

QLineEdit *AddEdit(QWidget *parent, const QString &name, int left, int top, int width)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    PlaceTwips(box, left, top, width, 300);
    return box;
}

// Room below the numbers for the prizes of the game with the most tiers.
constexpr int PrizeRows = MaxTiers + 2;

} // namespace

DlgEnterDraw::DlgEnterDraw(int game, int nextDrawNumber, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DlgEnterDraw"));
    setWindowTitle(QStringLiteral("当選番号の入力"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(TwipsToPixels(5400), TwipsToPixels(2520 + 330 * PrizeRows));

    AddLabel(this, QStringLiteral("Label1"), QStringLiteral("ゲーム"), 120, 150);
    CmbGame = new QComboBox(this);
    CmbGame->setObjectName(QStringLiteral("CmbGame"));
    for (int g = 0; g < GameCount; ++g)
        CmbGame->addItem(GameInfoOf(g).GameName);
    CmbGame->setCurrentIndex(std::clamp(game, 0, GameCount - 1));
    PlaceTwips(CmbGame, 1200, 120, 1500, 300);

    AddLabel(this, QStringLiteral("Label2"), QStringLiteral("回"), 120, 540);
    TxtDrawNumber = AddEdit(this, QStringLiteral("TxtDrawNumber"), 1200, 510, 900);
    TxtDrawNumber->setText(QString::number(nextDrawNumber));
    AddLabel(this, QStringLiteral("Label3"), QStringLiteral("抽選日"), 2280, 540);
    TxtDate = AddEdit(this, QStringLiteral("TxtDate"), 3000, 510, 1500);
    TxtDate->setText(QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")));
    TxtDate->setToolTip(QStringLiteral("2024/01/04 の形で入力してください。"));

    AddLabel(this, QStringLiteral("Label4"), QStringLiteral("本数字"), 120, 930);
    for (int i = 0; i < int(TxtNumber.size()); ++i)
        TxtNumber[size_t(i)] = AddEdit(this, QStringLiteral("TxtNumber_%1").arg(i), 1200 + 540 * i,
                                       900, 480);
    AddLabel(this, QStringLiteral("Label5"), QStringLiteral("ボーナス"), 120, 1320);
    TxtBonus = AddEdit(this, QStringLiteral("TxtBonus"), 1200, 1290, 480);
    TxtBonus2 = AddEdit(this, QStringLiteral("TxtBonus2"), 1740, 1290, 480);
    createPrizeBoxes();
    createButtons();

    connect(CmbGame, &QComboBox::currentIndexChanged, this, [this] { CmbGame_Click(); });
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    CmbGame_Click();
}

void DlgEnterDraw::createPrizeBoxes()
{
    AddLabel(this, QStringLiteral("Label6"), QStringLiteral("口数"), 1200, 1680);
    AddLabel(this, QStringLiteral("Label7"), QStringLiteral("1口の賞金（円）"), 2760, 1680);
    for (int t = 0; t < MaxTiers; ++t) {
        const int top = 1680 + 330 * (t + 1);
        AddLabel(this, QStringLiteral("LblTier_%1").arg(t), QStringLiteral("%1等").arg(t + 1), 120,
                 top + 30);
        TxtWinners[size_t(t)] = AddEdit(this, QStringLiteral("TxtWinners_%1").arg(t), 1200, top,
                                        1440);
        TxtPrize[size_t(t)] = AddEdit(this, QStringLiteral("TxtPrize_%1").arg(t), 2760, top, 2040);
    }
    AddLabel(this, QStringLiteral("Label8"), QStringLiteral("キャリー"), 120,
             1710 + 330 * (MaxTiers + 1));
    TxtCarryOver = AddEdit(this, QStringLiteral("TxtCarryOver"), 2760, 1680 + 330 * (MaxTiers + 1),
                           2040);
}

void DlgEnterDraw::createButtons()
{
    const int below = 330 * PrizeRows;
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
