#pragma once

#include "core/GameTable.h"

#include <QDialog>
#include <QString>

#include <array>

class Form1;
class HttpTransfer;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// Fetches every game's pattern file from the download folder, stores them over the
// local copies, reports each game's outcome and has the main window reload.
// Shown modally by Form1::CmdReadPattern_Click; built afresh for every showing.
class DlgDownload : public QDialog
{
    Q_OBJECT
public:
    explicit DlgDownload(Form1 &main, QWidget *parent = nullptr);
    ~DlgDownload() override;

    // --- Controls, named as the design names them ---
    QLabel *Label1 = nullptr;
    QLabel *Image1 = nullptr;
    QPlainTextEdit *Text1 = nullptr;
    QPlainTextEdit *Text2 = nullptr;
    QCheckBox *ChkShousai = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;
    HttpTransfer *Inet1 = nullptr;

    // --- Working values, alive while the dialog is open ---
    // MSG1 of each game's pattern file as it was when the dialog opened.
    std::array<QString, GameCount> PreviousMessage;
    int TimeoutSeconds = 30;
    // "NOTOSEN" of the settings file, carried unchanged from opening to closing.
    int NotosenValue = 0;

    // Pixel heights of the two text boxes.
    static constexpr int Text1FullHeight = 137;
    static constexpr int Text1ShortHeight = 73;
    static constexpr int Text2Height = 57;

    // --- Handlers ---
    void Form_Load();
    void Form_Unload();
    void ChkShousai_Click();
    void OKButton_Click();
    void CancelButton_Click();
    void Inet1_StateChanged(int state);
    void DownloadPatternFiles();
    // Why the last transfer failed, for the details.
    QString TransferFailure() const;

    // True from the start button until the run has ended.
    bool isRunning() const { return m_running; }

public slots:
    void done(int result) override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();

    Form1 &m_main;
    // Kept apart from the main window so that closing never depends on it.
    QString m_settingsFilePath;
    bool m_running = false;
    bool m_cursorOverridden = false;
    bool m_unloaded = false;
};
