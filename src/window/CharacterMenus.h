#pragma once
// The right-click menus of the characters' lanes under the waveform: on a
// word (move it or its line to another character) and on a character's
// tag (rename, recolour, delete). The waveform's handlers find what lies
// under the pointer; the character actions show the menus.
#include <cstddef>

class QPoint;

namespace zv {

class CharacterMenus {
public:
    virtual ~CharacterMenus() = default;
    // A right click on word `word` (index into the character's Words track)
    // of `character`; `where` is on screen.
    virtual void WordMenu(int character, std::size_t word, const QPoint& where) = 0;
    // A right click on `character`'s tag row.
    virtual void TagMenu(int character, const QPoint& where) = 0;
};

} // namespace zv
