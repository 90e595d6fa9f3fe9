#include "export/ExportText.h"

#include <filesystem>

#include "common/FrameTime.h"

namespace zv {

std::string ExportSeconds(int64_t sample, int32_t sampleRate) {
    const int64_t micros = sampleRate > 0 ? RoundDivide(sample * 1'000'000, sampleRate) : 0;
    return ExportDecimal(micros, 6);
}

std::string ExportDecimal(int64_t units, int digits) {
    int64_t scale = 1;
    for (int i = 0; i < digits; ++i) scale *= 10;
    const bool negative = units < 0;
    // Counted as unsigned: the magnitude of the most negative value fits.
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(units) : static_cast<uint64_t>(units);
    const uint64_t unsignedScale = static_cast<uint64_t>(scale);
    std::string fraction = std::to_string(magnitude % unsignedScale);
    fraction.insert(0, static_cast<std::size_t>(digits) - fraction.size(), '0');
    return (negative ? "-" : "") + std::to_string(magnitude / unsignedScale) + "." + fraction;
}

std::string ExportOneLine(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return out;
}

std::string ExportCsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string ExportRateText(FrameRate rate) {
    return rate.IsWhole() ? std::to_string(rate.Numerator())
                          : std::to_string(rate.Numerator()) + "/" + std::to_string(rate.Denominator());
}

std::string ExportFileNamePart(const std::string& name) {
    constexpr std::size_t kMaxBytes = 64;
    std::string out;
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        const bool refused = c < 0x20 || c == 0x7F || std::string("\\/:*?\"<>| ").find(ch) != std::string::npos;
        out += refused ? '_' : ch;
    }
    std::size_t first = 0;
    while (first < out.size() && (out[first] == '.' || out[first] == '_')) ++first;
    out.erase(0, first);
    while (!out.empty() && out.back() == '_') out.pop_back();
    if (out.size() > kMaxBytes) {
        std::size_t cut = kMaxBytes;
        while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;
        out.resize(cut);
    }
    return out;
}

std::string ExportPathWith(const std::string& path, const std::string& suffix) {
    if (suffix.empty()) return path;
    std::filesystem::path p(path);
    p.replace_filename(p.stem().string() + suffix + p.extension().string());
    return p.string();
}

} // namespace zv
