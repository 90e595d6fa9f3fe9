#include "selection/Selection.h"

#include "common/FrameTime.h"
#include "common/MouseButtons.h"
#include "common/Numbers.h"

namespace zv {
namespace {

// One side of the pointer rule: moves a selection edge and its slider.
// The product is checked before anything is set, so an overflow changes nothing.
void MoveEdge(int32_t& ms, SelectionSlider& slider, FrameRate rate, float x) {
    try {
        const int32_t t = RoundLong(static_cast<double>(x));
        const int32_t frames = FrameNearest(t, rate);
        ms = t;
        slider.SetValue(frames);
    } catch (const OverflowError&) {
    }
}

// Milliseconds of a slider value, if the frame rate allows a conversion.
bool MsOfFrames(int32_t frames, FrameRate rate, int32_t& ms) {
    if (!rate.IsPositive()) return false;
    try {
        ms = MsOfFrame(frames, rate);
        return true;
    } catch (const OverflowError&) {
        return false;
    }
}

} // namespace

void SelectionPointerRule(const SelectionContext& c, int16_t button, float x, float scaleWidth) {
    if (x > scaleWidth || x < 1.0f) return;
    if (button == MouseButton::Left && static_cast<double>(x) < static_cast<double>(c.selEndMs))
        MoveEdge(c.selStartMs, c.scrollStart, c.frameRate, x);
    if (button == MouseButton::Right && static_cast<double>(x) > static_cast<double>(c.selStartMs))
        MoveEdge(c.selEndMs, c.scrollEnd, c.frameRate, x);
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
    MsOfFrames(c.scrollStart.Value(), c.frameRate, c.selStartMs);
}

void SelectionScrollEnd(const SelectionContext& c) {
    if (c.scrollStart.Value() >= c.scrollEnd.Value()) {
        const int32_t start = c.scrollStart.Value();
        if (start != INT32_MAX) c.scrollEnd.SetValue(start + 1);
        return;
    }
    MsOfFrames(c.scrollEnd.Value(), c.frameRate, c.selEndMs);
}

int32_t SelectionFrameCount(int32_t lengthMs, FrameRate rate) { return FrameFloor(lengthMs, rate); }

bool SelectionResetForOpen(const SelectionContext& c, const std::function<int32_t()>& deviceLength) {
    c.selStartMs = 0;
    c.selEndMs = deviceLength();
    try {
        c.scrollStart.SetMinimum(0);
        c.scrollStart.SetMaximum(SelectionFrameCount(deviceLength(), c.frameRate));
        c.scrollEnd.SetMinimum(0);
        c.scrollEnd.SetMaximum(SelectionFrameCount(deviceLength(), c.frameRate));
    } catch (const OverflowError&) {
        return false;
    }
    c.scrollEnd.SetValue(c.scrollEnd.Maximum());
    return true;
}

bool SelectionFollowRate(const SelectionContext& c, int32_t lengthMs) {
    if (!c.frameRate.IsPositive()) return false;
    int32_t frames = 0, start = 0, end = 0;
    try {
        frames = SelectionFrameCount(lengthMs, c.frameRate);
        start = FrameNearest(c.selStartMs, c.frameRate);
        end = FrameNearest(c.selEndMs, c.frameRate);
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
