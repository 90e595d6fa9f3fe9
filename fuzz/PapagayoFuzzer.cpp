// libFuzzer target: the input is a Papagayo document (.pgo), read at two
// rates in force (one that rounds to a whole rate, one that does not) and
// two sound lengths (none, and a short sound). A read breakdown keeps every
// word, phoneme and mouth run's start <= end, the phonemes inside their
// word, and the runs in order; a refused one says on which line.
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
            const auto read = ImportPapagayo(text, 48000, soundFrames, rate, error);
            if (!read) {
                Require(error.rfind("line ", 0) == 0, "a refusal without its line");
                continue;
            }
            Require(read->rate.IsPositive(), "a breakdown read at no rate");
            for (const BreakdownLine& line : read->breakdown.lines)
                for (const BreakdownWord& w : line.words) {
                    Require(w.start >= 0 && w.start <= w.end, "a word ends before it starts");
                    for (const BreakdownPhoneme& p : w.phonemes)
                        Require(p.start >= w.start && p.start <= p.end && p.end <= w.end, "a phoneme outside its word");
                }
            fuzz::RequireOrdered(read->breakdown.WordItems(), "a word item ends before it starts");
            fuzz::RequireOrdered(read->breakdown.PhonemeItems(), "a phoneme item ends before it starts");
            fuzz::RequireOrdered(read->mouths, "a mouth ends before it starts");
            fuzz::RequireInOrder(read->mouths, "the mouths out of order");
        }
    }
    return 0;
}
