// The device made on first use: nothing is made before a file is opened,
// it behaves as a device with nothing open until then, and everything
// reaches the one device made afterwards.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "FakeMediaDevice.h"
#include "common/Errors.h"
#include "playback/DeferredMediaDevice.h"

namespace zv {
namespace {

struct DeferredMediaDeviceTest : ::testing::Test {
    int made = 0;
    test::FakeMediaDevice* fake = nullptr;
    DeferredMediaDevice device{[this] {
        ++made;
        auto d = std::make_unique<test::FakeMediaDevice>();
        fake = d.get();
        return d;
    }};
};

TEST_F(DeferredMediaDeviceTest, BeforeTheFirstOpenNothingIsMadeAndNothingIsOpen) {
    device.Play(0, 100);
    device.Pause();
    device.Seek(50);
    device.Close();
    EXPECT_FALSE(device.IsOpen());
    EXPECT_FALSE(device.IsPlaying());
    EXPECT_EQ(device.SampleRate(), 0);
    EXPECT_EQ(device.LengthSamples(), 0);
    EXPECT_EQ(device.PositionSample(), 0);
    EXPECT_EQ(made, 0);
    EXPECT_FALSE(device.IsMade());
}

TEST_F(DeferredMediaDeviceTest, TheFirstOpenMakesTheDeviceOnceAndEverythingReachesIt) {
    device.Open("a.wav");
    ASSERT_EQ(made, 1);
    EXPECT_TRUE(device.IsOpen());
    EXPECT_EQ(device.SampleRate(), 44100);
    EXPECT_EQ(device.LengthSamples(), 44100 * 3);
    device.Play(10, 20);
    EXPECT_TRUE(device.IsPlaying());
    EXPECT_EQ(device.PositionSample(), 10);
    device.Seek(30);
    EXPECT_FALSE(device.IsPlaying());
    EXPECT_EQ(device.PositionSample(), 30);
    device.Close();
    EXPECT_FALSE(device.IsOpen());
    device.Open("b.wav");
    EXPECT_EQ(made, 1);
    EXPECT_EQ(&device.Device(), fake);
}

TEST_F(DeferredMediaDeviceTest, AFailedFirstOpenKeepsTheDeviceWithNothingOpen) {
    test::FakeMediaDevice* first = nullptr;
    DeferredMediaDevice refusing([&] {
        auto d = std::make_unique<test::FakeMediaDevice>();
        d->failOpen = true;
        first = d.get();
        return d;
    });
    EXPECT_THROW(refusing.Open("a.wav"), DeviceError);
    EXPECT_TRUE(refusing.IsMade());
    EXPECT_FALSE(refusing.IsOpen());
    first->failOpen = false;
    refusing.Open("a.wav");
    EXPECT_TRUE(refusing.IsOpen());
}

TEST(DeferredMediaDevice, PrepareMakesTheDeviceOnceOffTheCallingThread) {
    std::atomic<int> made{0};
    std::thread::id madeOn;
    DeferredMediaDevice device([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        madeOn = std::this_thread::get_id();
        ++made;
        return std::make_unique<test::FakeMediaDevice>();
    });
    device.Prepare();
    device.Prepare();
    // While it is being made, the device answers as one with nothing open.
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(device.LengthSamples(), 0);
    device.Open("a.wav");  // waits for it
    EXPECT_TRUE(device.IsOpen());
    EXPECT_EQ(made, 1);
    EXPECT_NE(madeOn, std::this_thread::get_id());
    device.Prepare();
    EXPECT_EQ(made, 1);

    // Prepared and never used: going away waits for it.
    { DeferredMediaDevice unused([] { return std::make_unique<test::FakeMediaDevice>(); }); unused.Prepare(); }
}

// A decoded sound offered before the first Open (the device not made yet)
// reaches the device ahead of that Open, once.
TEST(DeferredMediaDevice, AnOfferedDecodeReachesTheDeviceBeforeItsOpen) {
    struct Offers : test::FakeMediaDevice {
        std::vector<std::string> events;
        void OfferDecoded(const std::string& path, std::shared_ptr<const uint8_t> samples, int channels,
                          int64_t frames) override {
            events.push_back("offer " + path + " " + std::to_string(channels) + "x" + std::to_string(frames) +
                             (samples ? "" : " empty"));
        }
        void Open(const std::string& path) override {
            events.push_back("open " + path);
            FakeMediaDevice::Open(path);
        }
    };
    Offers* inner = nullptr;
    DeferredMediaDevice device([&] {
        auto d = std::make_unique<Offers>();
        inner = d.get();
        return d;
    });
    auto bytes = std::make_shared<const uint8_t>(0);
    device.OfferDecoded("a.flac", bytes, 2, 1);
    EXPECT_FALSE(device.IsMade());
    device.Open("a.flac");
    device.Open("b.wav");
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->events, (std::vector<std::string>{"offer a.flac 2x1", "open a.flac", "open b.wav"}));
}

TEST(DeferredMediaDevice, AFactoryThatMakesNothingFailsTheOpenWithAReason) {
    DeferredMediaDevice none([] { return std::unique_ptr<MediaDevice>(); });
    EXPECT_THROW(none.Open("a.wav"), DeviceError);
    EXPECT_FALSE(none.IsOpen());
}

} // namespace
} // namespace zv
