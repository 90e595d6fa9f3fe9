// The tags a word keeps in its kind: placed by spreading, and the script
// line it came from. Hand edits drop only the guess, and a damaged tag reads
// as no line.
#include <gtest/gtest.h>

#include "dialogue/Breakdown.h"
#include "dialogue/WordKind.h"

namespace zv {
namespace {

TEST(WordKind, SpreadAndLineTagsAreKeptApartAndReadBack) {
    EXPECT_EQ(WordKind::Of(false, std::nullopt), "");
    EXPECT_EQ(WordKind::Of(true, std::nullopt), "spread");
    const std::string both = WordKind::Of(true, 22050);
    EXPECT_TRUE(WordKind::IsSpread(both));
    EXPECT_EQ(WordKind::LineOf(both), 22050);
    // Kinds written before lines were kept read as they did.
    EXPECT_TRUE(WordKind::IsSpread("spread"));
    EXPECT_FALSE(WordKind::IsSpread(""));
    EXPECT_FALSE(WordKind::LineOf("spread").has_value());
    // A hand edit drops the guess, not the line.
    EXPECT_EQ(WordKind::ByHand(both), "line:22050");
    EXPECT_EQ(WordKind::ByHand("spread"), "");
    EXPECT_EQ(WordKind::LineOf(WordKind::InLine(both, 7)), 7);
    EXPECT_TRUE(WordKind::IsSpread(WordKind::InLine(both, 7)));
    EXPECT_EQ(WordKind::InLine(both, std::nullopt), "spread");
    // Damaged tags (from a hand-written marks file): no line, nothing thrown.
    for (const char* bad : {"line:", "line:x", "line:12x", "line:99999999999999999999999", "line: 5"})
        EXPECT_FALSE(WordKind::LineOf(bad).has_value()) << bad;
    EXPECT_EQ(WordKind::LineOf("line:-3"), -3);
    // A spread word in a line still reads back as spread.
    const std::vector<TrackItem> words{{100, 200, "one", both}};
    EXPECT_TRUE(Breakdown::FromTracks(words, {}, 16000, 2000).lines[0].words[0].spread);
}

} // namespace
} // namespace zv
