#pragma once

#include <QDialog>

#include <vector>

class Form1;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Options: the no-web switch and where the newest draws are fetched from.
// Built afresh each time it is shown.
class DlgOption : public QDialog
{
    Q_OBJECT
public:
    explicit DlgOption(Form1 &main, QWidget *parent = nullptr);

    QLabel *LblVer = nullptr;
    QLabel *Label3 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QCheckBox *ChkNoWeb = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;
    // Where the program keeps its files; below the design's controls.
    QLabel *LblDataFolder = nullptr;
    // Up to two draw-file addresses per game: index 2 * game + n.
    QGroupBox *Frame2 = nullptr;
    std::vector<QLabel *> LblDrawUrl;
    std::vector<QLineEdit *> TxtDrawUrl;
    QCheckBox *ChkCheckDraws = nullptr;
    QLabel *LblUrlMessage = nullptr;

    void Form_Load();
    void OKButton_Click();
    void CancelButton_Click();

private:
    void createControls();
    void createDrawSources(int top);
    void fitCaptions();
    // Writes the addresses and the start-up check; false, with the reason
    // shown, when an address is not http or https or the file cannot be written.
    bool saveDrawSources();

    Form1 &m_main;
};
