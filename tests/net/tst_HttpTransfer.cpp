#include <QtTest>

// Placeholder until this area's tests land.
class HttpTransferTest : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_GUILESS_MAIN(HttpTransferTest)
#include "tst_HttpTransfer.moc"
