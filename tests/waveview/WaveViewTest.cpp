// The waveform view's arithmetic: zooming keeps the frame under the pointer,
// the view never leaves the sound, and the closest zoom is one frame a pixel.
#include <gtest/gtest.h>

#include "waveview/WaveView.h"

namespace zv {
namespace {

TEST(WaveView, ZoomKeepsTheAnchorFrameAndStaysInsideTheSound) {
    WaveView v;
    v.SetWidth(1000);
    v.Reset(1'000'000);
    EXPECT_TRUE(v.IsWhole());
    const int64_t under = v.FrameAt(250.0);
    v.ZoomAround(4.0, 250.0);
    EXPECT_EQ(v.Span(), 250'000);
    EXPECT_NEAR(static_cast<double>(v.FrameAt(250.0)), static_cast<double>(under), 1.0);
    // Zoom in to the limit and back out: at most one frame a pixel, and the
    // whole sound again at the other end.
    for (int i = 0; i < 40; ++i) v.ZoomAround(2.0, 999.0);
    EXPECT_EQ(v.Span(), 1000);
    EXPECT_LE(v.End(), 1'000'000);
    for (int i = 0; i < 40; ++i) v.ZoomOut();
    EXPECT_TRUE(v.IsWhole());

    // Near the ends the view is pushed back inside rather than shrunk.
    v.ZoomAround(10.0, 0.0);
    EXPECT_EQ(v.Start(), 0);
    v.ScrollByPixels(1e9);
    EXPECT_EQ(v.End(), 1'000'000);
    EXPECT_EQ(v.Span(), 100'000);
    v.ScrollByPixels(-100.0);
    EXPECT_EQ(v.End(), 990'000);
    v.MoveStartTo(-5);
    EXPECT_EQ(v.Start(), 0);
    EXPECT_EQ(v.Span(), 100'000);
}

TEST(WaveView, ZoomToARangeAndShortSounds) {
    WaveView v;
    v.SetWidth(600);
    v.Reset(48'000);
    v.ZoomTo(12'000, 24'000);
    EXPECT_EQ(v.Start(), 12'000);
    EXPECT_EQ(v.End(), 24'000);
    EXPECT_DOUBLE_EQ(v.PixelOf(18'000), 300.0);
    EXPECT_EQ(v.FrameAt(300.0), 18'000);
    // Narrower than the closest zoom: widened around its middle.
    v.ZoomTo(47'990, 48'000);
    EXPECT_EQ(v.Span(), 600);
    EXPECT_EQ(v.End(), 48'000);
    v.ZoomTo(100, 50);   // reversed: nothing changes
    EXPECT_EQ(v.Span(), 600);

    // A sound shorter than the box: always the whole sound.
    v.Reset(100);
    v.ZoomIn();
    EXPECT_TRUE(v.IsWhole());
    v.Reset(0);
    v.ZoomIn();
    v.ScrollByPixels(10);
    EXPECT_EQ(v.Span(), 0);
    EXPECT_EQ(v.FrameAt(5), 0);
}

TEST(WaveView, ZoomKeepsThePositionInSight) {
    WaveView v;
    v.SetWidth(1000);
    v.Reset(1'000'000);
    // In view: the position keeps its screen x through zooms in and out.
    const int64_t position = 12'345;
    const double x = v.PixelOf(position);
    for (int i = 0; i < 6; ++i) {
        v.ZoomKeeping(2.0, position);
        EXPECT_NEAR(v.PixelOf(position), x, 0.5) << "zoom " << i;
    }
    EXPECT_EQ(v.Span(), 1'000'000 / 64);
    v.ZoomKeeping(0.5, position);
    EXPECT_NEAR(v.PixelOf(position), x, 0.5);
    // Out of view: centred after the zoom, as far as the sound's ends allow.
    v.ZoomKeeping(2.0, 700'000);
    EXPECT_EQ(v.Span(), 1'000'000 / 64);
    EXPECT_NEAR(v.PixelOf(700'000), 500.0, 1.0);
    v.ZoomKeeping(2.0, 999'999);
    EXPECT_EQ(v.End(), 1'000'000);
    // The sound's end is shown by a view that reaches it.
    EXPECT_TRUE(v.Shows(1'000'000));
    EXPECT_FALSE(v.Shows(v.Start() - 1));
}

TEST(WaveView, ScrollToShowMovesOnlyForAPositionOutOfSight) {
    WaveView v;
    v.SetWidth(500);
    v.Reset(100'000);
    v.ZoomTo(0, 10'000);
    EXPECT_FALSE(v.ScrollToShow(9'999));   // the last frame shown
    EXPECT_EQ(v.Start(), 0);
    EXPECT_TRUE(v.ScrollToShow(10'000));    // one past: centred
    EXPECT_EQ(v.Start(), 5'000);
    EXPECT_EQ(v.Span(), 10'000);
    EXPECT_TRUE(v.ScrollToShow(0));
    EXPECT_EQ(v.Start(), 0);
    EXPECT_TRUE(v.ScrollToShow(200'000));   // beyond the end: the view stops there
    EXPECT_EQ(v.End(), 100'000);
    v.Reset(0);
    EXPECT_FALSE(v.ScrollToShow(5));
}

} // namespace
} // namespace zv
