#include "marks/MarksFile.h"

#include "marks/JsonValue.h"
#include "common/FrameTime.h"

namespace zv {

namespace {

constexpr const char* kFormat = "zorvane-marks";

// The largest time a mark may have: far beyond any sound, and small enough
// that ms x sample rate stays well inside 64 bits.
constexpr int64_t kMaxMs = int64_t{1} << 40;

MarksFileContent Refuse(std::string reason) {
    MarksFileContent c;
    c.error = std::move(reason);
    return c;
}

} // namespace

std::string MarksFilePath(const std::string& soundPath) { return soundPath + ".zorvane-marks.json"; }

std::string MarksFileText(const std::vector<Mark>& marks, const std::string& soundName, int32_t sampleRate) {
    std::string out;
    out.reserve(160 + marks.size() * 64);
    out += "{\n  \"format\": \"";
    out += kFormat;
    out += "\",\n  \"version\": " + std::to_string(kMarksFileVersion);
    out += ",\n  \"sound\": " + JsonValue::Quote(soundName);
    out += ",\n  \"sampleRate\": " + std::to_string(sampleRate);
    out += ",\n  \"marks\": [";
    bool first = true;
    for (const Mark& m : marks) {
        out += first ? "\n    " : ",\n    ";
        first = false;
        out += "{\"ms\": " + std::to_string(m.ms) + ", \"sample\": " + std::to_string(m.sample);
        if (m.IsRange())
            out += ", \"endMs\": " + std::to_string(m.endMs) + ", \"endSample\": " + std::to_string(m.endSample);
        out += ", \"text\": " + JsonValue::Quote(m.text) + "}";
    }
    out += marks.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

MarksFileContent ParseMarksFile(std::string_view text, int32_t sampleRate) {
    JsonValue::ParseError parseError;
    const JsonValue root = JsonValue::Parse(text, &parseError);
    if (!parseError.reason.empty())
        return Refuse("it is not valid JSON (line " + std::to_string(parseError.line) + ": " + parseError.reason + ")");
    if (!root.IsObject()) return Refuse("it is not a Zorvane marks file");
    const JsonValue* format = root.Find("format");
    if (!format || !format->IsString() || format->String() != kFormat) return Refuse("it is not a Zorvane marks file");
    const JsonValue* version = root.Find("version");
    if (!version || !version->Integer() || *version->Integer() < 1) return Refuse("its version is missing");
    if (*version->Integer() > kMarksFileVersion) {
        MarksFileContent c = Refuse("it was written by a newer version of Zorvane (marks file version " +
                                    std::to_string(*version->Integer()) + ")");
        c.newerVersion = true;
        return c;
    }
    // The sample positions hold for the rate they were saved at.
    bool samplesHold = false;
    if (const JsonValue* rate = root.Find("sampleRate"); rate && rate->Integer())
        samplesHold = *rate->Integer() == sampleRate;
    const JsonValue* list = root.Find("marks");
    if (!list || !list->IsArray()) return Refuse("it has no list of marks");

    MarksFileContent content;
    content.marks.reserve(list->Items().size());
    for (std::size_t i = 0; i < list->Items().size(); ++i) {
        const JsonValue& item = list->Items()[i];
        const std::string which = "mark " + std::to_string(i + 1);
        if (!item.IsObject()) return Refuse(which + " is not an object");
        const auto time = [&](const char* key) -> std::optional<int64_t> {
            const JsonValue* v = item.Find(key);
            if (!v || !v->Integer() || *v->Integer() < 0 || *v->Integer() > kMaxMs) return std::nullopt;
            return v->Integer();
        };
        const std::optional<int64_t> ms = time("ms");
        if (!ms) return Refuse(which + " has no valid \"ms\"");
        Mark m;
        m.ms = *ms;
        m.endMs = *ms;
        if (item.Find("endMs")) {
            const std::optional<int64_t> endMs = time("endMs");
            if (!endMs || *endMs < *ms) return Refuse(which + " has an invalid \"endMs\"");
            m.endMs = *endMs;
        }
        const std::optional<int64_t> sample = samplesHold ? time("sample") : std::nullopt;
        const std::optional<int64_t> endSample = samplesHold ? time("endSample") : std::nullopt;
        m.sample = sample ? *sample : MsToSamples(m.ms, sampleRate);
        m.endSample = endSample ? *endSample : (m.endMs == m.ms ? m.sample : MsToSamples(m.endMs, sampleRate));
        if (m.endSample < m.sample) m.endSample = m.sample;
        if (const JsonValue* t = item.Find("text")) {
            if (!t->IsString()) return Refuse(which + " has a text that is not a string");
            m.text = t->String();
        }
        content.marks.push_back(std::move(m));
    }
    return content;
}

} // namespace zv
