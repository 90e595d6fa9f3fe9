#pragma once
// A slider's range and value held as plain numbers, with the clamping of the
// slider control (QSlider's rules): a value is clamped into [min, max]; a new
// minimum above the maximum raises the maximum to it, a new maximum below
// the minimum lowers the minimum to it. Units: animation frames.
#include <cstdint>

#include "selection/SelectionSlider.h"

namespace zv {

class SliderModel : public SelectionSlider {
public:
    SliderModel() = default;
    SliderModel(int32_t minimum, int32_t maximum, int32_t value);

    int32_t Value() const override { return value_; }
    void SetValue(int32_t frames) override;
    int32_t Minimum() const override { return min_; }
    void SetMinimum(int32_t frames) override;
    int32_t Maximum() const override { return max_; }
    void SetMaximum(int32_t frames) override;

private:
    int32_t min_ = 0, max_ = 0, value_ = 0;
};

} // namespace zv
