#pragma once

#include "core/GameTable.h"
#include "core/Generator.h"
#include "core/GridSaveFile.h"
#include "core/PatternTables.h"
#include "core/RandomSource.h"
#include "core/WebLinks.h"
#include "core/WinningNumbers.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <atomic>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

class BoardSlider;
class DrawHistory;
class DrawUpdateRunner;
class DlgJudge;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QAction;
class QPushButton;
class QTimer;
class ResultGrid;
class UserDialogs;

// The main window. It owns all program state; the dialogs reach it through
// its public procedures and controls.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    // dataFolder holds zanbo.ini and the pattern files; it ends with the path separator.
    Form1(const QString &dataFolder, UserDialogs &dialogs, QWidget *parent = nullptr);
    ~Form1() override;

    // --- State (filled at start-up) ---
    GameTableType GameTable;
    QString ProgramFolder; // the data folder the window was given
    QString SettingsFilePath;
    LinkTable Links; // HomePageUrl, DownloadBaseUrl
    int NoWeb = 0;
    std::array<int, BoardSlots> CustomSettings{}; // 1..43
    PatternTables Patterns;
    Combination SelectedNumbers{};
    RandomSource Random;

    UserDialogs &dialogs() const { return m_dialogs; }
    // The game index: the selected entry of CmbSwitch.
    int currentGame() const;
    // Shows the game's standard pattern entry and sets its sliders to weights
    // (index = number), as the user would by hand.
    void SetGameWeights(int game, const std::array<int, BoardSlots> &weights);

    // --- Controls, named as the design names them ---
    QGroupBox *Frame1 = nullptr;                     // パターン制御盤
    QGroupBox *Frame3 = nullptr;                     // 予測エリア
    QGroupBox *Frame2 = nullptr;                     // 結果保存エリア
    std::array<BoardSlider *, BoardSlots> Slider1{}; // 1..43
    std::array<QLabel *, BoardSlots> Label1{};       // 1..43
    std::array<QLabel *, 2> Label2{};
    QPushButton *CmdCntReset = nullptr;
    QComboBox *CmbSwitch = nullptr;
    QLabel *Label4 = nullptr;
    QComboBox *CmbPattern = nullptr;
    QPushButton *CmdReadPattern = nullptr;
    QPlainTextEdit *TxtMessage = nullptr;
    std::array<ResultGrid *, 2> FGkekka{};
    QLabel *Label5 = nullptr;
    std::array<QPushButton *, 2> CmdCopy{};
    BoardSlider *SldKosu = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *LblKosu = nullptr;
    QPushButton *CmdRun = nullptr;
    QLabel *Image1 = nullptr;
    QPushButton *CmdOption = nullptr;
    QPushButton *CmdHP = nullptr;
    QPushButton *CmdHelp = nullptr;
    QPushButton *CmdHistory = nullptr;
    QPushButton *CmdJudge = nullptr;
    QPushButton *CmdSave = nullptr;
    QPushButton *CmdLoad = nullptr;
    QPushButton *CmdClear = nullptr;
    QPushButton *CmdInputRow = nullptr;
    QAction *ActExportCsv = nullptr; // in the save grid's context menu
    QPushButton *CmdAnalysis = nullptr;
    QPushButton *CmdWheel = nullptr;

    // --- Start-up and shutdown (Form1.cpp) ---
    void Form_Load();
    void Form_Unload();
    // Another running program holds the data folder: this one writes
    // neither the settings nor the draw history.
    bool DataFolderShared = false;
    // The close comes from a termination signal: failures are not asked
    // about in a dialog.
    bool ClosingBySignal = false;
    // Why the settings were not kept at the close; empty when they were.
    const QString &SettingsError() const { return m_settingsError; }

    // --- Board, patterns, game switch, run (Form1Board.cpp) ---
    void CheckPatternFile();
    void CmbSwitch_Click();
    void Slider1_Change(int index);
    void Slider1_Scroll(int index);
    void SldKosu_Change();
    void SldKosu_Scroll();
    void CmdCntReset_Click();
    void CmbPattern_Click();
    void ApplyPattern(const QString &digits, int game);
    void CmdRun_Click();
    void PrepareResultGrids();
    void WriteCombinationRow(int row);
    static void SelectGridRange(ResultGrid *grid, int row, int col, int rowSel, int colSel);

    // --- Result grids and save area (Form1SaveArea.cpp) ---
    void FGkekka_Click(int index);
    // The selected rows sorted by the selected columns, as a header click does.
    void SortGrid(int index);
    void SetSaveAreaButtons(bool enabled);
    // Leaves FGkekka(index) with nothing selected and its move button
    // disabled, so only rows the user selects again can move.
    void UnselectGrid(int index);
    // Gives grid index its seventh number column while it holds a LOTO7 row
    // (the prediction grid also while LOTO7 is the game), and takes it away
    // otherwise, so a grid without one looks as it always did.
    void FitGridColumns(int index);
    void SetGridNumberColumns(int index, int numberColumns);
    void CmdCopy_Click(int index);
    void CmdSave_Click();
    void CmdLoad_Click();
    void CmdClear_Click();
    // The most rows a load reads, and the most memory the save grid's cells
    // may take once loaded (both grids count while the file is read); what
    // lies beyond is left with a warning.
    qint64 LoadRowLimit = MaxSaveFileRows;
    qint64 LoadByteLimit = MaxLoadedGridBytes;

    // --- Recovery copy of the save area (Form1Recovery.cpp) ---
    QString RecoveryFilePath() const;
    // At start-up: offers the rows a crash left unsaved. No keeps the copy
    // under a dated name.
    void OfferRecovery();
    // How long after a change the recovery copy is written, at most.
    int RecoveryIntervalMs = 5000;
    // --- The player's own tickets, CSV (Form1Tickets.cpp) ---
    void CmdInputRow_Click();
    // Appends the ticket at the bottom of the save area; false, after
    // saying why, when the numbers are no ticket of the game.
    bool AppendTicketRow(int game, const QString &numbers, int draws = 1);
    void ExportSaveAreaCsv();

    // --- Web links, options, judgement (Form1Web.cpp) ---
    void LoadWebSettings();
    void ChangeWebButton(int value);
    void CmdHelp_Click();
    void CmdHP_Click();
    void CmdOption_Click();
    void CmdJudge_Click();
    DlgJudge *judgeDialog() const; // the open judgement dialog, if any

    // --- Download (Form1Download.cpp) ---
    void CmdReadPattern_Click();

    // --- Draw history (Form1History.cpp) ---
    void CmdHistory_Click();
    // The history file lies beside the settings file.
    QString HistoryFilePath() const;
    // The store, opened only when something is read or stored.
    DrawHistory &History();
    // The draw a game is judged against: the pattern file's or the
    // history's, whichever is newer.
    std::optional<WinningNumbers> LatestDraw(int game, bool *fromHistory = nullptr);

    // --- Draw sources checked at start-up (Form1Draws.cpp) ---
    // When the option is on, fetches the configured sources in the
    // background; new draws are stored and told in TxtMessage, without a
    // dialog. Conflicts with stored draws are left for the history dialog.
    void CheckDrawsInBackground();

    // --- Analysis of the stored draws (Form1Analysis.cpp) ---
    void CmdAnalysis_Click();

    // --- Wheels (Form1Wheel.cpp) ---
    void CmdWheel_Click();
    // The numbers of the current game whose slider sits on the "+" side.
    std::vector<int> PlusSideNumbers() const;
    // Appends rows, each a combination in ascending order, to the save area
    // as a move does, so they count as unsaved changes. False, and nothing
    // appended, when a row has more numbers than the grid has columns.
    bool AppendRowsToSaveArea(const std::vector<std::vector<int>> &rows);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void createControls();
    void createBoard();
    void SetGridColumns(int twips);
    void createBoardSlider(int i);
    void createPredictionArea();
    void createRunControls();
    void createPredictionButtons();
    void createSaveArea();
    void connectHandlers();
    void RestorePosition(std::optional<float> leftTwips, std::optional<float> topTwips);
    // The window's size by design, which its controls are placed for.
    static QSize DesignSize();
    void stretchControls();
    void OpenWebPage(const QUrl &url);
    bool WriteSaveArea();
    // Offers to save a changed save area; false when the user cancels or the
    // save does not happen.
    bool SettleSaveAreaChanges(const QString &title);
    // Rows read from a save file take the save grid's place, as saved.
    void PutLoadedSaveArea(GridCellStore &&cells);
    // Marks the save area changed and has its recovery copy written.
    void SaveAreaChanged();
    void WriteRecoveryCopy();
    void CopyRecoverySlice();
    void JoinRecoveryWriter();
    // The rows are saved, replaced or given up: the copy goes.
    void DropRecoveryCopy();
    bool RestoreRecoveryCopy(const QString &path);

    UserDialogs &m_dialogs;
    QPointer<DlgJudge> m_judge;
    std::unique_ptr<DrawHistory> m_history;
    DrawUpdateRunner *m_drawCheck = nullptr;
    bool m_unloaded = false;
    QString m_settingsError;
    QWidget *m_content = nullptr; // what the window's scroll area shows
    QSize m_sizeAtStart;
    bool m_sizeStored = false;
    // Rows moved in or out or sorted since the last save or load.
    bool m_saveAreaChanged = false;
    QTimer *m_recoveryTimer = nullptr;
    bool m_recoveryPending = false;
    std::thread m_recoveryWriter;
    std::shared_ptr<std::atomic<bool>> m_recoveryWriting; // set when the write is done
    // The copy being taken, and the change count it started from.
    std::shared_ptr<GridCellStore> m_recoverySnapshot;
    quint64 m_saveAreaGeneration = 0;
    quint64 m_snapshotGeneration = 0;
    // The game the window was last brought into line with.
    int m_shownGame = -1;

public:
    // The judgement dialog sets itself here while it is open.
    void setJudgeDialog(DlgJudge *dialog);
};
