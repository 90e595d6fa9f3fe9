// Beats found on loops made at test time, against the times they were made
// from: the tempo within 0.5 BPM, at least 95 % of the beats within a frame
// at 24 fps and at most 5 % extra. Each loop's figures are printed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "BeatLoops.h"
#include "TestSounds.h"
#include "beats/BeatAnalysis.h"
#include "cli/HeadlessSound.h"
#include "sound/MonoMix.h"

namespace zv {
namespace {

using test::Loop;
using test::LoopSpec;

struct Score {
    int hits = 0;       // true beats with a found beat within a frame
    int extras = 0;     // found beats within a frame of no true beat
    double worstMs = 0; // the largest miss among the hits
};

Score Compare(const BeatAnalysis& found, const std::vector<double>& truth, int32_t rate) {
    Score score;
    std::vector<bool> taken(truth.size(), false);
    for (const Beat& b : found.beats) {
        const double at = static_cast<double>(b.sample) / rate;
        const auto it = std::lower_bound(truth.begin(), truth.end(), at);
        std::size_t best = truth.size();
        for (auto c : {it, it == truth.begin() ? it : it - 1})
            if (c != truth.end() && (best == truth.size() || std::fabs(*c - at) < std::fabs(truth[best] - at)))
                best = static_cast<std::size_t>(c - truth.begin());
        if (best < truth.size() && !taken[best] && std::fabs(truth[best] - at) <= 1.0 / 24) {
            taken[best] = true;
            ++score.hits;
            score.worstMs = std::max(score.worstMs, std::fabs(truth[best] - at) * 1000);
        } else {
            ++score.extras;
        }
    }
    return score;
}

// Runs one loop, prints its figures and checks them; the true beat's
// number in the bar is checked too when `bars` is set.
void ExpectFound(const std::string& name, const LoopSpec& recipe, bool bars = true) {
    const Loop loop = test::MakeLoop(recipe);
    const auto found = FindBeats(loop.mono.data(), loop.mono.size(), recipe.sampleRate, 0, {});
    ASSERT_TRUE(found);
    const Score score = Compare(*found, loop.beatSeconds, recipe.sampleRate);
    const double truthBpm = recipe.drift == 0 ? recipe.bpm : 0;
    std::printf("  %-24s %7.2f BPM (error %+.3f)  hits %3d/%-3zu (%5.1f %%)  extras %d  worst %4.1f ms%s\n",
                name.c_str(), found->bpm, truthBpm ? found->bpm - truthBpm : 0.0, score.hits,
                loop.beatSeconds.size(), 100.0 * score.hits / static_cast<double>(loop.beatSeconds.size()),
                score.extras, score.worstMs, found->tempoMap ? "  tempo map" : "");
    ASSERT_TRUE(found->steady) << name;
    if (truthBpm) {
        EXPECT_NEAR(found->bpm, truthBpm, 0.5) << name;
    }
    EXPECT_GE(score.hits, 0.95 * static_cast<double>(loop.beatSeconds.size())) << name;
    EXPECT_LE(score.extras, 0.05 * static_cast<double>(loop.beatSeconds.size())) << name;
    if (bars) {
        // Every true downbeat that was found is beat 1 (the loops are accented on it).
        for (const Beat& b : found->beats) {
            const double at = static_cast<double>(b.sample) / recipe.sampleRate;
            for (std::size_t k = 0; k < loop.beatSeconds.size(); k += 4)
                if (std::fabs(loop.beatSeconds[k] - at) <= 1.0 / 24) {
                    EXPECT_EQ(b.beat, 1) << name << " at " << at;
                }
        }
    }
}

TEST(FindBeats, DrumLoopsAcrossTempiOffsetsAndRates) {
    const double tempi[] = {90, 100, 128, 140, 175, 123.4};
    const double offsets[] = {0, 0.173, 0.61};
    uint32_t seed = 1;
    for (const double bpm : tempi) {
        for (const double offset : offsets) {
            LoopSpec recipe;
            recipe.bpm = bpm;
            recipe.seconds = 14;
            recipe.offsetSeconds = offset;
            recipe.sampleRate = seed % 2 ? 44100 : 48000;
            recipe.seed = seed++;
            char name[64];
            std::snprintf(name, sizeof name, "%g BPM +%.3f s @%d", bpm, offset, recipe.sampleRate);
            ExpectFound(name, recipe);
        }
    }
}

TEST(FindBeats, SwungAndSoftLoops) {
    for (const double bpm : {90.0, 128.0, 175.0}) {
        LoopSpec swung;
        swung.bpm = bpm;
        swung.swing = true;
        swung.offsetSeconds = 0.29;
        ExpectFound("swung " + std::to_string(static_cast<int>(bpm)), swung);
        LoopSpec soft;
        soft.bpm = bpm;
        soft.soft = true;
        soft.offsetSeconds = 0.11;
        soft.sampleRate = 48000;
        ExpectFound("soft " + std::to_string(static_cast<int>(bpm)), soft);
    }
}

TEST(FindBeats, ADriftingTempoIsFollowedAndSaidSo) {
    LoopSpec drifting;
    drifting.bpm = 120;
    drifting.drift = 0.06;
    drifting.seconds = 40;
    const Loop loop = test::MakeLoop(drifting);
    ExpectFound("drifting 120 -> 127.2", drifting);
    const auto found = FindBeats(loop.mono.data(), loop.mono.size(), drifting.sampleRate, 0, {});
    EXPECT_TRUE(found->tempoMap);
    EXPECT_NEAR(found->slowestBpm, 120, 2);
    EXPECT_NEAR(found->fastestBpm, 127.2, 2);
    // A drift below 2 % stays one tempo.
    LoopSpec steady = drifting;
    steady.drift = 0.008;
    const Loop nearly = test::MakeLoop(steady);
    const auto one = FindBeats(nearly.mono.data(), nearly.mono.size(), steady.sampleRate, 0, {});
    ASSERT_TRUE(one && one->steady);
    EXPECT_FALSE(one->tempoMap);
    EXPECT_EQ(one->slowestBpm, one->bpm);
}

TEST(FindBeats, NoSteadyBeatInSilenceNoiseOrScatteredHits) {
    const std::vector<float> silence(44100 * 8, 0.0f);
    const std::vector<float> noise = test::MakeNoise(15, 44100, 0.5, 7);
    // Clicks at random times, 80 to 900 ms apart.
    std::vector<float> scattered(44100 * 20, 0.0f);
    std::mt19937 random(5);
    int clicks = 0;
    for (double at = 0.2; at < 19; at += std::uniform_real_distribution<double>(0.08, 0.9)(random), ++clicks)
        for (int i = 0; i < 2000; ++i)
            scattered[static_cast<std::size_t>(at * 44100) + static_cast<std::size_t>(i)] +=
                static_cast<float>(0.8 * std::exp(-i / 300.0) * std::sin(i * 0.3));
    for (const auto& [name, sound] : {std::pair{"silence", &silence}, {"noise", &noise}, {"scattered", &scattered}}) {
        const auto found = FindBeats(sound->data(), sound->size(), 44100, 0, {});
        ASSERT_TRUE(found) << name;
        EXPECT_FALSE(found->steady) << name;
        EXPECT_TRUE(found->beats.empty()) << name;
        std::printf("  %-10s no steady beat; %zu onsets\n", name, found->onsets.size());
    }
    // Nor with a typed tempo.
    BeatOptions typed;
    typed.bpm = 120;
    EXPECT_FALSE(FindBeats(noise.data(), noise.size(), 44100, 0, typed)->steady);
    EXPECT_FALSE(FindBeats(scattered.data(), scattered.size(), 44100, 0, typed)->steady);
    // The scattered clicks' onsets are still there to be marked.
    const auto found = FindBeats(scattered.data(), scattered.size(), 44100, 0, {});
    EXPECT_GE(static_cast<int>(found->onsets.size()), clicks * 9 / 10);
    EXPECT_FALSE(FindBeats(nullptr, 0, 44100, 0, {})->steady);
    // Samples that are no numbers (a broken float file) are read as silence.
    const std::vector<float> broken(44100 * 4, std::nanf(""));
    EXPECT_FALSE(FindBeats(broken.data(), broken.size(), 44100, 0, {})->steady);
    EXPECT_FALSE(FindBeats(noise.data(), noise.size(), 500, 0, {})->steady);   // below 1000 Hz
}

TEST(FindBeats, ATypedTempoFitsThePhaseOnly) {
    LoopSpec recipe;
    recipe.bpm = 128;
    recipe.offsetSeconds = 0.31;
    const Loop loop = test::MakeLoop(recipe);
    // One onset pass; the beats placed again for each tempo.
    const auto curve = ReadOnsets(loop.mono.data(), loop.mono.size(), recipe.sampleRate);
    ASSERT_TRUE(curve);
    BeatOptions options;
    options.bpm = 128;
    const BeatAnalysis typed = PlaceBeats(*curve, 0, options);
    ASSERT_TRUE(typed.steady);
    EXPECT_EQ(typed.bpm, 128);
    EXPECT_GE(Compare(typed, loop.beatSeconds, recipe.sampleRate).hits, 0.95 * static_cast<double>(loop.beatSeconds.size()));
    // Consecutive beats a period apart, to the sample's rounding.
    for (std::size_t i = 1; i < typed.beats.size(); ++i)
        EXPECT_NEAR(static_cast<double>(typed.beats[i].sample - typed.beats[i - 1].sample), 44100 * 60 / 128.0, 1.0);
    // Halved, every other beat; doubled, every beat and the half-beats.
    options.bpm = 64;
    const BeatAnalysis halved = PlaceBeats(*curve, 0, options);
    const Score half = Compare(halved, loop.beatSeconds, recipe.sampleRate);
    EXPECT_GE(half.hits, 0.45 * static_cast<double>(loop.beatSeconds.size()));
    EXPECT_EQ(half.extras, 0);
    options.bpm = 256;
    const Score twice = Compare(PlaceBeats(*curve, 0, options), loop.beatSeconds, recipe.sampleRate);
    EXPECT_GE(twice.hits, 0.95 * static_cast<double>(loop.beatSeconds.size()));
    EXPECT_NEAR(twice.extras, twice.hits, 2);
    // A tempo outside 20-400 BPM is not taken.
    options.bpm = 500;
    EXPECT_FALSE(PlaceBeats(*curve, 0, options).steady);
}

TEST(FindBeats, BarsFromTheDownbeatAndTheStretchsPlace) {
    std::vector<Beat> beats(7);
    NumberBars(beats, 3, 2);
    const int bars[] = {0, 0, 1, 1, 1, 2, 2}, numbers[] = {2, 3, 1, 2, 3, 1, 2};
    for (std::size_t i = 0; i < beats.size(); ++i) {
        EXPECT_EQ(beats[i].bar, bars[i]) << i;
        EXPECT_EQ(beats[i].beat, numbers[i]) << i;
    }

    LoopSpec recipe;
    recipe.bpm = 100;
    recipe.seconds = 12;
    const Loop loop = test::MakeLoop(recipe);
    BeatOptions options;
    const int64_t first = 1'000'000;   // a selection's start
    options.downbeatSample = first + static_cast<int64_t>(loop.beatSeconds[5] * 44100) + 900;   // near the sixth beat
    options.beatsPerBar = 3;
    const auto found = FindBeats(loop.mono.data(), loop.mono.size(), 44100, first, options);
    ASSERT_TRUE(found && found->steady);
    for (const Beat& b : found->beats) {
        const double at = static_cast<double>(b.sample - first) / 44100;
        const auto k = static_cast<std::size_t>(std::lround((at - loop.beatSeconds[0]) * 100 / 60));   // 0.6 s a beat
        EXPECT_NEAR(at, loop.beatSeconds[k], 1.0 / 24);
        EXPECT_EQ(b.beat, static_cast<int>((k + 3 - 5 % 3) % 3) + 1) << k;
    }
    const std::vector<TrackItem> items = BeatItems(*found);
    ASSERT_EQ(items.size(), found->beats.size());
    EXPECT_EQ(items[5].text, "1.1");
    EXPECT_EQ(items[0].text, "-1.2");
    EXPECT_EQ(items[5].kind, "downbeat");
    EXPECT_EQ(items[6].kind, "beat");
    EXPECT_TRUE(items[0].IsPoint());
    for (const TrackItem& onset : OnsetItems(*found)) EXPECT_GE(onset.start, first);
}

TEST(FindBeats, ReportsProgressAndStopsWhenCancelled) {
    LoopSpec recipe;
    recipe.seconds = 6;
    const Loop loop = test::MakeLoop(recipe);
    JobProgress progress;
    ASSERT_TRUE(FindBeats(loop.mono.data(), loop.mono.size(), 44100, 0, {}, &progress));
    EXPECT_EQ(progress.Done(), static_cast<int64_t>(loop.mono.size()));
    EXPECT_EQ(progress.Total(), static_cast<int64_t>(loop.mono.size()));
    progress.Cancel();
    EXPECT_FALSE(FindBeats(loop.mono.data(), loop.mono.size(), 44100, 0, {}, &progress));
}

// Music from another synthesizer: sox's plucked strings and square waves,
// a note a beat, no drums. Skipped where sox is missing.
TEST(FindBeats, MusicMadeBySox) {
    if (std::system("sox --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no sox";
    test::TempDir dir;
    struct Piece {
        const char* name;
        double bpm;
        std::string synth;   // one note's sox effects, %s the note
    };
    const Piece pieces[] = {{"pluck 120", 120, "synth 0.5 pluck %s vol 0.6"},
                            {"square 96", 96, "synth 0.625 square %s fade t 0.01 0.625 0.2 vol 0.3"}};
    const char* notes[] = {"C3", "E3", "G3", "C4", "A2", "C3", "E3", "A3", "F2", "A2", "C3", "F3", "G2", "B2", "D3", "G3"};
    for (const Piece& piece : pieces) {
        std::string files;
        for (int i = 0; i < 48; ++i) {
            const std::string note = dir.File("n" + std::to_string(i) + ".wav");
            char effects[128];
            std::snprintf(effects, sizeof effects, piece.synth.c_str(), notes[i % 16]);
            ASSERT_EQ(std::system(("sox -n -r 44100 -b 16 -c 1 " + note + " " + effects).c_str()), 0);
            files += " " + note;
        }
        const std::string whole = dir.File("piece.wav");
        ASSERT_EQ(std::system(("sox" + files + " " + whole + " pad 0.25 0").c_str()), 0);
        SoundData sound;
        std::string reason;
        ASSERT_TRUE(LoadSoundHeadless(whole, sound, reason)) << reason;
        const std::vector<float> mono = MonoMix(sound, 0, sound.NumSamples);
        const auto found = FindBeats(mono.data(), mono.size(), 44100, 0, {});
        ASSERT_TRUE(found && found->steady) << piece.name;
        std::vector<double> truth;
        for (int i = 0; i < 48; ++i) truth.push_back(0.25 + i * 60 / piece.bpm);
        const Score score = Compare(*found, truth, 44100);
        std::printf("  %-10s %7.2f BPM (error %+.3f)  hits %d/48  extras %d  worst %4.1f ms\n", piece.name, found->bpm,
                    found->bpm - piece.bpm, score.hits, score.extras, score.worstMs);
        EXPECT_NEAR(found->bpm, piece.bpm, 0.5) << piece.name;
        EXPECT_GE(score.hits, 46) << piece.name;
        EXPECT_LE(score.extras, 2) << piece.name;
    }
}

} // namespace
} // namespace zv
