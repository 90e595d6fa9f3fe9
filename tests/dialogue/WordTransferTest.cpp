// Giving words to another character: a word goes with exactly the phonemes
// that start inside it, lands at the same time on the other character's
// tracks in order, and is refused whole when it would overlap a word the
// other character already says. A line is the script line the words came
// from when they know it, however they pause; else the run of words without
// a long pause, so two sentences with a breath between them stay apart.
#include <gtest/gtest.h>

#include "dialogue/WordKind.h"
#include "dialogue/WordTransfer.h"

namespace zv {
namespace {

TrackItem I(int64_t start, int64_t end, const char* text) { return {start, end, text, ""}; }

// Two sentences: "one two" close together, then "three" after a long pause.
BreakdownTracks Ann() {
    return {{I(1000, 2000, "one"), I(2100, 3000, "two"), I(9000, 10000, "three")},
            {I(1000, 1500, "W"), I(1500, 2000, "AH"), I(2100, 2600, "T"), I(2600, 3000, "UW"), I(9000, 9500, "TH"),
             I(9500, 10000, "IY")}};
}

TEST(LineAround, JoinsWordsUntilAPauseAsLongAsTheGap) {
    const auto words = Ann().words;
    const WordRun first = LineAround(words, 1, 500);
    EXPECT_EQ(first.first, 0u);
    EXPECT_EQ(first.last, 2u);
    const WordRun alone = LineAround(words, 2, 500);
    EXPECT_EQ(alone.first, 2u);
    EXPECT_EQ(alone.last, 3u);
    // A gap exactly as long as the pause ends the line; a longer pause joins all.
    EXPECT_EQ(LineAround(words, 0, 100).last, 1u);
    EXPECT_EQ(LineAround(words, 0, 100000).last, 3u);
    EXPECT_TRUE(LineAround(words, 3, 500).empty());
    EXPECT_TRUE(LineAround({}, 0, 500).empty());
}

TEST(LineAround, WordsThatKnowTheirScriptLineFollowItNotThePauses) {
    const auto in = [](int64_t start, int64_t end, const char* text, int64_t line) {
        return TrackItem{start, end, text, WordKind::Of(false, line)};
    };
    // Line A "one two" with a long pause inside it; line B "three four"
    // right after it; then two words made by hand, close together.
    std::vector<TrackItem> words{in(1000, 2000, "one", 1000), in(9000, 9500, "two", 1000),
                                 in(9520, 10000, "three", 9520), {10010, 11000, "four", WordKind::Of(true, 9520)},
                                 I(11010, 11500, "five"), I(11600, 12000, "six")};
    for (std::size_t w : {0u, 1u}) {
        const WordRun a = LineAround(words, w, 500);
        EXPECT_EQ(a.first, 0u) << w;
        EXPECT_EQ(a.last, 2u) << w;   // not "three": another line, however close
    }
    const WordRun b = LineAround(words, 3, 500);   // spread too: still its line
    EXPECT_EQ(b.first, 2u);
    EXPECT_EQ(b.last, 4u);
    // Words that know no line: the pause rule, never taking a word of a known line.
    const WordRun hand = LineAround(words, 5, 500);
    EXPECT_EQ(hand.first, 4u);
    EXPECT_EQ(hand.last, 6u);
    // A word of another line between two of one line splits it.
    const std::vector<TrackItem> split{in(1000, 2000, "one", 1000), in(5000, 5500, "aside", 5000),
                                       in(9000, 9500, "two", 1000)};
    EXPECT_EQ(LineAround(split, 0, 100000).last, 1u);
    EXPECT_EQ(LineAround(split, 2, 100000).first, 2u);
}

TEST(TransferWords, AWordTakesItsOwnPhonemesAndKeepsItsTime) {
    const BreakdownTracks bob{{I(4000, 5000, "hi")}, {I(4000, 4500, "HH"), I(4500, 5000, "AY")}};
    const auto moved = TransferWords(Ann(), bob, {1, 2});
    ASSERT_TRUE(moved);
    ASSERT_EQ(moved->from.words.size(), 2u);
    EXPECT_EQ(moved->from.words[0].text, "one");
    EXPECT_EQ(moved->from.words[1].text, "three");
    ASSERT_EQ(moved->from.phonemes.size(), 4u);
    EXPECT_EQ(moved->from.phonemes[1].text, "AH");
    EXPECT_EQ(moved->from.phonemes[2].text, "TH");
    // Sorted among Bob's own, at the same samples.
    ASSERT_EQ(moved->to.words.size(), 2u);
    EXPECT_EQ(moved->to.words[0], I(2100, 3000, "two"));
    EXPECT_EQ(moved->to.words[1].text, "hi");
    ASSERT_EQ(moved->to.phonemes.size(), 4u);
    EXPECT_EQ(moved->to.phonemes[0], I(2100, 2600, "T"));
    EXPECT_EQ(moved->to.phonemes[1], I(2600, 3000, "UW"));
    EXPECT_EQ(moved->to.phonemes[2].text, "HH");
}

TEST(TransferWords, ALineMovesWholeAndAPhonemeBetweenWordsStays) {
    BreakdownTracks ann = Ann();
    // A breath between "one" and "two" belongs to neither word.
    ann.phonemes.insert(ann.phonemes.begin() + 2, I(2020, 2080, "SIL"));
    const auto moved = TransferWords(ann, {}, LineAround(ann.words, 0, 500));
    ASSERT_TRUE(moved);
    ASSERT_EQ(moved->to.words.size(), 2u);
    EXPECT_EQ(moved->to.phonemes.size(), 4u);
    ASSERT_EQ(moved->from.words.size(), 1u);
    EXPECT_EQ(moved->from.words[0].text, "three");
    ASSERT_EQ(moved->from.phonemes.size(), 3u);
    EXPECT_EQ(moved->from.phonemes[0].text, "SIL");
}

TEST(TransferWords, RefusesAnOverlapWithTheOtherCharactersWordsAndBadRuns) {
    // Bob speaks over the end of "two": nothing moves.
    const BreakdownTracks bob{{I(2900, 3500, "hey")}, {}};
    EXPECT_FALSE(TransferWords(Ann(), bob, {0, 2}));
    // Touching is not overlapping: "hey" starting where "two" ends is fine.
    const BreakdownTracks after{{I(3000, 3500, "hey")}, {}};
    EXPECT_TRUE(TransferWords(Ann(), after, {1, 2}));
    EXPECT_FALSE(TransferWords(Ann(), {}, {2, 4}));
    EXPECT_FALSE(TransferWords(Ann(), {}, {1, 1}));
    EXPECT_FALSE(TransferWords({}, {}, {0, 1}));
}

} // namespace
} // namespace zv
