#include "dialogue/CharacterList.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "document/SoundDocument.h"

namespace zv {

namespace {

// Colours that stay apart from each other and from the waveform's green on
// the dark background.
constexpr uint32_t kPalette[] = {0x4FC3F7, 0xFFB74D, 0xBA68C8, 0xE57373, 0x81C784, 0xF06292, 0xFFF176, 0x90A4AE};

bool IsSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

std::string BaseWithId(const char* base, int id) {
    return id == 1 ? std::string(base) : std::string(base) + " " + std::to_string(id);
}

} // namespace

CharacterList::CharacterList() : characters_{Character{1, "", PaletteColour(0), "", ""}} {}

CharacterList CharacterList::Of(const SoundDocument& document) {
    const Track* track = document.Find(kTrack);
    return track ? FromItems(track->Items()) : CharacterList{};
}

CharacterList CharacterList::FromItems(const std::vector<TrackItem>& items) {
    CharacterList list;
    list.characters_.clear();
    for (const TrackItem& item : items) {
        // A hand-edited or damaged file may hold anything: such an item is
        // left out rather than refusing the document.
        nlohmann::json fields = nlohmann::json::parse(item.kind, nullptr, false);
        if (!fields.is_object()) continue;
        const auto id = fields.find("id");
        if (id == fields.end() || !id->is_number_integer()) continue;
        const int64_t idValue = id->get<int64_t>();
        if (idValue < 1 || idValue > 1'000'000) continue;
        Character c;
        c.id = static_cast<int>(idValue);
        c.name = Trimmed(item.text);
        if (list.Find(c.id) || (!c.name.empty() && list.FindByName(c.name))) continue;
        if (const auto colour = fields.find("colour"); colour != fields.end() && colour->is_number_unsigned())
            c.colour = static_cast<uint32_t>(colour->get<uint64_t>() & 0xFFFFFF);
        else
            c.colour = PaletteColour(list.characters_.size());
        if (const auto set = fields.find("mouthSet"); set != fields.end() && set->is_string())
            c.mouthSet = set->get<std::string>();
        if (const auto folder = fields.find("drawings"); folder != fields.end() && folder->is_string())
            c.drawings = folder->get<std::string>();
        list.characters_.push_back(std::move(c));
    }
    if (list.characters_.empty()) return CharacterList{};
    return list;
}

std::vector<TrackItem> CharacterList::Items() const {
    std::vector<TrackItem> items;
    items.reserve(characters_.size());
    for (const Character& c : characters_) {
        nlohmann::json fields = {{"id", c.id}, {"colour", c.colour}, {"mouthSet", c.mouthSet}, {"drawings", c.drawings}};
        items.push_back(TrackItem{0, 0, c.name, fields.dump()});
    }
    return items;
}

const Character* CharacterList::Find(int id) const {
    const auto it = std::find_if(characters_.begin(), characters_.end(), [id](const Character& c) { return c.id == id; });
    return it == characters_.end() ? nullptr : &*it;
}

Character* CharacterList::Find(int id) {
    return const_cast<Character*>(std::as_const(*this).Find(id));
}

const Character* CharacterList::FindByName(const std::string& name) const {
    const auto it = std::find_if(characters_.begin(), characters_.end(), [&](const Character& c) { return c.name == name; });
    return it == characters_.end() ? nullptr : &*it;
}

int CharacterList::Add(const std::string& name) {
    std::string trimmed = Trimmed(name);
    if (trimmed.empty() || FindByName(trimmed)) return 0;
    int id = 1;
    for (const Character& c : characters_) id = std::max(id, c.id + 1);
    characters_.push_back(Character{id, std::move(trimmed), PaletteColour(characters_.size()), "", ""});
    return id;
}

int CharacterList::IdFor(const std::string& name) {
    const std::string trimmed = Trimmed(name);
    if (trimmed.empty()) return 0;
    if (const Character* known = FindByName(trimmed)) return known->id;
    if (IsSingleUnnamed() && Rename(characters_[0].id, trimmed)) return characters_[0].id;
    return Add(trimmed);
}

bool CharacterList::Rename(int id, const std::string& name) {
    std::string trimmed = Trimmed(name);
    Character* c = Find(id);
    if (!c || trimmed.empty()) return false;
    if (const Character* other = FindByName(trimmed); other && other != c) return false;
    c->name = std::move(trimmed);
    return true;
}

bool CharacterList::Remove(int id) {
    if (characters_.size() <= 1) return false;
    const auto it = std::find_if(characters_.begin(), characters_.end(), [id](const Character& c) { return c.id == id; });
    if (it == characters_.end()) return false;
    characters_.erase(it);
    return true;
}

std::string CharacterList::WordsTrack(int id) { return BaseWithId(SoundDocument::kWords, id); }
std::string CharacterList::PhonemesTrack(int id) { return BaseWithId(SoundDocument::kPhonemes, id); }
std::string CharacterList::MouthsTrack(int id) { return BaseWithId(SoundDocument::kMouths, id); }

std::string CharacterList::Trimmed(const std::string& name) {
    std::size_t first = 0, last = name.size();
    while (first < last && IsSpace(static_cast<unsigned char>(name[first]))) ++first;
    while (last > first && IsSpace(static_cast<unsigned char>(name[last - 1]))) --last;
    return name.substr(first, last - first);
}

uint32_t CharacterList::PaletteColour(std::size_t n) {
    return kPalette[n % (sizeof kPalette / sizeof kPalette[0])];
}

} // namespace zv
