#include "dialogue/BreakdownExport.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>

#include "common/FrameTime.h"

namespace zv {

namespace {

std::string OneLine(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return out;
}

// A non-negative count of 10^-digits seconds as "s.fff".
std::string Decimal(int64_t units, int digits) {
    int64_t scale = 1;
    for (int i = 0; i < digits; ++i) scale *= 10;
    const bool negative = units < 0;
    if (negative) units = -units;
    std::string fraction = std::to_string(units % scale);
    fraction.insert(0, static_cast<std::size_t>(digits) - fraction.size(), '0');
    return (negative ? "-" : "") + std::to_string(units / scale) + "." + fraction;
}

struct Frames {
    FrameRate rate;
    int32_t sampleRate;
    int64_t Of(int64_t sample) const { return FrameOfSample(sample, rate, sampleRate); }
    // The frame holding an item's last sample.
    int64_t LastOf(int64_t start, int64_t end) const { return Of(end > start ? end - 1 : start); }
};

std::string Json(const BreakdownExportInput& in, const Frames& frames) {
    const Breakdown& b = *in.breakdown;
    const double sr = b.sampleRate > 0 ? b.sampleRate : 1;
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

std::string Tsv(const BreakdownExportInput& in, const Frames& frames) {
    std::string out;
    if (in.mouths == nullptr) return out;
    for (const TrackItem& m : *in.mouths) {
        const int64_t frame = frames.Of(m.start);
        out += Decimal(FrameStartMs(frame, in.rate), 3) + "\t" + OneLine(m.text) + "\n";
    }
    return out;
}

std::string Moho(const BreakdownExportInput& in, const Frames& frames) {
    std::string out = "MohoSwitch1\n";
    if (in.mouths == nullptr) return out;
    for (const TrackItem& m : *in.mouths) out += std::to_string(frames.Of(m.start) + 1) + " " + OneLine(m.text) + "\n";
    return out;
}

std::string Papagayo(const BreakdownExportInput& in, const Frames& frames) {
    const Breakdown& b = *in.breakdown;
    const MouthSet set = in.mouthSet != nullptr ? *in.mouthSet : MouthSet::PrestonBlair();
    const int64_t length = b.soundFrames > 0 ? frames.Of(b.soundFrames - 1) + 1 : 0;
    std::string voiceText;
    std::size_t phrases = 0;
    for (const BreakdownLine& line : b.lines) {
        if (line.words.empty()) continue;
        if (!voiceText.empty()) voiceText += '|';
        voiceText += OneLine(line.text);
        ++phrases;
    }
    std::string out = "lipsync version 1\n" + OneLine(in.soundName) + "\n" + std::to_string(in.rate.Rounded()) + "\n" +
                      std::to_string(length) + "\n1\n\tVoice 1\n\t" + voiceText + "\n\t" + std::to_string(phrases) + "\n";
    for (const BreakdownLine& line : b.lines) {
        if (line.words.empty()) continue;
        out += "\t\t" + OneLine(line.text) + "\n\t\t" + std::to_string(frames.Of(line.words.front().start)) + "\n\t\t" +
               std::to_string(frames.LastOf(line.words.back().start, line.words.back().end)) + "\n\t\t" +
               std::to_string(line.words.size()) + "\n";
        for (const BreakdownWord& w : line.words) {
            std::string word = OneLine(w.text);
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

std::string Sheet(const BreakdownExportInput& in, const Frames& frames) {
    const Breakdown& b = *in.breakdown;
    int64_t count = b.soundFrames > 0 ? frames.Of(b.soundFrames - 1) + 1 : 0;
    std::map<int64_t, std::string> mouths, words, marks;
    auto add = [&](std::map<int64_t, std::string>& column, int64_t frame, const std::string& text) {
        if (frame < 0) return;
        std::string& cell = column[frame];
        if (!cell.empty()) cell += " / ";
        cell += OneLine(text);
        count = std::max(count, frame + 1);
    };
    if (in.mouths != nullptr)
        for (const TrackItem& m : *in.mouths) add(mouths, frames.Of(m.start), m.text);
    for (const BreakdownLine& line : b.lines)
        for (const BreakdownWord& w : line.words) add(words, frames.Of(w.start), w.text);
    if (in.marks != nullptr)
        for (const TrackItem& m : *in.marks) add(marks, frames.Of(m.start), m.text);
    auto cell = [](const std::map<int64_t, std::string>& column, int64_t frame) {
        const auto it = column.find(frame);
        return it == column.end() ? std::string() : it->second;
    };
    std::string out = "Frame\tMouth\tWord\tMarks\n";
    for (int64_t f = 0; f < count; ++f)
        out += std::to_string(f + 1) + "\t" + cell(mouths, f) + "\t" + cell(words, f) + "\t" + cell(marks, f) + "\n";
    return out;
}

std::string Labels(const BreakdownExportInput& in) {
    const Breakdown& b = *in.breakdown;
    std::string out;
    if (b.sampleRate <= 0) return out;
    auto seconds = [&](int64_t sample) { return Decimal(RoundDivide(sample * 1000000, b.sampleRate), 6); };
    for (const BreakdownLine& line : b.lines)
        for (const BreakdownWord& w : line.words) out += seconds(w.start) + "\t" + seconds(w.end) + "\t" + OneLine(w.text) + "\n";
    return out;
}

} // namespace

std::optional<BreakdownFormat> BreakdownFormatOfName(const std::string& name) {
    static const std::map<std::string, BreakdownFormat> names = {
        {"json", BreakdownFormat::Json},           {"tsv", BreakdownFormat::Tsv},
        {"dat", BreakdownFormat::MohoSwitch},      {"pgo", BreakdownFormat::Papagayo},
        {"xsheet", BreakdownFormat::ExposureSheet}, {"labels", BreakdownFormat::AudacityLabels}};
    const auto it = names.find(name);
    if (it == names.end()) return std::nullopt;
    return it->second;
}

std::string ExportBreakdown(BreakdownFormat format, const BreakdownExportInput& input) {
    if (input.breakdown == nullptr || !input.rate.IsPositive() || input.breakdown->sampleRate <= 0) return {};
    const Frames frames{input.rate, input.breakdown->sampleRate};
    switch (format) {
    case BreakdownFormat::Json: return Json(input, frames);
    case BreakdownFormat::Tsv: return Tsv(input, frames);
    case BreakdownFormat::MohoSwitch: return Moho(input, frames);
    case BreakdownFormat::Papagayo: return Papagayo(input, frames);
    case BreakdownFormat::ExposureSheet: return Sheet(input, frames);
    case BreakdownFormat::AudacityLabels: return Labels(input);
    }
    return {};
}

} // namespace zv
