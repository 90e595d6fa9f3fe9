// Which speech model hears a line: a user's own model for a language from
// the models folder (found beside or inside its folder, for the language or
// its variants), the English model otherwise, with a note when the user's
// folder is incomplete; and lines the search loses spread over the voiced
// stretches, each line saying which way it took.
#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <fstream>

#include "TestSounds.h"
#include "dialogue/DialogueAligner.h"
#include "dialogue/EspeakVoice.h"
#include "dialogue/PhoneMap.h"
#include "dialogue/Resampler.h"
#include "dialogue/SpeechRecognizer.h"
#include "dialogue/SpokenText.h"
#include "dialogue/UserSpeechModel.h"

namespace zv {
namespace {

namespace fs = std::filesystem;

// espeak-ng speaking each text in turn with 700 ms of quiet around them;
// where the first phoneme of each is (samples at 22050 Hz).
struct Spoken {
    std::vector<float> mono;
    std::vector<int64_t> starts;
};

Spoken Speak(const std::vector<std::string>& texts, const std::string& voice) {
    Spoken out;
    const std::size_t pause = 22050 * 7 / 10;
    out.mono.assign(pause, 0.0f);
    for (const std::string& text : texts) {
        std::string error;
        const auto speech = SpeakWithEspeak(text, voice, 175, error);
        EXPECT_TRUE(speech) << error;
        if (!speech) continue;
        // Where its first phoneme starts (espeak-ng may begin with a pause).
        int64_t firstMs = -1;
        for (const SpokenWord& w : speech->words)
            for (const SpokenPhoneme& ph : w.phonemes)
                if (!ph.ipa.empty() && firstMs < 0) firstMs = ph.ms;
        out.starts.push_back(static_cast<int64_t>(out.mono.size()) + std::max<int64_t>(firstMs, 0) * 22050 / 1000);
        for (int16_t s : speech->samples) out.mono.push_back(static_cast<float>(s) / 32768.0f);
        out.mono.resize(out.mono.size() + pause, 0.0f);
    }
    return out;
}

DialogueResult BreakDown(const Spoken& s, const std::string& text, const std::string& language,
                         const std::string& models = {}) {
    DialogueRequest r;
    r.mono = &s.mono;
    r.sampleRate = 22050;
    r.soundFrames = static_cast<int64_t>(s.mono.size());
    r.text = text;
    r.language = language;
    r.modelsFolder = models;
    return BreakDownDialogue(r);
}

void Write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A user's French model: the English acoustic model (linked) with a French
// dictionary in its phones; "demain" left out, to be said by espeak-ng.
void MakeFrenchModel(const fs::path& folder, bool inside) {
    fs::create_directories(folder);
    const fs::path model = SpeechRecognizer::DefaultModelDir();
    if (inside) {
        fs::create_directory_symlink(model, folder / "acoustic");
    } else {
        for (const auto& entry : fs::directory_iterator(model))
            fs::create_symlink(entry.path(), folder / entry.path().filename());
    }
    Write(folder / "fr.dict",
          "nous N UW\nirons IY R AO N\nau OW\nmarche M AA R SH EY\nmatin M AA T EH N\n"
          "avec AA V EH K\nta T AA\ngrand G R AA N\nmere M EH R\n");
}

TEST(SpeechModels, AUsersModelIsFoundForItsLanguageAndVariantsAndAnIncompleteOneIsNamed) {
    test::TempDir dir;
    const fs::path models = dir.File("models");
    MakeFrenchModel(models / "fr", true);
    MakeFrenchModel(models / "pt-br", false);
    std::string error;
    const auto fr = UserSpeechModel::Find(models.string(), "fr-fr+f3", error);
    ASSERT_TRUE(fr) << error;
    EXPECT_EQ(fr->modelDir, (models / "fr" / "acoustic").string());
    EXPECT_EQ(fr->dictionary, (models / "fr" / "fr.dict").string());
    const auto br = UserSpeechModel::Find(models.string(), "pt-BR", error);
    ASSERT_TRUE(br) << error;
    EXPECT_EQ(br->modelDir, (models / "pt-br").string());
    // Not for another language, nor out of the folder, nor with no folder.
    EXPECT_FALSE(UserSpeechModel::Find(models.string(), "pt", error));
    EXPECT_TRUE(error.empty());
    EXPECT_FALSE(UserSpeechModel::Find(models.string(), "../models/fr", error));
    EXPECT_FALSE(UserSpeechModel::Find("", "fr", error));
    EXPECT_EQ(DialogueLanguageWay("fr", models.string()), DialogueWay::UserModel);
    EXPECT_EQ(DialogueLanguageWay("de", models.string()), DialogueWay::Recognizer);
    EXPECT_EQ(UserSpeechModel::ModelsFolder("/x", "/home/a"), "/x/Zorvane/models");
    EXPECT_EQ(UserSpeechModel::ModelsFolder(nullptr, "/home/a"), "/home/a/.config/Zorvane/models");
    EXPECT_EQ(UserSpeechModel::ModelsFolder(nullptr, nullptr), "");

    // A folder without its dictionary: named, and the English model hears the line.
    fs::create_directories(models / "it");
    fs::create_directory_symlink(SpeechRecognizer::DefaultModelDir(), models / "it" / "am");
    EXPECT_FALSE(UserSpeechModel::Find(models.string(), "it", error));
    EXPECT_NE(error.find("dictionary"), std::string::npos) << error;
    const Spoken s = Speak({"Domani andiamo al mare."}, "it");
    const DialogueResult r = BreakDown(s, "Domani andiamo al mare.", "it", models.string());
    ASSERT_EQ(r.outcome, DialogueResult::Outcome::Aligned) << r.message;
    EXPECT_EQ(r.way, DialogueWay::Recognizer);
    EXPECT_NE(r.message.find((models / "it").string()), std::string::npos) << r.message;
    EXPECT_EQ(r.breakdown.WordItems().size(), 4u);
}

TEST(SpeechModels, AUsersModelHearsItsLanguageWithWordsItsDictionaryLacks) {
    test::TempDir dir;
    const fs::path models = dir.File("models");
    MakeFrenchModel(models / "fr", true);
    const Spoken s = Speak({"Nous irons au marché demain matin avec ta grand-mère."}, "fr");
    const DialogueResult r = BreakDown(s, "Nous irons au marche demain matin avec ta grand-mere.", "fr", models.string());
    ASSERT_EQ(r.outcome, DialogueResult::Outcome::Aligned) << r.message;
    EXPECT_EQ(r.way, DialogueWay::UserModel);
    EXPECT_EQ(r.lineWays, std::vector<DialogueWay>{DialogueWay::UserModel});
    EXPECT_EQ(DialogueWaysText(r), DialogueWayText(DialogueWay::UserModel));
    const auto words = r.breakdown.WordItems();
    ASSERT_EQ(words.size(), 10u);
    // Within two frames at 24 fps: this voice's opening "n" starts quietly,
    // and is heard 71 ms in (through the English model's own way too).
    EXPECT_NEAR(static_cast<double>(words[0].start - s.starts[0]), 0.0, 2 * 22050 / 24.0);
    for (const auto& w : words) EXPECT_EQ(w.kind, "") << w.text;
    for (const auto& p : r.breakdown.PhonemeItems()) EXPECT_FALSE(p.text.empty());
}

TEST(SpeechModels, ALineTheSearchLosesIsSpreadAndSaysSo) {
    // The second line's sound says far fewer words than are typed for it.
    const Spoken s = Speak({"Der Zug kommt heute spät.", "Nein."}, "de");
    const std::string text = "Der Zug kommt heute spät.\n"
                             "Wir warten seit dem frühen Morgen auf dem kalten Bahnsteig und trinken Kaffee aus "
                             "Papierbechern, während die Tauben zwischen den Bänken nach Krümeln suchen.";
    const DialogueResult r = BreakDown(s, text, "de");
    ASSERT_EQ(r.outcome, DialogueResult::Outcome::Aligned) << r.message;
    EXPECT_EQ(r.way, DialogueWay::Recognizer);
    ASSERT_EQ(r.lineWays, (std::vector<DialogueWay>{DialogueWay::Recognizer, DialogueWay::VoicedStretches}));
    EXPECT_EQ(DialogueWaysText(r), "1 line aligned by ear (English speech model), 1 line spread over the voiced "
                                   "stretches (not heard: check them)");
    const auto words = r.breakdown.WordItems();
    ASSERT_EQ(words.size(), 29u);
    EXPECT_EQ(words[0].kind, "");
    EXPECT_EQ(words[5].kind, "spread");
    // The spread words stay on the second line's sound, in order.
    EXPECT_GE(words[5].start, s.starts[1] - 22050 / 4);
    for (std::size_t i = 6; i < words.size(); ++i) EXPECT_GE(words[i].start, words[i - 1].end);
    EXPECT_LE(words.back().end, static_cast<int64_t>(s.mono.size()));
}

} // namespace
} // namespace zv

namespace zv {
namespace {

// A line the normal search loses is heard with wider beams; a second job on
// the kept recognizer must give that search the words the first one added.
TEST(SpeechModels, ASecondJobHearsALineThatNeedsTheWideSearchAsTheFirstDid) {
    const std::string text =
        "Als das Nordlicht in jenem Winter zurückkehrte, stieg der alte Kapitän mit vielen Laternen auf den Hügel "
        "hinter dem Hafen, und er wartete dort in der Kälte, bis jede einzelne gegen die Dunkelheit brannte.";
    const Spoken s = Speak({text}, "de");
    for (int job = 0; job < 2; ++job) {
        const DialogueResult r = BreakDown(s, text, "de");
        ASSERT_EQ(r.outcome, DialogueResult::Outcome::Aligned) << r.message;
        EXPECT_EQ(r.lineWays, std::vector<DialogueWay>{DialogueWay::Recognizer}) << "job " << job;
        for (const auto& w : r.breakdown.WordItems()) EXPECT_EQ(w.kind, "") << "job " << job << ": " << w.text;
    }
}

// The wide search runs on the model already loaded (a second load cost as
// much as a short line's whole breakdown): on a line in digital silence,
// with no noise floor under it, the normal search loses the line, a wide
// one on the same recognizer hears it, and the next normal search has its
// own beams back.
TEST(SpeechModels, AWideSearchOnTheSameModelHearsALineTheNormalOneLoses) {
    const std::string text =
        "Als das Nordlicht in jenem Winter zurückkehrte, stieg der alte Kapitän mit vielen Laternen auf den Hügel "
        "hinter dem Hafen, und er wartete dort in der Kälte, bis jede einzelne gegen die Dunkelheit brannte.";
    const Spoken s = Speak({text}, "de");
    const std::vector<int16_t> pcm = ResampleTo16Bit(s.mono, 22050, SpeechRecognizer::kSampleRate);
    std::string error;
    auto recognizer = SpeechRecognizer::Create(SpeechRecognizer::DefaultModelDir(),
                                               SpeechRecognizer::DefaultDictionary(), false, error);
    ASSERT_TRUE(recognizer) << error;
    std::vector<std::string> words;
    for (const auto& line : SplitSpokenText(text, false))
        for (const auto& w : line.words) {
            words.push_back("test-de:" + w.key);
            if (recognizer->Pronunciation(words.back())) continue;
            ASSERT_TRUE(recognizer->AddWord(words.back(), CmuPhonesOfIpa(EspeakPhonemesOfWord(w.text, "de"))));
        }
    const Recognition normal = recognizer->Align(pcm.data(), pcm.size(), words, false);
    const Recognition wide = recognizer->Align(pcm.data(), pcm.size(), words, false, nullptr, true);
    const Recognition again = recognizer->Align(pcm.data(), pcm.size(), words, false);
    EXPECT_FALSE(normal.reachedEnd);
    EXPECT_TRUE(wide.reachedEnd);
    EXPECT_EQ(wide.words.size(), words.size());
    EXPECT_FALSE(again.reachedEnd);
}

} // namespace
} // namespace zv
