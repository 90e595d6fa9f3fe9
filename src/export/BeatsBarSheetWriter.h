#pragma once
// The beats as an exposure sheet with bar | beat | frame columns: a header
// line "Bar<TAB>Beat<TAB>Frame", then a line per frame of the sound counted
// from 1: the bar's number on the frame of its downbeat, the beat's number
// on the frame of each beat ("2/3" when two share a frame), else nothing.
#include "export/ExportWriter.h"

namespace zv {

class BeatsBarSheetWriter final : public ExportWriter {
public:
    BeatsBarSheetWriter();
    std::string Write(const ExportInput& input) const override;
};

} // namespace zv
