// Frames a beat exact at the video rates, the readout, and the four
// exports' exact text at 24 and 29.97 fps.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "beats/BeatAnalysis.h"
#include "beats/FramesPerBeat.h"
#include "export/ExportWriters.h"

namespace zv {
namespace {

const FrameRate kNtsc = FrameRate::Fraction(30000, 1001);
const FrameRate kFilm = FrameRate::Fraction(24000, 1001);

// The beats written by the export list's Beats format of that name, for a
// sound of `soundSamples` sample frames.
std::string ExportBeats(const std::string& name, const BeatAnalysis& analysis, FrameRate rate, int64_t soundSamples) {
    const ExportWriter* writer = ExportWriters::Named(ExportSubject::Beats, name);
    if (writer == nullptr) return "no format " + name;
    ExportInput input;
    input.sampleRate = analysis.sampleRate;
    input.lengthSamples = soundSamples;
    input.rate = rate;
    input.beats = &analysis;
    return writer->Write(input);
}

TEST(FramesPerBeat, ExactAtTheFilmAndVideoRates) {
    struct Case {
        FrameRate rate;
        int64_t hundredths;
        FramesPerBeat frames;
        const char* decimal;
    };
    const Case cases[] = {
        {24, 12800, {45, 4}, "11.25"},          {kNtsc, 12800, {28125, 2002}, "14.05"},
        {kFilm, 12800, {11250, 1001}, "11.24"}, {24, 12000, {12, 1}, "12.00"},
        {kNtsc, 12000, {15000, 1001}, "14.99"}, {kFilm, 12000, {12000, 1001}, "11.99"},
        {25, 9000, {50, 3}, "16.67"},
    };
    for (const Case& c : cases) {
        const auto frames = ExactFramesPerBeat(c.rate, c.hundredths);
        ASSERT_TRUE(frames);
        EXPECT_EQ(*frames, c.frames) << c.rate << " " << c.hundredths;
        EXPECT_EQ(FramesPerBeatDecimal(*frames), c.decimal);
    }
    // 24 x 60 / 123.45 = 144000 / 12345 = 9600 / 823.
    EXPECT_EQ(FramesPerBeatFraction(*ExactFramesPerBeat(24, 12345)), "9600/823");
    EXPECT_FALSE(ExactFramesPerBeat(0, 12000));
    EXPECT_FALSE(ExactFramesPerBeat(24, 0));

    EXPECT_EQ(BeatReadout(12800, 24), "128.00 BPM \u00b7 11.25 frames a beat (45/4) at 24 fps");
    EXPECT_EQ(BeatReadout(12800, kNtsc), "128.00 BPM \u00b7 14.05 frames a beat (28125/2002) at 29.97 fps");
    EXPECT_EQ(BeatReadout(12000, kFilm), "120.00 BPM \u00b7 11.99 frames a beat (12000/1001) at 23.976 fps");
    EXPECT_EQ(BeatReadout(12000, 24), "120.00 BPM \u00b7 12 frames a beat at 24 fps");
    EXPECT_EQ(BeatReadout(12305, 24, true, 12030, 12600),
              "123.05 BPM, drifting 120.30\u2013126.00 \u00b7 11.70 frames a beat (28800/2461) at 24 fps");
    EXPECT_EQ(FrameRateReadout(FrameRate::Fraction(25, 2)), "12.5");

    EXPECT_EQ(ParseBpmHundredths("128"), 12800);
    EXPECT_EQ(ParseBpmHundredths("96.25"), 9625);
    EXPECT_EQ(ParseBpmHundredths("127.5"), 12750);
    EXPECT_EQ(ParseBpmHundredths("128.995"), 12900);
    for (const char* bad : {"", ".", "fast", "-120", "12e1", "120 ", "0", "0.00"})
        EXPECT_FALSE(ParseBpmHundredths(bad)) << bad;
    EXPECT_EQ(BpmHundredths(127.996), 12800);
}

// 120 BPM at 48 kHz: a pickup beat at 0.125 s, bar 1 from 0.625 s, 2.5 s long.
BeatAnalysis FiveBeats() {
    BeatAnalysis a;
    a.sampleRate = 48000;
    a.steady = true;
    a.bpm = 120;
    a.slowestBpm = a.fastestBpm = 120;
    const int bars[] = {0, 1, 1, 1, 1}, numbers[] = {4, 1, 2, 3, 4};
    for (int i = 0; i < 5; ++i) a.beats.push_back({6000 + 24000 * i, bars[i], numbers[i]});
    a.onsets = {6000, 30000, 41000};
    return a;
}
constexpr int64_t kLength = 120000;

TEST(BeatExport, BarSheetAt24And2997) {
    struct Sheet {
        FrameRate rate;
        int64_t frames;
        std::vector<std::pair<int64_t, std::string>> marked;   // frame from 1, bar TAB beat
    };
    // At 29.97 a frame is 1601.6 samples: the beats fall in frames 3, 18,
    // 33, 48 and 63 from 0; the 2.5 s hold 75 frames.
    const Sheet sheets[] = {{24, 60, {{4, "\t4"}, {16, "1\t1"}, {28, "\t2"}, {40, "\t3"}, {52, "\t4"}}},
                            {kNtsc, 75, {{4, "\t4"}, {19, "1\t1"}, {34, "\t2"}, {49, "\t3"}, {64, "\t4"}}}};
    for (const Sheet& sheet : sheets) {
        std::string expected = "Bar\tBeat\tFrame\n";
        auto next = sheet.marked.begin();
        for (int64_t frame = 1; frame <= sheet.frames; ++frame) {
            if (next != sheet.marked.end() && next->first == frame) {
                expected += next->second + "\t" + std::to_string(frame) + "\n";
                ++next;
            } else {
                expected += "\t\t" + std::to_string(frame) + "\n";
            }
        }
        EXPECT_EQ(ExportBeats("xsheet", FiveBeats(), sheet.rate, kLength), expected) << sheet.rate;
    }
    // Two beats on one frame share its line.
    BeatAnalysis close = FiveBeats();
    close.beats[2].sample = close.beats[1].sample + 10;
    const std::string sheet = ExportBeats("xsheet", close, 24, kLength);
    EXPECT_NE(sheet.find("\n1\t1/2\t16\n"), std::string::npos);
}

TEST(BeatExport, CsvLabelsAndJson) {
    EXPECT_EQ(ExportBeats("csv", FiveBeats(), 24, kLength),
              "Bar,Beat,Frame (24 fps),Seconds,Timecode\r\n"
              "0,4,3,0.125000,00:00:00:03\r\n"
              "1,1,15,0.625000,00:00:00:15\r\n"
              "1,2,27,1.125000,00:00:01:03\r\n"
              "1,3,39,1.625000,00:00:01:15\r\n"
              "1,4,51,2.125000,00:00:02:03\r\n");
    EXPECT_EQ(ExportBeats("csv", FiveBeats(), kNtsc, kLength),
              "Bar,Beat,Frame (30000/1001 fps),Seconds,Timecode\r\n"
              "0,4,3,0.125000,00:00:00;03\r\n"
              "1,1,18,0.625000,00:00:00;18\r\n"
              "1,2,33,1.125000,00:00:01;03\r\n"
              "1,3,48,1.625000,00:00:01;18\r\n"
              "1,4,63,2.125000,00:00:02;03\r\n");
    EXPECT_EQ(ExportBeats("labels", FiveBeats(), 24, kLength).substr(0, 44),
              "0.125000\t0.125000\t0.4\n0.625000\t0.625000\t1.1\n");

    const auto json = nlohmann::json::parse(ExportBeats("json", FiveBeats(), kNtsc, kLength));
    EXPECT_EQ(json["bpm"], 120.0);
    EXPECT_EQ(json["framesPerBeat"], "15000/1001");
    EXPECT_EQ(json["frameRate"], "30000/1001");
    ASSERT_EQ(json["beats"].size(), 5u);
    EXPECT_EQ(json["beats"][1], nlohmann::json({{"time", 0.625}, {"frame", 18}, {"bar", 1}, {"beat", 1}}));
    ASSERT_EQ(json["onsets"].size(), 3u);
    EXPECT_EQ(json["onsets"][2], nlohmann::json({{"time", 0.854167}, {"frame", 25}}));

    BeatAnalysis none;
    none.sampleRate = 44100;
    EXPECT_EQ(BeatReadout(none, 24), "No steady beat found");
    EXPECT_EQ(BeatReadout(FiveBeats(), kNtsc), "120.00 BPM \u00b7 14.99 frames a beat (15000/1001) at 29.97 fps");
    const auto empty = nlohmann::json::parse(ExportBeats("json", none, 24, 0));
    EXPECT_TRUE(empty["bpm"].is_null());
    EXPECT_TRUE(empty["beats"].empty());
    ASSERT_NE(ExportWriters::Named(ExportSubject::Beats, "xsheet"), nullptr);
    EXPECT_EQ(ExportWriters::Named(ExportSubject::Beats, "xsheet")->Format().suffix, ".bars.txt");
    EXPECT_EQ(ExportWriters::Named(ExportSubject::Beats, "xml"), nullptr);
}

} // namespace
} // namespace zv
