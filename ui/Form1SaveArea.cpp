#include "ui/Form1.h"

#include "storage/SaveFile.h"
#include "ui/ResultGrid.h"
#include "ui/ResultGridModel.h"
#include "ui/UserDialogs.h"

#include <QDir>
#include <QPushButton>

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

namespace {

FileDialogOptions SaveFileDialogOptions(const QString &programFolder, bool forSaving)
{
    FileDialogOptions options;
    options.filter = QStringLiteral("ｻﾞﾝﾎﾞ(*.loto)|*.loto|ﾃｷｽﾄ(*.txt)|*.txt|全て|*.*");
    options.defaultExtension = QStringLiteral("*.loto");
    options.initialFolder = programFolder;
    options.confirmReplace = forSaving;
    return options;
}

// A row holds a combination when a number column has text; a row without
// numbers is never moved.
bool HoldsNumbers(const ResultGrid *grid, int row)
{
    for (int c = FirstNumberColumn; c <= LastNumberColumn; ++c) {
        if (!grid->isEmptyCell(row, c))
            return true;
    }
    return false;
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
    // Nothing selected, or the keyboard's focus on a header cell: no row to move.
    if (!grid->hasSelection() || a < 1 || a >= n || b < 1 || b >= n) {
        CmdCopy[index]->setEnabled(false);
        return;
    }

    if (b == n - 1 && n != 2 && a == 1) {
        // Every data row is selected: what a click on a header cell gives.
        grid->sortSelection();
        if (index == 1)
            m_saveAreaChanged = true;
        CmdCopy[index]->setEnabled(false);
        CmdCopy[other]->setEnabled(false);
        return;
    }

    SelectGridRange(grid, a, 0, b, grid->columnCount() - 1);
    bool movable = false;
    for (int r = std::min(a, b); r <= std::max(a, b) && !movable; ++r)
        movable = HoldsNumbers(grid, r);
    CmdCopy[index]->setEnabled(movable);
    if (movable)
        CmdCopy[other]->setEnabled(false);
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

void Form1::CmdCopy_Click(int index)
{
    ResultGrid *source = FGkekka[index];
    ResultGrid *target = FGkekka[1 - index];

    const int sourceRows = source->rowCount();
    // Only rows the user selected move; the header row never does.
    if (sourceRows <= 1 || !source->hasSelection())
        return;
    const int a = source->currentRow();
    const int b = source->selectionEndRow();
    const int first = std::max(1, std::min(a, b));
    const int last = std::min(sourceRows - 1, std::max(a, b));

    // The rows that hold a combination, as runs from the top down.
    std::vector<std::pair<int, int>> runs;
    int n = 0;
    for (int r = first; r <= last; ++r) {
        if (!HoldsNumbers(source, r))
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

    // Both grids changed under any selection the user had made.
    UnselectGrid(0);
    UnselectGrid(1);
    m_saveAreaChanged = true;
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

    ResultGrid *grid = FGkekka[1];
    const int rows = grid->rowCount();
    const int columns = grid->columnCount();
    QString clip;
    if (rows > 1) {
        SelectGridRange(grid, 1, 0, rows - 1, columns - 1);
        clip = grid->clipText();
    }

    const SaveFileWriteResult result = WriteSaveFile(fileName, rows - 1, columns - 1, clip);
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

    const SaveFileContent content = ReadSaveFile(fileName);
    if (!content.opened) {
        dialogs().warn(this,
                       QStringLiteral("ファイル「%1」を読み込めませんでした。")
                           .arg(QDir::toNativeSeparators(fileName)),
                       QStringLiteral("読込"));
        return;
    }
    if (!content.signatureOk
        && !dialogs().confirm(
            this,
            QStringLiteral(
                "拡張子が .loto ではありません。このファイルで間違いなければOKを押してください"),
            QStringLiteral("中止"), QMessageBox::Warning)) {
        return;
    }

    ResultGrid *grid = FGkekka[1];
    grid->clearCells(); // drops the judgement's colours too
    // The grid is sized from the rows actually read, never from the count
    // the file claims, and keeps its ten columns whatever the file says:
    // the judgement reads columns 1 to 9.
    const int rows = int(std::min<qsizetype>(content.rows.size(), INT_MAX - 1));
    grid->setColumnCount(GridColumnCount);
    grid->setRowCount(rows + 1);
    // Row by row straight into the cell store: no joined copy of the file.
    ResultGridModel *cells = grid->gridModel();
    for (int r = 1; r <= rows; ++r)
        cells->setBlockText(r, 0, content.rows.at(r - 1));
    UnselectGrid(1);
    m_saveAreaChanged = false;
    SetSaveAreaButtons(grid->rowCount() > 1);
    if (content.truncated) {
        // Saving this grid again would cut the file short: say so.
        dialogs().warn(
            this,
            QStringLiteral("ファイル「%1」は大きすぎるため、先頭の%2行だけを読み込みました。")
                .arg(QDir::toNativeSeparators(fileName), QString::number(rows)),
            QStringLiteral("読込"));
    }
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
    UnselectGrid(1);
    SetSaveAreaButtons(false);
}
