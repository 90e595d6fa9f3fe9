#include "dialogue/MadeSpeech.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

#include "dialogue/DialogueAligner.h"
#include "dialogue/EspeakVoice.h"
#include "dialogue/SpokenText.h"

namespace zv::test {

namespace {

constexpr int64_t kLeadMs = 400;

bool IsEnglish(const std::string& language) { return language.rfind("en", 0) == 0; }

} // namespace

MadeSpeech SpeakLine(const std::string& typed, const std::string& language, const std::string& voice, int wpm,
                     bool hiss) {
    std::string words;
    std::vector<int> firstChars;   // each word's first character (not byte), from 1
    int chars = 0;
    for (const auto& line : SplitSpokenText(typed, IsEnglish(language)))
        for (const auto& w : line.words) {
            if (!words.empty()) {
                words += ' ';
                ++chars;
            }
            firstChars.push_back(chars + 1);
            words += w.text;
            for (unsigned char c : w.text) chars += (c & 0xC0) != 0x80 ? 1 : 0;
        }
    std::string error;
    const auto speech = SpeakWithEspeak(words, voice, wpm, error);
    EXPECT_TRUE(speech) << error;
    MadeSpeech out;
    if (!speech) return out;
    out.sampleRate = speech->sampleRate;
    const std::size_t lead = static_cast<std::size_t>(kLeadMs * out.sampleRate / 1000);
    out.mono.assign(lead, 0.0f);
    for (int16_t s : speech->samples) out.mono.push_back(static_cast<float>(s) / 32768.0f);
    out.mono.resize(out.mono.size() + lead, 0.0f);
    std::mt19937 noise(7);
    std::normal_distribution<float> microphone(0.0f, 0.0005f);
    if (hiss)
        for (float& s : out.mono) s += microphone(noise);
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

AlignmentFigures MeasureAlignment(const std::vector<SpeechCase>& cases, const std::string& language, bool hiss) {
    const double frameMs = 1000.0 / 24.0;
    AlignmentFigures all;
    for (const SpeechCase& c : cases) {
        const MadeSpeech spoken = SpeakLine(c.text, language, c.voice, c.wpm, hiss);
        if (spoken.mono.empty()) continue;
        DialogueRequest request;
        request.mono = &spoken.mono;
        request.sampleRate = spoken.sampleRate;
        request.soundFrames = static_cast<int64_t>(spoken.mono.size());
        request.text = c.text;
        request.language = language;
        const DialogueResult result = BreakDownDialogue(request);
        EXPECT_EQ(result.outcome, DialogueResult::Outcome::Aligned) << result.message;
        const auto words = result.breakdown.WordItems();
        EXPECT_EQ(words.size(), spoken.startsMs.size()) << c.text;
        if (words.size() != spoken.startsMs.size()) continue;
        AlignmentFigures line;
        for (std::size_t i = 0; i < words.size(); ++i) {
            if (spoken.startsMs[i] < 0) continue;   // espeak-ng said it as part of the word before
            const double ms = static_cast<double>(words[i].start) * 1000.0 / spoken.sampleRate;
            const double error = std::abs(ms - spoken.startsMs[i]);
            line.spread += words[i].kind == "spread" ? 1 : 0;
            line.sumMs += error;
            line.biasMs += ms - spoken.startsMs[i];
            ++line.total;
            line.worstMs = std::max(line.worstMs, error);
            if (error > frameMs)
                std::printf("    %-14s heard at %7.1f ms, spoken at %7.1f ms%s\n", words[i].text.c_str(), ms,
                            spoken.startsMs[i], words[i].kind == "spread" ? " (spread)" : "");
            line.withinOne += error <= frameMs ? 1 : 0;
            line.withinThree += error <= 3 * frameMs ? 1 : 0;
        }
        std::printf("  %-11s %3d wpm: %2d words, %5.1f %% within 1 frame at 24 fps, mean %4.1f ms (bias %+5.1f), "
                    "worst %5.1f ms%s\n",
                    c.voice, c.wpm, line.total, line.WithinOnePercent(), line.MeanMs(), line.biasMs / std::max(line.total, 1),
                    line.worstMs, line.spread > 0 ? ", some spread" : "");
        all.total += line.total;
        all.withinOne += line.withinOne;
        all.withinThree += line.withinThree;
        all.spread += line.spread;
        all.sumMs += line.sumMs;
        all.biasMs += line.biasMs;
        all.worstMs = std::max(all.worstMs, line.worstMs);
    }
    std::printf("  %s together: %d words, %.1f %% within one frame (41.7 ms), %d of them within three, mean %.1f ms "
                "(bias %+.1f), worst %.1f ms, %d spread\n",
                language.c_str(), all.total, all.WithinOnePercent(), all.withinThree, all.MeanMs(),
                all.biasMs / std::max(all.total, 1), all.worstMs, all.spread);
    return all;
}

} // namespace zv::test
