#pragma once

#include <QSlider>

// A slider that refuses a value outside its range instead of clamping it,
// and reports every change, whether the user or the program made it.
class BoardSlider : public QSlider
{
    Q_OBJECT
public:
    explicit BoardSlider(Qt::Orientation orientation, QWidget *parent = nullptr);
    // Returns false, keeping the current value, when value is out of range.
    bool setValueChecked(int value);

    // Fills the track between the handle and the maximum end instead of the
    // minimum end, for a slider whose low values mean "more".
    void setFilledTowardMaximum(bool filled);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_filledTowardMaximum = false;
};
