#pragma once

// Driving our own modal dialogs: a zero-delay timer posted before the action
// runs inside the dialog's event loop.

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs check on the next modal dialog once its event loop has started.
inline void OnNextModal(std::function<void(QWidget *)> check)
{
    QTimer::singleShot(0, qApp, [check] {
        QWidget *modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        check(modal);
    });
}
