#include "export/DialogueJsonWriter.h"

#include <nlohmann/json.hpp>

#include "dialogue/Breakdown.h"
#include "dialogue/MouthSet.h"
#include "export/DialogueFrames.h"

namespace zv {

namespace {

using Json = nlohmann::ordered_json;

Json Words(const Breakdown& b, const DialogueFrames& frames) {
    const double sr = b.sampleRate > 0 ? b.sampleRate : 1;
    Json words = Json::array();
    for (const BreakdownLine& line : b.lines) {
        for (const BreakdownWord& w : line.words) {
            Json word;
            word["text"] = w.text;
            word["start"] = static_cast<double>(w.start) / sr;
            word["end"] = static_cast<double>(w.end) / sr;
            word["frame"] = frames.Of(w.start);
            word["endFrame"] = frames.LastOf(w.start, w.end);
            word["phonemes"] = Json::array();
            for (const BreakdownPhoneme& p : w.phonemes) {
                Json ph;
                ph["text"] = p.text;
                ph["start"] = static_cast<double>(p.start) / sr;
                ph["end"] = static_cast<double>(p.end) / sr;
                ph["frame"] = frames.Of(p.start);
                word["phonemes"].push_back(std::move(ph));
            }
            words.push_back(std::move(word));
        }
    }
    return words;
}

Json Mouths(const std::vector<TrackItem>* mouths, const DialogueFrames& frames) {
    Json out = Json::array();
    if (mouths != nullptr)
        for (const TrackItem& m : *mouths) out.push_back({{"frame", frames.Of(m.start)}, {"shape", m.text}});
    return out;
}

} // namespace

DialogueJsonWriter::DialogueJsonWriter()
    : ExportWriter({ExportSubject::Dialogue, "json", "JSON of the Dialogue (*.json)", "*.json", ".dialogue.json"}) {}

std::string DialogueJsonWriter::Write(const ExportInput& in) const {
    if (in.breakdown == nullptr || !in.rate.IsPositive() || in.breakdown->sampleRate <= 0) return {};
    const DialogueFrames frames{in.rate, in.breakdown->sampleRate};
    const Breakdown& b = *in.breakdown;
    Json doc;
    doc["sound"] = in.soundName;
    doc["sampleRate"] = b.sampleRate;
    doc["frameRate"] = std::to_string(in.rate.Numerator()) + "/" + std::to_string(in.rate.Denominator());
    if (!in.ByCharacter()) {
        doc["words"] = Words(b, frames);
        doc["mouths"] = Mouths(in.mouths, frames);
    } else {
        doc["characters"] = Json::array();
        for (const CharacterExport& c : *in.characters) {
            Json character;
            character["name"] = c.name;
            character["mouthSet"] = c.mouthSet != nullptr ? c.mouthSet->Name() : std::string();
            character["words"] = c.breakdown != nullptr ? Words(*c.breakdown, frames) : Json::array();
            character["mouths"] = Mouths(c.mouths, frames);
            doc["characters"].push_back(std::move(character));
        }
    }
    // Invalid UTF-8 in a typed text is written replaced, never thrown.
    return doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

} // namespace zv
