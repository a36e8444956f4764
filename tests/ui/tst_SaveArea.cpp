#include "support/FakeDialogs.h"
#include "support/GridDriver.h"
#include "support/PatternFiles.h"
#include "support/Screenshots.h"

#include "core/TicketRows.h"
#include "storage/FilePathCommands.h"
#include "storage/SaveFile.h"
#include "ui/Form1.h"
#include "ui/ResultGrid.h"
#include "ui/ResultGridModel.h"
#include "ui/UserDialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <sys/stat.h>

namespace {

// "3 5 11 18 27 33 41 135 12 5" as ten cells; "-" stands for an empty cell.
QStringList Row(const QString &cells)
{
    QStringList row = cells.split(QLatin1Char(' '));
    for (QString &cell : row)
        if (cell == QLatin1String("-"))
            cell.clear();
    return row;
}

// A distinct LOTO6 row numbered k.
QStringList SampleRow(int k)
{
    QStringList row{QString::number(k)};
    int sum = 0;
    for (int i = 0; i < 6; ++i) {
        row << QString::number(k + 6 * i);
        sum += k + 6 * i;
    }
    row << QString::number(sum) << QStringLiteral("11") << QString::number(k % 2 ? 6 : 0);
    return row;
}

void SetHeader(ResultGrid *grid)
{
    for (int k = 1; k <= 6; ++k)
        grid->setText(0, k, QStringLiteral("#%1").arg(k));
    grid->setText(0, 7, QStringLiteral("合計"));
    grid->setText(0, 8, QStringLiteral("偏差"));
    grid->setText(0, 9, QStringLiteral("奇数"));
}

void Fill(ResultGrid *grid, const QList<QStringList> &rows)
{
    grid->setRowCount(int(rows.size()) + 1);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size() && c < grid->columnCount(); ++c)
            grid->setText(r + 1, c, rows[r][c]);
}

QStringList Numbers(std::initializer_list<int> values)
{
    QStringList texts;
    for (int v : values)
        texts << QString::number(v);
    return texts;
}

const QByteArray ExampleFile("Zanbo\r\n 2 \r\n 9 \r\n"
                             "3\t5\t11\t18\t27\t33\t41\t135\t12\t5\r"
                             "7\t2\t9\t14\t23\t30\t\t78\t10\t2\r\n");

} // namespace

// The two result grids' click handler and the save area: moves between the
// grids, the save file through the buttons, clear.
class SaveAreaTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeDialogs> m_dialogs;
    std::unique_ptr<Form1> m_w;

    QString path(const QString &name) const { return m_dir->filePath(name); }
    ResultGrid *grid(int i) const { return m_w->FGkekka[i]; }
    void showWindow()
    {
        m_w->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_w.get()));
    }
    void pickGame(int g)
    {
        m_w->CmbSwitch->setCurrentIndex(g);
        emit m_w->CmbSwitch->activated(g);
    }
    // The enabled states of CmdCopy_0, CmdCopy_1, CmdSave, CmdJudge.
    QList<bool> buttons() const
    {
        return {m_w->CmdCopy[0]->isEnabled(), m_w->CmdCopy[1]->isEnabled(),
                m_w->CmdSave->isEnabled(), m_w->CmdJudge->isEnabled()};
    }
    void setButtons(bool copy0, bool copy1, bool save)
    {
        m_w->CmdCopy[0]->setEnabled(copy0);
        m_w->CmdCopy[1]->setEnabled(copy1);
        m_w->SetSaveAreaButtons(save);
    }
    void load(const QByteArray &bytes, bool answer = true)
    {
        WriteFileBytes(path(QStringLiteral("in.loto")), bytes);
        m_dialogs->fileNames.push_back(path(QStringLiteral("in.loto")));
        m_dialogs->confirmAnswers.push_back(answer);
        m_w->CmdLoad_Click();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_dialogs = std::make_unique<FakeDialogs>();
        m_w = std::make_unique<Form1>(AddPathSeparator(m_dir->path()), *m_dialogs);
        for (ResultGrid *g : m_w->FGkekka)
            SetHeader(g);
    }
    void cleanup()
    {
        m_w.reset();
        m_dialogs.reset();
        m_dir.reset();
    }

    // --- Save ---

    void save_writesTheFileByteForByte_data()
    {
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("LOTO6 and Mini LOTO")
            << QList<QStringList>{Row(QStringLiteral("3 5 11 18 27 33 41 135 12 5")),
                                  Row(QStringLiteral("7 2 9 14 23 30 - 78 10 2"))}
            << ExampleFile;
        QTest::newRow("one row")
            << QList<QStringList>{Row(QStringLiteral("12 1 2 3 4 5 6 21 2 3"))}
            << QByteArray("Zanbo\r\n 1 \r\n 9 \r\n12\t1\t2\t3\t4\t5\t6\t21\t2\t3\r\n");
    }
    void save_writesTheFileByteForByte()
    {
        QFETCH(QList<QStringList>, rows);
        QFETCH(QByteArray, expected);
        Fill(grid(1), rows);
        m_dialogs->fileNames.push_back(path(QStringLiteral("out.loto")));
        m_w->CmdSave_Click();

        QCOMPARE(FileBytes(path(QStringLiteral("out.loto"))), expected);
        QVERIFY(m_dialogs->warnings.isEmpty());
        QCOMPARE(m_dialogs->fileDialogWasSave, QList<bool>{true});
        const FileDialogOptions &options = m_dialogs->fileDialogs.constFirst();
        QCOMPARE(options.filter, QStringLiteral("ｻﾞﾝﾎﾞ(*.loto)|*.loto|ﾃｷｽﾄ(*.txt)|*.txt|全て|*.*"));
        QCOMPARE(options.defaultExtension, QStringLiteral("*.loto"));
        QCOMPARE(options.initialFolder, AddPathSeparator(m_dir->path()));
        QVERIFY(options.confirmReplace);
        // All data rows are left selected.
        QCOMPARE(Block(grid(1)), (QList<int>{1, int(rows.size()), 0, 9}));
    }

    void save_cancelWritesNothing()
    {
        Fill(grid(1), {SampleRow(1)});
        m_w->CmdSave_Click();
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList());
        QVERIFY(m_dialogs->warnings.isEmpty());
    }

    void save_failureWarnsAndKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("existing");
        QTest::newRow("missing folder") << QStringLiteral("no such folder/out.loto") << false;
        // A name past the file system's limit: the write fails, and says so.
        QTest::newRow("name past the length limit")
            << QString(252, QLatin1Char('a')) + QStringLiteral(".txt") << false;
    }
    void save_failureWarnsAndKeepsTheOldFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, existing);
        const QByteArray old("Zanbo\r\n 1 \r\n 9 \r\nold\r\n");
        if (existing)
            WriteFileBytes(path(name), old);
        Fill(grid(1), {SampleRow(1)});
        m_dialogs->fileNames.push_back(path(name));
        m_w->CmdSave_Click();

        QCOMPARE(m_dialogs->warnings.size(), 1);
        QVERIFY(m_dialogs->warnings[0].text.contains(QDir::toNativeSeparators(path(name))));
        QVERIFY(m_dialogs->warnings[0].text.contains(QStringLiteral("保存できませんでした")));
        QCOMPARE(m_dialogs->warnings[0].title, QStringLiteral("保存"));
        QCOMPARE(FileBytes(path(name)), existing ? old : QByteArray());
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), existing ? 1 : 0);
    }

    // The dialogs are Qt's own, set up as the program sets them up.
    void fileDialog_inJapaneseWithTheListsNames_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("suffix"); // added to a name typed without one
        QTest::newRow("open") << false << QStringLiteral("開く") << QString();
        QTest::newRow("save") << true << QStringLiteral("名前を付けて保存")
                              << QStringLiteral("loto");
    }
    void fileDialog_inJapaneseWithTheListsNames()
    {
        QFETCH(bool, save);
        QFETCH(QString, title);
        QFETCH(QString, suffix);
        QVERIFY(LoadQtJapanese(*qApp));
        Fill(grid(1), {SampleRow(1)});
        WriteFileBytes(path(QStringLiteral("kept.loto")), "x");
        if (save)
            m_w->CmdSave_Click();
        else
            m_w->CmdLoad_Click();
        QCOMPARE(m_dialogs->fileDialogs.size(), 1);

        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        SetUpFileDialog(dialog, m_dialogs->fileDialogs[0], save);
        QCOMPARE(dialog.windowTitle(), title);
        QCOMPARE(dialog.defaultSuffix(), suffix);
        const auto *box = dialog.findChild<QDialogButtonBox *>();
        QVERIFY(box);
        QCOMPARE(box->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
        auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        QVERIFY(types);
        const QStringList names{QStringLiteral("ｻﾞﾝﾎﾞ(*.loto)"), QStringLiteral("ﾃｷｽﾄ(*.txt)"),
                                QStringLiteral("全て")};
        const QList<QStringList> patterns{
            {QStringLiteral("*.loto")}, {QStringLiteral("*.txt")}, {QStringLiteral("*")}};
        const auto *files = dialog.findChild<QFileSystemModel *>();
        QVERIFY(files);
        QCOMPARE(types->count(), 3);
        for (int i = 2; i >= 0; --i) {
            QCOMPARE(types->itemText(i), names[i]);
            types->setCurrentIndex(i);
            emit types->activated(i);
            QCOMPARE(files->nameFilters(), patterns[i]);
        }
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        SaveScreenshot(&dialog, save ? QStringLiteral("fileDialog_save_japanese")
                                     : QStringLiteral("fileDialog_open_japanese"));
    }

    // --- Load ---

    void saveThenLoad_keepsEveryRow()
    {
        showWindow();
        const QList<QStringList> rows{Row(QStringLiteral("9 1 2 3 41 42 43 132 20 4")),
                                      Row(QStringLiteral("2 1 2 3 4 5 - 15 1 3")),
                                      Row(QStringLiteral("14 1 8 15 22 29 36 111 12 3")),
                                      Row(QStringLiteral("1 27 28 29 30 31 - 145 1 3"))};
        Fill(grid(1), rows);
        m_dialogs->fileNames.push_back(path(QStringLiteral("round.loto")));
        m_w->CmdSave_Click();

        // Something else in the grid, with a judgement's colour, before loading.
        Fill(grid(1), {SampleRow(5), SampleRow(6), SampleRow(7), SampleRow(8), SampleRow(9)});
        Form1::SelectGridRange(grid(1), 2, 3, 2, 3);
        grid(1)->setCellColor(qRgb(255, 0, 0));
        grid(1)->setCellBold();
        setButtons(true, false, false);
        const QStringList header = RowAt(grid(1), 0);
        QCOMPARE(header.at(7), QStringLiteral("合計"));
        m_dialogs->fileNames.push_back(path(QStringLiteral("round.loto")));
        m_w->CmdLoad_Click();

        QVERIFY(m_dialogs->questions.isEmpty());
        QCOMPARE(m_dialogs->fileDialogWasSave, (QList<bool>{true, false}));
        QVERIFY(!m_dialogs->fileDialogs[1].confirmReplace);
        QCOMPARE(m_dialogs->fileDialogs[1].filter, m_dialogs->fileDialogs[0].filter);
        QCOMPARE(DataRows(grid(1)), rows);
        QCOMPARE(grid(1)->columnCount(), int(GridColumnCount));
        QCOMPARE(RowAt(grid(1), 0), header);
        QVERIFY(!grid(1)->cellColor(2, 3).isValid());
        QVERIFY(!grid(1)->cellBold(2, 3));
        // The new rows are not selected; the prediction grid's button keeps its state.
        QVERIFY(!grid(1)->hasSelection());
        QCOMPARE(buttons(), (QList<bool>{true, false, true, true}));
        SaveScreenshot(m_w.get(), QStringLiteral("main_saved_after_load"));
    }

    void load_cancelledDialogChangesNothing()
    {
        Fill(grid(1), {SampleRow(1)});
        m_w->CmdLoad_Click();
        QCOMPARE(DataRows(grid(1)), QList<QStringList>{SampleRow(1)});
        QVERIFY(m_dialogs->questions.isEmpty());
    }

    void load_withoutSignatureAsksFirst_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("answer");
        QByteArray lower = ExampleFile;
        lower[0] = 'z';
        QTest::newRow("zanbo, Cancel") << lower << false;
        QTest::newRow("zanbo, OK") << lower << true;
        QTest::newRow("other text, Cancel") << QByteArray("Hello\r\n 2 \r\n 9 \r\n") << false;
    }
    void load_withoutSignatureAsksFirst()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, answer);
        Fill(grid(1), {SampleRow(1), SampleRow(2)});
        setButtons(false, true, true);
        load(bytes, answer);

        QCOMPARE(m_dialogs->questions.size(), 1);
        QCOMPARE(
            m_dialogs->questions[0].text,
            QStringLiteral(
                "拡張子が .loto ではありません。このファイルで間違いなければOKを押してください"));
        QCOMPARE(m_dialogs->questions[0].title, QStringLiteral("中止"));
        QCOMPARE(m_dialogs->questions[0].icon, QMessageBox::Warning);
        if (answer) {
            QCOMPARE(DataRows(grid(1)),
                     (QList<QStringList>{Row(QStringLiteral("3 5 11 18 27 33 41 135 12 5")),
                                         Row(QStringLiteral("7 2 9 14 23 30 - 78 10 2"))}));
        } else {
            QCOMPARE(DataRows(grid(1)), (QList<QStringList>{SampleRow(1), SampleRow(2)}));
            QCOMPARE(grid(1)->text(0, SumColumn), QStringLiteral("合計"));
        }
        // Rows loaded over the selection leave nothing for 「削除」 to move.
        QCOMPARE(buttons(), (QList<bool>{false, !answer, true, true}));
    }

    // Damaged files never size the grid from their counts and never take its
    // ten columns away; a file with no save data in it leaves the grid alone.
    void load_damagedFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QStringList>>("expected");
        QTest::addColumn<bool>("asParsed"); // expected: whatever rows the reader finds
        QTest::addColumn<bool>("noSaveData");
        const QByteArray row1("1\t2\t3\t4\t5\t6\t7\t8\t9\t10");
        QTest::newRow("D = 0") << QByteArray("Zanbo\r\n 0 \r\n 9 \r\n\r\n") << QList<QStringList>{}
                               << false << true;
        QTest::newRow("huge D, one row")
            << QByteArray("Zanbo\r\n 2000000000000 \r\n 9 \r\n" + row1 + "\r\n")
            << QList<QStringList>{Row(QStringLiteral("1 2 3 4 5 6 7 8 9 10"))} << false << false;
        QTest::newRow("D beyond int, no rows")
            << QByteArray("Zanbo\r\n 99999999999999999999 \r\n 9 \r\n") << QList<QStringList>{}
            << false << true;
        QTest::newRow("C = 3, rows of ten and of two cells")
            << QByteArray("Zanbo\r\n 2 \r\n 3 \r\n" + row1 + "\r5\t6\r\n")
            << QList<QStringList>{Row(QStringLiteral("1 2 3 4 5 6 7 8 9 10")),
                                  Row(QStringLiteral("5 6 - - - - - - - -"))}
            << false << false;
        QTest::newRow("C = 20, a row of twelve cells")
            << QByteArray("Zanbo\r\n 1 \r\n 20 \r\n" + row1 + "\t11\t12\r\n")
            << QList<QStringList>{Row(QStringLiteral("1 2 3 4 5 6 7 8 9 10"))} << false << false;
        QTest::newRow("C = 10, a LOTO7 row keeps its seventh number column")
            << QByteArray("Zanbo\r\n 2 \r\n 10 \r\n1\t1\t2\t3\t4\t5\t6\t7\t28\t2\t4\r"
                          "2\t1\t2\t3\t4\t5\t6\t\t21\t2\t3\r\n")
            << QList<QStringList>{Row(QStringLiteral("1 1 2 3 4 5 6 7 28 2 4")),
                                  Row(QStringLiteral("2 1 2 3 4 5 6 - 21 2 3"))}
            << false << false;
        QTest::newRow("C = 10 without a LOTO7 row: the grid of six number columns")
            << QByteArray("Zanbo\r\n 1 \r\n 10 \r\n2\t1\t2\t3\t4\t5\t\t\t15\t2\t3\r\n")
            << QList<QStringList>{Row(QStringLiteral("2 1 2 3 4 5 - 15 2 3"))} << false << false;
        QTest::newRow("D not a number") << QByteArray("Zanbo\r\n abc \r\n 9 \r\n" + row1 + "\r\n")
                                        << QList<QStringList>{} << false << true;
        QTest::newRow("C not a number") << QByteArray("Zanbo\r\n 1 \r\n abc \r\n" + row1 + "\r\n")
                                        << QList<QStringList>{} << false << true;
        QTest::newRow("file ends after the counts")
            << QByteArray("Zanbo\r\n 3 \r\n 9 \r\n") << QList<QStringList>{} << false << true;
        QTest::newRow("fewer rows than D")
            << QByteArray("Zanbo\r\n 5 \r\n 9 \r\n" + row1 + "\r" + row1)
            << QList<QStringList>{Row(QStringLiteral("1 2 3 4 5 6 7 8 9 10")),
                                  Row(QStringLiteral("1 2 3 4 5 6 7 8 9 10"))}
            << false << false;
        QTest::newRow("rows that are no tickets")
            << QByteArray("Zanbo\r\n 2 \r\n 9 \r\n1\t7\t7\t7\t7\t7\t7\r2\tabc\r\n")
            << QList<QStringList>{Row(QStringLiteral("1 7 7 7 7 7 7 - - -")),
                                  Row(QStringLiteral("2 abc - - - - - - - -"))}
            << false << false;
        QTest::newRow("empty file") << QByteArray() << QList<QStringList>{} << false << true;
        QByteArray noise(4096, '\0');
        QRandomGenerator random(7);
        for (char &c : noise)
            c = char(random.bounded(256));
        QTest::newRow("binary noise") << noise << QList<QStringList>{} << true << true;
        QTest::newRow("noise after a valid head") << QByteArray("Zanbo\r\n 50 \r\n 9 \r\n" + noise)
                                                  << QList<QStringList>{} << true << false;
    }
    void load_damagedFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QStringList>, expected);
        QFETCH(bool, asParsed);
        QFETCH(bool, noSaveData);
        const QList<QStringList> before{SampleRow(1), SampleRow(2), SampleRow(3)};
        Fill(grid(1), before);
        Form1::SelectGridRange(grid(1), 2, 3, 2, 3);
        grid(1)->setCellColor(qRgb(255, 0, 0));
        Form1::SelectGridRange(grid(1), 2, 0, 3, 9);
        setButtons(true, false, true);
        load(bytes);

        QCOMPARE(grid(1)->columnCount(),
                 expected.isEmpty() ? int(GridColumnCount) : int(expected.constFirst().size()));
        if (noSaveData) {
            QCOMPARE(m_dialogs->warnings.size(), 1);
            QCOMPARE(m_dialogs->warnings[0].text,
                     QStringLiteral("ファイル「%1」には保存データがありません。")
                         .arg(QDir::toNativeSeparators(path(QStringLiteral("in.loto")))));
            QCOMPARE(m_dialogs->warnings[0].title, QStringLiteral("読込"));
            QCOMPARE(DataRows(grid(1)), before);
            QCOMPARE(grid(1)->text(0, SumColumn), QStringLiteral("合計"));
            QCOMPARE(grid(1)->cellColor(2, 3), QColor(255, 0, 0));
            QCOMPARE(Block(grid(1)), (QList<int>{2, 3, 0, 9}));
            QCOMPARE(buttons(), (QList<bool>{true, false, true, true}));
            return;
        }
        // Rows that are no tickets stay as they are; the load says how many, once.
        const qint64 notTickets = TicketRows(grid(1)->gridModel()->store()).countNotTickets();
        QCOMPARE(m_dialogs->warnings.size(), notTickets > 0 ? 1 : 0);
        if (notTickets > 0)
            QCOMPARE(m_dialogs->warnings[0].text, NotTicketsLoadedText(notTickets));
        if (asParsed) {
            // Exactly the rows the reader found, cut to ten cells.
            const SaveFileContent content = ParseSaveFile(bytes);
            QCOMPARE(grid(1)->rowCount(), int(content.rows.size()) + 1);
            for (int r = 0; r < content.rows.size(); ++r)
                QCOMPARE(RowAt(grid(1), r + 1).join(QLatin1Char('\t')),
                         (content.rows[r].split(QLatin1Char('\t'))
                          + QStringList(GridColumnCount, QString()))
                             .mid(0, GridColumnCount)
                             .join(QLatin1Char('\t')));
        } else {
            QCOMPARE(DataRows(grid(1)), expected);
        }
        QVERIFY(!grid(1)->cellColor(2, 3).isValid());
        QCOMPARE(buttons(), (QList<bool>{true, false, true, true}));
    }

    // Neither a missing file nor one that is no regular file is read; a
    // named pipe would otherwise wait for a writer for ever.
    void load_unreadableFileWarnsAndKeepsTheGrid_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing file") << QStringLiteral("missing");
        QTest::newRow("folder") << QStringLiteral("folder");
        QTest::newRow("named pipe") << QStringLiteral("fifo");
    }
    void load_unreadableFileWarnsAndKeepsTheGrid()
    {
        QFETCH(QString, kind);
        const QString name = path(QStringLiteral("unreadable.loto"));
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(name));
        if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
        Fill(grid(1), {SampleRow(4)});
        setButtons(false, true, true);
        m_dialogs->fileNames.push_back(name);
        m_w->CmdLoad_Click();

        QCOMPARE(m_dialogs->warnings.size(), 1);
        QVERIFY(m_dialogs->warnings[0].text.contains(QDir::toNativeSeparators(name)));
        QVERIFY(m_dialogs->questions.isEmpty());
        QCOMPARE(DataRows(grid(1)), QList<QStringList>{SampleRow(4)});
        QCOMPARE(grid(1)->text(0, OddColumn), QStringLiteral("奇数"));
        QCOMPARE(buttons(), (QList<bool>{false, true, true, true}));
    }

    // A load stops at the row limit, or where the rows have taken the memory
    // the grid may hold.
    void load_limitsWarnThatOnlyTheFirstRowsWereRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("memoryRows"); // rows' worth of memory left for the load; -1 plenty
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("warned");
        const QByteArray fiveRows("Zanbo\r\n 5 \r\n 9 \r\n1\r2\r3\r4\r5\r\n");
        QTest::newRow("D beyond the limit") << fiveRows << -1 << 3 << true;
        QTest::newRow("D at the limit")
            << QByteArray("Zanbo\r\n 3 \r\n 9 \r\n1\r2\r3\r\n") << -1 << 3 << false;
        QTest::newRow("D beyond the limit, file ends there")
            << QByteArray("Zanbo\r\n 9 \r\n 9 \r\n1\r2\r3\r\n") << -1 << 3 << false;
        QTest::newRow("memory for two rows") << fiveRows << 2 << 2 << true;
        QTest::newRow("no memory left") << fiveRows << 0 << 0 << true;
    }
    void load_limitsWarnThatOnlyTheFirstRowsWereRead()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, memoryRows);
        QFETCH(int, rows);
        QFETCH(bool, warned);
        m_w->LoadRowLimit = 3;
        Fill(grid(1), {SampleRow(1)});
        const QList<QStringList> before = DataRows(grid(1));
        if (memoryRows >= 0) {
            // What the loaded rows cost, on top of what the grid holds now.
            GridCellStore loaded(1, GridColumnCount);
            for (int r = 0; r < memoryRows; ++r)
                loaded.appendRowText(QStringView(u"1"));
            m_w->LoadByteLimit = grid(1)->gridModel()->store().usedBytes() + loaded.usedBytes();
        }
        load(bytes);

        if (rows == 0) {
            QCOMPARE(DataRows(grid(1)), before);
        } else {
            QCOMPARE(grid(1)->rowCount(), rows + 1);
            QCOMPARE(grid(1)->text(rows, 0), QString::number(rows));
        }
        // Besides, once, the rows that are no tickets ("1", "2", ...).
        const qint64 notTickets = rows == 0
                                      ? 0
                                      : TicketRows(grid(1)->gridModel()->store()).countNotTickets();
        QCOMPARE(m_dialogs->warnings.size(), (warned ? 1 : 0) + (notTickets > 0 ? 1 : 0));
        if (warned) {
            QCOMPARE(
                m_dialogs->warnings[0].text,
                QStringLiteral("ファイル「%1」は大きすぎるため、先頭の%2行だけを読み込みました。")
                    .arg(QDir::toNativeSeparators(path(QStringLiteral("in.loto"))),
                         QString::number(rows)));
            QCOMPARE(m_dialogs->warnings[0].title, QStringLiteral("読込"));
        }
    }

    // --- Moves ---

    void move_selectedRowsIntoEmptySaveGrid_data()
    {
        QTest::addColumn<int>("pressRow");
        QTest::addColumn<int>("releaseRow");
        QTest::addColumn<QStringList>("moved");
        QTest::newRow("rows 2 to 4") << 2 << 4 << Numbers({2, 3, 4});
        QTest::newRow("dragged up from 5 to 3") << 5 << 3 << Numbers({3, 4, 5});
    }
    void move_selectedRowsIntoEmptySaveGrid()
    {
        QFETCH(int, pressRow);
        QFETCH(int, releaseRow);
        QFETCH(QStringList, moved);
        showWindow();
        QList<QStringList> rows;
        for (int k = 1; k <= 10; ++k)
            rows << SampleRow(k);
        Fill(grid(0), rows);

        DragCells(grid(0), pressRow, releaseRow);
        QCOMPARE(Block(grid(0)), (QList<int>{std::min(pressRow, releaseRow),
                                             std::max(pressRow, releaseRow), 0, 9}));
        QVERIFY(m_w->CmdCopy[0]->isEnabled());
        QTest::mouseClick(m_w->CmdCopy[0], Qt::LeftButton);

        QList<QStringList> expectedSaved;
        QStringList expectedLeft;
        for (int k = 1; k <= 10; ++k) {
            if (moved.contains(QString::number(k)))
                expectedSaved << SampleRow(k);
            else
                expectedLeft << QString::number(k);
        }
        QCOMPARE(DataRows(grid(1)), expectedSaved);
        QCOMPARE(Column(grid(0), 0), expectedLeft);
        for (int r = 1; r < grid(0)->rowCount(); ++r)
            QCOMPARE(RowAt(grid(0), r), SampleRow(grid(0)->text(r, 0).toInt()));
        // Neither grid is left with a selection the user did not make.
        QVERIFY(!grid(0)->hasSelection());
        QVERIFY(!grid(1)->hasSelection());
        QCOMPARE(buttons(), (QList<bool>{false, false, true, true}));
        QCOMPARE(RowAt(grid(1), 0)[7], QStringLiteral("合計"));
        SaveScreenshot(m_w.get(), QStringLiteral("main_saved_after_move"));

        // A second move lands below the first.
        Form1::SelectGridRange(grid(0), 1, 0, 1, OddColumn);
        m_w->CmdCopy_Click(0);
        QCOMPARE(Column(grid(1), 0), moved + Numbers({1}));
    }

    // Rows moved in and never saved survive a crash: the next start offers
    // them back, or keeps the copy aside under a dated name.
    void recovery_afterACrash_restoredOrKeptAside_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::addColumn<bool>("loto7");
        QTest::newRow("restored as unsaved rows") << true << false;
        QTest::newRow("kept aside") << false << false;
        QTest::newRow("LOTO7 rows restored in their columns") << true << true;
    }
    void recovery_afterACrash_restoredOrKeptAside()
    {
        QFETCH(bool, restore);
        QFETCH(bool, loto7);
        m_w->RecoveryIntervalMs = 0;
        if (loto7) {
            m_w->CmbSwitch->setCurrentIndex(GameLoto7);
            m_w->CmbSwitch_Click();
            m_w->CmdRun->click();
            QVERIFY(grid(0)->rowCount() > 4);
        } else {
            QList<QStringList> rows;
            for (int k = 1; k <= 5; ++k)
                rows << SampleRow(k);
            Fill(grid(0), rows);
        }
        const QList<QStringList> moved{RowAt(grid(0), 2), RowAt(grid(0), 3), RowAt(grid(0), 4)};
        Form1::SelectGridRange(grid(0), 2, 0, 4, grid(0)->columnCount() - 1);
        m_w->CmdCopy_Click(0);
        const QString copy = m_w->RecoveryFilePath();
        QTRY_VERIFY(QFile::exists(copy));
        m_w.reset(); // the program ends without closing its window

        m_w = std::make_unique<Form1>(AddPathSeparator(m_dir->path()), *m_dialogs);
        m_dialogs->confirmAnswers = {restore};
        m_w->OfferRecovery();
        QCOMPARE(m_dialogs->questions.size(), 1);
        QCOMPARE(
            m_dialogs->questions.constFirst().text,
            QStringLiteral("前回保存されていない結果保存エリアの行があります。復元しますか？"));
        const QStringList kept = QDir(m_dir->path())
                                     .entryList({QStringLiteral("zanbo-recovery-*")});
        if (restore) {
            QCOMPARE(Column(grid(1), 0), Numbers({2, 3, 4}));
            QCOMPARE(DataRows(grid(1)), moved);
            QVERIFY(kept.isEmpty());
            // Still unsaved: closing asks, and a clean close removes the copy.
            m_dialogs->yesNoCancelAnswers = {QMessageBox::No};
            QVERIFY(m_w->close());
            QCOMPARE(m_dialogs->questions.size(), 2);
        } else {
            QCOMPARE(grid(1)->rowCount(), 1);
            QCOMPARE(kept.size(), 1);
            QVERIFY(FileBytes(path(kept.constFirst())).startsWith("Zanbo\r\n 3 \r\n"));
        }
        QVERIFY(!QFile::exists(copy));
    }

    void move_onlyDataRowLeavesTheHeader_data()
    {
        QTest::addColumn<int>("from");
        QTest::newRow("to the save grid") << 0;
        QTest::newRow("back from the save grid") << 1;
    }
    void move_onlyDataRowLeavesTheHeader()
    {
        QFETCH(int, from);
        const int to = 1 - from;
        Fill(grid(from), {SampleRow(3)});
        Fill(grid(to), {SampleRow(1), SampleRow(2)});
        Form1::SelectGridRange(grid(from), 1, 0, 1, OddColumn);
        setButtons(from == 0, from == 1, true);
        m_w->CmdCopy_Click(from);

        QCOMPARE(grid(from)->rowCount(), 1);
        QCOMPARE(RowAt(grid(from), 0)[8], QStringLiteral("偏差"));
        QCOMPARE(DataRows(grid(to)),
                 (QList<QStringList>{SampleRow(1), SampleRow(2), SampleRow(3)}));
        QVERIFY(!m_w->CmdCopy[from]->isEnabled());
        QVERIFY(!m_w->CmdCopy[to]->isEnabled());
        QCOMPARE(m_w->CmdSave->isEnabled(), from == 0);
        QCOMPARE(m_w->CmdJudge->isEnabled(), from == 0);
    }

    void move_deleteReturnsRowsToTheBottom()
    {
        Fill(grid(0), {SampleRow(1), SampleRow(2)});
        Fill(grid(1), {SampleRow(7), SampleRow(8), SampleRow(9)});
        setButtons(false, true, true);
        Form1::SelectGridRange(grid(1), 3, 4, 2, 4); // any columns: whole rows move
        m_w->CmdCopy_Click(1);

        QCOMPARE(Column(grid(0), 0), (Numbers({1, 2, 8, 9})));
        QCOMPARE(RowAt(grid(0), 4), SampleRow(9));
        QVERIFY(!grid(0)->hasSelection());
        QCOMPARE(DataRows(grid(1)), QList<QStringList>{SampleRow(7)});
        QCOMPARE(buttons(), (QList<bool>{false, false, true, true}));

        Form1::SelectGridRange(grid(1), 1, 0, 1, OddColumn);
        m_w->CmdCopy_Click(1);
        QCOMPARE(Column(grid(0), 0), (Numbers({1, 2, 8, 9, 7})));
        QCOMPARE(grid(1)->rowCount(), 1);
        QCOMPARE(buttons(), (QList<bool>{false, false, false, false}));
    }

    // Whatever rebuilds a grid leaves it with no selection; only rows the
    // user selects afterwards can move.
    void gridChange_leavesNothingSelectedToMove_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("change");
        QTest::newRow("move, then a second press") << 0 << "move";
        QTest::newRow("削除, then a second press") << 1 << "move";
        QTest::newRow("run") << 0 << "run";
        QTest::newRow("run after a header sort") << 0 << "sort, run";
        QTest::newRow("game switch") << 0 << "switch";
        QTest::newRow("load") << 1 << "load";
    }
    void gridChange_leavesNothingSelectedToMove()
    {
        QFETCH(int, index);
        QFETCH(QString, change);
        showWindow();
        Fill(grid(0), {SampleRow(1), SampleRow(2), SampleRow(3), SampleRow(4)});
        Fill(grid(1), {SampleRow(5), SampleRow(6), SampleRow(7)});
        ClickCell(grid(index), 2, 3);
        QVERIFY(m_w->CmdCopy[index]->isEnabled());
        if (change == QLatin1String("move")) {
            QTest::mouseClick(m_w->CmdCopy[index], Qt::LeftButton);
        } else if (change == QLatin1String("sort, run")) {
            ClickHeader(grid(0), SumColumn);
            m_w->CmdRun->click();
        } else if (change == QLatin1String("run")) {
            m_w->CmdRun->click();
        } else if (change == QLatin1String("switch")) {
            pickGame(1);
        } else {
            WriteFileBytes(path(QStringLiteral("in.loto")), ExampleFile);
            m_dialogs->fileNames.push_back(path(QStringLiteral("in.loto")));
            m_w->CmdLoad_Click();
        }

        QVERIFY(!grid(index)->hasSelection());
        QVERIFY(!m_w->CmdCopy[index]->isEnabled());
        // A press that reaches the button anyway moves nothing.
        const QList<QStringList> before[] = {DataRows(grid(0)), DataRows(grid(1))};
        m_w->CmdCopy_Click(index);
        QCOMPARE(DataRows(grid(0)), before[0]);
        QCOMPARE(DataRows(grid(1)), before[1]);
    }

    void move_carriesOnlyRowsWithNumbers_data()
    {
        QTest::addColumn<int>("from");
        QTest::newRow("to the save grid") << 0;
        QTest::newRow("back from the save grid") << 1;
    }
    void move_carriesOnlyRowsWithNumbers()
    {
        QFETCH(int, from);
        const int to = 1 - from;
        showWindow();
        Fill(grid(from), {SampleRow(1), Row(QStringLiteral("2 - - - - - - - - -")), SampleRow(3),
                          Row(QStringLiteral("4 - - - - - - 20 - -")), SampleRow(5)});
        Fill(grid(to), {SampleRow(7)});
        DragCells(grid(from), 1, 4);
        QVERIFY(m_w->CmdCopy[from]->isEnabled());
        QTest::mouseClick(m_w->CmdCopy[from], Qt::LeftButton);

        QCOMPARE(DataRows(grid(to)),
                 (QList<QStringList>{SampleRow(7), SampleRow(1), SampleRow(3)}));
        QCOMPARE(Column(grid(from), 0), (Numbers({2, 4, 5})));
        // Rows without numbers give the button nothing to move.
        DragCells(grid(from), 1, 2);
        QVERIFY(!m_w->CmdCopy[from]->isEnabled());
    }

    // Rows picked apart with Ctrl+click move together, in their order; Ctrl+A
    // then moves every row left.
    void move_pickedRowsAndEveryRow()
    {
        showWindow();
        Fill(grid(0), {SampleRow(1), SampleRow(2), SampleRow(3), SampleRow(4), SampleRow(5)});
        Fill(grid(1), {SampleRow(7)});
        ClickCell(grid(0), 1, 2);
        for (const int row : {5, 3})
            QTest::mouseClick(grid(0)->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              CellCentre(grid(0), row, 2));
        QVERIFY(m_w->CmdCopy[0]->isEnabled());
        QTest::mouseClick(m_w->CmdCopy[0], Qt::LeftButton);
        QCOMPARE(Column(grid(1), 0), (Numbers({7, 1, 3, 5})));
        QCOMPARE(Column(grid(0), 0), (Numbers({2, 4})));

        grid(0)->setFocus();
        QTest::keyClick(grid(0), Qt::Key_A, Qt::ControlModifier);
        QVERIFY(m_w->CmdCopy[0]->isEnabled());
        QTest::mouseClick(m_w->CmdCopy[0], Qt::LeftButton);
        QCOMPARE(Column(grid(1), 0), (Numbers({7, 1, 3, 5, 2, 4})));
        QCOMPARE(grid(0)->rowCount(), 1);
    }

    void move_withoutDataRowDoesNothing_data()
    {
        QTest::addColumn<int>("from");
        QTest::newRow("削除 on an empty save grid") << 1;
        QTest::newRow("move from an empty prediction grid") << 0;
    }
    void move_withoutDataRowDoesNothing()
    {
        QFETCH(int, from);
        const int to = 1 - from;
        grid(from)->setRowCount(1);
        Fill(grid(to), {SampleRow(1), SampleRow(2), SampleRow(3)});
        setButtons(true, true, from == 0);
        m_w->CmdCopy_Click(from);

        QCOMPARE(grid(from)->rowCount(), 1);
        QCOMPARE(DataRows(grid(to)),
                 (QList<QStringList>{SampleRow(1), SampleRow(2), SampleRow(3)}));
        QCOMPARE(buttons(), (QList<bool>{true, true, from == 0, from == 0}));
    }

    // --- Clicks ---

    void click_headerSortsByValue_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("prediction grid") << 0;
        QTest::newRow("save grid") << 1;
    }
    void click_headerSortsByValue()
    {
        QFETCH(int, index);
        showWindow();
        QList<QStringList> rows;
        const QStringList sums = Numbers({120, 98, 135, 101, 99});
        for (int k = 1; k <= 5; ++k) {
            rows << SampleRow(k);
            rows.last()[7] = sums[k - 1];
        }
        Fill(grid(index), rows);
        setButtons(true, true, true);
        ClickHeader(grid(index), SumColumn);

        QCOMPARE(Column(grid(index), SumColumn), (Numbers({98, 99, 101, 120, 135})));
        QCOMPARE(Column(grid(index), 0), (Numbers({2, 5, 4, 1, 3})));
        QCOMPARE(RowAt(grid(index), 1)[1], QStringLiteral("2"));
        QCOMPARE(RowAt(grid(index), 0)[7], QStringLiteral("合計"));
        QCOMPARE(buttons(), (QList<bool>{false, false, true, true}));
    }

    void click_headerOnOneRowSelectsIt()
    {
        showWindow();
        Fill(grid(1), {SampleRow(4)});
        setButtons(true, false, false);
        ClickHeader(grid(1), SumColumn);
        QCOMPARE(Block(grid(1)), (QList<int>{1, 1, 0, 9}));
        QCOMPARE(RowAt(grid(1), 1), SampleRow(4));
        QCOMPARE(buttons(), (QList<bool>{false, true, false, false}));
    }

    void click_onEmptyGridChangesNothing()
    {
        showWindow();
        grid(0)->setRowCount(1);
        setButtons(false, true, true);
        ClickHeader(grid(0), 3);
        QTest::mouseClick(grid(0)->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(grid(0)->rowCount(), 1);
        QCOMPARE(RowAt(grid(0), 0)[3], QStringLiteral("#3"));
        QCOMPARE(buttons(), (QList<bool>{false, true, true, true}));
    }

    void click_offTheCellsChangesNothing_data()
    {
        QTest::addColumn<bool>("below"); // else right of the last column
        QTest::newRow("below the last row") << true;
        QTest::newRow("right of the last column") << false;
    }
    void click_offTheCellsChangesNothing()
    {
        QFETCH(bool, below);
        showWindow();
        const QList<QStringList> rows{SampleRow(3), SampleRow(1), SampleRow(2)};
        Fill(grid(1), rows);
        // Saving leaves every row selected, the selection a header click makes.
        m_dialogs->fileNames.push_back(path(QStringLiteral("kept.loto")));
        m_w->CmdSave_Click();
        m_w->SetSaveAreaButtons(true);
        Fill(grid(0), {SampleRow(8), SampleRow(9)});
        ClickCell(grid(0), 2, 3);
        const QList<int> block = Block(grid(1));
        const QList<bool> states = buttons();

        ResultGrid *g = grid(1);
        const QPoint off = below ? QPoint(CellCentre(g, 1, 2).x(), g->viewport()->height() - 3)
                                 : QPoint(g->viewport()->width() - 3, CellCentre(g, 2, 1).y());
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, off);
        // Nor does a drag that starts there select what it passes over.
        QTest::mousePress(g->viewport(), Qt::LeftButton, {}, off);
        QTest::mouseMove(g->viewport(), CellCentre(g, 2, 2));
        QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, CellCentre(g, 2, 2));
        QCOMPARE(DataRows(g), rows);
        QCOMPARE(Block(g), block);
        QCOMPARE(buttons(), states);
        SaveScreenshot(m_w.get(), below ? QStringLiteral("main_saveGrid_afterClickBelowRows")
                                        : QStringLiteral("main_saveGrid_afterClickBesideColumns"));
    }

    void click_widensToWholeRows_data()
    {
        QTest::addColumn<int>("pressRow");
        QTest::addColumn<int>("pressCol");
        QTest::addColumn<int>("releaseRow");
        QTest::addColumn<int>("releaseCol");
        QTest::newRow("one cell") << 3 << 5 << 3 << 5;
        QTest::newRow("drag down 3 to 5") << 3 << 2 << 5 << 7;
        QTest::newRow("drag up 5 to 3") << 5 << 8 << 3 << 1;
        QTest::newRow("drag from the first to the next-to-last row") << 1 << 3 << 4 << 3;
        QTest::newRow("drag from the first to the last row") << 1 << 3 << 5 << 3;
    }
    void click_widensToWholeRows()
    {
        QFETCH(int, pressRow);
        QFETCH(int, pressCol);
        QFETCH(int, releaseRow);
        QFETCH(int, releaseCol);
        showWindow();
        Fill(grid(0), {SampleRow(1), SampleRow(2), SampleRow(3), SampleRow(4), SampleRow(5)});
        DragCells(grid(0), pressRow, releaseRow, pressCol, releaseCol);
        QCOMPARE(grid(0)->currentRow(), pressRow);
        QCOMPARE(grid(0)->selectionEndRow(), releaseRow);
        QCOMPARE(Block(grid(0))[2], 0);
        QCOMPARE(Block(grid(0))[3], int(OddColumn));
        QCOMPARE(Column(grid(0), 0), (Numbers({1, 2, 3, 4, 5})));
    }

    void click_emptyNumberCellEnablesNothing()
    {
        showWindow();
        Fill(grid(0), {Row(QStringLiteral("1 - - - - - - - - -")),
                       Row(QStringLiteral("2 - - - - - - - - -"))});
        setButtons(false, true, false);
        ClickCell(grid(0), 2, 4);
        QCOMPARE(Block(grid(0)), (QList<int>{2, 2, 0, 9}));
        QCOMPARE(buttons(), (QList<bool>{false, true, false, false}));
    }

    void click_moveButtonFollowsTheGridClickedLast()
    {
        showWindow();
        Fill(grid(0), {SampleRow(1), SampleRow(2), SampleRow(3)});
        Fill(grid(1), {SampleRow(4), SampleRow(5), SampleRow(6)});
        ClickCell(grid(0), 2, 3);
        QCOMPARE(buttons().mid(0, 2), (QList<bool>{true, false}));
        ClickCell(grid(1), 1, 6);
        QCOMPARE(buttons().mid(0, 2), (QList<bool>{false, true}));
        ClickCell(grid(0), 3, OddColumn);
        QCOMPARE(buttons().mid(0, 2), (QList<bool>{true, false}));
    }

    void keyboard_selectsAndSortsLikeTheMouse()
    {
        showWindow();
        Fill(grid(0), {SampleRow(1), SampleRow(2), SampleRow(3), SampleRow(4)});
        QList<QStringList> kept;
        for (const int sum : {120, 98, 135}) {
            kept << SampleRow(kept.size() + 5);
            kept.last()[SumColumn] = QString::number(sum);
        }
        Fill(grid(1), kept);
        m_w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_w.get()));

        grid(0)->setFocus();
        QTest::keyClick(grid(0), Qt::Key_Down);
        QTest::keyClick(grid(0), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(Block(grid(0)), (QList<int>{2, 3, 0, 9}));
        QCOMPARE(buttons().mid(0, 2), (QList<bool>{true, false}));
        SaveScreenshot(m_w.get(), QStringLiteral("main_keyboardSelection"));
        QTest::keyClick(m_w->CmdCopy[0], Qt::Key_Space);
        QCOMPARE(Column(grid(1), 0), (Numbers({5, 6, 7, 2, 3})));

        // Up from the first row onto the header, along to 「合計」, and sort.
        grid(1)->setFocus();
        QTest::keyClick(grid(1), Qt::Key_Down);
        while (grid(1)->currentRow() > 1)
            QTest::keyClick(grid(1), Qt::Key_Up);
        QCOMPARE(Block(grid(1)), (QList<int>{1, 1, 0, 9}));
        QCOMPARE(buttons().mid(0, 2), (QList<bool>{false, true}));
        QTest::keyClick(grid(1), Qt::Key_Up);
        QCOMPARE(buttons().mid(0, 2), (QList<bool>{false, false}));
        for (int c = 0; c < SumColumn; ++c)
            QTest::keyClick(grid(1), Qt::Key_Right);
        QTest::keyClick(grid(1), Qt::Key_Space);
        QCOMPARE(Column(grid(1), 0), (Numbers({6, 2, 3, 5, 7})));
    }

    // --- Unsaved changes ---

    void unsavedChanges_askedBeforeCloseOrLoad_data()
    {
        QTest::addColumn<bool>("close"); // else load
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("answer");    // QMessageBox::StandardButton
        QTest::addColumn<bool>("saveName"); // the save dialog gives a name
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("goesOn");
        const int yes = QMessageBox::Yes;
        const int no = QMessageBox::No;
        const int cancel = QMessageBox::Cancel;
        QTest::newRow("close, moved in, Cancel")
            << true << "move" << cancel << false << true << false;
        QTest::newRow("close, moved in, No") << true << "move" << no << false << true << true;
        QTest::newRow("close, moved in, Yes") << true << "move" << yes << true << true << true;
        QTest::newRow("close, Yes, save cancelled")
            << true << "move" << yes << false << true << false;
        QTest::newRow("close, sorted") << true << "sort" << cancel << false << true << false;
        QTest::newRow("close, ticket typed in")
            << true << "input" << cancel << false << true << false;
        QTest::newRow("close, saved") << true << "move, save" << cancel << false << false << true;
        QTest::newRow("close, all moved out")
            << true << "move out all" << cancel << false << false << true;
        QTest::newRow("load, moved in, Cancel")
            << false << "move" << cancel << false << true << false;
        QTest::newRow("load, moved in, Yes") << false << "move" << yes << true << true << true;
        QTest::newRow("load, loaded") << false << "load" << cancel << false << false << true;
    }
    void unsavedChanges_askedBeforeCloseOrLoad()
    {
        QFETCH(bool, close);
        QFETCH(QString, change);
        QFETCH(int, answer);
        QFETCH(bool, saveName);
        QFETCH(bool, asked);
        QFETCH(bool, goesOn);
        showWindow();
        const QString loaded = path(QStringLiteral("in.loto"));
        WriteFileBytes(loaded, ExampleFile);
        Fill(grid(0), {SampleRow(1), SampleRow(2), SampleRow(3)});
        Fill(grid(1), {SampleRow(7), SampleRow(5), SampleRow(6)});
        if (change == QLatin1String("load")) {
            m_dialogs->fileNames.push_back(loaded);
            m_w->CmdLoad_Click();
        } else if (change == QLatin1String("input")) {
            QVERIFY(m_w->AppendTicketRow(GameLoto6, QStringLiteral("1 2 3 4 5 6")));
        } else if (change == QLatin1String("sort")) {
            ClickHeader(grid(1), RowNumberColumn);
        } else if (change == QLatin1String("move out all")) {
            Form1::SelectGridRange(grid(1), 1, 0, 3, OddColumn);
            m_w->CmdCopy_Click(1);
        } else {
            Form1::SelectGridRange(grid(0), 2, 0, 2, OddColumn);
            m_w->CmdCopy_Click(0);
        }
        if (change.endsWith(QLatin1String("save"))) {
            m_dialogs->fileNames.push_back(path(QStringLiteral("first.loto")));
            m_w->CmdSave_Click();
        }
        const QList<QStringList> kept = DataRows(grid(1));
        m_dialogs->yesNoCancelAnswers.push_back(QMessageBox::StandardButton(answer));
        if (saveName)
            m_dialogs->fileNames.push_back(path(QStringLiteral("kept.loto")));
        if (close) {
            QCOMPARE(m_w->close(), goesOn);
        } else {
            m_dialogs->fileNames.push_back(loaded);
            m_w->CmdLoad_Click();
        }

        QCOMPARE(m_dialogs->questions.size(), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(m_dialogs->questions[0].text,
                     QStringLiteral("保存エリアの変更を保存しますか？"));
            QCOMPARE(m_dialogs->questions[0].title,
                     close ? QStringLiteral("終了") : QStringLiteral("読込"));
        }
        if (saveName)
            QVERIFY(FileBytes(path(QStringLiteral("kept.loto")))
                        .startsWith("Zanbo\r\n " + QByteArray::number(kept.size()) + " \r\n"));
        const QList<QStringList> fromFile{Row(QStringLiteral("3 5 11 18 27 33 41 135 12 5")),
                                          Row(QStringLiteral("7 2 9 14 23 30 - 78 10 2"))};
        if (close)
            QCOMPARE(QFile::exists(path(QStringLiteral("zanbo.ini"))), goesOn);
        else
            QCOMPARE(DataRows(grid(1)), goesOn ? fromFile : kept);
    }

    // --- The player's own tickets, CSV ---

    void inputRow_appendsTicketOrRefuses_data()
    {
        QTest::addColumn<int>("game");
        QTest::addColumn<QString>("numbers");
        QTest::addColumn<QString>("row"); // empty: refused
        QTest::addColumn<int>("draws");
        QTest::newRow("LOTO6 in any order, commas") << int(GameLoto6) << "43, 3 15、22 31 40"
                                                    << "2 3 15 22 31 40 43 154 14 4" << 1;
        QTest::newRow("Mini LOTO") << int(GameMiniLoto) << "31 1 2 3 4"
                                   << "2 1 2 3 4 31 - 41 11 3" << 1;
        QTest::newRow("bought for five draws") << int(GameLoto6) << "3 15 22 31 40 43"
                                               << "2（5回分） 3 15 22 31 40 43 154 14 4" << 5;
        QTest::newRow("a number repeated") << int(GameLoto6) << "7 7 7 7 7 7"
                                           << "" << 1;
        QTest::newRow("too few") << int(GameLoto6) << "1 2 3 4 5"
                                 << "" << 1;
        QTest::newRow("out of range") << int(GameMiniLoto) << "1 2 3 4 32"
                                      << "" << 1;
        QTest::newRow("leading zero") << int(GameLoto6) << "07 1 2 3 4 5"
                                      << "" << 1;
        QTest::newRow("text") << int(GameLoto6) << "abc"
                              << "" << 1;
    }
    void inputRow_appendsTicketOrRefuses()
    {
        QFETCH(int, game);
        QFETCH(QString, numbers);
        QFETCH(QString, row);
        QFETCH(int, draws);
        Fill(grid(1), {SampleRow(1)});
        QCOMPARE(m_w->AppendTicketRow(game, numbers, draws), !row.isEmpty());
        if (row.isEmpty()) {
            QCOMPARE(DataRows(grid(1)), QList<QStringList>{SampleRow(1)});
            QCOMPARE(m_dialogs->warnings.size(), 1);
            QVERIFY(m_dialogs->warnings[0].text.contains(QStringLiteral("異なる")));
        } else {
            QCOMPARE(DataRows(grid(1)), (QList<QStringList>{SampleRow(1), Row(row)}));
            QVERIFY(m_w->CmdSave->isEnabled());
        }
    }

    void exportCsv_utf8WithTheMarkedTier()
    {
        Fill(grid(1), {Row(QStringLiteral("3 5 11 18 27 33 41 135 12 5")),
                       Row(QStringLiteral("7 2 9 14 23 30 - 78 10 2")),
                       Row(QStringLiteral("8 =1+1 2 3 4 5 6 - - -"))});
        // As a judgement leaves them: five main hits and the bonus.
        for (int c = 1; c <= 6; ++c) {
            Form1::SelectGridRange(grid(1), 1, c, 1, c);
            grid(1)->setCellColor(c < 6 ? qRgb(255, 0, 0) : qRgb(255, 255, 0));
        }
        m_dialogs->fileNames.push_back(path(QStringLiteral("out.csv")));
        m_w->ExportSaveAreaCsv();
        const QByteArray bytes = FileBytes(path(QStringLiteral("out.csv")));
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(
            QString::fromUtf8(bytes.mid(3)),
            QStringLiteral("行,くじ,数字1,数字2,数字3,数字4,数字5,数字6,合計,偏差,奇数,等級\r\n"
                           "1,ロト６,5,11,18,27,33,41,135,12,5,2等\r\n"
                           "2,ミニロト,2,9,14,23,30,,78,10,2,\r\n"
                           "3,ロト６,'=1+1,2,3,4,5,6,,,,\r\n"));
        QVERIFY(m_dialogs->fileDialogWasSave.constLast());
    }

    // --- Clear ---

    void clear_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("answer");
        QTest::newRow("rows, OK") << 3 << true;
        QTest::newRow("rows, Cancel") << 3 << false;
        QTest::newRow("empty grid") << 0 << true;
    }
    void clear()
    {
        QFETCH(int, rows);
        QFETCH(bool, answer);
        QList<QStringList> content;
        for (int k = 1; k <= rows; ++k)
            content << SampleRow(k);
        Fill(grid(1), content);
        setButtons(true, rows > 0, rows > 0);
        m_dialogs->confirmAnswers.push_back(answer);
        m_w->CmdClear_Click();

        if (rows == 0) {
            QVERIFY(m_dialogs->questions.isEmpty());
            QCOMPARE(buttons(), (QList<bool>{true, false, false, false}));
            return;
        }
        QCOMPARE(m_dialogs->questions.size(), 1);
        QCOMPARE(m_dialogs->questions[0].text, QStringLiteral("保存エリアをクリアしますか？"));
        QCOMPARE(m_dialogs->questions[0].title, QStringLiteral("クリア"));
        QCOMPARE(m_dialogs->questions[0].icon, QMessageBox::Question);
        QCOMPARE(DataRows(grid(1)), answer ? QList<QStringList>{} : content);
        QCOMPARE(grid(1)->text(0, SumColumn), QStringLiteral("合計"));
        // 「削除」 goes with the rows it could move.
        QCOMPARE(buttons(), (QList<bool>{true, !answer, !answer, !answer}));
    }
};

QTEST_MAIN(SaveAreaTest)
#include "tst_SaveArea.moc"
