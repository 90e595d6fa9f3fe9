#include "marks/MarkExport.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "marks/JsonText.h"

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

// A sample frame as seconds with six decimals, to nearest: 14700 at 44100
// Hz -> "0.333333".
std::string Seconds(int64_t sample, int32_t sampleRate) {
    const int64_t us = sampleRate > 0 ? RoundDivide(sample * 1000000, sampleRate) : 0;
    std::string fraction = std::to_string(us % 1000000);
    fraction.insert(0, 6 - fraction.size(), '0');
    return std::to_string(us / 1000000) + "." + fraction;
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

std::string Csv(const std::vector<TrackItem>& marks, const MarkExportSound& sound, MarkRate rate) {
    const int32_t sr = sound.sampleRate;
    const std::string fps = MarkRateText(rate);
    std::string out = CsvField("Frame (" + fps + " fps)") + "," + CsvField("End Frame (" + fps + " fps)") +
                      ",Seconds,End Seconds,Text,Timecode,End Timecode\r\n";
    for (const TrackItem& m : marks) {
        out += std::to_string(MarkFrame(m.start, rate, sr)) + "," + std::to_string(MarkFrame(m.end, rate, sr)) + "," +
               Seconds(m.start, sr) + "," + Seconds(m.end, sr) + "," + CsvField(m.text) + "," +
               MarkTimecode(m.start, rate, sr) + "," + MarkTimecode(m.end, rate, sr) + "\r\n";
    }
    return out;
}

std::string Labels(const std::vector<TrackItem>& marks, const MarkExportSound& sound) {
    std::string out;
    for (const TrackItem& m : marks)
        out += Seconds(m.start, sound.sampleRate) + "\t" + Seconds(m.end, sound.sampleRate) + "\t" + OneLine(m.text) + "\n";
    return out;
}

std::string Moho(const std::vector<TrackItem>& marks, const MarkExportSound& sound, MarkRate rate) {
    std::string out = "MohoSwitch1\n";
    for (const TrackItem& m : marks)
        out += std::to_string(MarkFrame(m.start, rate, sound.sampleRate) + 1) + " " + OneLine(m.text) + "\n";
    return out;
}

std::string ExposureSheet(const std::vector<TrackItem>& marks, const MarkExportSound& sound, MarkRate rate) {
    // Texts by frame (from 0). A line for every frame that starts within
    // the sound; a mark at the very end of the sound gets the line after
    // its last frame; marks beyond the sound have no line.
    const int32_t sr = sound.sampleRate;
    std::map<int64_t, std::string> texts;
    int64_t frames = sound.lengthSamples > 0 ? MarkFrame(sound.lengthSamples - 1, rate, sr) + 1 : 0;
    for (const TrackItem& m : marks) {
        if (m.start > sound.lengthSamples) continue;
        const int64_t frame = MarkFrame(m.start, rate, sr);
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

std::string Json(const std::vector<TrackItem>& marks, const MarkExportSound& sound, MarkRate rate) {
    const int32_t sr = sound.sampleRate;
    std::string out = "{\n  \"sound\": " + JsonQuote(sound.fileName);
    out += ",\n  \"sampleRate\": " + std::to_string(sr);
    out += ",\n  \"lengthMs\": " + std::to_string(sound.lengthMs);
    out += ",\n  \"lengthSamples\": " + std::to_string(sound.lengthSamples);
    out += ",\n  \"frameRate\": {\"numerator\": " + std::to_string(rate.Numerator()) +
           ", \"denominator\": " + std::to_string(rate.Denominator()) + "}";
    out += ",\n  \"marks\": [";
    bool first = true;
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

std::string ExportMarks(MarkFormat format, const std::vector<TrackItem>& marks, const MarkExportSound& sound,
                        MarkRate rate) {
    switch (format) {
    case MarkFormat::Csv: return Csv(marks, sound, rate);
    case MarkFormat::AudacityLabels: return Labels(marks, sound);
    case MarkFormat::MohoSwitch: return Moho(marks, sound, rate);
    case MarkFormat::ExposureSheet: return ExposureSheet(marks, sound, rate);
    case MarkFormat::Json: return Json(marks, sound, rate);
    }
    return {};
}

} // namespace zv
