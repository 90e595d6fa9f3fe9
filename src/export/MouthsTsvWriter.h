#pragma once
// The mouth shapes as TSV: per change of shape, the start of its frame in
// seconds (three decimals, exact), a TAB, the shape. With characters, a
// third column names the character, the rows of all in time order.
#include "export/ExportWriter.h"

namespace zv {

class MouthsTsvWriter final : public ExportWriter {
public:
    MouthsTsvWriter();
    std::string Write(const ExportInput& input) const override;
};

} // namespace zv
