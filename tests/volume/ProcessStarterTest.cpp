// The real program starter: a real program started detached.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "volume/MixerLauncher.h"
#include "volume/ProgramStarter.h"

namespace zv {
namespace {

namespace fs = std::filesystem;

class ProcessStarterTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zorvane-starter.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    // A shell script; `executable` decides its mode.
    fs::path Script(const std::string& name, const std::string& body, bool executable = true) {
        const fs::path path = dir_ / name;
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(path, executable ? fs::perms::owner_all : fs::perms::owner_read | fs::perms::owner_write);
        return path;
    }

    // Waits for the file to appear with content (generously: a slow machine is no failure).
    static std::string WaitForFile(const fs::path& path) {
        for (int i = 0; i < 1000; ++i) {
            std::ifstream in(path);
            std::stringstream text;
            text << in.rdbuf();
            if (!text.str().empty() && text.str().back() == '\n') return text.str();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return {};
    }

    fs::path dir_;
};

TEST_F(ProcessStarterTest, StartsTheProgramDetachedWithItsArguments) {
    const fs::path marker = dir_ / "marker";
    // Copies its /proc stat line (parent and session) and its arguments.
    const fs::path script = Script("touch-marker", R"(cat /proc/$$/stat > "$1.tmp"; echo "$2" >> "$1.tmp"; mv "$1.tmp" "$1")");
    auto starter = CreateSystemProgramStarter();
    ASSERT_TRUE(starter->StartWithArguments(script, {marker.string(), "sound"}));

    const std::string text = WaitForFile(marker);
    ASSERT_FALSE(text.empty()) << "the program never ran";
    // Fields after the command name: state ppid pgrp session ...
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    char state;
    long parent, group, session;
    fields >> state >> parent >> group >> session;
    EXPECT_NE(parent, getpid());          // not our child: it can never be our zombie
    EXPECT_NE(session, getsid(0));        // a session of its own
    EXPECT_NE(text.find("\nsound\n"), std::string::npos);

    // The short-lived middle process is reaped already.
    int status;
    EXPECT_EQ(waitpid(-1, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(ProcessStarterTest, ReturnsFalseForWhatCannotStart) {
    auto starter = CreateSystemProgramStarter();
    EXPECT_FALSE(starter->Start((dir_ / "missing").string()));
    EXPECT_FALSE(starter->Start("C:\\windows\\sndvol32.exe"));
    EXPECT_FALSE(starter->Start(""));
    EXPECT_FALSE(starter->Start(Script("not-executable", "true", false).string()));
    EXPECT_FALSE(starter->Start(dir_.string()));  // a directory
    int status;
    EXPECT_EQ(waitpid(-1, &status, WNOHANG), -1);  // no zombies left either
}

TEST_F(ProcessStarterTest, FindsProgramsOnPathOnly) {
    const fs::path bin = dir_ / "bin";
    fs::create_directory(bin);
    const fs::path tool = bin / "zv-tool";
    std::ofstream(tool) << "#!/bin/sh\n";
    fs::permissions(tool, fs::perms::owner_all);
    std::ofstream(bin / "zv-data") << "x";  // not executable

    const char* old = std::getenv("PATH");
    const std::string saved = old != nullptr ? old : "";
    setenv("PATH", ("::/nonexistent:" + bin.string() + ":/usr/bin").c_str(), 1);
    auto starter = CreateSystemProgramStarter();
    const std::string found = starter->FindOnPath("zv-tool");
    const std::string data = starter->FindOnPath("zv-data");
    const std::string shell = starter->FindOnPath("sh");
    const std::string none = starter->FindOnPath("zv-no-such-program");
    // An empty PATH entry (the current directory) is not searched.
    const fs::path here = dir_ / "here";
    fs::create_directory(here);
    std::ofstream(here / "zv-tool-here") << "#!/bin/sh\n";
    fs::permissions(here / "zv-tool-here", fs::perms::owner_all);
    const fs::path cwd = fs::current_path();
    fs::current_path(here);
    const std::string fromCwd = starter->FindOnPath("zv-tool-here");
    fs::current_path(cwd);
    setenv("PATH", saved.c_str(), 1);

    EXPECT_EQ(found, tool.string());
    EXPECT_EQ(data, "");
    EXPECT_EQ(shell, "/usr/bin/sh");
    EXPECT_EQ(none, "");
    EXPECT_EQ(fromCwd, "");
}

// Edit > Select Input Device for real: the desktop's volume-control program
// found on PATH (here a stand-in script) is started with its argument.
TEST_F(ProcessStarterTest, LauncherStartsTheVolumeControlProgramFoundOnPath) {
    const fs::path bin = dir_ / "bin";
    fs::create_directory(bin);
    const fs::path marker = dir_ / "started";
    const fs::path program = bin / "gnome-control-center";
    std::ofstream(program) << "#!/bin/sh\necho \"$1\" > " << marker.string() << ".tmp; mv " << marker.string()
                           << ".tmp " << marker.string() << "\n";
    fs::permissions(program, fs::perms::owner_all);

    const char* old = std::getenv("PATH");
    const std::string saved = old != nullptr ? old : "";
    setenv("PATH", (bin.string() + ":/usr/bin:/bin").c_str(), 1);
    auto starter = CreateSystemProgramStarter();
    if (!starter->FindOnPath("pavucontrol").empty() || !starter->FindOnPath("pwvucontrol").empty()) {
        setenv("PATH", saved.c_str(), 1);
        GTEST_SKIP() << "a real volume-control program comes first on this machine";
    }
    const int started = MixerLauncher(*starter).Launch();
    setenv("PATH", saved.c_str(), 1);

    EXPECT_EQ(started, 1);
    EXPECT_EQ(WaitForFile(marker), "sound\n");
}

} // namespace
} // namespace zv
