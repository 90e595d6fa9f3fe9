// The pieces between the file reader and the sound output: the channel
// folding, the frame ring and the mapping from handed-out buffers to the
// frame being heard.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

#include "playback/ChannelFolding.h"
#include "playback/FrameRing.h"
#include "playback/HeardPosition.h"

namespace zv {
namespace {

TEST(ChannelFolding, MonoAndStereoPassAsTheyAreWhateverTheirLayout) {
    using Samples = std::vector<float>;
    auto fold = [](const Samples& in, int channels, const std::vector<Speaker>& layout = {}) {
        const StereoFold f(channels, layout);
        const int64_t frames = static_cast<int64_t>(in.size()) / channels;
        Samples out(static_cast<size_t>(frames * f.OutputChannels()), -9.0f);
        f.Apply(in.data(), frames, out.data());
        return out;
    };
    EXPECT_EQ(OutputChannels(1), 1);
    EXPECT_EQ(StereoFold(1).OutputChannels(), 1);
    EXPECT_EQ(fold({0.5f, -0.25f, 1.0f}, 1), (Samples{0.5f, -0.25f, 1.0f}));
    EXPECT_EQ(OutputChannels(2), 2);
    EXPECT_EQ(fold({0.5f, -0.5f, 0.25f, -1.0f}, 2), (Samples{0.5f, -0.5f, 0.25f, -1.0f}));
    // A stereo file that names odd places for its two channels still plays as stereo.
    EXPECT_EQ(fold({0.5f, -0.5f}, 2, {Speaker::FrontCentre, Speaker::Lfe}), (Samples{0.5f, -0.5f}));
    EXPECT_EQ(StereoFold(2).Gain(0, 1), 0.0f);
    EXPECT_EQ(StereoFold(2).Gain(1, 1), 1.0f);
}

TEST(ChannelFolding, FivePointOneFoldsTheCentreToBothSidesTheSurroundsToTheirOwnAndDropsTheLfe) {
    const float k = kMinus3dB;
    EXPECT_NEAR(20 * std::log10(k), -3.0103, 1e-3);
    // No layout named: the usual order L R C LFE Ls Rs.
    const StereoFold usual(6);
    ASSERT_EQ(usual.OutputChannels(), 2);
    const float want[6][2] = {{1, 0}, {0, 1}, {k, k}, {0, 0}, {k, 0}, {0, k}};
    for (int c = 0; c < 6; ++c)
        for (int side = 0; side < 2; ++side) EXPECT_EQ(usual.Gain(c, side), want[c][side]) << c << " " << side;
    // A channel mask in another order: each channel goes by its named place.
    const StereoFold named(6, {Speaker::FrontLeft, Speaker::FrontRight, Speaker::SideLeft, Speaker::SideRight,
                               Speaker::FrontCentre, Speaker::Lfe});
    EXPECT_EQ(named.Gain(2, 0), k);
    EXPECT_EQ(named.Gain(2, 1), 0.0f);
    EXPECT_EQ(named.Gain(4, 0), k);
    EXPECT_EQ(named.Gain(4, 1), k);
    EXPECT_EQ(named.Gain(5, 0) + named.Gain(5, 1), 0.0f);

    // Dialogue on the centre is heard in both ears alike; the LFE in neither;
    // a sum past full scale is clipped.
    const float in[] = {0, 0, 0.5f, 1, 0, 0,    0.25f, 0, 0, 0, 0.5f, -0.5f,    1, 1, 1, 1, 1, 1};
    float out[6] = {};
    usual.Apply(in, 3, out);
    EXPECT_FLOAT_EQ(out[0], 0.5f * k);
    EXPECT_FLOAT_EQ(out[1], 0.5f * k);
    EXPECT_FLOAT_EQ(out[2], 0.25f + 0.5f * k);
    EXPECT_FLOAT_EQ(out[3], -0.5f * k);
    EXPECT_EQ(out[4], 1.0f);
    EXPECT_EQ(out[5], 1.0f);
    // FoldChannels is the usual layout's fold.
    float again[6] = {};
    FoldChannels(in, 6, 3, again);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(again[i], out[i]);

    // The usual order for other counts: 7.1 has its side pair last.
    EXPECT_EQ(UsualLayout(8)[6], Speaker::SideLeft);
    EXPECT_EQ(UsualLayout(3)[2], Speaker::FrontCentre);
    EXPECT_EQ(UsualLayout(10)[9], Speaker::Unknown);
}

TEST(FrameRing, KeepsOrderAcrossTheWrapAndNeverOverfills) {
    FrameRing ring(5, 2);
    const float a[] = {1, -1, 2, -2, 3, -3, 4, -4};
    EXPECT_EQ(ring.Write(a, 4), 4u);
    EXPECT_EQ(ring.WritableFrames(), 1u);
    float out[10] = {};
    EXPECT_EQ(ring.Read(out, 3), 3u);
    EXPECT_EQ(out[4], 3);
    EXPECT_EQ(out[5], -3);
    const float b[] = {5, -5, 6, -6, 7, -7, 8, -8, 9, -9};
    EXPECT_EQ(ring.Write(b, 5), 4u);   // room for four only
    EXPECT_EQ(ring.ReadableFrames(), 5u);
    EXPECT_EQ(ring.Read(out, 10), 5u);
    const float expected[] = {4, -4, 5, -5, 6, -6, 7, -7, 8, -8};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(out[i], expected[i]) << i;
    EXPECT_EQ(ring.Read(out, 1), 0u);
}

TEST(FrameRing, OneWriterOneReaderLoseNothing) {
    FrameRing ring(64, 1);
    constexpr int kTotal = 200000;
    std::thread writer([&] {
        float v = 0;
        while (v < kTotal) {
            if (ring.Write(&v, 1) == 1) v += 1;
        }
    });
    float expected = 0;
    bool inOrder = true;
    while (expected < kTotal) {
        float got[16];
        const size_t n = ring.Read(got, 16);
        for (size_t i = 0; i < n; ++i) inOrder = inOrder && got[i] == expected++;
    }
    writer.join();
    EXPECT_TRUE(inOrder);
}

// 1000 frames a second: one frame per ms keeps the arithmetic plain.
constexpr int32_t kRate = 1000;
constexpr int64_t kMs = 1000000;

TEST(HeardPosition, FollowsTheBufferSoundingNow) {
    HeardPosition heard(100);
    EXPECT_EQ(heard.At(5 * kMs, kRate), 100);    // nothing handed out yet
    heard.Record(10 * kMs, 100, 5);
    heard.Record(15 * kMs, 105, 5);
    heard.Record(20 * kMs, 110, 2);              // the reader fell behind: 3 frames of silence
    heard.Record(25 * kMs, 112, 5);
    EXPECT_EQ(heard.At(9 * kMs, kRate), 100);    // all still on their way to the listener
    EXPECT_EQ(heard.At(12 * kMs, kRate), 102);
    EXPECT_EQ(heard.At(17 * kMs, kRate), 107);
    EXPECT_EQ(heard.At(24 * kMs, kRate), 112);   // holds during the silence
    EXPECT_EQ(heard.At(27 * kMs, kRate), 114);
    EXPECT_EQ(heard.At(90 * kMs, kRate), 117);   // never beyond what was handed out
}

TEST(HeardPosition, SurvivesManyBuffers) {
    HeardPosition heard(0);
    for (int64_t i = 0; i < 5000; ++i) heard.Record(i * kMs, i, 1);
    EXPECT_EQ(heard.At(4999 * kMs, kRate), 4999);
    EXPECT_EQ(heard.At(4500 * kMs, kRate), 4500);
    // Older than the records kept: the oldest one kept.
    EXPECT_GE(heard.At(10 * kMs, kRate), 3000);
}

TEST(HeardPosition, ReadingWhileRecordingGivesFramesOfRecordedBuffers) {
    HeardPosition heard(0);
    std::thread writer([&] {
        for (int64_t i = 0; i < 100000; ++i) heard.Record(i * kMs, i * 10, 10);
    });
    bool sane = true;
    for (int k = 0; k < 100000; ++k) {
        const int64_t at = heard.At(static_cast<int64_t>(k) * kMs, kRate);
        sane = sane && at >= 0 && at <= 1000000;
    }
    writer.join();
    EXPECT_TRUE(sane);
    EXPECT_EQ(heard.At(99999 * kMs, kRate), 999990);
}

} // namespace
} // namespace zv
