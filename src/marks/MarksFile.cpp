#include "marks/MarksFile.h"

#include <filesystem>
#include <limits>

#include "common/FrameTime.h"
#include "common/NameIndex.h"
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

// A member's value as a reader of one item needs it: whether it is there,
// the integer it holds (if it is one that fits 64 bits) and its text (if it
// is a string).
struct Member {
    bool present = false;
    std::optional<int64_t> integer;
    bool isText = false;
    std::string text;
};

std::optional<int64_t> Within(const Member& m, int64_t max) {
    if (!m.integer || *m.integer < 0 || *m.integer > max) return std::nullopt;
    return m.integer;
}

// A text member: nothing when missing, an error when not a string.
bool TextOf(const Member& m, std::string& out) {
    if (!m.present) return true;
    if (!m.isText) return false;
    out = m.text;
    return true;
}

// One item (version 2) or mark (version 1) as written, checked when it ends.
struct RawItem {
    int64_t start = 0, end = 0;
    std::optional<int64_t> sample, endSample;   // version 1: when valid
    bool endGiven = false;                       // version 1: endMs was there
    std::string text, kind;
};

// Reads the file value by value: the parser's events go straight into the
// tracks, so a file of many tracks costs its length and no tree of nodes.
// What it refuses, and in which order, is what a reading of the whole tree
// in file order would refuse: the first damaged track or item wins.
class MarksScanner final : public JsonEvents {
public:
    // What the root holds, last of each name winning (as in a JSON object).
    bool rootIsObject = false;
    Member format, version, sampleRate;
    bool hasTracks = false, hasMarks = false;   // each a list
    // Version 2: the tracks by name in first-seen order, and the first damage.
    std::vector<FileTrack> tracks;
    NameIndex byName;
    std::vector<std::vector<RawItem>> rawItems;   // beside tracks
    std::optional<std::string> tracksError;
    // Version 1: the marks, and the first damage.
    std::vector<RawItem> marks;
    std::optional<std::string> marksError;

    // A value that is neither an integer nor a string is there all the same.
    bool null() override { return Scalar(Member{true, std::nullopt, false, {}}); }
    bool boolean(bool) override { return Scalar(Member{true, std::nullopt, false, {}}); }
    bool number_integer(number_integer_t v) override { return Scalar(Member{true, v, false, {}}); }
    bool number_unsigned(number_unsigned_t v) override {
        Member m{true, std::nullopt, false, {}};
        if (v <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) m.integer = static_cast<int64_t>(v);
        return Scalar(std::move(m));
    }
    bool number_float(number_float_t, const string_t&) override { return Scalar(Member{true, std::nullopt, false, {}}); }
    bool string(string_t& v) override { return Scalar(Member{true, std::nullopt, true, v}); }
    bool key(string_t& k) override {
        stack_.back().key = k;
        return true;
    }
    bool start_object(std::size_t) override { return Open(true); }
    bool start_array(std::size_t) override { return Open(false); }
    bool end_object() override { return Close(); }
    bool end_array() override { return Close(); }

private:
    enum class Role { Root, Tracks, Track, Items, Item, Marks, Mark, Other };
    struct Level {
        Role role;
        std::string key;   // an object's current member
    };

    // The state of the track and item being read.
    std::size_t trackNo_ = 0, itemNo_ = 0;   // from 1 in their lists
    bool nameOk_ = false, itemsOk_ = false;
    std::string name_;
    std::vector<RawItem> pending_;
    std::optional<std::string> itemError_;
    Member fields_[5];   // start/ms, end/endMs, text, kind, sample, ... by FieldOf

    std::vector<Level> stack_;

    std::string WhichTrack() const { return "track " + std::to_string(trackNo_); }
    std::string WhichItem() const { return "item " + std::to_string(itemNo_) + " of " + WhichTrack(); }
    std::string WhichMark() const { return "mark " + std::to_string(itemNo_); }

    // Where a value met in the current container goes: a member of an item
    // or mark has its slot in fields_ (-1: not one kept).
    int FieldOf(const std::string& key) const {
        const Role r = stack_.back().role;
        if (r == Role::Item) {
            if (key == "start") return 0;
            if (key == "end") return 1;
            if (key == "text") return 2;
            if (key == "kind") return 3;
        } else if (r == Role::Mark) {
            if (key == "ms") return 0;
            if (key == "endMs") return 1;
            if (key == "text") return 2;
            if (key == "sample") return 3;
            if (key == "endSample") return 4;
        }
        return -1;
    }

    // A value, or the start of a container (`value` then holds only that it
    // is there), arrives in the current container. Returns the role of the
    // container it starts, for Open.
    Role Arrive(const Member& value, std::optional<bool> container) {
        if (stack_.empty()) {   // the root itself
            rootIsObject = container == std::optional<bool>(true);
            return rootIsObject ? Role::Root : Role::Other;
        }
        Level& at = stack_.back();
        const bool isObject = container == std::optional<bool>(true);
        const bool isArray = container == std::optional<bool>(false);
        switch (at.role) {
            case Role::Root:
                if (at.key == "format") format = value;
                else if (at.key == "version") version = value;
                else if (at.key == "sampleRate") sampleRate = value;
                else if (at.key == "tracks") {
                    // A list named twice: the last one holds, as in a tree.
                    hasTracks = isArray;
                    tracks.clear();
                    byName.Clear();
                    rawItems.clear();
                    tracksError.reset();
                    trackNo_ = 0;
                    if (isArray) {
                        tracks.push_back({SoundDocument::kMarks, {}});
                        rawItems.emplace_back();
                        byName.Emplace(SoundDocument::kMarks, 0);
                        return Role::Tracks;
                    }
                } else if (at.key == "marks") {
                    hasMarks = isArray;
                    marks.clear();
                    marksError.reset();
                    itemNo_ = 0;
                    if (isArray) return Role::Marks;
                }
                return Role::Other;
            case Role::Tracks:
                ++trackNo_;
                if (tracksError) return Role::Other;
                if (!isObject) {
                    tracksError = WhichTrack() + " has no name";
                    return Role::Other;
                }
                nameOk_ = itemsOk_ = false;
                name_.clear();
                pending_.clear();
                itemError_.reset();
                itemNo_ = 0;
                return Role::Track;
            case Role::Track:
                if (at.key == "name") {
                    nameOk_ = value.isText && !value.text.empty();
                    if (nameOk_) name_ = value.text;
                } else if (at.key == "items") {
                    itemsOk_ = isArray;
                    pending_.clear();
                    itemError_.reset();
                    itemNo_ = 0;
                    if (isArray) return Role::Items;
                }
                return Role::Other;
            case Role::Items:
            case Role::Marks: {
                ++itemNo_;
                const bool v1 = at.role == Role::Marks;
                std::optional<std::string>& error = v1 ? marksError : itemError_;
                if (error) return Role::Other;
                if (!isObject) {
                    error = (v1 ? WhichMark() : WhichItem()) + " is not an object";
                    return Role::Other;
                }
                for (Member& f : fields_) f = Member{};
                return v1 ? Role::Mark : Role::Item;
            }
            case Role::Item:
            case Role::Mark:
                if (const int f = FieldOf(at.key); f >= 0) fields_[f] = value;
                return Role::Other;
            case Role::Other:
                return Role::Other;
        }
        return Role::Other;
    }

    bool Scalar(Member value) {
        Arrive(value, std::nullopt);
        return true;
    }

    bool Open(bool object) {
        const Role role = Arrive(Member{true, std::nullopt, false, {}}, object);
        stack_.push_back({role, {}});
        return true;
    }

    bool Close() {
        const Role role = stack_.back().role;
        stack_.pop_back();
        if (role == Role::Item) EndItem();
        else if (role == Role::Mark) EndMark();
        else if (role == Role::Track) EndTrack();
        return true;
    }

    void EndItem() {
        const Member &start = fields_[0], &end = fields_[1];
        RawItem m;
        const std::optional<int64_t> s = Within(start, kMaxSample);
        if (!s) {
            itemError_ = WhichItem() + " has no valid \"start\"";
            return;
        }
        m.start = m.end = *s;
        if (end.present) {
            const std::optional<int64_t> e = Within(end, kMaxSample);
            if (!e || *e < *s) {
                itemError_ = WhichItem() + " has an invalid \"end\"";
                return;
            }
            m.end = *e;
        }
        if (!TextOf(fields_[2], m.text)) itemError_ = WhichItem() + " has a text that is not a string";
        else if (!TextOf(fields_[3], m.kind)) itemError_ = WhichItem() + " has a kind that is not a string";
        else pending_.push_back(std::move(m));
    }

    void EndMark() {
        const Member &ms = fields_[0], &endMs = fields_[1];
        RawItem m;
        const std::optional<int64_t> s = Within(ms, kMaxMs);
        if (!s) {
            marksError = WhichMark() + " has no valid \"ms\"";
            return;
        }
        m.start = m.end = *s;
        if (endMs.present) {
            const std::optional<int64_t> e = Within(endMs, kMaxMs);
            if (!e || *e < *s) {
                marksError = WhichMark() + " has an invalid \"endMs\"";
                return;
            }
            m.end = *e;
            m.endGiven = true;
        }
        m.sample = Within(fields_[3], kMaxSample);
        m.endSample = Within(fields_[4], kMaxSample);
        if (!TextOf(fields_[2], m.text)) marksError = WhichMark() + " has a text that is not a string";
        else marks.push_back(std::move(m));
    }

    void EndTrack() {
        if (tracksError) return;
        if (!nameOk_) tracksError = WhichTrack() + " has no name";
        else if (!itemsOk_) tracksError = WhichTrack() + " has no list of items";
        else if (itemError_) tracksError = itemError_;
        if (tracksError) return;
        const auto [place, added] = byName.Emplace(name_, tracks.size());
        if (added) {
            tracks.push_back(FileTrack{name_, {}});
            rawItems.push_back(std::move(pending_));
        } else {
            std::vector<RawItem>& into = rawItems[place];
            into.insert(into.end(), std::make_move_iterator(pending_.begin()), std::make_move_iterator(pending_.end()));
        }
        pending_.clear();
    }
};

MarksFileContent Version1(MarksScanner& scan, int32_t sampleRate) {
    if (!scan.hasMarks) return Refuse("it has no list of marks");
    if (scan.marksError) return Refuse(*scan.marksError);
    // The sample positions hold for the rate they were saved at.
    const bool samplesHold = scan.sampleRate.integer == sampleRate;
    MarksFileContent content;
    content.tracks.push_back({SoundDocument::kMarks, {}});
    std::vector<TrackItem>& items = content.tracks.front().items;
    items.reserve(scan.marks.size());
    for (RawItem& raw : scan.marks) {
        TrackItem m;
        const bool point = !raw.endGiven || raw.end == raw.start;
        m.start = samplesHold && raw.sample ? *raw.sample : MsToSamples(raw.start, sampleRate);
        m.end = samplesHold && raw.endSample ? *raw.endSample : (point ? m.start : MsToSamples(raw.end, sampleRate));
        if (m.end < m.start) m.end = m.start;
        m.text = std::move(raw.text);
        items.push_back(std::move(m));
    }
    return content;
}

MarksFileContent Version2(MarksScanner& scan, int32_t sampleRate) {
    if (!scan.hasTracks) return Refuse("it has no list of tracks");
    if (scan.tracksError) return Refuse(*scan.tracksError);
    const std::optional<int64_t> savedRate = scan.sampleRate.integer;
    // Samples at another rate move to the same time at this one.
    const auto convert = [&](int64_t sample) {
        if (!savedRate || *savedRate <= 0 || *savedRate == sampleRate) return sample;
        // Both are positive; halves round up. 128 bits: the product leaves 64.
        const __int128 n = static_cast<__int128>(sample) * sampleRate;
        return static_cast<int64_t>((2 * n + *savedRate) / (2 * static_cast<__int128>(*savedRate)));
    };
    MarksFileContent content;
    content.tracks = std::move(scan.tracks);
    for (std::size_t t = 0; t < content.tracks.size(); ++t) {
        std::vector<TrackItem>& items = content.tracks[t].items;
        items.reserve(scan.rawItems[t].size());
        for (RawItem& raw : scan.rawItems[t])
            items.push_back(TrackItem{convert(raw.start), convert(raw.end), std::move(raw.text), std::move(raw.kind)});
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
    MarksScanner scan;
    const JsonRead read = ScanJson(text, scan);
    if (!read.Ok()) return Refuse("it is not valid JSON (line " + std::to_string(read.line) + ": " + read.reason + ")");
    if (!scan.rootIsObject || !scan.format.isText || scan.format.text != kFormat)
        return Refuse("it is not a Zorvane marks file");
    const std::optional<int64_t> version = scan.version.integer;
    if (!version || *version < 1) return Refuse("its version is missing");
    if (*version > kMarksFileVersion) {
        MarksFileContent c = Refuse("it was written by a newer version of Zorvane (marks file version " +
                                    std::to_string(*version) + ")");
        c.newerVersion = true;
        return c;
    }
    return *version == 1 ? Version1(scan, sampleRate) : Version2(scan, sampleRate);
}

} // namespace zv
