#include "waveview/WaveView.h"

#include <algorithm>
#include <cmath>

namespace zv {

void WaveView::Reset(int64_t totalFrames) {
    total_ = std::max<int64_t>(totalFrames, 0);
    start_ = 0;
    end_ = total_;
}

void WaveView::SetWidth(int pixels) {
    width_ = std::max(pixels, 1);
    // A narrower box may allow less zoom: keep the view at the closest zoom.
    Place(start_, Span());
}

int64_t WaveView::MinSpan() const { return std::min(total_, width_ * kMinFramesPerPixel); }

// Puts a view of `span` frames starting at `start` inside the sound.
void WaveView::Place(int64_t start, int64_t span) {
    span = std::clamp(span, MinSpan(), total_);
    start_ = std::clamp<int64_t>(start, 0, total_ - span);
    end_ = start_ + span;
}

double WaveView::FramesPerPixel() const { return static_cast<double>(Span()) / width_; }

int64_t WaveView::FrameAt(double x) const {
    if (!std::isfinite(x)) x = 0.0;
    x = std::clamp(x, 0.0, static_cast<double>(width_));
    const auto frame = static_cast<int64_t>(std::floor(static_cast<double>(start_) + x * FramesPerPixel()));
    return std::clamp(frame, start_, std::max(start_, end_ - 1));
}

double WaveView::PixelOf(int64_t frame) const {
    const int64_t span = Span();
    return span > 0 ? static_cast<double>(frame - start_) * width_ / static_cast<double>(span) : 0.0;
}

void WaveView::ZoomAround(double factor, double anchorX) {
    if (!(factor > 0.0) || !std::isfinite(factor) || total_ == 0) return;
    if (!std::isfinite(anchorX)) anchorX = width_ / 2.0;
    anchorX = std::clamp(anchorX, 0.0, static_cast<double>(width_));
    // The frame under the anchor, kept in double so that repeated zooms
    // around one point do not drift by a rounding each time.
    const double anchor = static_cast<double>(start_) + anchorX * FramesPerPixel();
    const double wanted = std::clamp(static_cast<double>(Span()) / factor, static_cast<double>(MinSpan()), static_cast<double>(total_));
    const auto span = static_cast<int64_t>(std::llround(wanted));
    Place(std::llround(anchor - anchorX * static_cast<double>(span) / width_), span);
}

void WaveView::ZoomKeeping(double factor, int64_t keep) {
    if (!Shows(keep)) {
        ZoomAround(factor, width_ / 2.0);
        CentreOn(keep);
        return;
    }
    // The anchor is the frame's own place, not the column's left edge: the
    // frame stays on its pixel whatever the zoom.
    ZoomAround(factor, std::clamp(PixelOf(keep), 0.0, static_cast<double>(width_)));
}

bool WaveView::Shows(int64_t frame) const {
    return frame >= start_ && (frame < end_ || (frame == end_ && end_ == total_));
}

void WaveView::CentreOn(int64_t frame) {
    const int64_t span = Span();
    Place(frame - span / 2, span);
}

bool WaveView::ScrollToShow(int64_t frame) {
    if (total_ == 0 || Shows(frame)) return false;
    const int64_t before = start_;
    CentreOn(frame);
    return start_ != before;
}

void WaveView::ZoomTo(int64_t from, int64_t to) {
    from = std::max<int64_t>(from, 0);
    to = std::min(to, total_);
    if (to <= from) return;
    const int64_t span = std::max(to - from, MinSpan());
    // Widened around the middle of the range asked for.
    Place(from - (span - (to - from)) / 2, span);
}

void WaveView::ShowWhole() { Place(0, total_); }

void WaveView::ScrollByPixels(double pixels) {
    if (!std::isfinite(pixels)) return;
    const double frames = pixels * FramesPerPixel();
    const double limit = static_cast<double>(total_);
    MoveStartTo(start_ + static_cast<int64_t>(std::llround(std::clamp(frames, -limit, limit))));
}

void WaveView::MoveStartTo(int64_t frame) { Place(frame, Span()); }

} // namespace zv
