#include "export/MarksMohoWriter.h"

#include "export/ExportText.h"
#include "marks/MarkFrames.h"

namespace zv {

MarksMohoWriter::MarksMohoWriter()
    : ExportWriter({ExportSubject::Marks, "dat", "Moho Switch Data (*.dat)", "*.dat", ".dat"}) {}

std::string MarksMohoWriter::Write(const ExportInput& in) const {
    std::string out = "MohoSwitch1\n";
    if (in.marks == nullptr) return out;
    for (const TrackItem& m : *in.marks)
        out += std::to_string(MarkFrame(m.start, in.rate, in.sampleRate) + 1) + " " + ExportOneLine(m.text) + "\n";
    return out;
}

} // namespace zv
