#pragma once

#include "core/GameTable.h"

#include <QDialog>
#include <QRgb>
#include <QStringList>

#include <vector>

#include <array>

class Form1;
class MessageLineBox;
class QGroupBox;
class QLabel;
class QPushButton;

// Judgement: shows both games' latest draws and judges every row of the
// main window's save grid against the draw of its own game. Not modal.
class DlgJudge : public QDialog
{
    Q_OBJECT
public:
    explicit DlgJudge(Form1 &main, QWidget *parent = nullptr);

    // The marks a judgement leaves on the cells that equal a drawn number.
    static constexpr QRgb MainHitColor = 0xFFFF0000u;  // red
    static constexpr QRgb BonusHitColor = 0xFFFFFF00u; // yellow

    QGroupBox *Frame1 = nullptr;
    std::array<QLabel *, GameCount> Label1{};
    std::array<QLabel *, GameCount> LblJ{};
    QLabel *Label2 = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;
    QPushButton *CmdDownload = nullptr;
    // Selects the next winning row of the last judgement in the save grid.
    QPushButton *CmdWinRow = nullptr;
    MessageLineBox *Text1 = nullptr;

    void Form_Load();
    void ShowWinningNumbers();
    void OKButton_Click();
    void CmdDownload_Click();
    void CancelButton_Click();
    void CmdWinRow_Click();

    // Shown in LblJ when a game's draw cannot be read.
    static QString NoDrawText();

private:
    void createControls();
    void placeBesideMain();
    // Judges every row of the save grid and returns the prize lines. Each
    // hit cell is coloured (red for a main number, yellow for the bonus) and
    // set bold; the grid's current cell is left on the last cell marked.
    QStringList JudgeSaveGrid();

    Form1 &m_main;
    std::vector<int> m_winningRows;
    size_t m_nextWin = 0;
};
