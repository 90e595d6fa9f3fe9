#pragma once
// How the sound output plays a file's channels: mono and stereo as they
// are; more than two folded to stereo by where each channel is meant to
// sound (the file's channel layout, e.g. a WAVE_FORMAT_EXTENSIBLE channel
// mask, or the usual order for the count when the file names none):
//   - the front left and right (and left/right of centre) to their side;
//   - a centre (front, back or top) to both sides at -3 dB;
//   - the LFE left out;
//   - each surround (back, side, top left/right) to its own side at -3 dB;
//   - a channel of no known place to both sides at -3 dB.
// Sums beyond full scale are clipped to -1..1.
#include <cstdint>
#include <vector>

namespace zv {

// Where a channel is meant to sound.
enum class Speaker : uint8_t {
    Unknown,
    FrontLeft,
    FrontRight,
    FrontCentre,
    Lfe,
    BackLeft,
    BackRight,
    FrontLeftOfCentre,
    FrontRightOfCentre,
    BackCentre,
    SideLeft,
    SideRight,
    TopCentre,
    TopFrontLeft,
    TopFrontCentre,
    TopFrontRight,
    TopBackLeft,
    TopBackCentre,
    TopBackRight,
};

// The layout of a file of `channels` channels that names none: the WAVE
// default order for the count (1: centre; 2: L R; 3: L R C; 4: L R Ls Rs;
// 5: L R C Ls Rs; 6: L R C LFE Ls Rs; 7: L R C LFE Cs Ls Rs; 8: L R C LFE
// Lb Rb Ls Rs); channels past the eighth have no known place.
std::vector<Speaker> UsualLayout(int channels);

// -3 dB: the gain of a centre into each side and of a surround into its own.
inline constexpr float kMinus3dB = 0.70710678f;

class StereoFold {
public:
    // A file of `channels` channels (1 or more) laid out as `layout`; a
    // layout of another length (none given) is the usual one.
    explicit StereoFold(int channels, const std::vector<Speaker>& layout = {});

    int InputChannels() const { return channels_; }
    int OutputChannels() const { return channels_ < 2 ? channels_ : 2; }
    // The gain of file channel `channel` into the left (side 0) or the right
    // (side 1) output; for mono and stereo, 1 into its own output.
    float Gain(int channel, int side) const;

    // Writes `frames` sample frames of InputChannels() interleaved samples
    // from `in` to `out` as OutputChannels() interleaved samples.
    void Apply(const float* in, int64_t frames, float* out) const;

private:
    int channels_;
    std::vector<float> gains_;   // [channel * 2 + side]
};

// The number of output channels for a file of `fileChannels` (1 or more).
inline int OutputChannels(int fileChannels) { return fileChannels < 2 ? fileChannels : 2; }

// StereoFold(fileChannels).Apply(in, frames, out): the usual layout.
void FoldChannels(const float* in, int fileChannels, int64_t frames, float* out);

} // namespace zv
