#include "playback/MediaTransport.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <utility>

#include "common/FrameTime.h"
#include "playback/MediaDevice.h"

namespace zv {

namespace {

int32_t ClampToLong(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

} // namespace

MediaTransport::MediaTransport(MediaDevice& device) : device_(device) {}

void MediaTransport::Open() {
    device_.Open(fileName_);   // throws, leaving this transport as it was
    mode_ = ModeStop;
    restSample_ = 0;
    restMs_ = 0;
    frameSounding_ = false;
    from_ = 0;
    to_ = Length();
}

void MediaTransport::Close() {
    mode_ = ModeNotReady;
    restSample_ = 0;
    restMs_ = 0;
    frameSounding_ = false;
    device_.Close();
}

int32_t MediaTransport::Length() const {
    if (!IsOpen()) return 0;
    return ClampToLong(SamplesToMs(device_.LengthSamples(), device_.SampleRate()));
}

int32_t MediaTransport::Position() const {
    if (!IsOpen()) return 0;
    if (mode_ == ModePlay) return ClampToLong(SamplesToMs(device_.PositionSample(), device_.SampleRate()));
    return ClampToLong(restMs_);
}

int64_t MediaTransport::PositionSample() const {
    if (!IsOpen()) return 0;
    return mode_ == ModePlay ? device_.PositionSample() : restSample_;
}

TransportMode MediaTransport::Mode() const {
    // A play that has just ended by itself reads as stopped even before
    // Update() took note of it.
    if (mode_ == ModePlay && !device_.IsPlaying()) return ModeStop;
    return mode_;
}

bool MediaTransport::Update() {
    // A device that lost its output under a play may go on in silence: its
    // words for the loss are taken while it plays.
    if (mode_ == ModePlay || frameSounding_) {
        std::string failure = device_.TakeOutputFailure();
        if (!failure.empty()) outputFailure_ = std::move(failure);
    }
    // The device is told to stop as well, so that it lets go of the output
    // at once (and a play it merely lost track of cannot sound on).
    if (frameSounding_ && !device_.IsPlaying()) {
        frameSounding_ = false;
        ReleaseOutput();
    }
    if (mode_ != ModePlay || device_.IsPlaying()) return false;
    restSample_ = device_.PositionSample();
    restMs_ = ClampToLong(SamplesToMs(restSample_, device_.SampleRate()));
    mode_ = ModeStop;
    ReleaseOutput();
    return true;
}

void MediaTransport::ReleaseOutput() {
    device_.Pause();
    std::string failure = device_.TakeOutputFailure();
    if (!failure.empty()) outputFailure_ = std::move(failure);
}

std::string MediaTransport::TakeOutputFailure() { return std::exchange(outputFailure_, {}); }

bool MediaTransport::HasSoundOutput() const { return device_.HasSoundOutput(); }

bool MediaTransport::IsSounding() const {
    return (mode_ == ModePlay || frameSounding_) && device_.IsPlaying();
}

std::optional<int64_t> MediaTransport::MsToNextFrame() const {
    if (mode_ != ModePlay || !frameRate_.IsPositive() || !device_.IsPlaying()) return std::nullopt;
    const int32_t sampleRate = device_.SampleRate();
    if (sampleRate <= 0) return std::nullopt;
    try {
        const int64_t sample = device_.PositionSample();
        const int64_t frame = FrameOfSample(sample, frameRate_, sampleRate);
        if (frame == std::numeric_limits<int64_t>::max()) return std::nullopt;
        const int64_t next = FrameStartSample(frame + 1, frameRate_, sampleRate);
        // Samples are heard at the sample rate times the speed.
        const double ms = (static_cast<double>(next) - static_cast<double>(sample)) * 1000.0 /
                          (static_cast<double>(sampleRate) * speed_);
        if (!(ms >= 0.0) || ms > 1e9) return std::nullopt;
        return static_cast<int64_t>(std::ceil(ms));
    } catch (const std::exception&) {
        return std::nullopt;   // a device that fails here leaves the plain clock
    }
}

MediaTransport::Buttons MediaTransport::EnabledButtons() const {
    Buttons b;
    switch (Mode()) {
    case ModePlay:
        b.pause = b.stop = b.back = b.step = true;
        break;
    case ModePause:
        b.stop = true;
        [[fallthrough]];
    case ModeStop:
        b.prev = b.play = b.back = b.step = b.next = true;
        break;
    default:
        break;
    }
    return b;
}

int64_t MediaTransport::ClampedMsToSamples(int64_t ms) const {
    return std::clamp<int64_t>(MsToSamples(ms, device_.SampleRate()), 0, device_.LengthSamples());
}

// Silences the device at once. A play in progress keeps the position that
// was heard when it stopped.
void MediaTransport::CutSound() {
    if (mode_ == ModePlay) {
        ReleaseOutput();
        restSample_ = device_.PositionSample();
        restMs_ = ClampToLong(SamplesToMs(restSample_, device_.SampleRate()));
        mode_ = ModePause;
    } else if (frameSounding_) {
        ReleaseOutput();
    }
    frameSounding_ = false;
}

void MediaTransport::GoTo(int64_t ms, int64_t sample, TransportMode mode) {
    restMs_ = ms;
    restSample_ = sample;
    mode_ = mode;
    device_.Seek(sample);
}

void MediaTransport::Prev() {
    if (!IsOpen()) return;
    CutSound();
    const int64_t ms = std::clamp<int64_t>(from_, 0, Length());
    GoTo(ms, ClampedMsToSamples(ms), ModeStop);
}

void MediaTransport::Next() {
    if (!IsOpen()) return;
    CutSound();
    const int64_t ms = std::clamp<int64_t>(to_, 0, Length());
    GoTo(ms, ClampedMsToSamples(ms), ModeStop);
}

void MediaTransport::Play() {
    if (!IsOpen()) return;
    Update();
    if (mode_ == ModePlay) return;
    CutSound();
    // The range in whichever order it was set, within the sound.
    const int64_t length = Length();
    const int64_t first = ClampedMsToSamples(std::clamp<int64_t>(std::min(from_, to_), 0, length));
    const int64_t last = ClampedMsToSamples(std::clamp<int64_t>(std::max(from_, to_), 0, length));
    if (first >= last) return;
    const int64_t start = (restSample_ >= first && restSample_ < last) ? restSample_ : first;
    StyleNext(loop_, first);
    device_.Play(start, last);   // throws when the output cannot start: mode unchanged
    mode_ = ModePlay;
}

void MediaTransport::PlaySamples(int64_t first, int64_t last) {
    if (!IsOpen()) return;
    Update();
    first = std::clamp<int64_t>(first, 0, Reach());
    last = std::clamp<int64_t>(last, 0, Reach());
    if (first >= last) return;
    CutSound();
    StyleNext(false, -1);
    device_.Play(first, last);   // throws when the output cannot start: mode unchanged
    mode_ = ModePlay;
}

void MediaTransport::Pause() {
    if (mode_ != ModePlay) return;
    CutSound();
}

void MediaTransport::Stop() {
    if (!IsOpen()) return;
    CutSound();
    mode_ = ModeStop;
}

int64_t MediaTransport::Reach() const {
    return std::min(device_.LengthSamples(), MsToSamples(std::numeric_limits<int32_t>::max(), device_.SampleRate()));
}

void MediaTransport::Step() {
    if (!IsOpen() || !frameRate_.IsPositive()) return;
    CutSound();
    const int32_t rate = device_.SampleRate();
    if (rate <= 0) return;
    const int64_t reach = Reach();
    const int64_t target = FrameOfSample(std::clamp<int64_t>(restSample_, 0, reach), frameRate_, rate) + 1;
    if (FrameStartSample(target, frameRate_, rate) > reach) return;   // at the end: stays
    PlayFrame(target);
}

void MediaTransport::Back() {
    if (!IsOpen() || !frameRate_.IsPositive()) return;
    CutSound();
    const int32_t rate = device_.SampleRate();
    if (rate <= 0) return;
    const int64_t at = std::clamp<int64_t>(restSample_, 0, Reach());
    int64_t target = FrameOfSample(at, frameRate_, rate);
    // At a frame's start: the previous frame that starts earlier (above
    // the sample rate several frames start on the same sample).
    while (target >= 0 && FrameStartSample(target, frameRate_, rate) >= at) --target;
    if (target < 0) return;   // at 0: stays
    PlayFrame(target);
}

void MediaTransport::HearFrame(int64_t frame) {
    if (!IsOpen() || !frameRate_.IsPositive()) return;
    CutSound();
    const int32_t rate = device_.SampleRate();
    if (rate <= 0) return;
    // The last frame that starts within the sound (at its very end, frame
    // `last` starts on the length and sounds nothing, as Step there).
    const int64_t length = Reach();
    int64_t last = FrameOfSample(length, frameRate_, rate);
    if (FrameStartSample(last, frameRate_, rate) >= length && last > 0) --last;
    PlayFrame(std::clamp<int64_t>(frame, 0, last));
}

bool MediaTransport::FrameHeard() const {
    return !frameSounding_ || !device_.IsPlaying() || device_.PositionSample() >= frameEnd_;
}

void MediaTransport::CutFrame() {
    if (mode_ == ModePlay || !frameSounding_) return;
    device_.Pause();
    frameSounding_ = false;
}

// Moves to the start of animation frame `frame` and sounds its samples once.
void MediaTransport::PlayFrame(int64_t frame) {
    const int32_t rate = device_.SampleRate();
    const int64_t length = device_.LengthSamples();
    const int64_t first = std::min(FrameStartSample(frame, frameRate_, rate), length);
    const int64_t last = std::min(FrameStartSample(frame + 1, frameRate_, rate), length);
    // The position moves even if the output then fails to sound the frame.
    GoTo(FrameStartMs(frame, frameRate_), first, mode_ == ModePlay ? ModePause : mode_);
    frameEnd_ = last;
    if (first < last) {
        frameSounding_ = false;
        StyleNext(false, -1);
        device_.Play(first, last);   // throws when the output cannot start: stays silent
        frameSounding_ = true;
    }
}

void MediaTransport::StyleNext(bool loop, int64_t loopStart) {
    PlayStyle style;
    style.loop = loop;
    style.loopStart = loopStart;
    style.speed = speed_;
    device_.SetPlayStyle(style);
}

void MediaTransport::SetLoop(bool on) {
    if (on == loop_) return;
    loop_ = on;
    Replay();
}

void MediaTransport::SetSpeed(double speed) {
    if (speed != 0.5 && speed != 0.25) speed = 1.0;
    if (speed == speed_) return;
    speed_ = speed;
    Replay();
}

void MediaTransport::Replay() {
    Update();
    if (mode_ != ModePlay) return;
    CutSound();   // the position stays where it is heard
    Play();
}

} // namespace zv
