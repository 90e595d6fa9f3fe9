// The printed sheet's layout: pages of 6 seconds that follow the rate, the
// two-column time sheet, and what each row says (margin, words held down
// their frames, shapes where they change, beats and bar lines).
#include <gtest/gtest.h>

#include "common/FrameTime.h"
#include "dialogue/CharacterList.h"
#include "marks/MarksFile.h"
#include "sheets/SheetLayout.h"

namespace zv {
namespace {

constexpr int32_t kRate = 48000;

SheetContent Sound(int64_t seconds, FrameRate rate) {
    SheetContent content;
    content.soundName = "voice.wav";
    content.sampleRate = kRate;
    content.soundFrames = seconds * kRate;
    content.rate = rate;
    SheetSpeaker speaker;
    speaker.name = "Dialogue";
    // "hello" on frames 2-5 at 24 fps (samples 4000 .. 11999).
    speaker.words = {{4000, 12000, "hello", ""}, {200000, 230000, "world", ""}};
    speaker.mouths = {{0, 4000, "rest", ""}, {4000, 8000, "E", ""}, {8000, 12000, "L", ""},
                      {12000, seconds * kRate, "rest", ""}};
    content.speakers = {speaker};
    content.marks = {{2000, 2000, "jump", ""}, {2500, 2500, "land", ""}};
    content.beats = {{0, 0, "1.1", "downbeat"}, {24000, 24000, "1.2", "beat"}, {96000, 96000, "2.1", "downbeat"}};
    return content;
}

TEST(SheetLayout, PagesOfSixSecondsFollowTheRate) {
    const SheetContent at24 = Sound(20, 24);
    const SheetLayout one(at24, SheetKind::OneColumn, {"4", "12"});
    EXPECT_EQ(one.FramesPerPage(), 144);
    EXPECT_EQ(one.PageCount(), 4);   // 480 frames
    EXPECT_EQ(one.Page(1).blocks.size(), 1u);
    EXPECT_EQ(one.Page(1).blocks[0].rows.size(), 144u);
    EXPECT_EQ(one.Page(2).blocks[0].rows.front().frame, 145);
    EXPECT_EQ(one.Page(4).header, "Scene 4 \xC2\xB7 Shot 12 \xC2\xB7 voice.wav \xC2\xB7 24 fps \xC2\xB7 Page 4 of 4");
    EXPECT_TRUE(one.Page(5).blocks.empty());
    EXPECT_TRUE(one.Page(0).blocks.empty());

    const SheetLayout two(at24, SheetKind::TwoColumns, {});
    EXPECT_EQ(two.PageCount(), 4);
    ASSERT_EQ(two.Page(1).blocks.size(), 2u);
    EXPECT_EQ(two.Page(1).blocks[1].rows.front().frame, 73);   // the second 3 seconds

    // 29.97 lays 180 frames a page: 20 s are 600 frames, 4 pages; 18 s exactly 3.
    const SheetContent ntsc = Sound(20, FrameRate::Fraction(30000, 1001));
    EXPECT_EQ(SheetLayout(ntsc, SheetKind::OneColumn, {}).FramesPerPage(), 180);
    EXPECT_EQ(SheetLayout(Sound(18, 30), SheetKind::OneColumn, {}).PageCount(), 3);
    // The last page's rows past the sound are there, numbered and empty.
    const SheetPage last = one.Page(4);
    EXPECT_EQ(last.blocks[0].rows.back().frame, 576);
    EXPECT_TRUE(last.blocks[0].rows.back().speakers[0].mouth.empty());
    // No sound, no pages.
    EXPECT_EQ(SheetLayout(Sound(0, 24), SheetKind::OneColumn, {}).PageCount(), 0);
}

TEST(SheetLayout, RowsSayWhatIsOnTheirFrame) {
    const SheetContent content = Sound(20, 24);
    const SheetLayout layout(content, SheetKind::OneColumn, {});
    const std::vector<SheetRow> rows = layout.Page(1).blocks[0].rows;
    // Frame 1 (index 0): the margin's second and foot, a bar line, the first shape.
    EXPECT_EQ(rows[0].frame, 1);
    EXPECT_EQ(rows[0].second, "0s");
    EXPECT_EQ(rows[0].foot, "0'");
    EXPECT_TRUE(rows[0].barLine);
    EXPECT_EQ(rows[0].beat, "1.1");
    EXPECT_EQ(rows[0].speakers[0].mouth, "rest");
    // Two marks on one frame are joined.
    EXPECT_EQ(rows[1].action, "jump / land");
    // The word on its first frame, held down the rest of its frames, not past them.
    EXPECT_EQ(rows[2].speakers[0].word, "hello");
    EXPECT_FALSE(rows[2].speakers[0].wordHeld);
    EXPECT_TRUE(rows[3].speakers[0].wordHeld);
    EXPECT_TRUE(rows[5].speakers[0].wordHeld);
    EXPECT_FALSE(rows[6].speakers[0].wordHeld);
    // Shapes only where they change.
    EXPECT_EQ(rows[2].speakers[0].mouth, "E");
    EXPECT_TRUE(rows[3].speakers[0].mouthHeld);
    EXPECT_EQ(rows[4].speakers[0].mouth, "L");
    EXPECT_EQ(rows[6].speakers[0].mouth, "rest");
    // Feet every 16 frames, seconds every 24, the beat on its frame, no bar line on beat 2.
    EXPECT_EQ(rows[16].foot, "1'");
    EXPECT_EQ(rows[24].second, "1s");
    EXPECT_TRUE(rows[24].secondLine);
    EXPECT_EQ(rows[12].beat, "1.2");
    EXPECT_FALSE(rows[12].barLine);
    EXPECT_TRUE(rows[48].barLine);
}


// Characters kept as the window keeps them: each one's own tracks and set.
std::vector<FileTrack> CharacterTracks(int count) {
    CharacterList list;
    list.Rename(1, "Ann");
    for (int i = 2; i <= count; ++i) list.Add("C" + std::to_string(i));
    list.Find(2)->mouthSet = "A-H";
    std::vector<FileTrack> tracks{{CharacterList::kTrack, list.Items()}};
    for (const Character& c : list.All()) {
        // Each speaks one word of their own on frame 10 * id (from 0).
        const int64_t start = 20000 * c.id;
        tracks.push_back({CharacterList::WordsTrack(c.id), {{start, start + 4000, "word" + std::to_string(c.id), ""}}});
        tracks.push_back({CharacterList::MouthsTrack(c.id), {{start, start + 4000, c.id == 2 ? "D" : "E", ""}}});
    }
    // A character with nothing said takes no columns.
    list.Add("Quiet");
    tracks[0].items = list.Items();
    return tracks;
}

TEST(SheetLayout, EachCharacterHasItsColumnsAndNoneIsLost) {
    const auto setNamed = [](const std::string& name) { return MouthSet::BuiltIn(name == "A-H" ? "a-h" : "preston-blair").value(); };
    const SheetContent two = SheetContentOfTracks(CharacterTracks(2), "scene.wav", kRate, 20 * kRate, 24, setNamed);
    ASSERT_EQ(two.speakers.size(), 2u);
    EXPECT_EQ(two.speakers[1].mouthSet.Name(), "A-H");
    const SheetLayout layout(two, SheetKind::TwoColumns, {});
    EXPECT_EQ(layout.SpeakerNames(), (std::vector<std::string>{"Ann", "C2"}));
    EXPECT_EQ(layout.PageCount(), 4);
    const SheetPage page = layout.Page(1);
    EXPECT_EQ(page.speakerNames, layout.SpeakerNames());
    const std::vector<SheetRow>& rows = page.blocks[0].rows;
    // Ann's word on frame 11, C2's on frame 21, each in its own column.
    EXPECT_EQ(rows[10].speakers[0].word, "word1");
    EXPECT_EQ(rows[10].speakers[0].mouth, "E");
    EXPECT_EQ(rows[10].speakers[1].word, "");
    EXPECT_EQ(rows[20].speakers[1].word, "word2");
    EXPECT_EQ(rows[20].speakers[1].mouth, "D");
    // A-H's rest before C2's word, Preston Blair's before Ann's.
    EXPECT_EQ(rows[0].speakers[1].mouth, "X");
    EXPECT_EQ(rows[0].speakers[0].mouth, "rest");

    // Eight characters: two sets of pages in one column, three in two; every name on some page.
    const SheetContent eight = SheetContentOfTracks(CharacterTracks(8), "scene.wav", kRate, 20 * kRate, 24, setNamed);
    for (const SheetKind kind : {SheetKind::OneColumn, SheetKind::TwoColumns}) {
        const SheetLayout many(eight, kind, {});
        const int sets = kind == SheetKind::OneColumn ? 2 : 3;
        EXPECT_EQ(many.SpeakerSets(), sets);
        EXPECT_EQ(many.PageCount(), 4 * sets);
        std::vector<std::string> seen;
        for (int n = 1; n <= many.PageCount(); ++n) {
            const SheetPage p = many.Page(n);
            ASSERT_LE(p.speakerNames.size(), many.SpeakersPerPage());
            EXPECT_EQ(p.blocks[0].rows[0].speakers.size(), p.speakerNames.size());
            if ((n - 1) % 4 == 0) seen.insert(seen.end(), p.speakerNames.begin(), p.speakerNames.end());
        }
        EXPECT_EQ(seen, many.SpeakerNames());
        // The last set's first page: its characters' words on their frames, and the header says whose page it is.
        const SheetPage last = many.Page(4 * (sets - 1) + 1);
        EXPECT_NE(last.header.find("Characters " + std::to_string(8 - last.speakerNames.size() + 1) + "\xE2\x80\x93" +
                                   "8 of 8"), std::string::npos) << last.header;
        bool found = false;
        for (const SheetBlock& block : last.blocks)
            for (const SheetRow& row : block.rows)
                if (row.frame == 81) found = row.speakers.back().word == "word8";
        EXPECT_TRUE(found);
    }
}

} // namespace
} // namespace zv
