#include "ui/BoardSlider.h"

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
