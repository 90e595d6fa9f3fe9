#pragma once
// The breakdown as a Papagayo (.pgo) document: one voice (with characters,
// one voice each, named after the character), a phrase per
// line, its words with their frames and each phoneme as its mouth shape
// (from the mouth set, Preston Blair without one), frames from 0. Papagayo
// keeps a whole number of frames a second: the rate is written rounded,
// the frames are the exact rate's.
#include "export/ExportWriter.h"

namespace zv {

class PapagayoWriter final : public ExportWriter {
public:
    PapagayoWriter();
    std::string Write(const ExportInput& input) const override;
};

} // namespace zv
