#pragma once
// What a word of a Words track is, kept in its item's `kind` as tags
// separated by spaces:
//   "spread"   placed by proportion over the sound, not heard (to check by
//              hand); gone once the user places or types the word.
//   "line:S"   the words of one script line share it. S is the sample frame
//              the line's first word was placed at by the alignment that
//              made it: it only tells lines apart (one character never
//              starts two lines on one sample) and is not a place in time
//              once the words are moved.
// A word with no line tag (typed by hand, imported, made before lines were
// kept) belongs to no known line. Core code: no Qt.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "document/TrackItem.h"

namespace zv {

struct Breakdown;

class WordKind {
public:
    // The kind of a word: spread or not, in the line tagged `line` (none: no line).
    static std::string Of(bool spread, std::optional<int64_t> line);
    static bool IsSpread(const std::string& kind);
    // The word's line tag; nothing when it has none or it is damaged.
    static std::optional<int64_t> LineOf(const std::string& kind);
    // The kind of a word placed or typed by hand: no longer spread, still in its line.
    static std::string ByHand(const std::string& kind);
    // `kind` moved to line `line` (none: out of any line), spread kept.
    static std::string InLine(const std::string& kind, std::optional<int64_t> line);

    // A breakdown's words for a Words track (as Breakdown::WordItems),
    // each of its lines tagged as a line of its own.
    static std::vector<TrackItem> ItemsByLine(const Breakdown& breakdown);
};

} // namespace zv
