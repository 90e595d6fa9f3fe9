#pragma once
// The beats as CSV: "Bar,Beat,Frame (24 fps),Seconds,Timecode", then a
// line per beat (CRLF line ends); frames from 0, like the readouts; seconds
// with six decimals; the SMPTE timecode of the beat's frame.
#include "export/ExportWriter.h"

namespace zv {

class BeatsCsvWriter final : public ExportWriter {
public:
    BeatsCsvWriter();
    std::string Write(const ExportInput& input) const override;
};

} // namespace zv
