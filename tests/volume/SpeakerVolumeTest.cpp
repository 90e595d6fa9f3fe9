// The volume slider's logic against a fake mixer.
#include <gtest/gtest.h>

#include "VolumeFakes.h"
#include "volume/SpeakerVolume.h"

namespace zv {
namespace {

using test::FakeMessageBox;
using test::FakeMixer;

TEST(SpeakerVolume, SliderTakesTheControlsRangeAndStandsAtTheCurrentVolume) {
    FakeMixer mixer;
    mixer.current = 30000;
    FakeMessageBox messages;
    SpeakerVolume volume(mixer);

    const auto settings = test::SetUp(volume, messages);
    ASSERT_TRUE(settings.has_value());
    EXPECT_EQ(settings->minimum, 0);
    EXPECT_EQ(settings->maximum, 65535);
    EXPECT_EQ(settings->value, 30000);  // not the maximum: start-up leaves the volume alone
    EXPECT_TRUE(volume.HaveVolumeControl());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(mixer.writes.empty());
}

TEST(SpeakerVolume, CurrentVolumeOutsideTheRangeIsClampedIntoIt) {
    FakeMixer mixer;
    mixer.minimum = 10;
    mixer.maximum = 100;
    mixer.current = 250;
    FakeMessageBox messages;
    SpeakerVolume volume(mixer);
    EXPECT_EQ(test::SetUp(volume, messages)->value, 100);
    // The slider shows 100 after clamping: a pointer passing over it writes nothing.
    EXPECT_FALSE(volume.SliderMoved(100));
}

TEST(SpeakerVolume, MixerThatCannotBeOpenedIsReportedOnceAndMovesReportNothing) {
    FakeMixer mixer;
    mixer.opens = false;
    FakeMessageBox messages;
    SpeakerVolume volume(mixer);

    EXPECT_FALSE(test::SetUp(volume, messages).has_value());
    EXPECT_FALSE(test::SetUp(volume, messages).has_value());  // a second call shows nothing more
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], "Couldn't open the mixer.");

    EXPECT_FALSE(volume.SliderMoved(5));
    volume.WritePendingVolume();
    EXPECT_TRUE(mixer.writes.empty());
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST(SpeakerVolume, MixerWithoutMasterGivesNoMessageAndNoWrites) {
    FakeMixer mixer;
    mixer.hasControl = false;
    FakeMessageBox messages;
    SpeakerVolume volume(mixer);

    EXPECT_FALSE(test::SetUp(volume, messages).has_value());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(volume.HaveVolumeControl());
    EXPECT_FALSE(volume.SliderMoved(7));
    volume.WritePendingVolume();
    EXPECT_TRUE(mixer.writes.empty());
}

TEST(SpeakerVolume, ChangedValuesAreWrittenAndUnchangedOnesAreNot) {
    FakeMixer mixer;
    mixer.current = 1000;
    FakeMessageBox messages;
    SpeakerVolume volume(mixer);
    test::SetUp(volume, messages);

    // Pointer over the slider, value unchanged: nothing queued.
    EXPECT_FALSE(volume.SliderMoved(1000));
    EXPECT_FALSE(volume.WritePending());

    EXPECT_TRUE(volume.SliderMoved(2000));
    volume.WritePendingVolume();
    EXPECT_EQ(mixer.writes, (std::vector<int32_t>{2000}));

    // The same value again (a hover after the drag) writes nothing more.
    EXPECT_FALSE(volume.SliderMoved(2000));
    volume.WritePendingVolume();
    EXPECT_EQ(mixer.writes, (std::vector<int32_t>{2000}));

    // The bounds of the range are written like any other value.
    volume.SliderMoved(0);
    volume.WritePendingVolume();
    volume.SliderMoved(65535);
    volume.WritePendingVolume();
    EXPECT_EQ(mixer.writes, (std::vector<int32_t>{2000, 0, 65535}));
}

TEST(SpeakerVolume, MovesBetweenFlushesCoalesceIntoOneWriteOfTheLatestValue) {
    FakeMixer mixer;
    mixer.current = 100;
    FakeMessageBox messages;
    SpeakerVolume volume(mixer);
    test::SetUp(volume, messages);

    EXPECT_TRUE(volume.SliderMoved(200));   // first one asks for a flush
    EXPECT_FALSE(volume.SliderMoved(300));  // later ones ride along
    EXPECT_FALSE(volume.SliderMoved(400));
    volume.WritePendingVolume();
    volume.WritePendingVolume();  // nothing left
    EXPECT_EQ(mixer.writes, (std::vector<int32_t>{400}));

    // Away and back to the written value before the flush: nothing to write.
    EXPECT_TRUE(volume.SliderMoved(500));
    EXPECT_FALSE(volume.SliderMoved(400));
    volume.WritePendingVolume();
    EXPECT_EQ(mixer.writes, (std::vector<int32_t>{400}));
}

TEST(SpeakerVolume, FailedWriteDoesNotStopLaterOnes) {
    FakeMixer mixer;
    FakeMessageBox messages;
    SpeakerVolume volume(mixer);
    test::SetUp(volume, messages);
    mixer.hasControl = false;  // the device went away: writes now fail
    volume.SliderMoved(10);
    volume.WritePendingVolume();
    mixer.hasControl = true;
    volume.SliderMoved(20);
    volume.WritePendingVolume();
    EXPECT_EQ(mixer.writes, (std::vector<int32_t>{10, 20}));
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace
} // namespace zv
