// The spectrogram's arithmetic on sounds made in memory: a tone lands in
// its row of the log axis, silence and rows above the Nyquist frequency
// are dark, short and empty sounds give dark columns without failing, a
// cancel stops the work; the cache keeps images per view; the layer draws
// nothing when off and draws from the cache, asking only for views it has
// no image of.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "jobs/JobProgress.h"
#include "spectrum/Spectrogram.h"
#include "spectrum/SpectrogramCache.h"
#include "waveview/RecordingCanvas.h"
#include "waveview/layers/SpectrogramLayer.h"

namespace zv {
namespace {

// A loaded record of 32-bit float samples, every channel the same.
SoundData Sound(int32_t rate, const std::vector<float>& samples, int channels = 1) {
    SoundData sound;
    sound.WavFormat.nChannels = static_cast<int16_t>(channels);
    sound.WavFormat.nSamplesPerSec = rate;
    sound.WavFormat.wBitsPerSample = 32;
    sound.WavFormat.nBlockAlign = static_cast<int16_t>(4 * channels);
    sound.Encoding = SampleEncoding::Float32;
    const std::size_t bytes = samples.size() * 4 * static_cast<std::size_t>(channels);
    EXPECT_TRUE(sound.Samples.Allocate(std::max<std::size_t>(bytes, 1), bytes));
    for (std::size_t i = 0; i < samples.size(); ++i)
        for (int c = 0; c < channels; ++c)
            std::memcpy(sound.Samples.data() + (i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)) * 4,
                        &samples[i], 4);
    sound.NumSamples = static_cast<int32_t>(samples.size());
    sound.WavLoaded = true;
    return sound;
}

std::vector<float> Sine(int32_t rate, int64_t frames, double hz, double amplitude = 0.5) {
    std::vector<float> s(static_cast<std::size_t>(frames));
    for (int64_t i = 0; i < frames; ++i)
        s[static_cast<std::size_t>(i)] = static_cast<float>(amplitude * std::sin(2 * M_PI * hz * static_cast<double>(i) / rate + 0.3));
    return s;
}

SpectrogramImage Compute(const SoundData& sound, int64_t first, double perColumn, int columns) {
    SpectrogramImage image;
    EXPECT_EQ(ComputeSpectrogram(sound, {first, perColumn, columns}, nullptr, image), SpectrogramOutcome::Done);
    return image;
}

int BrightestRow(const SpectrogramImage& image, int column) {
    int best = 0;
    for (int r = 1; r < image.rows; ++r)
        if (image.Level(column, r) > image.Level(column, best)) best = r;
    return best;
}

TEST(Spectrogram, AToneLandsInItsRowOfTheLogAxisAndSilenceIsDark) {
    constexpr int32_t rate = 44100;
    for (const double hz : {1000.0, 4000.0}) {
        std::vector<float> samples = Sine(rate, rate, hz);
        // A second of silence after the tone.
        samples.resize(2 * rate, 0.0f);
        const SoundData stereo = Sound(rate, samples, 2);
        const SpectrogramImage image = Compute(stereo, 0, 2.0 * rate / 200, 200);
        ASSERT_EQ(image.columns, 200);
        ASSERT_EQ(image.rows, SpectrogramAxis::kRows);
        const int row = SpectrogramAxis::RowOf(hz);
        EXPECT_NEAR(BrightestRow(image, 50), row, 1) << hz;
        EXPECT_GT(image.Level(50, row), 200) << hz;   // -6 dB of full scale
        // Two octaves away it is far darker.
        EXPECT_LT(image.Level(50, SpectrogramAxis::RowOf(hz / 4)), image.Level(50, row) - 80) << hz;
        for (int r = 0; r < image.rows; ++r) EXPECT_EQ(image.Level(150, r), 0) << hz << " row " << r;
        EXPECT_EQ(image.pixels[static_cast<std::size_t>(row) * 200 + 150], SpectrogramColour(0));
    }
    // The axis runs from 8 kHz at the top to 50 Hz at the bottom.
    EXPECT_EQ(SpectrogramAxis::RowOf(8000), 0);
    EXPECT_EQ(SpectrogramAxis::RowOf(50), SpectrogramAxis::kRows - 1);
    EXPECT_EQ(SpectrogramAxis::RowOf(20000), 0);
    EXPECT_NEAR(SpectrogramAxis::RowHz(SpectrogramAxis::RowOf(1000)), 1000, 20);
    // The colours run from dark to bright.
    const auto brightness = [](uint32_t c) { return (c >> 16 & 255) + (c >> 8 & 255) + (c & 255); };
    for (int level = 1; level < 256; ++level)
        EXPECT_GE(brightness(SpectrogramColour(static_cast<uint8_t>(level))),
                  brightness(SpectrogramColour(static_cast<uint8_t>(level - 1))));
}

TEST(Spectrogram, AtEightKilohertzTheRowsAboveNyquistStayDark) {
    constexpr int32_t rate = 8000;
    std::mt19937 noise(7);
    std::uniform_real_distribution<float> uniform(-0.5f, 0.5f);
    std::vector<float> samples(rate);
    for (float& s : samples) s = uniform(noise);
    const SpectrogramImage image = Compute(Sound(rate, samples), 0, rate / 40.0, 40);
    EXPECT_EQ(image.window, 1024);
    const int nyquistRow = SpectrogramAxis::RowOf(4000);
    for (int r = 0; r < image.rows; ++r) {
        if (SpectrogramAxis::RowHz(r) >= 4000) {
            EXPECT_EQ(image.Level(20, r), 0) << r;
        } else if (r > nyquistRow + 2) {
            EXPECT_GT(image.Level(20, r), 100) << r;   // white noise fills the rest
        }
    }
    const SpectrogramImage tone = Compute(Sound(rate, Sine(rate, rate, 1000)), 0, rate / 40.0, 40);
    EXPECT_NEAR(BrightestRow(tone, 20), SpectrogramAxis::RowOf(1000), 1);
}

TEST(Spectrogram, ShortEmptyAndUnloadedSoundsGiveDarkColumnsWithoutFailing) {
    constexpr int32_t rate = 44100;
    // 300 samples of 2 kHz: shorter than one window, still in its row.
    const SpectrogramImage shortOne = Compute(Sound(rate, Sine(rate, 300, 2000, 0.9)), 0, 30, 100);
    EXPECT_NEAR(BrightestRow(shortOne, 5), SpectrogramAxis::RowOf(2000), 4);   // 7 ms: a wide band
    EXPECT_GT(shortOne.Level(5, SpectrogramAxis::RowOf(2000)), 100);
    EXPECT_EQ(shortOne.Level(99, SpectrogramAxis::RowOf(2000)), 0);   // 1 ms past its end and on: silence

    const SoundData empty = Sound(rate, {});
    const SpectrogramImage none = Compute(empty, 0, 1, 50);
    EXPECT_EQ(none.columns, 50);
    for (uint8_t level : none.levels) EXPECT_EQ(level, 0);
    EXPECT_TRUE(Compute(empty, 0, 1, 0).Empty());
    EXPECT_TRUE(Compute(empty, 0, 0.0, 10).Empty());
    SoundData unloaded = Sound(rate, Sine(rate, rate, 1000));
    unloaded.WavLoaded = false;
    for (uint8_t level : Compute(unloaded, 0, 100, 20).levels) EXPECT_EQ(level, 0);
    // Before the sound's start: silence, not a read out of the buffer.
    const SpectrogramImage before = Compute(Sound(rate, Sine(rate, rate, 1000)), -10 * rate, 100, 20);
    for (uint8_t level : before.levels) EXPECT_EQ(level, 0);

    JobProgress progress;
    progress.Cancel();
    SpectrogramImage cancelled;
    EXPECT_EQ(ComputeSpectrogram(Sound(rate, Sine(rate, rate, 1000)), {0, 100, 400}, &progress, cancelled),
              SpectrogramOutcome::Cancelled);
}

TEST(SpectrogramCache, KeepsOneImagePerViewAndDropsTheLeastRecentlyUsed) {
    SpectrogramCache cache;
    const auto image = [](int64_t first, int columns) {
        SpectrogramImage i;
        i.first = first;
        i.perColumn = 10;
        i.columns = columns;
        i.rows = 1;
        i.levels.assign(static_cast<std::size_t>(columns), 0);
        i.pixels.assign(static_cast<std::size_t>(columns), 0);
        return i;
    };
    const SpectrogramKey whole{0, 1000, 100}, zoomed{0, 500, 100};
    EXPECT_EQ(cache.Find(whole), nullptr);
    cache.Put(whole, image(0, 100));
    ASSERT_NE(cache.Find(whole), nullptr);
    EXPECT_EQ(cache.Find(zoomed), nullptr);
    EXPECT_EQ(cache.Nearest(zoomed)->columns, 100);   // the whole sound, to stretch meanwhile
    EXPECT_EQ(cache.Nearest({2000, 3000, 100}), nullptr);
    cache.Put(whole, image(0, 100));
    EXPECT_EQ(cache.size(), 1u);

    for (int i = 1; i < static_cast<int>(SpectrogramCache::kEntries); ++i)
        cache.Put({i * 1000, i * 1000 + 500, 100}, image(i * 1000, 50));
    ASSERT_NE(cache.Find(whole), nullptr);   // used last: kept
    cache.Put(zoomed, image(0, 100));
    EXPECT_EQ(cache.size(), SpectrogramCache::kEntries);
    EXPECT_NE(cache.Find(whole), nullptr);
    EXPECT_EQ(cache.Find({1000, 1500, 100}), nullptr);   // the oldest went

    const SpectrogramRequest request = SpectrogramKey{100, 2020, 960}.Request();
    EXPECT_EQ(request.first, 100);
    EXPECT_EQ(request.columns, 960);
    EXPECT_DOUBLE_EQ(request.perColumn, 2.0);
}

struct SpectrogramLayerTest : ::testing::Test {
    SpectrogramCache cache;
    std::vector<SpectrogramKey> asked;
    SpectrogramLayer layer{cache, [this](const SpectrogramKey& key) { asked.push_back(key); }};
    WaveView view;
    test::RecordingCanvas canvas;

    void SetUp() override {
        view.SetWidth(400);
        view.Reset(44100);
    }
    void Draw() {
        LayerScene scene(view);
        scene.height = 300;
        scene.waveHeight = 280;   // a lane under it
        scene.sampleRate = 44100;
        layer.Draw(canvas, scene, {0, 300});
    }
    static SpectrogramImage Made(const SpectrogramKey& key) {
        SpectrogramImage image;
        ComputeSpectrogram(SoundData{}, key.Request(), nullptr, image);
        return image;
    }
};

TEST_F(SpectrogramLayerTest, DrawsNothingWhenOffAndFromTheCacheWhenOn) {
    Draw();
    EXPECT_TRUE(canvas.fills.empty());
    EXPECT_TRUE(canvas.images.empty());
    EXPECT_TRUE(asked.empty());

    layer.SetOn(true);
    Draw();   // nothing made yet: dark, and the view's image asked for
    ASSERT_EQ(canvas.fills.size(), 1u);
    EXPECT_EQ(canvas.fills[0].y2, 280);   // the waveform's part only
    EXPECT_TRUE(canvas.images.empty());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], (SpectrogramKey{0, 44100, 400}));

    cache.Put(asked[0], Made(asked[0]));
    asked.clear();
    Draw();   // the same zoom: drawn from the cache, nothing asked
    EXPECT_TRUE(asked.empty());
    ASSERT_EQ(canvas.images.size(), 1u);
    EXPECT_EQ(canvas.images[0].x1, 0);
    EXPECT_EQ(canvas.images[0].x2, 400);
    EXPECT_EQ(canvas.images[0].y2, 280);
    EXPECT_EQ(canvas.images[0].image.width, 400);
    EXPECT_EQ(canvas.images[0].image.height, SpectrogramAxis::kRows);

    view.ZoomTo(0, 44100 / 2);   // another zoom: its own image asked for,
    Draw();                      // the whole sound's stretched meanwhile
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], (SpectrogramKey{0, 44100 / 2, 400}));
    ASSERT_EQ(canvas.images.size(), 2u);
    EXPECT_EQ(canvas.images[1].x2, 800);

    layer.SetOn(false);
    const std::size_t before = canvas.images.size() + canvas.fills.size();
    Draw();
    EXPECT_EQ(canvas.images.size() + canvas.fills.size(), before);
}

} // namespace
} // namespace zv
