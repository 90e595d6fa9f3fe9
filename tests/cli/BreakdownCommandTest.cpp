// zorvane --breakdown: its exit codes, and Preston Blair shapes at
// ascending frames from 1 in Moho switch data from the built program.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "TestSounds.h"
#include "cli/BreakdownCommand.h"
#include "cli/CommandLine.h"
#include "dialogue/CharacterList.h"
#include "dialogue/EspeakVoice.h"
#include "dialogue/MouthSet.h"

namespace zv {
namespace {

int RunCommand(std::vector<std::string> args, std::string* messages = nullptr, const std::string& input = {}) {
    args.insert(args.begin(), {"zorvane", "--breakdown"});
    std::istringstream in(input);
    std::ostringstream out;
    const int code = RunBreakdownCommand(args, in, out);
    if (messages != nullptr) *messages = out.str();
    return code;
}

TEST(BreakdownCommand, ExitCodesSayWhatWentWrong) {
    test::TempDir dir;
    const std::string wav = dir.File("quiet.wav"), text = dir.File("line.txt"), empty = dir.File("empty.txt");
    test::WriteWav(wav, 16000, 1, std::vector<float>(16000, 0.0f));
    test::WriteText(text, "Nothing to hear here\n");
    test::WriteText(empty, " \n.,\n");
    std::string messages;
    EXPECT_EQ(RunCommand({}), kExitUsage);
    EXPECT_EQ(RunCommand({wav}), kExitUsage);
    EXPECT_EQ(RunCommand({wav, "--text", text, "--fps", "fast"}), kExitUsage);
    EXPECT_EQ(RunCommand({wav, "--text", text, "--format", "doc"}), kExitUsage);
    EXPECT_EQ(RunCommand({wav, "--text", text, "--language", "xx-nowhere"}), kExitUsage);
    EXPECT_EQ(RunCommand({dir.File("missing.wav"), "--text", text}, &messages), kExitUnreadable);
    EXPECT_NE(messages.find(dir.File("missing.wav")), std::string::npos) << messages;
    EXPECT_EQ(RunCommand({wav, "--text", dir.File("missing.txt")}, &messages), kExitUnreadable);
    EXPECT_NE(messages.find(dir.File("missing.txt")), std::string::npos) << messages;
    EXPECT_EQ(RunCommand({wav, "--text", empty}, &messages), kExitUnreadable);
    EXPECT_NE(messages.find("empty"), std::string::npos) << messages;
    EXPECT_EQ(RunCommand({wav, "--text", "-"}, &messages, ""), kExitUnreadable);
    EXPECT_EQ(RunCommand({wav, "--text", text, "--mouths", dir.File("none.json")}), kExitUnreadable);
    // A set of the user's own by name from the mouths folder; a damaged one names its line.
    std::filesystem::create_directories(dir.File("cfg/Zorvane/mouths"));
    test::WriteText(dir.File("cfg/Zorvane/mouths/robot.json"),
                    "{\"shapes\": [\"Open\", \"Idle\"], \"rest\": \"Idle\", \"other\": \"Open\", \"phonemes\": {}}");
    test::WriteText(dir.File("cfg/Zorvane/mouths/broken.json"), "{\n\"shapes\": [\"A\"\n");
    setenv("XDG_CONFIG_HOME", dir.File("cfg").c_str(), 1);
    EXPECT_EQ(RunCommand({wav, "--text", text, "--mouths", "broken"}, &messages), kExitUnreadable);
    EXPECT_NE(messages.find("broken.json, line 3"), std::string::npos) << messages;
    const std::string dat = dir.File("robot.dat");
    EXPECT_EQ(RunCommand({wav, "--text", text, "--mouths", "robot", "--format", "dat", "--output", dat}), kExitNothingFound);
    EXPECT_EQ(test::ReadText(dat).rfind("MohoSwitch1\n1 Open\n", 0), 0u) << test::ReadText(dat);
    unsetenv("XDG_CONFIG_HOME");
    // No speech: the words spread evenly and written all the same.
    const std::string out = dir.File("out.json");
    EXPECT_EQ(RunCommand({wav, "--text", "-", "--output", out}, &messages, "Nothing to hear here"), kExitNothingFound);
    const std::string json = test::ReadText(out);
    EXPECT_NE(json.find("\"text\": \"Nothing\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"text\": \"here\""), std::string::npos) << json;
}

TEST(BreakdownCommand, ANamedScriptWritesAMohoFileForEachCharacter) {
    test::TempDir dir;
    const std::string wav = dir.File("quiet.wav"), script = dir.File("scene.txt");
    test::WriteWav(wav, 16000, 1, std::vector<float>(16000 * 2, 0.0f));
    test::WriteText(script, "Ann: Where were you\nBob Smith: Out\nAnn: Again\n");
    std::string messages;
    // Standard output cannot take two files.
    EXPECT_EQ(RunCommand({wav, "--text", script, "--format", "dat"}, &messages), kExitUsage);
    EXPECT_NE(messages.find("--output"), std::string::npos) << messages;
    const std::string out = dir.File("out.dat");
    EXPECT_EQ(RunCommand({wav, "--text", script, "--format", "dat", "--output", out}, &messages), kExitNothingFound)
        << messages;
    EXPECT_FALSE(std::filesystem::exists(out));
    // The words spread evenly: Ann speaks from the first frame, Bob rests
    // until his line.
    const std::string ann = test::ReadText(dir.File("out-Ann.dat")), bob = test::ReadText(dir.File("out-Bob_Smith.dat"));
    EXPECT_EQ(ann.rfind("MohoSwitch1\n1 ", 0), 0u) << ann;
    EXPECT_EQ(ann.find("\n1 rest\n"), std::string::npos) << ann;
    EXPECT_EQ(bob.rfind("MohoSwitch1\n1 rest\n", 0), 0u) << bob;
    EXPECT_GT(bob.size(), 20u) << bob;
    // JSON: one document with the characters' words, each in its own list.
    const std::string json = dir.File("scene.json");
    EXPECT_EQ(RunCommand({wav, "--text", script, "--output", json}), kExitNothingFound);
    const std::string doc = test::ReadText(json);
    EXPECT_NE(doc.find("\"characters\""), std::string::npos) << doc;
    EXPECT_NE(doc.find("\"name\": \"Bob Smith\""), std::string::npos) << doc;
    EXPECT_LT(doc.find("\"text\": \"Again\""), doc.find("\"name\": \"Bob Smith\"")) << doc;
    // A name left out: refused, naming the line, nothing written.
    const std::string broken = dir.File("broken.txt"), none = dir.File("none.json");
    test::WriteText(broken, "Ann: Hello\n  : there\n");
    EXPECT_EQ(RunCommand({wav, "--text", broken, "--output", none}, &messages), kExitUnreadable);
    EXPECT_NE(messages.find("Line 2"), std::string::npos) << messages;
    EXPECT_FALSE(std::filesystem::exists(none));
}

// Each character's set in the JSON written, by name.
std::map<std::string, std::string> SetsWritten(const std::string& path) {
    std::map<std::string, std::string> sets;
    const nlohmann::json json = nlohmann::json::parse(test::ReadText(path), nullptr, false);
    if (json.is_object() && json.contains("characters"))
        for (const auto& c : json["characters"]) sets[c.value("name", "")] = c.value("mouthSet", "");
    return sets;
}

// The characters kept beside the sound, as the window keeps them.
void Keep(const std::string& wav, const CharacterList& kept) {
    nlohmann::json items = nlohmann::json::array();
    for (const TrackItem& item : kept.Items()) items.push_back({{"start", 0}, {"text", item.text}, {"kind", item.kind}});
    test::WriteText(wav + ".zorvane-marks.json",
                    nlohmann::json{{"format", "zorvane-marks"}, {"version", 2}, {"sampleRate", 16000},
                                   {"tracks", {{{"name", "Characters"}, {"items", items}}}}}.dump());
}

TEST(BreakdownCommand, EachCharacterTakesItsKeptSetUnlessTheCommandLineSaysOtherwise) {
    test::TempDir dir;
    const std::string wav = dir.File("quiet.wav"), script = dir.File("scene.txt"), out = dir.File("out.json");
    test::WriteWav(wav, 16000, 1, std::vector<float>(16000 * 2, 0.0f));
    test::WriteText(script, "Ann: Where were you\nBob: Out\n");
    // Bob keeps A-H beside the sound; Ann follows the panel's set.
    CharacterList kept;
    kept.Rename(1, "Ann");
    kept.Find(kept.Add("Bob"))->mouthSet = "A-H";
    Keep(wav, kept);
    std::string messages;
    const auto run = [&](std::vector<std::string> mouths) {
        std::vector<std::string> args{wav, "--text", script, "--output", out};
        for (const std::string& m : mouths) args.insert(args.end(), {"--mouths", m});
        std::filesystem::remove(out);
        return RunCommand(args, &messages);
    };
    using Sets = std::map<std::string, std::string>;
    ASSERT_EQ(run({}), kExitNothingFound) << messages;
    EXPECT_EQ(SetsWritten(out), (Sets{{"Ann", "Preston Blair"}, {"Bob", "A-H"}}));
    // Bob's mouths are A-H's: rest is X.
    EXPECT_NE(test::ReadText(out).find("\"X\""), std::string::npos);
    // One set for everyone overrides what is kept; one character's wins over both.
    ASSERT_EQ(run({"preston-blair"}), kExitNothingFound) << messages;
    EXPECT_EQ(SetsWritten(out), (Sets{{"Ann", "Preston Blair"}, {"Bob", "Preston Blair"}}));
    ASSERT_EQ(run({"ann=a-h", "Bob=Preston Blair"}), kExitNothingFound) << messages;
    EXPECT_EQ(SetsWritten(out), (Sets{{"Ann", "A-H"}, {"Bob", "Preston Blair"}}));
    // A name the script doesn't give, a set that isn't there, a name or set left out: told, nothing written.
    EXPECT_EQ(run({"Cid=a-h"}), kExitUsage);
    EXPECT_NE(messages.find("no character Cid (the characters are Ann, Bob)"), std::string::npos) << messages;
    EXPECT_EQ(run({"Bob=nosuch"}), kExitUnreadable);
    EXPECT_NE(messages.find("nosuch"), std::string::npos) << messages;
    EXPECT_EQ(run({"=a-h"}), kExitUsage);
    EXPECT_EQ(run({"Bob="}), kExitUsage);
    EXPECT_EQ(run({"Bob=a-h", "Bob=a-h"}), kExitUsage);
    EXPECT_FALSE(std::filesystem::exists(out));
    // A kept set that is gone falls back with a note; a damaged marks file is named and the run goes on.
    kept.Find(1)->mouthSet = "Gone";
    Keep(wav, kept);
    ASSERT_EQ(run({}), kExitNothingFound) << messages;
    EXPECT_NE(messages.find("Ann's mouth set Gone is not found"), std::string::npos) << messages;
    EXPECT_EQ(SetsWritten(out), (Sets{{"Ann", "Preston Blair"}, {"Bob", "A-H"}}));
    test::WriteText(wav + ".zorvane-marks.json", "{\"format\": ");
    ASSERT_EQ(run({}), kExitNothingFound) << messages;
    EXPECT_NE(messages.find(".zorvane-marks.json can't be read"), std::string::npos) << messages;
    EXPECT_EQ(SetsWritten(out), (Sets{{"Ann", "Preston Blair"}, {"Bob", "Preston Blair"}}));
}

TEST(BreakdownCommand, TheProgramWritesPrestonBlairShapesFromFrameOne) {
    const std::string program = std::string(ZORVANE_BINARY_DIR) + "/zorvane";
    if (!std::filesystem::exists(program)) GTEST_SKIP() << "zorvane is not built";
    test::TempDir dir;
    std::string error;
    const auto speech = SpeakWithEspeak("Please bring me the map", "en-us", 175, error);
    ASSERT_TRUE(speech) << error;
    std::vector<float> mono(8000, 0.0f);
    for (int16_t s : speech->samples) mono.push_back(static_cast<float>(s) / 32768.0f);
    mono.resize(mono.size() + 8000, 0.0f);
    const std::string wav = dir.File("line.wav"), text = dir.File("line.txt"), dat = dir.File("line.dat");
    test::WriteWav(wav, speech->sampleRate, 1, mono);
    test::WriteText(text, "Please bring me the map.\n");
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY " + program + " --breakdown " + wav + " --text " +
                                text + " --fps 24 --format dat --output " + dat + " 2>/dev/null";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kExitDone);
    std::istringstream lines(test::ReadText(dat));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "MohoSwitch1");
    const MouthSet set = MouthSet::PrestonBlair();
    int previous = 0, count = 0;
    bool closed = false;
    while (std::getline(lines, line)) {
        int frame = 0;
        char shape[16] = {};
        ASSERT_EQ(std::sscanf(line.c_str(), "%d %15s", &frame, shape), 2) << line;
        EXPECT_GT(frame, previous);
        if (count == 0) {
            EXPECT_EQ(frame, 1);
        }
        EXPECT_NE(std::find(set.Shapes().begin(), set.Shapes().end(), shape), set.Shapes().end()) << shape;
        closed = closed || std::string(shape) == "MBP";
        previous = frame;
        ++count;
    }
    EXPECT_GE(count, 6);
    EXPECT_TRUE(closed) << "\"please\", \"me\" and \"map\" close the lips";
}

} // namespace
} // namespace zv
