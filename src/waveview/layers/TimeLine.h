#pragma once
// A vertical line across an area at one sample frame of the view: in the
// pixel column that holds it, a time on the sound's last edge in the box's
// last column; nothing when it lies more than a pixel outside the box.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "waveview/layers/Layer.h"

namespace zv {

// The line's x (a column's middle), or a negative value when it is not shown.
inline double TimeLineX(const WaveView& view, int64_t sample) {
    const double x = view.PixelOf(sample);
    if (x < -1.0 || x > view.Width() + 1.0) return -1.0;
    return std::clamp(std::floor(x), 0.0, view.Width() - 1.0) + 0.5;
}

inline void DrawTimeLine(Canvas& canvas, const WaveView& view, LayerArea area, int64_t sample, Rgb colour) {
    const double x = TimeLineX(view, sample);
    if (x < 0) return;
    canvas.Line(static_cast<float>(x), static_cast<float>(area.top), static_cast<float>(x),
                static_cast<float>(area.Bottom()), colour);
}

} // namespace zv
