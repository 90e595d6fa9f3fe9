#pragma once
// The breakdown as JSON: {"sound", "sampleRate", "frameRate"
// ("24000/1001"), "words": [{"text", "start", "end" (seconds), "frame",
// "endFrame", "phonemes": [{"text", "start", "end", "frame"}]}],
// "mouths": [{"frame", "shape"}]}; frames from 0; endFrame is the frame
// holding the word's last sample; a mouth entry per change of shape.
// Bytes that are not UTF-8 are written replaced.
#include "export/ExportWriter.h"

namespace zv {

class DialogueJsonWriter final : public ExportWriter {
public:
    DialogueJsonWriter();
    std::string Write(const ExportInput& input) const override;
};

} // namespace zv
