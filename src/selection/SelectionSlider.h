#pragma once
// A selection slider (ScrollStart, ScrollEnd) as the selection rules see it:
// a 32-bit value in animation frames within a range. Like the slider
// control, it never holds a value outside its range: SetValue clamps, and
// changing a bound moves the value (and, if needed, the other bound) in.
// The window implements it over its Slider widget; SliderModel is the plain one.
#include <cstdint>

namespace zv {

class SelectionSlider {
public:
    virtual ~SelectionSlider() = default;
    virtual int32_t Value() const = 0;
    virtual void SetValue(int32_t frames) = 0;
    virtual int32_t Minimum() const = 0;
    virtual void SetMinimum(int32_t frames) = 0;
    virtual int32_t Maximum() const = 0;
    virtual void SetMaximum(int32_t frames) = 0;
};

} // namespace zv
