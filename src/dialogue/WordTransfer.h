#pragma once
// Giving words from one character to another: a word goes with the
// phonemes that start inside it (the same ownership as the lanes' edits),
// from one character's Words and Phonemes tracks to another's. A "line" is
// the script line a word came from, when its words know it (WordKind);
// else the run of words around one word with no pause between them as
// long as `lineGap`: what a speaker says in one breath.
//
// Core code with no Qt; the window's character actions make the steps.
// Units: sample frames; end is one past the last sample.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "dialogue/BreakdownEdit.h"
#include "document/TrackItem.h"

namespace zv {

// Words [first, last) of a Words track.
struct WordRun {
    std::size_t first = 0, last = 0;
    bool empty() const { return last <= first; }
};

// The line that holds word `word`. When the word knows its script line:
// the words next to it (before and after, without a word of another line
// between) from the same line, however long the pauses. Otherwise: the
// words before and after it joined while the silence between two of them
// is shorter than `lineGap` samples, stopping at a word that knows its
// line. Empty for an index out of range.
WordRun LineAround(const std::vector<TrackItem>& words, std::size_t word, int64_t lineGap);

// The tracks of the two characters after a move.
struct TransferredTracks {
    BreakdownTracks from;
    BreakdownTracks to;
};

// Moves words [run.first, run.last) of `from` and their phonemes into `to`,
// each kept at its place in time. Nothing (no change) when the run is empty
// or out of range, or when a moved word would overlap a word `to` already
// has: one character's words never overlap.
std::optional<TransferredTracks> TransferWords(const BreakdownTracks& from, const BreakdownTracks& to, WordRun run);

} // namespace zv
