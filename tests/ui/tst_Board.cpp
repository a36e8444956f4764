#include <QtTest>

// Placeholder until this area's tests land.
class BoardTest : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_GUILESS_MAIN(BoardTest)
#include "tst_Board.moc"
