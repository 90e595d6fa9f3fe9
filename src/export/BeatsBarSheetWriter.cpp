#include "export/BeatsBarSheetWriter.h"

#include <algorithm>
#include <map>

#include "beats/BeatAnalysis.h"
#include "common/FrameTime.h"

namespace zv {

BeatsBarSheetWriter::BeatsBarSheetWriter()
    : ExportWriter({ExportSubject::Beats, "xsheet", "Bar Sheet of the Beats (*.bars.txt)", "*.bars.txt", ".bars.txt"}) {}

std::string BeatsBarSheetWriter::Write(const ExportInput& in) const {
    if (in.beats == nullptr || !in.rate.IsPositive()) return {};
    const BeatAnalysis& a = *in.beats;
    auto frameOf = [&](int64_t sample) -> int64_t {
        return a.sampleRate > 0 ? FrameOfSample(sample, in.rate, a.sampleRate) : 0;
    };
    struct Cell {
        std::string bar, beat;
    };
    std::map<int64_t, Cell> cells;
    int64_t frames = in.lengthSamples > 0 ? frameOf(in.lengthSamples - 1) + 1 : 0;
    for (const Beat& b : a.beats) {
        const int64_t frame = frameOf(b.sample);
        if (frame < 0) continue;
        Cell& cell = cells[frame];
        if (!cell.beat.empty()) cell.beat += "/";
        cell.beat += std::to_string(b.beat);
        if (b.beat == 1) cell.bar = std::to_string(b.bar);
        frames = std::max(frames, frame + 1);
    }
    std::string out = "Bar\tBeat\tFrame\n";
    out.reserve(static_cast<std::size_t>(frames) * 8 + out.size());
    auto next = cells.begin();
    for (int64_t frame = 0; frame < frames; ++frame) {
        if (next != cells.end() && next->first == frame) {
            out += next->second.bar + "\t" + next->second.beat + "\t";
            ++next;
        } else {
            out += "\t\t";
        }
        out += std::to_string(frame + 1);
        out += '\n';
    }
    return out;
}

} // namespace zv
