// Two characters in one sound: two espeak-ng voices' lines joined with
// pauses, and with the second voice starting 120-150 ms before the first
// one stops. The named script is aligned over the whole sound and each
// character's word starts are compared with where they were spoken.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "dialogue/DialogueScript.h"
#include "dialogue/MadeSpeech.h"
#include "dialogue/ScriptBreakdown.h"

namespace zv {
namespace {

using test::MadeSpeech;
using test::SpeakLine;

struct Said {
    const char* who;
    const char* voice;
    int wpm;
    const char* text;
};

struct Scene {
    std::vector<float> mono;
    int32_t sampleRate = 0;
    std::string script;
    std::vector<std::pair<std::string, double>> starts;   // (speaker, ms) of each word, script order; -1 unknown
};

// The lines one after another; each starts `overlapMs` before the one
// before it has stopped speaking (0: after its 400 ms of quiet and the
// next one's own 400 ms).
Scene Join(const std::vector<Said>& lines, double overlapMs) {
    constexpr double kQuietMs = 400;   // MadeSpeech's quiet before and after a line
    Scene scene;
    double speechEndMs = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const MadeSpeech made = SpeakLine(lines[i].text, "en", lines[i].voice, lines[i].wpm);
        if (made.mono.empty()) return {};
        scene.sampleRate = made.sampleRate;
        double offsetMs = 1000.0 * static_cast<double>(scene.mono.size()) / made.sampleRate;
        if (i > 0 && overlapMs > 0) offsetMs = speechEndMs - overlapMs - kQuietMs;
        const auto offset = static_cast<std::size_t>(std::llround(offsetMs * made.sampleRate / 1000.0));
        scene.mono.resize(std::max(scene.mono.size(), offset + made.mono.size()), 0.0f);
        for (std::size_t k = 0; k < made.mono.size(); ++k) scene.mono[offset + k] += made.mono[k];
        // Where this line's speech stops: its last sample above the hiss.
        std::size_t last = made.mono.size();
        while (last > 0 && std::abs(made.mono[last - 1]) < 0.01f) --last;
        speechEndMs = offsetMs + 1000.0 * static_cast<double>(last) / made.sampleRate;
        scene.script += std::string(lines[i].who) + ": " + lines[i].text + "\n";
        for (double ms : made.startsMs) scene.starts.push_back({lines[i].who, ms < 0 ? -1.0 : ms + offsetMs});
    }
    return scene;
}

struct Figures {
    int total = 0, withinOne = 0;
    double sumMs = 0, worstMs = 0;
    double Percent() const { return total > 0 ? 100.0 * withinOne / total : 0.0; }
};

Figures Measure(const Scene& scene, const char* label) {
    const double frameMs = 1000.0 / 24.0;
    Figures f;
    const DialogueScript script = DialogueScript::Parse(scene.script, true);
    EXPECT_TRUE(script.Named());
    DialogueRequest request;
    request.mono = &scene.mono;
    request.sampleRate = scene.sampleRate;
    request.soundFrames = static_cast<int64_t>(scene.mono.size());
    request.language = "en";
    const ScriptResult result = BreakDownScript(script, request);
    EXPECT_EQ(result.result.outcome, DialogueResult::Outcome::Aligned) << result.result.message;
    for (const SpeakerBreakdown& speaker : result.speakers) {
        std::vector<double> truth;
        for (const auto& [who, ms] : scene.starts)
            if (who == speaker.name) truth.push_back(ms);
        const std::vector<TrackItem> words = speaker.breakdown.WordItems();
        EXPECT_EQ(words.size(), truth.size()) << speaker.name;
        for (std::size_t i = 0; i < words.size() && i < truth.size(); ++i) {
            if (truth[i] < 0) continue;
            const double ms = 1000.0 * static_cast<double>(words[i].start) / scene.sampleRate;
            const double error = std::abs(ms - truth[i]);
            ++f.total;
            f.sumMs += error;
            f.worstMs = std::max(f.worstMs, error);
            f.withinOne += error <= frameMs ? 1 : 0;
            if (error > frameMs)
                std::printf("    %s %-12s heard at %7.1f ms, spoken at %7.1f ms\n", speaker.name.c_str(),
                            words[i].text.c_str(), ms, truth[i]);
        }
    }
    std::printf("  %s: %d words, %.1f %% within one frame at 24 fps, mean %.1f ms, worst %.1f ms\n", label, f.total,
                f.Percent(), f.total > 0 ? f.sumMs / f.total : 0.0, f.worstMs);
    return f;
}

const std::vector<Said> kKitchen = {
    {"Ann", "en-us", 175, "Where did you put the keys to the old truck?"},
    {"Bob", "en+m3", 160, "They are hanging by the back door, next to my coat."},
    {"Ann", "en-us", 175, "I looked there twice this morning."},
    {"Bob", "en+m3", 160, "Then check the pocket of your blue jacket."},
};
const std::vector<Said> kStation = {
    {"Mira", "en+f3", 190, "The last train leaves in ten minutes."},
    {"Otto", "en-us+m2", 170, "We will never make it with these bags."},
    {"Mira", "en+f3", 190, "Leave the big one here and run with me."},
    {"Otto", "en-us+m2", 170, "Fine, but you are carrying the small one."},
};

TEST(TwoVoiceAccuracy, EachCharactersWordStartsFallWithinAFrameAsForOneSpeaker) {
    Figures all;
    for (const auto& [lines, overlap, label] :
         {std::tuple{kKitchen, 0.0, "kitchen, pauses"}, std::tuple{kStation, 0.0, "station, pauses"},
          std::tuple{kKitchen, 120.0, "kitchen, 120 ms overlaps"}, std::tuple{kStation, 150.0, "station, 150 ms overlaps"}}) {
        const Scene scene = Join(lines, overlap);
        ASSERT_FALSE(scene.mono.empty());
        const Figures f = Measure(scene, label);
        EXPECT_GE(f.Percent(), 90.0) << label;
        // A line begun under the other voice was once held back until that
        // voice stopped: its first words up to 152 ms late.
        EXPECT_LE(f.worstMs, 3 * 1000.0 / 24.0) << label;
        all.total += f.total;
        all.withinOne += f.withinOne;
        all.sumMs += f.sumMs;
        all.worstMs = std::max(all.worstMs, f.worstMs);
    }
    std::printf("  two voices together: %d words, %.1f %% within one frame, mean %.1f ms, worst %.1f ms\n", all.total,
                all.Percent(), all.total > 0 ? all.sumMs / all.total : 0.0, all.worstMs);
    // What was verified: 100 and 96.9 % with pauses, 94.3 and 93.8 % with
    // 120 and 150 ms overlaps, 96.3 % of 134 words together, mean 13.1 ms,
    // worst 77 ms. Before a line begun under the other voice was heard again
    // alone, the overlaps gave 94.3 and 90.6 %, "We will" 131 and 138 ms
    // late, and 88.6-91.4 and 87.5-90.6 % in earlier runs, up to 152 ms.
    ASSERT_GT(all.total, 100);
    EXPECT_GE(all.Percent(), 90.0);
}

} // namespace
} // namespace zv
