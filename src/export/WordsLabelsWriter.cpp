#include "export/WordsLabelsWriter.h"

#include <algorithm>

#include "dialogue/Breakdown.h"
#include "export/ExportText.h"

namespace zv {

WordsLabelsWriter::WordsLabelsWriter()
    : ExportWriter(
          {ExportSubject::Dialogue, "labels", "Audacity Labels of the Words (*.txt)", "*.txt", ".words.txt"}) {}

std::string WordsLabelsWriter::Write(const ExportInput& in) const {
    if (in.breakdown == nullptr || !in.rate.IsPositive() || in.breakdown->sampleRate <= 0) return {};
    const int32_t rate = in.breakdown->sampleRate;
    // With characters, each word's label names its speaker ("Ann: Hello"),
    // every character's words in time order.
    std::vector<TrackItem> labels;
    for (const CharacterExport& c : in.Speakers()) {
        if (c.breakdown == nullptr) continue;
        for (const TrackItem& w : c.breakdown->WordItems())
            labels.push_back({w.start, w.end, c.name.empty() ? w.text : c.name + ": " + w.text, ""});
    }
    std::stable_sort(labels.begin(), labels.end(), [](const TrackItem& a, const TrackItem& b) { return a.start < b.start; });
    std::string out;
    for (const TrackItem& l : labels)
        out += ExportSeconds(l.start, rate) + "\t" + ExportSeconds(l.end, rate) + "\t" + ExportOneLine(l.text) + "\n";
    return out;
}

} // namespace zv
