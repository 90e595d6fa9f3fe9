#pragma once
// The beats as JSON: {"bpm", "framesPerBeat" (the exact fraction as text,
// "45/4"), "frameRate" (exact, as text: "24", "30000/1001"), "beats":
// [{"time", "frame", "bar", "beat"}], "onsets": [{"time", "frame"}]};
// frames from 0, times in seconds to the microsecond. Without a steady
// beat, bpm and framesPerBeat are null.
#include "export/ExportWriter.h"

namespace zv {

class BeatsJsonWriter final : public ExportWriter {
public:
    BeatsJsonWriter();
    std::string Write(const ExportInput& input) const override;
};

} // namespace zv
