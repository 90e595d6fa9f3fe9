#pragma once
// A horizontal slider (the selection and volume sliders). Value, minimum and
// maximum are 32-bit; a value set outside the range is clamped into it.
//   Scroll():    after the user changed the value (drag, click on the track,
//                keys, wheel); never for values the program sets through
//                setValue or setRange.
//   MouseMove(): on every move of the mouse over it, buttons held or not.
// Small change is singleStep, large change pageStep.
#include <QSlider>

namespace zv {

class Slider : public QSlider {
    Q_OBJECT
public:
    explicit Slider(QWidget* parent = nullptr);

signals:
    void Scroll();
    void MouseMove();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // Set between a user action and the value change it causes.
    bool userMove_ = false;
};

} // namespace zv
