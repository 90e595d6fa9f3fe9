#pragma once
// The marks as Audacity labels: start TAB end TAB text, seconds with six
// decimals (a point has start = end); tabs and line breaks in a text become
// spaces.
#include "export/ExportWriter.h"

namespace zv {

class MarksLabelsWriter final : public ExportWriter {
public:
    MarksLabelsWriter();
    std::string Write(const ExportInput& input) const override;
};

} // namespace zv
