// The XDTS sheet: it passes the format's schema, its CELL tracks change
// exactly where the Mouths lanes change (at 24 and at 29.97), the dialogue
// lines sit on their words' frames, and the mapping file and rate note say
// what the receiving program needs.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "XdtsSchema.h"
#include "common/FrameTime.h"
#include "dialogue/Breakdown.h"
#include "dialogue/MouthTrack.h"
#include "export/ExportInput.h"
#include "export/ExportWriters.h"
#include "sheets/XdtsSheet.h"

namespace zv {
namespace {

constexpr int32_t kRate = 48000;

TrackItem Item(int64_t start, int64_t end, const std::string& text) { return {start, end, text, ""}; }

// Two speakers over 4 s of sound; the shapes' runs cut at samples that fall
// inside frames at either rate, as MouthShapes would never lay them, so the
// sheet must go by the frames, not the samples.
SheetContent TwoSpeakers(FrameRate rate) {
    SheetContent content;
    content.soundName = "duet.wav";
    content.sampleRate = kRate;
    content.soundFrames = 4 * kRate;
    content.rate = rate;
    SheetSpeaker anna;
    anna.name = "Anna";
    anna.words = {Item(4800, 20000, "hello"), Item(21000, 40000, "there"), Item(120000, 150000, "bye")};
    anna.mouths = {Item(0, 4800, "rest"), Item(4800, 9000, "E"), Item(9000, 20000, "L"), Item(20000, 40000, "O"),
                   Item(40000, 120000, "rest"), Item(120000, 150000, "MBP"), Item(150000, 4 * kRate, "rest")};
    SheetSpeaker bob;
    bob.name = "Bob";
    bob.mouthSet = MouthSet::NineShapes();
    bob.words = {Item(60000, 90000, "hm")};
    bob.mouths = {Item(0, 60000, "X"), Item(60000, 90000, "A"), Item(90000, 4 * kRate, "X")};
    content.speakers = {anna, bob};
    return content;
}

nlohmann::json Body(const std::string& text) {
    return nlohmann::json::parse(text.substr(text.find('\n') + 1));
}

// The drawing number on every frame of a track, holding values forward.
std::vector<std::string> Expand(const nlohmann::json& track, int64_t frames) {
    std::vector<std::string> shown(static_cast<std::size_t>(frames));
    std::string now;
    std::size_t next = 0;
    for (int64_t f = 0; f < frames; ++f) {
        while (next < track["frames"].size() && track["frames"][next]["frame"] == f)
            now = track["frames"][next++]["data"][0]["values"][0].get<std::string>();
        shown[static_cast<std::size_t>(f)] = now;
    }
    return shown;
}

TEST(XdtsSheet, PassesTheSchemaAndChangesWhereTheMouthsChange) {
    for (const FrameRate rate : {FrameRate(24), FrameRate::Fraction(30000, 1001)}) {
        SCOPED_TRACE(testing::Message() << "at " << rate);
        const SheetContent content = TwoSpeakers(rate);
        const std::string text = XdtsText(content, {"12", "3"});
        EXPECT_EQ(text.rfind("exchangeDigitalTimeSheet Save Data\n{", 0), 0u);
        const std::vector<std::string> errors = test::XdtsSchemaErrors(text);
        EXPECT_TRUE(errors.empty()) << errors.front();

        const nlohmann::json sheet = Body(text);
        EXPECT_EQ(sheet["header"]["cut"], "12");
        EXPECT_EQ(sheet["header"]["scene"], "3");
        ASSERT_EQ(sheet["timeTables"].size(), 1u);
        const nlohmann::json& table = sheet["timeTables"][0];
        const int64_t frames = content.FrameCount();
        EXPECT_EQ(table["duration"], frames);
        EXPECT_EQ(table["name"], "duet");
        EXPECT_EQ(table["timeTableHeaders"][0]["fieldId"], 0);
        EXPECT_EQ(table["timeTableHeaders"][0]["names"], nlohmann::json({"Anna", "Bob"}));
        const nlohmann::json& cells = table["fields"][0];
        ASSERT_EQ(cells["fieldId"], 0);
        ASSERT_EQ(cells["tracks"].size(), 2u);
        for (std::size_t s = 0; s < 2; ++s) {
            const SheetSpeaker& speaker = content.speakers[s];
            const nlohmann::json& track = cells["tracks"][s];
            const std::vector<std::string> order = NumberedShapes(speaker);
            const std::vector<std::string> lane =
                ShapesByFrame(speaker.mouths, rate, kRate, content.soundFrames, speaker.mouthSet.Rest());
            const std::vector<std::string> shown = Expand(track, frames);
            for (int64_t f = 0; f < frames; ++f) {
                const auto i = static_cast<std::size_t>(f);
                const auto at = std::find(order.begin(), order.end(), lane[i]) - order.begin();
                ASSERT_EQ(shown[i], std::to_string(at + 1)) << "speaker " << s << " frame " << f;
            }
            // An entry only where the value changes, then the null cell after the last frame.
            const nlohmann::json& entries = track["frames"];
            for (std::size_t e = 1; e + 1 < entries.size(); ++e) {
                const auto f = entries[e]["frame"].get<std::size_t>();
                EXPECT_NE(lane[f], lane[f - 1]) << "entry at frame " << f << " changes nothing";
            }
            EXPECT_EQ(entries.back()["frame"], frames);
            EXPECT_EQ(entries.back()["data"][0]["values"][0], "SYMBOL_NULL_CELL");
        }
        // The dialogue: each line from its first word's frame to the frame after its last word.
        const nlohmann::json& dialog = table["fields"][1];
        ASSERT_EQ(dialog["fieldId"], 3);
        const nlohmann::json& anna = dialog["tracks"][0]["frames"];
        ASSERT_EQ(anna.size(), 4u);
        EXPECT_EQ(anna[0]["frame"], FrameOfSample(4800, rate, kRate));
        EXPECT_EQ(anna[0]["data"][0]["values"][0], "hello there");
        EXPECT_EQ(anna[1]["frame"], FrameOfSample(39999, rate, kRate) + 1);
        EXPECT_EQ(anna[1]["data"][0]["values"][0], "SYMBOL_NULL_CELL");
        EXPECT_EQ(anna[2]["data"][0]["values"][0], "bye");
    }
}

TEST(XdtsSheet, SchemaCheckCatchesBrokenSheets) {
    const std::string good = XdtsText(TwoSpeakers(24), {});
    ASSERT_TRUE(test::XdtsSchemaErrors(good).empty());
    auto broken = [&](const std::function<void(nlohmann::json&)>& change) {
        nlohmann::json sheet = Body(good);
        change(sheet);
        return test::XdtsSchemaErrors("exchangeDigitalTimeSheet Save Data\n" + sheet.dump());
    };
    EXPECT_FALSE(test::XdtsSchemaErrors(good.substr(good.find('\n') + 1)).empty());
    EXPECT_FALSE(broken([](auto& s) { s["version"] = 4; }).empty());
    EXPECT_FALSE(broken([](auto& s) { s["header"]["cut"] = "12345"; }).empty());
    EXPECT_FALSE(broken([](auto& s) { s["timeTables"][0]["duration"] = 0; }).empty());
    EXPECT_FALSE(broken([](auto& s) { s["timeTables"][0]["fields"][0]["fieldId"] = 2; }).empty());
    EXPECT_FALSE(broken([](auto& s) {
        s["timeTables"][0]["fields"][0]["tracks"][0]["frames"][0]["data"][0]["values"][0] = "AI";
    }).empty());
    EXPECT_FALSE(broken([](auto& s) { s["timeTables"][0]["fields"][0]["tracks"][0]["frames"][1]["frame"] = 0; }).empty());
}

TEST(XdtsSheet, NumbersMappingAndRate) {
    SheetContent content = TwoSpeakers(FrameRate::Fraction(30000, 1001));
    // A shape the set lacks (an imported breakdown) is numbered after the set's own.
    content.speakers[0].mouths.push_back(Item(4 * kRate - 10, 4 * kRate, "Grin"));
    const std::vector<std::string> order = NumberedShapes(content.speakers[0]);
    EXPECT_EQ(order.front(), MouthSet::PrestonBlair().Shapes().front());
    EXPECT_EQ(order.back(), "Grin");
    const std::string mapping = XdtsMappingText(content, "shot.xdts");
    EXPECT_NE(mapping.find("Frame rate: 29.97"), std::string::npos) << mapping;
    EXPECT_NE(mapping.find("1\tAI\n"), std::string::npos) << mapping;
    EXPECT_NE(mapping.find("Bob (A-H)"), std::string::npos) << mapping;
    EXPECT_EQ(XdtsMappingPath("/x/shot 1.xdts"), "/x/shot 1.mouths.txt");
    EXPECT_FALSE(XdtsRateNote(24));
    ASSERT_TRUE(XdtsRateNote(FrameRate::Fraction(24000, 1001)));
    EXPECT_NE(XdtsRateNote(FrameRate::Fraction(24000, 1001))->find("23.976"), std::string::npos);
    EXPECT_EQ(RateText(FrameRate::Fraction(25, 2)), "12.5");
    EXPECT_FALSE(XdtsOptionsError({"1", "9999"}));
    EXPECT_TRUE(XdtsOptionsError({"", "1"}));
    EXPECT_TRUE(XdtsOptionsError({"1", "12a"}));
    EXPECT_TRUE(XdtsOptionsError({"-1", "1"}));
}

TEST(XdtsSheet, TextsThatAreNotUtf8AreWrittenNotThrown) {
    SheetContent content = TwoSpeakers(24);
    content.speakers[0].words[0].text = "caf\xE9\n";
    content.speakers[0].name = "\xFFname";
    const std::string text = XdtsText(content, {});
    EXPECT_TRUE(test::XdtsSchemaErrors(text).empty());
}

} // namespace
} // namespace zv

namespace zv {
namespace {

// The sheet is one of the export list's Dialogue formats: the Export Marks
// dialog offers it and `zorvane --breakdown --format xdts` writes it.
TEST(XdtsSheet, TheExportListWritesItFromABreakdown) {
    const ExportWriter* writer = ExportWriters::Named(ExportSubject::Dialogue, "xdts");
    ASSERT_NE(writer, nullptr);
    EXPECT_EQ(writer->Format().pattern, "*.xdts");
    Breakdown breakdown;
    breakdown.sampleRate = kRate;
    breakdown.soundFrames = 2 * kRate;
    breakdown.lines = {{"oh", {{"oh", 24000, 48000, {{"OW", 24000, 48000}}, false}}}};
    const std::vector<TrackItem> mouths{{0, 24000, "rest", ""}, {24000, 48000, "O", ""}, {48000, 2 * kRate, "rest", ""}};
    const MouthSet set = MouthSet::PrestonBlair();
    ExportInput input;
    input.soundName = "oh.wav";
    input.sampleRate = kRate;
    input.lengthSamples = 2 * kRate;
    input.rate = 24;
    input.breakdown = &breakdown;
    input.mouths = &mouths;
    input.mouthSet = &set;
    const std::string text = writer->Write(input);
    const std::vector<std::string> errors = test::XdtsSchemaErrors(text);
    ASSERT_TRUE(errors.empty()) << (text.empty() ? "nothing written" : errors.front());
    const nlohmann::json cells = Body(text)["timeTables"][0]["fields"][0]["tracks"][0]["frames"];
    ASSERT_EQ(cells.size(), 4u);   // rest, O at frame 12, rest at 24, the null cell at 48
    EXPECT_EQ(cells[1]["frame"], 12);
    EXPECT_EQ(cells[1]["data"][0]["values"][0], "3");
    EXPECT_EQ(cells[3]["frame"], 48);
}

} // namespace
} // namespace zv
