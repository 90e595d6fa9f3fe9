// The five export formats' exact text, and the formats that can be read
// back (labels, CSV, JSON) giving the same marks.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "marks/JsonValue.h"
#include "marks/LabelImport.h"
#include "marks/MarkExport.h"
#include "common/FrameTime.h"

namespace zv {
namespace {

constexpr int32_t kRate = 44100;

Mark PointAt(int64_t ms, std::string text) { return Mark::Point(ms, MsToSamples(ms, kRate), std::move(text)); }
Mark RangeOf(int64_t ms, int64_t endMs, std::string text) {
    return Mark::Range(ms, MsToSamples(ms, kRate), endMs, MsToSamples(endMs, kRate), std::move(text));
}

// Frame 10 and 25 at 30 fps (the starts Step gives); at 25 fps 8.325 -> 8,
// 20.825 -> 21, and the range's end 37.5 -> 38 (halves to even).
const std::vector<Mark> kTwo{PointAt(333, "ah, \"oh\""), RangeOf(833, 1500, "oo")};
const MarkExportSound kSound{"voice.wav", kRate, 2000, 88200};

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
    EXPECT_EQ(ExportMarks(MarkFormat::Csv, kTwo, kSound, 30),
              "Frame (30 fps),End Frame (30 fps),Seconds,End Seconds,Text,Timecode,End Timecode\r\n"
              "10,10,0.333,0.333,\"ah, \"\"oh\"\"\",00:00:00:10,00:00:00:10\r\n"
              "25,45,0.833,1.500,oo,00:00:00:25,00:00:01:15\r\n");
    EXPECT_EQ(ExportMarks(MarkFormat::Csv, kTwo, kSound, 25),
              "Frame (25 fps),End Frame (25 fps),Seconds,End Seconds,Text,Timecode,End Timecode\r\n"
              "8,8,0.333,0.333,\"ah, \"\"oh\"\"\",00:00:00:08,00:00:00:08\r\n"
              "21,38,0.833,1.500,oo,00:00:00:21,00:00:01:13\r\n");
    // The exact NTSC rate is named, and its timecode drops frames.
    EXPECT_EQ(ExportMarks(MarkFormat::Csv, {PointAt(600000, "ten minutes")}, kSound, FrameRate::Fraction(30000, 1001)),
              "Frame (30000/1001 fps),End Frame (30000/1001 fps),Seconds,End Seconds,Text,Timecode,End Timecode\r\n"
              "17982,17982,600.000,600.000,ten minutes,00:10:00;00,00:10:00;00\r\n");
    const std::string labels = "0.333000\t0.333000\tah, \"oh\"\n0.833000\t1.500000\too\n";
    EXPECT_EQ(ExportMarks(MarkFormat::AudacityLabels, kTwo, kSound, 30), labels);
    EXPECT_EQ(ExportMarks(MarkFormat::AudacityLabels, kTwo, kSound, 25), labels);
    EXPECT_EQ(ExportMarks(MarkFormat::MohoSwitch, kTwo, kSound, 30), "MohoSwitch1\n11 ah, \"oh\"\n26 oo\n");
    EXPECT_EQ(ExportMarks(MarkFormat::MohoSwitch, kTwo, kSound, 25), "MohoSwitch1\n9 ah, \"oh\"\n22 oo\n");

    // One line per frame of the 2 s sound, counted from 1.
    for (const auto& [fps, first, second, count] :
         std::vector<std::tuple<MarkRate, int, int, std::size_t>>{{30, 11, 26, 60}, {25, 9, 22, 50}}) {
        const std::vector<std::string> sheet = Lines(ExportMarks(MarkFormat::ExposureSheet, kTwo, kSound, fps));
        ASSERT_EQ(sheet.size(), count) << fps;
        for (std::size_t i = 0; i < sheet.size(); ++i) {
            const int frame = static_cast<int>(i) + 1;
            const std::string text = frame == first ? "ah, \"oh\"" : frame == second ? "oo" : "";
            EXPECT_EQ(sheet[i], std::to_string(frame) + "\t" + text) << fps;
        }
    }

    EXPECT_EQ(ExportMarks(MarkFormat::Json, kTwo, kSound, 25),
              "{\n  \"sound\": \"voice.wav\",\n  \"sampleRate\": 44100,\n  \"lengthMs\": 2000,\n"
              "  \"lengthSamples\": 88200,\n  \"frameRate\": {\"numerator\": 25, \"denominator\": 1},\n"
              "  \"marks\": [\n"
              "    {\"ms\": 333, \"sample\": 14685, \"frame\": 8, \"endMs\": 333, \"endSample\": 14685, "
              "\"endFrame\": 8, \"timecode\": \"00:00:00:08\", \"endTimecode\": \"00:00:00:08\", "
              "\"text\": \"ah, \\\"oh\\\"\"},\n"
              "    {\"ms\": 833, \"sample\": 36735, \"frame\": 21, \"endMs\": 1500, \"endSample\": 66150, "
              "\"endFrame\": 38, \"timecode\": \"00:00:00:21\", \"endTimecode\": \"00:00:01:13\", "
              "\"text\": \"oo\"}\n  ]\n}\n");
}

TEST(MarkExport, FormatFollowsTheExtensionElseTheFilter) {
    EXPECT_EQ(MarkFormatOfFileName("/a/b.CSV"), MarkFormat::Csv);
    EXPECT_EQ(MarkFormatOfFileName("take.xsheet.txt"), MarkFormat::ExposureSheet);
    EXPECT_EQ(MarkFormatOfFileName("take.txt"), MarkFormat::AudacityLabels);
    EXPECT_EQ(MarkFormatOfFileName("take.dat"), MarkFormat::MohoSwitch);
    EXPECT_EQ(MarkFormatOfFileName("take.json"), MarkFormat::Json);
    EXPECT_EQ(MarkFormatOfFileName("take.out"), std::nullopt);
    EXPECT_EQ(MarkFormatOfFilter(4), MarkFormat::ExposureSheet);
    EXPECT_EQ(MarkFormatOfFilter(6), std::nullopt);
    EXPECT_EQ(MarkExportFilter(),
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
    const std::vector<Mark> marks{PointAt(0, "start"), PointAt(333, "a, \"quoted\"\nsecond line"),
                                  RangeOf(1001, 2999, "Ünïcødé ✓"), PointAt(59999, "")};

    const LabelImport labels = ParseAudacityLabels(ExportMarks(MarkFormat::AudacityLabels, marks, kSound, 30), kRate);
    ASSERT_EQ(labels.badLine, 0) << labels.reason;
    ASSERT_EQ(labels.marks.size(), marks.size());
    for (std::size_t i = 0; i < marks.size(); ++i) {
        Mark expected = marks[i];
        for (char& c : expected.text)
            if (c == '\n') c = ' ';   // a label is one line
        EXPECT_EQ(labels.marks[i], expected) << i;
    }

    const auto csv = ReadCsv(ExportMarks(MarkFormat::Csv, marks, kSound, 30));
    ASSERT_EQ(csv.size(), marks.size() + 1);
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const std::vector<std::string>& row = csv[i + 1];
        ASSERT_EQ(row.size(), 7u) << i;
        EXPECT_EQ(row[0], std::to_string(ReadoutFrames(static_cast<int32_t>(marks[i].ms), 30)));
        EXPECT_EQ(std::llround(std::stod(row[3]) * 1000), marks[i].endMs);
        EXPECT_EQ(row[4], marks[i].text);
    }

    JsonValue::ParseError error;
    const JsonValue json = JsonValue::Parse(ExportMarks(MarkFormat::Json, marks, kSound, 30), &error);
    ASSERT_EQ(error.reason, "");
    const auto& items = json.Find("marks")->Items();
    ASSERT_EQ(items.size(), marks.size());
    for (std::size_t i = 0; i < marks.size(); ++i) {
        EXPECT_EQ(items[i].Find("ms")->Integer(), marks[i].ms);
        EXPECT_EQ(items[i].Find("sample")->Integer(), marks[i].sample);
        EXPECT_EQ(items[i].Find("endSample")->Integer(), marks[i].endSample);
        EXPECT_EQ(items[i].Find("text")->String(), marks[i].text);
    }
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
    EXPECT_EQ(good.marks[0], Mark::Point(500, 24000, "point"));
    EXPECT_EQ(good.marks[1], Mark::Range(1250, 60000, 2000, 96000, "range with tab"));
    EXPECT_EQ(good.marks[2], Mark::Point(3500, 168000, ""));
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
