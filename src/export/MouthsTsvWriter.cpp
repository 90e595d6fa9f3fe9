#include "export/MouthsTsvWriter.h"

#include <algorithm>

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
    if (!in.ByCharacter()) {
        if (in.mouths == nullptr) return out;
        for (const TrackItem& m : *in.mouths) {
            const int64_t frame = frames.Of(m.start);
            out += ExportDecimal(FrameStartMs(frame, in.rate), 3) + "\t" + ExportOneLine(m.text) + "\n";
        }
        return out;
    }
    // Every character's changes in time order (the list's order within a
    // frame), the character named in a third column.
    struct Row {
        int64_t frame;
        std::size_t character;
        std::string shape;
    };
    std::vector<Row> rows;
    for (std::size_t c = 0; c < in.characters->size(); ++c)
        if (const auto* mouths = (*in.characters)[c].mouths)
            for (const TrackItem& m : *mouths) rows.push_back({frames.Of(m.start), c, m.text});
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return a.frame != b.frame ? a.frame < b.frame : a.character < b.character;
    });
    for (const Row& r : rows)
        out += ExportDecimal(FrameStartMs(r.frame, in.rate), 3) + "\t" + ExportOneLine(r.shape) + "\t" +
               ExportOneLine((*in.characters)[r.character].name) + "\n";
    return out;
}

} // namespace zv
