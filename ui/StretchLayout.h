#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

class QScrollArea;
class QWidget;

// Controls placed at their design rectangles follow their container's size:
// beyond the design size each moves and grows by its share of the extra room
// (0 to 1 of the extra width and height); at the design size every control
// stands where the design puts it.
class StretchLayout : public QObject
{
public:
    StretchLayout(QWidget *container, QSize designSize);

    struct Share
    {
        double MoveX = 0;
        double MoveY = 0;
        double GrowX = 0;
        double GrowY = 0;
    };
    // Takes widget's present geometry as its design rectangle.
    void add(QWidget *widget, Share share);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void apply(QSize size);

    struct Entry
    {
        QPointer<QWidget> Widget;
        QRect Design;
        Share How;
    };
    QWidget *m_container;
    QSize m_design;
    QList<Entry> m_entries;
};

// Puts a scroll area filling window and returns the area's content, which
// is never smaller than designSize and grows with the window: a window
// smaller than its design scrolls instead of cutting its controls off.
QWidget *ScrollableContent(QWidget *window, QSize designSize);

// Once shown, when the window and its frame do not fit the screen's
// available area: shrinks it and moves it wholly onto the screen.
void KeepOnScreen(QWidget *window);

// The size for a window of designSize (a stored one when given) that fits
// the available area of the screen it is on.
QSize FitToScreen(const QWidget *window, QSize wanted);
