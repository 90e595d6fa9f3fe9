// Opening files for playing: what opens, and the reasons for what does not.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <fstream>
#include <vector>

#include "TestSounds.h"
#include "common/Errors.h"
#include "playback/system/DecodedSound.h"
#include "playback/system/SoundFile.h"
#include "sound/SoundDecoder.h"
#include "sound/SoundDecoding.h"

namespace zv {
namespace {

std::string ReasonFor(const std::string& path) {
    try {
        SoundFile file(path);
    } catch (const DeviceError& e) {
        return e.what();
    }
    return "";
}

TEST(SoundFile, ReasonsForFilesThatDoNotOpen) {
    test::TempDir dir;
    EXPECT_NE(ReasonFor(dir.File("missing.wav")).find("No such file"), std::string::npos);
    test::WriteText(dir.File("text.wav"), "RIFF but not really a wave file at all");
    EXPECT_NE(ReasonFor(dir.File("text.wav")), "");

    // A sound libsndfile reads, but not wave audio.
    SF_INFO info{};
    info.samplerate = 8000;
    info.channels = 1;
    info.format = SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
    SNDFILE* aiff = sf_open(dir.File("tone.aiff").c_str(), SFM_WRITE, &info);
    ASSERT_NE(aiff, nullptr);
    const std::vector<short> samples(800, 1000);
    sf_writef_short(aiff, samples.data(), 800);
    sf_close(aiff);
    EXPECT_EQ(ReasonFor(dir.File("tone.aiff")), "Not a WAV file.");
}

TEST(SoundFile, EightBitUnsignedAndShortDataChunks) {
    test::TempDir dir;
    // 8-bit mono, 4 samples: 128 is silence, 255 loud, 0 loud the other way.
    const unsigned char bytes[] = {
        'R', 'I', 'F', 'F', 40, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,
        1, 0, 1, 0, 0x40, 0x1f, 0, 0, 0x40, 0x1f, 0, 0, 1, 0, 8, 0,
        'd', 'a', 't', 'a', 100, 0, 0, 0,   // says 100 bytes, holds 4
        128, 255, 0, 128};
    const std::string path = dir.File("eight.wav");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes), sizeof bytes);
    SoundFile file(path);
    EXPECT_EQ(file.SampleRate(), 8000);
    EXPECT_EQ(file.Channels(), 1);
    EXPECT_EQ(file.Frames(), 4);
    float out[8] = {};
    EXPECT_EQ(file.Read(out, 8), 4);
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_GT(out[1], 0.9f);
    EXPECT_EQ(out[2], -1.0f);
    file.Seek(1);
    EXPECT_EQ(file.Read(out, 1), 1);
    EXPECT_GT(out[0], 0.9f);
}

// The output plays a compressed sound from the samples decoded for the
// waveform: the very frames the file gives.
TEST(DecodedSound, HoldsTheFilesOwnFramesFromTheWindowsDecode) {
    test::TempDir dir;
    const std::string path = dir.File("tone.flac");
    test::WriteSound(path, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 2, test::Tone(44100, 100000, 440.0, 0.5));
    SoundFile file(path);
    ASSERT_TRUE(file.Compressed());
    SoundData sound;
    DecodeProgress progress;
    std::string reason;
    ASSERT_EQ(DecodeSound(sound, *OpenSoundDecoder(path), progress, reason), DecodeOutcome::Loaded) << reason;
    const DecodedSound decoded(sound.Samples.Share(), sound.WavFormat.nChannels, sound.NumSamples);
    sound.Samples.Release();   // the window moved on; the output still holds them
    ASSERT_EQ(decoded.Available(), file.Frames());
    // A stretch from the middle, and one running past the end.
    std::vector<float> fromFile(2 * 5000), fromMemory(2 * 5000, 9.0f);
    file.Seek(60000);
    ASSERT_EQ(file.Read(fromFile.data(), 5000), 5000);
    ASSERT_EQ(decoded.Read(60000, fromMemory.data(), 5000), 5000);
    EXPECT_EQ(fromMemory, fromFile);
    EXPECT_EQ(decoded.Read(file.Frames() - 10, fromMemory.data(), 5000), 10);
}

} // namespace
} // namespace zv
