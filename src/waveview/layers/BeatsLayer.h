#pragma once
// The beats over the waveform box: a faint line at each beat and a strong
// one at each downbeat (both fainter where the finder was unsure), the bar.beat number beside a line where there is
// room for it (only the bars' numbers when the beats are too close), and
// the tempo's readout ("128.00 BPM · 11.25 frames a beat (45/4) at 24 fps")
// in the box's top right corner. Drawn on screen over the picture. Beats on
// the same pixel column are drawn once, so a long piece seen whole costs no
// more than the box is wide.
//
// The beats come from the document's Beats track, looked up on each drawing
// (a new sound makes a new track); the readout is worked out again only
// when the track or the frame rate changed.
#include <cstdint>
#include <string>

#include "common/FrameRate.h"
#include "waveview/layers/Layer.h"

namespace zv {

class SoundDocument;

class BeatsLayer : public Layer {
public:
    static constexpr int kTextMargin = 3;
    static constexpr int kMinTextGap = 16;   // pixels between lines for a number
    static constexpr uint8_t kBeatAlpha = 90;
    static constexpr uint8_t kDownbeatAlpha = 230;
    // Beats the finder was unsure of are drawn faded, so the user knows
    // where to check.
    static constexpr uint8_t kUnsureBeatAlpha = 35;
    static constexpr uint8_t kUnsureDownbeatAlpha = 90;

    // `document` must outlive the layer.
    explicit BeatsLayer(const SoundDocument& document) : document_(document) {}

    void Draw(Canvas& canvas, const LayerScene& scene, LayerArea area) override;

    // The readout of the beats at `fps` (empty without beats).
    const std::string& Readout(FrameRate fps);

private:
    const SoundDocument& document_;
    // The readout as last worked out, for this track revision and rate.
    const void* readoutTrack_ = nullptr;
    uint64_t readoutRevision_ = 0;
    FrameRate readoutRate_{0};
    std::string readout_;
};

} // namespace zv
