// The speech libraries (espeak-ng, PocketSphinx) are opened by their first
// call, not when the program starts, and the calls then reach them.
#include <gtest/gtest.h>
#include <pocketsphinx.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "dialogue/EspeakVoice.h"

namespace zv {
namespace {

bool Mapped(const char* library) {
    std::ifstream maps("/proc/self/maps");
    const std::string text((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
    return text.find(library) != std::string::npos;
}

// In a fresh process of its own, so that no earlier test has opened them.
void OpenedByTheirFirstCalls() {
    if (Mapped("libespeak-ng") || Mapped("libpocketsphinx")) std::exit(2);
    if (EspeakLanguages().empty()) std::exit(3);   // espeak-ng lists its voices
    if (!Mapped("libespeak-ng") || Mapped("libpocketsphinx")) std::exit(4);
    if (ps_args() == nullptr) std::exit(5);         // PocketSphinx describes its options
    if (!Mapped("libpocketsphinx")) std::exit(6);
    std::exit(0);
}

TEST(SpeechOnDemand, EachLibraryIsOpenedByItsFirstCall) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(OpenedByTheirFirstCalls(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace zv
