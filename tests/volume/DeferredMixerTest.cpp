// The mixer opened on a thread of its own once the window is up: nothing runs
// before Prepare; the attempt runs once, off the calling thread, and Ready
// tells when it has ended; the first Open hands over its result; later calls
// reach the mixer behind only after the attempt ended.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "VolumeFakes.h"
#include "volume/DeferredMixer.h"

namespace zv {
namespace {

// A fake mixer whose Open takes a while and notes where and how often it ran.
class SlowMixer : public test::FakeMixer {
public:
    std::atomic<int> openCalls{0};
    std::thread::id openedOn;
    bool throwOnOpen = false;
    bool Open() override {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        openedOn = std::this_thread::get_id();
        ++openCalls;
        if (throwOnOpen) throw std::runtime_error("mixer gone");
        return FakeMixer::Open();
    }
};

TEST(DeferredMixer, OpensOnceOffTheCallingThreadAndHandsOverTheResult) {
    auto owned = std::make_unique<SlowMixer>();
    SlowMixer& mixer = *owned;
    mixer.current = 1234;
    DeferredMixer early(std::move(owned));
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    EXPECT_EQ(mixer.openCalls, 0);   // not before Prepare
    EXPECT_FALSE(early.Ready());
    early.Prepare();
    early.Prepare();
    for (int i = 0; i < 200 && !early.Ready(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(early.Ready());
    ASSERT_TRUE(early.Open());
    EXPECT_EQ(mixer.openCalls, 1);
    EXPECT_NE(mixer.openedOn, std::this_thread::get_id());
    int32_t minimum = -1, maximum = -1, current = -1;
    ASSERT_TRUE(early.FindVolumeControl(minimum, maximum, current));
    EXPECT_EQ(current, 1234);
    EXPECT_TRUE(early.SetVolume(99));
    EXPECT_EQ(mixer.writes, std::vector<int32_t>{99});
    // A second Open reaches the mixer behind.
    EXPECT_TRUE(early.Open());
    EXPECT_EQ(mixer.openCalls, 2);
}

TEST(DeferredMixer, AFailedOrRaisingAttemptReadsAsAMixerThatDidNotOpen) {
    auto refusing = std::make_unique<SlowMixer>();
    refusing->opens = false;
    DeferredMixer early(std::move(refusing));
    early.Prepare();
    EXPECT_FALSE(early.Open());

    auto raising = std::make_unique<SlowMixer>();
    raising->throwOnOpen = true;
    SlowMixer& behind = *raising;
    DeferredMixer broken(std::move(raising));
    broken.Prepare();
    int32_t minimum = 0, maximum = 0, current = 0;
    EXPECT_NO_THROW(broken.FindVolumeControl(minimum, maximum, current));
    bool opened = true;
    EXPECT_NO_THROW(opened = broken.Open());
    EXPECT_FALSE(opened);
    EXPECT_EQ(behind.openCalls, 1);
}

TEST(DeferredMixer, NeverPreparedOpensOnTheCallersThreadAndIsReadyThen) {
    auto owned = std::make_unique<SlowMixer>();
    SlowMixer& mixer = *owned;
    DeferredMixer plain(std::move(owned));
    EXPECT_TRUE(plain.Open());
    EXPECT_EQ(mixer.openedOn, std::this_thread::get_id());
    EXPECT_TRUE(plain.Ready());   // a slider waiting on it goes ahead
    plain.Prepare();              // too late to open it again
    EXPECT_EQ(mixer.openCalls, 1);
}

TEST(DeferredMixer, GoesAwayCleanlyWhileStillOpening) {
    // Destroyed before anyone asked: waits for the attempt, then lets the
    // mixer behind go (AddressSanitizer sees any use after that).
    {
        DeferredMixer early(std::make_unique<SlowMixer>());
        early.Prepare();
    }
    SUCCEED();
}

} // namespace
} // namespace zv
