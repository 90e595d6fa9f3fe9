#pragma once
// A track's own lane under the waveform: each item as a box with its text,
// on the frame grid. An item covers the frames that hold its samples: its
// box runs from the grid line of the frame that holds its first sample to
// the grid line after the frame that holds its last one (a point covers its
// one frame). Without a frame rate the box runs from sample to sample.
// Items narrower than a pixel are drawn as one line; items on the same
// pixel columns as the one before are drawn once; text is written where the
// box has room for it. The words, phonemes and mouth shapes lanes are this
// layer over the document's tracks: such a lane takes no room while its
// track is missing or empty (a new sound drops the track, so it is looked
// up by name on every drawing).
#include <cstdint>
#include <string>

#include "document/Track.h"
#include "waveview/layers/Layer.h"

namespace zv {

class SoundDocument;

// A lane's colours.
struct TrackLaneStyle {
    Rgb back{40, 0, 40};         // the lane under the items
    Rgb fill{90, 60, 120};       // an item's box
    Rgb outline{190, 170, 220};  // its edge
    Rgb text{235, 230, 245};
};

class TrackLaneLayer : public Layer {
public:
    using Style = TrackLaneStyle;
    static constexpr int kDefaultHeight = 18;
    static constexpr int kTextMargin = 3;
    static constexpr int kMinTextRoom = 10;   // pixels of box for text at all

    // A lane always shown over `track`, which must outlive the layer.
    explicit TrackLaneLayer(const Track& track, int height = kDefaultHeight, Style style = {})
        : track_(&track), height_(height), style_(style) {}
    // A lane over the document's track `name`, shown while it has items.
    TrackLaneLayer(const SoundDocument& document, std::string name, int height = kDefaultHeight, Style style = {})
        : document_(&document), name_(std::move(name)), height_(height), style_(style) {}

    int LaneHeight() const override;
    // The track drawn, or nullptr when there is none.
    const Track* Shown() const;
    void Draw(Canvas& canvas, const LayerScene& scene, LayerArea area) override;

    // An item's box edges in pixels (left < right), as drawn.
    struct Span {
        double left, right;
    };
    static Span ItemSpan(const LayerScene& scene, const TrackItem& item);

private:
    const Track* track_ = nullptr;
    const SoundDocument* document_ = nullptr;
    std::string name_;
    int height_;
    Style style_;
};

} // namespace zv
