// The marks file beside the sound: written at once and atomically, read
// back on the next open; a folder that cannot be written and a file that
// cannot be read lose nothing and are told about once.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestSounds.h"
#include "common/MessageBox.h"
#include "marks/MarkKeeper.h"
#include "marks/MarksFile.h"
#include "marks/TextFile.h"
#include "sound/RecordingMessageBox.h"

namespace zv {
namespace {

std::size_t FilesIn(const std::string& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

struct MarkKeeperTest : ::testing::Test {
    test::TempDir dir;
    test::RecordingMessageBox messages;
    std::string sound = dir.File("voice.wav");
};

TEST_F(MarkKeeperTest, EveryChangeIsSavedBesideTheSoundAndReadBackOnTheNextOpen) {
    {
        MarkKeeper keeper;
        ShowReport(messages, keeper.OpenFor(sound, 48000));
        ShowReport(messages, keeper.Add(Mark::Point(833, 39984, "second")));
        ShowReport(messages, keeper.Add(Mark::Range(333, 15984, 500, 24000, "first")));
        ShowReport(messages, keeper.SetText(1, "second, edited"));
        ShowReport(messages, keeper.Add(Mark::Point(900, 43200, "gone")));
        ShowReport(messages, keeper.Remove({2}));
        EXPECT_TRUE(keeper.Saved());
    }
    EXPECT_TRUE(std::filesystem::exists(dir.File("voice.wav.zorvane-marks.json")));
    MarkKeeper again;
    ShowReport(messages, again.OpenFor(sound, 48000));
    ASSERT_EQ(again.Marks().size(), 2u);
    EXPECT_EQ(again.Marks()[0], Mark::Range(333, 15984, 500, 24000, "first"));
    EXPECT_EQ(again.Marks()[1], Mark::Point(833, 39984, "second, edited"));
    // The sound converted to another rate: the marks keep their ms.
    ShowReport(messages, again.OpenFor(sound, 44100));
    EXPECT_EQ(again.Marks()[1], Mark::Point(833, 36735, "second, edited"));
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(MarkKeeperTest, AWriteThatFailsHalfWayLeavesTheOldFileWhole) {
    const std::string path = dir.File("marks.json");
    ASSERT_EQ(WriteFileAtomically(path, "old contents\n"), std::nullopt);
    const std::size_t before = FilesIn(dir.File(""));

    // The file size limit stops the write after its first 4 KiB (EFBIG).
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previous);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const std::optional<std::string> failed = WriteFileAtomically(path, std::string(100000, 'x'));
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &previous, nullptr);

    ASSERT_TRUE(failed.has_value());
    EXPECT_EQ(test::ReadText(path), "old contents\n");
    EXPECT_EQ(FilesIn(dir.File("")), before) << "a temporary file was left behind";
    ASSERT_EQ(WriteFileAtomically(path, "new\n"), std::nullopt);
    EXPECT_EQ(test::ReadText(path), "new\n");
}

TEST_F(MarkKeeperTest, AFolderThatCannotBeWrittenIsToldOnceAndTheMarksStay) {
    // A "folder" that is a regular file: no write there can succeed, even as root.
    test::WriteText(dir.File("not-a-folder"), "x");
    MarkKeeper keeper;
    ShowReport(messages, keeper.OpenFor(dir.File("not-a-folder/voice.wav"), 48000));
    EXPECT_TRUE(messages.texts.empty());
    ShowReport(messages, keeper.Add(Mark::Point(100, 4800, "a")));
    ShowReport(messages, keeper.Add(Mark::Point(200, 9600, "b")));
    ShowReport(messages, keeper.SetText(0, "a2"));
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_NE(messages.texts[0].find("not-a-folder/voice.wav.zorvane-marks.json"), std::string::npos);
    EXPECT_NE(messages.texts[0].find("Export Marks"), std::string::npos);
    EXPECT_EQ(keeper.Marks().size(), 2u);
    EXPECT_EQ(keeper.Marks()[0].text, "a2");
    EXPECT_FALSE(keeper.Saved());
}

TEST_F(MarkKeeperTest, AFileThatCannotBeReadIsToldAndNeverOverwritten) {
    const std::string marksFile = MarksFilePath(sound);
    for (const std::string& damaged :
         {std::string("{\"format\": \"zorvane-marks\", \"version\": 1, \"marks\": [{\"ms\": 1"),
          std::string("{\"format\": \"zorvane-marks\", \"version\": 2, \"marks\": []}"),
          std::string("{\"format\": \"zorvane-marks\", \"version\": 1, \"marks\": [{\"ms\": -5}]}"),
          std::string("\x00\xff garbage", 10)}) {
        test::WriteText(marksFile, damaged);
        messages.texts.clear();
        MarkKeeper keeper;
        ShowReport(messages, keeper.OpenFor(sound, 48000));
        ASSERT_EQ(messages.texts.size(), 1u) << damaged;
        EXPECT_NE(messages.texts[0].find(marksFile), std::string::npos);
        EXPECT_TRUE(keeper.Protected());
        ShowReport(messages, keeper.Add(Mark::Point(100, 4800, "kept in memory")));
        ShowReport(messages, keeper.Remove({0}));
        ShowReport(messages, keeper.Add(Mark::Point(200, 9600, "still")));
        EXPECT_EQ(keeper.Marks().size(), 1u);
        EXPECT_EQ(test::ReadText(marksFile), damaged);
        EXPECT_EQ(messages.texts.size(), 1u);
    }
    EXPECT_NE(messages.texts[0].find("can't be read"), std::string::npos);
}

} // namespace
} // namespace zv
