// Every character's lanes under the waveform: the single unnamed speaker
// keeps the plain lanes (no tag, each lane only while it has items, the
// colours of old); named characters get a tag row each and their lanes in
// their own colour; a collapsed character keeps only its tag; the rows
// follow a renamed or recoloured character at once; a row is found by its
// pixel row, and a box too short for every lane cuts the last ones.
#include <gtest/gtest.h>

#include <algorithm>

#include "RecordingCanvas.h"
#include "dialogue/CharacterList.h"
#include "document/SoundDocument.h"
#include "waveview/WaveView.h"
#include "waveview/layers/CharacterLanesLayer.h"

namespace zv {
namespace {

using Row = CharacterLanesLayer::Row;
constexpr int32_t kRate = 48000;

struct CharacterLanes : ::testing::Test {
    SoundDocument document;
    CharacterLanesLayer layer{document};
    WaveView view;
    LayerScene scene{view};

    void SetUp() override {
        document.Reset({"/sounds/two.wav", kRate, kRate * 4, 1, {}});
        view.SetWidth(400);
        view.Reset(kRate * 4);
        scene.height = 300;
        scene.sampleRate = kRate;
        scene.fps = 24;
    }
    void Words(int character, std::vector<TrackItem> items) {
        document.Ensure(CharacterList::WordsTrack(character)).Assign(std::move(items));
    }
    void Phonemes(int character, std::vector<TrackItem> items) {
        document.Ensure(CharacterList::PhonemesTrack(character)).Assign(std::move(items));
    }
    // Ann (character 1) and Bob (character 2).
    void AnnAndBob() {
        CharacterList list;
        list.Rename(1, "Ann");
        list.Add("Bob");
        document.Ensure(CharacterList::kTrack).Assign(list.Items());
    }
    std::vector<std::pair<int, Row>> Shown() const {
        std::vector<std::pair<int, Row>> out;
        for (const auto& r : layer.Rows()) out.emplace_back(r.character, r.row);
        return out;
    }
    test::RecordingCanvas Drawn(LayerArea area) {
        test::RecordingCanvas canvas;
        layer.Draw(canvas, scene, area);
        return canvas;
    }
};

TEST_F(CharacterLanes, TheSingleSpeakerLooksAsBeforeNoTagAndOnlyLanesWithItems) {
    EXPECT_EQ(layer.LaneHeight(), 0);
    Words(1, {{kRate, 2 * kRate, "hello", ""}});
    ASSERT_EQ(Shown(), (std::vector<std::pair<int, Row>>{{1, Row::Words}}));
    EXPECT_EQ(layer.LaneHeight(), TrackLaneLayer::kDefaultHeight);
    document.Ensure(SoundDocument::kMouths).Assign({{0, 4 * kRate, "X", ""}});
    EXPECT_EQ(Shown(), (std::vector<std::pair<int, Row>>{{1, Row::Words}, {1, Row::Mouths}}));

    // Drawn exactly as the plain lanes were: the words lane's own colours, no tag text.
    const test::RecordingCanvas canvas = Drawn({200, 36});
    const TrackLaneStyle plain;
    ASSERT_FALSE(canvas.fills.empty());
    EXPECT_EQ(canvas.fills[0].colour, plain.back);
    for (const auto& t : canvas.texts) EXPECT_EQ(t.text.find("\u25BE"), std::string::npos) << t.text;
    EXPECT_TRUE(std::any_of(canvas.texts.begin(), canvas.texts.end(), [](const auto& t) { return t.text == "hello"; }));

    // Tracks of a character the list does not hold are not shown.
    Words(2, {{0, kRate, "stray", ""}});
    EXPECT_EQ(layer.LaneHeight(), 2 * TrackLaneLayer::kDefaultHeight);

    // No sound, no lanes.
    document.Close();
    EXPECT_EQ(layer.LaneHeight(), 0);
}

TEST_F(CharacterLanes, NamedCharactersHaveATagEachTheirColoursAndCollapse) {
    AnnAndBob();
    Words(1, {{kRate, 2 * kRate, "hello", ""}});
    Words(2, {{2 * kRate, 3 * kRate, "hi", ""}});
    Phonemes(2, {{2 * kRate, 3 * kRate, "HH", ""}});
    EXPECT_EQ(Shown(), (std::vector<std::pair<int, Row>>{
                           {1, Row::Tag}, {1, Row::Words}, {2, Row::Tag}, {2, Row::Words}, {2, Row::Phonemes}}));
    const int tag = CharacterLanesLayer::kTagHeight, lane = CharacterLanesLayer::kLaneHeight;
    EXPECT_EQ(layer.LaneHeight(), 2 * tag + 3 * lane);

    // Rows by pixel row, from the lane's top at 100.
    const LayerArea area{100, static_cast<double>(layer.LaneHeight())};
    EXPECT_FALSE(layer.RowAt(area, 99));
    EXPECT_EQ(layer.RowAt(area, 100)->row, Row::Tag);
    const auto bobWords = layer.RowAt(area, 100 + 2 * tag + lane + 1);
    ASSERT_TRUE(bobWords);
    EXPECT_EQ(bobWords->character, 2);
    EXPECT_EQ(bobWords->row, Row::Words);
    EXPECT_FALSE(layer.RowAt(area, area.Bottom()));

    // The tags name them; each words lane is tinted with its own colour.
    test::RecordingCanvas canvas = Drawn(area);
    std::vector<std::string> tags;
    for (const auto& t : canvas.texts)
        if (t.text.rfind("\u25BE ", 0) == 0) tags.push_back(t.text);
    EXPECT_EQ(tags, (std::vector<std::string>{"\u25BE Ann", "\u25BE Bob"}));
    const CharacterList list = layer.Characters();
    const TrackLaneStyle ann = CharacterLanesLayer::StyleOf(Row::Words, list.Find(1)->colour, false);
    const TrackLaneStyle bob = CharacterLanesLayer::StyleOf(Row::Words, list.Find(2)->colour, false);
    EXPECT_NE(ann.fill, bob.fill);
    const auto filled = [&](Rgb colour) {
        return std::any_of(canvas.fills.begin(), canvas.fills.end(), [&](const auto& f) { return f.colour == colour; });
    };
    EXPECT_TRUE(filled(ann.fill));
    EXPECT_TRUE(filled(bob.fill));

    // Bob collapsed: his tag alone, his word a stroke on it.
    layer.ToggleCollapsed(2);
    EXPECT_EQ(Shown(), (std::vector<std::pair<int, Row>>{{1, Row::Tag}, {1, Row::Words}, {2, Row::Tag}}));
    canvas = Drawn({100, static_cast<double>(layer.LaneHeight())});
    EXPECT_TRUE(std::any_of(canvas.texts.begin(), canvas.texts.end(), [](const auto& t) { return t.text == "\u25B8 Bob"; }));
    EXPECT_FALSE(std::any_of(canvas.texts.begin(), canvas.texts.end(), [](const auto& t) { return t.text == "hi"; }));
    const TrackLaneStyle bobTag = CharacterLanesLayer::StyleOf(Row::Tag, list.Find(2)->colour, false);
    EXPECT_TRUE(std::any_of(canvas.fills.begin(), canvas.fills.end(), [&](const auto& f) {
        return f.colour == bobTag.outline && f.x1 >= view.PixelOf(2 * kRate) - 2;
    }));
    layer.ToggleCollapsed(2);
    EXPECT_EQ(layer.Rows().size(), 5u);
}

TEST_F(CharacterLanes, FollowsTheListAsItChangesAndCutsWhatDoesNotFit) {
    AnnAndBob();
    Words(2, {{0, kRate, "hi", ""}});
    CharacterList list = CharacterList::Of(document);
    list.Rename(2, "Robert");
    document.Ensure(CharacterList::kTrack).Assign(list.Items());
    EXPECT_EQ(layer.Characters().Find(2)->name, "Robert");
    test::RecordingCanvas canvas = Drawn({0, 100});
    EXPECT_TRUE(
        std::any_of(canvas.texts.begin(), canvas.texts.end(), [](const auto& t) { return t.text == "\u25BE Robert"; }));

    // A damaged list reads as one unnamed speaker: the plain lanes again.
    document.Ensure(CharacterList::kTrack).Assign({{0, 0, "Ann", "not json"}});
    EXPECT_TRUE(layer.Characters().IsSingleUnnamed());
    EXPECT_EQ(layer.LaneHeight(), 0);   // character 1 has no words

    // Too short a lane: the rows past its bottom are not drawn, the one
    // across it is cut.
    AnnAndBob();
    const int tag = CharacterLanesLayer::kTagHeight;
    const LayerArea shortArea{0, tag + 5.0};
    EXPECT_FALSE(layer.AreaOf(shortArea, 2, Row::Words));
    const auto cut = layer.AreaOf(shortArea, 2, Row::Tag);
    ASSERT_TRUE(cut);
    EXPECT_DOUBLE_EQ(cut->height, 5.0);
    canvas = Drawn(shortArea);
    for (const auto& f : canvas.fills) EXPECT_LE(f.y2, shortArea.Bottom() + 0.01);
}

} // namespace
} // namespace zv
