#include "marks/MarkKeeper.h"

#include <map>
#include <tuple>
#include <unordered_map>

#include "marks/TextFile.h"

namespace zv {

namespace {

using ItemKey = std::tuple<int64_t, int64_t, std::string, std::string>;

ItemKey KeyOf(const TrackItem& m) { return {m.start, m.end, m.text, m.kind}; }

// ours + (disk - base) - (base - disk), counting equal items: what another
// writer added comes in, what it removed goes, what this side added or
// removed stays so.
std::vector<TrackItem> MergeItems(const std::vector<TrackItem>* base, const std::vector<TrackItem>* disk,
                                  const std::vector<TrackItem>& ours) {
    std::map<ItemKey, int64_t> count;
    for (const TrackItem& m : ours) ++count[KeyOf(m)];
    if (disk)
        for (const TrackItem& m : *disk) ++count[KeyOf(m)];
    if (base)
        for (const TrackItem& m : *base) --count[KeyOf(m)];
    std::vector<TrackItem> merged;
    merged.reserve(ours.size());
    for (const auto& [key, n] : count)
        for (int64_t i = 0; i < n; ++i)
            merged.push_back(TrackItem{std::get<0>(key), std::get<1>(key), std::get<2>(key), std::get<3>(key)});
    return merged;
}

// The items of each track by its name (the first track of a name wins).
using ItemsByName = std::unordered_map<std::string, const std::vector<TrackItem>*>;

ItemsByName ByName(const std::vector<FileTrack>& tracks) {
    ItemsByName out;
    out.reserve(tracks.size());
    for (const FileTrack& t : tracks) out.emplace(t.name, &t.items);
    return out;
}

const std::vector<TrackItem>* ItemsNamed(const ItemsByName& tracks, const std::string& name) {
    const auto it = tracks.find(name);
    return it == tracks.end() ? nullptr : it->second;
}

// The same items, whatever their order among those at one start.
bool SameItems(const std::vector<TrackItem>& a, const std::vector<TrackItem>& b) {
    if (a.size() != b.size()) return false;
    if (a == b) return true;
    std::map<ItemKey, int64_t> count;
    for (const TrackItem& m : a) ++count[KeyOf(m)];
    for (const TrackItem& m : b)
        if (--count[KeyOf(m)] < 0) return false;
    return true;
}

} // namespace

MarkKeeper::MarkKeeper(SoundDocument& document) : document_(document) {}

Report MarkKeeper::OpenFor(SoundInfo info) {
    Close();
    filePath_ = MarksFilePath(info.path);
    const int32_t sampleRate = info.sampleRate;
    document_.Reset(std::move(info));
    const TextFileRead read = ReadTextFile(filePath_, kMaxFileBytes);
    if (!read.exists) return {};
    std::string reason;
    if (read.error) {
        reason = *read.error;
    } else {
        MarksFileContent content = ParseMarksFile(read.text, sampleRate);
        if (!content.error) {
            for (FileTrack& t : content.tracks) document_.Ensure(t.name).Assign(std::move(t.items));
            Remember();
            lastText_ = read.text;
            return {};
        }
        reason = *content.error;
    }
    protected_ = true;
    return Report::Failure("The marks file " + filePath_ + " can't be read: " + reason +
                   ".\n\nIt is left as it is. Marks you add now are kept while the sound is open "
                   "but not saved to it; use Export Marks... to keep them.");
}

void MarkKeeper::Close() {
    document_.Close();
    filePath_.clear();
    lastSeen_.clear();
    lastText_.clear();
    saved_ = true;
    protected_ = false;
    toldUnwritable_ = false;
}

Report MarkKeeper::Add(TrackItem mark) {
    if (!HasSound()) return {};
    document_.Marks().Add(std::move(mark));
    return Save();
}

Report MarkKeeper::AddAll(std::vector<TrackItem> marks) {
    if (!HasSound() || marks.empty()) return {};
    document_.Marks().AddAll(std::move(marks));
    return Save();
}

Report MarkKeeper::AddToTrack(const std::string& track, std::vector<TrackItem> items) {
    if (!HasSound() || items.empty()) return {};
    document_.Ensure(track).AddAll(std::move(items));
    return Save();
}

Report MarkKeeper::Remove(std::vector<std::size_t> indexes) {
    if (!HasSound() || document_.Marks().Remove(std::move(indexes)) == 0) return {};
    return Save();
}

Report MarkKeeper::SetText(std::size_t index, std::string text) {
    Track& marks = document_.Marks();
    if (!HasSound() || index >= marks.size() || marks[index].text == text) return {};
    marks.SetText(index, std::move(text));
    return Save();
}

void MarkKeeper::Remember() {
    lastSeen_.clear();
    for (const auto& track : document_.Tracks()) lastSeen_.push_back({track->Name(), track->Items()});
}

bool MarkKeeper::MergeFromDisk(Report& report) {
    const TextFileRead read = ReadTextFile(filePath_, kMaxFileBytes);
    // Gone (or never there): nothing of another writer's to keep.
    if (!read.exists || (!read.error && read.text == lastText_)) return true;
    std::optional<std::string> reason = read.error;
    MarksFileContent disk;
    if (!reason) {
        disk = ParseMarksFile(read.text, SampleRate());
        reason = disk.error;
    }
    if (reason) {
        protected_ = true;
        report = Report::Failure("The marks file " + filePath_ + " was changed by another program and can't be read: " +
                                 *reason + ".\n\nIt is left as it is. Your marks are kept while the sound is open "
                                           "but not saved to it; use Export Marks... to keep them.");
        return false;
    }
    for (const FileTrack& t : disk.tracks) document_.Ensure(t.name);
    const ItemsByName base = ByName(lastSeen_), onDisk = ByName(disk.tracks);
    for (const auto& track : document_.Tracks()) {
        std::vector<TrackItem> merged = MergeItems(ItemsNamed(base, track->Name()),
                                                   ItemsNamed(onDisk, track->Name()), track->Items());
        if (!SameItems(merged, track->Items())) track->Assign(std::move(merged));
    }
    return true;
}

Report MarkKeeper::Save() {
    if (!HasSound()) return {};
    saved_ = false;
    if (protected_) return {};
    Report merged;
    if (!MergeFromDisk(merged)) return merged;
    std::string text = MarksFileText(document_);
    const std::optional<std::string> failed = WriteFileAtomically(filePath_, text);
    if (!failed) {
        saved_ = true;
        lastText_ = std::move(text);
        Remember();
        return {};
    }
    if (toldUnwritable_) return {};
    toldUnwritable_ = true;
    return Report::Failure("The marks can't be saved beside the sound (" + filePath_ + ": " + *failed +
                   ").\n\nThey are kept while the sound is open; use Export Marks... to keep them.");
}

} // namespace zv
