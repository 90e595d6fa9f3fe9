#include "marks/MarksImport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "common/Errors.h"
#include "document/SoundDocument.h"
#include "marks/JsonText.h"
#include "marks/LabelImport.h"
#include "marks/MarkFrames.h"

namespace zv {

namespace {

MarksImport Refused(std::string reason) {
    MarksImport r;
    r.error = std::move(reason);
    return r;
}

MarksImport MarksOnly(std::vector<TrackItem> items) {
    MarksImport r;
    r.tracks.push_back({SoundDocument::kMarks, std::move(items)});
    return r;
}

std::string_view WithoutByteOrderMark(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    return text;
}

// ---- JSON export ----

MarksImport FromJsonExport(const nlohmann::json& root, int32_t sampleRate) {
    const auto list = root.find("marks");
    if (list == root.end() || !list->is_array()) return Refused("is neither a Zorvane marks file nor a marks export");
    const bool samplesHold = JsonInteger(root, "sampleRate") == sampleRate;
    std::vector<TrackItem> items;
    for (std::size_t i = 0; i < list->size(); ++i) {
        const nlohmann::json& m = (*list)[i];
        const std::string which = "mark " + std::to_string(i + 1);
        const auto at = [&](const char* sampleKey, const char* msKey) -> std::optional<int64_t> {
            std::optional<int64_t> v = samplesHold ? JsonInteger(m, sampleKey) : std::nullopt;
            if (!v) {
                v = JsonInteger(m, msKey);
                if (v) v = MsToSamples(std::min<int64_t>(*v, int64_t{1} << 40), sampleRate);
            }
            if (v && (*v < 0 || *v > (int64_t{1} << 40))) return std::nullopt;
            return v;
        };
        const std::optional<int64_t> start = at("sample", "ms");
        if (!start) return Refused("has no valid time for " + which);
        TrackItem item;
        item.start = *start;
        item.end = std::max(*start, at("endSample", "endMs").value_or(*start));
        const auto text = m.find("text");
        if (text != m.end() && text->is_string()) item.text = text->get<std::string>();
        const auto kind = m.find("kind");
        if (kind != m.end() && kind->is_string()) item.kind = kind->get<std::string>();
        items.push_back(std::move(item));
    }
    return MarksOnly(std::move(items));
}

MarksImport FromJson(std::string_view text, int32_t sampleRate) {
    const JsonRead read = ReadJson(text);
    if (!read.Ok()) return Refused("is not valid JSON (line " + std::to_string(read.line) + ": " + read.reason + ")");
    if (!read.value.is_object()) return Refused("is neither a Zorvane marks file nor a marks export");
    const auto format = read.value.find("format");
    if (format != read.value.end()) {
        MarksFileContent file = ParseMarksFile(text, sampleRate);
        if (file.error) return Refused(file.error->rfind("it ", 0) == 0 ? file.error->substr(3) : *file.error);
        MarksImport r;
        r.tracks = std::move(file.tracks);
        return r;
    }
    return FromJsonExport(read.value, sampleRate);
}

// ---- CSV export ----

struct CsvRow {
    std::vector<std::string> fields;
    int line = 0;   // where the row starts, from 1
};

// The fields of a row that are kept apart; an export writes seven.
constexpr std::size_t kMostCsvFields = 64;

// RFC 4180: quoted fields may hold commas, quotes and line breaks.
std::optional<std::vector<CsvRow>> CsvRows(std::string_view text, int& badLine) {
    std::vector<CsvRow> rows;
    CsvRow row{{std::string()}, 1};
    int line = 1;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                row.fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n') ++line;
                row.fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            // Fields past those a row may hold run into the last one kept:
            // a line of millions of commas costs one string, not millions.
            if (row.fields.size() < kMostCsvFields) row.fields.emplace_back();
            else row.fields.back() += c;
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            ++line;
            if (row.fields.size() > 1 || !row.fields.front().empty()) rows.push_back(std::move(row));
            row = CsvRow{{std::string()}, line};
        } else {
            row.fields.back() += c;
        }
    }
    if (quoted) {
        badLine = row.line;
        return std::nullopt;
    }
    if (row.fields.size() > 1 || !row.fields.front().empty()) rows.push_back(std::move(row));
    return rows;
}

// "30" or "30000/1001" in "Frame (30000/1001 fps)".
std::optional<FrameRate> RateOfHeader(const std::string& header) {
    const std::size_t open = header.find('('), space = header.find(' ', open == std::string::npos ? 0 : open);
    if (open == std::string::npos || space == std::string::npos) return std::nullopt;
    const std::string rate = header.substr(open + 1, space - open - 1);
    char* end = nullptr;
    const long long n = std::strtoll(rate.c_str(), &end, 10);
    long long d = 1;
    if (*end == '/') d = std::strtoll(end + 1, &end, 10);
    if (*end != '\0' || n <= 0 || d <= 0) return std::nullopt;
    try {
        return FrameRate::Fraction(n, d);
    } catch (const ZorvaneError&) {
        return std::nullopt;
    }
}

std::optional<double> Number(const std::string& field) {
    if (field.empty()) return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(field.c_str(), &end);
    if (*end != '\0' || !std::isfinite(v)) return std::nullopt;
    return v;
}

MarksImport FromCsv(std::string_view text, int32_t sampleRate) {
    int badLine = 0;
    const std::optional<std::vector<CsvRow>> rows = CsvRows(text, badLine);
    if (!rows) return Refused("has a quoted field that is not closed (line " + std::to_string(badLine) + ")");
    const std::optional<FrameRate> rate = rows->empty() ? std::nullopt : RateOfHeader(rows->front().fields[0]);
    std::vector<TrackItem> items;
    for (std::size_t r = 1; r < rows->size(); ++r) {
        const CsvRow& row = (*rows)[r];
        const auto refuse = [&](const char* why) {
            return Refused("has a malformed line " + std::to_string(row.line) + ": " + why);
        };
        if (row.fields.size() < 5) return refuse("fewer than five fields");
        const std::optional<double> seconds = Number(row.fields[2]), endSeconds = Number(row.fields[3]);
        if (!seconds || !endSeconds) return refuse("no number of seconds");
        if (*seconds < 0 || *endSeconds < *seconds || *endSeconds > 1e9) return refuse("times out of order or out of range");
        // A time at the frame the row names, else that frame's first sample.
        const auto place = [&](double s, const std::string& frameField) {
            int64_t sample = std::llround(s * sampleRate);
            const std::optional<double> frame = Number(frameField);
            if (rate && frame && *frame >= 0 && *frame < 1e12 &&
                MarkFrame(sample, *rate, sampleRate) != static_cast<int64_t>(*frame))
                sample = FrameStartSample(static_cast<int64_t>(*frame), *rate, sampleRate);
            return sample;
        };
        TrackItem item;
        item.start = place(*seconds, row.fields[0]);
        item.end = *endSeconds == *seconds ? item.start : std::max(item.start, place(*endSeconds, row.fields[1]));
        item.text = row.fields[4];
        items.push_back(std::move(item));
    }
    return MarksOnly(std::move(items));
}

} // namespace

std::size_t MarksImport::Count() const {
    std::size_t n = 0;
    for (const FileTrack& t : tracks) n += t.items.size();
    return n;
}

std::string MarksImport::Message(const std::string& path) const {
    if (badLabelLine > 0)
        return "Line " + std::to_string(badLabelLine) + " of " + path + " is not an Audacity label: " + error +
               ".\n\nNothing was imported.";
    return "The marks can't be imported from " + path + ": it " + error + ".\n\nNothing was imported.";
}

MarksImport ImportMarksText(std::string_view text, int32_t sampleRate) {
    const std::string_view body = WithoutByteOrderMark(text);
    const std::size_t first = body.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && body[first] == '{') return FromJson(body, sampleRate);
    if (body.substr(0, 6) == "Frame " || body.substr(0, 7) == "\"Frame ") return FromCsv(body, sampleRate);
    LabelImport labels = ParseAudacityLabels(text, sampleRate);
    if (labels.badLine > 0) {
        MarksImport r = Refused(labels.reason);
        r.badLabelLine = labels.badLine;
        return r;
    }
    return MarksOnly(std::move(labels.marks));
}

} // namespace zv
