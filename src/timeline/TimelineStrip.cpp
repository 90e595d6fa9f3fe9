#include "timeline/TimelineStrip.h"

namespace zv {
namespace {
float Ms(int32_t ms) { return static_cast<float>(ms); }
} // namespace

std::optional<float> TimelineScaleWidth(int32_t lengthMs) {
    if (lengthMs <= 0) return std::nullopt;
    return Ms(lengthMs);
}

TimelineBox TimelineSelectionBand(int32_t selStartMs, int32_t selEndMs) {
    return {Ms(selStartMs), 0.0f, Ms(selEndMs), 2.0f, Rgb{204, 204, 0}};
}

TimelineBox TimelineProgressBox(int32_t rangeStartMs, int32_t positionMs) {
    return {Ms(rangeStartMs), 4.0f, Ms(positionMs), 10.0f, Rgb{0, 255, 0}};
}

TimelineBox TimelineStartMark(int32_t selStartMs) {
    return {Ms(selStartMs), 0.0f, Ms(selStartMs), 10.0f, Rgb{255, 0, 0}};
}

TimelineBox TimelineEndMark(int32_t selEndMs) {
    return {Ms(selEndMs), 0.0f, Ms(selEndMs), 10.0f, Rgb{0, 0, 255}};
}

} // namespace zv
