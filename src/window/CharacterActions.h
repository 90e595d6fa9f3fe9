#pragma once
// Editing the characters of the open sound in the window:
//   - Analyze > Characters: Add Character..., and for each character a
//     submenu (its colour as the icon) with Rename..., Colour... and Delete;
//     a right click on a character's tag under the waveform gives the same.
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
    // Words closer than this belong to one line (Move Line to), ms.
    static constexpr int kLineGapMs = 600;
    // Asks for a colour (0xRRGGBB), `initial` chosen; nothing when cancelled.
    using ColourChooser = std::function<std::optional<uint32_t>(uint32_t initial, const std::string& title)>;

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
    // The colour dialog (tests put a fake in its place).
    void SetColourChooser(ColourChooser chooser) { chooseColour_ = std::move(chooser); }

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
};

} // namespace zv
