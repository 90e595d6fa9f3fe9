// The breakdown job beyond English accuracy: a language without a speech
// model, lines split by pauses, no speech at all, Cancel.
#include <gtest/gtest.h>

#include <atomic>

#include "dialogue/DialogueAligner.h"
#include "dialogue/EspeakVoice.h"
#include "dialogue/PhoneMap.h"
#include "dialogue/VoicedStretches.h"

namespace zv {
namespace {

// espeak-ng speaking each text in turn, `pauseMs` of quiet before, between
// and after them; where each text starts (samples).
struct Spoken {
    std::vector<float> mono;
    std::vector<int64_t> starts;
    int32_t sampleRate = 22050;
};

Spoken Speak(const std::vector<std::string>& texts, const std::string& voice, int pauseMs) {
    Spoken out;
    const std::size_t pause = static_cast<std::size_t>(pauseMs) * 22050 / 1000;
    out.mono.assign(pause, 0.0f);
    for (const std::string& text : texts) {
        std::string error;
        const auto speech = SpeakWithEspeak(text, voice, 175, error);
        EXPECT_TRUE(speech) << error;
        if (!speech) continue;
        out.starts.push_back(static_cast<int64_t>(out.mono.size()));
        for (int16_t s : speech->samples) out.mono.push_back(static_cast<float>(s) / 32768.0f);
        out.mono.resize(out.mono.size() + pause, 0.0f);
    }
    return out;
}

DialogueResult BreakDown(const Spoken& s, const std::string& text, const std::string& language,
                         JobProgress* progress = nullptr) {
    DialogueRequest r;
    r.mono = &s.mono;
    r.sampleRate = s.sampleRate;
    r.firstSample = 1000;   // as if the selection began there
    r.soundFrames = static_cast<int64_t>(s.mono.size()) + 1000;
    r.text = text;
    r.language = language;
    r.progress = progress;
    return BreakDownDialogue(r);
}

TEST(DialogueWays, OtherLanguagesGoOntoTheVoicedStretches) {
    EXPECT_EQ(DialogueLanguageWay("en-us"), DialogueWay::Recognizer);
    EXPECT_EQ(DialogueLanguageWay("de"), DialogueWay::VoicedStretches);
    EXPECT_EQ(DialogueLanguageWay("zz-none"), DialogueWay::Unknown);
    const Spoken s = Speak({"Guten Morgen, meine Freunde.", "Wir fahren heute nach Berlin."}, "de", 700);
    const DialogueResult r = BreakDown(s, "Guten Morgen, meine Freunde.\nWir fahren heute nach Berlin.", "de");
    ASSERT_EQ(r.outcome, DialogueResult::Outcome::Aligned) << r.message;
    EXPECT_EQ(r.way, DialogueWay::VoicedStretches);
    ASSERT_EQ(r.breakdown.lines.size(), 2u);
    const auto words = r.breakdown.WordItems();
    ASSERT_EQ(words.size(), 9u);
    // The first word of each sentence starts where it is spoken (the
    // stretches' edges), within two frames at 24 fps.
    EXPECT_NEAR(static_cast<double>(words[0].start - 1000 - s.starts[0]), 0.0, 2 * 22050 / 24.0);
    EXPECT_NEAR(static_cast<double>(words[4].start - 1000 - s.starts[1]), 0.0, 2 * 22050 / 24.0);
    for (std::size_t i = 0; i < words.size(); ++i) {
        EXPECT_EQ(words[i].kind, "spread");
        EXPECT_LT(words[i].start, words[i].end);
        if (i > 0) {
            EXPECT_GE(words[i].start, words[i - 1].end);
        }
    }
    for (const auto& p : r.breakdown.PhonemeItems()) EXPECT_FALSE(p.text.empty());
    EXPECT_GE(r.breakdown.PhonemeItems().size(), 30u);
}

TEST(DialogueWays, EnglishLinesSplitByPausesAreEachHeard) {
    const Spoken s = Speak({"The door was open.", "Nobody came in for an hour."}, "en-us", 900);
    const DialogueResult r = BreakDown(s, "The door was open.\n\nNobody came in for an hour.", "en");
    ASSERT_EQ(r.outcome, DialogueResult::Outcome::Aligned) << r.message;
    ASSERT_EQ(r.breakdown.lines.size(), 2u);
    const auto words = r.breakdown.WordItems();
    ASSERT_EQ(words.size(), 10u);
    EXPECT_NEAR(static_cast<double>(words[0].start - 1000 - s.starts[0]), 0.0, 22050 / 24.0);
    EXPECT_NEAR(static_cast<double>(words[4].start - 1000 - s.starts[1]), 0.0, 22050 / 24.0);
    for (const auto& w : words) EXPECT_EQ(w.kind, "") << w.text;
    // Every word's phonemes tile it.
    for (const auto& line : r.breakdown.lines)
        for (const auto& w : line.words) {
            ASSERT_FALSE(w.phonemes.empty()) << w.text;
            EXPECT_EQ(w.phonemes.front().start, w.start);
            EXPECT_EQ(w.phonemes.back().end, w.end);
            for (std::size_t k = 1; k < w.phonemes.size(); ++k) EXPECT_EQ(w.phonemes[k].start, w.phonemes[k - 1].end);
        }
}

TEST(DialogueWays, NoSpeechSpreadsTheWordsEvenlyAndCancelKeepsNothing) {
    Spoken quiet;
    quiet.mono.assign(22050 * 2, 0.0f);
    for (const char* language : {"en", "de"}) {
        const DialogueResult r = BreakDown(quiet, "one two three four", language);
        EXPECT_EQ(r.outcome, DialogueResult::Outcome::NoSpeech) << language;
        EXPECT_FALSE(r.message.empty());
        const auto words = r.breakdown.WordItems();
        ASSERT_EQ(words.size(), 4u);
        for (const auto& w : words) EXPECT_NEAR(static_cast<double>(w.end - w.start), 22050 / 2.0, 2.0) << language;
        EXPECT_EQ(words.front().start, 1000);
    }
    EXPECT_EQ(BreakDown(quiet, " \n", "en").outcome, DialogueResult::Outcome::Failed);
    JobProgress cancel;
    cancel.Cancel();
    const Spoken s = Speak({"Stop right there."}, "en-us", 300);
    const DialogueResult r = BreakDown(s, "Stop right there.", "en", &cancel);
    EXPECT_EQ(r.outcome, DialogueResult::Outcome::Cancelled);
    EXPECT_TRUE(r.breakdown.lines.empty());
}

} // namespace
} // namespace zv

namespace zv {
namespace {

TEST(DialogueParts, VoicedStretchesFindSpeechLoudOrQuietAndPhonesMapOntoTheModel) {
    // Bursts of noise-like sound 300 ms long with 400 ms gaps, loud and 40 dB down.
    for (float level : {0.5f, 0.005f}) {
        std::vector<float> mono(16000 * 3, 0.0f);
        uint32_t seed = 1;
        for (int burst = 0; burst < 4; ++burst)
            for (int i = 0; i < 4800; ++i) {
                seed = seed * 1664525u + 1013904223u;
                mono[static_cast<std::size_t>(burst * 11200 + 3200 + i)] =
                    level * (static_cast<float>(seed >> 8) / 8388608.0f - 1.0f);
            }
        const auto stretches = FindVoicedStretches(mono, 16000);
        ASSERT_EQ(stretches.size(), 4u) << level;
        for (int burst = 0; burst < 4; ++burst) {
            EXPECT_NEAR(static_cast<double>(stretches[static_cast<std::size_t>(burst)].start), burst * 11200 + 3200, 160.0);
            EXPECT_NEAR(static_cast<double>(stretches[static_cast<std::size_t>(burst)].end), burst * 11200 + 8000, 160.0);
        }
    }
    EXPECT_TRUE(FindVoicedStretches(std::vector<float>(16000, 0.0f), 16000).empty());
    const std::vector<std::string> phones = CmuPhonesOfIpa({"tʃ", "ˈaɪ", "n", "ɜː", "ts", "ʔ", "ɡ", "ɲ"});
    EXPECT_EQ(phones, (std::vector<std::string>{"CH", "AY", "N", "ER", "T", "S", "G", "N", "Y"}));
}

} // namespace
} // namespace zv
