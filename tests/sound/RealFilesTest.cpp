// WAV files made elsewhere (alsa-utils' test sounds), loaded and read back
// sample for sample against libsndfile's reading of the same files.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>
#include <vector>

#include "sound/RecordingMessageBox.h"
#include "sound/SampleReaders.h"
#include "sound/WavLoader.h"

using namespace zv;
using namespace zv::test;

TEST(RealFiles, AlsaTestSoundsLoadAndReadLikeLibsndfile) {
    const std::filesystem::path dir = "/usr/share/sounds/alsa";
    if (!std::filesystem::is_directory(dir)) GTEST_SKIP() << "no " << dir;
    int checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".wav") continue;
        const std::string path = entry.path().string();
        SCOPED_TRACE(path);
        SoundData sound;
        RecordingMessageBox box;
        ShowReport(box, LoadWavFile(sound, path));
        EXPECT_TRUE(box.texts.empty());
        ASSERT_TRUE(sound.WavLoaded);

        SF_INFO info{};
        SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
        ASSERT_NE(f, nullptr);
        std::vector<short> pcm(static_cast<std::size_t>(info.frames * info.channels));
        sf_readf_short(f, pcm.data(), info.frames);
        sf_close(f);

        EXPECT_EQ(sound.WavFormat.nChannels, info.channels);
        EXPECT_EQ(sound.WavFormat.nSamplesPerSec, info.samplerate);
        EXPECT_EQ(sound.NumSamples, info.frames);
        ASSERT_EQ(sound.WavFormat.wBitsPerSample, 16);
        for (int32_t frame = 0; frame < sound.NumSamples; ++frame) {
            double value;
            ReadMono16(sound, frame, value);
            ASSERT_EQ(value, pcm[static_cast<std::size_t>(frame * info.channels)] / 32768.0) << frame;
        }
        ++checked;
    }
    if (checked == 0) GTEST_SKIP() << "no WAV files in " << dir;
}
