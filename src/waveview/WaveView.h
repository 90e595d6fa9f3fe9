#pragma once
// Which stretch of the sound the waveform box shows: the view's arithmetic
// on sample ranges, free of any drawing. The view runs from Start() to
// End(), in sample frames of the loaded sound, End() being the frame mapped
// to the box's right edge (as the loaded-sound record's ViewStart/ViewEnd).
//
// Rules that always hold: the view lies inside the sound (0 <= Start <
// End <= Total, or 0..0 for an empty sound); it is never narrower than one
// sample frame per pixel column of the box (or the whole sound, if that is
// shorter); zooming keeps the frame under the anchor where it is.
// Pixels are the box's columns, 0 at the left edge, `width` at the right.
#include <cstdint>

namespace zv {

class WaveView {
public:
    // The closest zoom: this many sample frames per pixel column.
    static constexpr int64_t kMinFramesPerPixel = 1;

    // A new sound of `totalFrames` frames: the view is the whole sound.
    void Reset(int64_t totalFrames);
    // The box's width in pixel columns (at least 1 is assumed).
    void SetWidth(int pixels);

    int64_t Total() const { return total_; }
    int64_t Start() const { return start_; }
    int64_t End() const { return end_; }
    int64_t Span() const { return end_ - start_; }
    bool IsWhole() const { return start_ == 0 && end_ == total_; }
    int Width() const { return width_; }

    // Zooms by `factor` (2 shows half as many frames, 0.5 twice as many)
    // around the pixel `anchorX`, whose frame stays under it.
    void ZoomAround(double factor, double anchorX);
    void ZoomIn() { ZoomAround(2.0, width_ / 2.0); }
    void ZoomOut() { ZoomAround(0.5, width_ / 2.0); }
    // Zooms by `factor` keeping frame `keep` (the position) in sight: where
    // it is on screen when the view shows it, else in the middle of the box.
    void ZoomKeeping(double factor, int64_t keep);
    // Whether the view shows frame `frame` (the sound's end counts as shown
    // in a view that reaches it: the last column shows it).
    bool Shows(int64_t frame) const;
    // Puts frame `frame` in the middle of the box, as far as the sound's
    // ends allow; the span stays.
    void CentreOn(int64_t frame);
    // Brings frame `frame` into sight when the view does not show it
    // (centred); returns whether the view moved.
    bool ScrollToShow(int64_t frame);
    // Shows frames [from, to) (put inside the sound, widened to the
    // closest zoom when narrower). An empty or reversed range changes nothing.
    void ZoomTo(int64_t from, int64_t to);
    void ShowWhole();
    // Moves the view by `pixels` columns (positive: later in the sound),
    // stopping at either end of the sound.
    void ScrollByPixels(double pixels);
    // Puts the view's start at `frame`, kept inside the sound; the span stays.
    void MoveStartTo(int64_t frame);

    // The frame under pixel x (fractional pixels allowed), within the view.
    int64_t FrameAt(double x) const;
    // Where frame `frame` lies, in pixels (may lie outside 0..width).
    double PixelOf(int64_t frame) const;
    // Sample frames per pixel column.
    double FramesPerPixel() const;

private:
    int64_t MinSpan() const;
    void Place(int64_t start, int64_t span);

    int64_t total_ = 0;
    int64_t start_ = 0;
    int64_t end_ = 0;
    int width_ = 1;
};

} // namespace zv
