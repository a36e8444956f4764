#include "support/FakeDialogs.h"
#include "support/GridDriver.h"
#include "support/PatternFiles.h"
#include "support/Screenshots.h"

#include "core/PatternTables.h"
#include "core/Statistics.h"
#include "core/WinningNumbers.h"
#include "storage/FilePathCommands.h"
#include "ui/BoardSlider.h"
#include "ui/Form1.h"
#include "ui/ResultGrid.h"
#include "ui/TextBoxLines.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString StandardEntry = QStringLiteral("標準（予測パターン無し）");
const QString Separator = QStringLiteral("\r\n-----------------\r\n\r\n");

// A program folder of its own for every case.
struct Setup
{
    QTemporaryDir dir;
    FakeDialogs dialogs;
    std::unique_ptr<Form1> w;

    QString folder() const { return AddPathSeparator(dir.path()); }
    void write(const QString &name, const QString &text)
    {
        WriteFileBytes(folder() + name, Cp932Lines(text));
    }
    void copySample(const QString &name)
    {
        QFile::remove(folder() + name);
        QVERIFY(QFile::copy(QStringLiteral(ZANBO_SOURCE_DIR "/data/") + name, folder() + name));
    }
    void copySamples()
    {
        copySample(QStringLiteral("zanbol6.txt"));
        copySample(QStringLiteral("zanboml.txt"));
    }
    Form1 &start()
    {
        w = std::make_unique<Form1>(folder(), dialogs);
        w->Random.seed(20261205);
        return *w;
    }
};

// The 43 slider values as one digit string, easy to compare and to read.
QString Board(const Form1 &w)
{
    QString s;
    for (int i = 1; i <= 43; ++i)
        s += QString::number(w.Slider1[i]->value());
    return s;
}

QString Custom(const Form1 &w)
{
    QString s;
    for (int i = 1; i <= 43; ++i)
        s += QString::number(w.CustomSettings[i]);
    return s;
}

void SetBoard(Form1 &w, const QString &digits)
{
    for (int i = 1; i <= 43; ++i)
        QVERIFY(w.Slider1[i]->setValueChecked(digits.at(i - 1).digitValue()));
}

// What a user's pick does: the selection changes, then the handler runs.
void PickPattern(Form1 &w, int j)
{
    w.CmbPattern->setCurrentIndex(j);
    emit w.CmbPattern->activated(j);
}

void PickGame(Form1 &w, int g)
{
    w.CmbSwitch->setCurrentIndex(g);
    emit w.CmbSwitch->activated(g);
}

QStringList ListEntries(const Form1 &w)
{
    QStringList entries;
    for (int j = 0; j < w.CmbPattern->count(); ++j)
        entries << w.CmbPattern->itemText(j);
    return entries;
}

QString Message(const Form1 &w)
{
    return MessageText(w.TxtMessage);
}

QString Repeat(QChar c, int n)
{
    return QString(n, c);
}

const QString SampleMessageLoto6 = QStringLiteral(
    "2026/12/05 版 サンプルパターン\r\n"
    "ロト６の動作を確かめるためのサンプルです。お好みのパターンを選んで実行ボタンを押してください。"
    "\r\n"
    "実際の抽せん結果を予想するものではありません。\r\n");

// A LOTO6 file whose PAT2 has no name.
const QString NamelessSecondPattern = QStringLiteral(
    "[MSG]\nMSG=1\nMSG1=壊れた名前の確認\n"
    "[PATTERN]\nPAT=3\nPAT1=1111111111111111111111111111111111111111111\n"
    "PAT2=5555555555555555555555555555555555555555555\nPAT3=2\n"
    "[PATTERNNAME]\nPAT1=全部プラス\nPAT3=一番だけ\n"
    "[PATTERNCOMMENT]\nPAT1=全部を＋側に\nPAT2=全部を－側に\nPAT3=1だけ少し＋側に\n");

} // namespace

class BoardTest : public QObject
{
    Q_OBJECT

private slots:
    void missingFiles_welcomeTextAndStandardEntryOnly_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<int>("game");
        QTest::addColumn<QString>("gameName");
        QTest::newRow("first start") << QString() << 0 << QStringLiteral("ロト６");
        QTest::newRow("last game Mini LOTO")
            << QStringLiteral("[ALL]\nL6ML=ミニロト\n") << 1 << QStringLiteral("ミニロト");
    }
    void missingFiles_welcomeTextAndStandardEntryOnly()
    {
        QFETCH(QString, ini);
        QFETCH(int, game);
        QFETCH(QString, gameName);
        Setup s;
        if (!ini.isEmpty())
            s.write(QStringLiteral("zanbo.ini"), ini);
        Form1 &w = s.start();

        QCOMPARE(w.currentGame(), game);
        QCOMPARE(ListEntries(w), QStringList{StandardEntry});
        QCOMPARE(w.CmbPattern->currentIndex(), 0);
        const QStringList lines = Message(w).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.first(), QStringLiteral("Zanboへようこそ！ "));
        QCOMPARE(lines.last(), QStringLiteral("(現在") + gameName
                                   + QStringLiteral("用のパターンファイルがありません)"));
        for (int i = 32; i <= 43; ++i) {
            QCOMPARE(w.Slider1[i]->isHidden(), game == 1);
            QCOMPARE(w.Label1[i]->isHidden(), game == 1);
        }
        QVERIFY(!w.Slider1[31]->isHidden());
    }

    // The sample files are what a user tries first: every pattern must load
    // and set the board it promises.
    void sampleFiles_patternsSetTheBoard_data()
    {
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("pattern");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("board");
        const QString high = QStringLiteral("111111111111"); // 32..43 as left by the user
        QTest::newRow("LOTO6 small numbers")
            << 0 << 1 << QStringLiteral("小さい数字を重視") << Repeat(u'1', 10) + Repeat(u'3', 33);
        QTest::newRow("LOTO6 no high numbers")
            << 0 << 2 << QStringLiteral("大きい数字は控えめ") << Repeat(u'3', 36) + Repeat(u'5', 7);
        QTest::newRow("LOTO6 odd numbers")
            << 0 << 3 << QStringLiteral("奇数を多めに")
            << QStringLiteral("2424242424242424242424242424242424242424242");
        QTest::newRow("LOTO6 middle") << 0 << 4 << QStringLiteral("中ほどの数字を重視")
                                      << Repeat(u'4', 10) + Repeat(u'2', 20) + Repeat(u'4', 13);
        QTest::newRow("Mini LOTO small numbers") << 1 << 1 << QStringLiteral("小さい数字を重視")
                                                 << Repeat(u'1', 10) + Repeat(u'3', 21) + high;
        QTest::newRow("Mini LOTO no high numbers") << 1 << 2 << QStringLiteral("大きい数字は控えめ")
                                                   << Repeat(u'3', 25) + Repeat(u'5', 6) + high;
        QTest::newRow("Mini LOTO even numbers")
            << 1 << 3 << QStringLiteral("偶数を多めに")
            << QStringLiteral("4242424242424242424242424242424") + high;
    }
    void sampleFiles_patternsSetTheBoard()
    {
        QFETCH(int, game);
        QFETCH(int, pattern);
        QFETCH(QString, name);
        QFETCH(QString, board);
        Setup s;
        s.copySamples();
        Form1 &w = s.start();
        // The user's own setting for the numbers Mini LOTO lacks.
        SetBoard(w, Repeat(u'3', 31) + Repeat(u'1', 12));
        PickGame(w, game);

        QCOMPARE(w.CmbPattern->count(), game == 0 ? 5 : 4);
        QCOMPARE(w.CmbPattern->itemText(0), StandardEntry);
        QCOMPARE(w.CmbPattern->itemText(pattern), name);
        PickPattern(w, pattern);
        QCOMPARE(Board(w), board);
        QCOMPARE(Custom(w), Repeat(u'3', 31) + Repeat(u'1', 12));

        const QStringList lines = Message(w).split(QStringLiteral("\r\n"));
        QVERIFY(lines.at(0).endsWith(QStringLiteral("しています。")));
        QCOMPARE(lines.at(1), QStringLiteral("-----------------"));
        QCOMPARE(lines.at(3), QStringLiteral("2026/12/05 版 サンプルパターン"));

        // Both sample draws read as draws, so the judgement has something to show.
        const auto draw = ReadWinningNumbers(w.GameTable, game);
        QVERIFY(draw.has_value());
        QCOMPARE(draw->Numbers[BonusSlot], game == 0 ? 23 : 12);
    }

    void sampleFiles_messageAndReloadAfterDownload()
    {
        Setup s;
        Form1 &w = s.start();
        QCOMPARE(w.CmbPattern->count(), 1);
        // What the download dialog does once the files are in place.
        s.copySamples();
        PickPattern(w, 0);
        w.CheckPatternFile();
        w.CmbSwitch_Click();
        QCOMPARE(w.CmbPattern->count(), 5);
        QCOMPARE(w.CmbPattern->currentIndex(), 0);
        QCOMPARE(Message(w), SampleMessageLoto6);

        PickPattern(w, 1);
        QCOMPARE(Message(w), QStringLiteral("1～10の数字が出やすくなるように設定しています。")
                                 + Separator + SampleMessageLoto6);
        // A rebuild drops the ready-made pattern in favour of the user's settings.
        w.CheckPatternFile();
        w.CmbSwitch_Click();
        QCOMPARE(w.CmbPattern->currentIndex(), 0);
        QCOMPARE(Board(w), Repeat(u'3', 43));
        QCOMPARE(Message(w), SampleMessageLoto6);
    }

    void brokenEntry_listedButLeavesBoardAlone()
    {
        Setup s;
        s.write(QStringLiteral("zanbol6.txt"), NamelessSecondPattern);
        Form1 &w = s.start();
        QCOMPARE(ListEntries(w), (QStringList{StandardEntry, QStringLiteral("全部プラス"),
                                              BrokenPatternName(), QStringLiteral("一番だけ")}));

        PickPattern(w, 1);
        QCOMPARE(Board(w), Repeat(u'1', 43));
        PickPattern(w, 2);
        QCOMPARE(Board(w), Repeat(u'1', 43));
        QCOMPARE(Message(w),
                 BrokenPatternName() + Separator + QStringLiteral("壊れた名前の確認\r\n"));
        // A one-character digit string: the rest reads as neutral.
        PickPattern(w, 3);
        QCOMPARE(Board(w), QStringLiteral("2") + Repeat(u'3', 42));
    }

    void boardMessage_followsTheFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("entries");
        const QString pattern = QStringLiteral(
            "[PATTERN]\nPAT=1\nPAT1=1\n[PATTERNNAME]\nPAT1=一つ\n");
        QTest::newRow("MSG 0: empty message")
            << QStringLiteral("[MSG]\nMSG=0\n") + pattern << QString() << 2;
        QTest::newRow("MSG missing: welcome text, patterns still load")
            << pattern << NoFileMessage(QStringLiteral("ロト６")) << 2;
        QTest::newRow("MSG line missing reads ERR")
            << QStringLiteral("[MSG]\nMSG=2\nMSG1=一行目\n") + pattern
            << QStringLiteral("一行目\r\nERR\r\n") << 2;
        QTest::newRow("PAT not a number")
            << QStringLiteral("[MSG]\nMSG=1\nMSG1=a\n[PATTERN]\nPAT=3x\n")
            << DamagedFileMessage(QStringLiteral("ロト６")) << 1;
        QTest::newRow("PAT negative") << QStringLiteral("[MSG]\nMSG=1\nMSG1=a\n[PATTERN]\nPAT=-2\n")
                                      << DamagedFileMessage(QStringLiteral("ロト６")) << 1;
        QTest::newRow("PAT huge") << QStringLiteral("[PATTERN]\nPAT=2000000000\n")
                                  << DamagedFileMessage(QStringLiteral("ロト６")) << 1;
        QTest::newRow("MSG a fraction") << QStringLiteral("[MSG]\nMSG=1.5\n") + pattern
                                        << DamagedFileMessage(QStringLiteral("ロト６")) << 1;
    }
    void boardMessage_followsTheFile()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        QFETCH(int, entries);
        Setup s;
        s.write(QStringLiteral("zanbol6.txt"), file);
        s.copySample(QStringLiteral("zanboml.txt"));
        Form1 &w = s.start();
        QCOMPARE(Message(w), message);
        QCOMPARE(w.CmbPattern->count(), entries);
        // The other game's file is untouched by this one's damage.
        PickGame(w, 1);
        QCOMPARE(w.CmbPattern->count(), 4);
    }

    void reset_asksAndSetsEveryNeutral_data()
    {
        QTest::addColumn<int>("game");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<int>("pattern");
        QTest::newRow("LOTO6 cancel") << 0 << false << 0;
        QTest::newRow("LOTO6 OK") << 0 << true << 0;
        QTest::newRow("Mini LOTO OK, hidden sliders too") << 1 << true << 0;
        QTest::newRow("Mini LOTO cancel") << 1 << false << 0;
        QTest::newRow("LOTO6 OK with a pattern selected") << 0 << true << 4;
        QTest::newRow("Mini LOTO OK with a pattern selected") << 1 << true << 1;
    }
    void reset_asksAndSetsEveryNeutral()
    {
        QFETCH(int, game);
        QFETCH(bool, answer);
        QFETCH(int, pattern);
        Setup s;
        s.copySamples();
        Form1 &w = s.start();
        const QString own = QStringLiteral("1234512345123451234512345123451234512345123");
        SetBoard(w, own);
        PickGame(w, game);
        PickPattern(w, pattern);
        const QString before = Board(w);

        s.dialogs.confirmAnswers.push_back(answer);
        w.CmdCntReset->click();
        QCOMPARE(s.dialogs.questions.size(), 1);
        QCOMPARE(s.dialogs.questions[0].text, QStringLiteral("パターン制御盤をリセットしますか？"));
        QCOMPARE(s.dialogs.questions[0].title, QStringLiteral("リセット"));
        QCOMPARE(s.dialogs.questions[0].icon, QMessageBox::Question);

        QCOMPARE(w.CmbPattern->currentIndex(), pattern);
        QCOMPARE(Board(w), answer ? Repeat(u'3', 43) : before);
        // The user's own settings follow the board only with entry 0 selected.
        QCOMPARE(Custom(w), answer && pattern == 0 ? Repeat(u'3', 43) : own);
    }

    void standardEntry_bringsBackUsersOwnSettings()
    {
        Setup s;
        s.copySamples();
        Form1 &w = s.start();
        QVERIFY(w.Slider1[7]->setValueChecked(1));
        PickPattern(w, 2);
        QCOMPARE(w.Slider1[7]->value(), 3);
        // Moving a slider under a ready-made pattern changes the board only.
        QVERIFY(w.Slider1[8]->setValueChecked(5));
        w.Slider1_Scroll(8);
        QCOMPARE(w.CustomSettings[8], 3);
        PickPattern(w, 0);
        QCOMPARE(Board(w), Repeat(u'3', 6) + QStringLiteral("1") + Repeat(u'3', 36));
        QCOMPARE(Message(w), SampleMessageLoto6);
    }

    void applyPattern_perCharacter_data()
    {
        QTest::addColumn<int>("game");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("after");
        const QString twos = Repeat(u'2', 43);
        QTest::newRow("15x") << 0 << twos << QStringLiteral("15x")
                             << QStringLiteral("15") + Repeat(u'3', 41);
        QTest::newRow("9 leaves its slider")
            << 0 << twos << QStringLiteral("1111911111") + Repeat(u'5', 33)
            << QStringLiteral("1111211111") + Repeat(u'5', 33);
        QTest::newRow("0 and 6 leave theirs")
            << 0 << twos << QStringLiteral("0") + Repeat(u'4', 41) + QStringLiteral("6")
            << QStringLiteral("2") + Repeat(u'4', 41) + QStringLiteral("2");
        QTest::newRow("fullwidth digit is not a digit")
            << 0 << twos << QStringLiteral("１") + Repeat(u'1', 42)
            << QStringLiteral("3") + Repeat(u'1', 42);
        QTest::newRow("empty string") << 0 << twos << QString() << Repeat(u'3', 43);
        QTest::newRow("longer than the board") << 0 << twos << Repeat(u'4', 50) << Repeat(u'4', 43);
        QTest::newRow("Mini LOTO leaves 32..43")
            << 1 << twos << Repeat(u'1', 43) << Repeat(u'1', 31) + Repeat(u'2', 12);
    }
    void applyPattern_perCharacter()
    {
        QFETCH(int, game);
        QFETCH(QString, before);
        QFETCH(QString, digits);
        QFETCH(QString, after);
        Setup s;
        Form1 &w = s.start();
        PickGame(w, game);
        SetBoard(w, before);
        w.ApplyPattern(digits, game);
        QCOMPARE(Board(w), after);
    }

    void countSlider_labelAtOnceRowsAtNextRun()
    {
        Setup s;
        Form1 &w = s.start();
        w.SldKosu->setValue(25);
        QCOMPARE(w.LblKosu->text(), QStringLiteral("25"));
        QCOMPARE(w.FGkekka[0]->rowCount(), 11);
        w.CmdRun->click();
        QCOMPARE(w.FGkekka[0]->rowCount(), 26);
        QCOMPARE(w.FGkekka[0]->text(25, 0), QStringLiteral("25"));
        QVERIFY(!w.FGkekka[0]->text(25, 1).isEmpty());
        w.SldKosu->setValue(1);
        w.CmdRun->click();
        QCOMPARE(w.FGkekka[0]->rowCount(), 2);
    }

    void run_rowsAreValidCombinations_data()
    {
        QTest::addColumn<int>("game");
        QTest::addColumn<QString>("board");
        QTest::addColumn<int>("rows");
        QTest::newRow("LOTO6 neutral") << 0 << Repeat(u'3', 43) << 100;
        QTest::newRow("LOTO6 extremes") << 0 << QStringLiteral("1") + Repeat(u'5', 42) << 100;
        QTest::newRow("Mini LOTO, 32..43 favoured but absent")
            << 1 << Repeat(u'5', 31) + Repeat(u'1', 12) << 100;
        QTest::newRow("Mini LOTO one row") << 1 << Repeat(u'3', 43) << 1;
        QTest::newRow("LOTO7 neutral") << 2 << Repeat(u'3', 43) << 100;
        QTest::newRow("LOTO7 extremes, 38..43 favoured but absent")
            << 2 << QStringLiteral("1") + Repeat(u'5', 36) + Repeat(u'1', 6) << 100;
    }
    void run_rowsAreValidCombinations()
    {
        QFETCH(int, game);
        QFETCH(QString, board);
        QFETCH(int, rows);
        Setup s;
        Form1 &w = s.start();
        SetBoard(w, board); // entry 0, so a switch puts it back
        PickGame(w, game);
        QCOMPARE(Board(w), board);
        w.SldKosu->setValue(rows);
        w.CmdRun->click();
        QVERIFY(w.CmdRun->isEnabled());

        const int n = GameInfoOf(game).MaxNumber;
        const int k = GameInfoOf(game).PickCount;
        // LOTO7 has a seventh number column before the statistics.
        const GridLayout layout = GridLayoutFor(k);
        ResultGrid *grid = w.FGkekka[0];
        QCOMPARE(grid->rowCount(), rows + 1);
        QCOMPARE(grid->columnCount(), layout.columnCount());
        QStringList header;
        for (int c = 0; c < layout.columnCount(); ++c)
            header << grid->text(0, c);
        QStringList expectedHeader{QString()};
        for (int c = 1; c <= layout.NumberColumns; ++c)
            expectedHeader << (c <= k ? QStringLiteral("#") + QString::number(c) : QString());
        expectedHeader << QStringLiteral("合計") << QStringLiteral("偏差")
                       << QStringLiteral("奇数");
        QCOMPARE(header, expectedHeader);
        for (int i = 32; i <= 43; ++i)
            QCOMPARE(w.Slider1[size_t(i)]->isVisibleTo(&w), i <= n);

        int favoured = 0;
        for (int r = 1; r <= rows; ++r) {
            QCOMPARE(grid->text(r, 0), QString::number(r));
            Combination numbers{};
            for (int c = 1; c <= k; ++c) {
                const QString cell = grid->text(r, c);
                bool ok = false;
                numbers[c] = cell.toInt(&ok);
                QVERIFY2(ok && cell == QString::number(numbers[c]), qPrintable(cell));
                QVERIFY(numbers[c] >= 1 && numbers[c] <= n);
                if (c > 1)
                    QVERIFY(numbers[c] > numbers[c - 1]);
            }
            favoured += numbers[1] == 1;
            if (game == 1)
                QVERIFY(grid->text(r, 6).isEmpty());
            QCOMPARE(grid->text(r, layout.sumColumn()),
                     QString::number(CombinationSum(numbers, k)));
            QCOMPARE(grid->text(r, layout.deviationColumn()),
                     QString::number(CombinationDeviation(numbers, k)));
            QCOMPARE(grid->text(r, layout.oddColumn()),
                     QString::number(CombinationOddCount(numbers, k)));
        }
        // The thresholds reach the generator: 1 at "+" against all others at
        // "－" enters about nine rows in ten, against one in seven when neutral.
        if (board.startsWith(QStringLiteral("15")))
            QVERIFY2(favoured > 70, qPrintable(QString::number(favoured)));
    }

    void run_headersOfBothGridsFollowTheGame()
    {
        Setup s;
        Form1 &w = s.start();
        ResultGrid *save = w.FGkekka[1];
        // Rows the user kept, one of each game.
        save->setRowCount(3);
        const QStringList kept{QStringLiteral("1\t3\t9\t16\t24\t30\t\t112\t10\t2"),
                               QStringLiteral("2\t1\t2\t3\t4\t5\t6\t21\t2\t3")};
        for (int r = 0; r < kept.size(); ++r) {
            const QStringList cells = kept[r].split(u'\t');
            for (int c = 0; c < cells.size(); ++c)
                save->setText(r + 1, c, cells[c]);
        }

        w.CmdRun->click();
        PickGame(w, 1);
        QCOMPARE(save->text(0, 5), QStringLiteral("#5"));
        QCOMPARE(save->text(0, SumColumn), QStringLiteral("合計"));
        // The prediction grid is emptied by a switch, its rows renumbered.
        for (int c = 1; c < 10; ++c)
            QVERIFY(w.FGkekka[0]->text(3, c).isEmpty());
        QCOMPARE(w.FGkekka[0]->text(3, 0), QStringLiteral("3"));
        QCOMPARE(w.FGkekka[0]->text(0, 6), QString());
        PickGame(w, 0);
        PickGame(w, 1);

        QCOMPARE(save->rowCount(), 3);
        for (int r = 0; r < kept.size(); ++r) {
            const QStringList cells = kept[r].split(u'\t');
            for (int c = 0; c < cells.size(); ++c)
                QCOMPARE(save->text(r + 1, c), cells[c]);
        }
    }

    void pickingTheShownGame_changesNothing()
    {
        Setup s;
        s.copySamples();
        Form1 &w = s.start();
        PickGame(w, 1);
        PickPattern(w, 2);
        w.CmdRun->click();
        const QList<QStringList> rows = DataRows(w.FGkekka[0]);
        const QString board = Board(w);
        PickGame(w, 1);
        QCOMPARE(DataRows(w.FGkekka[0]), rows);
        QCOMPARE(w.CmbPattern->currentIndex(), 2);
        QCOMPARE(Board(w), board);
    }

    // A bar reads as "more": the "+" end shows the fuller track.
    void slider_fillsTowardTheFavouredEnd()
    {
        Setup s;
        Form1 &w = s.start();
        BoardSlider *slider = w.Slider1[1];
        QPalette palette = slider->palette();
        palette.setColor(QPalette::Highlight, QColor(0, 200, 0));
        slider->setPalette(palette);
        const auto filled = [slider] {
            const QImage image = slider->grab().toImage();
            int green = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    green += c.green() > c.red() + 60 && c.green() > c.blue() + 60;
                }
            return green;
        };
        QVERIFY(slider->setValueChecked(1));
        const int plus = filled();
        QVERIFY(slider->setValueChecked(5));
        const int minus = filled();
        QVERIFY2(plus > 2 * minus, qPrintable(QStringLiteral("%1 %2").arg(plus).arg(minus)));
    }

    // The board is one Tab stop whose arrows move between the visible
    // sliders; a caption that shows a letter answers to Alt with it, and the
    // move buttons have keys of their own.
    void keyboard_boardIsOneTabStop_captionsGiveKeys()
    {
        Setup s;
        s.copySamples();
        Form1 &w = s.start();
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(w.Slider1[2]->focusPolicy(), Qt::ClickFocus);
        w.Slider1[1]->setFocus();
        QTest::keyClick(w.Slider1[1], Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget(), w.Slider1[2]);
        QCOMPARE(w.Slider1[1]->value(), 3);
        QCOMPARE(w.Slider1[2]->focusPolicy(), Qt::StrongFocus);
        QTest::keyClick(w.Slider1[2], Qt::Key_Tab);
        QVERIFY(!qobject_cast<BoardSlider *>(QApplication::focusWidget()));
        PickGame(w, 1);
        w.Slider1[31]->setFocus();
        QTest::keyClick(w.Slider1[31], Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget(), w.Slider1[31]);

        for (const auto &[button, key] :
             {std::pair{w.CmdSave, Qt::Key_S}, std::pair{w.CmdCopy[0], Qt::Key_M},
              std::pair{w.CmdCopy[1], Qt::Key_X}}) {
            button->setEnabled(true);
            QSignalSpy clicked(button, &QAbstractButton::clicked);
            // Nothing answers the dialogs a click may open.
            QTest::keyClick(&w, key, Qt::AltModifier);
            QVERIFY2(clicked.count() == 1 || clicked.wait(1000), qPrintable(button->objectName()));
        }
        QCOMPARE(w.CmdSave->text(), QStringLiteral("保存(S)"));
    }

    void gameSwitch_hidesAndShowsHighNumbers()
    {
        Setup s;
        s.copySamples();
        Form1 &w = s.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window()));
        QVERIFY(w.Slider1[40]->setValueChecked(1));
        PickGame(w, 1);
        for (int i = 1; i <= 43; ++i) {
            QCOMPARE(w.Slider1[i]->isVisible(), i <= 31);
            QCOMPARE(w.Label1[i]->isVisible(), i <= 31);
        }
        QCOMPARE(Message(w).section(QStringLiteral("\r\n"), 1, 1),
                 QStringLiteral("ミニロトの動作を確かめるためのサンプルです。"
                                "お好みのパターンを選んで実行ボタンを押してください。"));
        PickPattern(w, 2);
        w.CmdRun->click();
        SaveScreenshot(&w, QStringLiteral("main_switch_miniloto"));

        PickGame(w, 0);
        for (int i = 32; i <= 43; ++i) {
            QVERIFY(w.Slider1[i]->isVisible());
            QVERIFY(w.Label1[i]->isVisible());
        }
        QCOMPARE(w.Slider1[40]->value(), 1);
        QCOMPARE(w.Slider1[30]->value(), 3);
    }

    void screenshot_runWithPatternLoto6()
    {
        Setup s;
        s.copySamples();
        Form1 &w = s.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window()));
        PickPattern(w, 1);
        w.SldKosu->setValue(20);
        w.CmdRun->click();
        QCOMPARE(w.FGkekka[0]->rowCount(), 21);
        SaveScreenshot(&w, QStringLiteral("main_run_pattern_loto6"));
    }
};

QTEST_MAIN(BoardTest)
#include "tst_Board.moc"
