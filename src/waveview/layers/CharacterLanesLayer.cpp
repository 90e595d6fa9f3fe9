#include "waveview/layers/CharacterLanesLayer.h"

#include <algorithm>
#include <cmath>

#include "document/SoundDocument.h"

namespace zv {

namespace {

constexpr CharacterLanesLayer::Row kLanes[] = {CharacterLanesLayer::Row::Words, CharacterLanesLayer::Row::Phonemes,
                                               CharacterLanesLayer::Row::Mouths};

Rgb RgbOf(uint32_t colour) {
    return {static_cast<uint8_t>((colour >> 16) & 0xFF), static_cast<uint8_t>((colour >> 8) & 0xFF),
            static_cast<uint8_t>(colour & 0xFF)};
}

// `c` darkened to `share` of itself.
Rgb Shade(Rgb c, double share) {
    const auto part = [share](uint8_t v) { return static_cast<uint8_t>(std::lround(v * share)); };
    return {part(c.r), part(c.g), part(c.b)};
}

// `c` mixed with white, `share` of white.
Rgb Light(Rgb c, double share) {
    const auto part = [share](uint8_t v) { return static_cast<uint8_t>(std::lround(v + (255 - v) * share)); };
    return {part(c.r), part(c.g), part(c.b)};
}

} // namespace

const CharacterList& CharacterLanesLayer::Characters() const {
    const Track* track = document_.Find(CharacterList::kTrack);
    static const std::vector<TrackItem> none;
    const std::vector<TrackItem>& items = track ? track->Items() : none;
    if (!read_ || *read_ != items) {
        characters_ = CharacterList::FromItems(items);
        read_ = items;
    }
    return characters_;
}

const Track* CharacterLanesLayer::TrackOf(int character, Row row) const {
    std::string name;
    switch (row) {
    case Row::Words: name = CharacterList::WordsTrack(character); break;
    case Row::Phonemes: name = CharacterList::PhonemesTrack(character); break;
    case Row::Mouths: name = CharacterList::MouthsTrack(character); break;
    case Row::Tag: return nullptr;
    }
    const Track* track = document_.Find(name);
    return track && !track->empty() ? track : nullptr;
}

std::vector<CharacterLanesLayer::LaneRow> CharacterLanesLayer::Rows() const {
    std::vector<LaneRow> rows;
    // Without a sound the document has no tracks: no lanes and no tags.
    if (!document_.HasSound()) return rows;
    const CharacterList& list = Characters();
    const bool tagged = !list.IsSingleUnnamed();
    double top = 0;
    for (const Character& c : list.All()) {
        if (tagged) {
            rows.push_back({c.id, Row::Tag, top, kTagHeight});
            top += kTagHeight;
            if (Collapsed(c.id)) continue;
        }
        for (Row row : kLanes) {
            if (!TrackOf(c.id, row)) continue;
            rows.push_back({c.id, row, top, kLaneHeight});
            top += kLaneHeight;
        }
    }
    return rows;
}

int CharacterLanesLayer::LaneHeight() const {
    const std::vector<LaneRow> rows = Rows();
    return rows.empty() ? 0 : static_cast<int>(rows.back().Bottom());
}

std::optional<CharacterLanesLayer::LaneRow> CharacterLanesLayer::RowAt(LayerArea area, double y) const {
    if (y < area.top || y >= area.Bottom()) return std::nullopt;
    for (const LaneRow& row : Rows())
        if (y >= area.top + row.top && y < area.top + row.Bottom()) return row;
    return std::nullopt;
}

std::optional<LayerArea> CharacterLanesLayer::AreaOf(LayerArea area, int character, Row row) const {
    for (const LaneRow& r : Rows()) {
        if (r.character != character || r.row != row) continue;
        const double top = area.top + r.top;
        const double height = std::clamp(area.Bottom() - top, 0.0, r.height);
        if (height <= 0) return std::nullopt;
        return LayerArea{top, height};
    }
    return std::nullopt;
}

void CharacterLanesLayer::SetCollapsed(int character, bool collapsed) {
    if (collapsed) collapsed_.insert(character);
    else collapsed_.erase(character);
}

TrackLaneStyle CharacterLanesLayer::StyleOf(Row row, uint32_t colour, bool plain) {
    if (plain) {
        // The single speaker's lanes, as they have always looked.
        switch (row) {
        case Row::Phonemes: return {{0, 30, 40}, {35, 85, 105}, {150, 200, 215}, {230, 240, 245}};
        case Row::Mouths: return {{40, 28, 0}, {115, 85, 25}, {230, 200, 120}, {250, 240, 220}};
        default: return {};
        }
    }
    const Rgb c = RgbOf(colour);
    const Rgb text{245, 245, 245};
    switch (row) {
    case Row::Words: return {Shade(c, 0.20), Shade(c, 0.50), Light(c, 0.35), text};
    case Row::Phonemes: return {Shade(c, 0.14), Shade(c, 0.36), Light(c, 0.20), text};
    case Row::Mouths: return {Shade(c, 0.10), Shade(c, 0.27), Shade(c, 0.90), text};
    case Row::Tag: break;
    }
    return {Shade(c, 0.16), c, Light(c, 0.5), {16, 16, 16}};
}

std::string CharacterLanesLayer::TagText(const Character& character, bool collapsed) {
    // U+25B8 (collapsed) and U+25BE (open): the triangles file managers use.
    std::string text = collapsed ? "\u25B8 " : "\u25BE ";
    text += character.name.empty() ? std::string("(no name)") : character.name;
    return text;
}

void CharacterLanesLayer::DrawTag(Canvas& canvas, const LayerScene& scene, const Character& character,
                                  LayerArea row) const {
    const TrackLaneStyle style = StyleOf(Row::Tag, character.colour, false);
    const auto width = static_cast<float>(scene.view.Width());
    const auto top = static_cast<float>(row.top), bottom = static_cast<float>(row.Bottom());
    canvas.FillBox(0, top, width, bottom, style.back);
    const bool collapsed = Collapsed(character.id);
    // A collapsed character's words as strokes along the row's middle.
    if (collapsed && scene.view.Span() > 0) {
        if (const Track* words = TrackOf(character.id, Row::Words)) {
            const float mid = static_cast<float>(row.top + row.height / 2);
            for (const TrackItem& item : words->Items()) {
                if (item.start > scene.view.End()) break;
                const TrackLaneLayer::Span s = TrackLaneLayer::ItemSpan(scene, item);
                if (s.right < 0 || s.left > width) continue;
                canvas.FillBox(static_cast<float>(std::max(s.left, 0.0)), mid - 1,
                               static_cast<float>(std::max(std::min(s.right - 1, double(width)), s.left + 1)), mid + 2,
                               style.outline);
            }
        }
    }
    const std::string text = TagText(character, collapsed);
    const float room = std::max(width - 2 * kTagMargin, 0.0f);
    const float textWidth = std::min(canvas.TextWidth(text, TextFont::Small), room);
    const float right = textWidth + 2 * kTagMargin;
    canvas.FillBox(0, top + 1, right, bottom - 1, style.fill);
    canvas.Box(0, top + 1, right - 1, bottom - 2, style.outline);
    const float baseline = static_cast<float>(row.top + (row.height + canvas.TextAscent(TextFont::Small)) / 2.0 - 1.0);
    canvas.Text(kTagMargin, baseline, text, style.text, TextFont::Small, room);
}

void CharacterLanesLayer::Draw(Canvas& canvas, const LayerScene& scene, LayerArea area) {
    if (area.height <= 0 || scene.view.Width() <= 0) return;
    const CharacterList& list = Characters();
    const bool plain = list.IsSingleUnnamed();
    for (const LaneRow& row : Rows()) {
        const std::optional<LayerArea> at = AreaOf(area, row.character, row.row);
        if (!at) continue;
        const Character* character = list.Find(row.character);
        if (!character) continue;
        if (row.row == Row::Tag) {
            DrawTag(canvas, scene, *character, *at);
            continue;
        }
        const Track* track = TrackOf(row.character, row.row);
        if (!track) continue;
        TrackLaneLayer lane(*track, kLaneHeight, StyleOf(row.row, character->colour, plain));
        lane.Draw(canvas, scene, *at);
    }
}

} // namespace zv
