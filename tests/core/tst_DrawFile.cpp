#include "support/TestFiles.h"

#include "core/DrawFile.h"
#include "core/DrawImport.h"
#include "core/LatestDraw.h"

#include <QtTest>

#include <algorithm>
#include <cstdlib>

namespace {

QByteArray Fixture(const char *name)
{
    return FileBytes(QStringLiteral(ZANBO_SOURCE_DIR "/tests/data/") + QLatin1String(name));
}

// What a test compares of a draw: numbers, date, tiers and carry-over.
QString Summary(const DrawRecord &draw)
{
    QStringList winners;
    QStringList prizes;
    // The game's tiers; a tier beyond them stays unknown.
    for (int t = 0; t < DrawRecord::MaxTiers; ++t) {
        if (t >= GameRuleOf(draw.Game).TierCount) {
            if (draw.Winners[size_t(t)] != DrawRecord::Unknown
                || draw.PrizeYen[size_t(t)] != DrawRecord::Unknown)
                return QStringLiteral("amounts beyond the game's tiers");
            continue;
        }
        winners << QString::number(draw.Winners[size_t(t)]);
        prizes << QString::number(draw.PrizeYen[size_t(t)]);
    }
    return DrawLine(draw) + QStringLiteral(" w ") + winners.join(QLatin1Char(' '))
           + QStringLiteral(" y ") + prizes.join(QLatin1Char(' ')) + QStringLiteral(" c ")
           + QString::number(draw.CarryOverYen);
}

DrawRecord Draw(int game, int number, const char *date, QList<int> mains, int bonus)
{
    DrawRecord draw;
    draw.Game = game;
    draw.DrawNumber = number;
    draw.Date = QDate::fromString(QLatin1String(date), Qt::ISODate);
    draw.MainCount = int(mains.size());
    for (int i = 0; i < mains.size(); ++i)
        draw.Numbers[size_t(i)] = mains.at(i);
    draw.Bonus = bonus;
    draw.Source = QStringLiteral("manual");
    return draw;
}

} // namespace

// Reading published draw files, checking their rows, writing them back, and
// the choice of the draw the judgement uses.
class DrawFileTest : public QObject
{
    Q_OBJECT

private slots:
    void readDrawFile_layouts_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("game");
        QTest::addColumn<bool>("header");
        QTest::addColumn<int>("draws");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");

        QTest::newRow("LOTO6, UTF-8 with BOM, CR LF, quoted prizes, EOF column")
            << Fixture("loto6-utf8-bom-crlf.csv") << 0 << true << 4
            << "第1回 2000/10/05   2  8 10 13 27 30 (39) w 0 1 63 3009 52411"
               " y 0 15219100 522700 9100 1000 c 405925082"
            << "第4回 2000/10/26  16 18 26 27 34 40 (13) w 0 0 45 3391 61010"
               " y -1 -1 895700 9800 1000 c -1";
        QTest::newRow("Mini LOTO, code page 932, LF, other names and order, extra column")
            << Fixture("mini-cp932-lf.csv") << 1 << true << 3
            << "第1回 1999/04/13   3 16 19 28 31 (7) w 2 9 321 8012"
               " y 12100300 214500 12300 1100 c -1"
            << "第3回 1999/04/27   1  4 12 22 29 (17) w 1 5 300 7500"
               " y 20051600 301200 14900 1200 c -1";
        QTest::newRow("LOTO6 without header, numbers sorted")
            << Fixture("loto6-noheader-lf.csv") << 0 << false << 3
            << "第1回 2000/10/05   2  8 10 13 27 30 (39) w -1 -1 -1 -1 -1 y -1 -1 -1 -1 -1 c -1"
            << "第3回 2000/10/19   1  5 15 31 36 38 (13) w -1 -1 -1 -1 -1 y -1 -1 -1 -1 -1 c -1";
        QTest::newRow("Mini LOTO without header, code page 932, CR LF, every field quoted")
            << Fixture("mini-noheader-cp932-crlf.csv") << 1 << false << 2
            << "第1回 1999/04/13   3 16 19 28 31 (7) w -1 -1 -1 -1 y -1 -1 -1 -1 c -1"
            << "第2回 1999/04/20   2 11 18 26 30 (24) w -1 -1 -1 -1 y -1 -1 -1 -1 c -1";
        QTest::newRow("no header, numbers that fit both games: nine columns are LOTO6")
            << QByteArray("1,2000/10/5,1,2,3,4,5,6,7\n") << 0 << false << 1
            << "第1回 2000/10/05   1  2  3  4  5  6 (7) w -1 -1 -1 -1 -1 y -1 -1 -1 -1 -1 c -1"
            << "第1回 2000/10/05   1  2  3  4  5  6 (7) w -1 -1 -1 -1 -1 y -1 -1 -1 -1 -1 c -1";
        QTest::newRow("full-width header names, doubled quotes, line end inside quotes")
            << QStringLiteral(
                   "回別,抽選日,\"メモ\"\"改行\n入り\"\"\",数字１,数字２,数字３,数字４,数字５,"
                   "ボーナス\r\n第12回,2000年12月5日,\"a,\"\"b\"\"\n c\",１,2,3,4,5,6\r\n")
                   .toUtf8()
            << 1 << true << 1
            << "第12回 2000/12/05   1  2  3  4  5 (6) w -1 -1 -1 -1 y -1 -1 -1 -1 c -1"
            << "第12回 2000/12/05   1  2  3  4  5 (6) w -1 -1 -1 -1 y -1 -1 -1 -1 c -1";
        QTest::newRow("LOTO7, UTF-8, 抽せん回 and 本数字 names, grouped tiers, weekday")
            << Fixture("loto7-utf8-grouped.csv") << 2 << true << 3
            << "第1回 2013/04/05   4 14 17 21 27 35 37 (2 19) w 0 4 152 5869 103540 169722"
               " y -1 9604300 493400 8800 1600 1000 c 1282613660"
            << "第3回 2013/04/19   1  6 10 16 25 26 33 (8 20) w 0 3 97 4873 96112 158030"
               " y 0 11958100 408300 9500 1700 1000 c 414296080";
        QTest::newRow("LOTO7, code page 932, 第n数字 and BONUS数字 names, tiers interleaved")
            << Fixture("loto7-cp932-interleaved.csv") << 2 << true << 3
            << "第1回 2013/04/05   4 14 17 21 27 35 37 (2 19) w 0 4 152 5869 103540 169722"
               " y 0 9604300 493400 8800 1600 1000 c 1282613660"
            << "第3回 2013/04/19   1  6 10 16 25 26 33 (8 20) w 0 3 97 4873 96112 158030"
               " y 0 11958100 408300 9500 1700 1000 c 414296080";
    }

    void readDrawFile_layouts()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, game);
        QFETCH(bool, header);
        QFETCH(int, draws);
        QFETCH(QString, first);
        QFETCH(QString, last);

        const QDateTime when = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
        const DrawFile file = ReadDrawFile(bytes, QStringLiteral("f.csv"), when);
        QCOMPARE(file.Game, game);
        QCOMPARE(file.HasHeader, header);
        for (const RejectedRow &row : file.Rejected)
            qWarning() << row.Line << row.Reason << row.Text;
        QCOMPARE(file.Rejected.size(), 0);
        QCOMPARE(file.Draws.size(), draws);
        QCOMPARE(Summary(file.Draws.constFirst()), first);
        QCOMPARE(Summary(file.Draws.constLast()), last);
        QCOMPARE(file.Draws.constFirst().Source, QStringLiteral("f.csv"));
        QCOMPARE(file.Draws.constFirst().StoredAt, when);
    }

    void readDrawFile_badRowsSkippedWithLineAndReason_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("reason");
        QTest::newRow("main number out of range") << 3 << "本数字「44」が1～43の整数ではありません";
        QTest::newRow("main numbers repeated") << 4 << "本数字36が重複しています";
        QTest::newRow("bonus out of range") << 5 << "ボーナス数字「0」が1～43の整数ではありません";
        QTest::newRow("bonus among the main numbers")
            << 6 << "ボーナス数字26が本数字と重複しています";
        QTest::newRow("draw number not positive") << 7 << "回号「0」が正の整数ではありません";
        QTest::newRow("no such day") << 8 << "日付「2000/11/31」が正しくありません";
        QTest::newRow("too few columns") << 9 << "列が足りません";
        QTest::newRow("draw twice in the file") << 10 << "第1回が2行目にもあります";
        QTest::newRow("not a number") << 12 << "本数字「x」が1～43の整数ではありません";
        QTest::newRow("draw number past the last")
            << 14 << "回号「100000」が1～99999の範囲にありません";
        QTest::newRow("prize over a trillion yen")
            << 15 << "金額「1,000,000,000,001」が1兆円を超えています";
        QTest::newRow("carry-over of 16 digits")
            << 16 << "金額「9999999999999999」が1兆円を超えています";
    }

    void readDrawFile_badRowsSkippedWithLineAndReason()
    {
        QFETCH(int, line);
        QFETCH(QString, reason);
        const DrawFile file = ReadDrawFile(Fixture("loto6-bad-rows.csv"), QStringLiteral("bad"));
        QCOMPARE(file.Game, 0);
        QCOMPARE(file.Rows, 15); // the blank line is no row
        QCOMPARE(file.Draws.size(), 3);
        QCOMPARE(file.Draws.constLast().DrawNumber, 14);
        QCOMPARE(file.Draws.constLast().CarryOverYen, DrawRecord::MaxYen);
        QCOMPARE(file.Rejected.size(), 12);
        const auto found = std::find_if(
            file.Rejected.begin(), file.Rejected.end(),
            [line](const RejectedRow &row) { return row.Line == line; });
        QVERIFY(found != file.Rejected.end());
        QCOMPARE(found->Reason, reason);
    }

    void readDrawFile_unknownLayout_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("header without a bonus column")
            << QStringLiteral(
                   "開催回,日付,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字\n1,2000/1/6,"
                   "1,2,3,4,5,6\n")
                   .toUtf8();
        QTest::newRow("seven number columns") << QByteArray("1,2000/1/6,1,2\n2,2000/1/13,1,2\n");
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11);
    }

    void readDrawFile_unknownLayout()
    {
        QFETCH(QByteArray, bytes);
        const DrawFile file = ReadDrawFile(bytes, QStringLiteral("x"));
        QCOMPARE(file.Game, -1);
        QVERIFY(file.Draws.isEmpty());
    }

    void parseDrawDate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<bool>("reason"); // the refusal says why
        QTest::newRow("slashes") << "2000/10/5" << QDate(2000, 10, 5) << false;
        QTest::newRow("ISO") << "2000-10-05" << QDate(2000, 10, 5) << false;
        QTest::newRow("kanji") << "2000年10月5日" << QDate(2000, 10, 5) << false;
        QTest::newRow("leap day") << "2004/2/29" << QDate(2004, 2, 29) << false;
        QTest::newRow("no leap day") << "2003/2/29" << QDate() << false;
        QTest::newRow("mixed separators") << "2000/10-5" << QDate() << false;
        QTest::newRow("day first") << "5/10/2000" << QDate() << true;
        QTest::newRow("two-digit year") << "00/10/05" << QDate() << false;
        QTest::newRow("time after it") << "2000/10/5 19:45" << QDate() << false;
        QTest::newRow("empty") << "" << QDate() << false;
        QTest::newRow("weekday") << "2027/1/21(木)" << QDate(2027, 1, 21) << false;
        QTest::newRow("full-width weekday") << "2027/1/21（木）" << QDate(2027, 1, 21) << false;
        QTest::newRow("Reiwa in kanji") << "令和9年1月11日" << QDate(2027, 1, 11) << false;
        QTest::newRow("Reiwa's first year") << "令和元年5月1日" << QDate(2019, 5, 1) << false;
        QTest::newRow("Reiwa initial") << "R9/1/14" << QDate(2027, 1, 14) << false;
        QTest::newRow("Heisei initial, dots") << "H30.5.7" << QDate(2018, 5, 7) << false;
        QTest::newRow("Heisei year 0") << "H0.5.7" << QDate() << false;
        QTest::newRow("eight digits") << "20270118" << QDate(2027, 1, 18) << false;
        QTest::newRow("dots") << "2027.2.1" << QDate(2027, 2, 1) << false;
        QTest::newRow("month first, year last") << "1/28/2027" << QDate() << true;
    }

    void parseDrawDate()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QFETCH(bool, reason);
        QString why;
        QCOMPARE(ParseDrawDate(text, &why), date);
        QCOMPARE(why.contains(QStringLiteral("月と日のどちらが先か分かりません")), reason);
    }

    // What a file holds: the game from header names first, then from the
    // numbers; a header of unknown names is no draw; empty and header-only
    // files are told apart; dates outside the game's draws are refused.
    void readDrawFile_gameAndRows_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("forced"); // -1: detected
        QTest::addColumn<int>("game");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("draws");
        QTest::addColumn<QString>("reason"); // of the first refused row, with its line
        const QString six = QStringLiteral(",1,2,3,4,5,6,7\n");
        const QString header = QStringLiteral("開催回,日付,第1数字,第2数字,第3数字,第4数字,"
                                              "第5数字,第6数字,BONUS数字\n");
        QTest::newRow("LOTO6 without a bonus column is no Mini LOTO")
            << "1,2000/10/5,2,8,10,13,27,30\n2,2000/10/12,1,9,16,20,21,42\n"
            << -1 << 0 << 2 << 0 << "1: 列が足りません";
        QTest::newRow("header of unknown names is no row")
            << "回,日,N1,N2,N3,N4,N5,N6,B\n1,2000/10/5,2,8,10,13,27,30,39\n"
            << -1 << 0 << 1 << 1 << "";
        QTest::newRow("header alone") << header << -1 << 0 << 0 << 0 << "";
        QTest::newRow("Mini LOTO numbers read as LOTO6 when asked")
            << "1,2000/10/5,1,2,3,4,5,6\n"
            << 0 << 0 << 1 << 0 << "1: 列が足りません";
        QTest::newRow("LOTO6 header read as Mini LOTO when asked")
            << header + QStringLiteral("2,1999/4/20,1,2,3,4,5,6,7\n") << 1 << 1 << 1 << 1 << "";
        QTest::newRow("before the first draw")
            << header + QStringLiteral("2,2000/10/4") + six << -1 << 0 << 1 << 0
            << "2: 日付2000/10/04がロト６の第1回（2000/10/05）と合いません";
        QTest::newRow("draw 1 on another day")
            << header + QStringLiteral("1,2026/1/1") + six << -1 << 0 << 1 << 0
            << "2: 日付2026/01/01がロト６の第1回（2000/10/05）と合いません";
        QTest::newRow("year 3406") << header + QStringLiteral("5,3406/1/1") + six << -1 << 0 << 1
                                   << 0 << "2: 日付3406/01/01が7日より先です";
        const QDate week = QDate::currentDate().addDays(7);
        QTest::newRow("a week ahead")
            << header + QStringLiteral("9,") + week.toString(QStringLiteral("yyyy/M/d")) + six << -1
            << 0 << 1 << 1 << "";
        QTest::newRow("eight days ahead")
            << header + QStringLiteral("9,") + week.addDays(1).toString(QStringLiteral("yyyy/M/d"))
                   + six
            << -1 << 0 << 1 << 0
            << QStringLiteral("2: 日付%1が7日より先です")
                   .arg(week.addDays(1).toString(QStringLiteral("yyyy/MM/dd")));
        QTest::newRow("Mini LOTO's first draw") << "1,1999/4/13,1,2,3,4,5,6\n"
                                                << -1 << 1 << 1 << 1 << "";
        QTest::newRow("month and day order unknown")
            << header + QStringLiteral("2,1/28/2027") + six << -1 << 0 << 1 << 0
            << "2: 日付「1/28/2027」は月と日のどちらが先か分かりません"
               "（年を先に、年/月/日の順で書いてください）";
    }

    void readDrawFile_gameAndRows()
    {
        QFETCH(QString, text);
        QFETCH(int, forced);
        QFETCH(int, rows);
        QFETCH(int, draws);
        QFETCH(QString, reason);
        const DrawFile file = ReadDrawFile(text.toUtf8(), QStringLiteral("f"),
                                           QDateTime::currentDateTimeUtc(), forced);
        QTEST(file.Game, "game");
        QCOMPARE(file.Rows, rows);
        QCOMPARE(file.Draws.size(), draws);
        QVERIFY(!file.Empty);
        const QString first = file.Rejected.isEmpty() ? QString()
                                                      : QStringLiteral("%1: %2")
                                                            .arg(file.Rejected.constFirst().Line)
                                                            .arg(file.Rejected.constFirst().Reason);
        QCOMPARE(first, reason);
        QVERIFY(ReadDrawFile(QByteArray("\xEF\xBB\xBF\r\n \r\n"), QStringLiteral("e")).Empty);
    }

    void writeDrawFile_readsBackTheSame_data()
    {
        QTest::addColumn<int>("game");
        QTest::newRow("LOTO6") << 0;
        QTest::newRow("Mini LOTO") << 1;
        QTest::newRow("LOTO7") << 2;
    }

    void writeDrawFile_readsBackTheSame()
    {
        QFETCH(int, game);
        const char *const names[] = {"loto6-utf8-bom-crlf.csv", "mini-cp932-lf.csv",
                                     "loto7-cp932-interleaved.csv"};
        const QByteArray source = Fixture(names[game]);
        const DrawFile first = ReadDrawFile(source, QStringLiteral("a"));
        const DrawFile again = ReadDrawFile(WriteDrawFile(first.Draws, game), QStringLiteral("a"));
        QCOMPARE(again.Game, game);
        QCOMPARE(again.Draws.size(), first.Draws.size());
        for (int i = 0; i < first.Draws.size(); ++i)
            QCOMPARE(Summary(again.Draws.at(i)), Summary(first.Draws.at(i)));
        const DrawImport import = PlanImport(again, first.Draws, QStringLiteral("a"));
        QCOMPARE(import.AlreadyStored.size(), first.Draws.size());
        QVERIFY(import.New.isEmpty() && import.Conflicts.isEmpty());
    }

    void planImport_sortsNewStoredAndConflicting()
    {
        const QVector<DrawRecord> stored{
            Draw(0, 1, "2000-10-05", {2, 8, 10, 13, 27, 30}, 39),
            Draw(0, 2, "2000-10-12", {1, 9, 16, 20, 21, 42}, 5), // the file says 43
        };
        const DrawFile file = ReadDrawFile(Fixture("loto6-utf8-bom-crlf.csv"), QStringLiteral("f"));
        DrawImport import = PlanImport(file, stored, QStringLiteral("f.csv"));
        QCOMPARE(import.AlreadyStored, QVector<int>{1});
        QCOMPARE(import.New.size(), 2);
        QCOMPARE(import.Conflicts.size(), 1);
        QCOMPARE(import.Conflicts.constFirst().Stored.Numbers[5], 42);
        QCOMPARE(import.Conflicts.constFirst().Incoming.Numbers[5], 43);
        QCOMPARE(DrawsToStore(import).size(), 2);
        import.ConflictsReplaced = true;
        QCOMPARE(DrawsToStore(import).size(), 3);

        const QString report = ImportReport(import);
        QVERIFY(
            report.contains(QStringLiteral("新規 2件、登録済み 1件、食い違い 1件、不正な行 0件")));
        QVERIFY(
            report.contains(QStringLiteral("登録済み: 第2回 2000/10/12   1  9 16 20 21 42 (5)")));
        QVERIFY(
            report.contains(QStringLiteral("取込内容: 第2回 2000/10/12   1  9 16 20 21 43 (5)")));
    }

    void newerDraw_data()
    {
        QTest::addColumn<int>("patternNumber"); // 0: no pattern file draw, below 0: a sample's
        QTest::addColumn<int>("storedNumber");  // 0: no stored draw
        QTest::addColumn<QString>("label");     // empty: no draw
        QTest::newRow("stored draw newer") << 250 << 1234 << "1234回　(抽選日 2017/11/30)（履歴）";
        QTest::newRow("pattern file draw newer") << 250 << 249 << "250回　(抽選日 2005/10/06)";
        QTest::newRow("same draw: the pattern file's")
            << 250 << 250 << "250回　(抽選日 2005/10/06)";
        QTest::newRow("no history") << 250 << 0 << "250回　(抽選日 2005/10/06)";
        QTest::newRow("no pattern file") << 0 << 7 << "7回　(抽選日 2017/11/30)（履歴）";
        QTest::newRow("neither") << 0 << 0 << "";
        QTest::newRow("sample file's draw is none") << -250 << 0 << "";
        QTest::newRow("sample file's draw under history")
            << -250 << 7 << "7回　(抽選日 2017/11/30)（履歴）";
    }

    void newerDraw()
    {
        QFETCH(int, patternNumber);
        QFETCH(int, storedNumber);
        QFETCH(QString, label);
        std::optional<WinningNumbers> pattern;
        if (patternNumber != 0)
            pattern = WinningNumbers{
                QStringLiteral("2005/10/06"), std::abs(patternNumber), {}, patternNumber < 0};
        std::optional<DrawRecord> stored;
        if (storedNumber > 0)
            stored = Draw(0, storedNumber, "2017-11-30", {1, 2, 3, 4, 5, 6}, 7);
        bool fromHistory = false;
        const std::optional<WinningNumbers> draw = NewerDraw(pattern, stored, &fromHistory);
        QCOMPARE(draw ? DrawLabel(*draw, fromHistory) : QString(), label);
        if (fromHistory)
            QCOMPARE(draw->Numbers, (std::array<qint32, DrawSlots>{1, 2, 3, 4, 5, 6, 0, 7}));
    }
};

QTEST_GUILESS_MAIN(DrawFileTest)
#include "tst_DrawFile.moc"
