#include "selection/SliderModel.h"

#include <algorithm>

namespace zv {

SliderModel::SliderModel(int32_t minimum, int32_t maximum, int32_t value)
    : min_(minimum), max_(std::max(minimum, maximum)) {
    SetValue(value);
}

void SliderModel::SetValue(int32_t frames) { value_ = std::clamp(frames, min_, max_); }

void SliderModel::SetMinimum(int32_t frames) {
    min_ = frames;
    max_ = std::max(max_, frames);
    SetValue(value_);
}

void SliderModel::SetMaximum(int32_t frames) {
    max_ = frames;
    min_ = std::min(min_, frames);
    SetValue(value_);
}

} // namespace zv
