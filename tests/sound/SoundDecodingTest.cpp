// Compressed sounds (FLAC, Ogg Vorbis, Opus, MP3) decoded through the
// system's decoder into the loaded-sound record: each draws like the 16-bit
// WAV of the same sound and has the length the playback device gives it; a
// decoder that misstates its length, breaks or is cancelled leaves a sound
// that is whole or none at all. And the header bytes that decide the path.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <thread>
#include <utility>
#include <vector>

#include "TestSounds.h"
#include "common/Errors.h"
#include "playback/system/SoundFile.h"
#include "sound/RecordingMessageBox.h"
#include "sound/SampleReaders.h"
#include "sound/SoundDecoding.h"
#include "sound/SoundKind.h"
#include "sound/WavLoader.h"
#include "waveview/PeakSummary.h"
#include "waveview/RecordingCanvas.h"
#include "waveview/SummaryDuringLoad.h"
#include "waveview/WaveRenderer.h"

namespace zv {
namespace {

constexpr int32_t kRate = 48000;
constexpr int64_t kFrames = 3 * kRate;

struct Rows {
    float top = std::numeric_limits<float>::max(), bottom = std::numeric_limits<float>::lowest();
};

std::pair<Rows, Rows> Draw(SoundData& sound) {
    sound.ViewStart = 0;
    sound.ViewEnd = sound.NumSamples;
    test::RecordingCanvas canvas;
    DrawWaves(sound, canvas, 9015, 3675);
    Rows red, green;
    for (const auto& s : canvas.segments) {
        Rows& r = s.colour == Rgb{255, 0, 0} ? red : green;
        r.top = std::min({r.top, s.y1, s.y2});
        r.bottom = std::max({r.bottom, s.y1, s.y2});
    }
    return {red, green};
}

DecodeOutcome Decode(const std::string& path, SoundData& sound, std::string& reason) {
    DecodeProgress progress;
    try {
        auto decoder = OpenSoundDecoder(path);
        return DecodeSound(sound, *decoder, progress, reason);
    } catch (const DeviceError& e) {
        reason = e.what();
        return DecodeOutcome::Failed;
    }
}

TEST(SoundDecoding, CompressedFilesDrawLikeTheSixteenBitWavAndMatchThePlayedLength) {
    test::TempDir dir;
    const auto tone = test::Tone(kRate, kFrames, 440, 0.5);
    test::WriteWav(dir.File("ref.wav"), kRate, 2, tone);
    SoundData ref;
    test::RecordingMessageBox box;
    ShowReport(box, LoadWavFile(ref, dir.File("ref.wav")));
    const auto want = Draw(ref);

    struct Case {
        const char* name;
        int format;
    };
    for (const Case& c : {Case{"tone.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
                          Case{"tone.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
                          Case{"tone.opus", SF_FORMAT_OGG | SF_FORMAT_OPUS},
                          Case{"tone.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III}}) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File(c.name);
        test::WriteSound(path, c.format, kRate, 2, tone);
        EXPECT_EQ(ClassifySoundFile(path), SoundKind::Compressed);
        SoundData sound;
        std::string reason;
        ASSERT_EQ(Decode(path, sound, reason), DecodeOutcome::Loaded) << reason;
        EXPECT_TRUE(sound.WavLoaded);
        // The drawing and the sound agree on the length.
        EXPECT_EQ(sound.NumSamples, SoundFile(path).Frames());
        EXPECT_NEAR(sound.NumSamples, kFrames, kRate / 100);
        EXPECT_EQ(sound.size(), std::size_t(sound.NumSamples) * 4);
        EXPECT_EQ(sound.WavFormat.nBlockAlign, 4);
        EXPECT_EQ(sound.WavFormat.nSamplesPerSec, kRate);
        // Within 4 pixel rows (15 twips a row at 96 dpi): lossy codecs ring
        // a little past the tone's peaks.
        const auto got = Draw(sound);
        EXPECT_NEAR(got.first.top, want.first.top, 60);
        EXPECT_NEAR(got.first.bottom, want.first.bottom, 60);
        EXPECT_NEAR(got.second.top, want.second.top, 60);
        EXPECT_NEAR(got.second.bottom, want.second.bottom, 60);
    }
}

// A decoder of a counting signal whose stated length and failure are chosen.
class ScriptedDecoder : public SoundDecoder {
public:
    ScriptedDecoder(int64_t stated, int64_t real, int64_t failAt = -1)
        : stated_(stated), real_(real), failAt_(failAt) {}
    int Channels() const override { return 3; }
    int32_t SampleRate() const override { return 8000; }
    int64_t StatedFrames() const override { return stated_; }
    int64_t Read(int16_t* out, int64_t frames) override {
        if (failAt_ >= 0 && next_ >= failAt_) throw DeviceError("The file is damaged (bad frame)");
        const int64_t n = std::min(frames, real_ - next_);
        for (int64_t i = 0; i < n * 3; ++i) out[i] = int16_t((next_ * 3 + i) & 0x7FFF);
        next_ += n;
        return n;
    }

private:
    int64_t stated_, real_, failAt_, next_ = 0;
};

TEST(SoundDecoding, MisstatedBrokenAndCancelledDecodesLeaveAWholeSoundOrNone) {
    struct Case {
        const char* name;
        int64_t stated, real, failAt;
        DecodeOutcome outcome;
        int64_t frames;   // what is drawn: the stated length when there is one
    };
    for (const Case& c : {Case{"more than stated: cut where playback ends", 70'000, 3'000'000, -1, DecodeOutcome::Loaded, 70'000},
                          Case{"an estimate 0.5 % long: silence to its end", 100'500, 100'000, -1, DecodeOutcome::Loaded, 100'500},
                          Case{"far less than stated", 5'000'000, 1000, -1, DecodeOutcome::Failed, 0},
                          Case{"no length stated: the buffer grows", 0, 3'000'000, -1, DecodeOutcome::Loaded, 3'000'000},
                          Case{"breaks midway", 100'000, 100'000, 50'000, DecodeOutcome::Failed, 0},
                          Case{"holds no sound", 100, 0, -1, DecodeOutcome::Failed, 0}}) {
        SCOPED_TRACE(c.name);
        ScriptedDecoder decoder(c.stated, c.real, c.failAt);
        SoundData sound;
        DecodeProgress progress;
        std::string reason;
        ASSERT_EQ(DecodeSound(sound, decoder, progress, reason), c.outcome);
        if (c.outcome == DecodeOutcome::Failed) {
            EXPECT_FALSE(sound.WavLoaded);
            EXPECT_FALSE(reason.empty());
            continue;
        }
        EXPECT_EQ(sound.NumSamples, c.frames);
        EXPECT_EQ(sound.size(), std::size_t(c.frames) * 6);
        EXPECT_EQ(sound.Encoding, SampleEncoding::Int16);
        // Every sample in its place: frame f, channel k holds (3f + k) mod 2^15.
        const int64_t decoded = std::min(c.real, c.frames);
        for (int64_t f : {int64_t{0}, decoded / 2, decoded - 1})
            for (int k = 0; k < 3; ++k)
                EXPECT_EQ(NormalizedSample(sound, int32_t(f), k), double((3 * f + k) & 0x7FFF) / 32768.0);
        if (c.frames > decoded) {
            EXPECT_EQ(NormalizedSample(sound, int32_t(c.frames - 1), 2), 0.0);
        }
    }
    EXPECT_EQ(std::string("The file is damaged (bad frame)"), [] {
        ScriptedDecoder d(100'000, 100'000, 50'000);
        SoundData s;
        DecodeProgress p;
        std::string r;
        DecodeSound(s, d, p, r);
        return r;
    }());

    ScriptedDecoder decoder(100'000, 100'000);
    SoundData sound;
    DecodeProgress progress;
    progress.Cancel();
    std::string reason;
    EXPECT_EQ(DecodeSound(sound, decoder, progress, reason), DecodeOutcome::Cancelled);
    EXPECT_FALSE(sound.WavLoaded);
}

// The peak summary made close behind the decode is the one made from the
// whole record afterwards; a file of no stated length (its buffer grows and
// moves) is decoded without it, and the summary is then made afterwards.
TEST(SoundDecoding, TheSummaryMadeDuringTheDecodeMatchesTheDecodedSound) {
    for (const int64_t stated : {int64_t{300'000}, int64_t{300'700}, int64_t{0}}) {
        SCOPED_TRACE(stated);
        ScriptedDecoder decoder(stated, 300'000);
        SoundData sound;
        DecodeProgress progress;
        std::string reason;
        auto during = std::make_shared<SummaryDuringLoad>();
        PeakSummary made;
        JobProgress summaryProgress;
        JobOutcome summaryOutcome = JobOutcome::Failed;
        std::thread summarising([&] { summaryOutcome = during->Build(summaryProgress, made); });
        const DecodeOutcome outcome = DecodeSound(sound, decoder, progress, reason, during.get());
        during->LoadEnded();
        summarising.join();
        ASSERT_EQ(outcome, DecodeOutcome::Loaded) << reason;
        if (stated == 0) {
            EXPECT_EQ(summaryOutcome, JobOutcome::Cancelled);
            continue;
        }
        ASSERT_EQ(summaryOutcome, JobOutcome::Finished);
        ASSERT_TRUE(made.Ready());
        PeakSummary after;
        after.Build(sound);
        EXPECT_EQ(made.Frames(), sound.NumSamples);
        const std::vector<std::pair<int64_t, int64_t>> stretches{
            {0, sound.NumSamples}, {1000, 1001}, {12'345, 250'000}, {299'990, 300'700}, {sound.NumSamples - 3, sound.NumSamples}};
        for (const auto& [from, to] : stretches)
            for (int c = 0; c < made.Channels(); ++c) {
                const auto a = made.Query(c, from, to), b = after.Query(c, from, to);
                EXPECT_EQ(a.low, b.low) << from << ".." << to;
                EXPECT_EQ(a.high, b.high) << from << ".." << to;
            }
    }
}

TEST(SoundDecoding, BrokenCompressedFilesGiveAReason) {
    test::TempDir dir;
    test::WriteText(dir.File("bad.flac"), std::string("fLaC") + std::string(2000, '\x55'));
    test::WriteText(dir.File("empty.mp3"), "ID3");
    // A file cut short after its first second decodes that far, then fails.
    test::WriteSound(dir.File("whole.flac"), SF_FORMAT_FLAC | SF_FORMAT_PCM_16, kRate, 2,
                     test::Tone(kRate, kFrames, 440, 0.5));
    std::string whole(std::filesystem::file_size(dir.File("whole.flac")), '\0');
    std::ifstream(dir.File("whole.flac"), std::ios::binary).read(whole.data(), std::streamsize(whole.size()));
    test::WriteText(dir.File("cut.flac"), whole.substr(0, whole.size() / 3));
    struct Case {
        const char* name;
        const char* reason;   // how the reason starts
    };
    for (const Case& c : {Case{"bad.flac", "The file is damaged ("}, Case{"empty.mp3", "The file is too short or damaged."},
                          Case{"cut.flac", "The file ends before the length it states ("}, Case{"missing.ogg", "No such file"}}) {
        SCOPED_TRACE(c.name);
        SoundData sound;
        std::string reason;
        EXPECT_EQ(Decode(dir.File(c.name), sound, reason), DecodeOutcome::Failed);
        EXPECT_EQ(reason.rfind(c.reason, 0), 0u) << reason;
        EXPECT_FALSE(sound.WavLoaded);
    }
}

TEST(SoundKind, HeaderBytesDecideThePath) {
    // The bytes of a literal, NULs included.
    auto kind = []<std::size_t N>(const char (&head)[N]) {
        return ClassifySoundHeader(reinterpret_cast<const uint8_t*>(head), N - 1);
    };
    EXPECT_EQ(kind("RIFF\x24\0\0\0WAVEfmt "), SoundKind::Wave);
    EXPECT_EQ(kind("RF64\xFF\xFF\xFF\xFFWAVE"), SoundKind::Wave);
    EXPECT_EQ(kind("BW64\xFF\xFF\xFF\xFFWAVE"), SoundKind::Wave);
    EXPECT_EQ(kind("RIFF\x24\0\0\0AVI LIST"), SoundKind::Unknown);
    EXPECT_EQ(kind("FORM\0\0\0\0AIFF"), SoundKind::Unknown);
    EXPECT_EQ(kind("fLaC\0\0\0\x22"), SoundKind::Compressed);
    EXPECT_EQ(kind("OggS\0\x02"), SoundKind::Compressed);
    EXPECT_EQ(kind("ID3\x04\0\0\0\0"), SoundKind::Compressed);
    EXPECT_EQ(kind("\xFF\xFB\x90\x64"), SoundKind::Compressed);   // MPEG-1 layer III, 128 kbit/s
    EXPECT_EQ(kind("\xFF\xFF\xFF\xFF"), SoundKind::Unknown);      // reserved layer / bad bitrate
    EXPECT_EQ(kind("RIFF"), SoundKind::Unknown);
    EXPECT_EQ(kind(""), SoundKind::Unknown);
    EXPECT_EQ(ClassifySoundFile("/nonexistent/zorvane.flac"), SoundKind::Unknown);
}

}  // namespace
}  // namespace zv
