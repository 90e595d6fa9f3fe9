#pragma once
// The marks as JSON: the sound's file name, sample rate and length (ms
// and sample frames), the exact frame rate (numerator and denominator),
// and per mark its ms (rounded to nearest), sample, frame (from 0),
// timecode and text, the same for its end, and its kind when it has one.
#include "export/ExportWriter.h"

namespace zv {

class MarksJsonWriter final : public ExportWriter {
public:
    MarksJsonWriter();
    std::string Write(const ExportInput& input) const override;
};

} // namespace zv
