#pragma once
// A canvas that records what is drawn on it, for renderer tests and the
// fuzz target.
#include <vector>

#include "waveview/Canvas.h"

namespace zv::test {

struct Segment {
    float x1, y1, x2, y2;
    Rgb colour;
};

class RecordingCanvas : public Canvas {
public:
    void Clear() override {
        ++clears;
        segments.clear();
    }
    void Line(float x1, float y1, float x2, float y2, Rgb colour) override {
        segments.push_back({x1, y1, x2, y2, colour});
    }
    void Box(float x1, float y1, float x2, float y2, Rgb colour) override {
        boxes.push_back({x1, y1, x2, y2, colour});
    }
    void Flush() override { ++flushes; }

    std::vector<Segment> Of(Rgb colour) const {
        std::vector<Segment> out;
        for (const Segment& s : segments)
            if (s.colour == colour) out.push_back(s);
        return out;
    }

    std::vector<Segment> segments;
    std::vector<Segment> boxes;
    int clears = 0;
    int flushes = 0;
};

}  // namespace zv::test
