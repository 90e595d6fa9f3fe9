#pragma once
// Frames a beat at a frame rate, exactly: rate x 60 / BPM, with the tempo
// taken to the hundredth of a BPM it is shown with (128.00 BPM at 24 fps is
// 45/4 = 11.25 frames; at 29.97, 30000/1001 x 60 / 128 = 28125/2002), and
// the readout that says it: "128.00 BPM · 11.25 frames a beat (45/4) at 24 fps".
#include <cstdint>
#include <optional>
#include <string>

#include "common/FrameRate.h"

namespace zv {

struct FramesPerBeat {
    int64_t numerator = 0;     // frames, over
    int64_t denominator = 1;   // beats; in lowest terms, >= 1
    friend bool operator==(const FramesPerBeat&, const FramesPerBeat&) = default;
};

// The tempo in hundredths of a BPM, to nearest (halves away from zero).
int64_t BpmHundredths(double bpm);
// A typed tempo ("128", "127.5", "96.25"): its hundredths of a BPM, exactly
// from the digits (more than two decimals are rounded to nearest), or
// nothing for text that is no plain positive decimal number.
std::optional<int64_t> ParseBpmHundredths(const std::string& text);

// rate x 60 / (hundredths / 100), reduced. Nothing for a rate or tempo of 0
// or below.
std::optional<FramesPerBeat> ExactFramesPerBeat(FrameRate rate, int64_t bpmHundredths);

// "45/4"; "12" when whole.
std::string FramesPerBeatFraction(const FramesPerBeat& frames);
// To two decimals, nearest with halves to even: "11.25", "14.05", "12.00".
std::string FramesPerBeatDecimal(const FramesPerBeat& frames);
// The rate as the rate box writes it: "24", "29.97", "23.976", "12.5".
std::string FrameRateReadout(FrameRate rate);

// "128.00 BPM · 11.25 frames a beat (45/4) at 24 fps"; a whole number of
// frames is "120.00 BPM · 12 frames a beat at 24 fps". Over a tempo map,
// its range and mean tempo: "120.30–150.00 BPM (mean 134.05) · ...".
std::string BeatReadout(int64_t bpmHundredths, FrameRate rate, bool tempoMap = false,
                        int64_t slowestHundredths = 0, int64_t fastestHundredths = 0);

// The readout of what an analysis found, led by its meter ("3/4 · 153.00
// BPM · 9.41 frames a beat ..."), or "No steady beat found".
struct BeatAnalysis;
std::string BeatReadout(const BeatAnalysis& analysis, FrameRate rate);

} // namespace zv
