// Dialogue exports of several characters: a Moho file each, one .pgo with
// a voice each, JSON's characters list, TSV's character column and the
// sheet's columns; the single unnamed speaker keeps the one-speaker form.
#include <gtest/gtest.h>

#include <algorithm>

#include <nlohmann/json.hpp>

#include "common/FrameTime.h"
#include "dialogue/Breakdown.h"
#include "dialogue/BreakdownImport.h"
#include "document/SoundDocument.h"
#include "dialogue/MouthSet.h"
#include "dialogue/MouthTrack.h"
#include "export/ExportText.h"
#include "export/ExportWriters.h"

namespace zv {
namespace {

constexpr int32_t kRate = 48000;

struct Scene {
    FrameRate rate;
    MouthSet set = MouthSet::PrestonBlair();
    Breakdown ann, bob;
    std::vector<TrackItem> annMouths, bobMouths;
    std::vector<CharacterExport> characters;

    explicit Scene(FrameRate r, std::string bobName = "Bob Smith") : rate(r) {
        auto at = [&](int64_t frame) { return FrameStartSample(frame, rate, kRate); };
        for (Breakdown* b : {&ann, &bob}) {
            b->sampleRate = kRate;
            b->soundFrames = at(48);
        }
        ann.lines = {{"Hi there", {{"Hi", at(2), at(6), {{"HH", at(2), at(3)}, {"AY", at(3), at(6)}}, false},
                                   {"there", at(6), at(12), {{"DH", at(6), at(8)}, {"EH", at(8), at(12)}}, false}}}};
        bob.lines = {{"Me?", {{"Me", at(20), at(26), {{"M", at(20), at(22)}, {"IY", at(22), at(26)}}, false}}}};
        annMouths = MouthShapes(ann.PhonemeItems(), set, {}, rate, kRate, ann.soundFrames);
        bobMouths = MouthShapes(bob.PhonemeItems(), set, {}, rate, kRate, bob.soundFrames);
        characters = {{"Ann", &ann, &annMouths, &set}, {std::move(bobName), &bob, &bobMouths, &set}};
    }
    ExportInput Input() const {
        ExportInput in;
        in.soundName = "scene.wav";
        in.sampleRate = kRate;
        in.lengthSamples = ann.soundFrames;
        in.rate = rate;
        in.breakdown = &ann;
        in.mouths = &annMouths;
        in.mouthSet = &set;
        in.characters = &characters;
        return in;
    }
    static const ExportWriter& Format(const char* name) { return *ExportWriters::Named(ExportSubject::Dialogue, name); }
};

TEST(CharacterExport, MohoWritesOneSafelyNamedFileForEachCharacter) {
    for (FrameRate rate : {FrameRate(24), FrameRate::Fraction(30000, 1001)}) {
        const Scene scene(rate, "Bob/..:Smith*");
        const std::vector<ExportFile> files = Scene::Format("dat").WriteFiles(scene.Input());
        ASSERT_EQ(files.size(), 2u);
        EXPECT_EQ(files[0].suffix, "-Ann");
        EXPECT_EQ(files[1].suffix, "-Bob_.._Smith");
        // Each file has only its own character's mouths, at the exact rate.
        EXPECT_EQ(files[0].content.rfind("MohoSwitch1\n1 rest\n3 etc\n", 0), 0u) << files[0].content;
        EXPECT_EQ(files[1].content.find("3 etc"), std::string::npos) << files[1].content;
        EXPECT_NE(files[1].content.find("\n21 MBP\n"), std::string::npos) << files[1].content;
    }
    // One speaker: one file, no suffix, as before.
    Scene one(FrameRate(24));
    one.characters.resize(1);
    EXPECT_EQ(Scene::Format("dat").WriteFiles(one.Input()).size(), 1u);
    EXPECT_EQ(Scene::Format("dat").WriteFiles(one.Input())[0].suffix, "");
}

TEST(CharacterExport, NamesBecomeSafeFileNamePartsInAnyLanguage) {
    EXPECT_EQ(ExportFileNamePart("Ann"), "Ann");
    EXPECT_EQ(ExportFileNamePart("Émilie Dupont"), "Émilie_Dupont");
    EXPECT_EQ(ExportFileNamePart("../../etc/passwd"), "etc_passwd");
    EXPECT_EQ(ExportFileNamePart("a\tb\nc"), "a_b_c");
    // The part goes before the extension, the folder kept.
    EXPECT_EQ(ExportPathWith("shot 1/scene.mouths.dat", "-Ann"), "shot 1/scene.mouths-Ann.dat");
    EXPECT_EQ(ExportPathWith("out", "-Bob"), "out-Bob");
    EXPECT_EQ(ExportPathWith("out.dat", ""), "out.dat");
    EXPECT_EQ(ExportFileNamePart("???"), "");
    // Cut at 64 bytes, never inside a character.
    const std::string longName(40, 'x');
    const std::string cut = ExportFileNamePart(longName + "ééééééééééééé");
    EXPECT_LE(cut.size(), 64u);
    EXPECT_EQ(cut.size() % 2, 0u);   // 40 + whole two-byte letters
    // Two names made alike still get a file each.
    Scene twins(FrameRate(24), "Ann?");
    twins.characters[0].name = "Ann*";
    const auto files = Scene::Format("dat").WriteFiles(twins.Input());
    ASSERT_EQ(files.size(), 2u);
    EXPECT_NE(files[0].suffix, files[1].suffix);
}

TEST(CharacterExport, JsonListsEachCharacterAndOneUnnamedSpeakerKeepsItsKeys) {
    const Scene scene(FrameRate(24));
    const nlohmann::json doc = nlohmann::json::parse(Scene::Format("json").Write(scene.Input()));
    EXPECT_FALSE(doc.contains("words"));
    ASSERT_EQ(doc.at("characters").size(), 2u);
    const auto& bob = doc.at("characters")[1];
    EXPECT_EQ(bob.at("name"), "Bob Smith");
    EXPECT_EQ(bob.at("mouthSet"), scene.set.Name());
    ASSERT_EQ(bob.at("words").size(), 1u);
    EXPECT_EQ(bob.at("words")[0].at("text"), "Me");
    EXPECT_EQ(bob.at("words")[0].at("frame"), 20);
    EXPECT_EQ(bob.at("mouths")[1].at("frame"), 20);
    EXPECT_EQ(doc.at("characters")[0].at("words").size(), 2u);

    Scene unnamed(FrameRate(24));
    unnamed.characters.resize(1);
    unnamed.characters[0].name.clear();
    const nlohmann::json plain = nlohmann::json::parse(Scene::Format("json").Write(unnamed.Input()));
    EXPECT_FALSE(plain.contains("characters"));
    EXPECT_EQ(plain.at("words").size(), 2u);
    EXPECT_TRUE(plain.contains("mouths"));
}

TEST(CharacterExport, PapagayoTsvAndSheetCarryEveryCharacter) {
    const Scene scene(FrameRate(24));
    const std::string pgo = Scene::Format("pgo").Write(scene.Input());
    EXPECT_EQ(pgo.rfind("lipsync version 1\nscene.wav\n24\n48\n2\n\tAnn\n\tHi there\n\t1\n", 0), 0u) << pgo;
    EXPECT_NE(pgo.find("\n\tBob Smith\n\tMe?\n\t1\n\t\tMe?\n\t\t20\n\t\t25\n\t\t1\n\t\t\tMe 20 25 2\n"), std::string::npos)
        << pgo;

    const std::string tsv = Scene::Format("tsv").Write(scene.Input());
    // Time order across characters, the character last.
    EXPECT_NE(tsv.find("0.083\tetc\tAnn\n"), std::string::npos) << tsv;
    EXPECT_LT(tsv.find("\tAnn\n"), tsv.find("\tBob Smith\n")) << tsv;
    EXPECT_NE(tsv.find("0.833\tMBP\tBob Smith\n"), std::string::npos) << tsv;

    const std::vector<TrackItem> marks = {{FrameStartSample(20, 24, kRate), FrameStartSample(20, 24, kRate), "hit", ""}};
    ExportInput in = scene.Input();
    in.marks = &marks;
    const std::string sheet = Scene::Format("xsheet").Write(in);
    EXPECT_EQ(sheet.rfind("Frame\tAnn Mouth\tAnn Word\tBob Smith Mouth\tBob Smith Word\tMarks\n1\trest\t\trest\t\t\n", 0), 0u)
        << sheet;
    EXPECT_NE(sheet.find("\n3\tetc\tHi\t\t\t\n"), std::string::npos) << sheet;
    EXPECT_NE(sheet.find("\n21\t\t\tMBP\tMe\thit\n"), std::string::npos) << sheet;

    // Labels: every word, named after its speaker, in time order.
    const std::string labels = Scene::Format("labels").Write(scene.Input());
    EXPECT_NE(labels.find("\tAnn: there\n"), std::string::npos) << labels;
    EXPECT_EQ(labels.substr(labels.rfind('\t', labels.size() - 2) + 1), "Bob Smith: Me\n") << labels;
}

TEST(CharacterExport, PapagayoAndJsonComeBackCharacterByCharacter) {
    const FrameRate rate = FrameRate::Fraction(24000, 1001);
    const Scene scene(rate);
    std::string error;
    const auto pgo = ImportPapagayo(Scene::Format("pgo").Write(scene.Input()), kRate, scene.ann.soundFrames, rate, error);
    ASSERT_TRUE(pgo) << error;
    ASSERT_EQ(pgo->characters.size(), 2u);
    EXPECT_EQ(pgo->characters[1].name, "Bob Smith");
    EXPECT_EQ(pgo->characters[0].breakdown.WordItems().size(), 2u);
    ASSERT_EQ(pgo->characters[1].breakdown.WordItems().size(), 1u);
    EXPECT_EQ(pgo->characters[1].breakdown.WordItems()[0].start, scene.bob.WordItems()[0].start);
    // Each voice's mouths its own: Bob's closure in his, none in Ann's.
    auto closesAt = [](const std::vector<TrackItem>& mouths, int64_t sample) {
        return std::any_of(mouths.begin(), mouths.end(),
                           [&](const TrackItem& m) { return m.text == "MBP" && m.start == sample; });
    };
    EXPECT_TRUE(closesAt(pgo->characters[1].mouths, scene.bob.WordItems()[0].start));
    EXPECT_FALSE(closesAt(pgo->characters[0].mouths, scene.bob.WordItems()[0].start));
    EXPECT_EQ(pgo->mouths, pgo->characters[0].mouths);

    const auto json = ImportBreakdownJson(Scene::Format("json").Write(scene.Input()), kRate, scene.ann.soundFrames, error);
    ASSERT_TRUE(json) << error;
    ASSERT_EQ(json->characters.size(), 2u);
    EXPECT_EQ(json->characters[0].name, "Ann");
    EXPECT_EQ(json->characters[1].mouthSet, scene.set.Name());
    EXPECT_EQ(json->characters[1].breakdown.PhonemeItems(), scene.bob.PhonemeItems());
    EXPECT_EQ(json->characters[1].mouths, scene.bobMouths);
    EXPECT_EQ(json->breakdown.WordItems().size(), 3u);

    // Into the document: the unnamed speaker becomes Ann, Bob is added;
    // each one's tracks and the list, together.
    CharacterList list;
    const auto tracks = ImportedTracks(*json, list, nullptr);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.Find(1)->name, "Ann");
    auto find = [&](const std::string& name) -> const std::vector<TrackItem>* {
        for (const auto& [track, items] : tracks)
            if (track == name) return &items;
        return nullptr;
    };
    ASSERT_NE(find(SoundDocument::kWords), nullptr);
    EXPECT_EQ(find(SoundDocument::kWords)->size(), 2u);
    ASSERT_NE(find(CharacterList::MouthsTrack(list.FindByName("Bob Smith")->id)), nullptr);
    EXPECT_EQ(*find(CharacterList::MouthsTrack(list.FindByName("Bob Smith")->id)), scene.bobMouths);
    EXPECT_NE(find(CharacterList::kTrack), nullptr);
}

TEST(CharacterExport, DamagedFilesWithCharactersAreRefusedWhole) {
    const Scene scene(FrameRate(24));
    const std::string pgo = Scene::Format("pgo").Write(scene.Input());
    std::string error;
    // Bob's word cut off: refused, the line named, Ann's voice not kept either.
    const std::string cut = pgo.substr(0, pgo.find("\t\t\tMe 20"));
    EXPECT_FALSE(ImportPapagayo(cut, kRate, 0, FrameRate(24), error));
    EXPECT_EQ(error.rfind("line ", 0), 0u) << error;
    std::string bad = pgo;
    bad.replace(bad.find("Me 20 25 2"), 10, "Me 20 x 2");
    EXPECT_FALSE(ImportPapagayo(bad, kRate, 0, FrameRate(24), error));
    EXPECT_NE(error.find("line "), std::string::npos) << error;

    nlohmann::json doc = nlohmann::json::parse(Scene::Format("json").Write(scene.Input()));
    doc["characters"][1]["name"] = " ";
    EXPECT_FALSE(ImportBreakdownJson(doc.dump(), kRate, 0, error));
    EXPECT_NE(error.find("no name"), std::string::npos) << error;
    doc["characters"][1]["name"] = "Ann";
    EXPECT_FALSE(ImportBreakdownJson(doc.dump(), kRate, 0, error));
    EXPECT_NE(error.find("two characters"), std::string::npos) << error;
    doc["characters"] = "Ann";
    EXPECT_FALSE(ImportBreakdownJson(doc.dump(), kRate, 0, error));
}

} // namespace
} // namespace zv
