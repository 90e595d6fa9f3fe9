// The loader on files built here: layouts it must accept, the messages and
// the state it leaves on each failure, and the memory a stated size costs.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "sound/RecordingMessageBox.h"
#include "sound/RiffReader.h"
#include "sound/WavBytes.h"
#include "sound/WavLoader.h"

using namespace zv;
using namespace zv::test;

namespace {

class WavLoaderTest : public ::testing::Test {
protected:
    // Loads `bytes` from a file and returns the messages shown.
    std::vector<std::string> Load(const Bytes& bytes) {
        box.texts.clear();
        ShowReport(box, LoadWavFile(sound, dir.Write("f.wav", bytes)));
        return box.texts;
    }
    Bytes Buffer() const { return Bytes(reinterpret_cast<const char*>(sound.data()), sound.size()); }

    ScratchDir dir;
    RecordingMessageBox box;
    SoundData sound;
    using Texts = std::vector<std::string>;
};

TEST_F(WavLoaderTest, LoadsPcmOfBothWidthsAndBothChannelCounts) {
    struct Case { int16_t channels, bits; };
    for (const Case c : {Case{1, 8}, Case{2, 8}, Case{1, 16}, Case{2, 16}}) {
        SCOPED_TRACE(testing::Message() << c.channels << " ch " << c.bits << " bit");
        const Bytes data = Ramp(24, c.bits);
        EXPECT_EQ(Load(Wav(c.channels, c.bits, data)), Texts{});
        EXPECT_TRUE(sound.WavLoaded);
        EXPECT_EQ(sound.WavFormat.wFormatTag, 1);
        EXPECT_EQ(sound.WavFormat.nChannels, c.channels);
        EXPECT_EQ(sound.WavFormat.wBitsPerSample, c.bits);
        EXPECT_EQ(sound.WavFormat.nSamplesPerSec, 8000);
        EXPECT_EQ(sound.NumSamples, 24 / (c.channels * c.bits / 8));
        EXPECT_EQ(Buffer(), data);
        EXPECT_EQ(sound.SubChunk.ckid, FourCC("data"));
        EXPECT_EQ(sound.SubChunk.cksize, 24u);
        EXPECT_EQ(sound.SubChunk.dwDataOffset, 44u);
        EXPECT_EQ(sound.RiffChunk.fccType, FourCC("WAVE"));
        EXPECT_EQ(sound.RiffChunk.cksize, 36u + 24u);
    }
}

TEST_F(WavLoaderTest, SkipsOtherChunksAroundFmtAndOddChunksWithTheirPadByte) {
    const Bytes data = Ramp(8);
    const Bytes list = Chunk("LIST", "INFOISFT" + Le32(3) + "abc");  // odd, padded
    EXPECT_EQ(Load(Riff(list + Fmt(2, 16, 4) + Chunk("fact", Le32(2)) + Chunk("data", data))), Texts{});
    EXPECT_TRUE(sound.WavLoaded);
    EXPECT_EQ(Buffer(), data);

    // An odd chunk between fmt and data, with its pad byte: found; without
    // it the walk lands one byte off and finds no data chunk.
    EXPECT_EQ(Load(Riff(Fmt(2, 16, 4) + Chunk("junk", "xyz") + Chunk("data", data))), Texts{});
    EXPECT_EQ(Buffer(), data);
    EXPECT_EQ(Load(Riff(Fmt(2, 16, 4) + Chunk("junk", "xyz", false) + Chunk("data", data))),
              Texts{kMsgNoData});
    EXPECT_FALSE(sound.WavLoaded);
}

TEST_F(WavLoaderTest, FindsChunksWhereverLongChunksBeforeThemEnd) {
    // Headers and the format bytes land on and across the walker's 4 KiB
    // read window, and far beyond it.
    for (std::size_t junk : {4050u, 4060u, 4061u, 4062u, 4066u, 4070u, 4080u, 4090u, 100000u}) {
        SCOPED_TRACE(junk);
        const Bytes data = Ramp(12, int(junk));
        EXPECT_EQ(Load(Riff(Chunk("LIST", Bytes(junk, 'j')) + Fmt(2, 16, 4) + Chunk("junk", Bytes(junk, 'k')) +
                            Chunk("data", data))),
                  Texts{});
        EXPECT_EQ(sound.WavFormat.nBlockAlign, 4);
        EXPECT_EQ(Buffer(), data);
    }
}

TEST_F(WavLoaderTest, ReadsExactly18FormatBytesWhateverTheFmtSize) {
    // 18-byte fmt: cbSize is its own last field.
    Load(Riff(Chunk("fmt ", FmtPayload(2, 16, 4, 18)) + Chunk("data", Ramp(8))));
    EXPECT_TRUE(sound.WavLoaded);
    EXPECT_EQ(sound.WavFormat.cbSize, 0);
    // 16-byte fmt: cbSize is the first two bytes after it ("da"), and the
    // data chunk is still found after the fmt chunk.
    Load(Riff(Chunk("fmt ", FmtPayload(2, 16, 4, 16)) + Chunk("data", Ramp(8))));
    EXPECT_TRUE(sound.WavLoaded);
    EXPECT_EQ(sound.WavFormat.cbSize, 'd' | 'a' << 8);
    EXPECT_EQ(sound.WavFormat.nBlockAlign, 4);
    EXPECT_EQ(Buffer(), Ramp(8));
}

TEST_F(WavLoaderTest, FrameCountIsRoundedHalfToEven) {
    for (auto [bytes, frames] : {std::pair{1000u, 250}, {1002u, 250}, {1003u, 251}, {1006u, 252}}) {
        Load(Riff(Fmt(2, 16, 4) + Chunk("data", Ramp(bytes))));
        EXPECT_TRUE(sound.WavLoaded);
        EXPECT_EQ(sound.NumSamples, frames) << bytes << " bytes";
        EXPECT_EQ(sound.size(), bytes);
    }
}

TEST_F(WavLoaderTest, ShortAndEmptyDataChunksLoadWithTheirStatedSize) {
    // The file ends 10 bytes into a 1000-byte data chunk: the tail is zero.
    const Bytes head = Ramp(10, 1);
    EXPECT_EQ(Load(CutShort(Fmt(2, 16, 4), 1000, head)), Texts{});
    EXPECT_TRUE(sound.WavLoaded);
    EXPECT_EQ(sound.NumSamples, 250);
    EXPECT_EQ(Buffer(), head + Bytes(990, '\0'));

    EXPECT_EQ(Load(Riff(Fmt(2, 16, 4) + Chunk("data", ""))), Texts{});
    EXPECT_TRUE(sound.WavLoaded);
    EXPECT_EQ(sound.NumSamples, 0);
    EXPECT_EQ(sound.size(), 0u);
}

TEST_F(WavLoaderTest, RefusesFilesThatAreNotRiffWave) {
    EXPECT_EQ(Load(Riff(Chunk("avih", Ramp(56)), "AVI ")), Texts{kMsgNotWave});
    EXPECT_EQ(Load(""), Texts{kMsgNotWave});
    EXPECT_EQ(Load("RF64" + Le32(0xFFFFFFFF) + "WAVE" + Fmt(2, 16, 4) + Chunk("data", Ramp(8))),
              Texts{kMsgNotWave});
    EXPECT_EQ(Load(Riff(Chunk("data", Ramp(8)))), Texts{kMsgNoFormat});
    // A RIFF WAVE after a RIFF of another form type is found.
    EXPECT_EQ(Load(Riff(Chunk("x", "y"), "AVI ") + Wav(1, 8, Ramp(3))), Texts{});
    EXPECT_EQ(Buffer(), Ramp(3));
}

TEST_F(WavLoaderTest, ChunkSearchStaysInsideTheParentAndTheFile) {
    const Bytes children = Fmt(2, 16, 4) + Chunk("data", Ramp(8));
    // The RIFF chunk claims 4 bytes (its form type only): its children lie
    // outside it and are not found.
    EXPECT_EQ(Load("RIFF" + Le32(4) + "WAVE" + children), Texts{kMsgNoFormat});
    // A RIFF chunk claiming more than the file holds is searched up to the
    // file's end.
    EXPECT_EQ(Load("RIFF" + Le32(0xFFFFFFFF) + "WAVE" + children), Texts{});
    EXPECT_TRUE(sound.WavLoaded);
    // A chunk claiming 4 GB before fmt ends the search at the file's end.
    EXPECT_EQ(Load(Riff(ChunkStated("LIST", 0xFFFFFFFE, "INFO") + children)), Texts{kMsgNoFormat});
    // A fmt chunk claiming more than the file: the data search starts past
    // the end and finds nothing.
    EXPECT_EQ(Load(Riff(ChunkStated("fmt ", 0xFFFFFFF0, FmtPayload(2, 16, 4)) + Chunk("data", Ramp(8)))),
              Texts{kMsgNoData});
    // A file that ends inside the fmt chunk: a short format read is no
    // failure, but no data chunk follows.
    EXPECT_EQ(Load(Riff("fmt " + Le32(16) + FmtPayload(2, 16, 4).substr(0, 6))), Texts{kMsgNoData});
}

TEST_F(WavLoaderTest, MissingFileAndEmptyPathChangeOnlyWhatTheyShould) {
    ASSERT_EQ(Load(Wav(2, 16, Ramp(16))), Texts{});
    const ChunkInfo riff = sound.RiffChunk, sub = sound.SubChunk;

    ShowReport(box, LoadWavFile(sound, dir.Path("missing.wav")));
    EXPECT_EQ(box.texts, Texts{"Error opening input file, rc = 2"});
    EXPECT_FALSE(sound.WavLoaded);
    EXPECT_EQ(Buffer(), Ramp(16));
    EXPECT_EQ(sound.NumSamples, 4);
    EXPECT_EQ(sound.SubChunk.dwDataOffset, sub.dwDataOffset);

    // A directory opens but holds no chunks.
    box.texts.clear();
    ShowReport(box, LoadWavFile(sound, dir.Path("")));
    EXPECT_EQ(box.texts, Texts{kMsgNotWave});

    box.texts.clear();
    ShowReport(box, LoadWavFile(sound, ""));
    EXPECT_EQ(box.texts, Texts{});
    EXPECT_FALSE(sound.WavLoaded);
    EXPECT_EQ(sound.data(), nullptr);
    EXPECT_EQ(sound.size(), 0u);
    EXPECT_EQ(sound.NumSamples, 4);
    EXPECT_EQ(sound.WavFormat.nChannels, 2);
    EXPECT_EQ(sound.RiffChunk.cksize, riff.cksize);
    EXPECT_EQ(sound.SubChunk.cksize, sub.cksize);
    // Releasing twice is harmless, and the next load works.
    ShowReport(box, LoadWavFile(sound, ""));
    EXPECT_EQ(Load(Wav(1, 8, Ramp(5))), Texts{});
    EXPECT_EQ(Buffer(), Ramp(5));
}

TEST_F(WavLoaderTest, FailedLoadAfterAGoodOneKeepsTheBufferButNotTheFlag) {
    ASSERT_EQ(Load(Wav(2, 16, Ramp(16))), Texts{});
    // No data chunk after fmt: WavFormat is the new file's, buffer and count
    // the old sound's, and nothing may read them.
    EXPECT_EQ(Load(Riff(Chunk("data", Ramp(4)) + Fmt(1, 8, 1))), Texts{kMsgNoData});
    EXPECT_FALSE(sound.WavLoaded);
    EXPECT_EQ(sound.WavFormat.nChannels, 1);
    EXPECT_EQ(sound.NumSamples, 4);
    EXPECT_EQ(Buffer(), Ramp(16));
}

TEST_F(WavLoaderTest, RefusesBlockAlignBelowOneAndFrameCountsBeyond32Bits) {
    ASSERT_EQ(Load(Wav(2, 16, Ramp(16))), Texts{});
    for (int16_t align : {int16_t(0), int16_t(-4), int16_t(-32768)}) {
        EXPECT_EQ(Load(Riff(Fmt(2, 16, align) + Chunk("data", Ramp(8, 7)))), Texts{kMsgBlockAlign});
        EXPECT_FALSE(sound.WavLoaded);
        EXPECT_EQ(sound.WavFormat.nBlockAlign, align);
        EXPECT_EQ(Buffer(), Ramp(16));
        EXPECT_EQ(sound.NumSamples, 4);
    }
    // 0xFFFFFFFF bytes of 1-byte frames do not fit a 32-bit count, nor do
    // 0xFFFFFFFF / 2 = 2147483647.5, which rounds to the even 2147483648.
    for (int16_t align : {int16_t(1), int16_t(2)}) {
        EXPECT_EQ(Load(CutShort(Fmt(1, 8, align), 0xFFFFFFFF, Ramp(8))),
                  Texts{kMsgTooManyFrames});
        EXPECT_FALSE(sound.WavLoaded);
        EXPECT_EQ(Buffer(), Ramp(16));
    }
    // 0xFFFFFFFE / 2 fits exactly.
    EXPECT_EQ(Load(CutShort(Fmt(1, 16, 2), 0xFFFFFFFE, Ramp(8))), Texts{});
    EXPECT_EQ(sound.NumSamples, INT32_MAX);
}

long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

TEST_F(WavLoaderTest, StatedSizeBeyondTheFileCostsOnlyTheBytesRead) {
    const Bytes head = Ramp(100, 3);
    const long before = ResidentKiB();
    EXPECT_EQ(Load(CutShort(Fmt(2, 16, 4), 0xFFFFFFF0, head)), Texts{});
    const long after = ResidentKiB();
    ASSERT_TRUE(sound.WavLoaded);
    EXPECT_EQ(sound.size(), 0xFFFFFFF0u);
    EXPECT_EQ(sound.NumSamples, 1073741820);
    EXPECT_EQ(Bytes(reinterpret_cast<const char*>(sound.data()), 100), head);
    // The tail reads as zero and still costs nothing.
    for (std::size_t at = 100; at < sound.size(); at += std::size_t{1} << 28) EXPECT_EQ(sound.data()[at], 0);
    EXPECT_EQ(sound.data()[sound.size() - 1], 0);
    EXPECT_LT(after - before, 1024) << "KiB resident growth";
    EXPECT_LT(ResidentKiB() - before, 1024) << "KiB resident growth after reading the tail";
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define __SANITIZE_ADDRESS__ 1
#endif
#endif
#ifndef __SANITIZE_ADDRESS__
// The sanitizer's shadow memory needs more address space than the limit
// below leaves, so this one runs in the plain build only.
TEST_F(WavLoaderTest, FailedAllocationLeavesNothingLoaded) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string path = dir.Write("big.wav", CutShort(Fmt(2, 16, 4), 0xFFFFFFF0, Ramp(8)));
    const std::string good = dir.Write("good.wav", Wav(2, 16, Ramp(16)));
    EXPECT_EXIT(
        {
            ShowReport(box, LoadWavFile(sound, good));
            // Leave far less address space than the 4 GB block needs.
            rlimit limit{};
            getrlimit(RLIMIT_AS, &limit);
            limit.rlim_cur = 3ull << 30;
            if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(2);
            ShowReport(box, LoadWavFile(sound, path));
            const bool ok = box.texts == Texts{kMsgNoMemory} && !sound.WavLoaded && sound.size() == 0;
            _exit(ok ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
