#pragma once
// The marks as CSV (RFC 4180: CRLF line ends, fields with a comma, quote or
// line break quoted): a header line naming the exact rate, then per mark
// its frame and end frame (from 0, like the grid: the frame holding the
// sample), seconds and end seconds (six decimals), text, and the SMPTE
// timecode of the two frames.
#include "export/ExportWriter.h"

namespace zv {

class MarksCsvWriter final : public ExportWriter {
public:
    MarksCsvWriter();
    std::string Write(const ExportInput& input) const override;
};

} // namespace zv
