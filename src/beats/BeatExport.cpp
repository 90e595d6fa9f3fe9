#include "beats/BeatExport.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <nlohmann/json.hpp>

#include "beats/FramesPerBeat.h"
#include "common/FrameTime.h"
#include "common/Timecode.h"

namespace zv {

namespace {

// Microseconds of a sample frame, to nearest.
int64_t Micros(int64_t sample, int32_t sampleRate) {
    if (sampleRate <= 0) return 0;
    return RoundDivide(sample * 1'000'000, sampleRate);
}

std::string SecondsText(int64_t sample, int32_t sampleRate) {
    const int64_t micros = Micros(sample, sampleRate);
    const bool negative = micros < 0;
    const int64_t magnitude = negative ? -micros : micros;
    std::string fraction = std::to_string(magnitude % 1'000'000);
    fraction.insert(0, 6 - fraction.size(), '0');
    return (negative ? "-" : "") + std::to_string(magnitude / 1'000'000) + "." + fraction;
}

double SecondsValue(int64_t sample, int32_t sampleRate) { return static_cast<double>(Micros(sample, sampleRate)) / 1e6; }

int64_t FrameOf(int64_t sample, FrameRate rate, int32_t sampleRate) {
    return sampleRate > 0 ? FrameOfSample(sample, rate, sampleRate) : 0;
}

std::string RateText(FrameRate rate) {
    return rate.IsWhole() ? std::to_string(rate.Numerator())
                          : std::to_string(rate.Numerator()) + "/" + std::to_string(rate.Denominator());
}

std::string BarSheet(const BeatAnalysis& a, FrameRate rate, int64_t soundSamples) {
    struct Cell {
        std::string bar, beat;
    };
    std::map<int64_t, Cell> cells;
    int64_t frames = soundSamples > 0 ? FrameOf(soundSamples - 1, rate, a.sampleRate) + 1 : 0;
    for (const Beat& b : a.beats) {
        const int64_t frame = FrameOf(b.sample, rate, a.sampleRate);
        if (frame < 0) continue;
        Cell& cell = cells[frame];
        if (!cell.beat.empty()) cell.beat += "/";
        cell.beat += std::to_string(b.beat);
        if (b.beat == 1) cell.bar = std::to_string(b.bar);
        frames = std::max(frames, frame + 1);
    }
    std::string out = "Bar\tBeat\tFrame\n";
    out.reserve(static_cast<std::size_t>(frames) * 8 + out.size());
    auto next = cells.begin();
    for (int64_t frame = 0; frame < frames; ++frame) {
        if (next != cells.end() && next->first == frame) {
            out += next->second.bar + "\t" + next->second.beat + "\t";
            ++next;
        } else {
            out += "\t\t";
        }
        out += std::to_string(frame + 1);
        out += '\n';
    }
    return out;
}

std::string Csv(const BeatAnalysis& a, FrameRate rate) {
    std::string out = "Bar,Beat,Frame (" + RateText(rate) + " fps),Seconds,Timecode\r\n";
    for (const Beat& b : a.beats) {
        const int64_t frame = FrameOf(b.sample, rate, a.sampleRate);
        out += std::to_string(b.bar) + "," + std::to_string(b.beat) + "," + std::to_string(frame) + "," +
               SecondsText(b.sample, a.sampleRate) + "," + Timecode(frame, rate) + "\r\n";
    }
    return out;
}

std::string Labels(const BeatAnalysis& a) {
    std::string out;
    for (const Beat& b : a.beats) {
        const std::string at = SecondsText(b.sample, a.sampleRate);
        out += at + "\t" + at + "\t" + std::to_string(b.bar) + "." + std::to_string(b.beat) + "\n";
    }
    return out;
}

std::string Json(const BeatAnalysis& a, FrameRate rate) {
    nlohmann::ordered_json json;
    const int64_t hundredths = BpmHundredths(a.bpm);
    const std::optional<FramesPerBeat> frames = a.steady ? ExactFramesPerBeat(rate, hundredths) : std::nullopt;
    json["bpm"] = a.steady ? nlohmann::ordered_json(static_cast<double>(hundredths) / 100.0) : nlohmann::ordered_json();
    json["framesPerBeat"] = frames ? nlohmann::ordered_json(FramesPerBeatFraction(*frames)) : nlohmann::ordered_json();
    json["frameRate"] = RateText(rate);
    json["meter"] = a.steady && !a.meter.empty() ? nlohmann::ordered_json(a.meter) : nlohmann::ordered_json();
    nlohmann::ordered_json beats = nlohmann::ordered_json::array();
    for (const Beat& b : a.beats)
        beats.push_back({{"time", SecondsValue(b.sample, a.sampleRate)},
                         {"frame", FrameOf(b.sample, rate, a.sampleRate)},
                         {"bar", b.bar},
                         {"beat", b.beat},
                         {"confidence", std::round(std::clamp(static_cast<double>(b.confidence), 0.0, 1.0) * 100) / 100}});
    json["beats"] = std::move(beats);
    nlohmann::ordered_json onsets = nlohmann::ordered_json::array();
    for (const int64_t s : a.onsets)
        onsets.push_back({{"time", SecondsValue(s, a.sampleRate)}, {"frame", FrameOf(s, rate, a.sampleRate)}});
    json["onsets"] = std::move(onsets);
    return json.dump(2) + "\n";
}

} // namespace

std::optional<BeatFormat> BeatFormatOfName(const std::string& name) {
    if (name == "xsheet") return BeatFormat::BarSheet;
    if (name == "csv") return BeatFormat::Csv;
    if (name == "json") return BeatFormat::Json;
    if (name == "labels") return BeatFormat::AudacityLabels;
    return std::nullopt;
}

std::string ExportBeats(BeatFormat format, const BeatAnalysis& analysis, FrameRate rate, int64_t soundSamples) {
    if (!rate.IsPositive()) return {};
    switch (format) {
    case BeatFormat::BarSheet: return BarSheet(analysis, rate, soundSamples);
    case BeatFormat::Csv: return Csv(analysis, rate);
    case BeatFormat::Json: return Json(analysis, rate);
    case BeatFormat::AudacityLabels: return Labels(analysis);
    }
    return {};
}

} // namespace zv
