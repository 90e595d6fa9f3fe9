#include "export/DialogueSheetWriter.h"

#include <algorithm>
#include <map>

#include "dialogue/Breakdown.h"
#include "export/DialogueFrames.h"
#include "export/ExportText.h"

namespace zv {

DialogueSheetWriter::DialogueSheetWriter()
    : ExportWriter({ExportSubject::Dialogue, "xsheet", "Exposure Sheet of the Dialogue (*.txt)", "*.txt",
                    ".dialogue.xsheet.txt"}) {}

std::string DialogueSheetWriter::Write(const ExportInput& in) const {
    if (in.breakdown == nullptr || !in.rate.IsPositive() || in.breakdown->sampleRate <= 0) return {};
    const DialogueFrames frames{in.rate, in.breakdown->sampleRate};
    const Breakdown& b = *in.breakdown;
    int64_t count = b.soundFrames > 0 ? frames.Of(b.soundFrames - 1) + 1 : 0;
    using Column = std::map<int64_t, std::string>;
    auto add = [&](Column& column, int64_t frame, const std::string& text) {
        if (frame < 0) return;
        std::string& cell = column[frame];
        if (!cell.empty()) cell += " / ";
        cell += ExportOneLine(text);
        count = std::max(count, frame + 1);
    };
    // A mouth and a word column for each character (one pair, "Mouth" and
    // "Word", for the single unnamed speaker), then the marks.
    const std::vector<CharacterExport> speakers = in.Speakers();
    std::vector<Column> columns(2 * speakers.size());
    std::string out = "Frame";
    for (std::size_t c = 0; c < speakers.size(); ++c) {
        const std::string who = speakers[c].name.empty() ? std::string() : ExportOneLine(speakers[c].name) + " ";
        out += "\t" + who + "Mouth\t" + who + "Word";
        if (speakers[c].mouths != nullptr)
            for (const TrackItem& m : *speakers[c].mouths) add(columns[2 * c], frames.Of(m.start), m.text);
        if (speakers[c].breakdown != nullptr)
            for (const BreakdownLine& line : speakers[c].breakdown->lines)
                for (const BreakdownWord& w : line.words) add(columns[2 * c + 1], frames.Of(w.start), w.text);
    }
    out += "\tMarks\n";
    Column marks;
    if (in.marks != nullptr)
        for (const TrackItem& m : *in.marks) add(marks, frames.Of(m.start), m.text);
    auto cell = [](const Column& column, int64_t frame) {
        const auto it = column.find(frame);
        return it == column.end() ? std::string() : it->second;
    };
    for (int64_t f = 0; f < count; ++f) {
        out += std::to_string(f + 1);
        for (const Column& column : columns) out += "\t" + cell(column, f);
        out += "\t" + cell(marks, f) + "\n";
    }
    return out;
}

} // namespace zv
