#pragma once
// The dialogue's lanes under the waveform, for every character of the open
// sound (CharacterList): each character's Words, Phonemes and Mouths lanes,
// one under the other, each shown while its track has items.
//
// The single unnamed speaker is drawn as the plain three lanes with their
// own colours and nothing more. Once a sound has named characters (or more
// than one), each character's lanes are tinted with its colour and headed
// by a tag row with its name; a collapsed character shows only its tag row,
// with its words as thin strokes, so one still sees where it speaks.
//
// The layer asks for one lane, the height of all its rows together; the
// rows' places inside it are Rows(). Units: pixels of the box; sample
// frames of the sound.
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "dialogue/CharacterList.h"
#include "document/TrackItem.h"
#include "waveview/layers/Layer.h"
#include "waveview/layers/TrackLaneLayer.h"

namespace zv {

class SoundDocument;

class CharacterLanesLayer : public Layer {
public:
    enum class Row { Tag, Words, Phonemes, Mouths };
    static constexpr int kTagHeight = 15;
    static constexpr int kLaneHeight = TrackLaneLayer::kDefaultHeight;
    static constexpr int kTagMargin = 4;   // pixels between the tag's edge and its text

    // One row: whose, what, and where, pixels from the top of the layer's lane.
    struct LaneRow {
        int character = 1;
        Row row = Row::Words;
        double top = 0;
        double height = 0;
        double Bottom() const { return top + height; }
        friend bool operator==(const LaneRow&, const LaneRow&) = default;
    };

    // The lanes over `document`'s tracks, which outlives the layer.
    explicit CharacterLanesLayer(const SoundDocument& document) : document_(document) {}

    int LaneHeight() const override;
    void Draw(Canvas& canvas, const LayerScene& scene, LayerArea area) override;

    // The characters as the document has them now.
    const CharacterList& Characters() const;
    // The rows shown, top to bottom, from 0.
    std::vector<LaneRow> Rows() const;
    // The row at box row `y`, for the layer's lane `area`; nothing between rows
    // or outside the area.
    std::optional<LaneRow> RowAt(LayerArea area, double y) const;
    // Where a character's row lies in the box, for the layer's lane `area`;
    // nothing when it is not shown.
    std::optional<LayerArea> AreaOf(LayerArea area, int character, Row row) const;

    // A collapsed character shows only its tag row. Kept by the character's id.
    bool Collapsed(int character) const { return collapsed_.count(character) > 0; }
    void SetCollapsed(int character, bool collapsed);
    void ToggleCollapsed(int character) { SetCollapsed(character, !Collapsed(character)); }

    // The colours of a character's row: the plain lanes' own for the single
    // unnamed speaker, else tints of the character's colour.
    static TrackLaneStyle StyleOf(Row row, uint32_t colour, bool plain);
    // The text of a character's tag: its name, or a stand-in for no name.
    static std::string TagText(const Character& character, bool collapsed);

private:
    const Track* TrackOf(int character, Row row) const;
    void DrawTag(Canvas& canvas, const LayerScene& scene, const Character& character, LayerArea row) const;

    const SoundDocument& document_;
    std::set<int> collapsed_;
    // The Characters track's items last read, and the list read from them:
    // the list is read again only when they change.
    mutable std::optional<std::vector<TrackItem>> read_;
    mutable CharacterList characters_;
};

} // namespace zv
