// Edit > Select Input Device against a fake program starter.
#include <gtest/gtest.h>

#include "VolumeFakes.h"
#include "volume/MixerLauncher.h"

namespace zv {
namespace {

using test::FakeStarter;

const std::vector<std::string> kWindowsPaths = {
    "C:\\winnt\\system32\\sndvol32.exe",
    "C:\\windows\\system32\\sndvol32.exe",
    "C:\\windows\\sndvol32.exe",
};

TEST(MixerLauncher, TriesTheThreePathsInOrderThenTheFirstDesktopProgramFound) {
    FakeStarter starter;
    starter.onPath = {"kmix", "pwvucontrol"};
    starter.existing = {"/usr/bin/pwvucontrol", "/usr/bin/kmix"};
    MixerLauncher launcher(starter);

    EXPECT_EQ(launcher.Launch(), 1);
    std::vector<std::string> expected = kWindowsPaths;
    expected.push_back("/usr/bin/pwvucontrol");
    EXPECT_EQ(starter.attempts, expected);
    EXPECT_EQ(starter.lookups, (std::vector<std::string>{"pavucontrol", "pwvucontrol"}));

    // Every click tries the same again: nothing tracks what is running.
    EXPECT_EQ(launcher.Launch(), 1);
    EXPECT_EQ(starter.attempts.size(), 8u);
}

TEST(MixerLauncher, GnomeControlCenterOpensOnItsSoundPanel) {
    FakeStarter starter;
    starter.onPath = {"gnome-control-center", "kmix"};
    starter.existing = {"/usr/bin/gnome-control-center"};
    MixerLauncher launcher(starter);
    EXPECT_EQ(launcher.Launch(), 1);
    EXPECT_EQ(starter.attempts.back(), "/usr/bin/gnome-control-center sound");
}

TEST(MixerLauncher, ProgramFoundButFailingToStartGivesWayToTheNext) {
    FakeStarter starter;
    starter.onPath = {"pavucontrol", "kmix"};
    starter.existing = {"/usr/bin/kmix"};
    MixerLauncher launcher(starter);
    EXPECT_EQ(launcher.Launch(), 1);
    EXPECT_EQ(starter.attempts.back(), "/usr/bin/kmix");
    EXPECT_EQ(starter.attempts[3], "/usr/bin/pavucontrol");
}

TEST(MixerLauncher, WindowsPathsThatStartLeaveTheDesktopProgramsAlone) {
    FakeStarter starter;
    starter.existing = {kWindowsPaths[0], kWindowsPaths[2]};
    starter.onPath = {"pavucontrol"};
    MixerLauncher launcher(starter);
    EXPECT_EQ(launcher.Launch(), 2);  // two copies, one per path that exists
    EXPECT_EQ(starter.attempts, kWindowsPaths);
    EXPECT_TRUE(starter.lookups.empty());
}

TEST(MixerLauncher, NothingFoundStartsNothingAndStaysSilent) {
    FakeStarter starter;
    MixerLauncher launcher(starter);
    EXPECT_EQ(launcher.Launch(), 0);
    EXPECT_EQ(starter.attempts, kWindowsPaths);
    EXPECT_EQ(starter.lookups.size(), 4u);
}

TEST(MixerLauncher, StarterThatThrowsEndsTheClickQuietly) {
    struct ThrowingStarter : FakeStarter {
        std::string FindOnPath(const std::string&) override { throw std::runtime_error("broken"); }
    } starter;
    MixerLauncher launcher(starter);
    EXPECT_NO_THROW(EXPECT_EQ(launcher.Launch(), 0));
}

} // namespace
} // namespace zv
