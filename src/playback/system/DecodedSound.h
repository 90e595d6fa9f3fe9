#pragma once
// A compressed sound (FLAC, Ogg, MP3) that is already decoded in memory:
// the 16-bit samples the window decoded once to draw and analyse, held
// here so the output plays the same bytes instead of decoding the file a
// second time (or seeking it for every play, step and scrub).
//
// Units: sample frames of the file (all its channels); the bytes are
// interleaved 16-bit little-endian samples, read out as floats in -1..1.
#include <cstdint>
#include <memory>

namespace zv {

class DecodedSound {
public:
    // `bytes` holds `frames` x `channels` samples and stays held (and
    // unchanged) while this lives. Nothing is read when either count is
    // not positive.
    DecodedSound(std::shared_ptr<const uint8_t> bytes, int channels, int64_t frames);

    int Channels() const { return channels_; }
    // The frames held, from frame 0 on.
    int64_t Available() const { return frames_; }
    // Copies frames [from, from + frames) into `out` (interleaved floats)
    // as far as they are held; returns how many.
    int64_t Read(int64_t from, float* out, int64_t frames) const;

private:
    std::shared_ptr<const uint8_t> bytes_;
    int channels_ = 0;
    int64_t frames_ = 0;
};

} // namespace zv
