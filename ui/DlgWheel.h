#pragma once

#include "core/WheelBuild.h"
#include "core/WheelGame.h"
#include "core/WheelPopular.h"
#include "core/WheelSpread.h"
#include "rules/GameRules.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <array>
#include <atomic>
#include <memory>
#include <optional>

class Form1;
class QCheckBox;
class QComboBox;
class QFutureWatcherBase;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

// Builds a wheel from chosen numbers: the fewest rows such that, if at
// least m of the drawn main numbers are among them, some row holds t. The
// search runs on worker threads; every wheel shown has passed the check of
// all cases. The main window is asked only through its public procedures.
class DlgWheel : public QDialog
{
    Q_OBJECT
public:
    DlgWheel(Form1 &main, QWidget *parent = nullptr);
    ~DlgWheel() override;

    static constexpr int NumberBoxes = HighestNumber;

    QComboBox *CmbGame = nullptr;
    std::array<QCheckBox *, NumberBoxes + 1> ChkNum{}; // 1..43
    QPushButton *CmdFromBoard = nullptr;
    QLabel *LblCount = nullptr;
    QSpinBox *SpnMatch = nullptr;
    QSpinBox *SpnIf = nullptr;
    QLabel *LblSentence = nullptr;
    QSpinBox *SpnSeconds = nullptr;
    QPushButton *CmdBuild = nullptr;
    QPushButton *CmdStop = nullptr;
    QProgressBar *PrgWheel = nullptr;
    QLabel *LblProgress = nullptr;
    QCheckBox *ChkPopular = nullptr;
    QPlainTextEdit *TxtWheel = nullptr;
    QTableWidget *GridWheel = nullptr;
    QPushButton *CmdToSave = nullptr;
    QLabel *LblHonesty = nullptr;
    QPushButton *CancelButton = nullptr;

    void CmbGame_Click();
    void ChkNum_Click();
    void SpnMatch_Change();
    void SpnIf_Change();
    void CmdFromBoard_Click();
    void CmdBuild_Click();
    void CmdStop_Click();
    void CmdToSave_Click();

    // The chosen numbers, ascending.
    std::vector<int> chosenNumbers() const;
    bool isWorking() const { return m_watcher != nullptr; }
    // The rows shown, in the chosen numbers.
    const std::vector<std::vector<int>> &rows() const { return m_rows; }

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    struct Outcome
    {
        WheelRequest Request;
        WheelResult Result;
        WheelSpread Spread;
        // With the popular order asked for: the relabelling made, or why none.
        std::optional<PopularWheel> Popular;
    };

    static void MakePopular(Outcome &outcome, const QVector<DrawRecord> &draws,
                            const std::atomic<bool> &abort);
    void createControls();
    void createNumberBoxes();
    void createResultControls();
    void connectHandlers();
    void updateChoice();
    void setWorking(bool working);
    void showProgress();
    void showOutcome(const Outcome &outcome);
    void showRows();
    void stopWork();
    WheelGame game() const;

    Form1 &m_main;
    std::vector<std::vector<int>> m_rows;
    // Shared with the worker: a stop keeps the best wheel so far; an abort
    // (the window closing) drops the prize spread too.
    std::shared_ptr<std::atomic<bool>> m_stop;
    std::shared_ptr<std::atomic<bool>> m_abort;
    std::shared_ptr<std::atomic<int>> m_bestRows;
    QFutureWatcherBase *m_watcher = nullptr;
    QTimer m_progressTimer;
    QElapsedTimer m_elapsed;
    double m_seconds = 0;
};
