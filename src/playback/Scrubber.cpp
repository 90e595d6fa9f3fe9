#include "playback/Scrubber.h"

#include "playback/MediaTransport.h"

namespace zv {

void Scrubber::Press(int64_t frame) {
    active_ = true;
    moved_ = false;
    waiting_.reset();
    current_ = last_ = frame;
    transport_.HearFrame(frame);
}

void Scrubber::Move(int64_t frame) {
    if (!active_ || frame == last_) return;
    last_ = frame;
    moved_ = true;
    if (transport_.FrameHeard()) {
        waiting_.reset();
        current_ = frame;
        transport_.HearFrame(frame);
    } else {
        // Back on the frame that sounds now: nothing needs to wait.
        if (frame == current_) waiting_.reset();
        else waiting_ = frame;
    }
}

bool Scrubber::Poll() {
    if (!waiting_ || !transport_.FrameHeard()) return false;
    current_ = *waiting_;
    waiting_.reset();
    transport_.HearFrame(current_);
    return true;
}

void Scrubber::Release() {
    if (!active_) return;
    active_ = false;
    waiting_.reset();
    if (moved_) transport_.CutFrame();
}

} // namespace zv
