#include "ui/DlgJudge.h"

#include "core/GridCellStore.h"
#include "core/Judgement.h"
#include "core/LatestDraw.h"
#include "core/SaveGridJudge.h"
#include "core/WinningNumbers.h"
#include "ui/ControlFactory.h"
#include "ui/Form1.h"
#include "ui/MessageLineBox.h"
#include "ui/ResultGrid.h"
#include "ui/ResultGridModel.h"
#include "ui/TextBoxLines.h"
#include "ui/Twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <algorithm>

#include <optional>

DlgJudge::DlgJudge(Form1 &main, QWidget *parent)
    : QDialog(parent)
    , m_main(main)
{
    setObjectName(QStringLiteral("DlgJudge"));
    setWindowTitle(QStringLiteral("当選判定"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(TwipsToPixels(7200), TwipsToPixels(5400));
    createControls();
    placeBesideMain();

    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
    connect(CmdDownload, &QPushButton::clicked, this, [this] { CmdDownload_Click(); });
    connect(CmdWinRow, &QPushButton::clicked, this, [this] { CmdWinRow_Click(); });
    Form_Load();
}

void DlgJudge::createControls()
{
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    PlaceTwips(Frame1, 120, 60, 5295, 1875);

    // One line per game: its name, then its draw.
    for (int g = 0; g < GameCount; ++g) {
        Label1[g] = MakeLabel(Frame1, QStringLiteral("Label1_%1").arg(g),
                              m_main.GameTable[size_t(g)].GameName);
        LblJ[g] = MakeLabel(Frame1, QStringLiteral("LblJ_%1").arg(g), QString());
        PlaceTwips(Label1[g], 120, 240 + 300 * g, 900, 255);
        PlaceTwips(LblJ[g], 1020, 240 + 300 * g, 4155, 255);
    }

    Label2 = MakeLabel(Frame1, QStringLiteral("Label2"), QString());
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PlaceTwips(Label2, 120, 240 + 300 * GameCount, 5055, 1815 - 240 - 300 * GameCount);

    OKButton = MakeButton(this, QStringLiteral("OKButton"), QStringLiteral("判定(&J)"));
    OKButton->setDefault(true);
    PlaceTwips(OKButton, 5520, 120, 1560, 375);
    CancelButton = MakeButton(this, QStringLiteral("CancelButton"), QStringLiteral("閉じる(&C)"));
    CancelButton->setAutoDefault(false);
    PlaceTwips(CancelButton, 5520, 600, 1560, 375);
    CmdDownload = MakeButton(this, QStringLiteral("CmdDownload"),
                             QStringLiteral("ダウンロード(&D)"));
    CmdDownload->setAutoDefault(false);
    PlaceTwips(CmdDownload, 5520, 1560, 1560, 375);
    CmdWinRow = MakeButton(this, QStringLiteral("CmdWinRow"), QStringLiteral("当選行へ(&W)"));
    CmdWinRow->setAutoDefault(false);
    CmdWinRow->setEnabled(false);
    PlaceTwips(CmdWinRow, 5520, 1080, 1560, 375);

    // A judgement of a large save grid writes hundreds of thousands of lines.
    Text1 = new MessageLineBox(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont fixed = Text1->font();
    // The numbers of both games line up in columns only in a fixed-pitch font.
    fixed.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"),
                       QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("monospace")});
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    fixed.setPointSizeF(10);
    Text1->setFont(fixed);
    PlaceTwips(Text1, 120, 2040, 6960, 3240);
}

// To the right of the main window when the screen has room there, else to
// its left; else where the window system puts it.
void DlgJudge::placeBesideMain()
{
    const QScreen *screen = m_main.screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QRect owner = m_main.frameGeometry();
    const QRect right(QPoint(owner.right() + 1, owner.top()), size());
    const QRect left(QPoint(owner.left() - width(), owner.top()), size());
    if (available.contains(right))
        move(right.topLeft());
    else if (available.contains(left))
        move(left.topLeft());
}

QString DlgJudge::NoDrawText()
{
    return QStringLiteral("当選番号なし（ダウンロードで取得できます）");
}

void DlgJudge::Form_Load()
{
    ShowWinningNumbers();
    Label2->setText(QStringLiteral("以上のデータで判定します。\n"
                                   "もし、これらのデータが古い場合、右のダウンロードボタンを押して"
                                   "最新のデータをダウンロードしてください。"));
}

void DlgJudge::ShowWinningNumbers()
{
    Text1->clear();
    QStringList lines;
    for (int g = 0; g < GameCount; ++g) {
        bool fromHistory = false;
        const std::optional<WinningNumbers> draw = m_main.LatestDraw(g, &fromHistory);
        lines.append(DrawNumbersLines(m_main.GameTable[g], draw));
        LblJ[g]->setText(draw ? DrawLabel(*draw, fromHistory) : NoDrawText());
    }
    AppendMessageLines(Text1, lines);
}

void DlgJudge::OKButton_Click()
{
    QStringList lines = JudgeSaveGrid();
    lines.append(JudgementClosingLine());
    AppendMessageLines(Text1, lines);
}

QStringList DlgJudge::JudgeSaveGrid()
{
    ResultGrid *grid = m_main.FGkekka[1];
    ResultGridModel &model = *grid->gridModel();
    // Marks of an earlier draw would claim hits a row does not have.
    model.clearMarks();

    GameDraws draws;
    for (int g = 0; g < GameCount; ++g)
        draws[size_t(g)] = m_main.LatestDraw(g);
    m_winningRows.clear();
    m_nextWin = 0;
    CmdWinRow->setEnabled(false);
    if (std::none_of(draws.begin(), draws.end(), [](const auto &draw) { return bool(draw); }))
        return NoDrawToJudgeLines();

    // The marks go straight into the store and the grid repaints once at the
    // end: a grid of millions of rows would otherwise be told of every cell.
    QStringList lines;
    int lastRow = -1;
    int lastCol = -1;
    const int rows = model.store().rowCount();
    model.editCells(
        [&](GridCellStore &cells) {
            const CellMarkSink mark = [&](int row, int column, CellMatch match) {
                lastRow = row;
                lastCol = column;
                cells.setCellColor(row, column,
                                   match == CellMatch::Main ? MainHitColor : BonusHitColor);
                cells.setCellBold(row, column);
            };
            const std::vector<JudgedRow> judged = JudgeSaveRows(cells, draws, m_main.GameTable,
                                                                mark);
            lines = JudgedRowLines(judged);
            lines.append(JudgementSummaryLines(judged, draws));
            m_winningRows = WinningRows(judged);
        },
        GridBlock{1, FirstNumberColumn, rows - 1,
                  GridLayoutOf(model.store().columnCount()).lastNumberColumn()});
    CmdWinRow->setEnabled(!m_winningRows.empty());
    if (lastRow > 0) {
        grid->setCurrentColumn(lastCol);
        grid->setCurrentRow(lastRow);
    }
    // The marks moved the current cell: what was selected is no longer the
    // user's choice.
    m_main.UnselectGrid(1);
    return lines;
}

void DlgJudge::CmdDownload_Click()
{
    // The download runs its own event loop; the main window may close this
    // dialog meanwhile.
    const QPointer<DlgJudge> self(this);
    m_main.CmdReadPattern_Click();
    if (!self)
        return;
    ShowWinningNumbers();
}

void DlgJudge::CmdWinRow_Click()
{
    if (m_winningRows.empty())
        return;
    ResultGrid *grid = m_main.FGkekka[1];
    const int row = m_winningRows[m_nextWin % m_winningRows.size()];
    ++m_nextWin;
    // Rows removed since the judgement are no longer there to select.
    if (row >= grid->rowCount())
        return;
    Form1::SelectGridRange(grid, row, 0, row, grid->columnCount() - 1);
}

void DlgJudge::CancelButton_Click()
{
    close();
}
