#include "ImageCanvas.h"

#include <QPainter>
#include <QRectF>

namespace zv::bench {

ImageCanvas::ImageCanvas(QImage& image, Rgb background, double twipsPerPixel)
    : image_(image), background_(background), scale_(1.0 / twipsPerPixel) {}

void ImageCanvas::Clear() {
    for (Batch& b : batches_) b.lines.clear();
    image_.fill(QColor(background_.r, background_.g, background_.b));
}

std::vector<QLineF>& ImageCanvas::BatchFor(Rgb colour) {
    if (last_ != nullptr && last_->colour == colour) return last_->lines;
    for (Batch& b : batches_)
        if (b.colour == colour) {
            last_ = &b;
            return b.lines;
        }
    batches_.push_back({colour, {}});
    batches_.back().lines.reserve(65536);
    last_ = nullptr;  // the vector may have moved
    return batches_.back().lines;
}

void ImageCanvas::Line(float x1, float y1, float x2, float y2, Rgb colour) {
    BatchFor(colour).emplace_back(x1 * scale_, y1 * scale_, x2 * scale_, y2 * scale_);
}

void ImageCanvas::Box(float x1, float y1, float x2, float y2, Rgb colour) {
    Flush();
    QPainter p(&image_);
    p.setPen(QColor(colour.r, colour.g, colour.b));
    p.drawRect(QRectF(QPointF(x1 * scale_, y1 * scale_), QPointF(x2 * scale_, y2 * scale_)).normalized());
}

void ImageCanvas::Flush() {
    bool any = false;
    for (const Batch& b : batches_) any = any || !b.lines.empty();
    if (!any) return;
    QPainter p(&image_);
    for (Batch& b : batches_) {
        if (b.lines.empty()) continue;
        p.setPen(QColor(b.colour.r, b.colour.g, b.colour.b));
        p.drawLines(b.lines.data(), static_cast<int>(b.lines.size()));
        b.lines.clear();
    }
}

}  // namespace zv::bench
