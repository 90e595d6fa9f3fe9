// zorvane --sheet: the sheet of what is kept beside the sound, as XDTS (with
// its mapping file) or PDF; bad input told in plain words naming the path,
// with nothing written. And --help / --version from the built program with
// no display at all.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "../sheets/XdtsSchema.h"
#include "TestSounds.h"
#include "cli/CommandLine.h"
#include "cli/ProgramHelp.h"
#include "cli/SheetCommand.h"
#include "sheets/ui/SheetPainter.h"

namespace zv {
namespace {

int Sheet(std::vector<std::string> args, std::string* messages = nullptr) {
    args.insert(args.begin(), {"zorvane", "--sheet"});
    std::ostringstream out;
    const int code = RunSheetCommand(args, out, &WriteSheetPdf);
    if (messages != nullptr) *messages = out.str();
    return code;
}

// The marks file the window keeps beside a sound, with a word, its mouths and a beat.
void KeepBreakdown(const std::string& sound) {
    test::WriteText(sound + ".zorvane-marks.json", R"({
      "format": "zorvane-marks", "version": 2, "sound": "voice.wav", "sampleRate": 48000,
      "tracks": [
        {"name": "Marks", "items": [{"start": 96000, "text": "blink"}]},
        {"name": "Words", "items": [{"start": 24000, "end": 48000, "text": "hi"}]},
        {"name": "Mouths", "items": [{"start": 0, "end": 24000, "text": "rest"},
                                      {"start": 24000, "end": 48000, "text": "AI"},
                                      {"start": 48000, "end": 480000, "text": "rest"}]},
        {"name": "Beats", "items": [{"start": 0, "text": "1.1", "kind": "downbeat"}]}
      ]})");
}

std::size_t Entries(const std::string& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
    return n;
}

TEST(SheetCommand, WritesWhatIsKeptBesideTheSound) {
    test::TempDir dir;
    const std::string wav = dir.File("voice.wav");
    test::WriteWav(wav, 48000, 1, test::Tone(48000, 480000, 220, 0.3));
    KeepBreakdown(wav);
    std::string messages;
    const std::string xdts = dir.File("shot.xdts");
    ASSERT_EQ(Sheet({wav, "--output", xdts, "--cut", "42", "--scene", "7", "--fps", "30"}, &messages), kExitDone)
        << messages;
    const std::string text = test::ReadText(xdts);
    const std::vector<std::string> errors = test::XdtsSchemaErrors(text);
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_NE(text.find("\"cut\": \"42\""), std::string::npos);
    EXPECT_NE(text.find("\"hi\""), std::string::npos);
    // Not 24: the receiving program must be set to the rate, and the mapping says so.
    EXPECT_NE(messages.find("30 frames a second"), std::string::npos) << messages;
    const std::string mapping = test::ReadText(dir.File("shot.mouths.txt"));
    EXPECT_NE(mapping.find("Frame rate: 30"), std::string::npos) << mapping;
    EXPECT_NE(mapping.find("1\tAI"), std::string::npos) << mapping;

    const std::string pdf = dir.File("shot.pdf");
    ASSERT_EQ(Sheet({wav, "--output", pdf, "--layout", "two"}, &messages), kExitDone) << messages;
    EXPECT_EQ(test::ReadText(pdf).rfind("%PDF", 0), 0u);
}

TEST(SheetCommand, EachCharacterIsLaidAndNumberedWithTheSetItKeeps) {
    test::TempDir dir;
    const std::string wav = dir.File("scene.wav");
    test::WriteWav(wav, 48000, 1, test::Tone(48000, 96000, 220, 0.3));
    // Ann follows the default set, Bob keeps A-H; both kept as phonemes only, their mouths laid here.
    test::WriteText(wav + ".zorvane-marks.json", R"({
      "format": "zorvane-marks", "version": 2, "sampleRate": 48000,
      "tracks": [
        {"name": "Characters", "items": [{"start": 0, "text": "Ann", "kind": "{\"id\": 1, \"mouthSet\": \"\"}"},
                                         {"start": 0, "text": "Bob", "kind": "{\"id\": 2, \"mouthSet\": \"A-H\"}"}]},
        {"name": "Words", "items": [{"start": 4800, "end": 24000, "text": "me"}]},
        {"name": "Phonemes", "items": [{"start": 4800, "end": 12000, "text": "M"}, {"start": 12000, "end": 24000, "text": "IY1"}]},
        {"name": "Words 2", "items": [{"start": 48000, "end": 72000, "text": "oh"}]},
        {"name": "Phonemes 2", "items": [{"start": 48000, "end": 72000, "text": "OW1"}]}
      ]})");
    std::string messages;
    const std::string xdts = dir.File("scene.xdts");
    ASSERT_EQ(Sheet({wav, "--output", xdts}, &messages), kExitDone) << messages;
    const std::string mapping = test::ReadText(dir.File("scene.mouths.txt"));
    EXPECT_NE(mapping.find("Ann (Preston Blair)\n1\tAI"), std::string::npos) << mapping;
    EXPECT_NE(mapping.find("Bob (A-H)\n1\tA"), std::string::npos) << mapping;
    const std::string text = test::ReadText(xdts);
    EXPECT_NE(text.find("\"me\""), std::string::npos);
    EXPECT_NE(text.find("\"oh\""), std::string::npos);
}

TEST(SheetCommand, ANamedScriptGivesEachSpeakerTheirColumns) {
    test::TempDir dir;
    const std::string wav = dir.File("quiet.wav"), script = dir.File("scene.txt"), pdf = dir.File("scene.pdf");
    test::WriteWav(wav, 16000, 1, std::vector<float>(16000 * 4, 0.0f));
    test::WriteText(script, "Annabel: Where were you\nBartholomew: Outside\n");
    std::string messages;
    // No speech in it: the words are spread evenly, and the sheet written all the same.
    ASSERT_EQ(Sheet({wav, "--output", pdf, "--text", script}, &messages), kExitDone) << messages;
    std::string text;
    if (std::FILE* pipe = popen(("pdftotext -layout '" + pdf + "' - 2>&1").c_str(), "r")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
        pclose(pipe);
    }
    for (const char* expected : {"Annabel", "Bartholomew", "Where", "Outside"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " is not in\n" << text.substr(0, 2000);
    // The names head their columns side by side (not words of one speaker, on rows of their own).
    const std::size_t ann = text.find("Annabel");
    ASSERT_NE(ann, std::string::npos);
    const std::size_t lineEnd = text.find('\n', ann);
    EXPECT_NE(text.substr(ann, lineEnd - ann).find("Bartholomew"), std::string::npos) << text.substr(0, 2000);
}

TEST(SheetCommand, BadInputIsToldAndWritesNothing) {
    test::TempDir dir;
    const std::string wav = dir.File("bare.wav"), out = dir.File("out.xdts");
    test::WriteWav(wav, 48000, 1, test::Tone(48000, 48000, 220, 0.3));
    std::string messages;
    EXPECT_EQ(Sheet({}), kExitUsage);
    EXPECT_EQ(Sheet({wav}), kExitUsage);
    EXPECT_EQ(Sheet({wav, "--output", dir.File("out.doc")}), kExitUsage);
    EXPECT_EQ(Sheet({wav, "--output", out, "--cut", "12345"}), kExitUsage);
    EXPECT_EQ(Sheet({wav, "--output", out, "--fps", "fast"}), kExitUsage);
    EXPECT_EQ(Sheet({wav, "--output", out, "--layout", "three"}), kExitUsage);
    EXPECT_EQ(Sheet({dir.File("x.wav"), "--output", out}, &messages), kExitUnreadable);
    EXPECT_EQ(messages, "Cannot open '" + dir.File("x.wav") + "': no such file\n");
    EXPECT_EQ(Sheet({wav, "--output", out, "--text", dir.File("none.txt")}, &messages), kExitUnreadable);
    EXPECT_NE(messages.find("Cannot open '" + dir.File("none.txt") + "'"), std::string::npos) << messages;
    // Nothing kept beside the sound and nothing asked for: nothing to show.
    EXPECT_EQ(Sheet({wav, "--output", out}, &messages), kExitNothingFound);
    EXPECT_NE(messages.find("Nothing to put on the sheet"), std::string::npos) << messages;
    // Marks alone make a printed sheet but no XDTS one: that holds the mouths and lines.
    test::WriteText(wav + ".zorvane-marks.json",
                    R"({"format": "zorvane-marks", "version": 2, "sampleRate": 48000,
                        "tracks": [{"name": "Marks", "items": [{"start": 100, "text": "blink"}]}]})");
    EXPECT_EQ(Sheet({wav, "--output", out}, &messages), kExitNothingFound);
    EXPECT_NE(messages.find("no words or mouths"), std::string::npos) << messages;
    // A damaged marks file is told, naming it.
    test::WriteText(wav + ".zorvane-marks.json", "{\"format\": ");
    EXPECT_EQ(Sheet({wav, "--output", out}, &messages), kExitUnreadable);
    EXPECT_NE(messages.find(wav + ".zorvane-marks.json"), std::string::npos) << messages;
    EXPECT_EQ(Entries(dir.File("")), 2u);   // the sound and its marks file only
    // A folder that isn't there: told, nothing half-written.
    KeepBreakdown(wav);
    EXPECT_EQ(Sheet({wav, "--output", dir.File("no/such/out.xdts")}, &messages), kExitUsage);
    EXPECT_NE(messages.find("Cannot write '" + dir.File("no/such/out.xdts") + "'"), std::string::npos) << messages;
    EXPECT_EQ(Sheet({wav, "--output", dir.File("no/such/out.pdf")}, &messages), kExitUsage);
    EXPECT_EQ(Entries(dir.File("")), 2u);
}

struct Finished {
    int code = -1;
    std::string out;
};

// The built program run with no display and no toolkit platform named.
Finished Program(const std::string& arguments) {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                                std::string(ZORVANE_BINARY_DIR) + "/zorvane " + arguments + " 2>&1";
    Finished run;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) run.out += buffer;
    const int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(ProgramHelp, HelpAndVersionNeedNoDisplay) {
    if (!std::filesystem::exists(std::string(ZORVANE_BINARY_DIR) + "/zorvane")) GTEST_SKIP() << "zorvane not built";
    const Finished help = Program("--help");
    EXPECT_EQ(help.code, 0) << help.out;
    EXPECT_EQ(help.out, HelpText());
    for (const char* mode : {"--beats", "--breakdown", "--sheet", "--help", "--version", "zorvane [FILE]"})
        EXPECT_NE(help.out.find(mode), std::string::npos) << mode;
    const Finished version = Program("--version");
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, VersionText());
    const Finished missing = Program("--sheet /nowhere/x.wav --output /tmp/x.xdts");
    EXPECT_EQ(missing.code, kExitUnreadable);
    EXPECT_EQ(missing.out, "Cannot open '/nowhere/x.wav': no such file\n");
}

} // namespace
} // namespace zv
