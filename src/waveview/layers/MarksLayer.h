#pragma once
// The marks over the waveform box: a thin cyan line at each mark with its
// text beside it where there is room for the text. A range has a solid line
// at its start, a dotted one at its end and a thin band along the top
// between them. Drawn on screen over the picture, never into it. Marks that
// fall on the same pixel column are drawn once, so a dense breakdown costs
// no more than the box is wide.
#include "document/Track.h"
#include "waveview/layers/Layer.h"

namespace zv {

class MarksLayer : public Layer {
public:
    // Room for text: at least this many pixels between a line and the
    // next, else the text is not even measured.
    static constexpr int kMinTextGap = 14;
    static constexpr int kTextMargin = 3;
    static constexpr int kBandHeight = 3;
    static constexpr uint8_t kBandAlpha = 110;

    // `marks` (the document's marks track) must outlive the layer.
    explicit MarksLayer(const Track& marks) : marks_(marks) {}

    void Draw(Canvas& canvas, const LayerScene& scene, LayerArea area) override;

private:
    const Track& marks_;
};

} // namespace zv
