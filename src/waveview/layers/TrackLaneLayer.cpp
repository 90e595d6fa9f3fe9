#include "waveview/layers/TrackLaneLayer.h"

#include <algorithm>
#include <cmath>

#include "common/FrameTime.h"
#include "document/SoundDocument.h"
#include "waveview/layers/FrameGridLayer.h"

namespace zv {

TrackLaneLayer::Span TrackLaneLayer::ItemSpan(const LayerScene& scene, const TrackItem& item) {
    const int64_t last = std::max(item.end - 1, item.start);
    if (scene.fps.IsPositive() && scene.sampleRate > 0) {
        const int64_t first = FrameOfSample(item.start, scene.fps, scene.sampleRate);
        const int64_t after = FrameOfSample(last, scene.fps, scene.sampleRate) + 1;
        return {FrameGridLayer::LineX(scene, first), FrameGridLayer::LineX(scene, after)};
    }
    return {std::floor(scene.view.PixelOf(item.start)) + 0.5, std::floor(scene.view.PixelOf(last + 1)) + 0.5};
}

const Track* TrackLaneLayer::Shown() const {
    if (track_) return track_;
    const Track* track = document_->Find(name_);
    return track && !track->empty() ? track : nullptr;
}

int TrackLaneLayer::LaneHeight() const { return Shown() ? height_ : 0; }

void TrackLaneLayer::Draw(Canvas& canvas, const LayerScene& scene, LayerArea area) {
    const Track* shown = Shown();
    if (!shown) return;
    const Track& track = *shown;
    const WaveView& view = scene.view;
    const double width = view.Width();
    if (area.height <= 0 || width <= 0) return;
    const auto top = static_cast<float>(area.top), bottom = static_cast<float>(area.Bottom());
    canvas.FillBox(0, top, static_cast<float>(width), bottom, style_.back);
    if (track.empty() || view.Span() <= 0) return;
    const float baseline =
        static_cast<float>(area.top + (area.height + canvas.TextAscent(TextFont::Small)) / 2.0 - 1.0);
    double lastLeft = -1e9, lastRight = -1e9;
    for (const TrackItem& item : track.Items()) {
        if (item.start > view.End()) break;   // sorted by start
        if (std::max(item.end, item.start + 1) < view.Start()) continue;
        Span s = ItemSpan(scene, item);
        if (s.right < 0 || s.left > width) continue;
        s.left = std::max(s.left, -1.0);
        s.right = std::min(s.right, width + 1.0);
        // Within the columns already drawn: nothing new to see.
        if (std::floor(s.left) == std::floor(lastLeft) && s.right <= lastRight) continue;
        lastLeft = s.left;
        lastRight = s.right;
        const auto l = static_cast<float>(s.left), r = static_cast<float>(s.right);
        if (s.right - s.left < 1.5) {
            canvas.Line(l, top + 1, l, bottom - 1, style_.outline);
            continue;
        }
        canvas.FillBox(l, top + 1, r, bottom - 1, style_.fill);
        canvas.Box(l, top + 1, r - 1, bottom - 2, style_.outline);
        const double room = s.right - s.left - 2 * kTextMargin;
        if (!item.text.empty() && room >= kMinTextRoom)
            canvas.Text(l + kTextMargin, baseline, item.text, style_.text, TextFont::Small, static_cast<float>(room));
    }
}

} // namespace zv
