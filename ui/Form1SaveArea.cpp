#include "ui/Form1.h"

#include "storage/SaveFile.h"
#include "ui/ResultGrid.h"
#include "ui/ResultGridModel.h"
#include "ui/UserDialogs.h"

#include <QDir>
#include <QPushButton>

#include <algorithm>
#include <climits>

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
    // A selection that does not lie on data rows has nothing to act on.
    if (a < 1 || a >= n || b < 1 || b >= n)
        return;

    if (b == n - 1 && n != 2 && a == 1) {
        // Every data row is selected: what a click on a header cell gives.
        grid->sortSelection();
        CmdCopy[index]->setEnabled(false);
        CmdCopy[other]->setEnabled(false);
        return;
    }

    SelectGridRange(grid, a, 0, b, grid->columnCount() - 1);
    if (!grid->text(a, 1).isEmpty()) {
        CmdCopy[index]->setEnabled(true);
        CmdCopy[other]->setEnabled(false);
    }
}

void Form1::SetSaveAreaButtons(bool enabled)
{
    CmdSave->setEnabled(enabled);
    CmdJudge->setEnabled(enabled);
}

void Form1::CmdCopy_Click(int index)
{
    ResultGrid *source = FGkekka[index];
    ResultGrid *target = FGkekka[1 - index];

    const int sourceRows = source->rowCount();
    // The button can outlive the rows it was enabled for (a clear or a load
    // in between); the header row is never moved.
    if (sourceRows <= 1)
        return;
    const int a = source->currentRow();
    const int b = source->selectionEndRow();
    const int first = std::max(1, std::min(a, b));
    const int last = std::min(sourceRows - 1, std::max(a, b));
    if (first > last)
        return;
    const int n = last - first + 1;

    // Whole rows, whatever columns the selection covers.
    SelectGridRange(source, first, 0, last, source->columnCount() - 1);
    const QString rows = source->clipText();

    target->appendRows(n);
    const int t = target->rowCount();
    SelectGridRange(target, t - n, 0, t - 1, target->columnCount() - 1);
    target->setClipText(rows);

    if (n == sourceRows - 1) {
        source->setRowCount(1); // the header row stays
    } else {
        source->removeRows(first, last);
        // The row that slid into the gap is what a further press moves.
        const int next = std::min(first, source->rowCount() - 1);
        SelectGridRange(source, next, 0, next, source->columnCount() - 1);
    }

    for (int g = 0; g < 2; ++g)
        CmdCopy[g]->setEnabled(FGkekka[g]->rowCount() > 1);
    CmdCopy[1 - index]->setEnabled(false);
    SetSaveAreaButtons(FGkekka[1]->rowCount() > 1);
}

void Form1::CmdSave_Click()
{
    const QString fileName = dialogs().saveFileName(this,
                                                    SaveFileDialogOptions(ProgramFolder, true));
    if (fileName.isEmpty())
        return;

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
    }
}

void Form1::CmdLoad_Click()
{
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
    if (rows > 0)
        SelectGridRange(grid, rows, 0, rows, GridColumnCount - 1);
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
    SetSaveAreaButtons(false);
}
