// The shape each character shows on the heard frame: the same shape the
// exposure sheet gives that frame, for aligned runs, hand-moved items that
// start or end inside a frame, overlaps and gaps; several characters each
// from their own Mouths track and set; the description screen readers get.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/FrameTime.h"
#include "dialogue/CharacterList.h"
#include "dialogue/MouthTrack.h"
#include "document/SoundDocument.h"
#include "preview/MouthDrawingFiles.h"
#include "preview/ShapeHeard.h"

namespace zv {
namespace {

constexpr int32_t kRate = 48000;

// Items at sample times (not on frame edges), overlapping and with gaps.
std::vector<TrackItem> Untidy() {
    return {
        {0, 3000, "MBP", {}},          // ends inside frame 1 at 24 fps (2000 samples a frame)
        {3000, 3000, "E", {}},         // a point inside frame 1: the later item wins it
        {4100, 9000, "AI", {}},        // starts inside frame 2
        {8000, 12500, "O", {}},        // overlaps AI: frames 4..6
        {20000, 22001, "FV", {}},      // after a gap; its last sample opens frame 11
    };
}

TEST(ShapeHeard, EveryFrameShowsWhatTheSheetShows) {
    for (const FrameRate rate : {FrameRate(24), FrameRate::Fraction(30000, 1001), FrameRate(12)}) {
        const std::vector<TrackItem> mouths = Untidy();
        const int64_t soundFrames = 30000;
        const std::vector<std::string> sheet = ShapesByFrame(mouths, rate, kRate, soundFrames, "rest");
        ASSERT_FALSE(sheet.empty());
        for (std::size_t f = 0; f < sheet.size(); ++f)
            EXPECT_EQ(ShapeHeard::OnFrame(mouths, static_cast<int64_t>(f), rate, kRate, "rest"), sheet[f])
                << "frame " << f << " at " << rate.Numerator() << "/" << rate.Denominator();
    }
}

TEST(ShapeHeard, RunsFromABreakdownAndWhatIsOutsideThem) {
    // Runs as the breakdown lays them, at 24 fps: frames 0-1 rest, 2-5 MBP, 6-9 AI.
    const std::vector<TrackItem> runs = {{4000, 12000, "MBP", {}}, {12000, 20000, "AI", {}}};
    const FrameRate rate(24);
    EXPECT_EQ(ShapeHeard::OnFrame(runs, 0, rate, kRate, "rest"), "rest");
    EXPECT_EQ(ShapeHeard::OnFrame(runs, 1, rate, kRate, "rest"), "rest");
    EXPECT_EQ(ShapeHeard::OnFrame(runs, 2, rate, kRate, "rest"), "MBP");
    EXPECT_EQ(ShapeHeard::OnFrame(runs, 5, rate, kRate, "rest"), "MBP");
    EXPECT_EQ(ShapeHeard::OnFrame(runs, 6, rate, kRate, "rest"), "AI");
    EXPECT_EQ(ShapeHeard::OnFrame(runs, 9, rate, kRate, "rest"), "AI");
    EXPECT_EQ(ShapeHeard::OnFrame(runs, 10, rate, kRate, "rest"), "rest");
    EXPECT_EQ(ShapeHeard::OnFrame(runs, 1'000'000'000, rate, kRate, "rest"), "rest");
    // Nothing to go by: rest, never a throw.
    EXPECT_EQ(ShapeHeard::OnFrame(runs, -1, rate, kRate, "X"), "X");
    EXPECT_EQ(ShapeHeard::OnFrame(runs, 3, FrameRate(0), kRate, "X"), "X");
    EXPECT_EQ(ShapeHeard::OnFrame(runs, 3, rate, 0, "X"), "X");
    EXPECT_EQ(ShapeHeard::OnFrame({}, 3, rate, kRate, "X"), "X");
}

struct TwoCharacters : ::testing::Test {
    SoundDocument document;
    const MouthSet prestonBlair = MouthSet::PrestonBlair();
    const MouthSet nineShapes = MouthSet::NineShapes();
    ShapeHeard::SetOf setOf = [this](const std::string& name) -> const MouthSet& {
        return name == nineShapes.Name() ? nineShapes : prestonBlair;
    };
    void SetUp() override {
        document.Reset({"scene.wav", kRate, kRate * 4, 1, {}});
        CharacterList list;
        ASSERT_TRUE(list.Rename(1, "Ann"));
        const int bob = list.Add("Bob");
        ASSERT_EQ(bob, 2);
        list.Find(bob)->mouthSet = nineShapes.Name();
        document.Ensure(CharacterList::kTrack).Assign(list.Items());
        // Ann speaks in the first second, Bob in the second.
        document.Ensure(CharacterList::MouthsTrack(1)).Assign({{0, 24000, "MBP", {}}, {24000, 48000, "O", {}}});
        document.Ensure(CharacterList::MouthsTrack(2)).Assign({{48000, 72000, "D", {}}});
    }
    std::vector<HeardMouth> At(int64_t sample) { return ShapeHeard::Everyone(document, FrameRate(24), sample, setOf); }
};

TEST_F(TwoCharacters, EachCharacterFromItsOwnTrackAndSet) {
    std::vector<HeardMouth> heard = At(100);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].character.name, "Ann");
    EXPECT_EQ(heard[0].shape, "MBP");
    EXPECT_EQ(heard[1].character.name, "Bob");
    EXPECT_EQ(heard[1].setName, "A-H");
    EXPECT_EQ(heard[1].shape, "X");   // Bob's set rests on X
    EXPECT_EQ(ShapeHeard::Description(heard), "Ann: MBP; Bob: X");
    // The last sample of a frame still shows that frame's shape.
    EXPECT_EQ(At(23999)[0].shape, "MBP");
    EXPECT_EQ(At(24000)[0].shape, "O");
    heard = At(50000);
    EXPECT_EQ(ShapeHeard::Description(heard), "Ann: rest; Bob: D");
    // A sound with no sample rate known yet: everyone at rest.
    document.Reset({"empty.wav", 0, 0, 0, {}});
    EXPECT_EQ(ShapeHeard::Description(At(0)), "Mouth: rest");
}

TEST(ShapeHeardSingle, TheUnnamedSpeakerIsCalledMouth) {
    SoundDocument document;
    document.Reset({"line.wav", kRate, kRate, 1, {}});
    document.Ensure(SoundDocument::kMouths).Assign({{0, kRate, "WQ", {}}});
    const MouthSet set = MouthSet::PrestonBlair();
    const auto heard = ShapeHeard::Everyone(document, FrameRate(25), 1000,
                                            [&](const std::string&) -> const MouthSet& { return set; });
    EXPECT_EQ(ShapeHeard::Description(heard), "Mouth: WQ");
}

TEST(MouthDrawingFiles, EachShapeFindsItsFileByName) {
    const std::vector<std::string> shapes = MouthSet::PrestonBlair().Shapes();
    const DrawingFileChoice choice = MouthDrawingFiles::Match(
        shapes, {"AI.png", "ai.svg", "E.PNG", "o.png", "U.txt", "etc", "L.png.bak", "WQ.svg", "MBP.png", "MBP.svg",
                 "notes.png", "Rest.Svg"});
    // Exact names beat other cases; SVG beats PNG at the same fit.
    EXPECT_EQ(choice.fileOfShape.at("AI"), "AI.png");
    EXPECT_EQ(choice.fileOfShape.at("E"), "E.PNG");
    EXPECT_EQ(choice.fileOfShape.at("O"), "o.png");
    EXPECT_EQ(choice.fileOfShape.at("WQ"), "WQ.svg");
    EXPECT_EQ(choice.fileOfShape.at("MBP"), "MBP.svg");
    EXPECT_EQ(choice.fileOfShape.at("rest"), "Rest.Svg");
    // Neither a text, a name with no extension nor a backup is a drawing.
    EXPECT_EQ(choice.missing, (std::vector<std::string>{"U", "etc", "L", "FV"}));
}

TEST(MouthDrawingFiles, OwnFoldersAndTheMissingLine) {
    EXPECT_EQ(MouthDrawingFiles::OwnFolder("Preston Blair"), "preston-blair");
    EXPECT_EQ(MouthDrawingFiles::OwnFolder("A-H"), "a-h");
    EXPECT_EQ(MouthDrawingFiles::OwnFolder("Robot"), "");
    EXPECT_EQ(MouthDrawingFiles::MissingText({{"Ann", {"FV", "WQ"}}, {"Bob", {}}, {"Cy", {"L"}}}),
              "No drawing for Ann: FV, WQ; Cy: L");
    EXPECT_EQ(MouthDrawingFiles::MissingText({{"Ann", {}}}), "");
}

} // namespace
} // namespace zv
