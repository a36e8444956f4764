#include "support/PatternFiles.h"

#include "core/GameTable.h"
#include "core/GridCellStore.h"
#include "core/Judgement.h"
#include "core/WinningNumbers.h"

#include <QtTest>

#include <QStringEncoder>
#include <QTemporaryDir>

namespace {

using Numbers = std::array<qint32, DrawSlots>;

// A draw's slots: the main numbers from slot 0, the bonus numbers from BonusSlot.
Numbers DrawOf(std::initializer_list<qint32> mains, qint32 bonus, qint32 secondBonus = 0)
{
    Numbers numbers{};
    std::copy(mains.begin(), mains.end(), numbers.begin());
    numbers[BonusSlot] = bonus;
    numbers[BonusSlot + 1] = secondBonus;
    return numbers;
}

} // namespace

Q_DECLARE_METATYPE(Numbers)

class JudgementTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void readWinningNumbers_data();
    void readWinningNumbers();
    void readWinningNumbers_seesReplacedFile();
    void matchCell_comparesText_data();
    void matchCell_comparesText();
    void prizeLine_perGameHitsAndBonus_data();
    void prizeLine_perGameHitsAndBonus();
    void judgeRow_wholeLoto7Space();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    GameTableType m_games;
};

void JudgementTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_games = MakeGameTable(m_dir->path() + QLatin1Char('/'));
}

void JudgementTest::readWinningNumbers_data()
{
    QTest::addColumn<int>("game");
    QTest::addColumn<bool>("writeFile");
    QTest::addColumn<QStringList>("file");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<int>("drawNumber");
    QTest::addColumn<QString>("date");
    QTest::addColumn<Numbers>("numbers");

    const QString date = QStringLiteral("2005/10/06");
    const QStringList six{QStringLiteral("3"),  QStringLiteral("15"), QStringLiteral("22"),
                          QStringLiteral("31"), QStringLiteral("40"), QStringLiteral("43")};
    QStringList five = six.mid(0, 5);
    QStringList noSixth = six;
    noSixth[5] = QString();
    QStringList letters = six;
    letters[2] = QStringLiteral("abc");

    QTest::newRow("loto6 complete")
        << GameLoto6 << true << DrawSection(QStringLiteral("250"), date, six, QStringLiteral("7"))
        << true << 250 << date << DrawOf({3, 15, 22, 31, 40, 43}, 7);
    QTest::newRow("mini loto without N6")
        << GameMiniLoto << true
        << DrawSection(QStringLiteral("9"), date, five, QStringLiteral("11")) << true << 9 << date
        << DrawOf({3, 15, 22, 31, 40, 0}, 11);
    QTest::newRow("mini loto ignores N6")
        << GameMiniLoto << true << DrawSection(QStringLiteral("9"), date, six, QStringLiteral("11"))
        << true << 9 << date << DrawOf({3, 15, 22, 31, 40, 0}, 11);
    QTest::newRow("missing DATE reads as ERR")
        << GameLoto6 << true
        << DrawSection(QStringLiteral("250"), QString(), six, QStringLiteral("7")) << true << 250
        << QStringLiteral("ERR") << DrawOf({3, 15, 22, 31, 40, 43}, 7);
    QTest::newRow("japanese DATE kept as read")
        << GameLoto6 << true
        << DrawSection(QStringLiteral("250"), QStringLiteral("平成17年10月6日"), six,
                       QStringLiteral("7"))
        << true << 250 << QStringLiteral("平成17年10月6日") << DrawOf({3, 15, 22, 31, 40, 43}, 7);
    QTest::newRow("loto6 without N6 fails")
        << GameLoto6 << true
        << DrawSection(QStringLiteral("250"), date, noSixth, QStringLiteral("7")) << false << 0
        << QString() << Numbers{};
    QTest::newRow("number not a whole number")
        << GameLoto6 << true
        << DrawSection(QStringLiteral("250"), date, letters, QStringLiteral("7")) << false << 0
        << QString() << Numbers{};
    QTest::newRow("NUMID missing")
        << GameLoto6 << true << DrawSection(QString(), date, six, QStringLiteral("7")) << false << 0
        << QString() << Numbers{};
    QTest::newRow("NUMID beyond 32 bits")
        << GameLoto6 << true
        << DrawSection(QStringLiteral("4294967296"), date, six, QStringLiteral("7")) << false << 0
        << QString() << Numbers{};
    QStringList seven = six;
    seven.append(QStringLiteral("37"));
    QTest::newRow("loto7 with both bonus numbers")
        << GameLoto7 << true
        << DrawSection(QStringLiteral("605"), date, seven, QStringLiteral("7"))
               + QStringList{QStringLiteral("N00=12")}
        << true << 605 << date << DrawOf({3, 15, 22, 31, 40, 43, 37}, 7, 12);
    QTest::newRow("loto7 without the second bonus fails")
        << GameLoto7 << true << DrawSection(QStringLiteral("605"), date, seven, QStringLiteral("7"))
        << false << 0 << QString() << Numbers{};
    QTest::newRow("bonus missing")
        << GameMiniLoto << true << DrawSection(QStringLiteral("9"), date, five, QString()) << false
        << 0 << QString() << Numbers{};
    QTest::newRow("no TOSENNUM section")
        << GameLoto6 << true << QStringList{QStringLiteral("[PATTERN]"), QStringLiteral("PAT=0")}
        << false << 0 << QString() << Numbers{};
    QTest::newRow("no file") << GameMiniLoto << false << QStringList() << false << 0 << QString()
                             << Numbers{};
}

void JudgementTest::readWinningNumbers()
{
    QFETCH(int, game);
    QFETCH(bool, writeFile);
    QFETCH(QStringList, file);
    QFETCH(bool, readable);
    if (writeFile)
        WritePatternFile(m_games[game].PatternFilePath, file);

    const std::optional<WinningNumbers> draw = ReadWinningNumbers(m_games, game);
    QCOMPARE(draw.has_value(), readable);
    if (!readable)
        return;
    QTEST(static_cast<int>(draw->DrawNumber), "drawNumber");
    QTEST(draw->DrawDate, "date");
    QTEST(draw->Numbers, "numbers");
}

void JudgementTest::readWinningNumbers_seesReplacedFile()
{
    const QString path = m_games[GameLoto6].PatternFilePath;
    const QStringList first{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                            QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6")};
    WritePatternFile(
        path, DrawSection(QStringLiteral("100"), QStringLiteral("a"), first, QStringLiteral("7")));
    const std::optional<WinningNumbers> before = ReadWinningNumbers(m_games, GameLoto6);
    QVERIFY(before);
    QCOMPARE(before->DrawNumber, 100);

    const QStringList second{QStringLiteral("11"), QStringLiteral("12"), QStringLiteral("13"),
                             QStringLiteral("14"), QStringLiteral("15"), QStringLiteral("16")};
    WritePatternFile(path, DrawSection(QStringLiteral("101"), QStringLiteral("b"), second,
                                       QStringLiteral("17")));
    const std::optional<WinningNumbers> after = ReadWinningNumbers(m_games, GameLoto6);
    QVERIFY(after);
    QCOMPARE(after->DrawNumber, 101);
    QCOMPARE(after->DrawDate, QStringLiteral("b"));
    QCOMPARE(after->Numbers, (DrawOf({11, 12, 13, 14, 15, 16}, 17)));

    QVERIFY(!after->Sample);
    WritePatternFile(
        path, DrawSection(QStringLiteral("101"), QStringLiteral("b"), second, QStringLiteral("17"))
                  << QStringLiteral("SAMPLE=1"));
    QVERIFY(ReadWinningNumbers(m_games, GameLoto6)->Sample);

    QVERIFY(!ReadWinningNumbers(m_games, GameCount));
    QVERIFY(!ReadWinningNumbers(m_games, -1));
}

void JudgementTest::matchCell_comparesText_data()
{
    QTest::addColumn<Numbers>("draw");
    QTest::addColumn<int>("pickCount");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<int>("match");
    QTest::addColumn<int>("hits");

    const Numbers loto6 = DrawOf({7, 15, 22, 31, 40, 43}, 11);
    const Numbers loto7 = DrawOf({2, 8, 13, 19, 24, 30, 36}, 11, 27);
    const int none = static_cast<int>(CellMatch::None);
    const int main = static_cast<int>(CellMatch::Main);
    const int bonus = static_cast<int>(CellMatch::Bonus);

    QTest::newRow("plain number") << loto6 << 6 << QStringLiteral("7") << main << 1;
    QTest::newRow("leading blank") << loto6 << 6 << QStringLiteral(" 7") << none << 0;
    QTest::newRow("leading zero") << loto6 << 6 << QStringLiteral("07") << none << 0;
    QTest::newRow("trailing blank") << loto6 << 6 << QStringLiteral("43 ") << none << 0;
    QTest::newRow("bonus") << loto6 << 6 << QStringLiteral("11") << bonus << 0;
    QTest::newRow("bonus with leading zero") << loto6 << 6 << QStringLiteral("011") << none << 0;
    QTest::newRow("empty cell") << loto6 << 6 << QString() << none << 0;
    QTest::newRow("miss") << loto6 << 6 << QStringLiteral("8") << none << 0;
    QTest::newRow("sixth number unused in mini loto")
        << loto6 << 5 << QStringLiteral("43") << none << 0;
    QTest::newRow("number repeated in the draw")
        << DrawOf({7, 7, 1, 2, 3, 0}, 9) << 5 << QStringLiteral("7") << main << 2;
    QTest::newRow("loto7 seventh number") << loto7 << 7 << QStringLiteral("36") << main << 1;
    QTest::newRow("loto7 first bonus") << loto7 << 7 << QStringLiteral("11") << bonus << 0;
    QTest::newRow("loto7 second bonus") << loto7 << 7 << QStringLiteral("27") << bonus << 0;
    QTest::newRow("second bonus unused in loto6")
        << DrawOf({7, 15, 22, 31, 40, 43}, 11, 27) << 6 << QStringLiteral("27") << none << 0;
    QTest::newRow("bonus equal to a main number counts as main")
        << DrawOf({7, 8, 1, 2, 3, 0}, 8) << 5 << QStringLiteral("8") << main << 1;
}

void JudgementTest::matchCell_comparesText()
{
    QFETCH(Numbers, draw);
    QFETCH(int, pickCount);
    QFETCH(QString, cell);
    WinningNumbers record;
    record.Numbers = draw;

    int hits = -1;
    const int bonusCount = pickCount == GameRuleOf(GameLoto7).PickCount ? 2 : 1;
    const CellMatch prepared = MatchCell(cell, PrepareDraw(record, pickCount, bonusCount), hits);
    QTEST(static_cast<int>(prepared), "match");
    QTEST(hits, "hits");

    int directHits = -1;
    QCOMPARE(MatchCell(cell, record, pickCount, directHits, bonusCount), prepared);
    QCOMPARE(directHits, hits);

    // A row holding the cell, judged through the store's keys and through
    // the table made of them once for a whole grid.
    GridCellStore store(2, 1);
    store.setText(1, 0, cell);
    const DrawKeys keys = KeysOf(PrepareDraw(record, pickCount, bonusCount),
                                 [&store](QStringView text) { return store.keyOf(text); });
    const DrawKeyTable table = MakeDrawKeyTable(keys);
    QVERIFY(table.Usable);
    std::array<quint32, JudgedColumns> row;
    row.fill(GridCellStore::EmptyKey);
    row[0] = store.cellKey(1, 0);
    for (const RowJudgement &judged : {JudgeRow(row, keys), JudgeRow(row, table)}) {
        QCOMPARE(judged.Marks[0], prepared);
        QCOMPARE(judged.Hits, hits);
        QCOMPARE(judged.BonusFlag, prepared == CellMatch::Bonus ? 1 : 0);
    }
}

void JudgementTest::prizeLine_perGameHitsAndBonus_data()
{
    QTest::addColumn<int>("game");
    QTest::addColumn<int>("hits");
    QTest::addColumn<int>("bonusFlag");
    QTest::addColumn<QString>("line");

    const int mini = GameMiniLoto;
    const int loto6 = GameLoto6;
    QTest::newRow("mini 5") << mini << 5 << 0
                            << QStringLiteral("ミニロト　１等 ホントニ！？　☆☆☆☆");
    QTest::newRow("mini 5+b") << mini << 5 << 1
                              << QStringLiteral("ミニロト　１等 ホントニ！？　☆☆☆☆");
    QTest::newRow("mini 4+b") << mini << 4 << 1
                              << QStringLiteral("ミニロト　２等 ホントニ！？　☆☆☆");
    QTest::newRow("mini 4") << mini << 4 << 0 << QStringLiteral("ミニロト　３等 オメデトウ！　☆☆");
    QTest::newRow("mini 3") << mini << 3 << 0 << QStringLiteral("ミニロト　４等 オメデトウ！　☆");
    QTest::newRow("mini 3+b") << mini << 3 << 1 << QStringLiteral("ミニロト　４等 オメデトウ！　☆");
    QTest::newRow("mini 2") << mini << 2 << 1
                            << QStringLiteral("ミニロト　残念！　２個当たり　もう一息");
    QTest::newRow("mini 1") << mini << 1 << 1 << QString();
    QTest::newRow("mini 0") << mini << 0 << 0 << QString();
    QTest::newRow("mini bonus only") << mini << 0 << 1 << QString();
    QTest::newRow("mini 6 (duplicates)") << mini << 6 << 0 << QString();

    QTest::newRow("loto6 6") << loto6 << 6 << 0
                             << QStringLiteral("ロト６　１等　ホントニ！？　☆☆☆☆☆");
    QTest::newRow("loto6 6+b") << loto6 << 6 << 1
                               << QStringLiteral("ロト６　１等　ホントニ！？　☆☆☆☆☆");
    QTest::newRow("loto6 5+b") << loto6 << 5 << 1
                               << QStringLiteral("ロト６　２等　ホントニ！？　☆☆☆☆");
    QTest::newRow("loto6 5") << loto6 << 5 << 0
                             << QStringLiteral("ロト６　３等　オメデトウ！　☆☆☆");
    QTest::newRow("loto6 4") << loto6 << 4 << 1 << QStringLiteral("ロト６　４等　オメデトウ！　☆☆");
    QTest::newRow("loto6 3") << loto6 << 3 << 0 << QStringLiteral("ロト６　５等　オメデトウ！　☆");
    QTest::newRow("loto6 2") << loto6 << 2 << 0
                             << QStringLiteral("ロト６　残念！　２個当たり　もう一息");
    QTest::newRow("loto6 1") << loto6 << 1 << 1 << QString();
    QTest::newRow("loto6 0") << loto6 << 0 << 0 << QString();
    QTest::newRow("loto6 bonus only") << loto6 << 0 << 1 << QString();
    QTest::newRow("loto6 7 (duplicates)") << loto6 << 7 << 0 << QString();
    const int loto7 = GameLoto7;
    QTest::newRow("loto7 7") << loto7 << 7 << 0
                             << QStringLiteral("ロト７　１等　ホントニ！？　☆☆☆☆☆☆");
    QTest::newRow("loto7 6+b") << loto7 << 6 << 1
                               << QStringLiteral("ロト７　２等　ホントニ！？　☆☆☆☆☆");
    QTest::newRow("loto7 6") << loto7 << 6 << 0
                             << QStringLiteral("ロト７　３等　オメデトウ！　☆☆☆☆");
    QTest::newRow("loto7 5+b") << loto7 << 5 << 1
                               << QStringLiteral("ロト７　４等　オメデトウ！　☆☆☆");
    QTest::newRow("loto7 4") << loto7 << 4 << 0 << QStringLiteral("ロト７　５等　オメデトウ！　☆☆");
    QTest::newRow("loto7 3+b") << loto7 << 3 << 1
                               << QStringLiteral("ロト７　６等　オメデトウ！　☆");
    QTest::newRow("loto7 3") << loto7 << 3 << 0
                             << QStringLiteral("ロト７　残念！　３個当たり　もう一息");
    QTest::newRow("loto7 2+b") << loto7 << 2 << 1 << QString();
    QTest::newRow("loto7 2") << loto7 << 2 << 0 << QString();
    QTest::newRow("unknown game") << GameCount << 6 << 0 << QString();
    QTest::newRow("negative game") << -1 << 6 << 0 << QString();
}

void JudgementTest::prizeLine_perGameHitsAndBonus()
{
    QFETCH(int, game);
    QFETCH(int, hits);
    QFETCH(int, bonusFlag);
    QTEST(PrizeLine(game, hits, bonusFlag), "line");
    QCOMPARE(HasPrizeLine(game, hits, bonusFlag), !PrizeLine(game, hits, bonusFlag).isEmpty());
}

// Every LOTO7 row judged against one draw, through the judgement's own row
// rule and prize lines: the counts of each tier and of the near miss are
// those of the game.
void JudgementTest::judgeRow_wholeLoto7Space()
{
    WinningNumbers draw;
    draw.Numbers = DrawOf({1, 2, 3, 4, 5, 6, 7}, 8, 9);
    // Keys stand for cell texts: a cell's key is its number.
    DrawKeys keys;
    keys.PickCount = 7;
    keys.BonusCount = 2;
    for (int k = 0; k < DrawSlots; ++k) {
        if (k < 7 || k >= BonusSlot)
            keys.Keys[size_t(k)] = quint32(draw.Numbers[size_t(k)]);
    }
    // Rows by hits and bonus flag; the prize line is a function of the two.
    qint64 counts[JudgedColumns + 1][2] = {};
    std::array<quint32, JudgedColumns> row{};
    // Lexicographic walk over the 7-subsets of 1..37.
    std::array<int, 7> pick{1, 2, 3, 4, 5, 6, 7};
    qint64 rows = 0;
    // The table a grid is judged through gives the same for every row.
    const DrawKeyTable table = MakeDrawKeyTable(keys);
    qint64 tableDiffers = 0;
    for (;;) {
        for (int c = 0; c < 7; ++c)
            row[size_t(c)] = quint32(pick[size_t(c)]);
        const RowJudgement judged = JudgeRow(row, keys);
        const RowJudgement viaTable = JudgeRow(row, table);
        if (viaTable.Hits != judged.Hits || viaTable.BonusFlag != judged.BonusFlag
            || viaTable.Marks != judged.Marks)
            ++tableDiffers;
        ++counts[judged.Hits][judged.BonusFlag];
        ++rows;
        int i = 6;
        while (i >= 0 && pick[size_t(i)] == 37 - 6 + i)
            --i;
        if (i < 0)
            break;
        ++pick[size_t(i)];
        for (int j = i + 1; j < 7; ++j)
            pick[size_t(j)] = pick[size_t(j - 1)] + 1;
    }
    QCOMPARE(rows, qint64(10295472));
    QCOMPARE(tableDiffers, qint64(0));
    QHash<QString, qint64> lines;
    for (int hits = 0; hits <= JudgedColumns; ++hits) {
        for (int flag = 0; flag < 2; ++flag)
            lines[PrizeLine(GameLoto7, hits, flag)] += counts[hits][flag];
    }
    const QStringList tiers{QStringLiteral("ロト７　１等　ホントニ！？　☆☆☆☆☆☆"),
                            QStringLiteral("ロト７　２等　ホントニ！？　☆☆☆☆☆"),
                            QStringLiteral("ロト７　３等　オメデトウ！　☆☆☆☆"),
                            QStringLiteral("ロト７　４等　オメデトウ！　☆☆☆"),
                            QStringLiteral("ロト７　５等　オメデトウ！　☆☆"),
                            QStringLiteral("ロト７　６等　オメデトウ！　☆"),
                            QStringLiteral("ロト７　残念！　３個当たり　もう一息")};
    const QList<qint64> expected{1, 14, 196, 9135, 142100, 242550, 716625};
    for (int t = 0; t < tiers.size(); ++t)
        QCOMPARE(lines.value(tiers.at(t)), expected.at(t));
}

QTEST_GUILESS_MAIN(JudgementTest)
#include "tst_Judgement.moc"
