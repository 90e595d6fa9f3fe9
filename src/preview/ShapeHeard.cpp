#include "preview/ShapeHeard.h"

#include <algorithm>

#include "common/FrameTime.h"
#include "document/SoundDocument.h"

namespace zv {

std::string ShapeHeard::OnFrame(const std::vector<TrackItem>& mouths, int64_t frame, FrameRate rate,
                                int32_t sampleRate, const std::string& rest) {
    if (!rate.IsPositive() || sampleRate <= 0 || frame < 0 || mouths.empty()) return rest;
    const int64_t frameStart = FrameStartSample(frame, rate, sampleRate);
    const int64_t nextStart = FrameStartSample(frame + 1, rate, sampleRate);
    // Items starting before the next frame are the only ones that may cover
    // this one; the last of them in order that reaches into the frame wins.
    auto it = std::lower_bound(mouths.begin(), mouths.end(), nextStart,
                               [](const TrackItem& item, int64_t s) { return item.start < s; });
    while (it != mouths.begin()) {
        --it;
        // A point covers the frame it stands on; a range its last sample's.
        const int64_t last = it->end > it->start ? it->end - 1 : it->start;
        if (last >= frameStart) return it->text;
    }
    return rest;
}

std::vector<HeardMouth> ShapeHeard::Everyone(const SoundDocument& document, FrameRate rate, int64_t sample,
                                             const SetOf& setOf) {
    const CharacterList characters = CharacterList::Of(document);
    const int32_t sampleRate = document.Info().sampleRate;
    const int64_t frame =
        rate.IsPositive() && sampleRate > 0 && sample >= 0 ? FrameOfSample(sample, rate, sampleRate) : -1;
    std::vector<HeardMouth> out;
    out.reserve(characters.size());
    for (const Character& c : characters.All()) {
        const MouthSet& set = setOf(c.mouthSet);
        const Track* mouths = document.Find(CharacterList::MouthsTrack(c.id));
        std::string shape = mouths ? OnFrame(mouths->Items(), frame, rate, sampleRate, set.Rest()) : set.Rest();
        out.push_back({c, set.Name(), std::move(shape)});
    }
    return out;
}

std::string ShapeHeard::ShownName(const Character& character) {
    return character.name.empty() ? std::string("Mouth") : character.name;
}

std::string ShapeHeard::Description(const std::vector<HeardMouth>& mouths) {
    std::string text;
    for (const HeardMouth& m : mouths) {
        if (!text.empty()) text += "; ";
        text += ShownName(m.character) + ": " + m.shape;
    }
    return text;
}

} // namespace zv
