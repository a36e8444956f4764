#include <QtTest>

// Placeholder until this area's tests land.
class ProfileFileTest : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_GUILESS_MAIN(ProfileFileTest)
#include "tst_ProfileFile.moc"
