#pragma once
// The mouth shapes as Moho switch data: "MohoSwitch1", then per change
// of shape its frame counted from 1, a space, the shape.
#include "export/ExportWriter.h"

namespace zv {

class MouthsMohoWriter final : public ExportWriter {
public:
    MouthsMohoWriter();
    std::string Write(const ExportInput& input) const override;
    // One file for each character ("-NAME" before the extension) when
    // there are several: Moho switches one mouth layer a file.
    std::vector<ExportFile> WriteFiles(const ExportInput& input) const override;
};

} // namespace zv
