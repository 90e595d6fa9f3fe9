#pragma once
// The frames one play hands to the sound output, in order: the stretch
// [from, to) of the file, over and over when looping (back to the loop's
// start after the first pass, with no gap and no frame lost or doubled at
// the seam), and slowed without the pitch dropping (Rubber Band's real-time
// stretcher) below speed 1. At speed 1 no stretcher is in the path.
//
// Output frames are counted from 0; FileFrameOf says which frame of the
// file output frame n sounds, so the position shown follows the file's own
// samples at any speed.
//
// Units: sample frames, all at the file's sample rate (the output's).
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "playback/MediaDevice.h"

namespace RubberBand {
class RubberBandStretcher;
}

namespace zv {

// What one play covers, in file frames, and which file frame each of its
// output frames sounds. A plain value: the output's thread and the window's
// both map with it.
struct PlayPlan {
    // [from, to) of the file played in the `style` asked for, normalised:
    // to >= from, loopStart before to (from when none), speed 1 unless
    // 0 < speed < 1.
    PlayPlan(int64_t from, int64_t to, const PlayStyle& style);

    // The file frame output frame `outputFrame` sounds (`to` past the end).
    int64_t FileFrameOf(int64_t outputFrame) const;
    // Output frames the play lasts; INT64_MAX for a loop or a slowed play,
    // which end only when stopped (or when their frames run out).
    int64_t OutputFrames() const;

    int64_t from, to, loopStart;
    bool loop;
    double speed;
};

class PlayFeed {
public:
    // Reads on from the read point into interleaved frames of the output's
    // channels; returns how many (0 at the end or on a failed read).
    using Reader = std::function<int64_t(float* interleaved, int64_t frames)>;
    // Moves the read point to a file frame.
    using Seeker = std::function<void(int64_t frame)>;

    // The read point must be at the plan's `from`.
    PlayFeed(int channels, int32_t sampleRate, const PlayPlan& plan, Reader read, Seeker seek);
    ~PlayFeed();
    PlayFeed(const PlayFeed&) = delete;
    PlayFeed& operator=(const PlayFeed&) = delete;

    // Writes up to `frames` output frames to `out`; returns how many. 0 once
    // nothing more will come (a loop goes on until its reads fail).
    int64_t Next(float* out, int64_t frames);
    const PlayPlan& Plan() const { return plan_; }
    bool Stretched() const { return stretcher_ != nullptr; }

private:
    // Reads up to `frames` input frames, going back to the loop's start at
    // the stretch's end; 0 at the end of a stretch not looped.
    int64_t ReadInput(float* out, int64_t frames);
    int64_t NextStretched(float* out, int64_t frames);

    const int channels_;
    const PlayPlan plan_;
    Reader read_;
    Seeker seek_;
    int64_t nextRead_;              // the next file frame read
    std::unique_ptr<RubberBand::RubberBandStretcher> stretcher_;
    int64_t dropOutput_ = 0;        // the stretcher's start delay, still to drop
    bool inputDone_ = false;        // the stretcher has had its last input
    std::vector<float> interleaved_;
    std::vector<std::vector<float>> planar_;
};

} // namespace zv
