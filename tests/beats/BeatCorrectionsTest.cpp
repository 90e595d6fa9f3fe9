// What the window's beat corrections stand on: the Beats track read back
// (its tempo worked out from the beats alone, the bars the user set, a
// drifting tempo seen as one), Snap to Beats, and Tap Tempo's averaging.
#include <gtest/gtest.h>

#include <cmath>

#include "beats/BeatSnap.h"
#include "beats/BeatTrack.h"
#include "beats/FramesPerBeat.h"
#include "beats/TapTempo.h"

namespace zv {
namespace {

// Beats at `bpm` from sample `first`, numbered in bars of `perBar` from
// beat `downbeat`, as the Beats track keeps them.
std::vector<TrackItem> Grid(double bpm, int32_t rate, int count, int perBar, std::size_t downbeat,
                            int64_t first = 0, double drift = 0) {
    BeatAnalysis a;
    a.sampleRate = rate;
    double at = static_cast<double>(first);
    for (int i = 0; i < count; ++i) {
        a.beats.push_back({std::llround(at), 0, 0});
        const double tempo = bpm * (1 + drift * i / static_cast<double>(count));
        at += 60.0 * rate / tempo;
    }
    NumberBars(a.beats, perBar, downbeat);
    return BeatItems(a);
}

TEST(BeatTrack, TheTrackReadBackGivesTheTempoBarsAndDriftItWasMadeWith) {
    // 128 BPM in threes, bar 1 on the third beat: the readout is exact at
    // 24 and 29.97 fps, and the bars stay where the user put them.
    std::vector<TrackItem> items = Grid(128, 44100, 40, 3, 2, 1000);
    items.push_back({5000, 9000, "a range", ""});   // not a beat: left out
    const BeatAnalysis a = AnalysisOfBeatItems(items, 44100);
    ASSERT_TRUE(a.steady);
    EXPECT_EQ(a.beats.size(), 40u);
    EXPECT_EQ(a.beatsPerBar, 3);
    EXPECT_FALSE(a.tempoMap);
    EXPECT_EQ(BeatReadout(a, FrameRate(24)), "3/4 · 128.00 BPM · 11.25 frames a beat (45/4) at 24 fps");
    EXPECT_EQ(BeatReadout(a, FrameRate::Fraction(30000, 1001)), "3/4 · 128.00 BPM · 14.05 frames a beat (28125/2002) at 29.97 fps");
    const BeatOptions kept = KeptBarOptions(a);
    EXPECT_EQ(kept.beatsPerBar, 3);
    ASSERT_TRUE(kept.downbeatSample);
    EXPECT_EQ(*kept.downbeatSample, a.beats[2].sample);

    // A tempo that speeds up by 10 % over the piece is a tempo map.
    const BeatAnalysis drifting = AnalysisOfBeatItems(Grid(100, 48000, 64, 4, 0, 0, 0.10), 48000);
    EXPECT_TRUE(drifting.tempoMap);
    EXPECT_LT(drifting.slowestBpm, drifting.fastestBpm);

    // One beat gives no tempo; garbage texts are not beats.
    EXPECT_FALSE(AnalysisOfBeatItems({{10, 10, "1.1", "downbeat"}}, 44100).steady);
    EXPECT_TRUE(AnalysisOfBeatItems({{10, 10, "x.1", ""}, {20, 20, "1.", ""}, {30, 30, "1.99", ""}}, 44100)
                    .beats.empty());
}

TEST(BeatTrack, AGridLaidAtTheUsersTempoKeepsBarOneOnItsAnchor) {
    // 120 BPM at 44.1 kHz: a beat every 22050 samples, bar 1 at 1 s.
    const BeatAnalysis grid = LaidGrid(120, 44100, 100, 5 * 44100, 44100, 4);
    ASSERT_TRUE(grid.steady);
    ASSERT_EQ(grid.beats.size(), 9u);   // 22050 ... 198450: none before `from`
    EXPECT_EQ(grid.beats[0], (Beat{22050, 0, 4}));
    EXPECT_EQ(grid.beats[1], (Beat{44100, 1, 1}));
    EXPECT_EQ(grid.beats[5], (Beat{132300, 2, 1}));
    EXPECT_FALSE(LaidGrid(10, 0, 0, 44100, 44100, 4).steady);   // no such tempo
}

TEST(BeatTrack, TemposOutsideTheTypedRangeAreRefusedWithAMessage) {
    EXPECT_EQ(RefusedTempo(20), "");
    EXPECT_EQ(RefusedTempo(400), "");
    EXPECT_NE(RefusedTempo(19.99).find("from 20 to 400 BPM"), std::string::npos);
    EXPECT_NE(RefusedTempo(401).find("from 20 to 400 BPM"), std::string::npos);
    EXPECT_NE(RefusedTempo(std::nan("")), "");
}

TEST(BeatSnap, PlacesLandOnTheNearestBeatOrHalfBeatAlsoBeyondTheBeats) {
    const std::vector<int64_t> beats{1000, 2000, 3000, 4000};
    EXPECT_EQ(SnapToBeats(1200, beats), 1000);
    EXPECT_EQ(SnapToBeats(1300, beats), 1500);   // half-beat
    EXPECT_EQ(SnapToBeats(1760, beats), 2000);
    EXPECT_EQ(SnapToBeats(4000, beats), 4000);
    // Carried on past the ends at the beats' own spacing.
    EXPECT_EQ(SnapToBeats(5600, beats), 5500);
    EXPECT_EQ(SnapToBeats(100, beats), 0);
    EXPECT_EQ(SnapToBeats(700, beats), 500);
    // Nothing to snap to.
    EXPECT_EQ(SnapToBeats(1234, {}), 1234);
    EXPECT_EQ(SnapToBeats(1234, {777}), 777);
}

TEST(TapTempo, TapsAveragedAMissedTapIgnoredAndAPauseStartsAgain) {
    TapTempo taps;
    EXPECT_FALSE(taps.Tap(0));
    EXPECT_FALSE(taps.Tap(500));
    EXPECT_FALSE(taps.Tap(1000));
    ASSERT_TRUE(taps.Tap(1500));
    EXPECT_NEAR(*taps.Tap(2010), 120, 1.0);   // a late hand moves the mean only a little
    // A missed tap (a gap twice as long) does not halve the tempo.
    EXPECT_NEAR(*taps.Tap(3000), 120, 1.5);
    // A pause longer than two seconds is a new count.
    EXPECT_FALSE(taps.Tap(6000));
    EXPECT_EQ(taps.Taps(), 1u);
    taps.Tap(6400);
    taps.Tap(6800);
    EXPECT_NEAR(*taps.Tap(7200), 150, 0.01);
}

TEST(BeatTrack, ShiftingHalfABeatKeepsTheBarsAndTheSoundsEnd) {
    // 120 BPM at 48 kHz: a beat every 24000 samples from 6000, in fours.
    BeatAnalysis a = AnalysisOfBeatItems(Grid(120, 48000, 9, 4, 1, 6000), 48000);
    ShiftHalfBeat(a, 6000 + 24000 * 8 + 12000);   // the sound ends where the last beat would move
    ASSERT_EQ(a.beats.size(), 8u);
    for (std::size_t i = 0; i < a.beats.size(); ++i) EXPECT_EQ(a.beats[i].sample, 18000 + 24000 * static_cast<int64_t>(i)) << i;
    EXPECT_EQ(a.beats[1].bar, 1);
    EXPECT_EQ(a.beats[1].beat, 1);
    // Read back, it is still 120 BPM in fours, and the unsure beats stay unsure.
    std::vector<TrackItem> items = BeatItems(a);
    items[3].kind += " unsure";
    const BeatAnalysis back = AnalysisOfBeatItems(items, 48000);
    EXPECT_NEAR(back.bpm, 120, 1e-9);
    EXPECT_EQ(back.meter, "4/4");
    EXPECT_LT(back.beats[3].confidence, kSureBeat);
    EXPECT_EQ(back.beats[2].confidence, 1.0f);
    EXPECT_EQ(BeatItems(back)[3].kind, "beat unsure");
    // One beat has nothing to move by.
    BeatAnalysis one = a;
    one.beats.resize(1);
    ShiftHalfBeat(one, 1'000'000);
    EXPECT_EQ(one.beats[0].sample, 18000);
}

} // namespace
} // namespace zv
