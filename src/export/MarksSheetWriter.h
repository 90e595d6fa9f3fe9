#pragma once
// The marks as an exposure sheet: one line per frame of the sound, counted
// from 1: the frame number, a TAB, the text of the marks that start on it
// (joined by " / "), else nothing. A mark at the very end of the sound
// gets the line after the last frame; marks past the end have none.
#include "export/ExportWriter.h"

namespace zv {

class MarksSheetWriter final : public ExportWriter {
public:
    MarksSheetWriter();
    std::string Write(const ExportInput& input) const override;
};

} // namespace zv
