// aubio is opened by the first onset pass, not when the program starts
// (it brings FFmpeg and a hundred more libraries with it), and the calls
// then reach it: the pass finds the clicks.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "beats/OnsetDetection.h"
#include "beats/system/AubioOnDemand.h"

namespace zv {
namespace {

bool AubioMapped() {
    std::ifstream maps("/proc/self/maps");
    const std::string text((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
    return text.find("libaubio") != std::string::npos;
}

// In a fresh process of its own, so that no earlier test has opened aubio.
void OpenedByTheFirstPass() {
    if (AubioMapped()) std::exit(2);
    // Noise bursts every half second over a faint noise floor (aubio finds
    // nothing in digital silence).
    constexpr int32_t kRate = 44100;
    std::vector<float> clicks(static_cast<std::size_t>(kRate) * 4);
    uint32_t noise = 1;
    const auto next = [&noise] {
        noise = noise * 1664525u + 1013904223u;
        return static_cast<float>(noise >> 16) / 65536.0f - 0.5f;
    };
    for (float& v : clicks) v = 0.002f * next();
    for (std::size_t at = kRate / 2; at + 2000 < clicks.size(); at += kRate / 2)
        for (std::size_t i = 0; i < 2000; ++i) clicks[at + i] = 1.6f * next() * static_cast<float>(2000 - i) / 2000.0f;
    const std::vector<int64_t> onsets = PlainAubioOnsets(clicks.data(), clicks.size(), kRate);
    if (!AubioMapped()) std::exit(3);
    if (onsets.size() < 6) std::exit(4);   // the calls reached aubio: it found the bursts
    // The lock the spectrogram plans under is aubio's own now.
    pthread_mutex_t& lock = AubioFftwMutex();
    if (pthread_mutex_trylock(&lock) != 0) std::exit(5);
    pthread_mutex_unlock(&lock);
    std::exit(0);
}

TEST(AubioOnDemand, OpenedByTheFirstOnsetPassAndThenCalled) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(OpenedByTheFirstPass(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace zv
