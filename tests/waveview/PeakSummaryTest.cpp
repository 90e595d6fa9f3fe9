// The peak summary against a brute-force scan through the sample readers:
// every pixel column of several zooms, odd lengths, a partial last frame,
// 8- and 16-bit, one and two channels; its memory bound; and the peak
// drawing's columns cover exactly what they hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "TestSounds.h"
#include "jobs/JobThread.h"
#include "sound/SampleReaders.h"
#include "sound/SoundBytes.h"
#include "sound/WavBytes.h"
#include "sound/WavLoader.h"
#include "waveview/PeakRenderer.h"
#include "waveview/PeakSummary.h"
#include "waveview/SummaryDuringLoad.h"
#include "waveview/RecordingCanvas.h"
#include "waveview/WaveRenderer.h"

namespace zv {
namespace {

// Random bytes, with a few loud spikes so that extremes sit at odd places.
std::string Noise(std::size_t bytes, uint32_t seed) {
    std::mt19937 rng(seed);
    std::string out(bytes, '\0');
    for (auto& c : out) c = static_cast<char>(rng() % 97);  // quiet: small values
    for (int i = 0; i < 40 && bytes > 0; ++i) out[rng() % bytes] = static_cast<char>(rng());
    return out;
}

PeakSummary::Range BruteForce(const SoundData& s, int channel, int64_t from, int64_t to) {
    PeakSummary::Range r;
    for (int64_t f = from; f < to; ++f) {
        double a = 0, b = 0;
        if (s.Encoding != SampleEncoding::Legacy) {
            a = NormalizedSample(s, static_cast<int32_t>(f), 0);
            b = NormalizedSample(s, static_cast<int32_t>(f), 1);
        } else if (s.WavFormat.nChannels == 2) {
            if (s.WavFormat.wBitsPerSample == 16) ReadStereo16(s, static_cast<int32_t>(f), a, b);
            else ReadStereo8(s, static_cast<int32_t>(f), a, b);
        } else {
            if (s.WavFormat.wBitsPerSample == 16) ReadMono16(s, static_cast<int32_t>(f), a);
            else ReadMono8(s, static_cast<int32_t>(f), a);
        }
        const double v = channel == 0 ? a : b;
        r.Join({PeakSummary::Quantise(v, false), PeakSummary::Quantise(v, true)});
    }
    return r;
}

// Every column of a `columns`-wide box over the view [start, end), as the
// peak drawing splits it, against the brute-force scan.
void ExpectColumns(const SoundData& s, const PeakSummary& peaks, int64_t start, int64_t end, int columns) {
    const double per = static_cast<double>(end - start) / columns;
    int64_t from = start;
    for (int c = 0; c < columns; ++c) {
        const int64_t to = start + static_cast<int64_t>((c + 1) * per);
        for (int ch = 0; ch < peaks.Channels(); ++ch) {
            const PeakSummary::Range want = BruteForce(s, ch, from, to);
            const PeakSummary::Range got = peaks.Query(ch, from, to);
            ASSERT_EQ(got.low, want.low) << "column " << c << " channel " << ch << " frames " << from << ".." << to;
            ASSERT_EQ(got.high, want.high) << "column " << c << " channel " << ch << " frames " << from << ".." << to;
        }
        from = to;
    }
}

struct Layout {
    int16_t blockAlign, channels, bits;
};

TEST(PeakSummary, EveryColumnAtSeveralZoomsMatchesTheSamples) {
    // Odd lengths, and a data chunk that ends inside its last frame (that
    // frame's missing sample reads as the zero line).
    for (const Layout l : {Layout{4, 2, 16}, Layout{2, 1, 16}, Layout{1, 1, 8}, Layout{2, 2, 8}, Layout{6, 3, 16}}) {
        SCOPED_TRACE(testing::Message() << "align " << l.blockAlign << " channels " << l.channels << " bits " << l.bits);
        const std::size_t bytes = std::size_t{200'003} * static_cast<std::size_t>(l.blockAlign) - 1;
        const SoundData s = test::MakeSound(Noise(bytes, 7u + static_cast<uint32_t>(l.blockAlign)), l.blockAlign,
                                            l.channels, l.bits);
        PeakSummary peaks;
        peaks.Build(s);
        ASSERT_TRUE(peaks.Ready());
        ASSERT_EQ(peaks.Channels(), l.channels == 2 ? 2 : 1);
        ASSERT_GT(peaks.Levels(), 2);
        const int64_t n = s.NumSamples;
        ExpectColumns(s, peaks, 0, n, 601);          // the whole sound
        ExpectColumns(s, peaks, 0, n, 1920);
        ExpectColumns(s, peaks, 12'345, 98'765, 997);  // zoomed, boundaries off the blocks
        ExpectColumns(s, peaks, n - 5'000, n, 613);    // the end, with the partial frame
        ExpectColumns(s, peaks, 77, 277, 50);          // inside one or two blocks
        // Within 1/16 of the samples' memory.
        EXPECT_LE(peaks.Bytes() * 16, s.size());
    }
}

TEST(PeakSummary, WideAndFloatSamplesOfAnyChannelCountGiveTheirFirstTwoChannels) {
    struct Wide {
        SampleEncoding encoding;
        int16_t blockAlign, channels, bits;
    };
    for (const Wide w : {Wide{SampleEncoding::Int24, 18, 6, 24}, Wide{SampleEncoding::Float32, 4, 1, 32},
                         Wide{SampleEncoding::Int16, 12, 6, 16}}) {
        SCOPED_TRACE(testing::Message() << "align " << w.blockAlign << " bits " << w.bits);
        SoundData s = test::MakeSound(Noise(std::size_t{30'001} * static_cast<std::size_t>(w.blockAlign), 11),
                                      w.blockAlign, w.channels, w.bits);
        s.Encoding = w.encoding;
        PeakSummary peaks;
        peaks.Build(s);
        ASSERT_EQ(peaks.Channels(), w.channels >= 2 ? 2 : 1);
        ExpectColumns(s, peaks, 0, s.NumSamples, 601);
        ExpectColumns(s, peaks, 1'234, 9'876, 997);
    }
}

TEST(PeakSummary, ShortSoundsAndStretchesOutsideTheSound) {
    const SoundData s = test::MakeSound(Noise(4 * 7, 3), 4);   // 7 frames: one partial block
    PeakSummary peaks;
    peaks.Build(s);
    ExpectColumns(s, peaks, 0, 7, 3);
    EXPECT_TRUE(peaks.Query(0, 7, 100).Empty());
    EXPECT_TRUE(peaks.Query(0, 5, 5).Empty());
    EXPECT_TRUE(peaks.Query(2, 0, 7).Empty());   // no third channel
    const PeakSummary::Range clipped = peaks.Query(1, -50, 100);
    const PeakSummary::Range all = BruteForce(s, 1, 0, 7);
    EXPECT_EQ(clipped.low, all.low);
    EXPECT_EQ(clipped.high, all.high);

    SoundData unloaded = test::MakeSound(Noise(400, 4), 4);
    unloaded.WavLoaded = false;
    peaks.Build(unloaded);
    EXPECT_FALSE(peaks.Ready());
    EXPECT_TRUE(peaks.Query(0, 0, 100).Empty());
}

// A WAV file loaded as the window loads it: the summary made during the
// load's read, by a job on a thread of its own.
struct LoadedWithSummary {
    SoundData sound;
    PeakSummary peaks;
};

std::unique_ptr<LoadedWithSummary> LoadWithSummary(const std::string& path) {
    auto loaded = std::make_unique<LoadedWithSummary>();
    auto during = std::make_shared<SummaryDuringLoad>();
    auto job = std::make_unique<ResultJob<PeakSummary>>(
        [during](JobProgress& p, PeakSummary& out, std::string&) { return during->Build(p, out); });
    ResultJob<PeakSummary>* result = job.get();
    JobThread thread(std::move(job), {});
    const Report report = LoadWavFile(loaded->sound, path, during.get());
    during->LoadEnded();
    thread.Join();
    EXPECT_FALSE(report.Failed()) << report.Message();
    EXPECT_EQ(thread.Outcome(), JobOutcome::Finished);
    loaded->peaks = std::move(result->Result());
    return loaded;
}

TEST(PeakSummary, MadeDuringTheLoadMatchesTheSamplesInEveryEncoding) {
    struct Case {
        uint16_t tag;
        int16_t channels, bits;
        std::size_t frames;
        SampleEncoding encoding;
    };
    const SampleEncoding L = SampleEncoding::Legacy;
    test::TempDir dir;
    for (const Case c : {Case{1, 1, 8, 70'001, L}, Case{1, 2, 8, 50'000, L}, Case{1, 1, 16, 40'000, L},
                         // 9 MiB: read and summarised in several pieces
                         Case{1, 2, 16, 2'400'000, L}, Case{1, 6, 16, 20'000, SampleEncoding::Int16},
                         Case{1, 2, 24, 30'001, SampleEncoding::Int24}, Case{1, 6, 24, 9'999, SampleEncoding::Int24},
                         Case{1, 2, 32, 20'000, SampleEncoding::Int32}, Case{3, 2, 32, 20'000, SampleEncoding::Float32},
                         Case{3, 1, 64, 15'000, SampleEncoding::Float64}}) {
        SCOPED_TRACE(testing::Message() << "tag " << c.tag << " channels " << c.channels << " bits " << c.bits);
        const auto align = static_cast<int16_t>(c.channels * c.bits / 8);
        // A partial last frame for the odd counts.
        const std::size_t bytes = c.frames * static_cast<std::size_t>(align) - (c.frames % 2);
        const std::string path = dir.File("noise.wav");
        test::WriteText(path, test::Riff(test::Chunk("fmt ", test::FmtPayload(c.channels, c.bits, align, 16, c.tag)) +
                                         test::Chunk("data", Noise(bytes, static_cast<uint32_t>(c.frames)))));
        const auto loaded = LoadWithSummary(path);
        const SoundData& s = loaded->sound;
        ASSERT_TRUE(s.WavLoaded);
        ASSERT_EQ(s.Encoding, c.encoding);
        ASSERT_TRUE(loaded->peaks.Ready());
        const int64_t n = s.NumSamples;
        ExpectColumns(s, loaded->peaks, 0, n, 601);
        ExpectColumns(s, loaded->peaks, 1'234, n / 2 + 77, 997);
        ExpectColumns(s, loaded->peaks, n - 3'000, n, 613);
    }
}

// Bytes land in pieces that end mid-block and mid-frame (a 24-bit stereo
// frame is 6 bytes): a summary block above must wait for every block under
// it, or a peak that lands later is missing from the wide views.
TEST(PeakSummary, PiecesLandingMidBlockGiveTheSameSummaryAsOneRead) {
    test::TempDir dir;
    const std::size_t frames = 1'500'001;
    const std::string path = dir.File("wide.wav");
    std::string data = Noise(frames * 6, 7);
    for (std::size_t at = 5; at < data.size(); at += 299'993) data[at] = static_cast<char>(0x7f);   // loud tops
    test::WriteText(path, test::Riff(test::Chunk("fmt ", test::FmtPayload(2, 24, 6, 16, 1)) + test::Chunk("data", data)));
    SoundData s;
    ASSERT_FALSE(LoadWavFile(s, path).Failed());
    PeakSummary peaks;
    peaks.Begin(s, s.size());
    for (std::size_t landed = 0; landed < s.size(); landed += 700'001) peaks.Add(landed);
    peaks.Finish();
    ASSERT_TRUE(peaks.Ready());
    ExpectColumns(s, peaks, 0, s.NumSamples, 37);
    ExpectColumns(s, peaks, 4'321, s.NumSamples - 999, 211);
}

TEST(PeakSummary, MadeDuringTheLoadOfAChunkStatedHugeScansOnlyTheBytesHeld) {
    test::TempDir dir;
    for (const int16_t bits : {int16_t{16}, int16_t{8}}) {
        SCOPED_TRACE(bits);
        const auto align = static_cast<int16_t>(2 * bits / 8);
        const std::string path = dir.File("claims.wav");
        test::WriteText(path, test::CutShort(test::Fmt(2, bits, align), 400'000'002, Noise(10'000, 5)));
        const auto loaded = LoadWithSummary(path);
        const SoundData& s = loaded->sound;
        ASSERT_TRUE(loaded->peaks.Ready());
        ASSERT_GE(s.NumSamples, 100'000'000);
        EXPECT_LT(loaded->peaks.Bytes(), std::size_t{1} << 16);   // no summary of the zero pages
        // Across the end of the bytes held, and far into the zeros.
        ExpectColumns(s, loaded->peaks, 0, 40'000, 37);
        ExpectColumns(s, loaded->peaks, 90'000'000, 90'001'000, 10);
        const PeakSummary::Range zero = BruteForce(s, 1, 50'000'000, 50'000'001);
        const PeakSummary::Range tail = loaded->peaks.Query(1, 20'000, s.NumSamples);
        EXPECT_EQ(tail.low, zero.low);
        EXPECT_EQ(tail.high, zero.high);
    }
}

// The columns' ranges kept between repaints: the same as asking column by
// column, and never the kept answer of another view or another sound.
TEST(PeakSummary, KeptColumnsFollowTheViewAndTheSound) {
    const auto expectFresh = [](const SoundData& s, const PeakSummary& peaks, int64_t start, int64_t span,
                                int columns) {
        const std::vector<PeakSummary::Range>& got = peaks.Columns(start, span, columns);
        ASSERT_EQ(got.size(), static_cast<std::size_t>(columns) * 2);
        const double per = static_cast<double>(span) / columns;
        int64_t from = start;
        for (int c = 0; c < columns; ++c) {
            const int64_t to = start + static_cast<int64_t>(std::floor((c + 1) * per));
            for (int ch = 0; ch < peaks.Channels(); ++ch) {
                const PeakSummary::Range want = BruteForce(s, ch, from, to);
                const PeakSummary::Range& r = got[static_cast<std::size_t>(c) * 2 + static_cast<std::size_t>(ch)];
                ASSERT_EQ(r.low, want.low) << "column " << c << " channel " << ch;
                ASSERT_EQ(r.high, want.high) << "column " << c << " channel " << ch;
            }
            from = to;
        }
    };
    const SoundData loud = test::MakeSound(Noise(4 * 40'001, 5), 4);
    PeakSummary peaks;
    EXPECT_TRUE(peaks.Columns(0, 1000, 10).empty());   // not made yet
    peaks.Build(loud);
    expectFresh(loud, peaks, 0, loud.NumSamples, 640);
    expectFresh(loud, peaks, 0, loud.NumSamples, 640);   // asked again: the kept answer, still right
    expectFresh(loud, peaks, 3'333, 20'000, 640);        // scrolled and zoomed
    expectFresh(loud, peaks, 3'334, 20'000, 640);        // scrolled by one frame
    expectFresh(loud, peaks, 3'334, 20'000, 641);        // one column wider
    EXPECT_TRUE(peaks.Columns(0, 1000, 0).empty());

    // Another sound summarised in the same summary: its own peaks, for the same view.
    const SoundData quiet = test::MakeSound(std::string(4 * 40'001, '\0'), 4);
    peaks.Build(quiet);
    expectFresh(quiet, peaks, 3'334, 20'000, 641);
    const SoundData mono = test::MakeSound(Noise(2 * 40'001, 9), 2, 1, 16);
    peaks.Build(mono);
    expectFresh(mono, peaks, 3'334, 20'000, 641);
    peaks.Clear();
    EXPECT_TRUE(peaks.Columns(3'334, 20'000, 641).empty());
}

TEST(PeakRenderer, EachColumnSpansItsLowestToHighestSampleAndJoinsItsNeighbour) {
    SoundData s = test::MakeSound(Noise(4 * 50'000, 11), 4);
    s.ViewStart = 1'000;
    s.ViewEnd = 31'000;
    PeakSummary peaks;
    peaks.Build(s);
    test::RecordingCanvas canvas;
    const int columns = 300;
    DrawWavePeaks(s, peaks, canvas, 4500.0f, 3675.0f, columns);   // 15 twips a column
    EXPECT_EQ(canvas.clears, 1);
    EXPECT_EQ(canvas.flushes, 1);
    const auto red = canvas.Of(kUpperWaveColour);
    const auto green = canvas.Of(kLowerWaveColour);
    ASSERT_EQ(red.size(), static_cast<std::size_t>(columns));
    ASSERT_EQ(green.size(), static_cast<std::size_t>(columns));
    const int32_t upper = 919;   // 3675 / 4 rounded, as DrawWaves
    for (int c = 0; c < columns; ++c) {
        const int64_t from = 1'000 + c * 100, to = from + 100;
        for (const auto& [segments, ch, centre] : {std::tuple{&red, 0, upper}, std::tuple{&green, 1, 3 * upper}}) {
            const test::Segment& seg = (*segments)[static_cast<std::size_t>(c)];
            ASSERT_EQ(seg.x1, static_cast<float>(c) * 15.0f);
            ASSERT_EQ(seg.x2, seg.x1);
            const PeakSummary::Range r = BruteForce(s, ch, from, to);
            // Both traces scaled by the upper centre, as DrawWaves scales them.
            const float top = static_cast<float>(centre + std::nearbyint(upper * (r.low / 32768.0)));
            const float bottom = static_cast<float>(centre + std::nearbyint(upper * (r.high / 32768.0)));
            // Covers the column's own extent, reaching no further than to its
            // neighbour on the left.
            ASSERT_LE(std::min(seg.y1, seg.y2), top) << c;
            ASSERT_GE(std::max(seg.y1, seg.y2), bottom) << c;
            if (c > 0) {
                const test::Segment& prev = (*segments)[static_cast<std::size_t>(c - 1)];
                EXPECT_LE(std::min(seg.y1, seg.y2), std::max(prev.y1, prev.y2)) << c;
                EXPECT_GE(std::max(seg.y1, seg.y2), std::min(prev.y1, prev.y2)) << c;
            }
        }
    }

    // A view of fewer frames than columns is drawn point by point, as DrawWaves does.
    s.ViewStart = 100;
    s.ViewEnd = 250;
    test::RecordingCanvas points, reference;
    DrawWavePeaks(s, peaks, points, 4500.0f, 3675.0f, columns);
    DrawWaves(s, reference, 4500.0f, 3675.0f);
    ASSERT_EQ(points.segments.size(), reference.segments.size());
    for (std::size_t i = 0; i < points.segments.size(); ++i) {
        EXPECT_EQ(points.segments[i].y2, reference.segments[i].y2);
        EXPECT_EQ(points.segments[i].x2, reference.segments[i].x2);
    }
}

} // namespace
} // namespace zv
