#pragma once
// The selection rules: the timeline strip's mouse handlers, the two
// selection sliders, and the reset of the selection when a file is opened.
// The handlers only change the selection and the sliders; the labels, the
// strip and the play range follow at the next timeline refresh.
//
// The selection itself lives in the Session, in samples; the rules read and
// set it through its ms views (SelStartMs/SelEndMs) where the pointer and
// the open routine deal in ms, and in samples where a slider's frame sets
// it: a slider on frame f selects from the first sample of frame f.
// Units: slider values in animation frames at the session's frame rate;
// pointer X in the strip's user scale (ms once the strip is scaled; before
// that, the strip's own units, used unchanged).
// Mouse buttons as in common/MouseButtons.h; a move reports the buttons held
// as a sum, so only a single left or right button moves anything.
// Arithmetic outside 32 bits leaves every value as it was; nothing here
// throws OverflowError or reports anything to the user.
#include <cstdint>
#include <functional>

#include "common/FrameRate.h"
#include "selection/SelectionSlider.h"

namespace zv {

class Session;

// The window's state that the rules read and write.
struct SelectionContext {
    Session& session;           // the selection and the frame rate
    bool& dragging;             // a button is held down on the strip
    SelectionSlider& scrollStart;
    SelectionSlider& scrollEnd;
};

// The pointer rule. Nothing happens for X < 1 or X > scaleWidth. Button 1
// with X < SelEndMs: SelStartMs = t = round(X) and ScrollStart = the frame
// of t to nearest (FrameNearest); button 2 with X > SelStartMs: the same for SelEndMs and ScrollEnd.
// Rounding to nearest, halves to even; the comparison uses X unrounded (so a
// start can round onto the end). A slider value beyond its range is clamped
// by the slider while the ms are set all the same.
void SelectionPointerRule(const SelectionContext& c, int16_t button, float x, float scaleWidth);

// PicTime_MouseDown: Dragging = true, then the pointer rule.
void SelectionMouseDown(const SelectionContext& c, int16_t button, float x, float scaleWidth);
// PicTime_MouseMove: the pointer rule while Dragging.
void SelectionMouseMove(const SelectionContext& c, int16_t button, float x, float scaleWidth);
// PicTime_MouseUp: Dragging = false.
void SelectionMouseUp(const SelectionContext& c);

// ScrollStart_Scroll, on the user's moves of the start slider: at or past
// the end slider it is pushed back to one frame before it (SelStartMs kept);
// otherwise the selection starts at the first sample of the slider's frame
// (its ms rounded to nearest). With a rate of 0 or below, or a frame whose
// time leaves 32 bits of ms, the selection is kept (the push-back still
// happens).
void SelectionScrollStart(const SelectionContext& c);
// ScrollEnd_Scroll: the mirror image, pushed to one frame after the start.
void SelectionScrollEnd(const SelectionContext& c);

// Frame count of a length, rounded down (FrameFloor). Throws OverflowError.
int32_t SelectionFrameCount(int32_t lengthMs, FrameRate rate);

// The open routine's last steps: the selection is 0 to length ms; both
// sliders get the range 0 to the frame count (computed from a fresh read
// of the length each); ScrollEnd is put at its maximum read back;
// ScrollStart's value is not set. deviceLength reads the media length in ms.
// An overflow of the frame count ends the steps quietly where it happens
// (the selection already reset, ScrollStart's minimum already 0, the
// ranges not updated) and returns false. Errors that deviceLength throws
// pass through to the open routine's trap.
bool SelectionResetForOpen(const SelectionContext& c, const std::function<int32_t()>& deviceLength);

// After the frame rate changed with a sound open: both sliders get the
// range 0 to the frame count of `lengthMs` at the new rate (as at open) and
// show the selection's edges at it (to nearest, as the pointer sets them).
// The selection's ms stay as they are. A rate of 0 or below, or a count
// outside 32 bits, changes nothing and returns false.
bool SelectionFollowRate(const SelectionContext& c, int32_t lengthMs);

} // namespace zv
