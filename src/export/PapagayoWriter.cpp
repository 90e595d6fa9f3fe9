#include "export/PapagayoWriter.h"

#include "dialogue/Breakdown.h"
#include "dialogue/MouthSet.h"
#include "export/DialogueFrames.h"
#include "export/ExportText.h"

namespace zv {

namespace {

// One voice: its name, its text (phrases joined by "|"), then its phrases
// with their words and each phoneme's mouth shape.
std::string Voice(const std::string& name, const Breakdown& b, const MouthSet& set, const DialogueFrames& frames) {
    std::string voiceText;
    std::size_t phrases = 0;
    for (const BreakdownLine& line : b.lines) {
        if (line.words.empty()) continue;
        if (!voiceText.empty()) voiceText += '|';
        voiceText += ExportOneLine(line.text);
        ++phrases;
    }
    std::string out = "\t" + ExportOneLine(name) + "\n\t" + voiceText + "\n\t" + std::to_string(phrases) + "\n";
    for (const BreakdownLine& line : b.lines) {
        if (line.words.empty()) continue;
        out += "\t\t" + ExportOneLine(line.text) + "\n\t\t" + std::to_string(frames.Of(line.words.front().start)) +
               "\n\t\t" + std::to_string(frames.LastOf(line.words.back().start, line.words.back().end)) + "\n\t\t" +
               std::to_string(line.words.size()) + "\n";
        for (const BreakdownWord& w : line.words) {
            std::string word = ExportOneLine(w.text);
            for (char& c : word)
                if (c == ' ') c = '_';
            out += "\t\t\t" + word + " " + std::to_string(frames.Of(w.start)) + " " +
                   std::to_string(frames.LastOf(w.start, w.end)) + " " + std::to_string(w.phonemes.size()) + "\n";
            for (const BreakdownPhoneme& p : w.phonemes)
                out += "\t\t\t\t" + std::to_string(frames.Of(p.start)) + " " + set.ShapeOf(p.text) + "\n";
        }
    }
    return out;
}

} // namespace

PapagayoWriter::PapagayoWriter()
    : ExportWriter({ExportSubject::Dialogue, "pgo", "Papagayo Breakdown (*.pgo)", "*.pgo", ".pgo"}) {}

std::string PapagayoWriter::Write(const ExportInput& in) const {
    if (in.breakdown == nullptr || !in.rate.IsPositive() || in.breakdown->sampleRate <= 0) return {};
    const DialogueFrames frames{in.rate, in.breakdown->sampleRate};
    const Breakdown& b = *in.breakdown;
    const int64_t length = b.soundFrames > 0 ? frames.Of(b.soundFrames - 1) + 1 : 0;
    std::vector<CharacterExport> speakers = in.Speakers();
    std::string voices;
    std::size_t count = 0;
    for (std::size_t i = 0; i < speakers.size(); ++i) {
        if (speakers[i].breakdown == nullptr) continue;
        const MouthSet set = speakers[i].mouthSet != nullptr ? *speakers[i].mouthSet : MouthSet::PrestonBlair();
        const std::string name = speakers[i].name.empty() ? "Voice " + std::to_string(i + 1) : speakers[i].name;
        voices += Voice(name, *speakers[i].breakdown, set, frames);
        ++count;
    }
    return "lipsync version 1\n" + ExportOneLine(in.soundName) + "\n" + std::to_string(in.rate.Rounded()) + "\n" +
           std::to_string(length) + "\n" + std::to_string(count) + "\n" + voices;
}

} // namespace zv
