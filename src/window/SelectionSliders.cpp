#include "window/SelectionSliders.h"

#include <algorithm>
#include <vector>

#include "beats/BeatSnap.h"
#include "common/ui/LogCategories.h"
#include "document/SoundDocument.h"
#include "session/Session.h"
#include "window/PictureBox.h"
#include "window/Slider.h"

namespace zv {

SelectionSliders::SelectionSliders(Session& session, const SoundDocument& document, Slider& scrollStart,
                                   Slider& scrollEnd, PictureBox& strip, bool& dragging)
    : session_(session), document_(document), scrollStart_(scrollStart), scrollEnd_(scrollEnd), strip_(strip),
      dragging_(dragging) {}

SelectionContext SelectionSliders::Context() { return {session_, dragging_, scrollStart_, scrollEnd_}; }

void SelectionSliders::MouseDown(int16_t button, float x) {
    const int32_t start = scrollStart_.Value(), end = scrollEnd_.Value();
    SelectionMouseDown(Context(), button, x, strip_.ScaleWidth());
    SnapSelection(start, end);
}

void SelectionSliders::MouseMove(int16_t button, float x) {
    const int32_t start = scrollStart_.Value(), end = scrollEnd_.Value();
    SelectionMouseMove(Context(), button, x, strip_.ScaleWidth());
    SnapSelection(start, end);
}

void SelectionSliders::MouseUp() { SelectionMouseUp(Context()); }
void SelectionSliders::ScrollStart() { SelectionScrollStart(Context()); }
void SelectionSliders::ScrollEnd() { SelectionScrollEnd(Context()); }

void SelectionSliders::MoveStartTo(int32_t frame) {
    scrollStart_.SetValue(SnappedFrame(frame));
    ScrollStart();
}

void SelectionSliders::MoveEndTo(int32_t frame) {
    scrollEnd_.SetValue(SnappedFrame(frame));
    ScrollEnd();
}

int64_t SelectionSliders::SnappedSample(int64_t sample) const {
    const Track* beats = document_.Find(SoundDocument::kBeats);
    if (!session_.Snap() || !beats || beats->empty()) return sample;
    std::vector<int64_t> at;
    at.reserve(beats->size());
    for (const TrackItem& b : beats->Items()) at.push_back(b.start);
    return std::clamp<int64_t>(SnapToBeats(sample, at), 0, std::max<int64_t>(document_.Info().frames - 1, 0));
}

int32_t SelectionSliders::SnappedFrame(int32_t frame) const {
    if (!session_.Rate().IsPositive() || document_.Info().sampleRate <= 0) return frame;
    const int64_t sample = session_.FrameStart(frame);
    const int64_t snapped = SnappedSample(sample);
    if (snapped == sample) return frame;
    try {
        return std::clamp<int32_t>(session_.FrameAt(snapped), scrollStart_.Minimum(), scrollEnd_.Maximum());
    } catch (...) {
        return frame;   // a beat beyond the frames the window counts
    }
}

void SelectionSliders::SnapSelection(int32_t startBefore, int32_t endBefore) {
    // The start first: the end's slider refuses to meet it.
    if (scrollStart_.Value() != startBefore) {
        const int32_t snapped = SnappedFrame(scrollStart_.Value());
        if (snapped != scrollStart_.Value() && snapped < scrollEnd_.Value()) {
            scrollStart_.SetValue(snapped);
            ScrollStart();
        }
    }
    if (scrollEnd_.Value() != endBefore) {
        const int32_t snapped = SnappedFrame(scrollEnd_.Value());
        if (snapped != scrollEnd_.Value() && snapped > scrollStart_.Value()) {
            scrollEnd_.SetValue(snapped);
            ScrollEnd();
        }
    }
}

void SelectionSliders::ResetForOpen(const std::function<int32_t()>& deviceLength) {
    slidersRate_ = session_.Rate();
    SelectionResetForOpen(Context(), deviceLength);
}

void SelectionSliders::FollowRate(int32_t lengthMs) {
    if (session_.Rate() == slidersRate_) return;
    slidersRate_ = session_.Rate();
    try {
        SelectionFollowRate(Context(), lengthMs);
    } catch (...) {
        LogCurrentError(LogWindow(), "The sliders following the frame rate");
    }
}

} // namespace zv
