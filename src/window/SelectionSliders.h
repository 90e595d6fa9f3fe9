#pragma once
// The selection's controls: the timeline strip's mouse handlers and the two
// selection sliders, applying the selection rules to the Session, with Snap
// to Beats on top (the ends the pointer, the keys or the sliders move land
// on the nearest beat or half-beat when it is on and there are beats).
// Units: sliders in animation frames at the session's rate; samples of the
// open sound; pointer X in the strip's user scale.
#include <cstdint>
#include <functional>

#include "selection/Selection.h"

namespace zv {

class PictureBox;
class Session;
class Slider;
class SoundDocument;

class SelectionSliders {
public:
    // All of them outlive this object; `dragging` is the window's Dragging.
    SelectionSliders(Session& session, const SoundDocument& document, Slider& scrollStart, Slider& scrollEnd,
                     PictureBox& strip, bool& dragging);

    // The strip's mouse handlers (button codes of common/MouseButtons.h).
    void MouseDown(int16_t button, float x);
    void MouseMove(int16_t button, float x);
    void MouseUp();
    // The sliders' scroll handlers (the user moved a thumb).
    void ScrollStart();
    void ScrollEnd();
    // As if the user had moved a slider to `frame` (snapped first).
    void MoveStartTo(int32_t frame);
    void MoveEndTo(int32_t frame);

    // A sample frame on the nearest beat or half-beat (Snap to Beats on and
    // beats there), kept within the sound; unchanged otherwise.
    int64_t SnappedSample(int64_t sample) const;

    // A sound was opened: the selection is all of it and the sliders'
    // ranges its frames (see SelectionResetForOpen; `deviceLength` reads
    // its length in ms, and what it throws passes on).
    void ResetForOpen(const std::function<int32_t()>& deviceLength);
    // The rate changed with a sound of `lengthMs` open: the sliders follow
    // it (once per rate; see SelectionFollowRate).
    void FollowRate(int32_t lengthMs);

private:
    SelectionContext Context();
    int32_t SnappedFrame(int32_t frame) const;
    // After the strip moved the selection: the ends it moved snap.
    void SnapSelection(int32_t startBefore, int32_t endBefore);

    Session& session_;
    const SoundDocument& document_;
    Slider& scrollStart_;
    Slider& scrollEnd_;
    PictureBox& strip_;
    bool& dragging_;
    FrameRate slidersRate_;   // the rate the sliders' ranges count at
};

} // namespace zv
