#pragma once
// What the lanes' pointer edits ask of the window: the Mouths track that
// follows a set of phonemes, playing a stretch, asking for a text, and
// showing the lanes again during a drag.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "document/TrackItem.h"

namespace zv {

class LaneHost {
public:
    virtual ~LaneHost() = default;
    // The Mouths track for these phonemes, laid with the mouth set called
    // `set` (a character's own; "" = the dialogue panel's) and the panel's rules.
    virtual std::vector<TrackItem> MouthsFor(const std::vector<TrackItem>& phonemes, const std::string& set) const = 0;
    // The names of the mouth sets the dialogue panel offers, in its order.
    virtual std::vector<std::string> MouthSetNames() const = 0;
    // Plays sample frames [first, last).
    virtual void PlaySamples(int64_t first, int64_t last) = 0;
    // Asks for a text (`what` says which), `initial` filled in.
    virtual std::optional<std::string> AskText(const std::string& what, const std::string& initial) = 0;
    // The lanes changed during a drag: they are shown again.
    virtual void LanesChanged() = 0;
};

} // namespace zv
