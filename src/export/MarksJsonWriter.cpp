#include "export/MarksJsonWriter.h"

#include "marks/JsonText.h"
#include "marks/MarkFrames.h"

namespace zv {

MarksJsonWriter::MarksJsonWriter() : ExportWriter({ExportSubject::Marks, "json", "JSON (*.json)", "*.json", ".json"}) {}

std::string MarksJsonWriter::Write(const ExportInput& in) const {
    const int32_t sr = in.sampleRate;
    const MarkRate rate = in.rate;
    std::string out = "{\n  \"sound\": " + JsonQuote(in.soundName);
    out += ",\n  \"sampleRate\": " + std::to_string(sr);
    out += ",\n  \"lengthMs\": " + std::to_string(in.lengthMs);
    out += ",\n  \"lengthSamples\": " + std::to_string(in.lengthSamples);
    out += ",\n  \"frameRate\": {\"numerator\": " + std::to_string(rate.Numerator()) +
           ", \"denominator\": " + std::to_string(rate.Denominator()) + "}";
    out += ",\n  \"marks\": [";
    bool first = true;
    const std::vector<TrackItem> none;
    const std::vector<TrackItem>& marks = in.marks != nullptr ? *in.marks : none;
    for (const TrackItem& m : marks) {
        out += first ? "\n    " : ",\n    ";
        first = false;
        nlohmann::ordered_json item;
        item["ms"] = MarkMs(m.start, sr);
        item["sample"] = m.start;
        item["frame"] = MarkFrame(m.start, rate, sr);
        item["endMs"] = MarkMs(m.end, sr);
        item["endSample"] = m.end;
        item["endFrame"] = MarkFrame(m.end, rate, sr);
        item["timecode"] = MarkTimecode(m.start, rate, sr);
        item["endTimecode"] = MarkTimecode(m.end, rate, sr);
        item["text"] = m.text;
        if (!m.kind.empty()) item["kind"] = m.kind;
        out += JsonLine(item);
    }
    out += marks.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

} // namespace zv
