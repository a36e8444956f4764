#include "ui/BoardSlider.h"

#include <QKeyEvent>
#include <QStyleOptionSlider>
#include <QStylePainter>

BoardSlider::BoardSlider(Qt::Orientation orientation, QWidget *parent)
    : QSlider(orientation, parent)
{}

bool BoardSlider::setValueChecked(int value)
{
    // QSlider would clamp; the board relies on a refused value leaving the
    // slider where it was.
    if (value < minimum() || value > maximum())
        return false;
    setValue(value);
    return true;
}

void BoardSlider::JoinRow(const Row &row)
{
    for (BoardSlider *slider : *row) {
        slider->m_row = row;
        slider->setFocusPolicy(slider == row->constFirst() ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

void BoardSlider::keyPressEvent(QKeyEvent *event)
{
    const int step = event->key() == Qt::Key_Right ? 1 : event->key() == Qt::Key_Left ? -1 : 0;
    if (!m_row || step == 0 || event->modifiers() != Qt::NoModifier) {
        QSlider::keyPressEvent(event);
        return;
    }
    const QList<BoardSlider *> &row = *m_row;
    for (qsizetype i = row.indexOf(this) + step; i >= 0 && i < row.size(); i += step) {
        if (row.at(i)->isVisible() && row.at(i)->isEnabled()) {
            row.at(i)->setFocus(Qt::OtherFocusReason);
            break;
        }
    }
    event->accept();
}

void BoardSlider::focusInEvent(QFocusEvent *event)
{
    // The slider last used is the row's Tab stop.
    if (m_row) {
        for (BoardSlider *slider : *m_row)
            slider->setFocusPolicy(slider == this ? Qt::StrongFocus : Qt::ClickFocus);
    }
    QSlider::focusInEvent(event);
}

void BoardSlider::setFilledTowardMaximum(bool filled)
{
    m_filledTowardMaximum = filled;
    update();
}

void BoardSlider::paintEvent(QPaintEvent *event)
{
    if (!m_filledTowardMaximum) {
        QSlider::paintEvent(event);
        return;
    }
    // Styles fill the track from the minimum end to the handle. Drawn
    // mirrored, with the position mirrored too, the handle stays where it is
    // and the fill runs from it to the maximum end.
    QStylePainter painter(this);
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.upsideDown = !option.upsideDown;
    option.sliderPosition = option.minimum + option.maximum - option.sliderPosition;
    option.sliderValue = option.minimum + option.maximum - option.sliderValue;
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    if (tickPosition() != NoTicks)
        option.subControls |= QStyle::SC_SliderTickmarks;
    painter.drawComplexControl(QStyle::CC_Slider, option);
}
