// A decoded sound played from memory: the 16-bit samples come out as the
// floats the file would give, up to the last frame and no further, and
// the bytes stay with the player after their first owner let go.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

#include "playback/system/DecodedSound.h"
#include "sound/SampleBuffer.h"

namespace zv {
namespace {

TEST(DecodedSound, ReadsSixteenBitFramesAsFloatsWithinTheSound) {
    // Three stereo frames, little-endian: full scale both ways, silence, halves.
    const std::vector<int16_t> values{-32768, 32767, 0, 0, 16384, -16384};
    auto held = std::make_unique<SampleBuffer>();
    ASSERT_TRUE(held->Allocate(values.size() * 2, values.size() * 2));
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto u = static_cast<uint16_t>(values[i]);
        held->data()[2 * i] = static_cast<uint8_t>(u & 0xFF);
        held->data()[2 * i + 1] = static_cast<uint8_t>(u >> 8);
    }
    const DecodedSound sound(held->Share(), 2, 3);
    held.reset();   // the window's record went; the output still plays it
    EXPECT_EQ(sound.Available(), 3);
    EXPECT_EQ(sound.Channels(), 2);

    float out[8];
    std::fill(std::begin(out), std::end(out), 9.0f);
    ASSERT_EQ(sound.Read(0, out, 4), 3);   // only what there is
    EXPECT_FLOAT_EQ(out[0], -1.0f);
    EXPECT_FLOAT_EQ(out[1], 32767.0f / 32768.0f);
    EXPECT_FLOAT_EQ(out[2], 0.0f);
    EXPECT_FLOAT_EQ(out[4], 0.5f);
    EXPECT_FLOAT_EQ(out[5], -0.5f);
    EXPECT_FLOAT_EQ(out[6], 9.0f);   // nothing written past the sound

    ASSERT_EQ(sound.Read(2, out, 1), 1);
    EXPECT_FLOAT_EQ(out[0], 0.5f);
    EXPECT_EQ(sound.Read(3, out, 1), 0);
    EXPECT_EQ(sound.Read(100, out, 1), 0);
    EXPECT_EQ(sound.Read(-1, out, 1), 0);
}

TEST(DecodedSound, NoBytesOrNoShapeHoldsNothing) {
    float out[2];
    EXPECT_EQ(DecodedSound(nullptr, 2, 10).Available(), 0);
    EXPECT_EQ(DecodedSound(nullptr, 2, 10).Read(0, out, 1), 0);
    SampleBuffer b;
    ASSERT_TRUE(b.Allocate(8, 8));
    EXPECT_EQ(DecodedSound(b.Share(), 0, 2).Read(0, out, 1), 0);
    EXPECT_EQ(DecodedSound(b.Share(), 2, -5).Available(), 0);
}

}  // namespace
}  // namespace zv
