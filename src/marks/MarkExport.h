#pragma once
// The marks written out for the next program, in five formats. A mark's
// frame is the frame that holds its first sample at the rate in force
// (MarkFrame), as the grid shows it.
//   Csv             a header line naming the exact rate, then per mark:
//                   frame, end frame, seconds, end seconds, text, and the
//                   SMPTE timecode of the two frames (RFC 4180: CRLF line
//                   ends, fields with a comma, quote or line break quoted).
//                   Frames from 0, like the grid.
//   AudacityLabels  start TAB end TAB text, seconds with six decimals; a
//                   point has start = end.
//   MohoSwitch      "MohoSwitch1", then per mark: its frame + 1 (counted
//                   from 1), a space, the text.
//   ExposureSheet   one line per frame of the sound, counted from 1: the
//                   frame number, a TAB, the text of the marks that start on
//                   it (joined by " / "), else nothing.
//   Json            the sound's file name, sample rate and length, the exact
//                   frame rate (numerator and denominator), and per mark its
//                   ms, sample, frame (from 0), timecode and text (and the
//                   same for its end).
// Seconds are the marks' sample frames / sample rate with six decimals
// (rounded to nearest), so a file read back puts every mark on its frame;
// ms are rounded to nearest from the samples. In the line formats a text's
// tabs and line breaks become spaces.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "document/TrackItem.h"
#include "marks/MarkFrames.h"

namespace zv {

enum class MarkFormat { Csv, AudacityLabels, MohoSwitch, ExposureSheet, Json };

// The save dialog's filter list ("description|pattern|..."), in the order of
// MarkFormatOfFilter.
const std::string& MarkExportFilter();
// The format of a filter pair (from 1), or nothing.
std::optional<MarkFormat> MarkFormatOfFilter(int filter);
// The format a file name's extension asks for (case ignored; ".xsheet.txt"
// before ".txt"), or nothing.
std::optional<MarkFormat> MarkFormatOfFileName(const std::string& fileName);

// The sound the marks belong to.
struct MarkExportSound {
    std::string fileName;      // file name only
    int32_t sampleRate = 0;    // sample frames a second
    int64_t lengthMs = 0;
    int64_t lengthSamples = 0;
};

std::string ExportMarks(MarkFormat format, const std::vector<TrackItem>& marks, const MarkExportSound& sound,
                        MarkRate rate);

} // namespace zv
