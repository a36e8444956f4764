#include <QtTest>

// Placeholder until this area's tests land.
class DlgDownloadTest : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_GUILESS_MAIN(DlgDownloadTest)
#include "tst_DlgDownload.moc"
