#pragma once
// The beats as JSON: {"bpm", "framesPerBeat" (the exact fraction as text,
// "45/4"), "frameRate" (exact, as text: "24", "30000/1001"), "meter" ("4/4",
// "6/8"), "beats": [{"time", "frame", "bar", "beat", "confidence" (0..1, two
// decimals)}], "onsets": [{"time", "frame"}]}; frames from 0, times in
// seconds to the microsecond. Without a steady beat, bpm, framesPerBeat and
// meter are null.
#include "export/ExportWriter.h"

namespace zv {

class BeatsJsonWriter final : public ExportWriter {
public:
    BeatsJsonWriter();
    std::string Write(const ExportInput& input) const override;
};

} // namespace zv
