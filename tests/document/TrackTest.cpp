#include <gtest/gtest.h>

#include "common/FrameTime.h"
#include "document/SoundDocument.h"

namespace zv {
namespace {

TrackItem At(int64_t s, std::string text = {}) { return TrackItem{s, s, std::move(text), {}}; }

TEST(Track, KeepsTimeOrderAndTellsEachChangeOnce) {
    Track t("Words");
    int told = 0;
    t.AddListener([&](const Track&) { ++told; });
    t.Add(At(50, "b"));
    t.Add(At(10, "a"));
    t.Add(At(50, "c"));   // same start: after the earlier one
    EXPECT_EQ(told, 3);
    t.AddAll({At(5, "x"), At(70, "y"), At(30, "z")});
    EXPECT_EQ(told, 4);
    std::string order;
    for (const auto& i : t.Items()) order += i.text;
    EXPECT_EQ(order, "xazbcy");
    // Moving an item re-sorts it; removing ignores duplicates and strays.
    EXPECT_EQ(t.Replace(0, At(60, "x")), 4u);
    EXPECT_EQ(t.Remove({0, 0, 99}), 1u);
    EXPECT_EQ(t.size(), 5u);
    EXPECT_EQ(t.FirstAtOrAfter(51), 3u);
}

TEST(SoundDocument, ANewSoundKeepsOnlyAnEmptyMarksTrack) {
    SoundDocument doc;
    doc.Reset(SoundInfo{"/a.wav", 48000, 480000, 2, {}});
    doc.Marks().Add(At(1));
    doc.Ensure(SoundDocument::kWords).Add(At(2));
    EXPECT_EQ(&doc.Ensure(SoundDocument::kWords), doc.Find(SoundDocument::kWords));
    doc.Reset(SoundInfo{"/b.wav", 44100, 100, 1, {}});
    EXPECT_TRUE(doc.Marks().empty());
    EXPECT_EQ(doc.Find(SoundDocument::kWords), nullptr);
    EXPECT_EQ(doc.Tracks().size(), 1u);
}

// The frame a sample is on is the frame whose first sample is at or before
// it, at exact video rates too: frame 1 at 30 fps starts at sample 1470 of
// 44.1 kHz (33.33 ms), and sample 1469 is still frame 0.
TEST(FrameOfSample, IsTheFrameWhoseStartHoldsIt) {
    for (FrameRate rate : {FrameRate(30), FrameRate(24), FrameRate::Fraction(30000, 1001),
                           FrameRate::Fraction(24000, 1001)}) {
        for (int32_t sr : {44100, 48000}) {
            for (int64_t n : {0, 1, 2, 10, 25, 29, 1799, 1800, 17982, 3'000'000}) {
                const int64_t first = FrameStartSample(n, rate, sr);
                EXPECT_EQ(FrameOfSample(first, rate, sr), n) << rate << " " << sr << " " << n;
                EXPECT_EQ(FrameOfSample(first - 1, rate, sr), n - 1) << rate << " " << sr << " " << n;
            }
        }
    }
    EXPECT_EQ(FrameOfSample(1469, 30, 44100), 0);
    EXPECT_EQ(FrameOfSample(1470, 30, 44100), 1);
}

} // namespace
} // namespace zv
