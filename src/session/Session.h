#pragma once
// Session: the state the window's views share, held once. The exact frame
// rate, the open sound's clock, the selection, the play position and the
// visible range (all in sample frames of the open sound), the play speed,
// looping and snapping to beats. Every view reads it from here and
// subscribes to its changes; each change is announced once, to every
// subscriber, after the value has been stored.
//
// Units: samples = sample frames at SampleRate() Hz. With no sound open
// (or one whose rate is unknown) the clock runs at 1000 Hz, so a sample is
// a millisecond and the millisecond views stay exact. frame = animation
// frame at Rate(); ms = milliseconds (the media device's 32-bit times).
// Nothing here throws but the frame figures (OverflowError, as documented).
#include <cstdint>
#include <functional>
#include <vector>

#include "common/FrameRate.h"

namespace zv {

class Session {
public:
    // What changed.
    enum class Change { Rate, Sound, Selection, Position, View, Speed, Loop, Snap };
    using Listener = std::function<void(Change)>;

    // The clock when no sound (or no sound rate) is known: 1000 Hz.
    static constexpr int32_t kMsClock = 1000;

    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Calls `listener` after every change from now on; returns its number
    // for Unsubscribe. A listener that throws is logged; the others still run.
    int Subscribe(Listener listener);
    void Unsubscribe(int id);

    // ---- Frame rate (animation frames per second) ----
    FrameRate Rate() const { return rate_; }
    void SetRate(FrameRate rate);
    // FramesPerSecond: the rate rounded to whole frames, halves to even
    // (30 for 29.97), held in 16 bits (a rate beyond them reads as the
    // nearest end of the range).
    int16_t WholeRate() const;
    // A whole rate set directly (FramesPerSecond assigned): that rate.
    void SetWholeRate(int16_t framesPerSecond) { SetRate(FrameRate(framesPerSecond)); }

    // ---- The open sound's clock ----
    // Sample frames a second of the open sound; kMsClock with none.
    int32_t SampleRate() const { return sampleRate_; }
    // A new sound: its sample rate (0 or below: unknown, the ms clock) and
    // length in sample frames. The selection keeps its milliseconds on the
    // new clock; the position and the view start again at 0.
    void SetSound(int32_t sampleRate, int64_t frames);
    int64_t SoundFrames() const { return soundFrames_; }

    // ---- Selection, samples [start, end) ----
    int64_t SelectionStart() const { return selStart_; }
    int64_t SelectionEnd() const { return selEnd_; }
    void SetSelectionStart(int64_t sample);
    void SetSelectionEnd(int64_t sample);
    void SetSelection(int64_t start, int64_t end);
    // The selection's edges in ms (SelStartMs, SelEndMs): rounded to
    // nearest, halves to even, kept within 32 bits. Setting one puts the
    // edge on the sample nearest that time.
    int32_t SelectionStartMs() const { return MsOf(selStart_); }
    int32_t SelectionEndMs() const { return MsOf(selEnd_); }
    void SetSelectionStartMs(int32_t ms);
    void SetSelectionEndMs(int32_t ms);
    void SetSelectionMs(int32_t startMs, int32_t endMs);

    // ---- Animation frames ----
    // The frame that holds `sample` at the rate (FrameOfSample). At a rate
    // of 0 or below, the frame of its ms rounded down (0, or negative for a
    // negative rate). Throws OverflowError when rate x the sample's ms
    // leaves 32 bits (the limit of every frame figure the window shows).
    int32_t FrameAt(int64_t sample) const;
    // The first sample of animation frame `frame` (FrameStartSample).
    // The rate must be above 0 (else the sample of frame 0, 0).
    int64_t FrameStart(int64_t frame) const;
    // The frame boundary nearest `sample` (the earlier one on a tie): where
    // an edge dragged on the frame grid lands. `sample` itself at a rate of
    // 0 or below.
    int64_t NearestFrameStart(int64_t sample) const;

    // ---- Play position and visible range, samples ----
    int64_t Position() const { return position_; }
    void SetPosition(int64_t sample);
    int64_t ViewStart() const { return viewStart_; }
    int64_t ViewEnd() const { return viewEnd_; }
    void SetView(int64_t start, int64_t end);

    // ---- Play speed (1, 0.5, 0.25), loop, snap to beats ----
    double Speed() const { return speed_; }
    void SetSpeed(double speed);
    bool Loop() const { return loop_; }
    void SetLoop(bool on);
    bool Snap() const { return snap_; }
    void SetSnap(bool on);

private:
    int32_t MsOf(int64_t sample) const;
    int64_t SampleOfMs(int64_t ms) const;
    void Announce(Change change);

    struct Subscriber {
        int id;
        Listener listener;
    };
    std::vector<Subscriber> subscribers_;
    int nextId_ = 1;

    FrameRate rate_{30};
    int32_t sampleRate_ = kMsClock;
    int64_t soundFrames_ = 0;
    int64_t selStart_ = 0, selEnd_ = 0;
    int64_t position_ = 0;
    int64_t viewStart_ = 0, viewEnd_ = 0;
    double speed_ = 1.0;
    bool loop_ = false;
    bool snap_ = false;
};

} // namespace zv
