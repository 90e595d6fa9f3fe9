#pragma once
// The dialogue as an XDTS exposure sheet (sheets/XdtsSheet.h): the mouths
// as drawing numbers in the CELL field, the lines in the DIALOG field, cut
// and scene 1. The Export Marks dialog asks the cut and scene itself and
// writes the mouth numbers' mapping beside the sheet (window/SheetsActions).
#include "export/ExportWriter.h"
#include "sheets/SheetContent.h"

namespace zv {

class XdtsSheetWriter final : public ExportWriter {
public:
    static constexpr const char* kName = "xdts";

    XdtsSheetWriter();
    std::string Write(const ExportInput& input) const override;

    // The sheet's content of an export's input (one speaker: the breakdown).
    static SheetContent ContentOf(const ExportInput& input);
};

} // namespace zv
