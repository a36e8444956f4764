#include <QtTest>

// Placeholder until this area's tests land.
class ResultGridTest : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_GUILESS_MAIN(ResultGridTest)
#include "tst_ResultGrid.moc"
