#pragma once
// The mouth shapes as TSV: per change of shape, the start of its frame in
// seconds (three decimals, exact), a TAB, the shape.
#include "export/ExportWriter.h"

namespace zv {

class MouthsTsvWriter final : public ExportWriter {
public:
    MouthsTsvWriter();
    std::string Write(const ExportInput& input) const override;
};

} // namespace zv
