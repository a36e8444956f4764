#include <QtTest>

// Placeholder until this area's tests land.
class JudgementTest : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_GUILESS_MAIN(JudgementTest)
#include "tst_Judgement.moc"
