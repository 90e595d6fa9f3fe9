// The mouth rules at 12, 24 and 29.97 frames a second: holds, closures,
// rest after a pause, the lead.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "TestSounds.h"
#include "common/FrameTime.h"
#include "dialogue/MouthTrack.h"

namespace zv {
namespace {

constexpr int32_t kRate = 48000;

struct Laid {
    FrameRate rate;
    // A phoneme over frames [from, to) (fractions of a frame allowed).
    TrackItem P(const std::string& phone, double from, double to) const {
        auto at = [&](double f) {
            const auto whole = static_cast<int64_t>(f);
            const int64_t a = FrameStartSample(whole, rate, kRate), b = FrameStartSample(whole + 1, rate, kRate);
            return a + static_cast<int64_t>((f - static_cast<double>(whole)) * static_cast<double>(b - a));
        };
        return {at(from), at(to), phone, ""};
    }
    int64_t Length(int frames) const { return FrameStartSample(frames, rate, kRate); }
    // One letter a frame: the first letter of each shape ("r" for rest).
    std::string Frames(const std::vector<TrackItem>& phonemes, int frames, const MouthRules& rules = {}) const {
        const MouthSet set = MouthSet::PrestonBlair();
        const auto mouths = MouthShapes(phonemes, set, rules, rate, kRate, Length(frames));
        std::string out;
        for (const auto& s : ShapesByFrame(mouths, rate, kRate, Length(frames), set.Rest())) out += s == "MBP" ? 'M' : s[0];
        // Every run starts on a frame's first sample.
        for (const auto& m : mouths) EXPECT_EQ(m.start, FrameStartSample(FrameOfSample(m.start, rate, kRate), rate, kRate));
        return out;
    }
};

TEST(MouthTrack, AShapeHoldsTwoFramesAt24AndAboveAndOneBelow) {
    for (FrameRate rate : {FrameRate(24), FrameRate::Fraction(30000, 1001), FrameRate(12)}) {
        const Laid l{rate};
        // AI for two frames, E for one, O for three, then the tail.
        const std::vector<TrackItem> ph = {l.P("AA", 1, 3), l.P("EH", 3, 4), l.P("OW", 4, 7)};
        const std::string expected = rate == FrameRate(12) ? "rAAEOOOrr" : "rAAEEOOrr";
        EXPECT_EQ(l.Frames(ph, 9), expected) << rate;
    }
    // A short shape with no room after it gives way to the one before; after
    // rest, to the one after it, so the word's mouth opens on time.
    const Laid l{24};
    EXPECT_EQ(l.Frames({l.P("AA", 1, 3), l.P("EH", 3, 4), l.P("OW", 4, 6)}, 9), "rAAAOOrrr");
    EXPECT_EQ(l.Frames({l.P("HH", 2, 3), l.P("AA", 3, 5)}, 7), "rrAAArr");
}

TEST(MouthTrack, ClosuresStayEvenWhenShort) {
    for (FrameRate rate : {FrameRate(24), FrameRate::Fraction(30000, 1001), FrameRate(12)}) {
        const Laid l{rate};
        // "a-m-a": the M lasts a third of a frame, inside frame 3.
        const std::vector<TrackItem> ph = {l.P("AA", 1, 3.3), l.P("M", 3.3, 3.6), l.P("AA", 3.6, 6)};
        EXPECT_EQ(l.Frames(ph, 8), "rAAMAArr") << rate;
        MouthRules loose;
        loose.keepClosures = false;
        EXPECT_EQ(l.Frames(ph, 8, loose), "rAAAAArr") << rate;
    }
}

TEST(MouthTrack, RestFollowsALongPauseAndTheLeadShowsShapesEarly) {
    for (FrameRate rate : {FrameRate(24), FrameRate::Fraction(30000, 1001), FrameRate(12)}) {
        const Laid l{rate};
        const double fps = static_cast<double>(rate.Numerator()) / rate.Denominator();
        // 0.3 s of pause after the first word, 0.15 s after the second.
        const double longGap = 0.3 * fps, shortGap = 0.15 * fps;
        const double a = 2, b = a + 3 + longGap, c = b + 3 + shortGap;
        const std::vector<TrackItem> ph = {l.P("OW", a, a + 3), l.P("IY", b, b + 3), l.P("UW", c, c + 3)};
        const int frames = static_cast<int>(c) + 6;
        const std::string shapes = l.Frames(ph, frames);
        const auto firstE = shapes.find('E');
        EXPECT_NE(shapes.substr(5, firstE - 5).find('r'), std::string::npos) << rate << " " << shapes;
        const auto firstU = shapes.find('U');
        EXPECT_EQ(shapes.substr(firstE, firstU - firstE).find_first_not_of('E'), std::string::npos) << shapes;
        MouthRules lead;
        lead.leadFrames = 2;
        const std::string early = l.Frames(ph, frames, lead);
        EXPECT_EQ(early.find('E'), firstE - 2) << early;
        EXPECT_EQ(early.find('U'), firstU - 2) << early;
        EXPECT_EQ(early.find('O'), shapes.find('O') - 2) << early;
    }
}

TEST(MouthSet, UserSetsAreReadAndDamagedOnesRefusedWithTheLine) {
    std::string error;
    const auto set = MouthSet::FromJson(
        "{\n  \"shapes\": [\"Open\", \"Shut\", \"Idle\"],\n  \"rest\": \"Idle\",\n  \"other\": \"Open\",\n"
        "  \"closures\": [\"Shut\"],\n  \"phonemes\": {\"M\": \"Shut\", \"AA\": \"Open\"}\n}\n",
        "robot", error);
    ASSERT_TRUE(set) << error;
    EXPECT_EQ(set->Name(), "robot");
    EXPECT_EQ(set->ShapeOf("M"), "Shut");
    EXPECT_EQ(set->ShapeOf("ZH"), "Open");
    EXPECT_TRUE(set->IsClosure("Shut"));
    EXPECT_FALSE(MouthSet::FromJson("{\n  \"shapes\": [\"A\"],\n  \"rest\" \"A\"\n}", "x", error));
    EXPECT_EQ(error.rfind("line 3:", 0), 0u) << error;
    EXPECT_FALSE(MouthSet::FromJson("{\n \"shapes\": [\"A\"],\n \"rest\": \"A\",\n \"phonemes\": {\n  \"M\": \"Q\"\n }\n}",
                                    "x", error));
    EXPECT_EQ(error.rfind("line 5:", 0), 0u) << error;
    EXPECT_EQ(MouthSet::UserFolder(nullptr, "/home/u"), "/home/u/.config/Zorvane/mouths");
    EXPECT_EQ(MouthSet::UserFolder("/x/cfg", "/home/u"), "/x/cfg/Zorvane/mouths");
    EXPECT_EQ(MouthSet::NineShapes().ShapeOf("P"), "A");
    EXPECT_EQ(MouthSet::PrestonBlair().ShapeOf("AH0"), "AI");
}

TEST(MouthSet, KeysCountWhereverTheyStandAndTheFirstDamageIsTold) {
    std::string error;
    // The phonemes and the rest before the shapes they name; a key given
    // twice keeps its last value.
    const auto set = MouthSet::FromJson(
        "{\"phonemes\": {\"M\": \"Shut\", \"AA\": \"Open\"}, \"rest\": \"Open\", \"closures\": [\"Shut\"],\n"
        " \"rest\": \"Idle\", \"name\": \"First\", \"name\": \"Robot\", \"extra\": {\"shapes\": [1]},\n"
        " \"shapes\": [\"Open\", \"Shut\", \"Idle\"]}",
        "x", error);
    ASSERT_TRUE(set) << error;
    EXPECT_EQ(set->Name(), "Robot");
    EXPECT_EQ(set->Rest(), "Idle");
    EXPECT_EQ(set->Shapes(), (std::vector<std::string>{"Open", "Shut", "Idle"}));
    EXPECT_EQ(set->ShapeOf("M"), "Shut");
    EXPECT_EQ(set->ShapeOf("ZH"), "Idle");
    EXPECT_TRUE(set->IsClosure("Shut"));
    EXPECT_EQ(set->PhonemeOf("Open"), "AA");

    for (const auto& [text, told] : std::vector<std::pair<std::string, std::string>>{
             {"{\"shapes\": [\"A\",\n \"B\", \"A\", 5], \"rest\": \"A\", \"phonemes\": {}}",
              "the shape \"A\" is listed twice"},
             {"{\"shapes\": [\"A\", \"\", \"A\"], \"rest\": \"A\", \"phonemes\": {}}", "every shape must be a name"},
             {"{\"shapes\": [\"A\", [\"B\"]], \"rest\": \"A\", \"phonemes\": {}}", "every shape must be a name"},
             {"{\"shapes\": [], \"rest\": \"A\", \"phonemes\": {}}", "\"shapes\" must list the shapes"},
             {"{\"shapes\": [\"A\"], \"shapes\": {}, \"rest\": \"A\", \"phonemes\": {}}",
              "\"shapes\" must list the shapes"},
             {"{\"shapes\": [\"A\"], \"rest\": [\"A\"], \"phonemes\": {}}", "\"rest\" must name a shape"},
             {"{\"shapes\": [\"A\"], \"rest\": \"A\", \"closures\": [\"A\", 1], \"phonemes\": {}}",
              "\"closures\" must name a shape"},
             {"{\"shapes\": [\"A\"], \"rest\": \"A\", \"phonemes\": []}", "\"phonemes\" must map phonemes"},
             // The phonemes are checked in name order.
             {"{\"shapes\": [\"A\"], \"rest\": \"A\", \"phonemes\": {\"Z\": \"Q\", \"B\": {}}}",
              "the phoneme \"B\" must map"},
             {"[\"shapes\"]", "the set must be a JSON object"}}) {
        EXPECT_FALSE(MouthSet::FromJson(text, "x", error)) << text;
        EXPECT_NE(error.find(told), std::string::npos) << text << "\n" << error;
    }
    // The line told is that of the repeated name.
    EXPECT_FALSE(MouthSet::FromJson("{\"shapes\": [\"A\",\n\"B\",\n\"B\"], \"rest\": \"A\", \"phonemes\": {}}", "x", error));
    EXPECT_EQ(error.rfind("line 2:", 0), 0u) << error;
}

TEST(MouthSet, NumbersBeyondADoubleAndOddNamesAreRefusedNotThrown) {
    std::string error;
    // 1e400 made the JSON reader throw past the set's own refusals.
    EXPECT_FALSE(MouthSet::FromJson("{\"shapes\": [\"A\"],\n\"rest\": \"A\", \"phonemes\": {}, \"x\": 1e400}", "x", error));
    EXPECT_EQ(error.rfind("line ", 0), 0u) << error;
    EXPECT_NE(error.find("1e400"), std::string::npos) << error;
    EXPECT_FALSE(MouthSet::FromJson(std::string(200, '[') + std::string(200, ']'), "x", error));
    EXPECT_EQ(error.rfind("line 1:", 0), 0u) << error;
    // An empty phoneme name would stand for rest when a .pgo's shapes come in.
    EXPECT_FALSE(MouthSet::FromJson("{\"shapes\": [\"A\", \"B\"], \"rest\": \"A\", \"phonemes\": {\"\": \"B\"}}", "x", error));
    EXPECT_NE(error.find("must have a name"), std::string::npos) << error;
    // A phoneme listed with its stress digits keeps its own shape, and a
    // shape's phoneme gives that shape back.
    const auto set = MouthSet::FromJson(
        "{\"shapes\": [\"A\", \"B\", \"C\"], \"rest\": \"A\", \"phonemes\": {\"AH0\": \"B\", \"AH\": \"C\"}}", "x", error);
    ASSERT_TRUE(set) << error;
    EXPECT_EQ(set->ShapeOf("AH0"), "B");
    EXPECT_EQ(set->ShapeOf("AH1"), "C");
    for (const std::string& shape : {std::string("B"), std::string("C")})
        EXPECT_EQ(set->ShapeOf(set->PhonemeOf(shape).value()), shape);
}

TEST(MouthSet, DamagedSetsInTheFolderAreEachNamedOnceAndNoneHoldsTheStart) {
    test::TempDir dir;
    test::WriteText(dir.File("good.json"), "{\"shapes\": [\"A\"], \"rest\": \"A\", \"phonemes\": {}}");
    test::WriteText(dir.File("huge.json"), "{\"shapes\": [\"A\"], \"rest\": \"A\", \"phonemes\": {}, \"x\": 1e400}");
    test::WriteText(dir.File("not-a-set.txt"), "ignored");
    // A pipe under a set's name: a plain read would wait for a writer forever.
    ASSERT_EQ(::mkfifo(dir.File("pipe.json").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.File("folder.json"));
    std::vector<std::string> errors;
    const std::vector<MouthSet> sets = MouthSet::ReadFolder(dir.File(""), errors);
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].Name(), "good");
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_NE(errors[0].find("folder.json"), std::string::npos) << errors[0];
    EXPECT_NE(errors[1].find("huge.json"), std::string::npos) << errors[1];
    EXPECT_NE(errors[2].find("pipe.json"), std::string::npos) << errors[2];
    // Told once: the first few by name, then how many more.
    errors.insert(errors.end(), {"d.json, x", "e.json, x"});
    const std::string told = MouthSet::FolderErrorsText(errors);
    EXPECT_NE(told.find("folder.json"), std::string::npos);
    EXPECT_EQ(told.find("d.json"), std::string::npos);
    EXPECT_NE(told.find("and 2 more"), std::string::npos) << told;
    EXPECT_EQ(MouthSet::FolderErrorsText({}), "");
}

} // namespace
} // namespace zv
