#include "ui/Form1.h"

#include "core/GridCellStore.h"
#include "core/TicketEntry.h"
#include "core/TicketRows.h"
#include "ui/DlgJudge.h"
#include "ui/ResultGrid.h"
#include "ui/ResultGridModel.h"
#include "ui/UserDialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

namespace {

// The tier the marks of the last judgement give a row; 0 for none.
int MarkedTier(const GridCellStore &cells, const TicketRows &tickets, int row)
{
    if (!tickets.isTicket(row))
        return 0;
    int hits = 0;
    bool bonus = false;
    for (int c = FirstNumberColumn; c <= LastNumberColumn; ++c) {
        const quint32 color = cells.cellColor(row, c) & 0xFFFFFFu;
        hits += color == (DlgJudge::MainHitColor & 0xFFFFFFu) ? 1 : 0;
        bonus = bonus || color == (DlgJudge::BonusHitColor & 0xFFFFFFu);
    }
    return PrizeTier(tickets.game(row), hits, bonus);
}

} // namespace

void Form1::CmdInputRow_Click()
{
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("DlgInputRow"));
    dialog.setWindowTitle(QStringLiteral("行を入力"));
    auto *game = new QComboBox(&dialog);
    for (int g = 0; g < GameCount; ++g)
        game->addItem(GameTable[g].GameName);
    game->setCurrentIndex(std::max(currentGame(), 0));
    auto *numbers = new QLineEdit(&dialog);
    numbers->setPlaceholderText(QStringLiteral("例: 3 15 22 31 40 43"));
    // Optional: a ticket bought for several draws in a row. The judgement
    // checks it against each newest draw while it stays in the save area.
    auto *draws = new QSpinBox(&dialog);
    draws->setObjectName(QStringLiteral("SpnDraws"));
    draws->setRange(1, 99);
    draws->setSuffix(QStringLiteral("回分"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto *form = new QFormLayout(&dialog);
    form->addRow(QStringLiteral("くじ(&G)"), game);
    form->addRow(QStringLiteral("数字(&N)"), numbers);
    form->addRow(QStringLiteral("購入した回数(&D)"), draws);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    // A row that is no ticket keeps the form open with what was typed.
    connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        if (AppendTicketRow(game->currentIndex(), numbers->text(), draws->value()))
            dialog.accept();
    });
    dialog.exec();
}

bool Form1::AppendTicketRow(int game, const QString &numbers, int draws)
{
    ResultGrid *grid = FGkekka[1];
    const int row = grid->rowCount();
    const TicketEntry entry = EnterTicket(game, numbers, row, draws);
    if (!entry.Error.isEmpty()) {
        dialogs().warn(this, entry.Error, QStringLiteral("行を入力"));
        return false;
    }
    // The entry's numbers, then its sum, deviation and odd count, each into
    // the grid's own column for it; a LOTO7 row widens the grid first.
    const GridLayout from = GridLayoutOf(int(entry.Cells.size()));
    SetGridNumberColumns(
        1, std::max(GridLayoutOf(grid->columnCount()).NumberColumns, from.NumberColumns));
    const GridLayout to = GridLayoutOf(grid->columnCount());
    grid->appendRows(1);
    for (int c = 0; c <= from.lastNumberColumn(); ++c)
        grid->setText(row, c, entry.Cells.at(c));
    grid->setText(row, to.sumColumn(), entry.Cells.at(from.sumColumn()));
    grid->setText(row, to.deviationColumn(), entry.Cells.at(from.deviationColumn()));
    grid->setText(row, to.oddColumn(), entry.Cells.at(from.oddColumn()));
    UnselectGrid(1);
    m_saveAreaChanged = true;
    SetSaveAreaButtons(true);
    return true;
}

void Form1::ExportSaveAreaCsv()
{
    SaveCsvThroughDialog(dialogs(), this, CsvSaveOptions(ProgramFolder), [this] {
        const GridCellStore &cells = FGkekka[1]->gridModel()->store();
        const TicketRows tickets(cells);
        const QStringList lines = SaveAreaCsvLines(
            cells, GameTable, [&](int row) { return MarkedTier(cells, tickets, row); });
        // With its byte order mark a spreadsheet reads the file as UTF-8.
        return QByteArray("\xEF\xBB\xBF")
               + (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
    });
}
