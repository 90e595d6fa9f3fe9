#pragma once
// A dialogue broken down: its lines, their words, and each word's phonemes
// (CMU phones, "AA" ... "ZH", whatever the language), placed on the sound.
// The window keeps the words and phonemes on the document's Words and
// Phonemes tracks; the exports read this.
//
// Units: sample frames of the sound at `sampleRate`; end is one past the
// last sample.
#include <cstdint>
#include <string>
#include <vector>

#include "document/TrackItem.h"

namespace zv {

struct BreakdownPhoneme {
    std::string text;
    int64_t start = 0;
    int64_t end = 0;
    friend bool operator==(const BreakdownPhoneme&, const BreakdownPhoneme&) = default;
};

struct BreakdownWord {
    std::string text;
    int64_t start = 0;
    int64_t end = 0;
    std::vector<BreakdownPhoneme> phonemes;   // inside the word, in order
    bool spread = false;   // placed by proportion, not heard (to correct by hand)
    friend bool operator==(const BreakdownWord&, const BreakdownWord&) = default;
};

struct BreakdownLine {
    std::string text;
    std::vector<BreakdownWord> words;
    friend bool operator==(const BreakdownLine&, const BreakdownLine&) = default;
};

struct Breakdown {
    int32_t sampleRate = 0;
    int64_t soundFrames = 0;   // the sound's length in sample frames
    std::vector<BreakdownLine> lines;

    // For the Words track: text = the word, kind "spread" when placed by
    // proportion, else "".
    std::vector<TrackItem> WordItems() const;
    // For the Phonemes track: text = the phone, kind "".
    std::vector<TrackItem> PhonemeItems() const;
    // Back from the tracks (after edits): one line of every word, each
    // holding the phonemes that start inside it.
    static Breakdown FromTracks(const std::vector<TrackItem>& words, const std::vector<TrackItem>& phonemes,
                                int32_t sampleRate, int64_t soundFrames);
};

} // namespace zv
