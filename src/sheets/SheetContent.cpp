#include "sheets/SheetContent.h"

#include <algorithm>

#include "common/FrameTime.h"
#include "marks/MarksFile.h"

namespace zv {

int64_t SheetContent::FrameCount() const {
    if (soundFrames <= 0 || sampleRate <= 0 || !rate.IsPositive()) return 0;
    return FrameOfSample(soundFrames - 1, rate, sampleRate) + 1;
}

int64_t SheetContent::FrameOf(int64_t sample) const {
    if (sampleRate <= 0 || !rate.IsPositive()) return 0;
    return FrameOfSample(std::max<int64_t>(sample, 0), rate, sampleRate);
}

bool SheetContent::HasAnything() const {
    if (!marks.empty() || !beats.empty()) return true;
    return std::any_of(speakers.begin(), speakers.end(),
                       [](const SheetSpeaker& s) { return !s.words.empty() || !s.mouths.empty(); });
}

SheetContent SheetContentOfTracks(const std::vector<FileTrack>& tracks, const std::string& soundName,
                                  int32_t sampleRate, int64_t soundFrames, FrameRate rate, const MouthSet& mouthSet) {
    SheetContent content;
    content.soundName = soundName;
    content.sampleRate = sampleRate;
    content.soundFrames = soundFrames;
    content.rate = rate;
    SheetSpeaker speaker;
    speaker.name = "Dialogue";
    speaker.mouthSet = mouthSet;
    for (const FileTrack& track : tracks) {
        if (track.name == "Marks") content.marks = track.items;
        else if (track.name == "Words") speaker.words = track.items;
        else if (track.name == "Mouths") speaker.mouths = track.items;
        else if (track.name == "Beats") content.beats = track.items;
    }
    // A sheet's columns keep time order whatever order the file had.
    const auto byStart = [](const TrackItem& a, const TrackItem& b) { return a.start < b.start; };
    for (auto* items : {&content.marks, &speaker.words, &speaker.mouths, &content.beats})
        std::stable_sort(items->begin(), items->end(), byStart);
    if (!speaker.words.empty() || !speaker.mouths.empty()) content.speakers.push_back(std::move(speaker));
    return content;
}

std::vector<std::string> NumberedShapes(const SheetSpeaker& speaker) {
    std::vector<std::string> shapes = speaker.mouthSet.Shapes();
    for (const TrackItem& run : speaker.mouths)
        if (std::find(shapes.begin(), shapes.end(), run.text) == shapes.end()) shapes.push_back(run.text);
    return shapes;
}

} // namespace zv
