#include <QtTest>

// Placeholder until this area's tests land.
class SaveFileTest : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_GUILESS_MAIN(SaveFileTest)
#include "tst_SaveFile.moc"
