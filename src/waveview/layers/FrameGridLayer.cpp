#include "waveview/layers/FrameGridLayer.h"

#include <cmath>
#include <string>

#include "common/FrameTime.h"
#include "waveview/layers/ViewColours.h"

namespace zv {

double FrameGridLayer::FramePixels(const LayerScene& scene) {
    if (!scene.fps.IsPositive() || scene.sampleRate <= 0 || scene.view.Span() <= 0) return 0.0;
    // A frame lasts rate x denominator / numerator samples.
    return static_cast<double>(scene.sampleRate) * scene.fps.Denominator() / scene.fps.Numerator() /
           scene.view.FramesPerPixel();
}

double FrameGridLayer::LineX(const LayerScene& scene, int64_t frame) {
    return std::floor(scene.view.PixelOf(FrameStartSample(frame, scene.fps, scene.sampleRate))) + 0.5;
}

void FrameGridLayer::Draw(Canvas& canvas, const LayerScene& scene, LayerArea area) {
    if (!scene.transportReady) return;
    const double framePixels = FramePixels(scene);
    if (framePixels < kMinPixels) return;
    const WaveView& view = scene.view;
    // Label every frame whose number fits before the next label: every
    // frame, or every 2nd, 5th, 10th, ...
    const int64_t lastFrame = FrameOfSample(view.End(), scene.fps, scene.sampleRate);
    const double labelWidth = canvas.TextWidth(std::to_string(lastFrame), TextFont::Box) + 4.0;
    int64_t every = 1;
    for (int64_t decade = 1; decade < (int64_t{1} << 40); decade *= 10) {
        const int64_t steps[] = {decade, 2 * decade, 5 * decade};
        bool found = false;
        for (const int64_t k : steps)
            if (static_cast<double>(k) * framePixels >= labelWidth) {
                every = k;
                found = true;
                break;
            }
        if (found) break;
    }
    const Pen pen{kGridColour, kGridAlpha};
    const auto baseline = static_cast<float>(area.top + canvas.TextAscent(TextFont::Box) + 1.0);
    const auto top = static_cast<float>(area.top), bottom = static_cast<float>(area.Bottom());
    for (int64_t n = FrameOfSample(view.Start(), scene.fps, scene.sampleRate);; ++n) {
        if (FrameStartSample(n, scene.fps, scene.sampleRate) > view.End()) break;
        const double x = LineX(scene, n);
        if (x < -1.0) continue;
        canvas.PenLine(static_cast<float>(x), top, static_cast<float>(x), bottom, pen);
        if (n % every == 0) canvas.Text(static_cast<float>(x + 2), baseline, std::to_string(n), kGridColour, TextFont::Box);
    }
}

} // namespace zv
