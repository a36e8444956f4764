#include <QtTest>

// Placeholder until this area's tests land.
class GeneratorTest : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_GUILESS_MAIN(GeneratorTest)
#include "tst_Generator.moc"
