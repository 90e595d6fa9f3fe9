#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "cli/CommandLine.h"
#include "cli/HeadlessSound.h"
#include "sound/MonoMix.h"

namespace zv {
namespace {

TEST(CommandLine, RefusesUnknownRepeatedAndValuelessOptions) {
    const std::set<std::string> known{"--fps", "--output"};
    std::string error;
    auto ok = CommandLine::Parse({"zorvane", "--beats", "a.wav", "--fps", "24"}, 3, known, error);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->Value("--fps"), "24");
    EXPECT_EQ(ok->Value("--output", "-"), "-");
    EXPECT_FALSE(CommandLine::Parse({"--fps", "24", "--fps", "25"}, 0, known, error));
    EXPECT_EQ(error, "--fps is given twice");
    EXPECT_FALSE(CommandLine::Parse({"--fps"}, 0, known, error));
    EXPECT_FALSE(CommandLine::Parse({"--bpm", "120"}, 0, known, error));
    EXPECT_EQ(error, "Unknown option: --bpm");
    // An option that may be repeated keeps every value, in order.
    auto many = CommandLine::Parse({"--fps", "24", "--output", "a", "--output", "b"}, 0, known, error, {"--output"});
    ASSERT_TRUE(many) << error;
    EXPECT_EQ(many->Values("--output"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(many->Values("--fps"), (std::vector<std::string>{"24"}));
    EXPECT_TRUE(many->Values("--none").empty());
}

TEST(CommandLine, ReadsRatesAsTheRateBoxDoes) {
    EXPECT_EQ(ParseFrameRate("29.97"), FrameRate::Fraction(30000, 1001));
    EXPECT_EQ(ParseFrameRate("23.976"), FrameRate::Fraction(24000, 1001));
    EXPECT_EQ(ParseFrameRate("12.5"), FrameRate::Fraction(25, 2));
    EXPECT_EQ(ParseFrameRate("24"), FrameRate(24));
    EXPECT_FALSE(ParseFrameRate("fast"));
    EXPECT_FALSE(ParseFrameRate("0"));
    EXPECT_FALSE(ParseFrameRate("-24"));
}

TEST(HeadlessSound, NamesTheMissingPath) {
    SoundData sound;
    std::string reason;
    EXPECT_FALSE(LoadSoundHeadless("/nonexistent/x.wav", sound, reason));
    EXPECT_NE(reason.find("/nonexistent/x.wav"), std::string::npos);
    std::string error;
    EXPECT_FALSE(WriteCommandOutput("x", "/nonexistent/dir/out.json", error));
    EXPECT_NE(error.find("/nonexistent/dir/out.json"), std::string::npos);
}

TEST(MonoMix, AveragesEveryChannelOfEachFrame) {
    SoundData sound;
    sound.WavFormat.nChannels = 3;
    sound.WavFormat.nBlockAlign = 6;
    sound.WavFormat.wBitsPerSample = 16;
    sound.Encoding = SampleEncoding::Int16;
    // Two frames of three channels: (16384, 0, -16384) and (3 x 8192).
    const uint8_t bytes[] = {0x00, 0x40, 0, 0, 0x00, 0xC0, 0x00, 0x20, 0x00, 0x20, 0x00, 0x20};
    ASSERT_TRUE(sound.Samples.Allocate(sizeof bytes, sizeof bytes));
    std::copy(std::begin(bytes), std::end(bytes), sound.Samples.data());
    sound.NumSamples = 2;
    sound.WavLoaded = true;
    const auto mono = MonoMix(sound, -5, 99);
    ASSERT_EQ(mono.size(), 2u);
    EXPECT_FLOAT_EQ(mono[0], 0.0f);
    EXPECT_FLOAT_EQ(mono[1], 0.25f);
    EXPECT_TRUE(MonoMix(sound, 1, 1).empty());
}

} // namespace
} // namespace zv
