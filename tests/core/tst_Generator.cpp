#include "core/GameTable.h"
#include "core/Generator.h"
#include "core/RandomSource.h"
#include "core/Statistics.h"

#include <QtTest>

#include <cmath>
#include <vector>

namespace {

constexpr std::uint32_t TestSeed = 20240611u;

Thresholds AllAt(int value)
{
    Thresholds t{};
    t.fill(value);
    return t;
}

struct GameShape
{
    int N;
    int K;
};

GameShape Shape(int game)
{
    return game == GameLoto6 ? GameShape{43, 6} : GameShape{31, 5};
}

// Draws rows the way a run does and counts how often each number appears.
// Fails the test at the first row that is not K distinct ascending numbers
// in 1..N.
std::vector<int> DrawRows(const Thresholds &thresholds, int game, int rows, std::uint32_t seed,
                          bool &allRowsSound)
{
    const GameShape shape = Shape(game);
    RandomSource random(seed);
    std::vector<int> frequency(HighestNumber + 1, 0);
    allRowsSound = true;
    for (int r = 0; r < rows; ++r) {
        Combination selected{};
        DrawCombination(thresholds, shape.N, shape.K, random, selected);
        SortCombination(selected, shape.K);
        for (int i = 1; i <= shape.K; ++i) {
            const int v = selected[i];
            if (v < 1 || v > shape.N || (i > 1 && v <= selected[i - 1]))
                allRowsSound = false;
            if (v >= 0 && v <= HighestNumber)
                ++frequency[v];
        }
    }
    return frequency;
}

} // namespace

class GeneratorTest : public QObject
{
    Q_OBJECT
private slots:
    void statistics_matchWorkedRows_data();
    void statistics_matchWorkedRows();
    void randomSource_neverReachesOne();
    void neutralBoard_drawsEveryNumberEvenly_data();
    void neutralBoard_drawsEveryNumberEvenly();
    void thresholds_shiftHowOftenANumberEnters_data();
    void thresholds_shiftHowOftenANumberEnters();
    void miniLoto_neverDrawsAbove31();
    void outOfRangeThresholds_stillEnd_data();
    void outOfRangeThresholds_stillEnd();
};

void GeneratorTest::statistics_matchWorkedRows_data()
{
    QTest::addColumn<QList<int>>("numbers");
    QTest::addColumn<int>("sum");
    QTest::addColumn<int>("deviation");
    QTest::addColumn<int>("odd");

    QTest::newRow("loto6 1..6") << QList<int>{1, 2, 3, 4, 5, 6} << 21 << 2 << 3;
    QTest::newRow("loto6 half 2.5 to even") << QList<int>{1, 2, 4, 5, 7, 8} << 27 << 2 << 3;
    QTest::newRow("loto6 half 5.5 to even") << QList<int>{1, 2, 4, 5, 10, 17} << 39 << 6 << 3;
    QTest::newRow("loto6 both ends") << QList<int>{1, 2, 3, 41, 42, 43} << 132 << 20 << 4;
    QTest::newRow("loto6 step 7") << QList<int>{1, 8, 15, 22, 29, 36} << 111 << 12 << 3;
    QTest::newRow("mini 1..5") << QList<int>{1, 2, 3, 4, 5} << 15 << 1 << 3;
    QTest::newRow("mini 27..31") << QList<int>{27, 28, 29, 30, 31} << 145 << 1 << 3;
}

void GeneratorTest::statistics_matchWorkedRows()
{
    QFETCH(QList<int>, numbers);
    Combination selected{};
    const int k = static_cast<int>(numbers.size());
    for (int i = 0; i < k; ++i)
        selected[i + 1] = numbers[i];

    QTEST(CombinationSum(selected, k), "sum");
    QTEST(CombinationDeviation(selected, k), "deviation");
    QTEST(CombinationOddCount(selected, k), "odd");
}

void GeneratorTest::randomSource_neverReachesOne()
{
    // An engine word of all ones is the largest value the source can give.
    const float top = RandomSource::ToUnit(0xFFFFFFFFu);
    QVERIFY(top < 1.0f);
    QCOMPARE(top, 1.0f - 1.0f / 16777216.0f);
    QCOMPARE(static_cast<int>(std::floor(static_cast<double>(top) * 43 + 1)), 43);
    QCOMPARE(static_cast<int>(std::floor(static_cast<double>(top) * 31 + 1)), 31);
    QCOMPARE(RandomSource::ToUnit(0u), 0.0f);

    RandomSource random(TestSeed);
    for (int i = 0; i < 100000; ++i) {
        const float u = random.next();
        QVERIFY(u >= 0.0f && u < 1.0f);
    }
}

void GeneratorTest::neutralBoard_drawsEveryNumberEvenly_data()
{
    QTest::addColumn<int>("game");
    QTest::newRow("loto6") << GameLoto6;
    QTest::newRow("mini loto") << GameMiniLoto;
}

void GeneratorTest::neutralBoard_drawsEveryNumberEvenly()
{
    QFETCH(int, game);
    const GameShape shape = Shape(game);
    const int rows = 20000;
    bool sound = false;
    const std::vector<int> frequency = DrawRows(AllAt(3), game, rows, TestSeed, sound);
    QVERIFY(sound);

    const double expected = static_cast<double>(rows) * shape.K / shape.N;
    double chiSquare = 0.0;
    for (int v = 1; v <= shape.N; ++v)
        chiSquare += (frequency[v] - expected) * (frequency[v] - expected) / expected;
    // 42 and 30 degrees of freedom: the 0.1 % points are about 76 and 60.
    QVERIFY2(chiSquare < 100.0, qPrintable(QString::number(chiSquare)));
}

void GeneratorTest::thresholds_shiftHowOftenANumberEnters_data()
{
    QTest::addColumn<int>("game");
    QTest::addColumn<int>("others");
    QTest::addColumn<int>("marked");
    QTest::addColumn<int>("markedThreshold");
    QTest::addColumn<int>("watched");
    QTest::addColumn<double>("expectedShare");
    QTest::addColumn<double>("tolerance");

    // The watched number's share of rows; 20,000 rows keep the sampling
    // error near 0.2 %, far inside the tolerance.
    QTest::newRow("loto6 one at +, others at -, marked")
        << GameLoto6 << 5 << 17 << 1 << 17 << 0.93 << 0.02;
    QTest::newRow("loto6 one at -, others neutral, marked")
        << GameLoto6 << 3 << 17 << 5 << 17 << 0.012 << 0.004;
    QTest::newRow("loto6 one at -, others neutral, neutral number")
        << GameLoto6 << 3 << 17 << 5 << 30 << 0.14 << 0.02;
}

void GeneratorTest::thresholds_shiftHowOftenANumberEnters()
{
    QFETCH(int, game);
    QFETCH(int, others);
    QFETCH(int, marked);
    QFETCH(int, markedThreshold);
    QFETCH(int, watched);
    QFETCH(double, expectedShare);
    QFETCH(double, tolerance);

    Thresholds thresholds = AllAt(others);
    thresholds[marked] = markedThreshold;
    const int rows = 20000;
    bool sound = false;
    const std::vector<int> frequency = DrawRows(thresholds, game, rows, TestSeed, sound);
    QVERIFY(sound);
    const double share = static_cast<double>(frequency[watched]) / rows;
    QVERIFY2(std::abs(share - expectedShare) < tolerance, qPrintable(QString::number(share)));
}

void GeneratorTest::miniLoto_neverDrawsAbove31()
{
    // The hidden sliders 32..43 are read but must never matter.
    Thresholds thresholds = AllAt(5);
    for (int i = 32; i <= HighestNumber; ++i)
        thresholds[i] = 1;
    bool sound = false;
    const std::vector<int> frequency = DrawRows(thresholds, GameMiniLoto, 5000, TestSeed, sound);
    QVERIFY(sound);
    for (int v = 32; v <= HighestNumber; ++v)
        QCOMPARE(frequency[v], 0);
}

void GeneratorTest::outOfRangeThresholds_stillEnd_data()
{
    QTest::addColumn<int>("value");
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -4;
    QTest::newRow("huge") << 1000000000;
}

void GeneratorTest::outOfRangeThresholds_stillEnd()
{
    QFETCH(int, value);
    bool sound = false;
    DrawRows(AllAt(value), GameLoto6, 200, TestSeed, sound);
    QVERIFY(sound);
}

QTEST_GUILESS_MAIN(GeneratorTest)
#include "tst_Generator.moc"
