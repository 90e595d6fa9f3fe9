#include "export/MouthsMohoWriter.h"

#include "dialogue/Breakdown.h"
#include "export/DialogueFrames.h"
#include "export/ExportText.h"

namespace zv {

MouthsMohoWriter::MouthsMohoWriter()
    : ExportWriter(
          {ExportSubject::Dialogue, "dat", "Moho Switch Data of the Mouths (*.dat)", "*.dat", ".mouths.dat"}) {}

std::string MouthsMohoWriter::Write(const ExportInput& in) const {
    if (in.breakdown == nullptr || !in.rate.IsPositive() || in.breakdown->sampleRate <= 0) return {};
    const DialogueFrames frames{in.rate, in.breakdown->sampleRate};
    std::string out = "MohoSwitch1\n";
    if (in.mouths == nullptr) return out;
    for (const TrackItem& m : *in.mouths)
        out += std::to_string(frames.Of(m.start) + 1) + " " + ExportOneLine(m.text) + "\n";
    return out;
}

} // namespace zv
