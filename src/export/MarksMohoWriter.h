#pragma once
// The marks as Moho switch data: "MohoSwitch1", then per mark its frame
// counted from 1, a space, the text on one line.
#include "export/ExportWriter.h"

namespace zv {

class MarksMohoWriter final : public ExportWriter {
public:
    MarksMohoWriter();
    std::string Write(const ExportInput& input) const override;
};

} // namespace zv
