// zorvane --beats run as a user runs it: the built program, its exit codes,
// its messages and its output.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "BeatLoops.h"
#include "TestSounds.h"

namespace zv {
namespace {

struct Finished {
    int code = -1;
    std::string messages;   // standard error
};

// Runs the program with `arguments` (shell words), standard output to `out`.
Finished Zorvane(const std::string& arguments, const std::string& out = "/dev/null") {
    const std::string command =
        std::string(ZORVANE_BINARY_DIR) + "/zorvane --beats " + arguments + " 2>&1 >" + out;
    Finished run;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) run.messages += buffer;
    const int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(BeatsCommand, ExitCodesAndMessages) {
    test::TempDir dir;
    test::LoopSpec recipe;
    recipe.bpm = 128;
    recipe.seconds = 10;
    recipe.offsetSeconds = 0.225;   // frame 5 at 24 fps, 6 at 29.97 (from 0), well inside both
    const std::string loop = dir.File("loop.wav");
    test::WriteWav(loop, 44100, 2, test::MakeLoop(recipe).mono);
    const std::string quiet = dir.File("quiet.wav");
    test::WriteWav(quiet, 44100, 1, std::vector<float>(44100 * 3, 0.0f));
    const std::string text = dir.File("notes.wav");
    test::WriteText(text, "not a sound");

    // Bad usage: no sound, unknown options, a tempo out of range, a bad rate or format.
    EXPECT_EQ(Zorvane("").code, 1);
    EXPECT_EQ(Zorvane(loop + " --tempo 120").code, 1);
    const Finished fast = Zorvane(loop + " --bpm 500");
    EXPECT_EQ(fast.code, 1);
    EXPECT_NE(fast.messages.find("20 to 400 BPM"), std::string::npos) << fast.messages;
    EXPECT_EQ(Zorvane(loop + " --bpm 19.99").code, 1);
    EXPECT_EQ(Zorvane(loop + " --fps fast").code, 1);
    EXPECT_EQ(Zorvane(loop + " --format xml").code, 1);
    EXPECT_EQ(Zorvane(loop + " --output " + dir.File("no/such/dir/out.json")).code, 1);
    // The sound cannot be read: the message names it.
    for (const std::string& bad : {dir.File("missing.wav"), text}) {
        const Finished unreadable = Zorvane(bad);
        EXPECT_EQ(unreadable.code, 2) << bad;
        EXPECT_NE(unreadable.messages.find(bad), std::string::npos) << unreadable.messages;
    }
    // No beat.
    const Finished none = Zorvane(quiet);
    EXPECT_EQ(none.code, 3);
    EXPECT_EQ(none.messages, "No steady beat found\n");

    // Found: the readout on standard error, the JSON in the file.
    const std::string json = dir.File("beats.json");
    const Finished found = Zorvane(loop + " --fps 24 --output " + json);
    EXPECT_EQ(found.code, 0) << found.messages;
    EXPECT_EQ(found.messages, "4/4 \u00b7 128.00 BPM \u00b7 11.25 frames a beat (45/4) at 24 fps\n");
    const auto parsed = nlohmann::json::parse(test::ReadText(json));
    EXPECT_EQ(parsed["bpm"], 128.0);
    EXPECT_EQ(parsed["framesPerBeat"], "45/4");
    ASSERT_GE(parsed["beats"].size(), 19u);
    EXPECT_NEAR(parsed["beats"][0]["time"].get<double>(), 0.225, 0.005);
    EXPECT_EQ(parsed["beats"][0]["frame"], 5);

    // A typed tempo, the bar sheet at 29.97 on standard output.
    const std::string sheet = dir.File("beats.txt");
    const Finished typed = Zorvane(loop + " --bpm 128 --fps 29.97 --format xsheet", sheet);
    EXPECT_EQ(typed.code, 0) << typed.messages;
    const std::string bars = test::ReadText(sheet);
    EXPECT_EQ(bars.rfind("Bar\tBeat\tFrame\n", 0), 0u);
    EXPECT_NE(bars.find("\n1\t1\t7\n"), std::string::npos) << bars.substr(0, 200);   // counted from 1
}

} // namespace
} // namespace zv
