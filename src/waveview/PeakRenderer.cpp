#include "waveview/PeakRenderer.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/Numbers.h"
#include "waveview/WaveRenderer.h"

namespace zv {

namespace {

// One channel's trace: the previous column's extent, to join the next to.
struct Trace {
    int32_t centre;
    int32_t scale;   // a sample of 1 lies this far from the centre
    Rgb colour;
    bool started = false;
    double prevLow = 0, prevHigh = 0;   // y of the previous column's ends
};

void DrawColumn(Canvas& canvas, Trace& t, PeakSummary::Range r, float x) {
    // Positive samples lie below the centre, as in DrawWaves.
    double top = t.centre + std::nearbyint(t.scale * (r.low / 32768.0));
    double bottom = t.centre + std::nearbyint(t.scale * (r.high / 32768.0));
    if (t.started) {
        // Reach the previous column's nearest end: the line between them.
        if (top > t.prevHigh) top = t.prevHigh;
        if (bottom < t.prevLow) bottom = t.prevLow;
    }
    t.prevLow = t.centre + std::nearbyint(t.scale * (r.low / 32768.0));
    t.prevHigh = t.centre + std::nearbyint(t.scale * (r.high / 32768.0));
    t.started = true;
    canvas.Line(x, static_cast<float>(top), x, static_cast<float>(bottom), t.colour);
}

} // namespace

void DrawWavePeaks(const SoundData& sound, const PeakSummary& peaks, Canvas& canvas, float width, float height,
                   int columns) {
    const int64_t span = static_cast<int64_t>(sound.ViewEnd) - sound.ViewStart;
    if (!peaks.Ready() || columns < 1 || span < columns || !(width > 0.0f) || !std::isfinite(width) ||
        !std::isfinite(height)) {
        DrawWaves(sound, canvas, width, height);
        return;
    }
    canvas.Clear();
    if (!sound.WavLoaded) return;
    const bool two = peaks.Channels() == 2;
    const int32_t upper = RoundLong(height / (two ? 4.0 : 2.0));
    // Both traces are scaled by the upper centre, as DrawWaves scales them.
    Trace traces[2] = {{upper, upper, two ? kUpperWaveColour : kLowerWaveColour}, {3 * upper, upper, kLowerWaveColour}};
    const double unitsPerColumn = static_cast<double>(width) / columns;
    const int channels = peaks.Channels();
    // The columns' ranges, kept by the summary while the view stays.
    const std::vector<PeakSummary::Range>& ranges = peaks.Columns(sound.ViewStart, span, columns);
    // One trace after the other: the canvas then draws each in one go (one
    // colour, one batch). Segments of different columns share no pixels, and
    // in each column the upper trace still comes first, so the picture is the
    // one column-by-column drawing gives.
    for (int ch = 0; ch < channels; ++ch)
        for (int c = 0; c < columns; ++c) {
            const PeakSummary::Range& r = ranges[static_cast<std::size_t>(c) * 2 + static_cast<std::size_t>(ch)];
            if (!r.Empty()) DrawColumn(canvas, traces[ch], r, static_cast<float>(c * unitsPerColumn));
        }
    canvas.Flush();
}

} // namespace zv
