#pragma once

// Pictures of the window states a GUI test checks, written to
// <build>/screenshots so a person can look at what the test saw.

#include "ui/ResultGrid.h"
#include "ui/ResultGridModel.h"

#include <QDir>
#include <QList>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <algorithm>

// Writes a PNG of widget to <build>/screenshots/<name>.png so a person can
// look at what the test saw.
inline void SaveScreenshot(QWidget *widget, const QString &name)
{
    QDir().mkpath(QStringLiteral(ZANBO_SCREENSHOT_DIR));
    // The grids tell their views about removed rows from the event loop;
    // the picture should show what a user sees once it has run.
    for (ResultGrid *grid : widget->findChildren<ResultGrid *>())
        grid->gridModel()->flushPending();
    widget->grab().save(QStringLiteral(ZANBO_SCREENSHOT_DIR "/") + name + QStringLiteral(".png"));
}

// Several windows in one picture, left to right, as they stand on a desk.
inline void SaveSideBySide(const QList<QWidget *> &widgets, const QString &name)
{
    QList<QPixmap> shots;
    QSize size;
    for (QWidget *widget : widgets) {
        for (ResultGrid *grid : widget->findChildren<ResultGrid *>())
            grid->gridModel()->flushPending();
        shots.append(widget->grab());
        size = QSize(size.width() + shots.last().width(),
                     std::max(size.height(), shots.last().height()));
    }
    QPixmap picture(size);
    picture.fill(Qt::darkGray);
    QPainter painter(&picture);
    int x = 0;
    for (const QPixmap &shot : shots) {
        painter.drawPixmap(x, 0, shot);
        x += shot.width();
    }
    painter.end();
    QDir().mkpath(QStringLiteral(ZANBO_SCREENSHOT_DIR));
    picture.save(QStringLiteral(ZANBO_SCREENSHOT_DIR "/") + name + QStringLiteral(".png"));
}
