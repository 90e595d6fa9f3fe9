#include "session/Session.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/Errors.h"
#include "common/FrameTime.h"
#include "common/Log.h"

namespace zv {

int Session::Subscribe(Listener listener) {
    const int id = nextId_++;
    subscribers_.push_back({id, std::move(listener)});
    return id;
}

void Session::Unsubscribe(int id) {
    std::erase_if(subscribers_, [id](const Subscriber& s) { return s.id == id; });
}

void Session::Announce(Change change) {
    // A copy: a listener may subscribe or unsubscribe while it runs.
    const std::vector<Subscriber> now = subscribers_;
    for (const Subscriber& s : now) {
        try {
            s.listener(change);
        } catch (...) {
            LogCurrentError(LogArea::Window, "A view following the session");
        }
    }
}

void Session::SetRate(FrameRate rate) {
    if (rate == rate_) return;
    rate_ = rate;
    Announce(Change::Rate);
}

int16_t Session::WholeRate() const {
    return static_cast<int16_t>(std::clamp<int64_t>(rate_.Rounded(), std::numeric_limits<int16_t>::min(),
                                                    std::numeric_limits<int16_t>::max()));
}

void Session::SetSound(int32_t sampleRate, int64_t frames) {
    const int32_t clock = sampleRate > 0 ? sampleRate : kMsClock;
    const int32_t startMs = SelectionStartMs(), endMs = SelectionEndMs();
    sampleRate_ = clock;
    soundFrames_ = std::max<int64_t>(frames, 0);
    selStart_ = SampleOfMs(startMs);
    selEnd_ = SampleOfMs(endMs);
    position_ = 0;
    viewStart_ = 0;
    viewEnd_ = soundFrames_;
    Announce(Change::Sound);
}

void Session::SetSelectionStart(int64_t sample) { SetSelection(sample, selEnd_); }
void Session::SetSelectionEnd(int64_t sample) { SetSelection(selStart_, sample); }

void Session::SetSelection(int64_t start, int64_t end) {
    if (start == selStart_ && end == selEnd_) return;
    selStart_ = start;
    selEnd_ = end;
    Announce(Change::Selection);
}

void Session::SetSelectionStartMs(int32_t ms) { SetSelectionStart(SampleOfMs(ms)); }
void Session::SetSelectionEndMs(int32_t ms) { SetSelectionEnd(SampleOfMs(ms)); }
void Session::SetSelectionMs(int32_t startMs, int32_t endMs) { SetSelection(SampleOfMs(startMs), SampleOfMs(endMs)); }

int32_t Session::MsOf(int64_t sample) const {
    return static_cast<int32_t>(std::clamp<int64_t>(SamplesToMs(sample, sampleRate_),
                                                    std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

int64_t Session::SampleOfMs(int64_t ms) const { return MsToSamples(ms, sampleRate_); }

int32_t Session::FrameAt(int64_t sample) const {
    // The window's frame figures hold rate x ms in 32 bits (about 19.9 hours
    // at 30 frames a second); beyond, the figure is refused as it always was.
    const int32_t ofMs = FrameFloor(MsOf(sample), rate_);
    // Frames shorter than a sample share their first samples: no sample
    // tells them apart, and the figure of its time is the one kept.
    if (!rate_.IsPositive() || static_cast<int64_t>(rate_.Numerator()) >
                                   static_cast<int64_t>(sampleRate_) * rate_.Denominator())
        return ofMs;
    const int64_t frame = FrameOfSample(sample, rate_, sampleRate_);
    if (frame < std::numeric_limits<int32_t>::min() || frame > std::numeric_limits<int32_t>::max())
        throw OverflowError();
    return static_cast<int32_t>(frame);
}

int64_t Session::FrameStart(int64_t frame) const {
    return rate_.IsPositive() ? FrameStartSample(frame, rate_, sampleRate_) : 0;
}

int64_t Session::NearestFrameStart(int64_t sample) const {
    if (!rate_.IsPositive()) return sample;
    const int64_t frame = FrameOfSample(sample, rate_, sampleRate_);
    const int64_t before = FrameStartSample(frame, rate_, sampleRate_);
    const int64_t after = FrameStartSample(frame + 1, rate_, sampleRate_);
    return sample - before <= after - sample ? before : after;
}

void Session::SetPosition(int64_t sample) {
    if (sample == position_) return;
    position_ = sample;
    Announce(Change::Position);
}

void Session::SetView(int64_t start, int64_t end) {
    if (start == viewStart_ && end == viewEnd_) return;
    viewStart_ = start;
    viewEnd_ = end;
    Announce(Change::View);
}

void Session::SetSpeed(double speed) {
    if (!std::isfinite(speed) || speed <= 0 || speed == speed_) return;
    speed_ = speed;
    Announce(Change::Speed);
}

void Session::SetLoop(bool on) {
    if (on == loop_) return;
    loop_ = on;
    Announce(Change::Loop);
}

void Session::SetSnap(bool on) {
    if (on == snap_) return;
    snap_ = on;
    Announce(Change::Snap);
}

} // namespace zv
