#include "window/PainterCanvas.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace zv {

namespace {

QColor Colour(Rgb c, uint8_t alpha = 255) { return QColor(c.r, c.g, c.b, alpha); }

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

} // namespace

QFont PainterCanvas::SmallFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.0);
    return font;
}

PainterCanvas::PainterCanvas(QPainter& painter)
    : painter_(painter), boxFont_(painter.font()), smallFont_(SmallFont()), boxMetrics_(boxFont_),
      smallMetrics_(smallFont_) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
}

void PainterCanvas::PenLine(float x1, float y1, float x2, float y2, const Pen& pen) {
    if (!penSet_ || !(pen == current_)) {
        painter_.setPen(QPen(Colour(pen.colour, pen.alpha), 1.0, pen.dotted ? Qt::DotLine : Qt::SolidLine));
        current_ = pen;
        penSet_ = true;
    }
    painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void PainterCanvas::Line(float x1, float y1, float x2, float y2, Rgb colour) { PenLine(x1, y1, x2, y2, Pen{colour}); }

void PainterCanvas::Box(float x1, float y1, float x2, float y2, Rgb colour) {
    PenLine(x1, y1, x2, y1, Pen{colour});
    PenLine(x2, y1, x2, y2, Pen{colour});
    PenLine(x2, y2, x1, y2, Pen{colour});
    PenLine(x1, y2, x1, y1, Pen{colour});
}

void PainterCanvas::FillBox(float x1, float y1, float x2, float y2, Rgb colour, uint8_t alpha) {
    const QRectF area(QPointF(std::min(x1, x2), std::min(y1, y2)), QPointF(std::max(x1, x2), std::max(y1, y2)));
    if (!area.isEmpty()) painter_.fillRect(area, Colour(colour, alpha));
}

void PainterCanvas::Text(float x, float baseline, std::string_view text, Rgb colour, TextFont font, float maxWidth) {
    if (text.empty()) return;
    QString shown = Utf8(text);
    const QFontMetrics& metrics = Metrics(font);
    if (std::isfinite(maxWidth)) {
        if (maxWidth < 1.0f) return;
        shown = metrics.elidedText(shown, Qt::ElideRight, static_cast<int>(maxWidth));
        if (shown.isEmpty() || shown == QStringLiteral("…")) return;
    }
    painter_.setFont(font == TextFont::Small ? smallFont_ : boxFont_);
    painter_.setPen(Colour(colour));
    penSet_ = false;
    painter_.drawText(QPointF(x, baseline), shown);
}

void PainterCanvas::DrawImage(float x1, float y1, float x2, float y2, const PixelImage& image) {
    if (image.width <= 0 || image.height <= 0 || !image.pixels) return;
    const QRectF area(QPointF(std::min(x1, x2), std::min(y1, y2)), QPointF(std::max(x1, x2), std::max(y1, y2)));
    if (area.isEmpty()) return;
    // Wraps the pixels without a copy (Format_RGB32 is 0xffRRGGBB words).
    const QImage wrapped(reinterpret_cast<const uchar*>(image.pixels), image.width, image.height,
                         static_cast<qsizetype>(image.width) * 4, QImage::Format_RGB32);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_.drawImage(area, wrapped);
}

float PainterCanvas::TextWidth(std::string_view text, TextFont font) const {
    return static_cast<float>(Metrics(font).horizontalAdvance(Utf8(text)));
}

float PainterCanvas::TextAscent(TextFont font) const { return static_cast<float>(Metrics(font).ascent()); }

} // namespace zv
