// The pieces between the file reader and the sound output: the channel
// folding, the frame ring and the mapping from handed-out buffers to the
// frame being heard.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "playback/ChannelFolding.h"
#include "playback/FrameRing.h"
#include "playback/HeardPosition.h"

namespace zv {
namespace {

TEST(ChannelFolding, MonoAndStereoPassAndMoreFoldEvenLeftOddRight) {
    using Samples = std::vector<float>;
    auto fold = [](const Samples& in, int channels) {
        const int64_t frames = static_cast<int64_t>(in.size()) / channels;
        Samples out(static_cast<size_t>(frames * OutputChannels(channels)), -9.0f);
        FoldChannels(in.data(), channels, frames, out.data());
        return out;
    };
    EXPECT_EQ(OutputChannels(1), 1);
    EXPECT_EQ(fold({0.5f, -0.25f, 1.0f}, 1), (Samples{0.5f, -0.25f, 1.0f}));
    EXPECT_EQ(OutputChannels(2), 2);
    EXPECT_EQ(fold({0.5f, -0.5f, 0.25f, -1.0f}, 2), (Samples{0.5f, -0.5f, 0.25f, -1.0f}));
    // Three channels: 0 and 2 share the left, 1 alone is the right.
    EXPECT_EQ(OutputChannels(3), 2);
    EXPECT_EQ(fold({0.5f, 0.75f, -0.5f, 1.0f, -1.0f, 0.0f}, 3), (Samples{0.0f, 0.75f, 0.5f, -1.0f}));
    // Six (5.1 order): left = mean of 0, 2, 4; right = mean of 1, 3, 5. Full
    // scale on every channel stays full scale: nothing clips.
    EXPECT_EQ(OutputChannels(6), 2);
    EXPECT_EQ(fold({0.75f, 0.0f, 0.0f, 0.75f, 0.0f, 0.75f, 1.0f, -1.0f, 1.0f, -1.0f, 1.0f, -1.0f}, 6),
              (Samples{0.25f, 0.5f, 1.0f, -1.0f}));
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
