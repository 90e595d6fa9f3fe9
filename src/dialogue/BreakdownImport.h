#pragma once
// Breakdowns read back: Papagayo's .pgo documents, Zorvane's own JSON and
// Moho switch data. A damaged file is refused whole: nothing, and `error`
// says why, naming the line ("line 12: ...").
//
// Units: samples at `sampleRate` (the open sound's); frames at the file's
// rate. A .pgo holds a whole number of frames a second: when the rate in
// force rounds to it (29.97 to 30), the frames are taken at the rate in
// force, as they were written.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/FrameRate.h"
#include "dialogue/Breakdown.h"
#include "document/TrackItem.h"

namespace zv {

struct ImportedBreakdown {
    Breakdown breakdown;            // .pgo phonemes are the mouth shapes it names
    std::vector<TrackItem> mouths;  // runs of one shape, as MouthShapes lays them
    FrameRate rate;                 // the rate the file's frames were read at
};

std::optional<ImportedBreakdown> ImportPapagayo(const std::string& text, int32_t sampleRate, int64_t soundFrames,
                                                FrameRate rateInForce, std::string& error);

// The Json export read back (its frame rate and sample rate as written;
// samples are taken at `sampleRate`).
std::optional<ImportedBreakdown> ImportBreakdownJson(const std::string& text, int32_t sampleRate,
                                                     int64_t soundFrames, std::string& error);

// "MohoSwitch1" and "frame shape" lines (frames from 1, ascending) as
// mouth runs at `rate`; the last run lasts to the end of the sound.
std::optional<std::vector<TrackItem>> ImportMohoSwitch(const std::string& text, FrameRate rate, int32_t sampleRate,
                                                       int64_t soundFrames, std::string& error);

} // namespace zv
