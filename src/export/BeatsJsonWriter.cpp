#include "export/BeatsJsonWriter.h"

#include <nlohmann/json.hpp>
#include <optional>

#include "beats/BeatAnalysis.h"
#include "beats/FramesPerBeat.h"
#include "common/FrameTime.h"
#include "export/ExportText.h"

namespace zv {

namespace {

// Seconds of a sample frame, to the nearest microsecond.
double SecondsValue(int64_t sample, int32_t sampleRate) {
    return sampleRate > 0 ? static_cast<double>(RoundDivide(sample * 1'000'000, sampleRate)) / 1e6 : 0.0;
}

} // namespace

BeatsJsonWriter::BeatsJsonWriter()
    : ExportWriter({ExportSubject::Beats, "json", "JSON of the Beats (*.json)", "*.json", ".beats.json"}) {}

std::string BeatsJsonWriter::Write(const ExportInput& in) const {
    if (in.beats == nullptr || !in.rate.IsPositive()) return {};
    const BeatAnalysis& a = *in.beats;
    const FrameRate rate = in.rate;
    auto frameOf = [&](int64_t sample) -> int64_t {
        return a.sampleRate > 0 ? FrameOfSample(sample, rate, a.sampleRate) : 0;
    };
    nlohmann::ordered_json json;
    const int64_t hundredths = BpmHundredths(a.bpm);
    const std::optional<FramesPerBeat> frames = a.steady ? ExactFramesPerBeat(rate, hundredths) : std::nullopt;
    json["bpm"] = a.steady ? nlohmann::ordered_json(static_cast<double>(hundredths) / 100.0) : nlohmann::ordered_json();
    json["framesPerBeat"] = frames ? nlohmann::ordered_json(FramesPerBeatFraction(*frames)) : nlohmann::ordered_json();
    json["frameRate"] = ExportRateText(rate);
    nlohmann::ordered_json beats = nlohmann::ordered_json::array();
    for (const Beat& b : a.beats)
        beats.push_back(
            {{"time", SecondsValue(b.sample, a.sampleRate)}, {"frame", frameOf(b.sample)}, {"bar", b.bar}, {"beat", b.beat}});
    json["beats"] = std::move(beats);
    nlohmann::ordered_json onsets = nlohmann::ordered_json::array();
    for (const int64_t s : a.onsets) onsets.push_back({{"time", SecondsValue(s, a.sampleRate)}, {"frame", frameOf(s)}});
    json["onsets"] = std::move(onsets);
    return json.dump(2) + "\n";
}

} // namespace zv
