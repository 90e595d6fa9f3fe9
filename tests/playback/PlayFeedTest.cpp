// What a play hands to the output: a loop's seam repeats no frame and
// drops none, the position maps each output frame back to the file's, and
// half speed doubles the length of a tone without moving its pitch.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "playback/PlayFeed.h"

namespace zv {
namespace {

// A mono "file" whose sample n holds n, read from a read point.
struct Ramp {
    int64_t at = 0;
    std::vector<float> samples;
    PlayFeed::Reader Reader() {
        return [this](float* out, int64_t frames) {
            int64_t n = 0;
            for (; n < frames && at < static_cast<int64_t>(samples.size()); ++n) out[n] = samples[static_cast<size_t>(at++)];
            return n;
        };
    }
    PlayFeed::Seeker Seeker() {
        return [this](int64_t frame) { at = frame; };
    }
};

TEST(PlayFeed, ALoopGoesBackToItsStartWithNoFrameLostOrDoubled) {
    Ramp ramp;
    for (int i = 0; i < 1000; ++i) ramp.samples.push_back(static_cast<float>(i));
    ramp.at = 120;
    PlayStyle style;
    style.loop = true;
    style.loopStart = 100;
    PlayFeed feed(1, 1000, PlayPlan(120, 300, style), ramp.Reader(), ramp.Seeker());
    // Odd sizes so the seam falls inside a read.
    std::vector<float> heard;
    std::vector<float> buffer(77);
    while (heard.size() < 700) {
        const int64_t got = feed.Next(buffer.data(), 77);
        ASSERT_GT(got, 0);
        heard.insert(heard.end(), buffer.begin(), buffer.begin() + got);
    }
    for (size_t n = 0; n < heard.size(); ++n) {
        const int64_t expected = n < 180 ? 120 + static_cast<int64_t>(n) : 100 + (static_cast<int64_t>(n) - 180) % 200;
        ASSERT_EQ(heard[n], static_cast<float>(expected)) << "output frame " << n;
        ASSERT_EQ(feed.Plan().FileFrameOf(static_cast<int64_t>(n)), expected) << "output frame " << n;
    }
    // Without the loop the play ends at its end.
    ramp.at = 120;
    PlayFeed once(1, 1000, PlayPlan(120, 300, PlayStyle{}), ramp.Reader(), ramp.Seeker());
    int64_t total = 0;
    for (int64_t got; (got = once.Next(buffer.data(), 77)) > 0;) total += got;
    EXPECT_EQ(total, 180);
    EXPECT_EQ(once.Plan().FileFrameOf(500), 300);
}

TEST(PlayFeed, HalfAndQuarterSpeedStretchATonesLengthAndKeepItsPitch) {
    constexpr int32_t kRate = 44100;
    for (const double speed : {0.5, 0.25}) {
        Ramp tone;
        for (int i = 0; i < kRate; ++i)
            tone.samples.push_back(static_cast<float>(0.5 * std::sin(2 * M_PI * 1000.0 * i / kRate)));
        PlayStyle style;
        style.speed = speed;
        PlayFeed feed(1, kRate, PlayPlan(0, kRate, style), tone.Reader(), tone.Seeker());
        ASSERT_TRUE(feed.Stretched());
        std::vector<float> out, buffer(4096);
        for (int64_t got; (got = feed.Next(buffer.data(), 4096)) > 0;) out.insert(out.end(), buffer.begin(), buffer.begin() + got);
        EXPECT_NEAR(static_cast<double>(out.size()) / kRate, 1.0 / speed, 0.04) << speed;
        // The pitch, from rising zero crossings in the steady middle.
        const size_t a = out.size() / 4, b = out.size() * 3 / 4;
        int crossings = 0;
        for (size_t i = a + 1; i < b; ++i) crossings += out[i - 1] < 0 && out[i] >= 0;
        EXPECT_NEAR(crossings / (static_cast<double>(b - a) / kRate), 1000.0, 10.0) << speed;
        // The position counts the file's samples: half way through the output, half way through the tone.
        EXPECT_NEAR(static_cast<double>(feed.Plan().FileFrameOf(static_cast<int64_t>(out.size() / 2))), kRate / 2.0, kRate * 0.03);
    }
}

} // namespace
} // namespace zv
