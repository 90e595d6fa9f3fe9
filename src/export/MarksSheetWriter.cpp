#include "export/MarksSheetWriter.h"

#include <algorithm>
#include <map>

#include "export/ExportText.h"
#include "marks/MarkFrames.h"

namespace zv {

MarksSheetWriter::MarksSheetWriter()
    : ExportWriter({ExportSubject::Marks, "xsheet", "Exposure Sheet (*.xsheet.txt)", "*.xsheet.txt", ".xsheet.txt"}) {}

std::string MarksSheetWriter::Write(const ExportInput& in) const {
    // Texts by frame (from 0). A line for every frame that starts within
    // the sound; a mark at the very end of the sound gets the line after
    // its last frame; marks beyond the sound have no line.
    const int32_t sr = in.sampleRate;
    std::map<int64_t, std::string> texts;
    int64_t frames = in.lengthSamples > 0 ? MarkFrame(in.lengthSamples - 1, in.rate, sr) + 1 : 0;
    if (in.marks != nullptr) {
        for (const TrackItem& m : *in.marks) {
            if (m.start > in.lengthSamples) continue;
            const int64_t frame = MarkFrame(m.start, in.rate, sr);
            std::string& text = texts[frame];
            if (!text.empty()) text += " / ";
            text += ExportOneLine(m.text);
            frames = std::max(frames, frame + 1);
        }
    }
    std::string out;
    out.reserve(static_cast<std::size_t>(frames) * 8);
    auto next = texts.begin();
    for (int64_t frame = 0; frame < frames; ++frame) {
        out += std::to_string(frame + 1);
        out += '\t';
        if (next != texts.end() && next->first == frame) {
            out += next->second;
            ++next;
        }
        out += '\n';
    }
    return out;
}

} // namespace zv
