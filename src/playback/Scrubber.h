#pragma once
// Hearing the waveform under the pointer: a press on a frame sounds that
// frame once (as Step does); dragging sounds each animation frame the
// pointer enters, exactly one frame of sound each.
//
// No backlog: a frame is heard in full before the next one starts, and
// while one sounds only the newest frame entered waits (an older waiting
// frame is dropped), so the sound is never more than one frame behind the
// pointer. Releasing the button after the pointer entered other frames
// stops the sound at once and drops the waiting frame; a plain click (press
// and release on one frame) lets its frame sound to the end.
//
// Frames are animation frames at the transport's frame rate. Poll() starts
// a waiting frame once the one sounding has been heard: the window calls
// it from a short timer while Waiting().
#include <cstdint>
#include <optional>

namespace zv {

class MediaTransport;

class Scrubber {
public:
    explicit Scrubber(MediaTransport& transport) : transport_(transport) {}

    // The left button went down over `frame`: sounds it now.
    void Press(int64_t frame);
    // The pointer is over `frame` with the button held.
    void Move(int64_t frame);
    // Starts the waiting frame if the one sounding has been heard. Returns
    // true when a frame started.
    bool Poll();
    // The button went up.
    void Release();

    bool Active() const { return active_; }
    bool Waiting() const { return waiting_.has_value(); }
    // The frame sounded last (or sounding now).
    int64_t Current() const { return current_; }

private:
    MediaTransport& transport_;
    bool active_ = false;
    bool moved_ = false;   // the pointer entered another frame since the press
    int64_t current_ = 0;
    int64_t last_ = 0;     // the frame the pointer was last over
    std::optional<int64_t> waiting_;
};

} // namespace zv
