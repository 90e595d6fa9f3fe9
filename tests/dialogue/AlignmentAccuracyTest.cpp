// Alignment accuracy on speech whose word timing is known: espeak-ng speaks
// the line and says where each word's first phoneme starts; the aligner
// hears the sound alone, with the typed text (numbers as digits, names the
// dictionary lacks). Several voices and speeds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

#include "dialogue/DialogueAligner.h"
#include "dialogue/EspeakVoice.h"
#include "dialogue/SpokenText.h"

namespace zv {
namespace {

struct Spoken {
    std::vector<float> mono;
    std::vector<double> startsMs;   // each spoken word's first phoneme, in the sound
    int32_t sampleRate = 0;
};

constexpr int64_t kLeadMs = 400;

// The line spoken by espeak-ng (its words as the aligner will read them),
// between quiet stretches, with a little noise under it as a microphone has.
Spoken Speak(const std::string& typed, const std::string& voice, int wpm) {
    std::string words;
    std::vector<int> firstChars;   // each word's first character, from 1
    for (const auto& line : SplitSpokenText(typed, true))
        for (const auto& w : line.words) {
            if (!words.empty()) words += ' ';
            firstChars.push_back(static_cast<int>(words.size()) + 1);
            words += w.text;
        }
    std::string error;
    const auto speech = SpeakWithEspeak(words, voice, wpm, error);
    EXPECT_TRUE(speech) << error;
    Spoken out;
    if (!speech) return out;
    out.sampleRate = speech->sampleRate;
    const std::size_t lead = static_cast<std::size_t>(kLeadMs * out.sampleRate / 1000);
    out.mono.assign(lead, 0.0f);
    for (int16_t s : speech->samples) out.mono.push_back(static_cast<float>(s) / 32768.0f);
    out.mono.resize(out.mono.size() + lead, 0.0f);
    std::mt19937 noise(7);
    std::normal_distribution<float> hiss(0.0f, 0.0005f);
    for (float& s : out.mono) s += hiss(noise);
    // The first word event inside each word (espeak-ng may say a word in
    // two parts).
    out.startsMs.assign(firstChars.size(), -1.0);
    for (const SpokenWord& w : speech->words) {
        const auto it = std::upper_bound(firstChars.begin(), firstChars.end(), w.textPosition);
        if (it == firstChars.begin()) continue;
        const std::size_t word = static_cast<std::size_t>(it - firstChars.begin()) - 1;
        if (out.startsMs[word] >= 0) continue;
        int64_t ms = w.ms;
        for (const SpokenPhoneme& p : w.phonemes)
            if (!p.ipa.empty()) {
                ms = p.ms;
                break;
            }
        out.startsMs[word] = static_cast<double>(ms + kLeadMs);
    }
    return out;
}

struct Case {
    const char* voice;
    int wpm;
    const char* text;
};

TEST(AlignmentAccuracy, WordStartsFallWithinAFrameOfTheSpokenOnes) {
    const Case cases[] = {
        {"en-us", 175, "The quick brown fox jumps over the lazy dog near the river bank."},
        {"en", 150, "Captain Zorblax counted 42 silver coins before the storm."},
        {"en+f3", 200, "Please hand me that heavy box, then close the window quietly."},
        {"en-us+m3", 230, "Quenvira said the train leaves at 7 from platform 19."},
        {"en-us", 130, "I never thought the old lighthouse would still be standing in 1999."},
        {"en+f2", 175, "Mister Blorvik, your order of 3 sandwiches is ready at the counter."},
    };
    const double frameMs = 1000.0 / 24.0;
    int total = 0, withinOne = 0, withinThree = 0;
    double worst = 0;
    for (const Case& c : cases) {
        const Spoken spoken = Speak(c.text, c.voice, c.wpm);
        ASSERT_FALSE(spoken.mono.empty());
        DialogueRequest request;
        request.mono = &spoken.mono;
        request.sampleRate = spoken.sampleRate;
        request.soundFrames = static_cast<int64_t>(spoken.mono.size());
        request.text = c.text;
        request.language = "en";
        const DialogueResult result = BreakDownDialogue(request);
        ASSERT_EQ(result.outcome, DialogueResult::Outcome::Aligned) << result.message;
        const auto words = result.breakdown.WordItems();
        ASSERT_EQ(words.size(), spoken.startsMs.size()) << c.text;
        int one = 0, three = 0;
        double sum = 0, bias = 0, caseWorst = 0;
        for (std::size_t i = 0; i < words.size(); ++i) {
            const double ms = static_cast<double>(words[i].start) * 1000.0 / spoken.sampleRate;
            ASSERT_GE(spoken.startsMs[i], 0) << words[i].text;
            const double error = std::abs(ms - spoken.startsMs[i]);
            bias += ms - spoken.startsMs[i];
            sum += error;
            caseWorst = std::max(caseWorst, error);
            one += error <= frameMs ? 1 : 0;
            three += error <= 3 * frameMs ? 1 : 0;
            if (error > frameMs)
                std::printf("    %-10s heard at %7.1f ms, spoken at %7.1f ms\n", words[i].text.c_str(), ms,
                            spoken.startsMs[i]);
        }
        std::printf("  %-9s %3d wpm: %2zu words, %5.1f %% within 1 frame at 24 fps, mean %5.1f ms (bias %+5.1f), worst %6.1f ms\n",
                    c.voice, c.wpm, words.size(), 100.0 * one / static_cast<double>(words.size()),
                    sum / static_cast<double>(words.size()), bias / static_cast<double>(words.size()), caseWorst);
        total += static_cast<int>(words.size());
        withinOne += one;
        withinThree += three;
        worst = std::max(worst, caseWorst);
    }
    const double share = 100.0 * withinOne / total;
    std::printf("  all: %d words, %.1f %% within one frame (41.7 ms), %d within three, worst %.1f ms\n", total, share,
                withinThree, worst);
    EXPECT_GE(share, 90.0);
    EXPECT_EQ(withinThree, total);
}

} // namespace
} // namespace zv
