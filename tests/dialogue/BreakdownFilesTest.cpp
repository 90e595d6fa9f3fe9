// The breakdown's files: .pgo, JSON and Moho switch data written and read
// back at exact rates; damaged files refused whole with their line; the
// sheet, TSV and labels; the typed text as spoken words.
#include <gtest/gtest.h>

#include "common/FrameTime.h"
#include "dialogue/BreakdownImport.h"
#include "dialogue/MouthTrack.h"
#include "dialogue/SpokenText.h"
#include "export/ExportWriters.h"

namespace zv {
namespace {

constexpr int32_t kRate = 44100;

// Two lines of words on frame boundaries of `rate`, a name and a number among them.
Breakdown Sample(FrameRate rate) {
    auto at = [&](int64_t frame) { return FrameStartSample(frame, rate, kRate); };
    Breakdown b;
    b.sampleRate = kRate;
    b.soundFrames = at(60) + 17;
    BreakdownWord hello{"Hello", at(3), at(9), {{"HH", at(3), at(4)}, {"AH", at(4), at(6)}, {"L", at(6), at(7)}, {"OW", at(7), at(9)}}, false};
    BreakdownWord zorb{"Zorblax", at(10), at(20), {{"Z", at(10), at(12)}, {"AO", at(12), at(15)}, {"B", at(15), at(16)}, {"L", at(16), at(18)}, {"AE", at(18), at(20)}}, false};
    BreakdownWord two{"two", at(30), at(36), {{"T", at(30), at(32)}, {"UW", at(32), at(36)}}, true};
    b.lines = {{"Hello, Zorblax!", {hello, zorb}}, {"2", {two}}};
    return b;
}

struct Exported {
    Breakdown breakdown;
    std::vector<TrackItem> mouths;
    MouthSet set = MouthSet::PrestonBlair();
    // Written by the export list's Dialogue format of that name.
    std::string Write(const std::string& name, FrameRate rate, const std::vector<TrackItem>* marks = nullptr) const {
        const ExportWriter* writer = ExportWriters::Named(ExportSubject::Dialogue, name);
        if (writer == nullptr) return "no format " + name;
        ExportInput in;
        in.sampleRate = breakdown.sampleRate;
        in.lengthSamples = breakdown.soundFrames;
        in.breakdown = &breakdown;
        in.mouths = &mouths;
        in.marks = marks;
        in.mouthSet = &set;
        in.soundName = "line.wav";
        in.rate = rate;
        return writer->Write(in);
    }
};

Exported Make(FrameRate rate) {
    Exported e;
    e.breakdown = Sample(rate);
    e.mouths = MouthShapes(e.breakdown.PhonemeItems(), e.set, {}, rate, kRate, e.breakdown.soundFrames);
    return e;
}

TEST(BreakdownFiles, PapagayoJsonAndMohoComeBackAsWritten) {
    for (FrameRate rate : {FrameRate(24), FrameRate::Fraction(30000, 1001), FrameRate(12)}) {
        const Exported e = Make(rate);
        std::string error;
        // .pgo: words, frames and each phoneme's shape, at the rate in force.
        const auto pgo = ImportPapagayo(e.Write("pgo", rate), kRate, e.breakdown.soundFrames, rate, error);
        ASSERT_TRUE(pgo) << error;
        EXPECT_EQ(pgo->rate, rate);
        ASSERT_EQ(pgo->breakdown.lines.size(), 2u);
        EXPECT_EQ(pgo->breakdown.lines[0].text, "Hello, Zorblax!");
        const auto before = e.breakdown.WordItems(), after = pgo->breakdown.WordItems();
        ASSERT_EQ(after.size(), before.size());
        for (std::size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(after[i].text, before[i].text);
            EXPECT_EQ(after[i].start, before[i].start) << rate;
            EXPECT_EQ(after[i].end, before[i].end) << rate;
        }
        const auto phones = e.breakdown.PhonemeItems(), shapes = pgo->breakdown.PhonemeItems();
        ASSERT_EQ(shapes.size(), phones.size());
        for (std::size_t i = 0; i < phones.size(); ++i) {
            EXPECT_EQ(shapes[i].text, e.set.ShapeOf(phones[i].text));
            EXPECT_EQ(shapes[i].start, phones[i].start);
        }
        // JSON: every sample as it was, the mouths as they were.
        const auto json = ImportBreakdownJson(e.Write("json", rate), kRate, e.breakdown.soundFrames, error);
        ASSERT_TRUE(json) << error;
        EXPECT_EQ(json->rate, rate);
        EXPECT_EQ(json->breakdown.WordItems().size(), before.size());
        for (std::size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(json->breakdown.WordItems()[i].start, before[i].start);
            EXPECT_EQ(json->breakdown.WordItems()[i].end, before[i].end);
        }
        EXPECT_EQ(json->breakdown.PhonemeItems(), e.breakdown.PhonemeItems());
        EXPECT_EQ(json->mouths, e.mouths);
        // Moho: the mouths, frames from 1 and ascending.
        const std::string dat = e.Write("dat", rate);
        EXPECT_EQ(dat.rfind("MohoSwitch1\n1 rest\n", 0), 0u) << dat;
        const auto moho = ImportMohoSwitch(dat, rate, kRate, e.breakdown.soundFrames, error);
        ASSERT_TRUE(moho) << error;
        EXPECT_EQ(*moho, e.mouths);
    }
}

TEST(BreakdownFiles, APapagayoDocumentComesInAtTheRateInForce) {
    // As Papagayo writes one: two phrases, rest between the words.
    const std::string pgo =
        "lipsync version 1\r\nhello.wav\r\n30\r\n90\r\n1\r\n\tVoice 1\r\n\tHi there|Bye\r\n\t2\r\n"
        "\t\tHi there\r\n\t\t5\r\n\t\t30\r\n\t\t2\r\n"
        "\t\t\tHi 5 12 2\r\n\t\t\t\t5 etc\r\n\t\t\t\t8 AI\r\n"
        "\t\t\tthere 14 30 2\r\n\t\t\t\t14 etc\r\n\t\t\t\t20 E\r\n"
        "\t\tBye\r\n\t\t60\r\n\t\t70\r\n\t\t1\r\n"
        "\t\t\tBye 60 70 2\r\n\t\t\t\t60 MBP\r\n\t\t\t\t62 AI\r\n";
    const FrameRate ntsc = FrameRate::Fraction(30000, 1001);
    std::string error;
    const auto doc = ImportPapagayo(pgo, 48000, 0, ntsc, error);
    ASSERT_TRUE(doc) << error;
    EXPECT_EQ(doc->rate, ntsc);
    EXPECT_EQ(doc->breakdown.soundFrames, FrameStartSample(90, ntsc, 48000));
    ASSERT_EQ(doc->breakdown.lines.size(), 2u);
    const auto words = doc->breakdown.WordItems();
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[1].text, "there");
    EXPECT_EQ(words[1].start, FrameStartSample(14, ntsc, 48000));
    EXPECT_EQ(words[1].end, FrameStartSample(31, ntsc, 48000));
    std::string shapes;
    for (const auto& s : ShapesByFrame(doc->mouths, ntsc, 48000, doc->breakdown.soundFrames, "rest"))
        shapes += s == "rest" ? "." : s.substr(0, 1);
    EXPECT_EQ(shapes.substr(0, 34), "....." "eeeAAAAA" "." "eeeeeeEEEEEEEEEEE" "...");
    EXPECT_EQ(shapes.substr(58, 16), "..MMAAAAAAAAA...");
    // At a rate that is not the file's, the file's own rate holds.
    EXPECT_EQ(ImportPapagayo(pgo, 48000, 0, 24, error)->rate, FrameRate(30));
}

TEST(BreakdownFiles, DamagedFilesAreRefusedWholeWithTheLine) {
    const Exported e = Make(24);
    const std::string pgo = e.Write("pgo", 24);
    std::string error;
    // Line 13 is the first word ("Hello 3 8 4").
    std::string bad = pgo;
    bad.replace(bad.find("Hello 3 8 4"), 11, "Hello 3 x 4");
    EXPECT_FALSE(ImportPapagayo(bad, kRate, 0, 24, error));
    EXPECT_EQ(error.rfind("line 13:", 0), 0u) << error;
    EXPECT_FALSE(ImportPapagayo(pgo.substr(0, pgo.size() / 2), kRate, 0, 24, error));
    EXPECT_EQ(error.rfind("line ", 0), 0u) << error;
    EXPECT_FALSE(ImportPapagayo("lipsync version 2\n", kRate, 0, 24, error));
    EXPECT_EQ(error.rfind("line 1:", 0), 0u) << error;
    EXPECT_FALSE(ImportPapagayo(pgo + "junk\n", kRate, 0, 24, error));
    EXPECT_FALSE(ImportMohoSwitch("MohoSwitch1\n1 rest\n5 AI\n3 E\n", 24, kRate, 0, error));
    EXPECT_EQ(error.rfind("line 4:", 0), 0u) << error;
    EXPECT_FALSE(ImportBreakdownJson("{\n\"words\": [\n}", kRate, 0, error));
    EXPECT_EQ(error.rfind("line 3:", 0), 0u) << error;
    // A 29.97 document keeps Papagayo's whole rate in its header.
    const std::string ntsc = Make(FrameRate::Fraction(30000, 1001)).Write("pgo", FrameRate::Fraction(30000, 1001));
    EXPECT_EQ(ntsc.substr(0, ntsc.find('\n', ntsc.find('\n') + 1) + 4), "lipsync version 1\nline.wav\n30\n");
}

TEST(BreakdownFiles, SheetTsvLabelsAndJsonKeys) {
    const FrameRate ntsc = FrameRate::Fraction(24000, 1001);
    const Exported e = Make(ntsc);
    const std::vector<TrackItem> marks = {{FrameStartSample(10, ntsc, kRate), FrameStartSample(10, ntsc, kRate), "hit", ""}};
    const std::string sheet = e.Write("xsheet", ntsc, &marks);
    EXPECT_EQ(sheet.rfind("Frame\tMouth\tWord\tMarks\n1\trest\t\t\n2\t\t\t\n3\t\t\t\n4\tAI\tHello\t\n", 0), 0u) << sheet;
    EXPECT_NE(sheet.find("\n11\tetc\tZorblax\thit\n"), std::string::npos) << sheet;
    const std::string tsv = e.Write("tsv", ntsc);
    // Frame 3 at 24000/1001 starts at 125.125 ms.
    EXPECT_EQ(tsv.rfind("0.000\trest\n0.125\tAI\n", 0), 0u) << tsv;
    const std::string labels = e.Write("labels", ntsc);
    EXPECT_EQ(labels.substr(0, labels.find('\n')), "0.125125\t0.375374\tHello");
    const std::string json = e.Write("json", ntsc);
    for (const char* key : {"\"sound\": \"line.wav\"", "\"sampleRate\": 44100", "\"frameRate\": \"24000/1001\"",
                            "\"words\"", "\"endFrame\": 8", "\"phonemes\"", "\"mouths\"", "\"shape\": \"MBP\""})
        EXPECT_NE(json.find(key), std::string::npos) << key;
}

TEST(SpokenText, NumbersAndSymbolsAreReadAsSpoken) {
    auto words = [](const std::string& text) {
        std::string out;
        for (const auto& line : SplitSpokenText(text, true))
            for (const auto& w : line.words) out += (out.empty() ? "" : " ") + w.key;
        return out;
    };
    EXPECT_EQ(words("\"42,\" said Dr. O'Neil -- 3.5% & 1st!"), "forty two said dr o'neil three point five percent and first");
    EXPECT_EQ(words("In 1999 and 2026, $5 of 1,000,017"), "in nineteen ninety nine and twenty twenty six five dollars of one million seventeen");
    EXPECT_EQ(words("2005 / 1900 / 115"), "two thousand five nineteen hundred one hundred fifteen");
    EXPECT_EQ(SplitSpokenText("one\n\n  two three \n", true).size(), 2u);
    EXPECT_EQ(SplitSpokenText(" ,.; \n", true).size(), 0u);
    EXPECT_EQ(SplitSpokenText("Straße 42", false)[0].words[1].text, "42");
}

} // namespace
} // namespace zv
