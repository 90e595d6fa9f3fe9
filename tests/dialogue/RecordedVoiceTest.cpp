// Recorded human speech: the speaker-test voice alsa-utils installs
// ("Front Left", "Rear Center", ...), two words a file with a stretch of
// silence between them. Where each word starts is read off the recording
// itself: the first 10 ms window above -50 dBFS, and the first after 100 ms
// below -65 dBFS. Skipped where alsa-utils is not installed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "cli/HeadlessSound.h"
#include "dialogue/DialogueAligner.h"
#include "sound/MonoMix.h"

namespace zv {
namespace {

// The sample where each of the two words starts (by loudness).
std::vector<int64_t> Onsets(const std::vector<float>& mono, int32_t rate) {
    const std::size_t window = static_cast<std::size_t>(rate / 100);
    std::vector<int64_t> out;
    bool inWord = false;
    std::size_t quiet = 0;
    for (std::size_t at = 0; at + window <= mono.size(); at += window) {
        double sum = 0;
        for (std::size_t i = at; i < at + window; ++i) sum += static_cast<double>(mono[i]) * mono[i];
        const double db = 10.0 * std::log10(sum / static_cast<double>(window) + 1e-12);
        const bool loud = db > -50.0;
        const bool silent = db < -65.0;
        if (loud && !inWord && (out.empty() || quiet >= 10)) {
            out.push_back(static_cast<int64_t>(at));
            inWord = true;
        }
        if (silent) {
            ++quiet;
            inWord = false;
        } else if (loud) {
            quiet = 0;
        }
    }
    return out;
}

TEST(RecordedVoice, WordsStartWithinAFrameOfWhereTheyAreHeard) {
    const std::string folder = "/usr/share/sounds/alsa/";
    const char* const names[] = {"Front_Left", "Front_Right", "Front_Center", "Rear_Left",
                                 "Rear_Right", "Rear_Center", "Side_Left",    "Side_Right"};
    if (!std::filesystem::exists(folder + names[0] + ".wav")) GTEST_SKIP() << "alsa-utils' voice is not installed";
    int checked = 0;
    double worst = 0;
    for (const char* name : names) {
        SoundData sound;
        std::string error;
        ASSERT_TRUE(LoadSoundHeadless(folder + name + ".wav", sound, error)) << error;
        const std::vector<float> mono = MonoMix(sound, 0, sound.NumSamples);
        const int32_t rate = sound.WavFormat.nSamplesPerSec;
        const std::vector<int64_t> onsets = Onsets(mono, rate);
        if (onsets.size() != 2) continue;   // no silence between the words to read them by
        std::string text = name;
        text[text.find('_')] = ' ';
        DialogueRequest request;
        request.mono = &mono;
        request.sampleRate = rate;
        request.soundFrames = sound.NumSamples;
        request.text = text;
        const DialogueResult result = BreakDownDialogue(request);
        ASSERT_EQ(result.outcome, DialogueResult::Outcome::Aligned) << name;
        const auto words = result.breakdown.WordItems();
        ASSERT_EQ(words.size(), 2u) << name;
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(words[i].kind, "") << name;
            const double error = std::abs(static_cast<double>(words[i].start - onsets[i])) * 1000.0 / rate;
            worst = std::max(worst, error);
            EXPECT_LE(error, 1000.0 / 24.0) << name << " " << words[i].text;
            std::printf("  %-12s %-6s heard at %6.1f ms, starts at %6.1f ms\n", name, words[i].text.c_str(),
                        static_cast<double>(words[i].start) * 1000.0 / rate, static_cast<double>(onsets[i]) * 1000.0 / rate);
        }
        ++checked;
    }
    std::printf("  %d recordings, worst word start %.1f ms from where it is heard\n", checked, worst);
    EXPECT_GE(checked, 6);
}

} // namespace
} // namespace zv
