// 24/32-bit, float, extensible, Broadcast Wave and RF64 files: each loads with
// no message and draws the same picture as the 16-bit WAV of the same sound;
// the wider readers scale, clamp and stay inside the buffer; RF64 sizes come
// from ds64 but never reach past the file.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "TestSounds.h"
#include "sound/RecordingMessageBox.h"
#include "sound/SampleReaders.h"
#include "sound/SoundBytes.h"
#include "sound/WavBytes.h"
#include "sound/WavLoader.h"
#include "waveview/RecordingCanvas.h"
#include "waveview/WaveRenderer.h"

namespace zv {
namespace {

using test::Bytes;
using test::Chunk;
using test::Le16;
using test::Le32;

constexpr int32_t kRate = 48000;
constexpr int64_t kFrames = 3 * kRate;
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};

// The rows a trace covers in the default box (twips).
struct Extent {
    float top = std::numeric_limits<float>::max(), bottom = std::numeric_limits<float>::lowest();
    std::size_t segments = 0;
};

Extent Of(const std::vector<test::Segment>& segments) {
    Extent e;
    for (const auto& s : segments) {
        e.top = std::min({e.top, s.y1, s.y2});
        e.bottom = std::max({e.bottom, s.y1, s.y2});
    }
    e.segments = segments.size();
    return e;
}

struct Picture {
    Extent red, green;
};

Picture Draw(SoundData& sound) {
    sound.ViewStart = 0;
    sound.ViewEnd = sound.NumSamples;
    test::RecordingCanvas canvas;
    DrawWaves(sound, canvas, 9015, 3675);
    return {Of(canvas.Of(kRed)), Of(canvas.Of(kGreen))};
}

// Within 2 pixel rows (15 twips a row at 96 dpi).
void ExpectSameExtent(const Extent& got, const Extent& want) {
    EXPECT_EQ(got.segments, want.segments);
    EXPECT_NEAR(got.top, want.top, 30);
    EXPECT_NEAR(got.bottom, want.bottom, 30);
}

SoundData Load(const std::string& path, test::RecordingMessageBox& box) {
    SoundData sound;
    ShowReport(box, LoadWavFile(sound, path));
    return sound;
}

// A Broadcast Wave file as delivered: bext, iXML and JUNK before fmt, a
// LIST after the data, 24-bit samples of the 16-bit file's sound.
Bytes BroadcastWave(const SoundData& from16) {
    Bytes data;
    for (std::size_t i = 0; i + 1 < from16.size(); i += 2)
        data += Bytes{'\0', char(from16.data()[i]), char(from16.data()[i + 1])};
    return test::Riff(Chunk("bext", Bytes(602, 'b')) + Chunk("iXML", "<BWFXML/>") + Chunk("JUNK", Bytes(27, '\0')) +
                      Chunk("fmt ", test::FmtPayload(2, 24, 6, 16, 1, kRate)) + Chunk("data", data) +
                      Chunk("LIST", "INFOISFT" + Le32(2) + "z\0"));
}

TEST(SoundFormats, EveryWaveFormDrawsLikeTheSixteenBitFile) {
    test::TempDir dir;
    const auto tone = test::Tone(kRate, kFrames, 440, 0.5);
    test::RecordingMessageBox box;
    test::WriteSound(dir.File("ref2.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 2, tone);
    test::WriteSound(dir.File("ref1.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 1, tone);
    SoundData stereo16 = Load(dir.File("ref2.wav"), box);
    SoundData mono16 = Load(dir.File("ref1.wav"), box);
    const Picture stereo = Draw(stereo16), mono = Draw(mono16);
    ASSERT_GT(stereo.red.segments, 9000u);
    ASSERT_EQ(stereo16.Encoding, SampleEncoding::Legacy);   // 16-bit stays as it was

    struct Case {
        const char* name;
        int format;
        int channels;
        SampleEncoding encoding;
    };
    const Case cases[] = {
        {"plain24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2, SampleEncoding::Int24},
        {"extensible24.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 2, SampleEncoding::Int24},
        {"extensible32.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_32, 2, SampleEncoding::Int32},
        {"float32mono.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, SampleEncoding::Float32},
        {"float64.wav", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 2, SampleEncoding::Float64},
        {"extensiblefloat.wav", SF_FORMAT_WAVEX | SF_FORMAT_FLOAT, 2, SampleEncoding::Float32},
        {"rf64.wav", SF_FORMAT_RF64 | SF_FORMAT_PCM_24, 2, SampleEncoding::Int24},
        {"six24.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 6, SampleEncoding::Int24},
        {"six16.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 6, SampleEncoding::Int16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteSound(dir.File(c.name), c.format, kRate, c.channels, tone);
        SoundData sound = Load(dir.File(c.name), box);
        EXPECT_TRUE(box.texts.empty());
        ASSERT_TRUE(sound.WavLoaded);
        EXPECT_EQ(sound.NumSamples, kFrames);
        EXPECT_EQ(sound.Encoding, c.encoding);
        const Picture p = Draw(sound);
        const Picture& want = c.channels == 1 ? mono : stereo;
        ExpectSameExtent(p.red, want.red);
        ExpectSameExtent(p.green, want.green);
    }

    SCOPED_TRACE("broadcast wave");
    test::ScratchDir scratch;
    SoundData broadcast = Load(scratch.Write("bwf.wav", BroadcastWave(stereo16)), box);
    EXPECT_TRUE(box.texts.empty());
    ASSERT_TRUE(broadcast.WavLoaded);
    EXPECT_EQ(broadcast.NumSamples, kFrames);
    const Picture p = Draw(broadcast);
    ExpectSameExtent(p.red, stereo.red);
    ExpectSameExtent(p.green, stereo.green);
}

Bytes Float32(float v) {
    Bytes b(4, '\0');
    std::memcpy(b.data(), &v, 4);
    return b;
}

TEST(SoundFormats, WideReadersScaleClampAndStayInsideTheBuffer) {
    double a = 9, b = 9;
    // 24-bit: full scale down, full scale up, the smallest step.
    SoundData s24 = test::MakeSound(Bytes{0, 0, char(0x80), char(0xFF), char(0xFF), 0x7F, 1, 0, 0, 0, 0, 0}, 6, 2, 24);
    s24.Encoding = SampleEncoding::Int24;
    ReadWideStereo<SampleEncoding::Int24>(s24, 0, a, b);
    EXPECT_EQ(a, -1.0);
    EXPECT_EQ(b, 8388607 / 8388608.0);
    ReadWideStereo<SampleEncoding::Int24>(s24, 1, a, b);
    EXPECT_EQ(a, 1 / 8388608.0);
    EXPECT_EQ(NormalizedSample(s24, 0, 1), 8388607 / 8388608.0);
    // Frame 2 lies past the buffer; frame 2^30 has a byte offset past 32 bits.
    ReadWideStereo<SampleEncoding::Int24>(s24, 2, a, b);
    EXPECT_EQ(a, 0.0);
    EXPECT_NO_THROW(ReadWideStereo<SampleEncoding::Int24>(s24, 1 << 30, a, b));
    EXPECT_EQ(b, 0.0);

    SoundData s32 = test::MakeSound(Le32(0x80000000u) + Le32(0x40000000u), 8, 2, 32);
    s32.Encoding = SampleEncoding::Int32;
    ReadWideStereo<SampleEncoding::Int32>(s32, 0, a, b);
    EXPECT_EQ(a, -1.0);
    EXPECT_EQ(b, 0.5);

    // Floats beyond full scale are drawn at the box's edge, never outside it.
    SoundData f = test::MakeSound(Float32(2.0f) + Float32(-3.0f) + Float32(std::nanf("")) + Float32(0.25f), 8, 2, 32);
    f.Encoding = SampleEncoding::Float32;
    ReadWideStereo<SampleEncoding::Float32>(f, 0, a, b);
    EXPECT_EQ(a, 1.0);
    EXPECT_EQ(b, -1.0);
    ReadWideStereo<SampleEncoding::Float32>(f, 1, a, b);
    EXPECT_EQ(a, 0.0);
    EXPECT_EQ(b, 0.25);
    test::RecordingCanvas canvas;
    DrawWaves(f, canvas, 2, 400);
    for (const auto& g : canvas.segments) {
        EXPECT_GE(std::min(g.y1, g.y2), 0.0f);
        EXPECT_LE(std::max(g.y1, g.y2), 400.0f);
    }
    EXPECT_EQ(canvas.Of(kRed)[0].y2, 200.0f);     // +1: a full centre distance below
    EXPECT_EQ(canvas.Of(kGreen)[0].y2, 200.0f);   // -1: a full centre distance above

    double d = -5e300;
    Bytes b64(8, '\0');
    std::memcpy(b64.data(), &d, 8);
    SoundData f64 = test::MakeSound(b64, 8, 1, 64);
    f64.Encoding = SampleEncoding::Float64;
    ReadWideMono<SampleEncoding::Float64>(f64, 0, a);
    EXPECT_EQ(a, -1.0);
}

// An RF64 file: ds64 states the sizes (riff, data, sample count).
Bytes Rf64(uint64_t riffSize, uint64_t dataSize, uint32_t dataField, const Bytes& data, const char* id = "RF64") {
    auto le64 = [](uint64_t v) { return Le32(uint32_t(v)) + Le32(uint32_t(v >> 32)); };
    return std::string(id) + Le32(0xFFFFFFFF) + "WAVE" + Chunk("ds64", le64(riffSize) + le64(dataSize) + le64(0) + Le32(0)) +
           Chunk("fmt ", test::FmtPayload(2, 24, 6, 16, 1, kRate)) + "data" + Le32(dataField) + data;
}

TEST(SoundFormats, Rf64SizesComeFromDs64AndNeverReachPastTheFile) {
    test::ScratchDir dir;
    const Bytes data = test::Ramp(600);
    const uint64_t whole = 4 + 36 + 24 + 8 + data.size();   // everything after the size field
    struct Case {
        const char* name;
        Bytes file;
        int32_t frames;   // -1: refused as no wave file
    };
    const Case cases[] = {
        {"sizes from ds64", Rf64(whole, 600, 0xFFFFFFFF, data), 100},
        {"BW64", Rf64(whole, 600, 0xFFFFFFFF, data, "BW64"), 100},
        {"data size in its own field", Rf64(whole, 0, 300, data), 50},
        // Sizes far beyond the file: only what the file holds is loaded.
        {"huge ds64 data size", Rf64(whole, uint64_t{1} << 62, 0xFFFFFFFF, data), 100},
        {"huge ds64 riff size", Rf64(~uint64_t{0}, ~uint64_t{0}, 0xFFFFFFFF, data), 100},
        {"ds64 riff size without room for the form", Rf64(2, 600, 0xFFFFFFFF, data), -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::RecordingMessageBox box;
        SoundData sound = Load(dir.Write("f.wav", c.file), box);
        if (c.frames < 0) {
            EXPECT_EQ(box.texts, std::vector<std::string>{kMsgNotWave});
            EXPECT_FALSE(sound.WavLoaded);
            continue;
        }
        EXPECT_TRUE(box.texts.empty());
        ASSERT_TRUE(sound.WavLoaded);
        EXPECT_EQ(sound.NumSamples, c.frames);
        EXPECT_EQ(sound.Encoding, SampleEncoding::Int24);
        EXPECT_LE(sound.size(), data.size());
        EXPECT_EQ(std::memcmp(sound.data(), data.data(), sound.size()), 0);
    }
}

TEST(SoundFormats, ExtensibleSubFormatAndAnHonestFrameDecideTheReaders) {
    test::ScratchDir dir;
    const Bytes pcmGuid = Le16(1) + Bytes{0, 0, 0, 0, 0x10, 0, char(0x80), 0, 0, char(0xAA), 0, 0x38, char(0x9B), 0x71};
    const Bytes floatGuid = Le16(3) + pcmGuid.substr(2);
    const Bytes otherGuid = Le16(1) + Bytes(14, 'x');
    auto extensible = [](int16_t bits, const Bytes& guid) {
        const auto align = int16_t(2 * bits / 8);
        Bytes fmt = test::FmtPayload(2, bits, align, 16, 0xFFFE, kRate) + Le16(22) + Le16(uint16_t(bits)) + Le32(3) + guid;
        return test::Riff(Chunk("fmt ", fmt) + Chunk("data", test::Ramp(48)));
    };
    struct Case {
        const char* name;
        Bytes file;
        SampleEncoding encoding;
    };
    const Case cases[] = {
        {"extensible PCM 24", extensible(24, pcmGuid), SampleEncoding::Int24},
        {"extensible float 64", extensible(64, floatGuid), SampleEncoding::Float64},
        {"extensible PCM 16 stays as 16-bit always drew", extensible(16, pcmGuid), SampleEncoding::Legacy},
        {"unknown sub-format", extensible(24, otherGuid), SampleEncoding::Legacy},
        {"a frame too small for two 24-bit samples", test::Riff(test::Fmt(2, 24, 3) + Chunk("data", test::Ramp(48))),
         SampleEncoding::Legacy},
        {"compressed tag 2 at 24 bits", test::Riff(Chunk("fmt ", test::FmtPayload(2, 24, 6, 16, 2)) + Chunk("data", test::Ramp(48))),
         SampleEncoding::Legacy},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::RecordingMessageBox box;
        SoundData sound = Load(dir.Write("f.wav", c.file), box);
        EXPECT_TRUE(box.texts.empty());
        EXPECT_TRUE(sound.WavLoaded);
        EXPECT_EQ(sound.Encoding, c.encoding);
    }
}

}  // namespace
}  // namespace zv
