#pragma once
// Which mouth shape each character shows on the animation frame being heard:
// the item of the character's Mouths track that covers that frame, rest
// when none does. A frame is covered by an item when the item's first or
// last sample lies in it or the item runs across it; when several items
// cover one frame the last of them in the track's order wins, as the
// exposure sheet lays them (ShapesByFrame). Core code: no Qt.
//
// Units: samples = sample frames at sampleRate; frame = animation frame at
// `rate` (FrameTime.h).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/FrameRate.h"
#include "dialogue/CharacterList.h"
#include "dialogue/MouthSet.h"
#include "document/TrackItem.h"

namespace zv {

class SoundDocument;

// One character's mouth at the heard frame.
struct HeardMouth {
    Character character;
    std::string setName;   // the mouth set the character's shapes come from
    std::string shape;     // the shape on the frame (the set's rest when none)
    friend bool operator==(const HeardMouth&, const HeardMouth&) = default;
};

class ShapeHeard {
public:
    // A character's mouth set by its name ("" = the one chosen in the
    // Dialogue panel).
    using SetOf = std::function<const MouthSet&(const std::string& name)>;

    // The shape on animation frame `frame` of `mouths` (sorted by start,
    // as a Track keeps them); `rest` when no item covers it, when the rate
    // or sample rate is 0 or below, or the frame is before 0.
    static std::string OnFrame(const std::vector<TrackItem>& mouths, int64_t frame, FrameRate rate,
                               int32_t sampleRate, const std::string& rest);

    // Every character of the document (one unnamed speaker when it names
    // none), in list order, with the shape on the frame that holds
    // `sample`. A character without a Mouths track is at rest.
    static std::vector<HeardMouth> Everyone(const SoundDocument& document, FrameRate rate, int64_t sample,
                                            const SetOf& setOf);

    // What a screen reader hears: "Ann: MBP; Bob: rest", or "Mouth: MBP"
    // for the single unnamed speaker.
    static std::string Description(const std::vector<HeardMouth>& mouths);
    // The name shown over a character's drawing ("Mouth" for the unnamed speaker).
    static std::string ShownName(const Character& character);
};

} // namespace zv
