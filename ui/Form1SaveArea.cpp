#include "ui/Form1.h"

#include "core/GridSaveFile.h"
#include "core/Judgement.h"
#include "core/TicketRows.h"
#include "storage/FileIo.h"
#include "storage/SaveFile.h"
#include "ui/FileFolders.h"
#include "ui/ResultGrid.h"
#include "ui/ResultGridModel.h"
#include "ui/UserDialogs.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

FileDialogOptions SaveFileDialogOptions(const QString &programFolder, bool forSaving)
{
    FileDialogOptions options;
    options.filter = QStringLiteral("ｻﾞﾝﾎﾞ(*.loto)|*.loto|ﾃｷｽﾄ(*.txt)|*.txt|全て|*.*");
    options.defaultExtension = QStringLiteral("*.loto");
    options.initialFolder = StartFolder(QStringLiteral("save"), programFolder);
    options.confirmReplace = forSaving;
    return options;
}

// A row holds a combination when a number column has text; a row without
// numbers is never moved.
bool HoldsNumbers(const ResultGrid *grid, int row)
{
    const int last = GridLayoutOf(grid->columnCount()).lastNumberColumn();
    for (int c = FirstNumberColumn; c <= last; ++c) {
        if (!grid->isEmptyCell(row, c))
            return true;
    }
    return false;
}

// The progress of a long save or load. It shows only when the work takes
// more than half a second; from then on the windows repaint while it runs.
class FileProgress
{
public:
    FileProgress(QWidget *parent, const QString &label, qint64 total, bool cancellable)
        : m_dialog(label, QString(), 0, Steps, parent)
        , m_total(std::max<qint64>(total, 1))
    {
        m_dialog.setWindowTitle(parent->windowTitle());
        // Nothing else may change the grids meanwhile.
        m_dialog.setWindowModality(Qt::ApplicationModal);
        m_dialog.setMinimumDuration(500);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        if (cancellable)
            m_dialog.setCancelButtonText(QStringLiteral("キャンセル"));
        else
            m_dialog.setCancelButton(nullptr);
        m_dialog.setValue(0);
    }

    // False once the user has cancelled.
    bool update(qint64 done)
    {
        const int step = int(std::clamp<qint64>(done * Steps / m_total, 0, Steps - 1));
        if (step != m_dialog.value())
            m_dialog.setValue(step);
        return !m_dialog.wasCanceled();
    }

private:
    static constexpr int Steps = 100;
    QProgressDialog m_dialog;
    qint64 m_total;
};

// The messages of a load, each warning naming the file.
class LoadWarnings
{
public:
    LoadWarnings(UserDialogs &dialogs, QWidget *parent, const QString &fileName)
        : m_dialogs(dialogs)
        , m_parent(parent)
        , m_shownName(QDir::toNativeSeparators(fileName))
    {}

    void unreadable() const
    {
        m_dialogs.warn(m_parent,
                       QStringLiteral("ファイル「%1」を読み込めませんでした。").arg(m_shownName),
                       QStringLiteral("読込"));
    }
    void noSaveData() const
    {
        m_dialogs.warn(
            m_parent, QStringLiteral("ファイル「%1」には保存データがありません。").arg(m_shownName),
            QStringLiteral("読込"));
    }
    // A file that is not a save file of ours, read only when the user says so.
    bool otherFileConfirmed() const
    {
        return m_dialogs.confirm(
            m_parent,
            QStringLiteral(
                "拡張子が .loto ではありません。このファイルで間違いなければOKを押してください"),
            QStringLiteral("中止"), QMessageBox::Warning);
    }
    // Saving the grid again would cut the file short: say so.
    void tooLarge(qint64 rows) const
    {
        m_dialogs.warn(
            m_parent,
            QStringLiteral("ファイル「%1」は大きすぎるため、先頭の%2行だけを読み込みました。")
                .arg(m_shownName, QLocale(QLocale::Japanese).toString(rows)),
            QStringLiteral("読込"));
    }

private:
    UserDialogs &m_dialogs;
    QWidget *m_parent;
    QString m_shownName;
};

SaveFileRowsRead ReadRowsShowingProgress(QWidget *parent, SaveFileReader &reader,
                                         const SaveFileHead &head, qint64 fileSize,
                                         GridCellStore &cells, qint64 rowLimit, qint64 byteBudget)
{
    FileProgress progress(parent, QStringLiteral("読み込んでいます…"), fileSize, true);
    return ReadSaveFileRows(
        reader, head, fileSize, cells, rowLimit,
        [&progress](qint64 bytes) { return progress.update(bytes); }, byteBudget);
}

} // namespace

void Form1::FGkekka_Click(int index)
{
    ResultGrid *grid = FGkekka[index];
    const int other = 1 - index;
    const int n = grid->rowCount();
    if (n <= 1)
        return;
    const int a = grid->currentRow();
    const int b = grid->selectionEndRow();
    // A header cell sorts its column; over a lone data row it selects it.
    if (grid->wasHeaderClick() && n > 2) {
        SortGrid(index);
        return;
    }
    const bool picked = grid->hasPickedRows();
    // Nothing selected, or the keyboard's focus on a header cell: no row to move.
    if (!grid->hasSelection() || (!picked && (a < 1 || a >= n || b < 1 || b >= n))) {
        CmdCopy[index]->setEnabled(false);
        return;
    }

    // A block widens to whole rows; rows picked by Ctrl+click already are.
    if (!picked)
        SelectGridRange(grid, a, 0, b, grid->columnCount() - 1);
    const std::vector<int> rows = grid->selectedRows();
    const bool movable = std::any_of(rows.begin(), rows.end(),
                                     [grid](int r) { return HoldsNumbers(grid, r); });
    CmdCopy[index]->setEnabled(movable);
    if (movable)
        CmdCopy[other]->setEnabled(false);
}

void Form1::SortGrid(int index)
{
    FGkekka[index]->sortSelection();
    if (index == 1)
        m_saveAreaChanged = true;
    CmdCopy[index]->setEnabled(false);
    CmdCopy[1 - index]->setEnabled(false);
}

void Form1::SetSaveAreaButtons(bool enabled)
{
    CmdSave->setEnabled(enabled);
    CmdJudge->setEnabled(enabled);
}

void Form1::UnselectGrid(int index)
{
    FGkekka[index]->unselect();
    CmdCopy[index]->setEnabled(false);
}

namespace {

bool HoldsLoto7Row(const ResultGrid *grid)
{
    const GridCellStore &cells = grid->gridModel()->store();
    if (GridLayoutOf(cells.columnCount()).NumberColumns <= LastNumberColumn)
        return false;
    for (int r = 1; r < cells.rowCount(); ++r) {
        if (RowGame(cells, r) == GameLoto7)
            return true;
    }
    return false;
}

} // namespace

void Form1::SetGridNumberColumns(int index, int numberColumns)
{
    ResultGrid *grid = FGkekka[index];
    const int now = GridLayoutOf(grid->columnCount()).NumberColumns;
    if (numberColumns > now) {
        grid->insertColumn(SeventhNumberColumn, grid->columnWidthTwips(FirstNumberColumn), true);
        grid->setText(0, SeventhNumberColumn, QStringLiteral("#7"));
    } else if (numberColumns < now) {
        grid->removeColumn(SeventhNumberColumn);
    }
}

void Form1::FitGridColumns(int index)
{
    const bool wide = HoldsLoto7Row(FGkekka[index]) || (index == 0 && currentGame() == GameLoto7);
    SetGridNumberColumns(index, wide ? MaxPickCount : int(LastNumberColumn));
}

void Form1::CmdCopy_Click(int index)
{
    ResultGrid *source = FGkekka[index];
    ResultGrid *target = FGkekka[1 - index];
    // Rows move cell for cell between grids of one layout.
    const int numberColumns = std::max(GridLayoutOf(source->columnCount()).NumberColumns,
                                       GridLayoutOf(target->columnCount()).NumberColumns);
    SetGridNumberColumns(index, numberColumns);
    SetGridNumberColumns(1 - index, numberColumns);

    const int sourceRows = source->rowCount();
    // Only rows the user selected move; the header row never does.
    if (sourceRows <= 1 || !source->hasSelection())
        return;

    // The rows that hold a combination, as runs from the top down; rows
    // picked apart keep their order and close up in the target.
    std::vector<std::pair<int, int>> runs;
    int n = 0;
    for (const int r : source->selectedRows()) {
        if (r >= sourceRows || !HoldsNumbers(source, r))
            continue;
        if (!runs.empty() && runs.back().second == r - 1)
            runs.back().second = r;
        else
            runs.emplace_back(r, r);
        ++n;
    }
    if (n == 0)
        return;

    int t = target->rowCount();
    target->appendRows(n);
    for (const auto &[top, bottom] : runs) {
        // Whole rows, whatever columns the selection covers.
        SelectGridRange(source, top, 0, bottom, source->columnCount() - 1);
        SelectGridRange(target, t, 0, t + bottom - top, target->columnCount() - 1);
        target->setClipText(source->clipText());
        t += bottom - top + 1;
    }

    if (n == sourceRows - 1) {
        source->setRowCount(1); // the header row stays
    } else {
        // Bottom up, so the runs above keep their places.
        for (auto run = runs.rbegin(); run != runs.rend(); ++run)
            source->removeRows(run->first, run->second);
    }

    FitGridColumns(0);
    FitGridColumns(1);
    // Both grids changed under any selection the user had made.
    UnselectGrid(0);
    UnselectGrid(1);
    SaveAreaChanged();
    SetSaveAreaButtons(FGkekka[1]->rowCount() > 1);
}

void Form1::CmdSave_Click()
{
    WriteSaveArea();
}

bool Form1::WriteSaveArea()
{
    const QString fileName = dialogs().saveFileName(this,
                                                    SaveFileDialogOptions(ProgramFolder, true));
    if (fileName.isEmpty())
        return false;
    RememberFolder(QStringLiteral("save"), fileName);

    ResultGrid *grid = FGkekka[1];
    const int rows = grid->rowCount();
    if (rows > 1)
        SelectGridRange(grid, 1, 0, rows - 1, grid->columnCount() - 1);

    // Straight from the cell store, a block of rows at a time.
    SaveFileWriteResult result;
    {
        FileProgress progress(this, QStringLiteral("保存しています…"), rows - 1, false);
        result = WriteGridSaveFile(fileName, grid->gridModel()->store(),
                                   [&progress](qint64 written) { progress.update(written); });
    }
    if (!result.ok) {
        // The write goes through a temporary file, so a file of that name
        // is still as it was; say so rather than pretend it was saved.
        dialogs().warn(this,
                       QStringLiteral("ファイル「%1」に保存できませんでした。\n%2")
                           .arg(QDir::toNativeSeparators(fileName), result.error),
                       QStringLiteral("保存"));
        return false;
    }
    m_saveAreaChanged = false;
    DropRecoveryCopy();
    return true;
}

bool Form1::SettleSaveAreaChanges(const QString &title)
{
    if (!m_saveAreaChanged || FGkekka[1]->rowCount() <= 1)
        return true;
    switch (
        dialogs().askYesNoCancel(this, QStringLiteral("保存エリアの変更を保存しますか？"), title)) {
    case QMessageBox::Yes:
        return WriteSaveArea();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void Form1::CmdLoad_Click()
{
    if (!SettleSaveAreaChanges(QStringLiteral("読込")))
        return;
    const QString fileName = dialogs().openFileName(this,
                                                    SaveFileDialogOptions(ProgramFolder, false));
    if (fileName.isEmpty())
        return;
    RememberFolder(QStringLiteral("save"), fileName);

    const LoadWarnings warn(dialogs(), this, fileName);

    QFile file(fileName);
    if (!OpenRegularFile(file)) {
        warn.unreadable();
        return;
    }
    SaveFileReader reader(file);
    const SaveFileHead head = reader.readHead();
    if (!head.signatureOk && !warn.otherFileConfirmed())
        return;
    // A file that is no save file must not wipe the rows the user keeps.
    if (!head.countsValid) {
        warn.noSaveData();
        return;
    }

    // The rows go into a store of their own, so the save grid stays as it was
    // until the whole file has been read. It has the columns of the file's
    // layout whatever else the file says. Both stores live at once for a
    // moment, so the old one's size comes off the new one's share.
    ResultGrid *grid = FGkekka[1];
    GridCellStore cells(1, SaveFileGridColumns(head));
    const SaveFileRowsRead read = ReadRowsShowingProgress(
        this, reader, head, file.size(), cells, LoadRowLimit,
        LoadByteLimit - grid->gridModel()->store().usedBytes());
    if (read.readFailed) {
        warn.unreadable();
        return;
    }
    if (read.cancelled)
        return;
    if (read.rows == 0) {
        if (read.limitReached)
            warn.tooLarge(0);
        else
            warn.noSaveData();
        return;
    }

    PutLoadedSaveArea(std::move(cells));
    if (read.limitReached)
        warn.tooLarge(grid->rowCount() - 1);
    const qint64 notTickets = TicketRows(grid->gridModel()->store()).countNotTickets();
    if (notTickets > 0)
        dialogs().warn(this, NotTicketsLoadedText(notTickets), QStringLiteral("読込"));
}

void Form1::PutLoadedSaveArea(GridCellStore &&cells)
{
    // The old rows go before the grid takes the file's columns: reshaped,
    // they would be copied once more beside both stores.
    FGkekka[1]->setRowCount(1);
    SetGridNumberColumns(1, GridLayoutOf(cells.columnCount()).NumberColumns);
    FGkekka[1]->gridModel()->replaceCells(std::move(cells));
    FitGridColumns(1);
    UnselectGrid(1);
    m_saveAreaChanged = false;
    DropRecoveryCopy();
    SetSaveAreaButtons(true);
}

void Form1::CmdClear_Click()
{
    ResultGrid *grid = FGkekka[1];
    if (grid->rowCount() <= 1)
        return;
    if (!dialogs().confirm(this, QStringLiteral("保存エリアをクリアしますか？"),
                           QStringLiteral("クリア"), QMessageBox::Question))
        return;
    grid->setRowCount(1);
    FitGridColumns(1);
    UnselectGrid(1);
    SetSaveAreaButtons(false);
    DropRecoveryCopy();
}
