#pragma once

#include "core/GameTable.h"
#include "rules/DrawRecord.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Typing in the draw just announced: the same checks as an imported row.
class DlgEnterDraw : public QDialog
{
    Q_OBJECT
public:
    DlgEnterDraw(int game, int nextDrawNumber, QWidget *parent = nullptr);

    QComboBox *CmbGame = nullptr;
    QLineEdit *TxtDrawNumber = nullptr;
    QLineEdit *TxtDate = nullptr;
    std::array<QLineEdit *, MaxPickCount> TxtNumber{};
    QLineEdit *TxtBonus = nullptr;
    QLineEdit *TxtBonus2 = nullptr; // the second bonus number, for a game that has one
    // Per tier: winners and yen a winner; the carry-over. Empty: unknown.
    std::array<QLineEdit *, MaxTiers> TxtWinners{};
    std::array<QLineEdit *, MaxTiers> TxtPrize{};
    QLineEdit *TxtCarryOver = nullptr;
    QLabel *LblMessage = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;

    void CmbGame_Click();
    void OKButton_Click();
    // Fills the form with a stored draw to correct; its game and number stay.
    void setDraw(const DrawRecord &draw);

    // The checked draw once OK was accepted.
    const DrawRecord &draw() const { return m_draw; }

private:
    void createPrizeBoxes();
    void createButtons();

    DrawRecord m_draw;
};
