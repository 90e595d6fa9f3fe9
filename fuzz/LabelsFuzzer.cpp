// libFuzzer target: the input is an Audacity label file, read at two sample
// rates straight and through the marks import. Labels read keep start >= 0
// and start <= end, and their texts are UTF-8 (a Latin-1 file is
// converted); a malformed line takes nothing and is named.
#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>

#include "FuzzChecks.h"
#include "marks/LabelImport.h"
#include "marks/MarksImport.h"

using namespace zv;
using zv::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = fuzz::Text(data, size);
    for (const int32_t sampleRate : {48000, 44100}) {
        const LabelImport labels = ParseAudacityLabels(text, sampleRate);
        if (labels.badLine > 0) {
            Require(labels.marks.empty() && !labels.reason.empty(), "a malformed line that took labels");
            continue;
        }
        fuzz::RequireOrdered(labels.marks, "a label ends before it starts");
        for (const TrackItem& m : labels.marks) {
            try {
                (void)nlohmann::json(m.text).dump();   // throws on bytes that are not UTF-8
            } catch (const nlohmann::json::exception&) {
                Require(false, "a label's text is not UTF-8");
            }
        }
        // Not JSON nor CSV: the import takes the same labels.
        const std::size_t first = text.find_first_not_of(" \t\r\n");
        const bool other = (first != std::string::npos && text[first] == '{') || text.rfind("Frame ", 0) == 0 ||
                           text.rfind("\"Frame ", 0) == 0 || text.rfind("\xEF\xBB\xBF", 0) == 0;
        if (!other) {
            const MarksImport imported = ImportMarksText(text, sampleRate);
            Require(imported.error.empty() && imported.tracks.size() == 1 && imported.tracks.front().items == labels.marks,
                    "the import reads the labels otherwise");
        }
    }
    return 0;
}
