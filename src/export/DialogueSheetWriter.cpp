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
    std::map<int64_t, std::string> mouths, words, marks;
    auto add = [&](std::map<int64_t, std::string>& column, int64_t frame, const std::string& text) {
        if (frame < 0) return;
        std::string& cell = column[frame];
        if (!cell.empty()) cell += " / ";
        cell += ExportOneLine(text);
        count = std::max(count, frame + 1);
    };
    if (in.mouths != nullptr)
        for (const TrackItem& m : *in.mouths) add(mouths, frames.Of(m.start), m.text);
    for (const BreakdownLine& line : b.lines)
        for (const BreakdownWord& w : line.words) add(words, frames.Of(w.start), w.text);
    if (in.marks != nullptr)
        for (const TrackItem& m : *in.marks) add(marks, frames.Of(m.start), m.text);
    auto cell = [](const std::map<int64_t, std::string>& column, int64_t frame) {
        const auto it = column.find(frame);
        return it == column.end() ? std::string() : it->second;
    };
    std::string out = "Frame\tMouth\tWord\tMarks\n";
    for (int64_t f = 0; f < count; ++f)
        out += std::to_string(f + 1) + "\t" + cell(mouths, f) + "\t" + cell(words, f) + "\t" + cell(marks, f) + "\n";
    return out;
}

} // namespace zv
