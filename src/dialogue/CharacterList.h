#pragma once
// The characters who speak in the open sound. Each character has its own
// Words, Phonemes and Mouths tracks; a sound with one unnamed speaker is the
// one-character case and uses the plain "Words", "Phonemes" and "Mouths"
// tracks, so documents made before characters existed read unchanged.
//
// The list itself is kept on the document's "Characters" track, one item a
// character (text: the name; kind: the other fields as a JSON object), so
// that renaming, recolouring, adding or deleting a character is an ordinary
// track change: one undo step, saved beside the sound with the marks.
#include <cstdint>
#include <string>
#include <vector>

#include "document/TrackItem.h"

namespace zv {

class SoundDocument;

struct Character {
    int id = 1;               // stable, names the character's tracks; 1 uses the plain names
    std::string name;         // UTF-8, trimmed; "" only for the single unnamed speaker
    uint32_t colour = 0;      // 0xRRGGBB
    std::string mouthSet;     // the mouth set's name; "" = the one chosen in the Dialogue panel
    std::string drawings;     // folder of the mouth drawings; "" = Zorvane's own drawings
    friend bool operator==(const Character&, const Character&) = default;
};

class CharacterList {
public:
    static constexpr const char* kTrack = "Characters";

    // One unnamed speaker (id 1).
    CharacterList();

    // The document's characters; one unnamed speaker when it has none.
    static CharacterList Of(const SoundDocument& document);
    // From the Characters track's items: items that are not characters, and
    // repeated ids or names, are left out. One unnamed speaker when none is left.
    static CharacterList FromItems(const std::vector<TrackItem>& items);
    // The items for the Characters track (points at sample 0, in list order).
    std::vector<TrackItem> Items() const;

    const std::vector<Character>& All() const { return characters_; }
    std::size_t size() const { return characters_.size(); }
    // True for the single unnamed speaker: exports keep their one-speaker form.
    bool IsSingleUnnamed() const { return characters_.size() == 1 && characters_[0].name.empty(); }

    const Character* Find(int id) const;
    Character* Find(int id);
    // By name, exactly (names are kept trimmed).
    const Character* FindByName(const std::string& name) const;

    // Adds a character of that name (trimmed) with the next id and the next
    // colour of the palette. Returns the character's id, or 0 (nothing
    // added) when the name is empty or all spaces, or already taken. (To
    // name the single unnamed speaker, so that it keeps the plain tracks,
    // Rename id 1.)
    int Add(const std::string& name);
    // The id of the character called `name` (trimmed), added when new. The
    // single unnamed speaker, when it is all the list holds, takes the name
    // instead, keeping the plain tracks. 0 (nothing changed) for an empty name.
    int IdFor(const std::string& name);
    // Renames; false (nothing changed) for an empty or taken name or an unknown id.
    bool Rename(int id, const std::string& name);
    // Removes the character (its tracks are the caller's to clear); the last
    // one left cannot be removed.
    bool Remove(int id);

    // The names of a character's tracks.
    static std::string WordsTrack(int id);
    static std::string PhonemesTrack(int id);
    static std::string MouthsTrack(int id);
    // The name with spaces (and other white space) trimmed at both ends.
    static std::string Trimmed(const std::string& name);
    // The palette's colour for the n-th character (0-based).
    static uint32_t PaletteColour(std::size_t n);

private:
    std::vector<Character> characters_;
};

} // namespace zv
