#include "sheets/SheetContent.h"

#include <algorithm>

#include "common/FrameTime.h"
#include "dialogue/CharacterList.h"
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
                                  int32_t sampleRate, int64_t soundFrames, FrameRate rate,
                                  const MouthSetNamed& setNamed) {
    SheetContent content;
    content.soundName = soundName;
    content.sampleRate = sampleRate;
    content.soundFrames = soundFrames;
    content.rate = rate;
    const auto itemsOf = [&](const std::string& name) -> std::vector<TrackItem> {
        for (const FileTrack& track : tracks)
            if (track.name == name) return track.items;
        return {};
    };
    // A sheet's columns keep time order whatever order the file had.
    const auto inOrder = [](std::vector<TrackItem> items) {
        std::stable_sort(items.begin(), items.end(), [](const TrackItem& a, const TrackItem& b) { return a.start < b.start; });
        return items;
    };
    content.marks = inOrder(itemsOf("Marks"));
    content.beats = inOrder(itemsOf("Beats"));
    const CharacterList characters = CharacterList::FromItems(itemsOf(CharacterList::kTrack));
    for (const Character& c : characters.All()) {
        SheetSpeaker speaker;
        speaker.name = c.name.empty() ? std::string("Dialogue") : c.name;
        speaker.named = !c.name.empty();
        speaker.words = inOrder(itemsOf(CharacterList::WordsTrack(c.id)));
        speaker.mouths = inOrder(itemsOf(CharacterList::MouthsTrack(c.id)));
        // A character with nothing said takes no columns.
        if (speaker.words.empty() && speaker.mouths.empty()) continue;
        speaker.mouthSet = setNamed ? setNamed(c.mouthSet) : MouthSet::PrestonBlair();
        content.speakers.push_back(std::move(speaker));
    }
    return content;
}

std::vector<std::string> NumberedShapes(const SheetSpeaker& speaker) {
    std::vector<std::string> shapes = speaker.mouthSet.Shapes();
    for (const TrackItem& run : speaker.mouths)
        if (std::find(shapes.begin(), shapes.end(), run.text) == shapes.end()) shapes.push_back(run.text);
    return shapes;
}

} // namespace zv
