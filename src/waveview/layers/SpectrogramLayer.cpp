#include "waveview/layers/SpectrogramLayer.h"

#include <algorithm>

namespace zv {

void SpectrogramLayer::Draw(Canvas& canvas, const LayerScene& scene, LayerArea area) {
    const WaveView& view = scene.view;
    if (!on_ || scene.sampleRate <= 0 || view.Span() <= 0 || scene.waveHeight <= 0) return;
    const auto top = static_cast<float>(area.top);
    const auto bottom = static_cast<float>(std::min(area.Bottom(), scene.waveHeight));
    const auto width = static_cast<float>(view.Width());
    if (bottom <= top) return;
    canvas.FillBox(0, top, width, bottom, kDark);
    const SpectrogramKey key = KeyOf(view);
    const SpectrogramImage* image = cache_.Find(key);
    if (!image) {
        if (wanted_) wanted_(key);
        image = cache_.Nearest(key);
    }
    if (!image || image->Empty()) return;
    const double span = static_cast<double>(view.Span());
    const auto left = static_cast<float>((static_cast<double>(image->first - view.Start())) * view.Width() / span);
    const auto right = static_cast<float>((image->End() - static_cast<double>(view.Start())) * view.Width() / span);
    // Another zoom's image stretched past use (columns 8 pixels wide) is left out.
    if (right - left > 8 * width) return;
    canvas.DrawImage(left, top, right, bottom, PixelImage{image->columns, image->rows, image->pixels.data()});
}

} // namespace zv
