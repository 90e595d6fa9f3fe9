// Hand corrections of a breakdown: nothing comes to overlap, a phoneme
// boundary moves both phonemes, an edge never turns a word inside out, and
// a run of words aligned again replaces only those.
#include <gtest/gtest.h>

#include "dialogue/BreakdownEdit.h"

namespace zv {
namespace {

BreakdownTracks TwoWords() {
    return {{{100, 200, "one", ""}, {300, 400, "two", "spread"}},
            {{100, 150, "W", ""}, {150, 200, "AH", ""}, {300, 350, "T", ""}, {350, 400, "UW", ""}}};
}

TEST(BreakdownEdit, EdgesStopAtNeighboursAndNeverInvertAWord) {
    const BreakdownTracks t = TwoWords();
    // Past the next word: stops at its start; the phonemes stretch with it.
    BreakdownTracks out = MoveWordEdge(t, 0, false, 1000, 500);
    EXPECT_EQ(out.words[0].end, 300);
    EXPECT_EQ(out.phonemes[1].start, 200);
    EXPECT_EQ(out.phonemes[1].end, 300);
    // A start dragged past its own end keeps one sample.
    out = MoveWordEdge(t, 1, true, 450, 500);
    EXPECT_EQ(out.words[1].start, 399);
    EXPECT_LE(out.phonemes[3].end, 400);
    // Before the sound's start, and past its end.
    EXPECT_EQ(MoveWordEdge(t, 0, true, -50, 500).words[0].start, 0);
    EXPECT_EQ(MoveWordEdge(t, 1, false, 900, 500).words[1].end, 500);
    // A whole word stops at the sound's end with its length kept.
    out = MoveWord(t, 1, 1000, 500);
    EXPECT_EQ(out.words[1].start, 400);
    EXPECT_EQ(out.words[1].end, 500);
    EXPECT_EQ(out.phonemes[2].start, 400);
    // Out of range: nothing changes.
    EXPECT_EQ(MoveWordEdge(t, 5, true, 0, 500), t);
    EXPECT_EQ(MovePhonemeEdge(t, 9, true, 0), t);
}

TEST(BreakdownEdit, APhonemeBoundaryMovesBothSidesInsideItsWord) {
    const BreakdownTracks t = TwoWords();
    BreakdownTracks out = MovePhonemeEdge(t, 1, true, 120);
    EXPECT_EQ(out.phonemes[0].end, 120);
    EXPECT_EQ(out.phonemes[1].start, 120);
    // Not out of its word, nor over the phoneme before.
    out = MovePhonemeEdge(t, 1, true, 20);
    EXPECT_EQ(out.phonemes[1].start, 101);
    EXPECT_EQ(out.phonemes[0].end, 101);
    out = MovePhonemeEdge(t, 1, false, 280);
    EXPECT_EQ(out.phonemes[1].end, 200);
    EXPECT_EQ(out.words, t.words);
}

TEST(BreakdownEdit, ReplacedWordsKeepTheRest) {
    const BreakdownTracks t = TwoWords();
    const BreakdownTracks again{{{310, 390, "two", ""}}, {{310, 330, "T", ""}, {330, 390, "UW", ""}}};
    const BreakdownTracks out = ReplaceWords(t, 1, 2, again);
    ASSERT_EQ(out.words.size(), 2u);
    EXPECT_EQ(out.words[0], t.words[0]);
    EXPECT_EQ(out.words[1], again.words[0]);
    ASSERT_EQ(out.phonemes.size(), 4u);
    EXPECT_EQ(out.phonemes[1], t.phonemes[1]);
    EXPECT_EQ(out.phonemes[2].start, 310);
}

} // namespace
} // namespace zv
