#pragma once
// The breakdown's words as Audacity labels: start TAB end TAB text,
// seconds with six decimals. With characters, each label is "NAME: word".
#include "export/ExportWriter.h"

namespace zv {

class WordsLabelsWriter final : public ExportWriter {
public:
    WordsLabelsWriter();
    std::string Write(const ExportInput& input) const override;
};

} // namespace zv
