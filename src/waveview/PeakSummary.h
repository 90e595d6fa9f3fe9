#pragma once
// The lowest and highest sample of any stretch of the loaded sound, at once:
// a summary made once per file of the minimum and maximum of every block of
// sample frames, at several block sizes (like a mip-map: each level's blocks
// are kFan blocks of the level below), so that a view of any length is
// drawn with no aliasing from a few summary entries and at most two partial
// blocks of samples per pixel column.
//
// Values are the sample readers' normalised values (-1..1) per channel, kept
// as 1/32768 steps in 16 bits: exact for 8- and 16-bit sounds; for finer
// samples the lowest value is rounded down and the highest up, so a peak
// is never shown smaller than it is. The channels are those the renderer
// draws: two for a two-channel sound (first and second), else the first.
//
// Memory: the first level's block holds enough frames that the whole
// summary stays within 1/16 of the sample bytes (about 1/24 for 16-bit
// stereo).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound/SoundData.h"

namespace zv {

class PeakSummary {
public:
    static constexpr int64_t kFan = 4;

    // The lowest and highest value, in 1/32768 steps. An empty stretch has
    // low > high.
    struct Range {
        int16_t low = 32767;
        int16_t high = -32768;
        bool Empty() const { return low > high; }
        void Join(const Range& r) {
            if (r.low < low) low = r.low;
            if (r.high > high) high = r.high;
        }
    };

    // Summarises frames [0, NumSamples) of a loaded sound (nothing when it is
    // not loaded). Reads the samples as the renderer does. Keeps a pointer
    // to `sound` for the partial blocks: it must stay loaded and unchanged
    // while the summary is used (Clear or Build again after every load).
    void Build(const SoundData& sound);
    void Clear();

    bool Ready() const { return sound_ != nullptr; }
    int Channels() const { return channels_; }
    int64_t Frames() const { return frames_; }
    int64_t BlockFrames() const { return block_; }
    int Levels() const { return static_cast<int>(levels_.size()); }
    // Bytes the summary holds.
    std::size_t Bytes() const;

    // Lowest and highest value of channel `channel` over frames [from, to),
    // clipped to the sound.
    Range Query(int channel, int64_t from, int64_t to) const;
    // The same for every channel at once: out[0 .. Channels() - 1].
    void QueryAll(int64_t from, int64_t to, Range* out) const;

    // The value of one sample as the summary keeps it (rounded towards
    // `up`'s side for values finer than 1/32768). For tests and the edges
    // of a query.
    static int16_t Quantise(double value, bool up);

private:
    Range ScanSamples(int channel, int64_t from, int64_t to) const;

    const SoundData* sound_ = nullptr;
    int channels_ = 0;
    int64_t frames_ = 0;
    int64_t block_ = 0;   // frames per first-level block
    // levels_[k]: per block, one Range per channel (channel-interleaved).
    std::vector<std::vector<Range>> levels_;
};

} // namespace zv
