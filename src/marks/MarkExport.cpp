#include "marks/MarkExport.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "marks/JsonValue.h"

namespace zv {

namespace {

struct FormatEntry {
    MarkFormat format;
    const char* description;
    const char* pattern;
};

// The save dialog's order; ".xsheet.txt" is matched before ".txt".
constexpr FormatEntry kFormats[] = {
    {MarkFormat::Csv, "CSV (*.csv)", "*.csv"},
    {MarkFormat::AudacityLabels, "Audacity Labels (*.txt)", "*.txt"},
    {MarkFormat::MohoSwitch, "Moho Switch Data (*.dat)", "*.dat"},
    {MarkFormat::ExposureSheet, "Exposure Sheet (*.xsheet.txt)", "*.xsheet.txt"},
    {MarkFormat::Json, "JSON (*.json)", "*.json"},
};

// ms as seconds with `decimals` (3 or more) places, exactly: 333 -> "0.333".
std::string Seconds(int64_t ms, int decimals) {
    const int64_t whole = ms / 1000;
    std::string fraction = std::to_string(ms % 1000);
    fraction.insert(0, 3 - fraction.size(), '0');
    fraction.append(static_cast<std::size_t>(decimals - 3), '0');
    return std::to_string(whole) + "." + fraction;
}

// A text on one line: tabs and line breaks become spaces.
std::string OneLine(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return out;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string Csv(const std::vector<Mark>& marks, MarkRate rate) {
    const std::string fps = MarkRateText(rate);
    std::string out = CsvField("Frame (" + fps + " fps)") + "," + CsvField("End Frame (" + fps + " fps)") +
                      ",Seconds,End Seconds,Text,Timecode,End Timecode\r\n";
    for (const Mark& m : marks) {
        out += std::to_string(MarkFrame(m.ms, rate)) + "," + std::to_string(MarkFrame(m.endMs, rate)) + "," +
               Seconds(m.ms, 3) + "," + Seconds(m.endMs, 3) + "," + CsvField(m.text) + "," +
               MarkTimecode(m.ms, rate) + "," + MarkTimecode(m.endMs, rate) + "\r\n";
    }
    return out;
}

std::string Labels(const std::vector<Mark>& marks) {
    std::string out;
    for (const Mark& m : marks) out += Seconds(m.ms, 6) + "\t" + Seconds(m.endMs, 6) + "\t" + OneLine(m.text) + "\n";
    return out;
}

std::string Moho(const std::vector<Mark>& marks, MarkRate rate) {
    std::string out = "MohoSwitch1\n";
    for (const Mark& m : marks) out += std::to_string(MarkFrame(m.ms, rate) + 1) + " " + OneLine(m.text) + "\n";
    return out;
}

std::string ExposureSheet(const std::vector<Mark>& marks, const MarkExportSound& sound, MarkRate rate) {
    // Texts by frame (from 0). A mark at the very end of the sound gets the
    // line after its last frame; marks beyond the sound (or before frame 0,
    // at a negative rate) have no line.
    std::map<int64_t, std::string> texts;
    int64_t frames = std::max<int64_t>(MarkFrame(sound.lengthMs, rate), 0);
    for (const Mark& m : marks) {
        const int64_t frame = MarkFrame(m.ms, rate);
        if (frame < 0 || m.ms > sound.lengthMs) continue;
        std::string& text = texts[frame];
        if (!text.empty()) text += " / ";
        text += OneLine(m.text);
        frames = std::max(frames, frame + 1);
    }
    std::string out;
    out.reserve(static_cast<std::size_t>(frames) * 8);
    auto next = texts.begin();
    for (int64_t frame = 0; frame < frames; ++frame) {
        out += std::to_string(frame + 1);
        out += '\t';
        if (next != texts.end() && next->first == frame) {
            out += next->second;
            ++next;
        }
        out += '\n';
    }
    return out;
}

std::string Json(const std::vector<Mark>& marks, const MarkExportSound& sound, MarkRate rate) {
    std::string out = "{\n  \"sound\": " + JsonValue::Quote(sound.fileName);
    out += ",\n  \"sampleRate\": " + std::to_string(sound.sampleRate);
    out += ",\n  \"lengthMs\": " + std::to_string(sound.lengthMs);
    out += ",\n  \"lengthSamples\": " + std::to_string(sound.lengthSamples);
    out += ",\n  \"frameRate\": {\"numerator\": " + std::to_string(rate.Numerator()) +
           ", \"denominator\": " + std::to_string(rate.Denominator()) + "}";
    out += ",\n  \"marks\": [";
    bool first = true;
    for (const Mark& m : marks) {
        out += first ? "\n    " : ",\n    ";
        first = false;
        out += "{\"ms\": " + std::to_string(m.ms) + ", \"sample\": " + std::to_string(m.sample) +
               ", \"frame\": " + std::to_string(MarkFrame(m.ms, rate)) + ", \"endMs\": " + std::to_string(m.endMs) +
               ", \"endSample\": " + std::to_string(m.endSample) +
               ", \"endFrame\": " + std::to_string(MarkFrame(m.endMs, rate)) +
               ", \"timecode\": " + JsonValue::Quote(MarkTimecode(m.ms, rate)) +
               ", \"endTimecode\": " + JsonValue::Quote(MarkTimecode(m.endMs, rate)) +
               ", \"text\": " + JsonValue::Quote(m.text) + "}";
    }
    out += marks.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

bool EndsWithNoCase(const std::string& s, const std::string& suffix) {
    if (s.size() < suffix.size()) return false;
    return std::equal(suffix.begin(), suffix.end(), s.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
                      });
}

} // namespace

const std::string& MarkExportFilter() {
    static const std::string filter = [] {
        std::string f;
        for (const FormatEntry& e : kFormats) {
            if (!f.empty()) f += '|';
            f += std::string(e.description) + "|" + e.pattern;
        }
        return f;
    }();
    return filter;
}

std::optional<MarkFormat> MarkFormatOfFilter(int filter) {
    if (filter < 1 || filter > static_cast<int>(std::size(kFormats))) return std::nullopt;
    return kFormats[filter - 1].format;
}

std::optional<MarkFormat> MarkFormatOfFileName(const std::string& fileName) {
    // Longest pattern first, so "sheet.xsheet.txt" is a sheet, not labels.
    if (EndsWithNoCase(fileName, ".xsheet.txt")) return MarkFormat::ExposureSheet;
    for (const FormatEntry& e : kFormats)
        if (EndsWithNoCase(fileName, std::string(e.pattern).substr(1))) return e.format;
    return std::nullopt;
}

std::string ExportMarks(MarkFormat format, const std::vector<Mark>& marks, const MarkExportSound& sound,
                        MarkRate rate) {
    switch (format) {
    case MarkFormat::Csv: return Csv(marks, rate);
    case MarkFormat::AudacityLabels: return Labels(marks);
    case MarkFormat::MohoSwitch: return Moho(marks, rate);
    case MarkFormat::ExposureSheet: return ExposureSheet(marks, sound, rate);
    case MarkFormat::Json: return Json(marks, sound, rate);
    }
    return {};
}

} // namespace zv
