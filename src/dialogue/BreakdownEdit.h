#pragma once
// Hand corrections of a breakdown on its Words and Phonemes tracks: a
// word's or phoneme's edge dragged, a whole word moved, a run of words
// replaced by a new alignment of them. Core code with no Qt; the window's
// lanes call it while the pointer moves.
//
// A word owns the phonemes that start inside it (Breakdown::FromTracks).
// Nothing ever overlaps what it did not overlap before: an edge stops at
// the neighbour's edge, and a word keeps at least one sample.
//
// Units: sample frames; end is one past the last sample.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "document/TrackItem.h"

namespace zv {

struct BreakdownTracks {
    std::vector<TrackItem> words;
    std::vector<TrackItem> phonemes;
    friend bool operator==(const BreakdownTracks&, const BreakdownTracks&) = default;
};

// The phonemes of word `word`: indexes [first, last) into tracks.phonemes.
struct PhonemeRun {
    std::size_t first = 0, last = 0;
};
PhonemeRun PhonemesOfWord(const BreakdownTracks& tracks, std::size_t word);

// Moves the start (or end) edge of word `word` to `sample`, between the
// words beside it and within [0, soundFrames]; its phonemes are stretched
// with it in proportion. An index out of range changes nothing.
BreakdownTracks MoveWordEdge(const BreakdownTracks& tracks, std::size_t word, bool startEdge, int64_t sample,
                             int64_t soundFrames);
// Moves word `word` and its phonemes by `samples`, stopping at the words
// beside it and at the sound's ends.
BreakdownTracks MoveWord(const BreakdownTracks& tracks, std::size_t word, int64_t samples, int64_t soundFrames);
// Moves the start (or end) edge of phoneme `phoneme` to `sample`, inside
// its word; the phoneme it touches on that side moves its edge with it.
BreakdownTracks MovePhonemeEdge(const BreakdownTracks& tracks, std::size_t phoneme, bool startEdge, int64_t sample);

// Words [first, last) and their phonemes replaced by `with` (a new
// alignment of the same words, anywhere between the words kept beside them).
BreakdownTracks ReplaceWords(const BreakdownTracks& tracks, std::size_t first, std::size_t last,
                             const BreakdownTracks& with);

} // namespace zv
