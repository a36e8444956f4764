#pragma once

#include <QList>
#include <QSlider>

#include <memory>

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

    // Sliders of one row, left to right, that are one Tab stop: Left and
    // Right move between the visible ones, Tab leaves the row.
    using Row = std::shared_ptr<QList<BoardSlider *>>;
    static void JoinRow(const Row &row);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    bool m_filledTowardMaximum = false;
    Row m_row;
};
