// libFuzzer target: the input is a CSV export of marks (the text after its
// "Frame " header start, which is put in front when missing, so every
// input takes the CSV way), read at two sample rates. Marks read keep
// start >= 0 and start <= end; a refusal says why and takes nothing.
#include <cstdint>
#include <string>

#include "FuzzChecks.h"
#include "marks/MarksImport.h"

using namespace zv;
using zv::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text = fuzz::Text(data, size);
    if (text.rfind("Frame ", 0) != 0 && text.rfind("\"Frame ", 0) != 0) text.insert(0, "Frame ");
    for (const int32_t sampleRate : {48000, 44100}) {
        const MarksImport imported = ImportMarksText(text, sampleRate);
        if (!imported.error.empty()) {
            Require(imported.tracks.empty() && imported.Count() == 0, "a refusal that took marks");
            Require(!imported.Message("x.csv").empty(), "no message for a refusal");
            continue;
        }
        Require(imported.tracks.size() == 1, "a CSV gives the marks alone");
        fuzz::RequireOrdered(imported.tracks.front().items, "a mark ends before it starts");
    }
    return 0;
}
