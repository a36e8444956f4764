#include <QtTest>

// Placeholder until this area's tests land.
class JudgeAndWebTest : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_GUILESS_MAIN(JudgeAndWebTest)
#include "tst_JudgeAndWeb.moc"
