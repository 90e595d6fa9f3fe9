// The five export formats' exact text, and the formats that can be read
// back (labels, CSV, JSON) giving the same marks. Frames are the frames
// that hold the marks' first samples.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "common/FrameTime.h"
#include "export/ExportWriters.h"
#include "marks/JsonText.h"
#include "marks/LabelImport.h"
#include "marks/MarkFrames.h"
#include "marks/MarksImport.h"

namespace zv {
namespace {

constexpr int32_t kRate = 44100;

TrackItem PointAt(int64_t ms, std::string text) {
    const int64_t s = MsToSamples(ms, kRate);
    return TrackItem{s, s, std::move(text), {}};
}
TrackItem RangeOf(int64_t ms, int64_t endMs, std::string text) {
    return TrackItem{MsToSamples(ms, kRate), MsToSamples(endMs, kRate), std::move(text), {}};
}
TrackItem AtFrame(int64_t frame, std::string text) {
    const int64_t s = FrameStartSample(frame, 30, kRate);
    return TrackItem{s, s, std::move(text), {}};
}

// The starts of frames 10 and 25 at 30 fps (where Step puts the position),
// the range ending at 1.5 s. At 25 fps they lie in frames 8.33 -> 8,
// 20.83 -> 20 and 37.5 -> 37: the frame that holds them.
const std::vector<TrackItem> kTwo{AtFrame(10, "ah, \"oh\""), TrackItem{36750, 66150, "oo", {}}};
struct MarkExportSound {
    std::string fileName;
    int32_t sampleRate = 0;
    int64_t lengthMs = 0;
    int64_t lengthSamples = 0;
};
const MarkExportSound kSound{"voice.wav", kRate, 2000, 88200};

// The marks written by the export list's Marks format of that name.
std::string ExportMarks(const std::string& name, const std::vector<TrackItem>& marks, const MarkExportSound& sound,
                        FrameRate rate) {
    const ExportWriter* writer = ExportWriters::Named(ExportSubject::Marks, name);
    if (writer == nullptr) return "no format " + name;
    ExportInput input;
    input.soundName = sound.fileName;
    input.sampleRate = sound.sampleRate;
    input.lengthMs = sound.lengthMs;
    input.lengthSamples = sound.lengthSamples;
    input.rate = rate;
    input.marks = &marks;
    return writer->Write(input);
}

std::string NameOf(const ExportWriter* writer) { return writer ? writer->Format().name : "none"; }

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find('\n', pos);
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

TEST(MarkExport, ExactTextOfTwoMarksAt30And25Fps) {
    EXPECT_EQ(ExportMarks("csv", kTwo, kSound, 30),
              "Frame (30 fps),End Frame (30 fps),Seconds,End Seconds,Text,Timecode,End Timecode\r\n"
              "10,10,0.333333,0.333333,\"ah, \"\"oh\"\"\",00:00:00:10,00:00:00:10\r\n"
              "25,45,0.833333,1.500000,oo,00:00:00:25,00:00:01:15\r\n");
    EXPECT_EQ(ExportMarks("csv", kTwo, kSound, 25),
              "Frame (25 fps),End Frame (25 fps),Seconds,End Seconds,Text,Timecode,End Timecode\r\n"
              "8,8,0.333333,0.333333,\"ah, \"\"oh\"\"\",00:00:00:08,00:00:00:08\r\n"
              "20,37,0.833333,1.500000,oo,00:00:00:20,00:00:01:12\r\n");
    // The exact NTSC rate is named, and its timecode drops frames.
    EXPECT_EQ(ExportMarks("csv", {PointAt(600000, "ten minutes")}, kSound, FrameRate::Fraction(30000, 1001)),
              "Frame (30000/1001 fps),End Frame (30000/1001 fps),Seconds,End Seconds,Text,Timecode,End Timecode\r\n"
              "17982,17982,600.000000,600.000000,ten minutes,00:10:00;00,00:10:00;00\r\n");
    const std::string labels = "0.333333\t0.333333\tah, \"oh\"\n0.833333\t1.500000\too\n";
    EXPECT_EQ(ExportMarks("labels", kTwo, kSound, 30), labels);
    EXPECT_EQ(ExportMarks("labels", kTwo, kSound, 25), labels);
    EXPECT_EQ(ExportMarks("dat", kTwo, kSound, 30), "MohoSwitch1\n11 ah, \"oh\"\n26 oo\n");
    EXPECT_EQ(ExportMarks("dat", kTwo, kSound, 25), "MohoSwitch1\n9 ah, \"oh\"\n21 oo\n");

    // One line per frame of the 2 s sound, counted from 1.
    for (const auto& [fps, first, second, count] :
         std::vector<std::tuple<MarkRate, int, int, std::size_t>>{{30, 11, 26, 60}, {25, 9, 21, 50}}) {
        const std::vector<std::string> sheet = Lines(ExportMarks("xsheet", kTwo, kSound, fps));
        ASSERT_EQ(sheet.size(), count) << fps;
        for (std::size_t i = 0; i < sheet.size(); ++i) {
            const int frame = static_cast<int>(i) + 1;
            const std::string text = frame == first ? "ah, \"oh\"" : frame == second ? "oo" : "";
            EXPECT_EQ(sheet[i], std::to_string(frame) + "\t" + text) << fps;
        }
    }

    EXPECT_EQ(ExportMarks("json", kTwo, kSound, 25),
              "{\n  \"sound\": \"voice.wav\",\n  \"sampleRate\": 44100,\n  \"lengthMs\": 2000,\n"
              "  \"lengthSamples\": 88200,\n  \"frameRate\": {\"numerator\": 25, \"denominator\": 1},\n"
              "  \"marks\": [\n"
              "    {\"ms\": 333, \"sample\": 14700, \"frame\": 8, \"endMs\": 333, \"endSample\": 14700, "
              "\"endFrame\": 8, \"timecode\": \"00:00:00:08\", \"endTimecode\": \"00:00:00:08\", "
              "\"text\": \"ah, \\\"oh\\\"\"},\n"
              "    {\"ms\": 833, \"sample\": 36750, \"frame\": 20, \"endMs\": 1500, \"endSample\": 66150, "
              "\"endFrame\": 37, \"timecode\": \"00:00:00:20\", \"endTimecode\": \"00:00:01:12\", "
              "\"text\": \"oo\"}\n  ]\n}\n");
}

TEST(MarkExport, FormatFollowsTheExtensionElseTheFilter) {
    EXPECT_EQ(NameOf(ExportWriters::MarksFormatOfFileName("/a/b.CSV")), "csv");
    EXPECT_EQ(NameOf(ExportWriters::MarksFormatOfFileName("take.xsheet.txt")), "xsheet");
    EXPECT_EQ(NameOf(ExportWriters::MarksFormatOfFileName("take.txt")), "labels");
    EXPECT_EQ(NameOf(ExportWriters::MarksFormatOfFileName("take.dat")), "dat");
    EXPECT_EQ(NameOf(ExportWriters::MarksFormatOfFileName("take.json")), "json");
    EXPECT_EQ(NameOf(ExportWriters::MarksFormatOfFileName("take.out")), "none");
    EXPECT_EQ(NameOf(ExportWriters::OfFilter(4)), "xsheet");
    ASSERT_NE(ExportWriters::OfFilter(6), nullptr);   // the beats' formats follow the marks'
    EXPECT_EQ(ExportWriters::OfFilter(6)->Format().subject, ExportSubject::Beats);
    EXPECT_EQ(ExportWriters::OfFilter(0), nullptr);
    EXPECT_EQ(ExportWriters::OfFilter(static_cast<int>(ExportWriters::All().size()) + 1), nullptr);
    EXPECT_EQ(ExportWriters::DialogFilter(ExportSubject::Marks),
              "CSV (*.csv)|*.csv|Audacity Labels (*.txt)|*.txt|Moho Switch Data (*.dat)|*.dat|"
              "Exposure Sheet (*.xsheet.txt)|*.xsheet.txt|JSON (*.json)|*.json");
}

// RFC 4180 read back: quoted fields may hold commas, quotes and line breaks.
std::vector<std::vector<std::string>> ReadCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') rows.back().back() += '"', ++i;
            else if (c == '"') quoted = false;
            else rows.back().back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            rows.emplace_back(1);
        } else {
            rows.back().back() += c;
        }
    }
    rows.pop_back();   // after the last line end
    return rows;
}

TEST(MarkExport, LabelsCsvAndJsonReadBackAsTheSameMarks) {
    const std::vector<TrackItem> marks{PointAt(0, "start"), PointAt(333, "a, \"quoted\"\nsecond line"),
                                  RangeOf(1001, 2999, "Ünïcødé ✓"), PointAt(59999, "")};

    const LabelImport labels = ParseAudacityLabels(ExportMarks("labels", marks, kSound, 30), kRate);
    ASSERT_EQ(labels.badLine, 0) << labels.reason;
    ASSERT_EQ(labels.marks.size(), marks.size());
    for (std::size_t i = 0; i < marks.size(); ++i) {
        TrackItem expected = marks[i];
        for (char& c : expected.text)
            if (c == '\n') c = ' ';   // a label is one line
        EXPECT_EQ(labels.marks[i], expected) << i;
    }

    const auto csv = ReadCsv(ExportMarks("csv", marks, kSound, 30));
    ASSERT_EQ(csv.size(), marks.size() + 1);
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const std::vector<std::string>& row = csv[i + 1];
        ASSERT_EQ(row.size(), 7u) << i;
        EXPECT_EQ(row[0], std::to_string(FrameOfSample(marks[i].start, 30, kRate)));
        EXPECT_EQ(std::llround(std::stod(row[3]) * kRate), marks[i].end);
        EXPECT_EQ(row[4], marks[i].text);
    }

    const JsonRead json = ReadJson(ExportMarks("json", marks, kSound, 30));
    ASSERT_TRUE(json.Ok()) << json.reason;
    const auto& items = json.value["marks"];
    ASSERT_EQ(items.size(), marks.size());
    for (std::size_t i = 0; i < marks.size(); ++i) {
        EXPECT_EQ(JsonInteger(items[i], "ms"), SamplesToMs(marks[i].start, kRate));
        EXPECT_EQ(JsonInteger(items[i], "sample"), marks[i].start);
        EXPECT_EQ(JsonInteger(items[i], "endSample"), marks[i].end);
        EXPECT_EQ(items[i]["text"].get<std::string>(), marks[i].text);
    }

    // Marks > Import Marks... takes each of the three back whole.
    for (const std::string format : {"labels", "csv", "json"}) {
        const MarksImport back = ImportMarksText(ExportMarks(format, marks, kSound, 30), kRate);
        ASSERT_EQ(back.error, "") << format;
        ASSERT_EQ(back.tracks.size(), 1u);
        ASSERT_EQ(back.tracks[0].items.size(), marks.size());
        for (std::size_t i = 0; i < marks.size(); ++i) {
            EXPECT_EQ(back.tracks[0].items[i].start, marks[i].start) << format << " " << i;
            EXPECT_EQ(back.tracks[0].items[i].end, marks[i].end) << format << " " << i;
        }
    }
}

// Labels between frame starts land in the frame that holds them, in the
// list and in every export: at 30 fps frame 1 starts at 33.3 ms, frame 2 at
// 66.7 ms and frame 3 at 100 ms.
TEST(LabelImport, LabelsLandInTheFrameThatHoldsThem) {
    for (const int32_t rate : {44100, 48000}) {
        const LabelImport labels =
            ParseAudacityLabels("0.050\t0.050\ta\n0.0999\t0.0999\tb\n0.100\t0.100\tc\n", rate);
        ASSERT_EQ(labels.badLine, 0) << labels.reason;
        ASSERT_EQ(labels.marks.size(), 3u);
        const MarkExportSound sound{"voice.wav", rate, 1000, rate};
        const auto csv = ReadCsv(ExportMarks("csv", labels.marks, sound, 30));
        ASSERT_EQ(csv.size(), 4u);
        EXPECT_EQ(csv[1][0] + " " + csv[2][0] + " " + csv[3][0], "1 2 3") << rate;
        EXPECT_EQ(ExportMarks("dat", labels.marks, sound, 30), "MohoSwitch1\n2 a\n3 b\n4 c\n")
            << rate;
        const std::vector<std::string> sheet = Lines(ExportMarks("xsheet", labels.marks, sound, 30));
        ASSERT_EQ(sheet.size(), 30u);
        EXPECT_EQ(sheet[1], "2\ta");
        EXPECT_EQ(sheet[2], "3\tb");
        EXPECT_EQ(sheet[3], "4\tc");
    }
}

// A CSV written before the seconds had six decimals: 0.033 s is sample
// 1455 at 44.1 kHz, before frame 1's first (1470), but the row names frame
// 1 at 30 fps, and the mark goes there.
TEST(MarksImport, AnOlderCsvPutsEachMarkOnTheFrameItsRowNames) {
    const MarksImport old = ImportMarksText(
        "Frame (30 fps),End Frame (30 fps),Seconds,End Seconds,Text,Timecode,End Timecode\r\n"
        "1,1,0.033,0.033,one,00:00:00:01,00:00:00:01\r\n"
        "10,12,0.333,0.400,\"a, b\",00:00:00:10,00:00:00:12\r\n",
        kRate);
    ASSERT_EQ(old.error, "");
    ASSERT_EQ(old.tracks[0].items.size(), 2u);
    EXPECT_EQ(old.tracks[0].items[0], (TrackItem{1470, 1470, "one", {}}));
    EXPECT_EQ(old.tracks[0].items[1], (TrackItem{14700, 17640, "a, b", {}}));

    const MarksImport bad = ImportMarksText("Frame (30 fps),x\r\n1,1,zero,0,t\r\n", kRate);
    EXPECT_NE(bad.Message("/x.csv").find("line 2"), std::string::npos) << bad.Message("/x.csv");
    EXPECT_TRUE(bad.tracks.empty());
}

TEST(LabelImport, PointAndRangeLabelsAndAMalformedLineTakesNothing) {
    const LabelImport good = ParseAudacityLabels(
        "\xEF\xBB\xBF" "0.500000\t0.500000\tpoint\r\n"
        "1.25\t2.000000\trange with\ttab\r\n"
        "\\\t100.0\t2000.0\r\n"   // a spectral selection line
        "\r\n"
        "3,5\t3,5\n"              // comma decimals, no text
        "4\t4\tna\xEFve\n",       // not UTF-8: Latin-1
        48000);
    ASSERT_EQ(good.badLine, 0) << good.reason;
    ASSERT_EQ(good.marks.size(), 4u);
    EXPECT_EQ(good.marks[0], (TrackItem{24000, 24000, "point", {}}));
    EXPECT_EQ(good.marks[1], (TrackItem{60000, 96000, "range with tab", {}}));
    EXPECT_EQ(good.marks[2], (TrackItem{168000, 168000, "", {}}));
    EXPECT_EQ(good.marks[3].text, "na\xC3\xAFve");

    for (const auto& [text, line] : std::vector<std::pair<std::string, int>>{
             {"1\t1\ta\n2 2 b\n", 2},            // spaces, not tabs
             {"1\t1\ta\n\n3\tx\tc\n", 3},        // end is not a number
             {"2\t1\tbackwards\n", 1},
             {"-1\t1\tnegative\n", 1},
             {"1\t1\ta\nnan\tnan\tb\n", 2}}) {
        const LabelImport bad = ParseAudacityLabels(text, 48000);
        EXPECT_EQ(bad.badLine, line) << text;
        EXPECT_TRUE(bad.marks.empty()) << text;
        EXPECT_FALSE(bad.reason.empty());
    }
}

} // namespace
} // namespace zv
