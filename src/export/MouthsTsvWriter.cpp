#include "export/MouthsTsvWriter.h"

#include "dialogue/Breakdown.h"
#include "export/DialogueFrames.h"
#include "export/ExportText.h"

namespace zv {

MouthsTsvWriter::MouthsTsvWriter()
    : ExportWriter({ExportSubject::Dialogue, "tsv", "TSV of the Mouths (*.tsv)", "*.tsv", ".mouths.tsv"}) {}

std::string MouthsTsvWriter::Write(const ExportInput& in) const {
    if (in.breakdown == nullptr || !in.rate.IsPositive() || in.breakdown->sampleRate <= 0) return {};
    const DialogueFrames frames{in.rate, in.breakdown->sampleRate};
    std::string out;
    if (in.mouths == nullptr) return out;
    for (const TrackItem& m : *in.mouths) {
        const int64_t frame = frames.Of(m.start);
        out += ExportDecimal(FrameStartMs(frame, in.rate), 3) + "\t" + ExportOneLine(m.text) + "\n";
    }
    return out;
}

} // namespace zv
