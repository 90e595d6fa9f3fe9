// libFuzzer target: the input is a marks file as kept beside a sound
// (either version), read for a sound at its own rate and at another one.
// Tracks read come back with the marks first, each name once, every item's
// start <= end; written again and read back, they are the same. The same
// text through the marks import gives the same tracks or the same refusal.
#include <cstdint>
#include <string>
#include <unordered_set>

#include "FuzzChecks.h"
#include "document/SoundDocument.h"
#include "marks/MarksFile.h"
#include "marks/MarksImport.h"

using namespace zv;
using zv::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = fuzz::Text(data, size);
    for (const int32_t sampleRate : {48000, 44100}) {
        const MarksFileContent content = ParseMarksFile(text, sampleRate);
        const MarksImport imported = ImportMarksText(text, sampleRate);
        if (content.error) {
            Require(content.tracks.empty() && !content.error->empty(), "a refusal that kept tracks");
            Require(!content.newerVersion || content.error->find("newer") != std::string::npos, "newer, not told so");
            continue;
        }
        Require(!content.tracks.empty() && content.tracks.front().name == SoundDocument::kMarks, "marks not first");
        std::unordered_set<std::string> names;
        for (const FileTrack& t : content.tracks) {
            Require(!t.name.empty() && names.insert(t.name).second, "a track without a name, or named twice");
            fuzz::RequireOrdered(t.items, "an item ends before it starts");
        }
        const MarksFileContent again = ParseMarksFile(MarksFileText(content.tracks, "x.wav", sampleRate), sampleRate);
        Require(!again.error && again.tracks == content.tracks, "written and read back, the tracks differ");
        // A file that is not JSON with a leading brace goes another way.
        if (text.find_first_not_of(" \t\r\n") != std::string::npos && text[text.find_first_not_of(" \t\r\n")] == '{')
            Require(imported.error.empty() && imported.tracks == content.tracks, "the import reads the file otherwise");
    }
    return 0;
}
