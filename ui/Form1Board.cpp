#include "ui/Form1.h"

#include "core/Statistics.h"
#include "ui/BoardSlider.h"
#include "ui/ResultGrid.h"
#include "ui/UserDialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>

namespace {

bool IsGame(int game)
{
    return game >= 0 && game < GameCount;
}

QString CrLf()
{
    return QStringLiteral("\r\n");
}

// The text box keeps lines, not CR LF; MessageText gives the CR LF back.
QString BoxText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

const QString &StandardEntryName()
{
    static const QString name = QStringLiteral("標準（予測パターン無し）");
    return name;
}

} // namespace

void Form1::CheckPatternFile()
{
    Patterns = LoadPatternTablesFromFiles(GameTable);
}

void Form1::CmbSwitch_Click()
{
    const int g = currentGame();
    m_shownGame = g;

    // Sliders above the game's highest number do not apply: they are hidden
    // and keep their values.
    const int highest = IsGame(g) ? GameTable[g].MaxNumber : HighestNumber;
    for (int i = GameTable[GameMiniLoto].MaxNumber + 1; i <= HighestNumber; ++i) {
        Slider1[i]->setVisible(i <= highest);
        Label1[i]->setVisible(i <= highest);
    }

    CmbPattern->clear();
    CmbPattern->addItem(StandardEntryName());
    CmbPattern->setCurrentIndex(0);
    CmbPattern_Click();

    if (IsGame(g)) {
        const int count = Patterns.PatternCount[g];
        const QStringList &names = Patterns.PatternName[g];
        // One insertion for the whole list: a file may carry many patterns.
        if (count > 0)
            CmbPattern->addItems(names.mid(1, std::min<qsizetype>(count, names.size() - 1)));
    }

    PrepareResultGrids();
}

void Form1::Slider1_Change(int index)
{
    if (index < 1 || index > HighestNumber)
        return;
    // A ready-made pattern never overwrites the user's own settings.
    if (CmbPattern->currentIndex() == 0)
        CustomSettings[index] = Slider1[index]->value();
}

void Form1::Slider1_Scroll(int index)
{
    Slider1_Change(index);
}

void Form1::SldKosu_Change()
{
    LblKosu->setText(QString::number(SldKosu->value()));
}

void Form1::SldKosu_Scroll()
{
    SldKosu_Change();
}

void Form1::CmdCntReset_Click()
{
    if (!dialogs().confirm(this, QStringLiteral("パターン制御盤をリセットしますか？"),
                           QStringLiteral("リセット"), QMessageBox::Question))
        return;
    for (int i = 1; i <= HighestNumber; ++i)
        Slider1[i]->setValueChecked(3);
}

void Form1::CmbPattern_Click()
{
    const int g = currentGame();
    const int j = CmbPattern->currentIndex();
    if (!IsGame(g) || j < 0)
        return;

    if (j == 0) {
        for (int i = 1; i <= HighestNumber; ++i)
            Slider1[i]->setValueChecked(CustomSettings[i]);
        TxtMessage->setPlainText(BoxText(Patterns.BoardMessage[g]));
        return;
    }

    // The list and the tables are rebuilt together, but a stray index must
    // not reach past the tables.
    const bool inTable = j <= Patterns.PatternCount[g] && j < Patterns.PatternDigits[g].size()
                         && j < Patterns.PatternComment[g].size();
    if (inTable && CmbPattern->currentText() != BrokenPatternName())
        ApplyPattern(Patterns.PatternDigits[g][j], g);

    const QString comment = inTable ? Patterns.PatternComment[g][j] : QString();
    TxtMessage->setPlainText(BoxText(comment + CrLf() + QStringLiteral("-----------------") + CrLf()
                                     + CrLf() + Patterns.BoardMessage[g]));
}

void Form1::ApplyPattern(const QString &digits, int game)
{
    if (!IsGame(game))
        return;
    const int highest = std::min(GameTable[game].MaxNumber, HighestNumber);
    for (int i = 1; i <= highest; ++i) {
        // The slider refuses 0 and 6..9 and keeps its setting.
        Slider1[i]->setValueChecked(PatternDigitSetting(digits, i));
    }
}

void Form1::CmdRun_Click()
{
    CmdRun->setEnabled(false);
    PrepareResultGrids();

    const int g = currentGame();
    if (IsGame(g)) {
        const int n = GameTable[g].MaxNumber;
        const int k = GameTable[g].PickCount;

        Thresholds thresholds{};
        for (int i = 1; i <= HighestNumber; ++i)
            thresholds[i] = Slider1[i]->value();

        ResultGrid *grid = FGkekka[0];
        // The label always shows the count slider; the grid was sized from
        // the slider, so never write below its last row.
        const int rows = std::min(LblKosu->text().toInt(), grid->rowCount() - 1);

        // One repaint for the whole run instead of one per cell.
        grid->setUpdatesEnabled(false);
        for (int r = 1; r <= rows; ++r) {
            DrawCombination(thresholds, n, k, Random, SelectedNumbers);
            SortCombination(SelectedNumbers, k);
            WriteCombinationRow(r);
        }
        grid->setUpdatesEnabled(true);
    }

    CmdRun->setEnabled(true);
}

void Form1::PrepareResultGrids()
{
    const int rows = SldKosu->value();
    ResultGrid *prediction = FGkekka[0];
    prediction->setRowCount(rows + 1);
    prediction->clearCells();
    for (int i = 1; i <= rows; ++i)
        prediction->setText(i, RowNumberColumn, QString::number(i));
    UnselectGrid(0);

    const int g = currentGame();
    if (!IsGame(g))
        return;
    const int k = GameTable[g].PickCount;
    FitGridColumns(0);
    // The save grid keeps its rows; only the header follows the game.
    for (ResultGrid *grid : FGkekka) {
        const GridLayout layout = GridLayoutOf(grid->columnCount());
        for (int c = 1; c <= std::min(k, layout.NumberColumns); ++c)
            grid->setText(0, FirstNumberColumn + c - 1, QStringLiteral("#") + QString::number(c));
        grid->setText(0, layout.sumColumn(), QStringLiteral("合計"));
        grid->setText(0, layout.deviationColumn(), QStringLiteral("偏差"));
        grid->setText(0, layout.oddColumn(), QStringLiteral("奇数"));
    }
}

void Form1::WriteCombinationRow(int row)
{
    const int g = currentGame();
    if (!IsGame(g))
        return;
    const int k = GameTable[g].PickCount;
    ResultGrid *grid = FGkekka[0];
    const GridLayout layout = GridLayoutOf(grid->columnCount());
    grid->setText(row, RowNumberColumn, QString::number(row));
    for (int i = 1; i <= k; ++i)
        grid->setText(row, FirstNumberColumn + i - 1, QString::number(SelectedNumbers[i]));
    grid->setText(row, layout.sumColumn(), QString::number(CombinationSum(SelectedNumbers, k)));
    grid->setText(row, layout.oddColumn(),
                  QString::number(CombinationOddCount(SelectedNumbers, k)));
    grid->setText(row, layout.deviationColumn(),
                  QString::number(CombinationDeviation(SelectedNumbers, k)));
}
