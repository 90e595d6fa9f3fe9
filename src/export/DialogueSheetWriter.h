#pragma once
// The breakdown as an exposure sheet: a header, then a line per frame from
// 1: frame | mouth (where it changes) | word (where it starts) | marks (that
// start on it, joined by " / "), TAB separated. With characters, a mouth
// and a word column for each ("Ann Mouth", "Ann Word"), in the list's
// order, before the marks.
#include "export/ExportWriter.h"

namespace zv {

class DialogueSheetWriter final : public ExportWriter {
public:
    DialogueSheetWriter();
    std::string Write(const ExportInput& input) const override;
};

} // namespace zv
