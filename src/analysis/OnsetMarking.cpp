#include "analysis/OnsetMarking.h"

#include "document/SoundDocument.h"

namespace zv {

OnsetMarking::OnsetMarking(const SoundData& sound, int64_t from, int64_t to, double threshold)
    : BeatFinding(sound, from, to, BeatOptions{}, threshold, "Mark Onsets") {}

TrackEdit OnsetMarking::Edit(const SoundDocument& document) const {
    std::vector<TrackItem> onsets = OnsetItems(Found());
    if (onsets.empty()) return {};
    std::vector<TrackItem> marks = document.Marks().Items();
    for (TrackItem& onset : onsets) {
        onset.kind.clear();   // plain marks
        marks.push_back(std::move(onset));
    }
    return {Step(), {{SoundDocument::kMarks, std::move(marks)}}};
}

} // namespace zv
