// The marks file beside the sound: written at once and atomically, read
// back on the next open (this version's text and the older one's); two
// writers on one sound merged; a folder that cannot be written and a file
// that cannot be read lose nothing and are told about once.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestSounds.h"
#include "common/MessageBox.h"
#include "marks/MarkKeeper.h"
#include "marks/MarksFile.h"
#include "marks/TextFile.h"
#include "document/SoundDocument.h"
#include "sound/RecordingMessageBox.h"

namespace zv {
namespace {

std::size_t FilesIn(const std::string& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

TrackItem Point(int64_t sample, std::string text) { return TrackItem{sample, sample, std::move(text), {}}; }

SoundInfo InfoOf(const std::string& path, int32_t rate) {
    SoundInfo info;
    info.path = path;
    info.sampleRate = rate;
    info.frames = int64_t{rate} * 60;
    return info;
}

struct MarkKeeperTest : ::testing::Test {
    test::TempDir dir;
    test::RecordingMessageBox messages;
    std::string sound = dir.File("voice.wav");
    SoundDocument document;
};

TEST_F(MarkKeeperTest, EveryChangeIsSavedBesideTheSoundAndReadBackOnTheNextOpen) {
    {
        MarkKeeper keeper(document);
        ShowReport(messages, keeper.OpenFor(InfoOf(sound, 48000)));
        ShowReport(messages, keeper.Add(Point(39984, "second")));
        ShowReport(messages, keeper.Add(TrackItem{15984, 24000, "first", {}}));
        ShowReport(messages, keeper.SetText(1, "second, edited"));
        ShowReport(messages, keeper.Add(Point(43200, "gone")));
        ShowReport(messages, keeper.Remove({2}));
        ShowReport(messages, keeper.AddToTrack(SoundDocument::kBeats, {TrackItem{48000, 48000, "", "downbeat"}}));
        EXPECT_TRUE(keeper.Saved());
    }
    EXPECT_TRUE(std::filesystem::exists(dir.File("voice.wav.zorvane-marks.json")));
    SoundDocument other;
    MarkKeeper again(other);
    ShowReport(messages, again.OpenFor(InfoOf(sound, 48000)));
    ASSERT_EQ(again.Marks().size(), 2u);
    EXPECT_EQ(again.Marks()[0], (TrackItem{15984, 24000, "first", {}}));
    EXPECT_EQ(again.Marks()[1], Point(39984, "second, edited"));
    ASSERT_NE(other.Find(SoundDocument::kBeats), nullptr);
    EXPECT_EQ(other.Find(SoundDocument::kBeats)->Items(), (std::vector<TrackItem>{{48000, 48000, "", "downbeat"}}));
    // The sound converted to another rate: the marks keep their time.
    ShowReport(messages, again.OpenFor(InfoOf(sound, 44100)));
    EXPECT_EQ(again.Marks()[1], Point(36735, "second, edited"));
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(MarkKeeperTest, ThisVersionsTextAndTheOlderOneRead) {
    const std::string marksFile = MarksFilePath(sound);
    test::WriteText(marksFile,
                    "{\n  \"format\": \"zorvane-marks\",\n  \"version\": 2,\n  \"sound\": \"voice.wav\",\n"
                    "  \"sampleRate\": 48000,\n  \"tracks\": [\n"
                    "    {\"name\": \"Marks\", \"items\": [\n"
                    "      {\"start\": 1600, \"text\": \"ah\"},\n"
                    "      {\"start\": 24000, \"end\": 43200, \"text\": \"oo\", \"kind\": \"held\"}\n    ]},\n"
                    "    {\"name\": \"Words\", \"items\": [\n      {\"start\": 0, \"end\": 9600, \"text\": \"hello\"}\n    ]}\n"
                    "  ]\n}\n");
    MarkKeeper keeper(document);
    ShowReport(messages, keeper.OpenFor(InfoOf(sound, 48000)));
    EXPECT_EQ(keeper.Marks().Items(),
              (std::vector<TrackItem>{{1600, 1600, "ah", {}}, {24000, 43200, "oo", "held"}}));
    ASSERT_NE(document.Find(SoundDocument::kWords), nullptr);
    EXPECT_EQ(document.Find(SoundDocument::kWords)->Items(), (std::vector<TrackItem>{{0, 9600, "hello", {}}}));
    // Written back as it was read.
    const std::string before = test::ReadText(marksFile);
    ShowReport(messages, keeper.Save());
    EXPECT_EQ(test::ReadText(marksFile), before);

    // Version 1 kept the marks alone, in ms and samples; a mark without its
    // sample gets it from its ms.
    test::WriteText(marksFile,
                    "{\"format\": \"zorvane-marks\", \"version\": 1, \"sound\": \"voice.wav\", \"sampleRate\": 48000,\n"
                    " \"marks\": [{\"ms\": 333, \"sample\": 16000, \"text\": \"ah\"},\n"
                    "  {\"ms\": 500, \"sample\": 24000, \"endMs\": 900, \"endSample\": 43200, \"text\": \"oo\"},\n"
                    "  {\"ms\": 1000}]}\n");
    ShowReport(messages, keeper.OpenFor(InfoOf(sound, 48000)));
    EXPECT_EQ(keeper.Marks().Items(),
              (std::vector<TrackItem>{{16000, 16000, "ah", {}}, {24000, 43200, "oo", {}}, {48000, 48000, "", {}}}));
    EXPECT_EQ(document.Find(SoundDocument::kWords), nullptr);
    EXPECT_TRUE(messages.texts.empty());
}

// Two windows on one sound: each reads the file again before it writes, so
// neither loses what the other added, and what one removed stays removed.
TEST_F(MarkKeeperTest, TwoWritersOnOneSoundLoseNothing) {
    SoundDocument otherDocument;
    MarkKeeper one(document), two(otherDocument);
    ShowReport(messages, one.OpenFor(InfoOf(sound, 48000)));
    ShowReport(messages, two.OpenFor(InfoOf(sound, 48000)));
    ShowReport(messages, one.Add(Point(1600, "one a")));
    ShowReport(messages, two.Add(Point(3200, "two a")));
    ShowReport(messages, one.Add(Point(4800, "one b")));
    ShowReport(messages, two.Add(Point(6400, "two b")));
    ShowReport(messages, two.Remove({1}));
    EXPECT_TRUE(messages.texts.empty());

    // two saw: one a, two a, one b, two b; it removed index 1 ("two a").
    const std::vector<TrackItem> expected{Point(1600, "one a"), Point(4800, "one b"), Point(6400, "two b")};
    EXPECT_EQ(two.Marks().Items(), expected);
    ShowReport(messages, one.SetText(0, "one a, edited"));
    const std::vector<TrackItem> after{Point(1600, "one a, edited"), Point(4800, "one b"), Point(6400, "two b")};
    EXPECT_EQ(one.Marks().Items(), after);
    SoundDocument fresh;
    MarkKeeper reader(fresh);
    ShowReport(messages, reader.OpenFor(InfoOf(sound, 48000)));
    EXPECT_EQ(reader.Marks().Items(), after);
    EXPECT_TRUE(one.Saved() && two.Saved());

    // A file another program damaged is not merged into nor written over:
    // told once, the marks stay in memory.
    test::WriteText(MarksFilePath(sound), "{ damaged");
    ShowReport(messages, one.Add(Point(8000, "kept")));
    ShowReport(messages, one.Add(Point(9600, "kept too")));
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_NE(messages.texts[0].find("changed by another program"), std::string::npos) << messages.texts[0];
    EXPECT_EQ(test::ReadText(MarksFilePath(sound)), "{ damaged");
    EXPECT_EQ(one.Marks().size(), 5u);
    EXPECT_FALSE(one.Saved());
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
    MarkKeeper keeper(document);
    ShowReport(messages, keeper.OpenFor(InfoOf(dir.File("not-a-folder/voice.wav"), 48000)));
    EXPECT_TRUE(messages.texts.empty());
    ShowReport(messages, keeper.Add(Point(4800, "a")));
    ShowReport(messages, keeper.Add(Point(9600, "b")));
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
    const std::string head = "{\"format\": \"zorvane-marks\", \"version\": 2,\n\"tracks\": [\n";
    // The damage, and what the message says of it.
    for (const auto& [damaged, told] : std::vector<std::pair<std::string, std::string>>{
             {"{\"format\": \"zorvane-marks\", \"version\": 1, \"marks\": [{\"ms\": 1", "(line 1:"},
             {"{\"format\": \"zorvane-marks\", \"version\": 3, \"tracks\": []}", "newer version"},
             {"{\"format\": \"zorvane-marks\", \"version\": 1, \"marks\": [{\"ms\": -5}]}", "\"ms\""},
             {head + "{\"name\": \"Marks\", \"items\": [{\"start\": 1, \"text\": \"bad \\q escape\"}]}]}", "(line 3:"},
             {head + "\n\n]} trailing", "(line 5:"},
             {head + std::string(70, '[') + std::string(70, ']') + "]}", "(line 3: nested too deeply"},
             {std::string("\x00\xff garbage", 10), "(line 1:"}}) {
        test::WriteText(marksFile, damaged);
        messages.texts.clear();
        MarkKeeper keeper(document);
        ShowReport(messages, keeper.OpenFor(InfoOf(sound, 48000)));
        ASSERT_EQ(messages.texts.size(), 1u) << damaged;
        EXPECT_NE(messages.texts[0].find(marksFile), std::string::npos);
        EXPECT_NE(messages.texts[0].find(told), std::string::npos) << messages.texts[0];
        EXPECT_TRUE(keeper.Protected());
        ShowReport(messages, keeper.Add(Point(4800, "kept in memory")));
        ShowReport(messages, keeper.Remove({0}));
        ShowReport(messages, keeper.Add(Point(9600, "still")));
        EXPECT_EQ(keeper.Marks().size(), 1u);
        EXPECT_EQ(test::ReadText(marksFile), damaged);
        EXPECT_EQ(messages.texts.size(), 1u);
    }
    EXPECT_NE(messages.texts[0].find("can't be read"), std::string::npos);
}

TEST_F(MarkKeeperTest, APipeOrAFolderBesideTheSoundIsToldAtOnceNotWaitedOn) {
    // A named pipe under the marks file's name would block a plain open
    // until some program wrote to it: the window would freeze.
    const std::string marksFile = MarksFilePath(sound);
    ASSERT_EQ(::mkfifo(marksFile.c_str(), 0600), 0);
    MarkKeeper keeper(document);
    ShowReport(messages, keeper.OpenFor(InfoOf(sound, 48000)));
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_NE(messages.texts[0].find("not a regular file"), std::string::npos) << messages.texts[0];
    EXPECT_TRUE(keeper.Protected());
    std::filesystem::remove(marksFile);
    std::filesystem::create_directory(marksFile);
    ShowReport(messages, keeper.OpenFor(InfoOf(sound, 48000)));
    ASSERT_EQ(messages.texts.size(), 2u);
    EXPECT_NE(messages.texts[1].find(marksFile), std::string::npos);
}

TEST_F(MarkKeeperTest, TracksNamedTwiceAreOneAndEachIsMergedWithItsOwn) {
    const std::string marksFile = MarksFilePath(sound);
    test::WriteText(marksFile,
                    "{\"format\": \"zorvane-marks\", \"version\": 2, \"sampleRate\": 48000, \"tracks\": [\n"
                    "{\"name\": \"Words\", \"items\": [{\"start\": 10, \"text\": \"a\"}]},\n"
                    "{\"name\": \"Marks\", \"items\": [{\"start\": 5, \"text\": \"m\"}]},\n"
                    "{\"name\": \"Beats\", \"items\": []},\n"
                    "{\"name\": \"Words\", \"items\": [{\"start\": 20, \"end\": 30, \"text\": \"b\"}]}]}\n");
    MarkKeeper keeper(document);
    ShowReport(messages, keeper.OpenFor(InfoOf(sound, 48000)));
    EXPECT_TRUE(messages.texts.empty());
    ASSERT_EQ(document.Tracks().size(), 3u);
    EXPECT_EQ(document.Tracks()[1]->Name(), "Words");
    EXPECT_EQ(document.Find("Words")->size(), 2u);
    EXPECT_EQ(keeper.Marks().size(), 1u);
    // Another writer adds to one track: the merge puts it on that track only.
    SoundDocument other;
    {
        MarkKeeper second(other);
        ShowReport(messages, second.OpenFor(InfoOf(sound, 48000)));
        ShowReport(messages, second.AddToTrack("Beats", {Point(100, "beat")}));
    }
    ShowReport(messages, keeper.Add(Point(50, "mine")));
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(document.Find("Beats")->size(), 1u);
    EXPECT_EQ(document.Find("Words")->size(), 2u);
    EXPECT_EQ(keeper.Marks().size(), 2u);
    // A new sound: the old tracks are gone, by name too.
    ShowReport(messages, keeper.OpenFor(InfoOf(dir.File("other.wav"), 48000)));
    EXPECT_EQ(document.Find("Words"), nullptr);
    EXPECT_EQ(document.Tracks().size(), 1u);
    EXPECT_EQ(&document.Ensure(SoundDocument::kMarks), &document.Marks());
}

} // namespace
} // namespace zv
