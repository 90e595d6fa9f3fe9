// libFuzzer target: the input is Moho switch data (.dat), read at a whole
// and a fractional rate, with and without a sound length. The mouth runs
// read keep start <= end and come in order; a refusal says on which line.
#include <cstdint>
#include <string>

#include "FuzzChecks.h"
#include "dialogue/BreakdownImport.h"

using namespace zv;
using zv::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = fuzz::Text(data, size);
    for (const FrameRate rate : {FrameRate(24), FrameRate::Fraction(30000, 1001)}) {
        for (const int64_t soundFrames : {int64_t{0}, int64_t{48000}}) {
            std::string error;
            const auto mouths = ImportMohoSwitch(text, rate, 48000, soundFrames, error);
            if (!mouths) {
                Require(!error.empty(), "a refusal without a reason");
                continue;
            }
            fuzz::RequireOrdered(*mouths, "a mouth ends before it starts");
            fuzz::RequireInOrder(*mouths, "the mouths out of order");
            if (!mouths->empty() && soundFrames > 0)
                Require(mouths->back().end >= soundFrames || mouths->back().end == mouths->back().start,
                        "the last mouth stops before the sound ends");
        }
    }
    return 0;
}
