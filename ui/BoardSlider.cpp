#include "ui/BoardSlider.h"

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
