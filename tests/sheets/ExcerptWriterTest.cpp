// Export Selection as Sound: exactly the samples a frame range plays, at the
// sound's own rate and sample format, with the lead-in and tail asked for;
// bad ranges and unwritable paths are told and leave nothing behind.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <filesystem>
#include <vector>

#include "TestSounds.h"
#include "sheets/SoundExcerpt.h"
#include "sheets/system/ExcerptWriter.h"

namespace zv {
namespace {

struct Read {
    SF_INFO info{};
    std::vector<int> samples;   // interleaved, as 32-bit
};

Read ReadAll(const std::string& path) {
    Read r;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &r.info);
    if (file == nullptr) return r;
    r.samples.resize(static_cast<std::size_t>(r.info.frames * r.info.channels));
    sf_readf_int(file, r.samples.data(), r.info.frames);
    sf_close(file);
    return r;
}

TEST(SoundExcerpt, FramesToSamples) {
    std::string error;
    // Start 10, End 20 at 30 fps on 48 kHz: 16,000 samples; a 2-frame lead-in adds 3,200.
    auto plain = ExcerptOfFrames(10, 20, 0, 0, 30, 48000, 480000, error);
    ASSERT_TRUE(plain) << error;
    EXPECT_EQ(plain->from, 16000);
    EXPECT_EQ(plain->to, 32000);
    EXPECT_EQ(plain->Total(), 16000);
    auto lead = ExcerptOfFrames(10, 20, 2, 0, 30, 48000, 480000, error);
    ASSERT_TRUE(lead);
    EXPECT_EQ(lead->Total(), 19200);
    // At 29.97 a frame is 1601.6 samples: ten of them tile exactly, no sample lost or doubled.
    auto ntsc = ExcerptOfFrames(10, 20, 0, 0, FrameRate::Fraction(30000, 1001), 48000, 480000, error);
    ASSERT_TRUE(ntsc);
    EXPECT_EQ(ntsc->from, 16016);
    EXPECT_EQ(ntsc->to, 32032);
    // The end is kept within the sound.
    auto past = ExcerptOfFrames(280, 400, 0, 0, 30, 48000, 480000, error);
    ASSERT_TRUE(past);
    EXPECT_EQ(past->to, 480000);
    EXPECT_FALSE(ExcerptOfFrames(20, 20, 0, 0, 30, 48000, 480000, error));
    EXPECT_FALSE(ExcerptOfFrames(20, 10, 0, 0, 30, 48000, 480000, error));
    EXPECT_FALSE(ExcerptOfFrames(300, 310, 0, 0, 30, 48000, 480000, error));
    EXPECT_FALSE(ExcerptOfFrames(1, 2, -1, 0, 30, 48000, 480000, error));
    EXPECT_FALSE(ExcerptOfFrames(1, 2, 0, 0, 0, 48000, 480000, error));
    EXPECT_FALSE(error.empty());
}

TEST(ExcerptWriter, WritesExactlyWhatPlaysInTheSoundsOwnFormat) {
    test::TempDir dir;
    for (const int subtype : {SF_FORMAT_PCM_16, SF_FORMAT_PCM_24}) {
        SCOPED_TRACE(subtype);
        const std::string source = dir.File("tone.wav"), out = dir.File("shot.wav");
        test::WriteSound(source, SF_FORMAT_WAV | subtype, 48000, 2, test::Tone(48000, 480000, 441, 0.5));
        std::string error;
        const SoundExcerpt excerpt = *ExcerptOfFrames(10, 20, 2, 1, 30, 48000, 480000, error);
        const std::optional<std::string> failed = WriteSoundExcerpt(source, excerpt, out);
        ASSERT_FALSE(failed) << *failed;
        const Read whole = ReadAll(source), shot = ReadAll(out);
        EXPECT_EQ(shot.info.samplerate, 48000);
        EXPECT_EQ(shot.info.channels, 2);
        EXPECT_EQ(shot.info.format, SF_FORMAT_WAV | subtype);
        ASSERT_EQ(shot.info.frames, 19200 + 1600);
        for (std::size_t i = 0; i < 3200 * 2; ++i) ASSERT_EQ(shot.samples[i], 0) << "lead-in sample " << i;
        for (std::size_t i = 0; i < 16000 * 2; ++i)
            ASSERT_EQ(shot.samples[3200 * 2 + i], whole.samples[16000 * 2 + i]) << "sample " << i;
        for (std::size_t i = 19200 * 2; i < shot.samples.size(); ++i) ASSERT_EQ(shot.samples[i], 0) << "tail " << i;
    }
}

TEST(ExcerptWriter, FailuresAreToldAndLeaveNothing) {
    test::TempDir dir;
    const std::string source = dir.File("tone.wav");
    test::WriteWav(source, 48000, 1, test::Tone(48000, 48000, 441, 0.5));
    std::string error;
    const SoundExcerpt excerpt = *ExcerptOfFrames(0, 10, 0, 0, 30, 48000, 48000, error);
    EXPECT_TRUE(WriteSoundExcerpt(dir.File("gone.wav"), excerpt, dir.File("out.wav")));
    EXPECT_TRUE(WriteSoundExcerpt(source, excerpt, dir.File("no/such/folder/out.wav")));
    // A folder in the way of the target: told, the folder untouched, no temporary file left.
    std::filesystem::create_directories(dir.File("taken.wav/inside"));
    EXPECT_TRUE(WriteSoundExcerpt(source, excerpt, dir.File("taken.wav")));
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.File(""))) ++entries;
    EXPECT_EQ(entries, 2u);   // tone.wav and the folder
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.wav")));
}

} // namespace
} // namespace zv
