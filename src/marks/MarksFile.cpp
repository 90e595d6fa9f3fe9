#include "marks/MarksFile.h"

#include <filesystem>
#include <unordered_map>

#include "common/FrameTime.h"
#include "document/SoundDocument.h"
#include "marks/JsonText.h"

namespace zv {

namespace {

constexpr const char* kFormat = "zorvane-marks";

// The largest time a mark may have: far beyond any sound, and small enough
// that ms x sample rate (and sample x sample rate) stays well inside 64 bits.
constexpr int64_t kMaxMs = int64_t{1} << 40;
constexpr int64_t kMaxSample = int64_t{1} << 40;

MarksFileContent Refuse(std::string reason) {
    MarksFileContent c;
    c.error = std::move(reason);
    return c;
}

std::optional<int64_t> Within(const nlohmann::json& item, const char* key, int64_t max) {
    const std::optional<int64_t> v = JsonInteger(item, key);
    if (!v || *v < 0 || *v > max) return std::nullopt;
    return v;
}

// A text member: nothing when missing, an error when not a string.
bool TextOf(const nlohmann::json& item, const char* key, std::string& out) {
    const auto it = item.find(key);
    if (it == item.end()) return true;
    if (!it->is_string()) return false;
    out = it->get<std::string>();
    return true;
}

// Version 1: the marks alone, in ms and samples.
MarksFileContent ParseVersion1(const nlohmann::json& root, int32_t sampleRate) {
    // The sample positions hold for the rate they were saved at.
    const bool samplesHold = JsonInteger(root, "sampleRate") == sampleRate;
    const auto list = root.find("marks");
    if (list == root.end() || !list->is_array()) return Refuse("it has no list of marks");
    MarksFileContent content;
    content.tracks.push_back({SoundDocument::kMarks, {}});
    std::vector<TrackItem>& items = content.tracks.front().items;
    items.reserve(list->size());
    for (std::size_t i = 0; i < list->size(); ++i) {
        const nlohmann::json& item = (*list)[i];
        const std::string which = "mark " + std::to_string(i + 1);
        if (!item.is_object()) return Refuse(which + " is not an object");
        const std::optional<int64_t> ms = Within(item, "ms", kMaxMs);
        if (!ms) return Refuse(which + " has no valid \"ms\"");
        int64_t endMs = *ms;
        if (item.contains("endMs")) {
            const std::optional<int64_t> e = Within(item, "endMs", kMaxMs);
            if (!e || *e < *ms) return Refuse(which + " has an invalid \"endMs\"");
            endMs = *e;
        }
        const std::optional<int64_t> sample = samplesHold ? Within(item, "sample", kMaxSample) : std::nullopt;
        const std::optional<int64_t> endSample = samplesHold ? Within(item, "endSample", kMaxSample) : std::nullopt;
        TrackItem m;
        m.start = sample ? *sample : MsToSamples(*ms, sampleRate);
        m.end = endSample ? *endSample : (endMs == *ms ? m.start : MsToSamples(endMs, sampleRate));
        if (m.end < m.start) m.end = m.start;
        if (!TextOf(item, "text", m.text)) return Refuse(which + " has a text that is not a string");
        items.push_back(std::move(m));
    }
    return content;
}

MarksFileContent ParseVersion2(const nlohmann::json& root, int32_t sampleRate) {
    const std::optional<int64_t> savedRate = JsonInteger(root, "sampleRate");
    // Samples at another rate move to the same time at this one.
    const auto convert = [&](int64_t sample) {
        if (!savedRate || *savedRate <= 0 || *savedRate == sampleRate) return sample;
        // Both are positive; halves round up. 128 bits: the product leaves 64.
        const __int128 n = static_cast<__int128>(sample) * sampleRate;
        return static_cast<int64_t>((2 * n + *savedRate) / (2 * static_cast<__int128>(*savedRate)));
    };
    const auto tracks = root.find("tracks");
    if (tracks == root.end() || !tracks->is_array()) return Refuse("it has no list of tracks");
    MarksFileContent content;
    content.tracks.push_back({SoundDocument::kMarks, {}});
    // Each name's place in content.tracks: a track named twice is one track,
    // found at once however many there are.
    std::unordered_map<std::string, std::size_t> byName{{SoundDocument::kMarks, 0}};
    for (std::size_t t = 0; t < tracks->size(); ++t) {
        const nlohmann::json& track = (*tracks)[t];
        const std::string whichTrack = "track " + std::to_string(t + 1);
        std::string name;
        if (!track.is_object() || !TextOf(track, "name", name) || name.empty())
            return Refuse(whichTrack + " has no name");
        const auto list = track.find("items");
        if (list == track.end() || !list->is_array()) return Refuse(whichTrack + " has no list of items");
        const auto [place, added] = byName.emplace(name, content.tracks.size());
        if (added) content.tracks.push_back(FileTrack{name, {}});
        FileTrack* into = &content.tracks[place->second];
        if (added) into->items.reserve(list->size());   // not again: a name repeated many times grows it geometrically
        for (std::size_t i = 0; i < list->size(); ++i) {
            const nlohmann::json& item = (*list)[i];
            const std::string which = "item " + std::to_string(i + 1) + " of " + whichTrack;
            if (!item.is_object()) return Refuse(which + " is not an object");
            const std::optional<int64_t> start = Within(item, "start", kMaxSample);
            if (!start) return Refuse(which + " has no valid \"start\"");
            TrackItem m;
            m.start = convert(*start);
            m.end = m.start;
            if (item.contains("end")) {
                const std::optional<int64_t> end = Within(item, "end", kMaxSample);
                if (!end || *end < *start) return Refuse(which + " has an invalid \"end\"");
                m.end = convert(*end);
            }
            if (!TextOf(item, "text", m.text)) return Refuse(which + " has a text that is not a string");
            if (!TextOf(item, "kind", m.kind)) return Refuse(which + " has a kind that is not a string");
            into->items.push_back(std::move(m));
        }
    }
    return content;
}

} // namespace

std::string MarksFilePath(const std::string& soundPath) { return soundPath + ".zorvane-marks.json"; }

std::string MarksFileText(const SoundDocument& document) {
    std::vector<FileTrack> tracks;
    tracks.reserve(document.Tracks().size());
    for (const auto& track : document.Tracks()) tracks.push_back({track->Name(), track->Items()});
    return MarksFileText(tracks, std::filesystem::path(document.Info().path).filename().string(),
                         document.Info().sampleRate);
}

std::string MarksFileText(const std::vector<FileTrack>& tracks, const std::string& soundName, int32_t sampleRate) {
    std::size_t count = 0;
    for (const FileTrack& t : tracks) count += t.items.size();
    std::string out;
    out.reserve(200 + count * 48);
    out += "{\n  \"format\": \"";
    out += kFormat;
    out += "\",\n  \"version\": " + std::to_string(kMarksFileVersion);
    out += ",\n  \"sound\": " + JsonQuote(soundName);
    out += ",\n  \"sampleRate\": " + std::to_string(sampleRate);
    out += ",\n  \"tracks\": [";
    bool firstTrack = true;
    for (const FileTrack& track : tracks) {
        out += firstTrack ? "\n    " : ",\n    ";
        firstTrack = false;
        out += "{\"name\": " + JsonQuote(track.name) + ", \"items\": [";
        bool first = true;
        for (const TrackItem& m : track.items) {
            out += first ? "\n      " : ",\n      ";
            first = false;
            nlohmann::ordered_json item;
            item["start"] = m.start;
            if (!m.IsPoint()) item["end"] = m.end;
            item["text"] = m.text;
            if (!m.kind.empty()) item["kind"] = m.kind;
            out += JsonLine(item);
        }
        out += track.items.empty() ? "]}" : "\n    ]}";
    }
    out += tracks.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

MarksFileContent ParseMarksFile(std::string_view text, int32_t sampleRate) {
    const JsonRead read = ReadJson(text);
    if (!read.Ok()) return Refuse("it is not valid JSON (line " + std::to_string(read.line) + ": " + read.reason + ")");
    const nlohmann::json& root = read.value;
    if (!root.is_object()) return Refuse("it is not a Zorvane marks file");
    const auto format = root.find("format");
    if (format == root.end() || !format->is_string() || format->get<std::string>() != kFormat)
        return Refuse("it is not a Zorvane marks file");
    const std::optional<int64_t> version = JsonInteger(root, "version");
    if (!version || *version < 1) return Refuse("its version is missing");
    if (*version > kMarksFileVersion) {
        MarksFileContent c = Refuse("it was written by a newer version of Zorvane (marks file version " +
                                    std::to_string(*version) + ")");
        c.newerVersion = true;
        return c;
    }
    return *version == 1 ? ParseVersion1(root, sampleRate) : ParseVersion2(root, sampleRate);
}

} // namespace zv
