// Every file of the fuzz target's seed corpus (fuzz/corpus, written by
// fuzz/make_corpus.py) with its expected outcome: loaded with a frame count,
// or refused with the loader's exact message. Each file is its own case.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "sound/RecordingMessageBox.h"
#include "sound/WavLoader.h"

using namespace zv;
using namespace zv::test;

namespace {

struct Expected {
    const char* file;
    const char* message;  // nullptr: loads
    int32_t frames;
};

const Expected kCorpus[] = {
    {"good_stereo16.wav", nullptr, 16},
    {"good_mono8.wav", nullptr, 33},
    // cksize 0: the 18 format bytes come from the data chunk that follows,
    // whose zero bytes give nBlockAlign 0.
    {"fmt_size0.wav", kMsgBlockAlign, 0},
    {"fmt_truncated.wav", kMsgNoData, 0},
    {"channels0.wav", nullptr, 16},
    {"blockalign0.wav", kMsgBlockAlign, 0},
    {"blockalign_negative.wav", kMsgBlockAlign, 0},
    {"bits0.wav", nullptr, 16},
    {"bits24.wav", nullptr, 10},
    {"bits32.wav", nullptr, 8},
    {"data_before_fmt.wav", kMsgNoData, 0},
    {"data_past_end.wav", nullptr, 250},
    {"data_size_ffffffff.wav", nullptr, 1073741824},  // 4294967295 / 4 rounded
    {"frames_beyond_32bit.wav", kMsgTooManyFrames, 0},
    {"frames_int32_max.wav", nullptr, INT32_MAX},  // the largest count that loads
    {"riff_size_ffffffff.wav", nullptr, 4},
    {"riff_size_past_end.wav", nullptr, 4},
    {"riff_size_too_small.wav", kMsgNoFormat, 0},
    {"list_size_ffffffff.wav", kMsgNoFormat, 0},
    {"odd_chunk_padded.wav", nullptr, 4},
    {"odd_chunk_unpadded.wav", kMsgNoData, 0},
    {"odd_data_padded.wav", nullptr, 2},
    {"odd_data_unpadded.wav", nullptr, 2},
    {"nested_list.wav", nullptr, 4},
    {"data_inside_list.wav", kMsgNoData, 0},
    {"riff_avi.wav", kMsgNotWave, 0},
    {"rf64.wav", kMsgNotWave, 0},
    {"empty.wav", kMsgNotWave, 0},
    {"riff_12_bytes.wav", kMsgNoFormat, 0},
    {"extensible.wav", nullptr, 16},
    {"float32.wav", nullptr, 4},
    {"float64.wav", nullptr, 2},
    {"int24_stereo.wav", nullptr, 2},
    {"extensible24.wav", nullptr, 10},
    {"extensible_float32.wav", nullptr, 2},
    {"extensible_unknown_guid.wav", nullptr, 10},
    {"extensible_six_channels.wav", nullptr, 4},
    {"bwf_bext_ixml.wav", nullptr, 10},
    // RF64 / BW64: sizes from ds64, but never more than the file holds.
    {"rf64_ds64.wav", nullptr, 10},
    {"bw64_ds64.wav", nullptr, 10},
    {"rf64_huge_ds64.wav", nullptr, 10},
    {"rf64_ds64_data_4gib.wav", nullptr, 10},
    {"rf64_float_extensible.wav", nullptr, 2},
};

const std::filesystem::path kDir = std::filesystem::path(ZORVANE_SOURCE_DIR) / "fuzz" / "corpus" / "wav";

class Corpus : public ::testing::TestWithParam<Expected> {};

TEST_P(Corpus, Outcome) {
    const Expected& e = GetParam();
    const auto path = kDir / e.file;
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    SoundData sound;
    RecordingMessageBox box;
    ShowReport(box, LoadWavFile(sound, path.string()));
    if (e.message == nullptr) {
        EXPECT_EQ(box.texts, std::vector<std::string>{});
        EXPECT_TRUE(sound.WavLoaded);
        EXPECT_EQ(sound.NumSamples, e.frames);
        EXPECT_EQ(sound.size(), sound.SubChunk.cksize);
    } else {
        EXPECT_EQ(box.texts, std::vector<std::string>{e.message});
        EXPECT_FALSE(sound.WavLoaded);
        EXPECT_EQ(sound.size(), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, Corpus, ::testing::ValuesIn(kCorpus), [](const auto& info) {
    std::string name = std::filesystem::path(info.param.file).stem().string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

TEST(CorpusList, EveryFileHasAnExpectedOutcome) {
    std::set<std::string> listed, present;
    for (const Expected& e : kCorpus) listed.insert(e.file);
    for (const auto& entry : std::filesystem::directory_iterator(kDir)) present.insert(entry.path().filename());
    EXPECT_EQ(present, listed);
}

}  // namespace
