// libFuzzer target: the input is a breakdown as Zorvane exports it in JSON
// (words and phonemes in seconds, mouths in frames), read for a sound at
// two sample rates. What is read keeps every item's start <= end and the
// mouth runs in order; a refusal says why.
#include <cstdint>
#include <string>

#include "FuzzChecks.h"
#include "dialogue/BreakdownImport.h"

using namespace zv;
using zv::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = fuzz::Text(data, size);
    for (const int32_t sampleRate : {48000, 8000}) {
        std::string error;
        const auto read = ImportBreakdownJson(text, sampleRate, 96000, error);
        if (!read) {
            Require(!error.empty(), "a refusal without a reason");
            continue;
        }
        Require(read->rate.IsPositive(), "a breakdown read at no rate");
        fuzz::RequireOrdered(read->breakdown.WordItems(), "a word ends before it starts");
        fuzz::RequireOrdered(read->breakdown.PhonemeItems(), "a phoneme ends before it starts");
        fuzz::RequireOrdered(read->mouths, "a mouth ends before it starts");
        fuzz::RequireInOrder(read->mouths, "the mouths out of order");
    }
    return 0;
}
