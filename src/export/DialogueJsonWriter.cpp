#include "export/DialogueJsonWriter.h"

#include <nlohmann/json.hpp>

#include "dialogue/Breakdown.h"
#include "export/DialogueFrames.h"

namespace zv {

DialogueJsonWriter::DialogueJsonWriter()
    : ExportWriter({ExportSubject::Dialogue, "json", "JSON of the Dialogue (*.json)", "*.json", ".dialogue.json"}) {}

std::string DialogueJsonWriter::Write(const ExportInput& in) const {
    if (in.breakdown == nullptr || !in.rate.IsPositive() || in.breakdown->sampleRate <= 0) return {};
    const DialogueFrames frames{in.rate, in.breakdown->sampleRate};
    const Breakdown& b = *in.breakdown;
    const double sr = b.sampleRate;
    nlohmann::ordered_json doc;
    doc["sound"] = in.soundName;
    doc["sampleRate"] = b.sampleRate;
    doc["frameRate"] = std::to_string(in.rate.Numerator()) + "/" + std::to_string(in.rate.Denominator());
    doc["words"] = nlohmann::ordered_json::array();
    for (const BreakdownLine& line : b.lines) {
        for (const BreakdownWord& w : line.words) {
            nlohmann::ordered_json word;
            word["text"] = w.text;
            word["start"] = static_cast<double>(w.start) / sr;
            word["end"] = static_cast<double>(w.end) / sr;
            word["frame"] = frames.Of(w.start);
            word["endFrame"] = frames.LastOf(w.start, w.end);
            word["phonemes"] = nlohmann::ordered_json::array();
            for (const BreakdownPhoneme& p : w.phonemes) {
                nlohmann::ordered_json ph;
                ph["text"] = p.text;
                ph["start"] = static_cast<double>(p.start) / sr;
                ph["end"] = static_cast<double>(p.end) / sr;
                ph["frame"] = frames.Of(p.start);
                word["phonemes"].push_back(std::move(ph));
            }
            doc["words"].push_back(std::move(word));
        }
    }
    doc["mouths"] = nlohmann::ordered_json::array();
    if (in.mouths != nullptr)
        for (const TrackItem& m : *in.mouths) doc["mouths"].push_back({{"frame", frames.Of(m.start)}, {"shape", m.text}});
    // Invalid UTF-8 in a typed text is written replaced, never thrown.
    return doc.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

} // namespace zv
