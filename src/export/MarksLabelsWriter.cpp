#include "export/MarksLabelsWriter.h"

#include "export/ExportText.h"

namespace zv {

MarksLabelsWriter::MarksLabelsWriter()
    : ExportWriter({ExportSubject::Marks, "labels", "Audacity Labels (*.txt)", "*.txt", ".txt"}) {}

std::string MarksLabelsWriter::Write(const ExportInput& in) const {
    std::string out;
    if (in.marks == nullptr) return out;
    for (const TrackItem& m : *in.marks)
        out += ExportSeconds(m.start, in.sampleRate) + "\t" + ExportSeconds(m.end, in.sampleRate) + "\t" +
               ExportOneLine(m.text) + "\n";
    return out;
}

} // namespace zv
