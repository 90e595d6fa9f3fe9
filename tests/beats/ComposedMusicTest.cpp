// Beats found on music composed here and played by fluidsynth (skipped
// where it is not installed): the beats within a frame at 24 fps, the tempo
// level, the meter and bar 1, for the kinds of music the loops do not
// cover: a kick and snare with quiet off-beat hats (90-175 BPM), a slow
// shuffle, a fast waltz, soft
// string chords with no drums, a pickup before bar 1 and an accelerando.
// The benchmark scores the whole set; these keep a few short pieces.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "BeatScore.h"
#include "ComposedPiece.h"
#include "RenderedPiece.h"
#include "beats/BeatAnalysis.h"
#include "beats/BeatPointerHmm.h"
#include "beats/FramesPerBeat.h"

namespace zv {
namespace {

using test::PieceRecipe;

// Renderings are slow: they are kept between runs outside the sources.
const std::string kFolder = (std::filesystem::temp_directory_path() / "zorvane-rendered-music").string();

struct Found {
    BeatAnalysis analysis;
    double beatF = 0, downbeatF = 0;
    std::string level;
};

Found FindIn(const test::RenderedPiece& piece) {
    Found found;
    const auto analysis = FindBeats(piece.mono.data(), piece.mono.size(), piece.sampleRate, 0, {});
    if (!analysis) return found;
    found.analysis = *analysis;
    std::vector<double> beats, downbeats;
    for (const Beat& b : analysis->beats) {
        const double at = static_cast<double>(b.sample) / piece.sampleRate;
        beats.push_back(at);
        if (b.beat == 1) downbeats.push_back(at);
    }
    found.beatF = test::FMeasure(beats, piece.beatSeconds);
    found.downbeatF = test::FMeasure(downbeats, piece.downbeatSeconds);
    found.level = test::TempoLevel(beats, piece.beatSeconds);
    std::printf("  %-22s beats F %.3f  downbeats F %.3f  level %-6s  %s\n", piece.recipe.name.c_str(), found.beatF,
                found.downbeatF, found.level.c_str(), BeatReadout(*analysis, 24).c_str());
    return found;
}

#define SKIP_WITHOUT_RENDERER() \
    if (!test::CanRender()) GTEST_SKIP() << "fluidsynth or the FluidR3_GM soundfont is not installed"

TEST(ComposedMusic, KickAndSnareWithQuietOffBeatHatsAcrossTempi) {
    SKIP_WITHOUT_RENDERER();
    // 160-175: the snare on every beat read at half the tempo is a backbeat.
    for (const double bpm : {90.0, 100.0, 128.0, 160.0, 175.0}) {
        PieceRecipe recipe{"hats-off-beat-" + std::to_string(static_cast<int>(bpm)), "hip-hop", "4/4", bpm, bpm, 0, 8};
        const test::RenderedPiece piece = test::Render(recipe, kFolder);
        ASSERT_FALSE(piece.mono.empty()) << piece.error;
        const Found found = FindIn(piece);
        ASSERT_TRUE(found.analysis.steady) << recipe.name;
        EXPECT_EQ(found.level, "right") << recipe.name;
        EXPECT_GE(found.beatF, 0.95) << recipe.name;
        EXPECT_GE(found.downbeatF, 0.9) << recipe.name;
        EXPECT_EQ(found.analysis.meter, "4/4") << recipe.name;
    }
}

TEST(ComposedMusic, ASlowShuffleIsFourBeatsABarNotSixEight) {
    SKIP_WITHOUT_RENDERER();
    // Swung eighths strike the second third of each beat only; its kick
    // falls on 1 and 3 alike.
    const test::RenderedPiece piece = test::Render({"shuffle-short-84", "shuffle", "4/4", 84, 84, 0, 8, false, false, 8}, kFolder);
    ASSERT_FALSE(piece.mono.empty()) << piece.error;
    const Found found = FindIn(piece);
    EXPECT_EQ(found.level, "right");
    EXPECT_GE(found.beatF, 0.95);
    EXPECT_EQ(found.analysis.meter, "4/4");
    EXPECT_GE(found.downbeatF, 0.9);
}

TEST(ComposedMusic, AFastWaltzIsCountedInThreesFromItsBass) {
    SKIP_WITHOUT_RENDERER();
    const test::RenderedPiece piece = test::Render({"waltz-short-153", "waltz", "3/4", 153, 153, 0, 14, false, false, 11}, kFolder);
    ASSERT_FALSE(piece.mono.empty()) << piece.error;
    const Found found = FindIn(piece);
    EXPECT_EQ(found.level, "right");
    EXPECT_GE(found.beatF, 0.95);
    EXPECT_EQ(found.analysis.meter, "3/4");
    EXPECT_EQ(found.analysis.beatsPerBar, 3);
    EXPECT_GE(found.downbeatF, 0.9);
}

TEST(ComposedMusic, SoftStringChordsOnTheBeatAreFoundOnIt) {
    SKIP_WITHOUT_RENDERER();
    const test::RenderedPiece piece = test::Render({"strings-short-92", "strings", "4/4", 92, 92, 0, 8, false, false, 19}, kFolder);
    ASSERT_FALSE(piece.mono.empty()) << piece.error;
    const Found found = FindIn(piece);
    ASSERT_TRUE(found.analysis.steady);
    EXPECT_EQ(found.level, "right");
    EXPECT_GE(found.beatF, 0.85);   // bowed attacks swell: a few land just outside a frame
    EXPECT_GE(found.downbeatF, 0.85);
}

TEST(ComposedMusic, APickupBeatIsNumberedBeforeBarOne) {
    SKIP_WITHOUT_RENDERER();
    const test::RenderedPiece piece = test::Render({"pickup-short-110", "pickup", "4/4", 110, 110, 0, 8, true, false, 21}, kFolder);
    ASSERT_FALSE(piece.mono.empty()) << piece.error;
    const Found found = FindIn(piece);
    ASSERT_TRUE(found.analysis.steady);
    EXPECT_GE(found.beatF, 0.95);
    EXPECT_GE(found.downbeatF, 0.9);
    // The first beat found is the pickup: bar 0, beat 4.
    ASSERT_FALSE(found.analysis.beats.empty());
    const Beat& first = found.analysis.beats.front();
    EXPECT_NEAR(static_cast<double>(first.sample) / piece.sampleRate, piece.beatSeconds.front(), test::kOneFrameAt24);
    EXPECT_EQ(first.bar, 0);
    EXPECT_EQ(first.beat, 4);
}

TEST(ComposedMusic, AnAccelerandoIsFollowedBeatByBeat) {
    SKIP_WITHOUT_RENDERER();
    const test::RenderedPiece piece =
        test::Render({"accelerando-short", "accelerando", "4/4", 120, 150, 0, 12, false, false, 22}, kFolder);
    ASSERT_FALSE(piece.mono.empty()) << piece.error;
    const Found found = FindIn(piece);
    ASSERT_TRUE(found.analysis.steady);
    EXPECT_GE(found.beatF, 0.9);
    EXPECT_TRUE(found.analysis.tempoMap);
    EXPECT_NEAR(found.analysis.slowestBpm, 120, 6);
    EXPECT_NEAR(found.analysis.fastestBpm, 150, 6);
    // Every beat is sure: the whole piece is played.
    for (const Beat& b : found.analysis.beats) EXPECT_GE(b.confidence, kSureBeat);
}

TEST(BeatPointerHmm, FollowsASuddenTempoChangeAndIgnoresAStrayHit) {
    // Pulses every 50 frames, then every 36 from frame 1000; a stray hit
    // between two beats.
    std::vector<float> activation(2000, 0.02f);
    std::vector<double> truth;
    for (int t = 0; t < 1000; t += 50) truth.push_back(t);
    for (int t = 1000; t < 2000; t += 36) truth.push_back(t);
    for (const double t : truth) activation[static_cast<std::size_t>(t)] = 0.9f;
    activation[1025 + 18] = 0.9f;   // ... not at a beat
    const BeatPath path = DecodeBeats(activation, 30, 60);
    std::size_t matched = 0;
    for (const double t : truth)
        for (const double b : path.beats)
            if (std::fabs(b - t) <= 1) ++matched;
    EXPECT_GE(matched, truth.size() - 1);
    EXPECT_LE(path.beats.size(), truth.size() + 1);
    EXPECT_TRUE(DecodeBeats({}, 30, 60).beats.empty());
    EXPECT_TRUE(DecodeBeats(activation, 60, 30).beats.empty());
}

} // namespace
} // namespace zv
