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
    // The same as Begin(sound, sound.size()) and Finish().
    void Build(const SoundData& sound);
    void Clear();

    // Made piecewise while the loader reads the data chunk, on a thread of
    // its own. Begin once the record has its format, encoding, NumSamples
    // and its (zero-filled) buffer, WavLoaded or not; `heldBytes` is how many
    // leading bytes of the buffer the file holds: the rest stays zero and is
    // never scanned (a file that states a huge chunk it does not hold costs
    // nothing). Add(landed) whenever bytes [0, landed) are in the buffer:
    // it summarises every block they complete. Finish after the last byte:
    // the summary is then Ready. Only the buffer's bytes and the format read
    // at Begin are used, so the loader may go on writing the record's other
    // fields meanwhile.
    void Begin(const SoundData& sound, std::size_t heldBytes);
    void Add(std::size_t landedBytes);
    void Finish();

    bool Ready() const { return ready_; }
    // The record summarised was moved into `moved` (its buffer with it).
    void Follow(const SoundData& moved) {
        if (sound_) sound_ = &moved;
    }
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
    // The ranges of `columns` stretches side by side from frame `start`:
    // column c covers frames [start + floor(c x span / columns),
    // start + floor((c + 1) x span / columns)), and its channel k's range
    // is at [2c + k] (a one-channel summary leaves [2c + 1] empty). The
    // last answer is kept until the summary changes, so a repaint of an
    // unchanged view costs no query. Nothing (an empty list) unless Ready
    // and columns >= 1. Not for two threads at once: the drawing thread's.
    const std::vector<Range>& Columns(int64_t start, int64_t span, int columns) const;

    // The value of one sample as the summary keeps it (rounded towards
    // `up`'s side for values finer than 1/32768). For tests and the edges
    // of a query.
    static int16_t Quantise(double value, bool up);

private:
    Range ScanSamples(int channel, int64_t from, int64_t to) const;
    // First-level blocks [done_, end) into levels_[0].
    void SummariseBlocks(int64_t end);
    // The upper levels' entries whose blocks below are all summarised (all of
    // them when `all`). Done as the first level grows, so that the end of a
    // load leaves little to do.
    void RaiseLevels(bool all);
    // Frames [from, to) at or after tailFrom_: the zero tail.
    void QueryTail(int64_t from, int64_t to, Range* out) const;

    const SoundData* sound_ = nullptr;
    bool ready_ = false;
    int64_t align_ = 0;            // bytes per frame, as at Begin
    int64_t size_ = 0;             // buffer bytes, as at Begin
    int64_t wholeFrames_ = 0;      // frames wholly inside the buffer
    int64_t heldBlocks_ = 0;       // first-level blocks holding bytes of the file
    int64_t done_ = 0;             // first-level blocks summarised so far
    int64_t tailFrom_ = 0;         // heldBlocks_ x block_, at most frames_
    Range tail_[2];                // the value of a zero frame, per channel
    int channels_ = 0;
    int64_t frames_ = 0;
    int64_t block_ = 0;   // frames per first-level block
    // levels_[k]: per block, one Range per channel (channel-interleaved).
    // Every level is sized at Begin.
    std::vector<std::vector<Range>> levels_;
    std::vector<int64_t> raised_;   // per level, its blocks made so far (level 0: done_)
    // Columns' last answer and what it was asked (columns_ empty: none).
    struct ColumnsKey {
        int64_t start = 0, span = 0;
        int columns = 0;
    };
    mutable ColumnsKey columnsKey_;
    mutable std::vector<Range> columns_;
};

} // namespace zv
