#pragma once
// The beats as Audacity labels: a point per beat, start TAB end TAB
// "bar.beat", seconds with six decimals.
#include "export/ExportWriter.h"

namespace zv {

class BeatsLabelsWriter final : public ExportWriter {
public:
    BeatsLabelsWriter();
    std::string Write(const ExportInput& input) const override;
};

} // namespace zv
