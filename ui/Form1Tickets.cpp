#include "ui/Form1.h"

#include "core/TicketEntry.h"
#include "ui/ResultGrid.h"
#include "ui/UserDialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

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
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto *form = new QFormLayout(&dialog);
    form->addRow(QStringLiteral("くじ(&G)"), game);
    form->addRow(QStringLiteral("数字(&N)"), numbers);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    // A row that is no ticket keeps the form open with what was typed.
    connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        if (AppendTicketRow(game->currentIndex(), numbers->text()))
            dialog.accept();
    });
    dialog.exec();
}

bool Form1::AppendTicketRow(int game, const QString &numbers)
{
    ResultGrid *grid = FGkekka[1];
    const int row = grid->rowCount();
    const TicketEntry entry = EnterTicket(game, numbers, row);
    if (!entry.Error.isEmpty()) {
        dialogs().warn(this, entry.Error, QStringLiteral("行を入力"));
        return false;
    }
    grid->appendRows(1);
    for (int c = 0; c < entry.Cells.size() && c < grid->columnCount(); ++c)
        grid->setText(row, c, entry.Cells.at(c));
    UnselectGrid(1);
    m_saveAreaChanged = true;
    SetSaveAreaButtons(true);
    return true;
}
