#pragma once

#include "core/DrawImport.h"
#include "core/DrawSources.h"
#include "storage/DrawHistory.h"

#include <QDialog>

#include <array>
#include <atomic>
#include <functional>

class DrawHistoryModel;
class DrawUpdateRunner;
class Form1;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableView;

// The draw history of one game at a time, newest first, with the import of
// CSV files, their export, typing a draw in and deleting draws. Modal; the
// report of the last action stays readable in TxtReport.
class DlgHistory : public QDialog
{
    Q_OBJECT
public:
    explicit DlgHistory(Form1 &main, QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QComboBox *CmbGame = nullptr;
    QTableView *GridHistory = nullptr;
    QPushButton *CmdImport = nullptr;
    QPushButton *CmdExport = nullptr;
    QPushButton *CmdEnter = nullptr;
    QPushButton *CmdDelete = nullptr;
    QPushButton *CmdEdit = nullptr;
    QPushButton *CmdUpdate = nullptr;
    QPushButton *CmdStop = nullptr;
    QProgressBar *PrgUpdate = nullptr;
    QPlainTextEdit *TxtReport = nullptr;
    QPushButton *CancelButton = nullptr;

    void Form_Load();
    void CmbGame_Click();
    void CmdImport_Click();
    void CmdExport_Click();
    void CmdEnter_Click();
    void CmdDelete_Click();
    // Corrects the selected stored draw (also a double-click on it).
    void CmdEdit_Click();
    // Fetches the draw sources in the background, then stores what they agree on.
    void CmdUpdate_Click();
    // Stops the fetch, or the reading of a CSV file.
    void CmdStop_Click();
    void CancelButton_Click();

    // The game shown: the selected entry of CmbGame.
    int currentGame() const;
    // While a file is read, closing stops the read and keeps the window;
    // other background work cannot stop and is waited for.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createControls(QWidget *area);
    void createUpdateControls(QWidget *area);
    void showDraws();
    // Checks the history opens; offers a fresh one when the file is damaged.
    bool ensureHistory(bool create);
    // Leaves the history alone for the rest of the dialog, saying why.
    void goWithoutHistory(const QString &problem);
    void runInBackground(const std::function<void(std::atomic<int> &perMille)> &work,
                         bool stoppable);
    // Reads and checks the file off the window's thread, with the progress
    // bar and the stop button. False, with error set, when it cannot be read;
    // false with m_readStopped when the user stopped it.
    // game -1 lets the reader tell the game from the file.
    bool readInBackground(const QString &path, DrawFile &file, QString &error, int game = -1);
    // The game the user takes the file for, offered among every game; -1 for Cancel.
    int chooseImportGame(const QString &fileName, const DrawFile &file);
    // Runs work on the draw history off the window's thread; progress moves the bar.
    void withHistoryInBackground(
        const std::function<void(DrawHistory &history, const DrawHistory::ReadProgress &progress)>
            &work);
    // Stores the draws in one transaction off the window's thread; false, said, when not.
    bool storeInBackground(const QVector<DrawRecord> &draws);
    // Compares, asks about conflicts, stores in one transaction and reports.
    void storeImport(DrawImport &import);
    void report(const QString &text);
    void failed(const QString &text);
    void setUpdating(bool updating);
    void setReading(bool reading, bool stoppable);
    void updateFetched(const QVector<SourceFetch> &fetched, bool cancelled);

    Form1 &m_main;
    DrawUpdateRunner *m_updater = nullptr;
    DrawHistoryModel *m_model = nullptr;
    bool m_writable = true;
    bool m_reading = false;
    std::atomic<bool> m_readStopped{false};
    QList<bool> m_enabledBefore;
};
