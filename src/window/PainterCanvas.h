#pragma once
// A Canvas over a QPainter, in the painter's units (the waveform box's
// logical pixels): what the box's screen layers draw through. Lines are
// aliased and one pixel wide; text is written in the box's own font or in
// the small font of the marks and lanes (Arial 8 pt).
#include <QFont>
#include <QFontMetrics>

#include "waveview/Canvas.h"

class QPainter;

namespace zv {

class PainterCanvas : public Canvas {
public:
    // Draws with `painter` (which must outlive the canvas); its current font
    // is the box's font.
    explicit PainterCanvas(QPainter& painter);

    void Clear() override {}   // the picture under the layers is the box's
    void Line(float x1, float y1, float x2, float y2, Rgb colour) override;
    void Box(float x1, float y1, float x2, float y2, Rgb colour) override;
    void PenLine(float x1, float y1, float x2, float y2, const Pen& pen) override;
    void FillBox(float x1, float y1, float x2, float y2, Rgb colour, uint8_t alpha) override;
    void Text(float x, float baseline, std::string_view text, Rgb colour, TextFont font, float maxWidth) override;
    void DrawImage(float x1, float y1, float x2, float y2, const PixelImage& image) override;
    float TextWidth(std::string_view text, TextFont font) const override;
    float TextAscent(TextFont font) const override;

    static QFont SmallFont();

private:
    const QFontMetrics& Metrics(TextFont font) const { return font == TextFont::Small ? smallMetrics_ : boxMetrics_; }

    QPainter& painter_;
    QFont boxFont_, smallFont_;
    QFontMetrics boxMetrics_, smallMetrics_;
    Pen current_{};
    bool penSet_ = false;
};

} // namespace zv
