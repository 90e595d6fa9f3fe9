// The tags a word keeps in its kind: placed by spreading, and the script
// line it came from. Hand edits drop only the guess, a damaged tag reads as
// no line, and a breakdown's lines are told apart.
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
}

TEST(WordKind, EachLineOfABreakdownIsTaggedAsItsOwn) {
    Breakdown b;
    b.lines.push_back({"one two", {{"one", 100, 200, {}, false}, {"two", 900, 1000, {}, true}}});
    b.lines.push_back({"", {}});
    b.lines.push_back({"three", {{"three", 1000, 1100, {}, false}}});
    const std::vector<TrackItem> items = WordKind::ItemsByLine(b);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(WordKind::LineOf(items[0].kind), WordKind::LineOf(items[1].kind));
    EXPECT_NE(WordKind::LineOf(items[1].kind), WordKind::LineOf(items[2].kind));
    EXPECT_TRUE(WordKind::IsSpread(items[1].kind));
    // The same words and places as the plain items, spread read back.
    const std::vector<TrackItem> plain = b.WordItems();
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].start, plain[i].start);
        EXPECT_EQ(items[i].text, plain[i].text);
    }
    EXPECT_TRUE(Breakdown::FromTracks(items, {}, 16000, 2000).lines[0].words[1].spread);
}

} // namespace
} // namespace zv
