#pragma once

#include <QDialog>

class Form1;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

// Options: the single no-web switch. Built afresh each time it is shown.
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

    void Form_Load();
    void OKButton_Click();
    void CancelButton_Click();

private:
    void createControls();
    void fitCaptions();

    Form1 &m_main;
};
