#pragma once
// The logic of the media control (MMControl1) without any widgets: the
// device's file, mode, length, position and play range in milliseconds, and
// what each transport button does. The widget (ui/MediaControl) only wires
// buttons and a timer to it.
//
// Times are 32-bit ms; the device underneath counts sample frames and every
// stretch it plays is cut at exact samples.
//
// Buttons:
//   Play  plays the play range [From, To] and stops at its end; when the
//         position lies inside the range (paused or stopped there) it
//         resumes from the position. Empty range: nothing happens.
//   Pause stops playing and keeps the position (mode Pause).
//   Stop  stops playing or leaves the pause and keeps the position (mode Stop).
//   Prev  goes to From, Next to To (mode Stop).
//   Step  goes to the start of the next animation frame, Back to the start of
//         the current one (the previous one when already at a start): the
//         frame that holds the position's sample (FrameOfSample) and the
//         frame's first sample (FrameStartSample, FrameTime.h), so the
//         position is that sample exactly (its ms are FrameStartMs(n)). Each press plays
//         that frame's samples once, cutting whatever the previous press
//         still sounded, and leaves the position at the frame's start.
//         Pressed while playing, they pause first. Neither goes below 0 or
//         past the length; with a rate <= 0 they do nothing.
#include <cstdint>
#include <optional>
#include <string>

#include "common/FrameRate.h"
#include "playback/TransportMode.h"

namespace zv {

class MediaDevice;

class MediaTransport {
public:
    // The modes Mode() reports, by their short names.
    static constexpr TransportMode ModeNotReady = TransportMode::NotReady;
    static constexpr TransportMode ModeStop = TransportMode::Stop;
    static constexpr TransportMode ModePlay = TransportMode::Play;
    static constexpr TransportMode ModePause = TransportMode::Pause;

    // Which buttons the mode allows.
    struct Buttons {
        bool prev = false, play = false, pause = false, stop = false;
        bool back = false, step = false, next = false;
    };

    explicit MediaTransport(MediaDevice& device);

    void SetFileName(const std::string& path) { fileName_ = path; }
    const std::string& FileName() const { return fileName_; }

    // Opens FileName. Finished on return. Throws DeviceError with the device's
    // reason, leaving everything as it was. Afterwards: stopped at 0, play
    // range 0 to the length.
    void Open();
    // Closes; harmless with nothing open.
    void Close();

    int32_t Length() const;     // ms; 0 with nothing open
    int32_t Position() const;   // ms being heard now; 0 with nothing open
    // The same position as a sample frame of the sound, exact: after Step,
    // Back or HearFrame the frame's first sample, while playing the sample
    // being heard. Marks are made and found by it. 0 with nothing open.
    int64_t PositionSample() const;
    TransportMode Mode() const;

    void SetFrom(int32_t ms) { from_ = ms; }   // read back exactly as set
    int32_t From() const { return from_; }
    void SetTo(int32_t ms) { to_ = ms; }
    int32_t To() const { return to_; }

    // Animation frames per second used by Step and Back.
    void SetFrameRate(FrameRate rate) { frameRate_ = rate; }

    void Prev();
    void Play();
    void Pause();
    void Stop();
    void Back();
    void Step();
    void Next();
    // Loop Selection: Play plays the range over and over (from where it
    // stands, then from the range's start) until Pause or Stop. A play in
    // progress goes on, from where it is heard, the new way.
    void SetLoop(bool on);
    bool Loop() const { return loop_; }
    // 1, 0.5 or 0.25 (anything else is 1): plays, frames and words sound
    // slowed keeping their pitch; the position counts the file's samples.
    void SetSpeed(double speed);
    double Speed() const { return speed_; }

    // Plays sample frames [first, last) of the sound once, whatever the
    // play range (a word clicked on its lane); the play range stays.
    void PlaySamples(int64_t first, int64_t last);
    // Goes to the start of animation frame `frame` (kept within the sound)
    // and sounds that frame once, as Step does: clicks and scrubs on the
    // waveform. With nothing open or a rate <= 0 it does nothing.
    void HearFrame(int64_t frame);
    // True unless a frame of Step, Back or HearFrame is still to be heard
    // in full (its last sample has not yet reached the listener).
    bool FrameHeard() const;
    // Silences a frame of Step, Back or HearFrame at once; the position and
    // the mode stay. A play in progress is not touched.
    void CutFrame();

    // Takes note of a play that ended by itself (at the end of the range, or
    // because the output failed): the mode becomes Stop at the position where
    // the sound ended, and the device lets go of the output. The same for a
    // Step/Back frame that has sounded. Returns true when a play ended in
    // this call. The control's timer calls it before each status update.
    bool Update();

    // When a play or frame broke off because the sound output failed: the
    // device's words for it (see MediaDevice::TakeOutputFailure), handed out
    // once; empty otherwise.
    std::string TakeOutputFailure();

    // True while the device sounds: playing, or a frame of Step/Back.
    bool IsSounding() const;
    // While a play sounds: how long until the next animation frame begins
    // to be heard, in ms rounded up (at the play's speed). Nothing when not
    // playing or with no frame rate, so that status updates can fall just
    // after each frame change rather than on a fixed clock.
    std::optional<int64_t> MsToNextFrame() const;
    // False when the device plays in silence for want of a sound output.
    bool HasSoundOutput() const;

    Buttons EnabledButtons() const;

private:
    bool IsOpen() const { return mode_ != ModeNotReady; }
    int64_t ClampedMsToSamples(int64_t ms) const;
    // The farthest sample Step, Back and HearFrame go to: the sound's end,
    // or the last the control's 32-bit ms can show.
    int64_t Reach() const;
    void CutSound();
    // Lets go of the output (the device's Pause), keeping why it failed, if it did.
    void ReleaseOutput();
    void GoTo(int64_t ms, int64_t sample, TransportMode mode);
    void PlayFrame(int64_t frame);
    // Sets how the device's next play sounds: looping or not, at the speed.
    void StyleNext(bool loop, int64_t loopStart);
    // After a change of loop or speed: a play goes on the new way.
    void Replay();

    MediaDevice& device_;
    std::string fileName_;
    int32_t from_ = 0;
    int32_t to_ = 0;
    FrameRate frameRate_;
    TransportMode mode_ = ModeNotReady;
    // The position while not playing, as a sample and as the ms it stands
    // for (kept both ways so that a position set in ms reads back exactly).
    int64_t restSample_ = 0;
    int64_t restMs_ = 0;
    bool frameSounding_ = false;   // a Step/Back frame was started
    std::string outputFailure_;    // until TakeOutputFailure
    int64_t frameEnd_ = 0;         // the sample after that frame's last
    bool loop_ = false;
    double speed_ = 1.0;
};

} // namespace zv
