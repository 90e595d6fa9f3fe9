// The four readers: exact values, frame offsets, and the limit that keeps
// every read inside the buffer.
#include <gtest/gtest.h>

#include "sound/SampleReaders.h"
#include "sound/SoundBytes.h"
#include "sound/WavBytes.h"

using namespace zv;
using namespace zv::test;

TEST(SampleReaders, ConvertExactly) {
    // 16-bit stereo frames: (0x8000, 0x7FFF), (0, 0x0001).
    const SoundData s16 = MakeSound(Le16(0x8000) + Le16(0x7FFF) + Le16(0) + Le16(1), 4);
    double a = 9, b = 9;
    ReadStereo16(s16, 0, a, b);
    EXPECT_EQ(a, -1.0);
    EXPECT_EQ(b, 0.999969482421875);
    ReadStereo16(s16, 1, a, b);
    EXPECT_EQ(a, 0.0);
    EXPECT_EQ(b, 1.0 / 32768);
    ReadMono16(s16, 0, a);
    EXPECT_EQ(a, -1.0);

    const SoundData s8 = MakeSound(Bytes{char(0), char(128), char(255), char(1)}, 2, 2, 8);
    ReadStereo8(s8, 0, a, b);
    EXPECT_EQ(a, -1.0);
    EXPECT_EQ(b, 0.0);
    ReadStereo8(s8, 1, a, b);
    EXPECT_EQ(a, 0.9921875);
    EXPECT_EQ(b, -127.0 / 128);
    ReadMono8(s8, 1, a);
    EXPECT_EQ(a, 0.9921875);
}

TEST(SampleReaders, FramesAreBlockAlignBytesApart) {
    // Every 16-bit word holds its own byte offset, so a value names the
    // bytes it came from.
    Bytes words;
    for (uint16_t at = 0; at < 48; at += 2) words += Le16(at);
    double a, b;
    const SoundData stereo16 = MakeSound(words, 4);
    ReadStereo16(stereo16, 3, a, b);
    EXPECT_EQ(a * 32768, 12);
    EXPECT_EQ(b * 32768, 14);
    // Three 16-bit channels: the mono reader takes the first two bytes of
    // each 6-byte frame.
    const SoundData three = MakeSound(words, 6, 3);
    ReadMono16(three, 3, a);
    EXPECT_EQ(a * 32768, 18);

    const SoundData stereo8 = MakeSound(Ramp(16, 128), 2, 2, 8);
    ReadStereo8(stereo8, 3, a, b);
    EXPECT_EQ(a * 128, 6);
    EXPECT_EQ(b * 128, 7);
}

TEST(SampleReaders, ZeroTailReadsAsZeroAndMinusOne) {
    const SoundData s16 = MakeSound(Bytes(8, '\0'), 4);
    const SoundData s8 = MakeSound(Bytes(8, '\0'), 2, 2, 8);
    double a, b;
    ReadStereo16(s16, 1, a, b);
    EXPECT_EQ(a, 0.0);
    EXPECT_EQ(b, 0.0);
    ReadStereo8(s8, 1, a, b);
    EXPECT_EQ(a, -1.0);
    EXPECT_EQ(b, -1.0);
}

TEST(SampleReaders, SamplesNotWhollyInsideTheBufferReadZero) {
    // 1003 bytes with nBlockAlign 4: NumSamples 251, the last frame holds
    // 3 of its 4 bytes. Fill with 0xFF so real bytes never read as 0.
    const SoundData s = MakeSound(Bytes(1003, char(0xFF)), 4);
    ASSERT_EQ(s.NumSamples, 251);
    double a = 9, b = 9;
    ReadStereo16(s, 250, a, b);  // first sample whole, second cut in half
    EXPECT_EQ(a, -1.0 / 32768);
    EXPECT_EQ(b, 0.0);
    ReadStereo8(s, 250, a, b);   // both bytes inside
    EXPECT_EQ(a, 127.0 / 128);
    EXPECT_EQ(b, 127.0 / 128);
    for (int32_t frame : {251, 252, 100000, -1, INT32_MIN / 4}) {
        a = b = 9;
        ReadStereo16(s, frame, a, b);
        EXPECT_EQ(a, 0.0) << frame;
        EXPECT_EQ(b, 0.0) << frame;
        ReadStereo8(s, frame, a, b);
        EXPECT_EQ(a, 0.0) << frame;
        ReadMono16(s, frame, a);
        EXPECT_EQ(a, 0.0) << frame;
        ReadMono8(s, frame, a);
        EXPECT_EQ(a, 0.0) << frame;
    }
    // An empty buffer and one that was released read zero too.
    SoundData empty = MakeSound("", 4);
    ReadStereo16(empty, 0, a, b);
    EXPECT_EQ(a, 0.0);
    empty.Samples.Release();
    ReadMono8(empty, 0, a);
    EXPECT_EQ(a, 0.0);
}

TEST(SampleReaders, OffsetBeyond32BitsRaisesOverflow) {
    const SoundData s = MakeSound(Bytes(8, '\0'), 4);
    double a, b;
    EXPECT_NO_THROW(ReadStereo16(s, INT32_MAX / 4, a, b));
    EXPECT_THROW(ReadStereo16(s, INT32_MAX / 4 + 1, a, b), OverflowError);
    EXPECT_THROW(ReadMono8(s, INT32_MIN / 4 - 1, a), OverflowError);
}
