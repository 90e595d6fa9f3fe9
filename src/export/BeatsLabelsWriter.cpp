#include "export/BeatsLabelsWriter.h"

#include "beats/BeatAnalysis.h"
#include "export/ExportText.h"

namespace zv {

BeatsLabelsWriter::BeatsLabelsWriter()
    : ExportWriter(
          {ExportSubject::Beats, "labels", "Audacity Labels of the Beats (*.txt)", "*.txt", ".beats.txt"}) {}

std::string BeatsLabelsWriter::Write(const ExportInput& in) const {
    if (in.beats == nullptr || !in.rate.IsPositive()) return {};
    std::string out;
    for (const Beat& b : in.beats->beats) {
        const std::string at = ExportSeconds(b.sample, in.beats->sampleRate);
        out += at + "\t" + at + "\t" + std::to_string(b.bar) + "." + std::to_string(b.beat) + "\n";
    }
    return out;
}

} // namespace zv
