#include "export/WordsLabelsWriter.h"

#include "dialogue/Breakdown.h"
#include "export/ExportText.h"

namespace zv {

WordsLabelsWriter::WordsLabelsWriter()
    : ExportWriter(
          {ExportSubject::Dialogue, "labels", "Audacity Labels of the Words (*.txt)", "*.txt", ".words.txt"}) {}

std::string WordsLabelsWriter::Write(const ExportInput& in) const {
    if (in.breakdown == nullptr || !in.rate.IsPositive() || in.breakdown->sampleRate <= 0) return {};
    const Breakdown& b = *in.breakdown;
    std::string out;
    for (const BreakdownLine& line : b.lines)
        for (const BreakdownWord& w : line.words)
            out += ExportSeconds(w.start, b.sampleRate) + "\t" + ExportSeconds(w.end, b.sampleRate) + "\t" +
                   ExportOneLine(w.text) + "\n";
    return out;
}

} // namespace zv
