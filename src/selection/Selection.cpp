#include "selection/Selection.h"

#include <limits>

#include "common/FrameTime.h"
#include "common/MouseButtons.h"
#include "common/Numbers.h"
#include "session/Session.h"

namespace zv {
namespace {

// One side of the pointer rule: moves a selection edge and its slider.
// The product is checked before anything is set, so an overflow changes nothing.
void MoveEdge(Session& session, bool start, SelectionSlider& slider, float x) {
    try {
        const int32_t t = RoundLong(static_cast<double>(x));
        const int32_t frames = FrameNearest(t, session.Rate());
        if (start) session.SetSelectionStartMs(t);
        else session.SetSelectionEndMs(t);
        slider.SetValue(frames);
    } catch (const OverflowError&) {
    }
}

// The first sample of a slider's frame, if the frame rate allows it and its
// time fits the 32-bit ms the window shows.
bool SampleOfFrame(const Session& session, int32_t frame, int64_t& sample) {
    if (!session.Rate().IsPositive()) return false;
    const int64_t first = session.FrameStart(frame);
    const int64_t ms = SamplesToMs(first, session.SampleRate());
    if (ms < std::numeric_limits<int32_t>::min() || ms > std::numeric_limits<int32_t>::max()) return false;
    sample = first;
    return true;
}

} // namespace

void SelectionPointerRule(const SelectionContext& c, int16_t button, float x, float scaleWidth) {
    if (x > scaleWidth || x < 1.0f) return;
    if (button == MouseButton::Left && static_cast<double>(x) < static_cast<double>(c.session.SelectionEndMs()))
        MoveEdge(c.session, true, c.scrollStart, x);
    if (button == MouseButton::Right && static_cast<double>(x) > static_cast<double>(c.session.SelectionStartMs()))
        MoveEdge(c.session, false, c.scrollEnd, x);
}

void SelectionMouseDown(const SelectionContext& c, int16_t button, float x, float scaleWidth) {
    c.dragging = true;
    SelectionPointerRule(c, button, x, scaleWidth);
}

void SelectionMouseMove(const SelectionContext& c, int16_t button, float x, float scaleWidth) {
    if (c.dragging) SelectionPointerRule(c, button, x, scaleWidth);
}

void SelectionMouseUp(const SelectionContext& c) { c.dragging = false; }

void SelectionScrollStart(const SelectionContext& c) {
    if (c.scrollStart.Value() >= c.scrollEnd.Value()) {
        const int32_t end = c.scrollEnd.Value();
        if (end != INT32_MIN) c.scrollStart.SetValue(end - 1);
        return;
    }
    int64_t sample = 0;
    if (SampleOfFrame(c.session, c.scrollStart.Value(), sample)) c.session.SetSelectionStart(sample);
}

void SelectionScrollEnd(const SelectionContext& c) {
    if (c.scrollStart.Value() >= c.scrollEnd.Value()) {
        const int32_t start = c.scrollStart.Value();
        if (start != INT32_MAX) c.scrollEnd.SetValue(start + 1);
        return;
    }
    int64_t sample = 0;
    if (SampleOfFrame(c.session, c.scrollEnd.Value(), sample)) c.session.SetSelectionEnd(sample);
}

int32_t SelectionFrameCount(int32_t lengthMs, FrameRate rate) { return FrameFloor(lengthMs, rate); }

bool SelectionResetForOpen(const SelectionContext& c, const std::function<int32_t()>& deviceLength) {
    c.session.SetSelectionMs(0, deviceLength());
    const FrameRate rate = c.session.Rate();
    try {
        c.scrollStart.SetMinimum(0);
        c.scrollStart.SetMaximum(SelectionFrameCount(deviceLength(), rate));
        c.scrollEnd.SetMinimum(0);
        c.scrollEnd.SetMaximum(SelectionFrameCount(deviceLength(), rate));
    } catch (const OverflowError&) {
        return false;
    }
    c.scrollEnd.SetValue(c.scrollEnd.Maximum());
    return true;
}

bool SelectionFollowRate(const SelectionContext& c, int32_t lengthMs) {
    const FrameRate rate = c.session.Rate();
    if (!rate.IsPositive()) return false;
    int32_t frames = 0, start = 0, end = 0;
    try {
        frames = SelectionFrameCount(lengthMs, rate);
        start = FrameNearest(c.session.SelectionStartMs(), rate);
        end = FrameNearest(c.session.SelectionEndMs(), rate);
    } catch (const OverflowError&) {
        return false;
    }
    c.scrollStart.SetMaximum(frames);
    c.scrollEnd.SetMaximum(frames);
    c.scrollStart.SetValue(start);
    c.scrollEnd.SetValue(end);
    return true;
}

} // namespace zv
