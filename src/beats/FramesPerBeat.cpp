#include "beats/FramesPerBeat.h"

#include <cmath>
#include <limits>
#include <numeric>

#include "beats/BeatAnalysis.h"
#include "common/FrameTime.h"

namespace zv {

namespace {

// "128.00" from 12800.
std::string Hundredths(int64_t value) {
    const bool negative = value < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    std::string fraction = std::to_string(magnitude % 100);
    if (fraction.size() < 2) fraction.insert(0, "0");
    return (negative ? "-" : "") + std::to_string(magnitude / 100) + "." + fraction;
}

} // namespace

int64_t BpmHundredths(double bpm) {
    if (!std::isfinite(bpm)) return 0;
    const double h = std::round(bpm * 100);
    if (std::fabs(h) > 1e15) return 0;
    return static_cast<int64_t>(h);
}

std::optional<int64_t> ParseBpmHundredths(const std::string& text) {
    int64_t whole = 0;
    std::size_t i = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (whole > 1'000'000) return std::nullopt;
        whole = whole * 10 + (text[i] - '0');
        digits = true;
    }
    int64_t fraction = 0;   // hundredths
    if (i < text.size() && text[i] == '.') {
        ++i;
        int places = 0;
        bool roundUp = false;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++places) {
            digits = true;
            if (places < 2) fraction = fraction * 10 + (text[i] - '0');
            else if (places == 2) roundUp = text[i] >= '5';
        }
        if (places == 1) fraction *= 10;
        if (roundUp) ++fraction;
    }
    if (!digits || i != text.size()) return std::nullopt;
    const int64_t hundredths = whole * 100 + fraction;
    if (hundredths <= 0) return std::nullopt;
    return hundredths;
}

std::optional<FramesPerBeat> ExactFramesPerBeat(FrameRate rate, int64_t bpmHundredths) {
    if (!rate.IsPositive() || bpmHundredths <= 0) return std::nullopt;
    // rate x 60 / (h / 100) = numerator x 6000 / (denominator x h); the terms
    // stay within 2^31 x 6000 and 2^31 x h.
    if (bpmHundredths > std::numeric_limits<int64_t>::max() / std::numeric_limits<int32_t>::max()) return std::nullopt;
    int64_t numerator = static_cast<int64_t>(rate.Numerator()) * 6000;
    int64_t denominator = static_cast<int64_t>(rate.Denominator()) * bpmHundredths;
    const int64_t common = std::gcd(numerator, denominator);
    return FramesPerBeat{numerator / common, denominator / common};
}

std::string FramesPerBeatFraction(const FramesPerBeat& frames) {
    if (frames.denominator == 1) return std::to_string(frames.numerator);
    return std::to_string(frames.numerator) + "/" + std::to_string(frames.denominator);
}

std::string FramesPerBeatDecimal(const FramesPerBeat& frames) {
    // numerator x 100 fits: numerator <= 2^31 x 6000.
    return Hundredths(RoundDivide(frames.numerator * 100, frames.denominator));
}

std::string FrameRateReadout(FrameRate rate) {
    if (rate.IsWhole()) return std::to_string(rate.Numerator());
    // Three decimals, nearest, trailing zeros dropped: 23.976, 29.97, 12.5.
    const int64_t thousandths = RoundDivide(static_cast<int64_t>(rate.Numerator()) * 1000, rate.Denominator());
    const bool negative = thousandths < 0;
    const int64_t magnitude = negative ? -thousandths : thousandths;
    std::string fraction = std::to_string(magnitude % 1000);
    fraction.insert(0, 3 - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / 1000);
    return fraction.empty() ? text : text + "." + fraction;
}

std::string BeatReadout(int64_t bpmHundredths, FrameRate rate, bool tempoMap, int64_t slowestHundredths,
                        int64_t fastestHundredths) {
    std::string text = Hundredths(bpmHundredths) + " BPM";
    if (tempoMap)
        text = Hundredths(slowestHundredths) + "\u2013" + Hundredths(fastestHundredths) + " BPM (mean " +
               Hundredths(bpmHundredths) + ")";
    const std::optional<FramesPerBeat> frames = ExactFramesPerBeat(rate, bpmHundredths);
    if (!frames) return text;
    text += " \u00b7 ";
    if (frames->denominator == 1)
        text += std::to_string(frames->numerator) + " frames a beat";
    else
        text += FramesPerBeatDecimal(*frames) + " frames a beat (" + FramesPerBeatFraction(*frames) + ")";
    return text + " at " + FrameRateReadout(rate) + " fps";
}

std::string BeatReadout(const BeatAnalysis& analysis, FrameRate rate) {
    if (!analysis.steady) return "No steady beat found";
    const std::string text = BeatReadout(BpmHundredths(analysis.bpm), rate, analysis.tempoMap,
                                         BpmHundredths(analysis.slowestBpm), BpmHundredths(analysis.fastestBpm));
    return analysis.meter.empty() ? text : analysis.meter + " \u00b7 " + text;
}

} // namespace zv
