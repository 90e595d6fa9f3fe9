#pragma once
// Editing the characters of the open sound in the window:
//   - Analyze > Characters: Add Character..., and for each character a
//     submenu (its colour as the icon) with Rename..., Colour..., Mouth
//     Set... and Delete; a right click on a character's tag under the
//     waveform gives the same. Mouth Set... picks one of the sets the
//     Dialogue panel offers, or the panel's own choice; the character's
//     mouths are laid again with it in the same step, and its breakdowns,
//     exports and preview use it from then on.
//   - A right click on a word in a Words lane: Move Word to > and Move Line
//     to > another character; the word (or its line) goes with its
//     phonemes, and both characters' mouths are laid again from theirs.
// Each change is one undoable step over the document's tracks (the list
// itself is the "Characters" track, see CharacterList). A refused change
// (an empty or taken name, words that would overlap the other character's)
// is told in a message and changes nothing.
//
// Units: sample frames; the pause that ends a line in ms.
#include <QObject>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialogue/CharacterList.h"
#include "window/CharacterMenus.h"

class QMenu;
class QWidget;

namespace zv {

class LaneHost;
class MessageBox;
class SoundDocument;
class TrackUndo;
class WaveformInteraction;

class CharacterActions : public QObject, public CharacterMenus {
public:
    // Move Line to: words that do not know their script line (WordKind)
    // are one line while the pauses between them are shorter than this, ms.
    static constexpr int kLineGapMs = 600;
    // Asks for a colour (0xRRGGBB), `initial` chosen; nothing when cancelled.
    using ColourChooser = std::function<std::optional<uint32_t>(uint32_t initial, const std::string& title)>;
    // Asks for one of `choices`, `initial` (an index) chosen; the index
    // chosen, or nothing when cancelled.
    using ItemChooser =
        std::function<std::optional<int>(const std::vector<std::string>& choices, int initial, const std::string& title)>;
    // The first choice of Mouth Set...: the character follows the panel's set.
    static constexpr const char* kPanelsSet = "The Dialogue panel's set";

    // Changes go to `document`'s tracks as steps of `undo`; mouths come from
    // `lanes`; the right clicks come from `waveform`, which this registers
    // with. All of them, and `window`, outlive this object.
    CharacterActions(MessageBox& messages, SoundDocument& document, TrackUndo& undo, LaneHost& lanes,
                     WaveformInteraction& waveform, QWidget* window);
    ~CharacterActions() override;

    // Adds Analyze > Characters to `menu`.
    void FillMenu(QMenu& menu);
    // The menu is enabled while a sound is open.
    void Enable(bool soundOpen);
    // Analyze > Characters (after FillMenu), filled again each time it opens.
    QMenu* Menu() const { return menu_; }

    // The changes, each one step. False (nothing changed, the reason told)
    // when refused.
    bool Add(const std::string& name);
    bool Rename(int character, const std::string& name);
    bool Recolour(int character, uint32_t colour);
    // Gives the character the mouth set called `set` ("" = the panel's)
    // and lays its mouths again with it (mouths without phonemes are
    // kept). Refused for a set the panel does not offer.
    bool SetMouthSet(int character, const std::string& set);
    // Removes the character and clears its tracks.
    bool Delete(int character);
    // Moves word `word` of `from` (an index into its Words track), or the
    // whole line around it, to `to`.
    bool MoveWord(int from, std::size_t word, int to);
    bool MoveLine(int from, std::size_t word, int to);

    // The same, asking first for what they need.
    void AskAdd();
    void AskRename(int character);
    void AskColour(int character);
    void AskMouthSet(int character);
    // The colour dialog (tests put a fake in its place).
    void SetColourChooser(ColourChooser chooser) { chooseColour_ = std::move(chooser); }
    // The list dialog of Mouth Set... (tests put a fake in its place).
    void SetItemChooser(ItemChooser chooser) { chooseItem_ = std::move(chooser); }

    // The menus' entries, filled into `menu` (shown by the right clicks).
    void FillCharacterMenu(QMenu& menu, int character);
    void FillWordMenu(QMenu& menu, int character, std::size_t word);
    void FillCharactersMenu();

    // CharacterMenus: the right clicks under the waveform.
    void WordMenu(int character, std::size_t word, const QPoint& where) override;
    void TagMenu(int character, const QPoint& where) override;

private:
    CharacterList List() const;
    // Runs a menu's handler: whatever it raises is told, never let out.
    template <typename F>
    std::function<void()> Guard(F handler);
    bool Move(int from, std::size_t word, int to, bool line);
    std::string NameOf(int character) const;

    MessageBox& messages_;
    SoundDocument& document_;
    TrackUndo& undo_;
    LaneHost& lanes_;
    QWidget* window_;
    QMenu* menu_ = nullptr;
    ColourChooser chooseColour_;
    ItemChooser chooseItem_;
};

} // namespace zv
