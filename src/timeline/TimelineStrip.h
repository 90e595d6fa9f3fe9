#pragma once
// The timeline strip's scale and shapes. PicTime gets a user scale of x in
// milliseconds (0 at the left inner edge to the sound's length at the right)
// and y from 0 (top) to 10 (bottom); the four outlines below are drawn in
// those units, back to front, on a cleared strip.
#include <cstdint>
#include <optional>

#include "waveview/Canvas.h"

namespace zv {

// An outline through two corners in either order, transparent inside; a
// zero-width box is a vertical line. Coordinates in the strip's user scale.
struct TimelineBox {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Rgb colour;
    friend bool operator==(const TimelineBox&, const TimelineBox&) = default;
};

inline constexpr float kTimelineScaleHeight = 10.0f;

// The strip's scale width for a media length in ms (the Long made Single).
// A length of 0 or below (no file open, an empty sound) is no usable scale:
// no value, and the strip stays unscaled and undrawn.
std::optional<float> TimelineScaleWidth(int32_t lengthMs);

// 1: the selection, a band along the top: (start, 0)-(end, 2), 204,204,0.
TimelineBox TimelineSelectionBand(int32_t selStartMs, int32_t selEndMs);
// 2: play-range start to play position, lower part: (from, 4)-(pos, 10), 0,255,0.
TimelineBox TimelineProgressBox(int32_t rangeStartMs, int32_t positionMs);
// 3: the start mark, full height: (start, 0)-(start, 10), 255,0,0.
TimelineBox TimelineStartMark(int32_t selStartMs);
// 4: the end mark, full height: (end, 0)-(end, 10), 0,0,255.
TimelineBox TimelineEndMark(int32_t selEndMs);

inline void DrawTimelineBox(Canvas& canvas, const TimelineBox& b) {
    canvas.Box(b.x1, b.y1, b.x2, b.y2, b.colour);
}

} // namespace zv
