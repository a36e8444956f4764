#include <QtTest>

// Placeholder until this area's tests land.
class Form1Test : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_GUILESS_MAIN(Form1Test)
#include "tst_Form1.moc"
