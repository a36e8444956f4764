#include "core/GameTable.h"
#include "core/PrizeChance.h"
#include "core/ShippedWheels.h"
#include "core/WheelBounds.h"
#include "core/WheelBuild.h"
#include "core/WheelCheck.h"
#include "core/WheelGame.h"
#include "core/WheelSpread.h"
#include "core/WheelText.h"
#include "core/WorkControl.h"

#include <QtTest>

#include <random>

using Rows = std::vector<std::vector<int>>;
using Numbers = std::vector<int>;
Q_DECLARE_METATYPE(Rows)
Q_DECLARE_METATYPE(Numbers)

namespace {

Numbers UpTo(int v)
{
    Numbers numbers;
    for (int n = 1; n <= v; ++n)
        numbers.push_back(n);
    return numbers;
}

// The lines of the plane of seven points: every pair lies on exactly one.
const Rows Fano{{1, 2, 4}, {2, 3, 5}, {3, 4, 6}, {4, 5, 7}, {1, 5, 6}, {2, 6, 7}, {1, 3, 7}};

Rows RandomRows(int count, int n, int k, unsigned seed)
{
    std::mt19937 random(seed);
    Rows rows;
    while (int(rows.size()) < count) {
        std::vector<int> row;
        while (int(row.size()) < k) {
            const int x = int(random() % unsigned(n)) + 1;
            if (std::find(row.begin(), row.end(), x) == row.end())
                row.push_back(x);
        }
        std::sort(row.begin(), row.end());
        rows.push_back(row);
    }
    return rows;
}

} // namespace

// Wheels: the proof counts exactly the cases a set of rows misses, the search
// reaches the known sizes in the chosen numbers, and the prize spread agrees
// with the exact chance the analysis computes its own way.
class WheelTest : public QObject
{
    Q_OBJECT
private slots:
    void check_countsUncoveredCases_data();
    void check_countsUncoveredCases();
    void build_reachesKnownSizesInTheChosenNumbers_data();
    void build_reachesKnownSizesInTheChosenNumbers();
    void build_sameSeedGivesSameRows();
    void shipped_keepTheirGuarantee_data();
    void shipped_keepTheirGuarantee();
    void build_refusesWhatCannotBeBuilt_data();
    void build_refusesWhatCannotBeBuilt();
    void lowerBound_data();
    void lowerBound();
    void spread_agreesWithTheExactChance_data();
    void spread_agreesWithTheExactChance();
    void sentence_namesTheGuaranteedTier_data();
    void sentence_namesTheGuaranteedTier();
};

void WheelTest::check_countsUncoveredCases_data()
{
    QTest::addColumn<Numbers>("numbers");
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<int>("t");
    QTest::addColumn<int>("m");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<quint64>("uncovered");
    QTest::addColumn<quint64>("cases");

    Rows planted = Fano;
    planted.erase(planted.begin());
    QTest::newRow("every pair") << UpTo(7) << Fano << 2 << 2 << true << quint64(0) << quint64(21);
    // The missing line's three pairs lie on no other line.
    QTest::newRow("one row missing")
        << UpTo(7) << planted << 2 << 2 << true << quint64(3) << quint64(21);
    // A triple misses only when all three of its pairs were the missing line's.
    QTest::newRow("2 if 3, one row missing")
        << UpTo(7) << planted << 2 << 3 << true << quint64(1) << quint64(35);
    const Numbers odd{1, 3, 5, 9, 11, 13, 15};
    Rows relabelled = Fano;
    for (auto &row : relabelled)
        for (int &n : row)
            n = odd[size_t(n - 1)];
    QTest::newRow("other numbers")
        << odd << relabelled << 2 << 2 << true << quint64(0) << quint64(21);
    QTest::newRow("a row outside the numbers")
        << UpTo(7) << Rows{{1, 2, 8}} << 2 << 2 << false << quint64(0) << quint64(0);
    QTest::newRow("a number twice in a row")
        << UpTo(7) << Rows{{1, 1, 2}} << 2 << 2 << false << quint64(0) << quint64(0);
    QTest::newRow("no rows") << UpTo(10) << Rows{} << 3 << 4 << true << quint64(210)
                             << quint64(210);
}

void WheelTest::check_countsUncoveredCases()
{
    QFETCH(Numbers, numbers);
    QFETCH(Rows, rows);
    QFETCH(int, t);
    QFETCH(int, m);
    const WheelCheckResult check = CheckWheel(numbers, rows, t, m);
    QTEST(check.Valid, "valid");
    QTEST(check.Uncovered, "uncovered");
    QTEST(check.Cases, "cases");
}

void WheelTest::build_reachesKnownSizesInTheChosenNumbers_data()
{
    QTest::addColumn<int>("game");
    QTest::addColumn<Numbers>("numbers");
    QTest::addColumn<int>("t");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("known");

    const Numbers scattered{3, 7, 11, 17, 25, 29, 38, 40, 43};
    QTest::newRow("LOTO6 9 numbers 3 if 3") << GameLoto6 << UpTo(9) << 3 << 3 << 7;
    QTest::newRow("LOTO6 scattered 3 if 3") << GameLoto6 << scattered << 3 << 3 << 7;
    QTest::newRow("LOTO6 10 numbers 5 if 5") << GameLoto6 << UpTo(10) << 5 << 5 << 50;
    QTest::newRow("Mini LOTO 11 numbers 4 if 4") << GameMiniLoto << UpTo(11) << 4 << 4 << 66;
    QTest::newRow("LOTO6 10 numbers 4 if 6") << GameLoto6 << UpTo(10) << 4 << 6 << 3;
    QTest::newRow("LOTO6 10 numbers 4 if 5") << GameLoto6 << UpTo(10) << 4 << 5 << 7;
    QTest::newRow("LOTO6 scattered 12, 4 if 6")
        << GameLoto6 << Numbers{2, 5, 8, 13, 14, 19, 22, 27, 31, 36, 41, 42} << 4 << 6 << 6;
    QTest::newRow("all six numbers") << GameLoto6 << Numbers{4, 9, 15, 16, 23, 42} << 3 << 6 << 1;
}

void WheelTest::build_reachesKnownSizesInTheChosenNumbers()
{
    QFETCH(int, game);
    QFETCH(Numbers, numbers);
    QFETCH(int, t);
    QFETCH(int, m);
    QFETCH(int, known);
    WheelRequest request;
    request.Game = game;
    request.Numbers = numbers;
    request.Match = t;
    request.If = m;
    request.Seconds = 20;
    request.TargetRows = known;
    const WheelResult result = BuildWheel(request);
    QVERIFY(result.Error.isEmpty());
    QCOMPARE(int(result.Rows.size()), known);
    QCOMPARE(result.Uncovered, quint64(0));
    QCOMPARE(result.Cases, Binomial(int(numbers.size()), m));
    const int pick = WheelGameAt(game).PickCount;
    for (const std::vector<int> &row : result.Rows) {
        QCOMPARE(int(row.size()), pick);
        QVERIFY(std::is_sorted(row.begin(), row.end()));
        for (const int n : row)
            QVERIFY(std::find(numbers.begin(), numbers.end(), n) != numbers.end());
    }
}

void WheelTest::build_sameSeedGivesSameRows()
{
    WheelRequest request;
    request.Game = GameLoto6;
    request.Numbers = UpTo(14);
    request.Match = 4;
    request.If = 4;
    request.Seed = 42;
    request.MaxSteps = 3000;
    const WheelResult first = BuildWheel(request);
    const WheelResult second = BuildWheel(request);
    QVERIFY(!first.Rows.empty());
    QCOMPARE(first.Uncovered, quint64(0));
    QVERIFY(first.Rows == second.Rows);
}

// Each shipped wheel is proved here, and opened through the search in
// other numbers than 1..v, as a user would choose them.
void WheelTest::shipped_keepTheirGuarantee_data()
{
    QTest::addColumn<int>("v");
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("t");
    QTest::addColumn<int>("m");
    for (const ShippedCase &c : ShippedWheelCases())
        QTest::addRow("v%d k%d %d if %d", c.V, c.K, c.T, c.M) << c.V << c.K << c.T << c.M;
}

void WheelTest::shipped_keepTheirGuarantee()
{
    QFETCH(int, v);
    QFETCH(int, k);
    QFETCH(int, t);
    QFETCH(int, m);
    const Rows rows = ShippedWheel(v, k, t, m);
    for (const std::vector<int> &row : rows)
        QCOMPARE(int(row.size()), k);
    const WheelCheckResult check = CheckWheel(UpTo(v), rows, t, m);
    QVERIFY(check.Valid);
    QCOMPARE(check.Uncovered, quint64(0));

    WheelRequest request;
    request.Game = k == 5 ? GameMiniLoto : GameLoto6;
    const int highest = WheelGameAt(request.Game).MaxNumber;
    for (int n = 1; n <= v; ++n)
        request.Numbers.push_back(highest - v + n);
    request.Match = t;
    request.If = m;
    request.TargetRows = int(rows.size());
    const WheelResult result = BuildWheel(request);
    QVERIFY(result.FromData);
    QCOMPARE(result.Rows.size(), rows.size());
    QCOMPARE(result.Uncovered, quint64(0));
}

void WheelTest::build_refusesWhatCannotBeBuilt_data()
{
    QTest::addColumn<int>("game");
    QTest::addColumn<Numbers>("numbers");
    QTest::addColumn<int>("t");
    QTest::addColumn<int>("m");

    QTest::newRow("fewer numbers than a row") << GameLoto6 << UpTo(5) << 3 << 3;
    QTest::newRow("a number twice") << GameLoto6 << Numbers{1, 2, 3, 4, 5, 6, 6} << 3 << 3;
    QTest::newRow("above the game") << GameMiniLoto << Numbers{1, 2, 3, 4, 5, 32} << 3 << 3;
    QTest::newRow("zero") << GameLoto6 << Numbers{0, 1, 2, 3, 4, 5} << 3 << 3;
    QTest::newRow("hits above the condition") << GameLoto6 << UpTo(10) << 4 << 3;
    QTest::newRow("condition above a row") << GameLoto6 << UpTo(10) << 3 << 7;
    QTest::newRow("no hits") << GameLoto6 << UpTo(10) << 0 << 3;
    QTest::newRow("too many cases") << GameLoto6 << UpTo(43) << 3 << 6;
    QTest::newRow("no such game") << 7 << UpTo(10) << 3 << 3;
}

void WheelTest::build_refusesWhatCannotBeBuilt()
{
    QFETCH(int, game);
    QFETCH(Numbers, numbers);
    QFETCH(int, t);
    QFETCH(int, m);
    WheelRequest request;
    request.Game = game;
    request.Numbers = numbers;
    request.Match = t;
    request.If = m;
    request.Seconds = 1;
    const WheelResult result = BuildWheel(request);
    QVERIFY(!result.Error.isEmpty());
    QVERIFY(result.Rows.empty());
}

void WheelTest::lowerBound_data()
{
    QTest::addColumn<int>("v");
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("t");
    QTest::addColumn<int>("bound");

    QTest::newRow("the plane of seven points") << 7 << 3 << 2 << 2 << 7;
    QTest::newRow("a Steiner system reaches it") << 12 << 6 << 5 << 5 << 132;
    QTest::newRow("9 numbers 3 if 3") << 9 << 6 << 3 << 3 << 6;
    QTest::newRow("every number in one row") << 6 << 6 << 6 << 3 << 1;
    QTest::newRow("hits above the condition") << 10 << 6 << 3 << 4 << 0;
}

void WheelTest::lowerBound()
{
    QFETCH(int, v);
    QFETCH(int, k);
    QFETCH(int, m);
    QFETCH(int, t);
    QTEST(WheelLowerBound(v, k, m, t), "bound");
}

void WheelTest::spread_agreesWithTheExactChance_data()
{
    QTest::addColumn<int>("game");
    QTest::addColumn<Rows>("rows");

    QTest::newRow("LOTO6 one row") << GameLoto6 << Rows{{1, 2, 3, 4, 5, 6}};
    QTest::newRow("LOTO6 rows over 25 numbers") << GameLoto6 << RandomRows(40, 25, 6, 3);
    QTest::newRow("LOTO6 rows over 12 numbers") << GameLoto6 << RandomRows(30, 12, 6, 4);
    QTest::newRow("Mini LOTO rows over 9 numbers") << GameMiniLoto << RandomRows(25, 9, 5, 5);
    QTest::newRow("Mini LOTO rows over all numbers") << GameMiniLoto << RandomRows(60, 31, 5, 6);
}

// The analysis counts each tier over the main numbers alone, the second
// prize over the main numbers with the bonus; the spread counts every tier
// over both, so the others are (N - K) times the analysis's figures.
void WheelTest::spread_agreesWithTheExactChance()
{
    QFETCH(int, game);
    QFETCH(Rows, rows);
    const GameInfo info = MakeGameTable(QString())[size_t(game)];
    std::vector<NumberSet> sets;
    for (const std::vector<int> &row : rows) {
        NumberSet set = 0;
        for (const int n : row)
            set |= NumberBit(n);
        sets.push_back(set);
    }
    WorkControl control;
    const ChanceResult chance = ComputeChance(game, info, sets, control, 1);
    const WheelSpread spread = ComputeWheelSpread(WheelGameAt(game), rows);
    QCOMPARE(int(spread.Tiers.size()), TierCount(game));
    const quint64 bonuses = quint64(info.MaxNumber - info.PickCount);
    for (int t = 0; t < TierCount(game); ++t) {
        const WheelTierSpread &tier = spread.Tiers[size_t(t)];
        const OutcomeCount &expected = chance.AtLeast[size_t(t)];
        const quint64 scale = t == 1 ? 1 : bonuses;
        QCOMPARE(tier.Outcomes, BonusOutcomes(info));
        QCOMPARE(tier.Winning, expected.Winning * scale);
        QVERIFY(qAbs(tier.RandomRows - chance.IndependentAtLeast[size_t(t)]) < 1e-12);
    }
}

void WheelTest::sentence_namesTheGuaranteedTier_data()
{
    QTest::addColumn<int>("game");
    QTest::addColumn<int>("t");
    QTest::addColumn<QString>("tier");

    QTest::newRow("LOTO6 3 hits") << GameLoto6 << 3 << QStringLiteral("（5等以上）");
    QTest::newRow("LOTO6 5 hits") << GameLoto6 << 5 << QStringLiteral("（3等以上）");
    QTest::newRow("LOTO6 all six") << GameLoto6 << 6 << QStringLiteral("（1等以上）");
    QTest::newRow("Mini LOTO 4 hits") << GameMiniLoto << 4 << QStringLiteral("（3等以上）");
    QTest::newRow("two hits win nothing")
        << GameLoto6 << 2 << QStringLiteral("（この数では賞金はありません）");
}

void WheelTest::sentence_namesTheGuaranteedTier()
{
    QFETCH(int, game);
    QFETCH(int, t);
    QFETCH(QString, tier);
    const QString sentence = WheelSentence(WheelGameAt(game), 12, t, t);
    QVERIFY2(sentence.endsWith(tier + QStringLiteral("。")), qPrintable(sentence));
}

QTEST_APPLESS_MAIN(WheelTest)
#include "tst_Wheel.moc"
