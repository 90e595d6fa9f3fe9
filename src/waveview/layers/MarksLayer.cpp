#include "waveview/layers/MarksLayer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "waveview/layers/ViewColours.h"

namespace zv {

void MarksLayer::Draw(Canvas& canvas, const LayerScene& scene, LayerArea area) {
    const WaveView& view = scene.view;
    const int width = view.Width();
    if (marks_.empty() || view.Span() <= 0 || width <= 0 || area.height <= 0) return;
    // Pixel column of a sample; far-off marks are kept just outside the box.
    const auto column = [&](int64_t sample) {
        const double x = std::floor(view.PixelOf(sample));
        return static_cast<int>(std::clamp(x, -2.0, static_cast<double>(width) + 1.0));
    };
    const auto top = static_cast<float>(area.top), bottom = static_cast<float>(area.Bottom());
    const auto mid = [](int x) { return static_cast<float>(x) + 0.5f; };
    const Pen dotted{kMarkColour, 255, true};
    const float baseline = top + kBandHeight + 1 + canvas.TextAscent(TextFont::Small);

    // Solid lines in neighbouring columns are filled as one block: a dense
    // breakdown seen whole covers most columns, and a block fills row by
    // row where lines would be drawn pixel by pixel. Everything here is one
    // colour, so the order of lines, band and text does not show.
    int runStart = 0, runEnd = -2;   // columns [runStart, runEnd] waiting to be filled
    const auto flushRun = [&] {
        if (runEnd >= runStart)
            canvas.FillBox(static_cast<float>(runStart), top, static_cast<float>(runEnd + 1), bottom, kMarkColour);
    };
    const auto& marks = marks_.Items();
    int lastLine = std::numeric_limits<int>::min();
    int lastEndLine = std::numeric_limits<int>::min();
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const TrackItem& m = marks[i];
        const int x = column(m.start);
        if (x >= width) break;   // sorted: every later mark starts (and ends) further right
        if (!m.IsPoint()) {
            const int end = column(m.end);
            if (end >= 0) {
                const int left = std::max(x, 0), right = std::min(end, width - 1);
                canvas.FillBox(static_cast<float>(left), top, static_cast<float>(right + 1), top + kBandHeight,
                               kMarkColour, kBandAlpha);
                if (end < width && end != lastEndLine && end != x) {
                    canvas.PenLine(mid(end), top, mid(end), bottom, dotted);
                    lastEndLine = end;
                }
            }
        }
        if (x < 0 || x == lastLine) continue;
        if (x != runEnd + 1) {
            flushRun();
            runStart = x;
        }
        runEnd = x;
        lastLine = x;

        if (m.text.empty()) continue;
        // The room up to the next mark that lies on another column.
        int next = width;
        for (std::size_t k = i + 1; k < marks.size(); ++k) {
            const int nx = column(marks[k].start);
            if (nx > x) {
                next = std::min(nx, width);
                break;
            }
        }
        const int room = next - x - 2 * kTextMargin;
        if (room < kMinTextGap) continue;
        canvas.Text(static_cast<float>(x + kTextMargin), baseline, m.text, kMarkColour, TextFont::Small,
                    static_cast<float>(room));
    }
    flushRun();
}

} // namespace zv
