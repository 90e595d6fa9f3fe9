#pragma once
// A horizontal slider (the selection and volume sliders). Value, minimum and
// maximum are 32-bit; a value set outside the range is clamped into it.
//   Scroll():    after the user changed the value (drag, click on the track,
//                keys, wheel); never for values the program sets through
//                setValue or setRange.
//   MouseMove(): on every move of the mouse over it, buttons held or not.
// Small change is singleStep, large change pageStep. The selection rules
// reach the selection sliders through SelectionSlider (values in frames).
#include <QSlider>

#include "selection/SelectionSlider.h"

namespace zv {

class Slider : public QSlider, public SelectionSlider {
    Q_OBJECT
public:
    explicit Slider(QWidget* parent = nullptr);

    int32_t Value() const override { return value(); }
    void SetValue(int32_t v) override { setValue(v); }
    int32_t Minimum() const override { return minimum(); }
    void SetMinimum(int32_t v) override { setMinimum(v); }
    int32_t Maximum() const override { return maximum(); }
    void SetMaximum(int32_t v) override { setMaximum(v); }

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
