// The printed sheet as PDF: a 20 s sound at 24 fps takes 4 pages, whose
// text (read back with pdftotext) holds the words, marks, shapes and frame
// numbers; a path that can't be written leaves no file behind.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdio>
#include <filesystem>

#include "TestSounds.h"
#include "sheets/SheetLayout.h"
#include "sheets/ui/SheetPainter.h"

namespace zv {
namespace {

std::string Output(const std::string& command) {
    std::string text;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

SheetContent Twenty() {
    SheetContent content;
    content.soundName = "voice.wav";
    content.sampleRate = 48000;
    content.soundFrames = 20 * 48000;
    content.rate = 24;
    SheetSpeaker speaker;
    speaker.name = "Dialogue";
    speaker.words = {{48000, 60000, "hello", ""}, {700000, 720000, "goodbye", ""}};
    speaker.mouths = {{0, 48000, "rest", ""}, {48000, 60000, "WQ", ""}, {60000, 20 * 48000, "rest", ""}};
    content.speakers = {speaker};
    content.marks = {{96000, 96000, "leap", ""}};
    content.beats = {{0, 0, "1.1", "downbeat"}};
    return content;
}

TEST(SheetPdf, TwentySecondsAtTwentyFourTakeFourPagesOfReadableText) {
    if (QGuiApplication::instance() == nullptr) GTEST_SKIP() << "needs the toolkit";
    test::TempDir dir;
    const SheetContent content = Twenty();
    for (const SheetKind kind : {SheetKind::OneColumn, SheetKind::TwoColumns}) {
        const std::string pdf = dir.File(kind == SheetKind::OneColumn ? "one.pdf" : "two.pdf");
        const SheetLayout layout(content, kind, {"2", "7"});
        const std::optional<std::string> failed = WriteSheetPdf(layout, pdf);
        ASSERT_FALSE(failed) << *failed;
        const std::string info = Output("pdfinfo '" + pdf + "' 2>&1");
        const std::size_t pages = info.find("Pages:");
        ASSERT_NE(pages, std::string::npos) << info;
        EXPECT_EQ(std::stoi(info.substr(pages + 6)), 4) << info;
        const std::string text = Output("pdftotext -layout '" + pdf + "' - 2>&1");
        for (const char* expected : {"hello", "goodbye", "leap", "WQ", "1.1", "Page 1 of 4", "Page 4 of 4",
                                     "Scene 2", "Shot 7", "voice.wav", "ACTION", "DIALOGUE", "MOUTH", "BEATS"})
            EXPECT_NE(text.find(expected), std::string::npos) << expected << " is not in\n" << text.substr(0, 3000);
        // Frame numbers down the margin, the last page's last row included.
        for (const char* frame : {" 1 ", "144", "145", "288", "480", "576"})
            EXPECT_NE(text.find(frame), std::string::npos) << "frame " << frame;
    }
    // Nothing but the two sheets is left in the folder (no temporary files).
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.File(""))) ++files;
    EXPECT_EQ(files, 2u);
}

TEST(SheetPdf, AFolderThatCantBeWrittenIsToldAndLeavesNothing) {
    if (QGuiApplication::instance() == nullptr) GTEST_SKIP() << "needs the toolkit";
    test::TempDir dir;
    const SheetContent content = Twenty();
    const SheetLayout layout(content, SheetKind::OneColumn, {});
    const std::optional<std::string> failed = WriteSheetPdf(layout, dir.File("missing/folder/sheet.pdf"));
    ASSERT_TRUE(failed);
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
    // An old sheet at the path stays whole when the new one can't be put there.
    std::filesystem::create_directories(dir.File("sheet.pdf/inside"));
    EXPECT_TRUE(WriteSheetPdf(layout, dir.File("sheet.pdf")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("sheet.pdf")));
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.File(""))) ++files;
    EXPECT_EQ(files, 1u);
}


// The text line of the sheet that holds `word`: pdftotext -layout keeps each row on a line.
std::string LineWith(const std::string& text, const std::string& word) {
    const std::size_t at = text.find(word);
    if (at == std::string::npos) return {};
    const std::size_t from = text.rfind('\n', at);
    const std::size_t to = text.find('\n', at);
    return text.substr(from == std::string::npos ? 0 : from + 1, to == std::string::npos ? std::string::npos : to - from - 1);
}

TEST(SheetPdf, TwoCharactersEachHaveTheirNamedColumns) {
    if (QGuiApplication::instance() == nullptr) GTEST_SKIP() << "needs the toolkit";
    test::TempDir dir;
    SheetContent content = Twenty();
    SheetSpeaker ann = content.speakers[0];
    ann.name = "Annabel";
    ann.named = true;
    SheetSpeaker bob;
    bob.name = "Bartholomew";
    bob.named = true;
    bob.mouthSet = MouthSet::NineShapes();
    // Frame 50 (from 1): samples 98000 ..
    bob.words = {{98000, 110000, "elsewhere", ""}};
    bob.mouths = {{0, 98000, "X", ""}, {98000, 110000, "G", ""}, {110000, 20 * 48000, "X", ""}};
    content.speakers = {ann, bob};
    for (const SheetKind kind : {SheetKind::OneColumn, SheetKind::TwoColumns}) {
        const std::string pdf = dir.File(kind == SheetKind::OneColumn ? "one.pdf" : "two.pdf");
        const SheetLayout layout(content, kind, {"2", "7"});
        ASSERT_FALSE(WriteSheetPdf(layout, pdf));
        const std::string text = Output("pdftotext -layout '" + pdf + "' - 2>&1");
        for (const char* expected : {"Annabel", "Bartholomew", "hello", "goodbye", "elsewhere", "WQ", "DIALOGUE", "MOUTH"})
            EXPECT_NE(text.find(expected), std::string::npos) << expected << " is not in\n" << text.substr(0, 3000);
        // Each on its row: Ann's hello and WQ on frame 25, Bob's word and G on frame 50.
        const std::string hello = LineWith(text, "hello"), elsewhere = LineWith(text, "elsewhere");
        EXPECT_NE(hello.find("25"), std::string::npos) << hello;
        EXPECT_NE(hello.find("WQ"), std::string::npos) << hello;
        EXPECT_NE(elsewhere.find("50"), std::string::npos) << elsewhere;
        EXPECT_NE(elsewhere.find(" G"), std::string::npos) << elsewhere;
        // Ann's columns come first, Bob's after them.
        const std::string names = LineWith(text, "Annabel");
        EXPECT_LT(names.find("Annabel"), names.find("Bartholomew")) << names;
    }
}

} // namespace
} // namespace zv
