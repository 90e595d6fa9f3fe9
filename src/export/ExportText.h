#pragma once
// Text pieces the export writers share.
#include <cstdint>
#include <string>

#include "common/FrameRate.h"

namespace zv {

// A sample frame as seconds with six decimals, to the nearest microsecond:
// 14700 at 44100 Hz -> "0.333333"; "-0.500000" before the start; "0.000000"
// at a sample rate of 0 or below.
std::string ExportSeconds(int64_t sample, int32_t sampleRate);
// A count of 10^-digits units as a decimal: (1500, 3) -> "1.500".
std::string ExportDecimal(int64_t units, int digits);
// A text on one line: tabs and line breaks become spaces.
std::string ExportOneLine(const std::string& text);
// A CSV field (RFC 4180): quoted when it holds a comma, quote or line break.
std::string ExportCsvField(const std::string& text);
// A character's name as a safe part of a file name: path separators,
// control characters, and characters file systems or shells refuse
// (\ / : * ? " < > | and spaces) become "_"; letters of any language are
// kept; no leading dot; at most 64 bytes, cut between UTF-8 characters.
// "" for a name with nothing left.
std::string ExportFileNamePart(const std::string& name);
// `path` with `suffix` put before its extension, for one file of several:
// ("shot/out.dat", "-Ann") -> "shot/out-Ann.dat". "" leaves it as it is.
std::string ExportPathWith(const std::string& path, const std::string& suffix);
// "24", or the exact fraction "30000/1001".
std::string ExportRateText(FrameRate rate);

} // namespace zv
