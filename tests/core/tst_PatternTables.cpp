#include <QtTest>

// Placeholder until this area's tests land.
class PatternTablesTest : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_GUILESS_MAIN(PatternTablesTest)
#include "tst_PatternTables.moc"
