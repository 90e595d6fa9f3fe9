#pragma once
// The beats written out for the next program, in four formats. A beat's
// frame is the frame that holds its sample (FrameOfSample) at the rate in
// force; seconds are its sample / the sample rate, to the microsecond.
//   BarSheet        the exposure sheet with bar | beat | frame columns:
//                   a header line "Bar<TAB>Beat<TAB>Frame", then one line
//                   per frame of the sound counted from 1 (as the marks'
//                   exposure sheet counts): the bar's number on the frame of
//                   its downbeat, the beat's number on the frame of each
//                   beat ("2/3" when two share a frame), else nothing.
//   Csv             "Bar,Beat,Frame (24 fps),Seconds,Timecode", then a line
//                   per beat (RFC 4180 CRLF line ends); frames from 0, like
//                   the readouts; the SMPTE timecode of the beat's frame.
//   Json            {"bpm", "framesPerBeat" (the exact fraction as text,
//                   "45/4"), "frameRate" (exact, as text: "24",
//                   "30000/1001"), "meter" ("4/4", "6/8"), "beats":
//                   [{"time", "frame", "bar", "beat", "confidence" (0..1,
//                   two decimals)}], "onsets": [{"time", "frame"}]}; frames
//                   from 0. With no steady beat, bpm, framesPerBeat and
//                   meter are null.
//   AudacityLabels  start TAB end TAB "bar.beat" per beat, a point, in
//                   seconds with six decimals.
#include <cstdint>
#include <optional>
#include <string>

#include "beats/BeatAnalysis.h"
#include "common/FrameRate.h"

namespace zv {

enum class BeatFormat { BarSheet, Csv, Json, AudacityLabels };

// The command line's names: "xsheet", "csv", "json", "labels".
std::optional<BeatFormat> BeatFormatOfName(const std::string& name);

// `soundSamples`: the sound's length in sample frames (the bar sheet has a
// line for each frame of it). rate > 0.
std::string ExportBeats(BeatFormat format, const BeatAnalysis& analysis, FrameRate rate, int64_t soundSamples);

} // namespace zv
