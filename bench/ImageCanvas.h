#pragma once
// A canvas over a QImage, in twips: collects the segments of a drawing pass
// per colour and paints each colour's with one QPainter::drawLines call when
// the pass is flushed. Stands in for the waveform box's picture here.
#include <QImage>
#include <QLineF>
#include <vector>

#include "waveview/Canvas.h"

namespace zv::bench {

class ImageCanvas : public Canvas {
public:
    // `image` is painted; `twipsPerPixel` maps the canvas's units to pixels.
    ImageCanvas(QImage& image, Rgb background, double twipsPerPixel = 15.0);

    void Clear() override;
    void Line(float x1, float y1, float x2, float y2, Rgb colour) override;
    void Box(float x1, float y1, float x2, float y2, Rgb colour) override;
    void Flush() override;

private:
    struct Batch {
        Rgb colour;
        std::vector<QLineF> lines;
    };
    std::vector<QLineF>& BatchFor(Rgb colour);

    QImage& image_;
    Rgb background_;
    double scale_;
    std::vector<Batch> batches_;
    Batch* last_ = nullptr;
};

}  // namespace zv::bench
