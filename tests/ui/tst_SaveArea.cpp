#include <QtTest>

// Placeholder until this area's tests land.
class SaveAreaTest : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_GUILESS_MAIN(SaveAreaTest)
#include "tst_SaveArea.moc"
