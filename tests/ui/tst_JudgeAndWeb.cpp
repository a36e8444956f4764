#include "support/FakeDialogs.h"
#include "support/Modal.h"
#include "support/PatternFiles.h"
#include "support/Screenshots.h"

#include "core/Judgement.h"
#include "core/WebLinks.h"
#include "storage/FilePathCommands.h"
#include "storage/Module1.h"
#include "ui/DlgJudge.h"
#include "ui/DlgOption.h"
#include "ui/Form1.h"
#include "ui/MessageLineBox.h"
#include "ui/ResultGrid.h"
#include "ui/TextBoxLines.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>
#include <utility>

using IntList = QList<int>;

namespace {

// Cells of one save-grid row written "1|2|3"; a Mini LOTO row names five.
QStringList Cells(const char *text)
{
    return QString::fromUtf8(text).split(QLatin1Char('|'));
}

QString WebSection(const QString &home)
{
    return QStringLiteral("[WEB]\nWWW=%1\n").arg(home);
}

// One letter per judged column 1..6: R red and bold, Y yellow and bold,
// '.' unmarked; '?' for anything else.
QString Marks(const ResultGrid *grid, int row)
{
    QString marks;
    for (int c = 1; c <= 6; ++c) {
        const QColor color = grid->cellColor(row, c);
        const bool bold = grid->cellBold(row, c);
        if (!color.isValid() && !bold)
            marks += QLatin1Char('.');
        else if (bold && color == QColor(255, 0, 0))
            marks += QLatin1Char('R');
        else if (bold && color == QColor(255, 255, 0))
            marks += QLatin1Char('Y');
        else
            marks += QLatin1Char('?');
    }
    return marks;
}

// Text1 as lines, without the empty piece after the last line end.
QStringList AllOutputLines(const DlgJudge *dialog)
{
    QStringList lines = MessageText(dialog->Text1).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

bool IsSummaryHead(const QString &line)
{
    return line.startsWith(QStringLiteral("■")) && line.contains(QStringLiteral("の判定のまとめ"));
}

// The same without the summaries before the closing lines.
QStringList OutputLines(const DlgJudge *dialog)
{
    QStringList lines;
    bool inSummary = false;
    for (const QString &line : AllOutputLines(dialog)) {
        inSummary = IsSummaryHead(line) || (inSummary && line.startsWith(QStringLiteral("  ")));
        if (!inSummary)
            lines << line;
    }
    return lines;
}

const QString Closing = QStringLiteral("＝＝＝　判定終了です。当たりましたか？　＝＝＝");
const QString Loto6Head = QStringLiteral("■ロト６の本数字 と ボーナス数字: ");
const QString MiniHead = QStringLiteral("■ミニロトの本数字 と ボーナス数字: ");
// No LOTO7 pattern file in these tests: the heading alone.
const QString Loto7Head = QStringLiteral("■ロト７の本数字 と ボーナス数字: ");
// The lines before the judgement when both other games have a draw.
constexpr int DrawLineCount = 5;

} // namespace

// The judgement dialog against the prize rules, the web links and the options
// dialog.
class JudgeAndWebTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    FakeDialogs m_dialogs;

    QString folder() const { return AddPathSeparator(m_dir.path()); }
    void writeLoto6(const QString &text)
    {
        WriteFileBytes(folder() + QStringLiteral("zanbol6.txt"), Cp932Lines(text));
    }
    void writeMini(const QString &text)
    {
        WriteFileBytes(folder() + QStringLiteral("zanboml.txt"), Cp932Lines(text));
    }
    std::unique_ptr<Form1> start() { return std::make_unique<Form1>(folder(), m_dialogs); }

    static void fillSaveGrid(Form1 &w, const QList<QStringList> &rows)
    {
        ResultGrid *grid = w.FGkekka[1];
        grid->setRowCount(int(rows.size()) + 1);
        for (int r = 0; r < rows.size(); ++r) {
            grid->setText(r + 1, 0, QString::number(r + 1));
            for (int c = 0; c < rows.at(r).size(); ++c)
                grid->setText(r + 1, c + 1, rows.at(r).at(c));
        }
    }

    static DlgJudge *openJudge(Form1 &w)
    {
        w.CmdJudge_Click();
        return w.judgeDialog();
    }

private slots:
    void init()
    {
        for (const char *name : {"zanbol6.txt", "zanboml.txt", "zanbol7.txt", "zanbo.ini"})
            QFile::remove(folder() + QLatin1String(name));
        m_dialogs = FakeDialogs();
    }

    // ---------------------------------------------------------------- judgement

    void judge_rowAgainstItsGamesDraw_data()
    {
        QTest::addColumn<QStringList>("row");
        QTest::addColumn<IntList>("loto6"); // six main numbers, then the bonus
        QTest::addColumn<IntList>("mini");  // five main numbers, then the bonus
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QString>("line"); // empty: no prize line

        const QStringList l6 = Cells("1|2|3|4|5|6");
        const QStringList ml = Cells("1|2|3|4|5");
        const IntList otherMini = {26, 27, 28, 29, 30, 31};
        const IntList otherLoto6 = {38, 39, 40, 41, 42, 43, 37};

        QTest::newRow("loto6 first") << l6 << IntList{1, 2, 3, 4, 5, 6, 7} << otherMini << "RRRRRR"
                                     << "ロト６　１等　ホントニ！？　☆☆☆☆☆";
        QTest::newRow("loto6 second")
            << l6 << IntList{1, 2, 3, 4, 5, 10, 6} << otherMini << "RRRRRY"
            << "ロト６　２等　ホントニ！？　☆☆☆☆";
        QTest::newRow("loto6 third")
            << l6 << IntList{1, 2, 3, 4, 5, 10, 20} << otherMini << "RRRRR."
            << "ロト６　３等　オメデトウ！　☆☆☆";
        QTest::newRow("loto6 fourth, bonus no matter")
            << l6 << IntList{1, 2, 3, 4, 11, 12, 6} << otherMini << "RRRR.Y"
            << "ロト６　４等　オメデトウ！　☆☆";
        QTest::newRow("loto6 fifth")
            << l6 << IntList{4, 5, 6, 30, 31, 32, 33} << otherMini << "...RRR"
            << "ロト６　５等　オメデトウ！　☆";
        QTest::newRow("loto6 two")
            << l6 << IntList{1, 6, 30, 31, 32, 33, 2} << otherMini << "RY...R"
            << "ロト６　残念！　２個当たり　もう一息";
        QTest::newRow("loto6 one hit")
            << l6 << IntList{3, 30, 31, 32, 33, 34, 35} << otherMini << "..R..."
            << "";
        QTest::newRow("loto6 bonus alone")
            << l6 << IntList{30, 31, 32, 33, 34, 35, 4} << otherMini << "...Y.."
            << "";
        QTest::newRow("loto6 nothing") << l6 << otherLoto6 << IntList{1, 2, 3, 4, 5, 6} << "......"
                                       << "";
        // A row that is no ticket is not compared and gets a line of its own.
        const QString notTicket = QStringLiteral(
            "ロト６　1 行目は 1～43 の異なる 6 個の数字ではないため、判定しません");
        QTest::newRow("text compare: leading blank or zero is no ticket")
            << Cells(" 7|07|8|9|10|11") << IntList{7, 8, 30, 31, 32, 33, 9} << otherMini << "......"
            << notTicket;
        QTest::newRow("a number twice is no ticket")
            << Cells("7|7|7|7|7|7") << IntList{7, 8, 30, 31, 32, 33, 9} << otherMini << "......"
            << notTicket;
        // Cells are handed out from a block of clip text; a separator inside a
        // cell must not shift the other cells.
        for (const auto &[name, odd] : {std::pair{"TAB in a cell", QStringLiteral("2\t9")},
                                        std::pair{"CR in a cell", QStringLiteral("2\r9")}}) {
            QStringList cells = l6;
            cells[1] = odd;
            QTest::newRow(name) << cells << IntList{1, 2, 3, 4, 5, 6, 9} << otherMini << "......"
                                << notTicket;
        }

        QTest::newRow("mini first") << ml << otherLoto6 << IntList{1, 2, 3, 4, 5, 6} << "RRRRR."
                                    << "ミニロト　１等 ホントニ！？　☆☆☆☆";
        QTest::newRow("mini second") << ml << otherLoto6 << IntList{1, 2, 3, 4, 20, 5} << "RRRRY."
                                     << "ミニロト　２等 ホントニ！？　☆☆☆";
        QTest::newRow("mini third") << ml << otherLoto6 << IntList{1, 2, 3, 4, 20, 21} << "RRRR.."
                                    << "ミニロト　３等 オメデトウ！　☆☆";
        QTest::newRow("mini fourth") << ml << otherLoto6 << IntList{1, 3, 5, 20, 21, 2} << "RYR.R."
                                     << "ミニロト　４等 オメデトウ！　☆";
        QTest::newRow("mini two") << ml << otherLoto6 << IntList{2, 4, 20, 21, 22, 23} << ".R.R.."
                                  << "ミニロト　残念！　２個当たり　もう一息";
        QTest::newRow("mini bonus alone")
            << ml << otherLoto6 << IntList{20, 21, 22, 23, 24, 1} << "Y....."
            << "";
        QTest::newRow("mini row ignores the loto6 draw")
            << ml << IntList{1, 2, 3, 4, 5, 6, 7} << otherMini << "......"
            << "";
    }

    void judge_rowAgainstItsGamesDraw()
    {
        QFETCH(QStringList, row);
        QFETCH(IntList, loto6);
        QFETCH(IntList, mini);
        QFETCH(QString, marks);
        QFETCH(QString, line);

        writeLoto6(DrawSection(250, QStringLiteral("2005/10/06"), loto6));
        writeMini(DrawSection(330, QStringLiteral("2005/10/04"), mini));
        auto w = start();
        fillSaveGrid(*w, {row});
        DlgJudge *dialog = openJudge(*w);
        QVERIFY(dialog);
        QTest::mouseClick(dialog->OKButton, Qt::LeftButton);

        QCOMPARE(Marks(w->FGkekka[1], 1), marks);
        QStringList expected = OutputLines(dialog).mid(0, DrawLineCount);
        if (!line.isEmpty())
            expected.append(line);
        expected.append(Closing);
        QCOMPARE(OutputLines(dialog), expected);
        // Row 0 and the other columns are never marked.
        QVERIFY(!w->FGkekka[1]->cellColor(1, 0).isValid());
        QVERIFY(!w->FGkekka[1]->cellColor(1, SumColumn).isValid());
    }

    void judge_mixedRows_linesInRowOrder_currentCellOnLastMark()
    {
        writeLoto6(DrawSection(250, QStringLiteral("2005/10/06"), {3, 15, 22, 31, 40, 43, 7}));
        writeMini(DrawSection(330, QStringLiteral("2005/10/04"), {2, 9, 17, 24, 30, 11}));
        auto w = start();
        fillSaveGrid(*w, {
                             Cells("3|7|15|22|31|40"), // LOTO6: 5 and bonus
                             Cells("2|3|9|15|17"),     // Mini: 3 (3 and 15 are LOTO6 numbers)
                             Cells("1|2|4|5|6|8"),     // LOTO6: nothing
                             Cells("1|11|12|13|30"),   // Mini: 1 and bonus
                         });
        DlgJudge *dialog = openJudge(*w);
        dialog->OKButton_Click();

        const ResultGrid *grid = w->FGkekka[1];
        QCOMPARE(Marks(grid, 1), QStringLiteral("RYRRRR"));
        QCOMPARE(Marks(grid, 2), QStringLiteral("R.R.R."));
        QCOMPARE(Marks(grid, 3), QStringLiteral("......"));
        QCOMPARE(Marks(grid, 4), QStringLiteral(".Y..R."));
        QCOMPARE(OutputLines(dialog).mid(DrawLineCount),
                 (QStringList{QStringLiteral("ロト６　２等　ホントニ！？　☆☆☆☆"),
                              QStringLiteral("ミニロト　４等 オメデトウ！　☆"), Closing}));
        QCOMPARE(grid->currentRow(), 4);
        QCOMPARE(grid->currentColumn(), 5);
        // Before the closing line, per game the tiers and the winning rows.
        QCOMPARE(AllOutputLines(dialog).mid(DrawLineCount + 2),
                 (QStringList{
                     QStringLiteral("■ロト６の判定のまとめ　１等 0 行、２等 1 行、３等 0 行、"
                                    "４等 0 行、５等 0 行"),
                     QStringLiteral("  当たった行（行番号）:"), QStringLiteral("    1"),
                     QStringLiteral("■ミニロトの判定のまとめ　１等 0 行、２等 0 行、"
                                    "３等 0 行、４等 1 行"),
                     QStringLiteral("  当たった行（行番号）:"), QStringLiteral("    2"), Closing}));
        // The button takes the user to each winning row in turn.
        for (const int row : {1, 2, 1}) {
            dialog->CmdWinRow->click();
            QCOMPARE(grid->currentRow(), row);
            QVERIFY(grid->hasSelection());
        }
    }

    // A LOTO7 row in the save area is judged against the LOTO7 draw with both
    // bonus numbers; the LOTO6 row beside it against its own.
    void judge_loto7Row_bothBonusNumbers()
    {
        writeLoto6(DrawSection(250, QStringLiteral("2005/10/06"), {1, 2, 3, 30, 31, 32, 33}));
        WriteFileBytes(folder() + QStringLiteral("zanbol7.txt"),
                       Cp932Lines(DrawSection(QStringLiteral("605"), QStringLiteral("2026/12/04"),
                                              Cells("1|2|3|4|5|6|7"), QStringLiteral("8"))
                                      .join(QLatin1Char('\n'))
                                  + QStringLiteral("\nN00=9\n")));
        auto w = start();
        // A seventh number widens the grid; the LOTO6 row keeps its cells.
        w->AppendRowsToSaveArea({{1, 2, 3, 4, 5, 6, 9}, {1, 2, 3, 4, 5, 6}});
        QCOMPARE(w->FGkekka[1]->columnCount(), int(WideGridColumnCount));
        DlgJudge *dialog = openJudge(*w);
        QCOMPARE(dialog->LblJ[GameLoto7]->text(), QStringLiteral("605回　(抽選日 2026/12/04)"));
        // LOTO6's heading and draw, Mini LOTO's heading alone, then LOTO7's.
        QCOMPARE(OutputLines(dialog).mid(3),
                 (QStringList{Loto7Head, QStringLiteral("    1  2  3  4  5  6  7 (8) (9)")}));
        dialog->OKButton_Click();
        QCOMPARE(Marks(w->FGkekka[1], 1), QStringLiteral("RRRRRR"));
        QCOMPARE(w->FGkekka[1]->cellColor(1, SeventhNumberColumn), QColor(255, 255, 0));
        QCOMPARE(Marks(w->FGkekka[1], 2), QStringLiteral("RRR..."));
        QCOMPARE(OutputLines(dialog).mid(5),
                 (QStringList{QStringLiteral("ロト７　２等　ホントニ！？　☆☆☆☆☆"),
                              QStringLiteral("ロト６　５等　オメデトウ！　☆"), Closing}));
    }

    void judge_largeGrid_everyRowJudgedInPlace()
    {
        writeLoto6(DrawSection(250, QStringLiteral("2005/10/06"), {1, 2, 3, 4, 5, 6, 7}));
        writeMini(DrawSection(330, QStringLiteral("2005/10/04"), {1, 2, 3, 4, 5, 6}));
        auto w = start();
        const QStringList miss = Cells("30|31|32|33|34|35");
        QList<QStringList> rows(10000, miss);
        const QList<int> hitRows = {1, 4095, 4096, 4097, 8193, 10000};
        for (int r : hitRows)
            rows[r - 1] = {QStringLiteral("1"),  QStringLiteral("2"),
                           QStringLiteral("30"), QStringLiteral("31"),
                           QStringLiteral("32"), QString::number(r % 2 ? 33 : 7)};
        fillSaveGrid(*w, rows);
        DlgJudge *dialog = openJudge(*w);
        dialog->OKButton_Click();

        const ResultGrid *grid = w->FGkekka[1];
        for (int r = 1; r <= 10000; ++r) {
            const QString expected = !hitRows.contains(r) ? QStringLiteral("......")
                                     : r % 2              ? QStringLiteral("RR....")
                                                          : QStringLiteral("RR...Y");
            QCOMPARE(Marks(grid, r), expected);
        }
        QCOMPARE(OutputLines(dialog).mid(DrawLineCount),
                 QStringList(hitRows.size(), QStringLiteral("ロト６　残念！　２個当たり　もう一息"))
                     + QStringList{Closing});
    }

    void judge_twice_appendsSecondBlock_emptyGridOnlyClosingLine()
    {
        writeLoto6(DrawSection(250, QStringLiteral("2005/10/06"), {1, 2, 3, 30, 31, 32, 33}));
        writeMini(DrawSection(330, QStringLiteral("2005/10/04"), {20, 21, 22, 23, 24, 25}));
        auto w = start();
        fillSaveGrid(*w, {Cells("1|2|3|4|5|6")});
        DlgJudge *dialog = openJudge(*w);
        const QStringList draws = OutputLines(dialog);
        const QString fifth = QStringLiteral("ロト６　５等　オメデトウ！　☆");
        dialog->OKButton_Click();
        dialog->OKButton_Click();
        QCOMPARE(OutputLines(dialog), draws + (QStringList{fifth, Closing, fifth, Closing}));
        QCOMPARE(Marks(w->FGkekka[1], 1), QStringLiteral("RRR..."));

        // The user clears the save area with the dialog still open.
        w->FGkekka[1]->setRowCount(1);
        dialog->OKButton_Click();
        QCOMPARE(OutputLines(dialog).mid(draws.size() + 4), QStringList{Closing});
    }

    void judge_afterNewDraw_marksOnlyItsHits()
    {
        writeLoto6(DrawSection(250, QStringLiteral("2005/10/06"), {1, 2, 3, 30, 31, 32, 6}));
        writeMini(DrawSection(330, QStringLiteral("2005/10/04"), {1, 2, 3, 4, 5, 6}));
        auto w = start();
        w->move(0, 0);
        fillSaveGrid(*w, {Cells("1|2|3|4|5|6|21|2|3"), Cells("1|2|3|4|5||15|1|3")});
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        DlgJudge *dialog = openJudge(*w);
        dialog->OKButton_Click();
        QCOMPARE(Marks(w->FGkekka[1], 1), QStringLiteral("RRR..Y"));
        QCOMPARE(Marks(w->FGkekka[1], 2), QStringLiteral("RRRRR."));

        // The user picks a row; then a download brings new draws.
        Form1::SelectGridRange(w->FGkekka[1], 2, 0, 2, OddColumn);
        w->FGkekka_Click(1);
        QVERIFY(w->CmdCopy[1]->isEnabled());
        writeLoto6(DrawSection(251, QStringLiteral("2005/10/13"), {4, 5, 20, 30, 31, 32, 1}));
        writeMini(DrawSection(331, QStringLiteral("2005/10/11"), {20, 21, 22, 23, 24, 25}));
        dialog->ShowWinningNumbers(); // what the download button does afterwards
        dialog->OKButton_Click();
        QCOMPARE(Marks(w->FGkekka[1], 1), QStringLiteral("Y..RR."));
        QCOMPARE(Marks(w->FGkekka[1], 2), QStringLiteral("......"));
        QCOMPARE(OutputLines(dialog).constLast(), Closing);
        // The marks moved the current cell: 「削除」 waits for a new choice.
        QVERIFY(!w->FGkekka[1]->hasSelection());
        QVERIFY(!w->CmdCopy[1]->isEnabled());
        QCoreApplication::processEvents();
        SaveSideBySide({w.get(), dialog}, QStringLiteral("judge_afterNewDraw"));
    }

    void judge_noDrawAtAll_saysSo()
    {
        auto w = start();
        fillSaveGrid(*w, {Cells("1|2|3|4|5|6"), Cells("1|2|3|4|5")});
        DlgJudge *dialog = openJudge(*w);
        const QStringList shown = OutputLines(dialog);
        dialog->OKButton_Click();
        QCOMPARE(OutputLines(dialog).mid(shown.size()),
                 NoDrawToJudgeLines() + QStringList{Closing});
        // Every line fits the box: none is cut off at its right edge.
        const QFontMetrics metrics(dialog->Text1->font());
        for (const QString &line : NoDrawToJudgeLines())
            QVERIFY2(metrics.horizontalAdvance(line) <= dialog->Text1->viewport()->width(),
                     qPrintable(line));
    }

    // The output box keeps the newest line in view, copies what the user
    // selects as it reads, and splits a line holding line breaks.
    void outputBox_newestLineInView_copiesSelection()
    {
        writeLoto6(DrawSection(250, QStringLiteral("2005/10/06"), {1, 2, 3, 4, 5, 6, 7}));
        auto w = start();
        fillSaveGrid(*w, QList<QStringList>(200, Cells("1|2|30|31|32|33")));
        DlgJudge *dialog = openJudge(*w);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        dialog->OKButton_Click();
        const QScrollBar *lines = dialog->Text1->verticalScrollBar();
        QVERIFY(lines->maximum() > 0);
        QCOMPARE(lines->value(), lines->maximum());

        QTest::keySequence(dialog->Text1, QKeySequence::SelectAll);
        QTest::keySequence(dialog->Text1, QKeySequence::Copy);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 AllOutputLines(dialog).join(QLatin1Char('\n')) + QLatin1Char('\n'));

        AppendMessageLine(dialog->Text1, QStringLiteral("a\r\nb\rc\nd"));
        QCOMPARE(OutputLines(dialog).mid(OutputLines(dialog).size() - 4),
                 (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                              QStringLiteral("d")}));
    }

    void judge_oneGameUnreadable_otherGameJudged_data()
    {
        QTest::addColumn<bool>("loto6Readable");
        QTest::addColumn<QString>("brokenFile"); // "" = no file at all
        QTest::newRow("no loto6 file") << false << QString();
        QTest::newRow("loto6 N3 not a number")
            << false
            << QStringLiteral(
                   "[TOSENNUM]\nNUMID=250\nDATE=x\nN1=1\nN2=2\nN3=three\nN4=4\nN5=5\nN6=6\nN0=7\n");
        QTest::newRow("no mini file") << true << QString();
    }

    void judge_oneGameUnreadable_otherGameJudged()
    {
        QFETCH(bool, loto6Readable);
        QFETCH(QString, brokenFile);
        const QString loto6Draw = DrawSection(250, QStringLiteral("2005/10/06"),
                                              {1, 2, 3, 4, 5, 6, 7});
        const QString miniDraw = DrawSection(330, QStringLiteral("2005/10/04"), {1, 2, 3, 4, 5, 6});
        if (loto6Readable) {
            writeLoto6(loto6Draw);
            if (!brokenFile.isEmpty())
                writeMini(brokenFile);
        } else {
            writeMini(miniDraw);
            if (!brokenFile.isEmpty())
                writeLoto6(brokenFile);
        }
        auto w = start();
        fillSaveGrid(*w, {Cells("1|2|3|4|5|6"), Cells("1|2|3|4|5")});
        DlgJudge *dialog = openJudge(*w);

        const int broken = loto6Readable ? 1 : 0;
        QCOMPARE(dialog->LblJ[broken]->text(), DlgJudge::NoDrawText());
        QVERIFY(dialog->LblJ[broken]->sizeHint().width() <= dialog->LblJ[broken]->width());
        QVERIFY(dialog->LblJ[1 - broken]->text().startsWith(
            loto6Readable ? QStringLiteral("250回") : QStringLiteral("330回")));
        const QStringList shown = OutputLines(dialog);
        if (loto6Readable)
            QCOMPARE(shown, (QStringList{Loto6Head, QStringLiteral("    1  2  3  4  5  6 (7)"),
                                         MiniHead, Loto7Head}));
        else
            QCOMPARE(shown, (QStringList{Loto6Head, MiniHead,
                                         QStringLiteral("    1  2  3  4  5 (6)"), Loto7Head}));

        dialog->OKButton_Click();
        QCOMPARE(Marks(w->FGkekka[1], 1),
                 loto6Readable ? QStringLiteral("RRRRRR") : QStringLiteral("......"));
        QCOMPARE(Marks(w->FGkekka[1], 2),
                 loto6Readable ? QStringLiteral("......") : QStringLiteral("RRRRR."));
        QCOMPARE(OutputLines(dialog).mid(shown.size()),
                 (QStringList{loto6Readable ? QStringLiteral("ロト６　１等　ホントニ！？　☆☆☆☆☆")
                                            : QStringLiteral("ミニロト　１等 ホントニ！？　☆☆☆☆"),
                              Closing}));
    }

    void showWinningNumbers_formats_data()
    {
        QTest::addColumn<QString>("loto6File");
        QTest::addColumn<QString>("miniFile");
        QTest::addColumn<QString>("label0");
        QTest::addColumn<QString>("label1");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("one and two digits")
            << DrawSection(250, QStringLiteral("2005/10/06"), {3, 15, 22, 31, 40, 43, 7})
            << DrawSection(330, QStringLiteral("2005/10/04"), {2, 9, 17, 24, 30, 11})
            << "250回　(抽選日 2005/10/06)"
            << "330回　(抽選日 2005/10/04)"
            << QStringList{Loto6Head, QStringLiteral("    3 15 22 31 40 43 (7)"), MiniHead,
                           QStringLiteral("    2  9 17 24 30 (11)"), Loto7Head};
        QTest::newRow("no DATE shows ERR; mini file with N6 ignores it")
            << DrawSection(1, QString(), {10, 11, 12, 13, 14, 15, 43})
            << DrawSection(7, QString(), {1, 2, 3, 4, 5, 31, 6}) << "1回　(抽選日 ERR)"
            << "7回　(抽選日 ERR)"
            << QStringList{Loto6Head, QStringLiteral("   10 11 12 13 14 15 (43)"), MiniHead,
                           QStringLiteral("    1  2  3  4  5 (6)"), Loto7Head};
    }

    void showWinningNumbers_formats()
    {
        QFETCH(QString, loto6File);
        QFETCH(QString, miniFile);
        QFETCH(QString, label0);
        QFETCH(QString, label1);
        QFETCH(QStringList, lines);
        writeLoto6(loto6File);
        writeMini(miniFile);
        auto w = start();
        DlgJudge *dialog = openJudge(*w);
        QCOMPARE(dialog->LblJ[0]->text(), label0);
        QCOMPARE(dialog->LblJ[1]->text(), label1);
        QCOMPARE(OutputLines(dialog), lines);
        // The number lines only line up when blanks and digits are equally wide.
        const QFontMetrics metrics(dialog->Text1->font());
        QCOMPARE(metrics.horizontalAdvance(QStringLiteral("  1")),
                 metrics.horizontalAdvance(QStringLiteral("4 (")));
    }

    void judgeButtonTwice_sameDialogContentKept_closeForgetsIt()
    {
        writeLoto6(DrawSection(250, QStringLiteral("2005/10/06"), {1, 2, 3, 4, 5, 6, 7}));
        auto w = start();
        fillSaveGrid(*w, {Cells("1|2|3|4|5|6")});
        DlgJudge *first = openJudge(*w);
        QVERIFY(first->isVisible());
        QVERIFY(!first->isModal());
        first->OKButton_Click();
        const QString text = MessageText(first->Text1);

        QCOMPARE(openJudge(*w), first);
        QCOMPARE(MessageText(first->Text1), text);

        QTest::mouseClick(first->CancelButton, Qt::LeftButton);
        QTRY_VERIFY(!w->judgeDialog());
        DlgJudge *second = openJudge(*w);
        QVERIFY(second);
        QCOMPARE(OutputLines(second).size(), 4); // fresh: draw lines only
    }

    void downloadButton_showsOnlyTheNewDraws()
    {
        writeLoto6(DrawSection(250, QStringLiteral("2005/10/06"), {1, 2, 3, 4, 5, 6, 7}));
        writeMini(DrawSection(330, QStringLiteral("2005/10/04"), {1, 2, 3, 4, 5, 6}));
        auto w = start();
        fillSaveGrid(*w, {Cells("1|2|3|4|5|6")});
        DlgJudge *dialog = openJudge(*w);
        dialog->OKButton_Click();

        // The files change while the download dialog is open; it is closed
        // without a transfer.
        writeLoto6(DrawSection(251, QStringLiteral("2005/10/13"), {11, 12, 13, 14, 15, 16, 17}));
        writeMini(DrawSection(331, QStringLiteral("2005/10/11"), {21, 22, 23, 24, 25, 26}));
        QTimer::singleShot(0, qApp, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        QTest::mouseClick(dialog->CmdDownload, Qt::LeftButton);

        QCOMPARE(OutputLines(dialog),
                 (QStringList{Loto6Head, QStringLiteral("   11 12 13 14 15 16 (17)"), MiniHead,
                              QStringLiteral("   21 22 23 24 25 (26)"), Loto7Head}));
        QCOMPARE(dialog->LblJ[0]->text(), QStringLiteral("251回　(抽選日 2005/10/13)"));
        QCOMPARE(dialog->LblJ[1]->text(), QStringLiteral("331回　(抽選日 2005/10/11)"));
        QCoreApplication::processEvents(); // the closing timer must not reach a later test
    }

    void screenshot_judgeWithMarks()
    {
        writeLoto6(DrawSection(250, QStringLiteral("2005/10/06"), {3, 15, 22, 31, 40, 43, 7}));
        writeMini(DrawSection(330, QStringLiteral("2005/10/04"), {2, 9, 17, 24, 30, 11}));
        auto w = start();
        w->move(0, 0);
        fillSaveGrid(*w, {Cells("3|7|15|22|31|40|118|13.3|4"), Cells("2|3|9|15|17||46|6.1|4"),
                          Cells("1|5|8|12|33|41|100|15.2|4")});
        w->SetSaveAreaButtons(true);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        DlgJudge *dialog = openJudge(*w);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
        QCoreApplication::processEvents();
        SaveScreenshot(dialog, QStringLiteral("judge_dialog"));
        SaveScreenshot(w.get(), QStringLiteral("main_with_marks"));
        SaveSideBySide({w.get(), dialog}, QStringLiteral("judge_beside_main"));
        QCOMPARE(Marks(w->FGkekka[1], 1), QStringLiteral("RYRRRR"));
    }

    // ------------------------------------------------------------ web links

    void homePage_lastFileWins_data()
    {
        QTest::addColumn<QString>("loto6Home"); // null: no file
        QTest::addColumn<QString>("miniHome");
        QTest::addColumn<QString>("opened");
        QTest::newRow("no files: built in") << QString() << QString() << BuiltInHomePageUrl();
        QTest::newRow("loto6 only")
            << "https://l6.example.org/" << QString() << "https://l6.example.org/";
        QTest::newRow("both: mini wins") << "https://l6.example.org/"
                                         << "http://mini.example.org/top.html"
                                         << "http://mini.example.org/top.html";
    }

    void homePage_lastFileWins()
    {
        QFETCH(QString, loto6Home);
        QFETCH(QString, miniHome);
        QFETCH(QString, opened);
        if (!loto6Home.isNull())
            writeLoto6(WebSection(loto6Home));
        if (!miniHome.isNull())
            writeMini(WebSection(miniHome));
        auto w = start();
        QTest::mouseClick(w->CmdHP, Qt::LeftButton);
        QCOMPARE(m_dialogs.openedUrls, QList<QUrl>{QUrl(opened)});
    }

    void homePage_notAWebAddress_notOpened_data()
    {
        QTest::addColumn<QString>("home");
        QTest::newRow("local program") << "C:\\Windows\\System32\\calc.exe";
        QTest::newRow("unix path") << "/usr/bin/xterm";
        QTest::newRow("file url") << "file:///etc/passwd";
        QTest::newRow("javascript") << "javascript:alert(1)";
        QTest::newRow("network share") << "\\\\server\\share\\setup.exe";
        QTest::newRow("other scheme") << "ftp://example.org/";
        QTest::newRow("no host") << "http:///zanbo/";
    }

    void homePage_notAWebAddress_notOpened()
    {
        QFETCH(QString, home);
        writeMini(WebSection(home));
        auto w = start();
        QCOMPARE(w->Links.HomePageUrl, home);
        w->CmdHP_Click();
        QVERIFY(m_dialogs.openedUrls.isEmpty());
    }

    void changeWebButton_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("enabledAfter"); // both start enabled, then disabled once
        QTest::newRow("0 enables") << 0 << true;
        QTest::newRow("1 disables") << 1 << false;
        QTest::newRow("2 changes nothing") << 2 << false;
        QTest::newRow("-1 changes nothing") << -1 << false;
    }

    void changeWebButton()
    {
        QFETCH(int, value);
        QFETCH(bool, enabledAfter);
        auto w = start();
        w->ChangeWebButton(1);
        w->ChangeWebButton(value);
        QCOMPARE(w->CmdHP->isEnabled(), enabledAfter);
        QCOMPARE(w->CmdReadPattern->isEnabled(), enabledAfter);
        QVERIFY(w->CmdHelp->isEnabled());
    }

    // --------------------------------------------------------------- options

    void optionsOk_disablesWebButtonsNowAndAfterRestart()
    {
        {
            auto w = start();
            w->show();
            OnNextModal([](QWidget *modal) {
                auto *dialog = qobject_cast<DlgOption *>(modal);
                QVERIFY(dialog);
                QVERIFY(!dialog->ChkNoWeb->isChecked());
                dialog->ChkNoWeb->setChecked(true);
                QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
            });
            QTest::mouseClick(w->CmdOption, Qt::LeftButton);
            QCOMPARE(w->NoWeb, 1);
            QVERIFY(!w->CmdHP->isEnabled());
            QVERIFY(!w->CmdReadPattern->isEnabled());
            QVERIFY(w->CmdHelp->isEnabled());
            w->close();
        }
        auto w = start();
        QCOMPARE(w->NoWeb, 1);
        QVERIFY(!w->CmdHP->isEnabled());
        QVERIFY(!w->CmdReadPattern->isEnabled());
        QTest::mouseClick(w->CmdHelp, Qt::LeftButton);
        QCOMPARE(m_dialogs.openedUrls, QList<QUrl>{QUrl(HelpPageUrl())});
        QVERIFY(m_dialogs.warnings.isEmpty());
        // Without a browser the user is told, with the address to copy.
        m_dialogs.browserStarts = false;
        QTest::mouseClick(w->CmdHelp, Qt::LeftButton);
        QCOMPARE(m_dialogs.warnings.size(), 1);
        QVERIFY(m_dialogs.warnings[0].text.contains(HelpPageUrl()));
    }

    // Each address lands under its own key of [DRAWS]; an address that is not
    // http or https keeps the dialog open and writes nothing.
    void optionsDrawSources_savedUnderTheirKeysOrRefused_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("LOTO6, second, https")
            << 1 << QStringLiteral("https://example.org/loto6.csv") << true;
        QTest::newRow("Mini LOTO, first, http")
            << 2 << QStringLiteral("http://127.0.0.1:8080/mini.csv") << true;
        QTest::newRow("ftp") << 3 << QStringLiteral("ftp://example.org/mini.csv") << false;
        QTest::newRow("no host") << 0 << QStringLiteral("https:///loto6.csv") << false;
    }

    void optionsDrawSources_savedUnderTheirKeysOrRefused()
    {
        QFETCH(int, index);
        QFETCH(QString, address);
        QFETCH(bool, accepted);
        auto w = start();
        DlgOption dialog(*w, w.get());
        dialog.TxtDrawUrl[size_t(index)]->setText(address);
        dialog.ChkCheckDraws->setChecked(true);
        dialog.OKButton_Click();
        QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
        QCOMPARE(dialog.LblUrlMessage->text().isEmpty(), accepted);
        const QStringList keys{QStringLiteral("L6URL1"), QStringLiteral("L6URL2"),
                               QStringLiteral("MLURL1"), QStringLiteral("MLURL2")};
        const QString ini = folder() + QStringLiteral("zanbo.ini");
        for (int i = 0; i < keys.size(); ++i)
            QCOMPARE(ReadIniValue(ini, QStringLiteral("DRAWS"), keys.at(i)),
                     accepted && i == index ? address : QStringLiteral("ERR"));
        QCOMPARE(ReadIniValue(ini, QStringLiteral("DRAWS"), QStringLiteral("CHECKATSTART")),
                 accepted ? QStringLiteral("1") : QStringLiteral("ERR"));
    }

    void optionsCancelOrCloseBox_changesNothing_reopenShowsLastConfirmed_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("cancel button") << false;
        QTest::newRow("title-bar close") << true;
    }

    void optionsCancelOrCloseBox_changesNothing_reopenShowsLastConfirmed()
    {
        QFETCH(bool, closeBox);
        auto w = start();
        const auto leave = [closeBox](QWidget *modal) {
            auto *dialog = qobject_cast<DlgOption *>(modal);
            QVERIFY(dialog);
            dialog->ChkNoWeb->setChecked(!dialog->ChkNoWeb->isChecked());
            if (closeBox)
                dialog->close();
            else
                QTest::mouseClick(dialog->CancelButton, Qt::LeftButton);
        };
        OnNextModal(leave);
        w->CmdOption_Click();
        QCOMPARE(w->NoWeb, 0);
        QVERIFY(w->CmdHP->isEnabled());
        QVERIFY(w->CmdReadPattern->isEnabled());

        OnNextModal([](QWidget *modal) {
            auto *dialog = qobject_cast<DlgOption *>(modal);
            QVERIFY(!dialog->ChkNoWeb->isChecked());
            dialog->ChkNoWeb->setChecked(true);
            dialog->OKButton_Click();
        });
        w->CmdOption_Click();
        QCOMPARE(w->NoWeb, 1);

        OnNextModal(leave);
        w->CmdOption_Click();
        QCOMPARE(w->NoWeb, 1);
        QVERIFY(!w->CmdHP->isEnabled());

        bool shownTicked = false;
        OnNextModal([&shownTicked](QWidget *modal) {
            auto *dialog = qobject_cast<DlgOption *>(modal);
            shownTicked = dialog->ChkNoWeb->isChecked();
            dialog->close();
        });
        w->CmdOption_Click();
        QVERIFY(shownTicked);
        // Each showing is a fresh dialog, gone once closed.
        QTRY_VERIFY(w->findChildren<DlgOption *>().isEmpty());
    }

    void optionsDialog_showsVersion_centredOnMain()
    {
        auto w = start();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        OnNextModal([&w](QWidget *modal) {
            auto *dialog = qobject_cast<DlgOption *>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->LblVer->text(), QStringLiteral("Zanbo Ver.2.0.10"));
            // Captions larger than their design size grow instead of being cut.
            QVERIFY(dialog->LblVer->width() >= dialog->LblVer->sizeHint().width());
            QVERIFY(dialog->Label2->width() >= dialog->Label2->sizeHint().width());
            const QPoint offset = dialog->frameGeometry().center() - w->frameGeometry().center();
            QVERIFY(offset.manhattanLength() < 40);
            SaveScreenshot(dialog, QStringLiteral("options_dialog"));
            dialog->close();
        });
        w->CmdOption_Click();
    }
};

QTEST_MAIN(JudgeAndWebTest)
#include "tst_JudgeAndWeb.moc"
