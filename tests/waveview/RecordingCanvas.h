#pragma once
// A canvas that records what is drawn on it, for renderer and layer tests
// and the fuzz target. Text is measured as 6 units a byte, 9 high.
#include <string>
#include <string_view>
#include <vector>

#include "waveview/Canvas.h"

namespace zv::test {

struct Segment {
    float x1, y1, x2, y2;
    Rgb colour;
};

// Every call in the order made, for the order of layers.
struct Drawn {
    enum Kind { LineKind, BoxKind, FillKind, TextKind } kind;
    float x1, y1, x2, y2;
    Pen pen;
    std::string text;
};

struct Fill {
    float x1, y1, x2, y2;
    Rgb colour;
    uint8_t alpha;
};

struct Written {
    float x, baseline;
    std::string text;
    Rgb colour;
    TextFont font;
    float maxWidth;
};

class RecordingCanvas : public Canvas {
public:
    static constexpr float kCharWidth = 6.0f;
    static constexpr float kAscent = 9.0f;

    void Clear() override {
        ++clears;
        segments.clear();
    }
    void Line(float x1, float y1, float x2, float y2, Rgb colour) override {
        segments.push_back({x1, y1, x2, y2, colour});
        drawn.push_back({Drawn::LineKind, x1, y1, x2, y2, Pen{colour}, {}});
    }
    void Box(float x1, float y1, float x2, float y2, Rgb colour) override {
        boxes.push_back({x1, y1, x2, y2, colour});
        drawn.push_back({Drawn::BoxKind, x1, y1, x2, y2, Pen{colour}, {}});
    }
    void Flush() override { ++flushes; }
    void PenLine(float x1, float y1, float x2, float y2, const Pen& pen) override {
        segments.push_back({x1, y1, x2, y2, pen.colour});
        drawn.push_back({Drawn::LineKind, x1, y1, x2, y2, pen, {}});
    }
    void FillBox(float x1, float y1, float x2, float y2, Rgb colour, uint8_t alpha) override {
        fills.push_back({x1, y1, x2, y2, colour, alpha});
        drawn.push_back({Drawn::FillKind, x1, y1, x2, y2, Pen{colour, alpha}, {}});
    }
    void Text(float x, float baseline, std::string_view text, Rgb colour, TextFont font, float maxWidth) override {
        texts.push_back({x, baseline, std::string(text), colour, font, maxWidth});
        drawn.push_back({Drawn::TextKind, x, baseline, x, baseline, Pen{colour}, std::string(text)});
    }
    void DrawImage(float x1, float y1, float x2, float y2, const PixelImage& image) override {
        images.push_back({x1, y1, x2, y2, image});
    }
    float TextWidth(std::string_view text, TextFont) const override {
        return kCharWidth * static_cast<float>(text.size());
    }
    float TextAscent(TextFont) const override { return kAscent; }

    std::vector<Segment> Of(Rgb colour) const {
        std::vector<Segment> out;
        for (const Segment& s : segments)
            if (s.colour == colour) out.push_back(s);
        return out;
    }

    std::vector<Segment> segments;
    std::vector<Segment> boxes;
    std::vector<Fill> fills;
    std::vector<Written> texts;
    struct Picture {
        float x1, y1, x2, y2;
        PixelImage image;
    };
    std::vector<Picture> images;
    std::vector<Drawn> drawn;
    int clears = 0;
    int flushes = 0;
};

}  // namespace zv::test
