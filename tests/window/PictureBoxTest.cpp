#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

#include "common/Errors.h"
#include "window/LineShape.h"
#include "window/PictureBox.h"
#include "window/Twips.h"

namespace zv {
namespace {

constexpr Rgb Back{128, 128, 128};
constexpr Rgb Red{255, 0, 0};
constexpr Rgb Green{0, 255, 0};
constexpr Rgb Blue{0, 0, 255};

QRgb Q(Rgb c) { return qRgb(c.r, c.g, c.b); }

// A 100 x 20 pixel box with the strip's user scale: 1000 x 10 units, so
// 10 units a pixel across and half a unit a pixel down.
struct Strip : ::testing::Test {
    PictureBox box;
    void SetUp() override {
        box.SetBackColor(Back);
        box.resize(100, 20);
        box.SetUserScale(1000, 10);
        box.Clear();
    }
    QRgb At(int x, int y) { return box.Image().pixel(x, y) | 0xff000000u; }
};

TEST_F(Strip, KeepsWhatIsDrawnUntilTheNextClear) {
    box.Line(0, 2, 1000, 2, Red);   // row 4
    box.Line(0, 6, 1000, 6, Blue);  // row 12, drawn later: the first stays
    EXPECT_EQ(At(50, 4), Q(Red));
    EXPECT_EQ(At(50, 12), Q(Blue));
    EXPECT_EQ(At(50, 8), Q(Back));
    box.Clear();
    for (int x = 0; x < 100; x += 7)
        for (int y = 0; y < 20; y += 3) EXPECT_EQ(At(x, y), Q(Back));
    EXPECT_EQ(box.ClearCount(), 2);
}

TEST_F(Strip, UserScaleMapsToTheInnerRectangle) {
    EXPECT_TRUE(box.IsUserScaled());
    EXPECT_FLOAT_EQ(box.ScaleWidth(), 1000.0f);
    EXPECT_FLOAT_EQ(box.ScaleHeight(), 10.0f);
    box.Line(500, 0, 500, 10, Red);
    EXPECT_EQ(At(50, 0), Q(Red));
    EXPECT_EQ(At(50, 19), Q(Red));
    EXPECT_EQ(At(49, 10), Q(Back));
    EXPECT_EQ(At(51, 10), Q(Back));
}

TEST_F(Strip, BoxIsAnOutlineWithTransparentFillInEitherCornerOrder) {
    box.Line(0, 5, 1000, 5, Green);           // row 10, under the box
    box.Box(800, 8, 200, 2, Red);             // pixels 20..80 x 4..16
    EXPECT_EQ(At(20, 10), Q(Red));
    EXPECT_EQ(At(80, 10), Q(Red));
    EXPECT_EQ(At(50, 4), Q(Red));
    EXPECT_EQ(At(50, 16), Q(Red));
    EXPECT_EQ(At(50, 10), Q(Green));          // the inside keeps what lay there
    EXPECT_EQ(At(50, 7), Q(Back));
    EXPECT_EQ(At(10, 4), Q(Back));            // nothing beyond the corners
    const QImage forward = box.Image().copy();
    box.Clear();
    box.Line(0, 5, 1000, 5, Green);
    box.Box(200, 2, 800, 8, Red);
    EXPECT_EQ(box.Image(), forward);
}

TEST_F(Strip, ZeroWidthBoxIsAVerticalLine) {
    box.Box(300, 0, 300, 10, Blue);
    for (int y = 0; y < 20; ++y) EXPECT_EQ(At(30, y), Q(Blue)) << y;
    EXPECT_EQ(At(29, 10), Q(Back));
    EXPECT_EQ(At(31, 10), Q(Back));
}

TEST_F(Strip, OverlappingStrokesOfOtherColoursKeepTheirOrder) {
    // Red, then green over it, then red again over that; elsewhere red then
    // green: batching per colour must not change what ends on top.
    box.Line(0, 3, 1000, 3, Red);
    box.Line(0, 3, 500, 3, Green);
    box.Line(0, 3, 200, 3, Red);
    box.Line(0, 8, 1000, 8, Green);
    box.Line(0, 8, 300, 8, Red);
    box.Line(700, 8, 1000, 8, Red);
    EXPECT_EQ(At(10, 6), Q(Red));
    EXPECT_EQ(At(40, 6), Q(Green));
    EXPECT_EQ(At(70, 6), Q(Red));
    EXPECT_EQ(At(10, 16), Q(Red));
    EXPECT_EQ(At(50, 16), Q(Green));
    EXPECT_EQ(At(90, 16), Q(Red));
    // The blue end mark drawn after the red start mark at the same x covers it.
    box.Box(600, 0, 600, 10, Red);
    box.Box(600, 0, 600, 10, Blue);
    EXPECT_EQ(At(60, 2), Q(Blue));
}

TEST_F(Strip, ManyAlternatingStrokesStayInOrder) {
    // More alternations over one pixel than batches are kept.
    for (int i = 0; i < 301; ++i) box.Line(0, 5, 1000, 5, i % 2 ? Green : Red);
    EXPECT_EQ(At(50, 10), Q(Red));
}

TEST_F(Strip, UnusableScaleIsRefusedAndTheOldOneKept) {
    EXPECT_THROW(box.SetUserScale(0, 10), ZorvaneError);
    EXPECT_THROW(box.SetUserScale(1000, 0), ZorvaneError);
    EXPECT_THROW(box.SetUserScale(std::numeric_limits<float>::infinity(), 10), ZorvaneError);
    EXPECT_FLOAT_EQ(box.ScaleWidth(), 1000.0f);
    EXPECT_FLOAT_EQ(box.ScaleHeight(), 10.0f);
}

TEST_F(Strip, SegmentsFarOutsideOrNotFiniteAreClippedOrSkipped) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    box.Line(nan, 0, 10, 10, Green);
    box.Line(-3e38f, 1, 3e38f, 1, Red);      // crosses the box: row 2 drawn
    box.Line(-5e30f, -5e30f, -4e30f, -4e30f, Green);
    box.Box(-1e30f, -1e30f, 1e30f, 1e30f, Green);
    EXPECT_EQ(At(0, 2), Q(Red));
    EXPECT_EQ(At(99, 2), Q(Red));
    EXPECT_EQ(At(50, 10), Q(Back));
}

TEST_F(Strip, ResizeKeepsThePictureAndFillsTheNewPart) {
    box.Line(0, 2, 1000, 2, Red);
    box.resize(150, 20);
    EXPECT_EQ(At(50, 4), Q(Red));
    EXPECT_EQ(At(120, 4), Q(Back));
    // The user scale now spans the wider box.
    box.Line(1000, 0, 1000, 10, Blue);
    EXPECT_EQ(At(149, 10), Q(Back));
    box.Line(980, 0, 980, 10, Blue);
    EXPECT_EQ(At(147, 10), Q(Blue));
}

TEST_F(Strip, PaintShowsTheKeptPicture) {
    box.Line(0, 2, 1000, 2, Red);
    box.Box(300, 0, 300, 10, Blue);
    const QImage painted = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(painted.size(), QSize(100, 20));
    EXPECT_EQ(painted.pixel(50, 4) | 0xff000000u, Q(Red));
    EXPECT_EQ(painted.pixel(30, 12) | 0xff000000u, Q(Blue));
    EXPECT_EQ(painted.pixel(70, 12) | 0xff000000u, Q(Back));
}

TEST_F(Strip, ABlankBoxPaintsItsColourAndGivesAFullPictureAtItsSize) {
    // Drawn, cleared, then grown while blank: nothing of the old drawing
    // shows, on screen or in the picture, and the picture is the new size.
    box.Line(0, 2, 1000, 2, Red);
    box.Image();
    box.Clear();
    box.resize(130, 24);
    const QImage painted = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(painted.size(), QSize(130, 24));
    for (int x = 0; x < 130; x += 9) EXPECT_EQ(painted.pixel(x, 4) | 0xff000000u, Q(Back));
    ASSERT_EQ(box.Image().size(), QSize(130, 24));
    for (int x = 0; x < 130; x += 9)
        for (int y = 0; y < 24; y += 5) EXPECT_EQ(At(x, y), Q(Back));
    // Drawing on it again fills the rest of it first.
    box.Clear();
    box.Line(0, 2, 1000, 2, Blue);
    EXPECT_EQ(At(50, 4), Q(Blue));
    EXPECT_EQ(At(50, 12), Q(Back));
}

TEST(PictureBox, TwipsScaleBeforeAUserScale) {
    PictureBox box;
    box.SetBackColor({64, 0, 64});
    box.resize(200, 100);
    const double dpi = box.logicalDpiX();
    EXPECT_FALSE(box.IsUserScaled());
    EXPECT_FLOAT_EQ(box.ScaleWidth(), static_cast<float>(200 * 1440 / dpi));
    box.Clear();
    // A vertical segment at pixel column 40, from row 10 to row 50.
    const auto twips = [&](double px) { return static_cast<float>(PixelsToTwips(px, dpi)); };
    box.Line(twips(40), twips(10), twips(40), twips(50), Green);
    const QImage& img = box.Image();
    EXPECT_EQ(img.pixel(40, 30) | 0xff000000u, Q(Green));
    EXPECT_EQ(img.pixel(41, 30) | 0xff000000u, qRgb(64, 0, 64));
    EXPECT_EQ(img.pixel(40, 60) | 0xff000000u, qRgb(64, 0, 64));
}

struct MouseRecord {
    int16_t button, shift;
    float x, y;
};

TEST(PictureBox, MouseReportsVbCodesInScaleUnits) {
    PictureBox box;
    box.resize(100, 20);
    box.SetUserScale(1000, 10);
    std::vector<std::tuple<char, MouseRecord>> seen;
    QObject::connect(&box, &PictureBox::MouseDown, [&](int16_t b, int16_t s, float x, float y) {
        seen.emplace_back('d', MouseRecord{b, s, x, y});
    });
    QObject::connect(&box, &PictureBox::MouseMove, [&](int16_t b, int16_t s, float x, float y) {
        seen.emplace_back('m', MouseRecord{b, s, x, y});
    });
    QObject::connect(&box, &PictureBox::MouseUp, [&](int16_t b, int16_t s, float x, float y) {
        seen.emplace_back('u', MouseRecord{b, s, x, y});
    });
    const auto send = [&](QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons,
                          Qt::KeyboardModifiers mods) {
        QMouseEvent e(type, pos, box.mapToGlobal(pos), button, buttons, mods);
        QApplication::sendEvent(&box, &e);
    };
    send(QEvent::MouseButtonPress, {25, 10}, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    send(QEvent::MouseButtonPress, {30, 4}, Qt::RightButton, Qt::LeftButton | Qt::RightButton,
         Qt::ControlModifier | Qt::AltModifier);
    send(QEvent::MouseMove, {40.5, 2}, Qt::NoButton, Qt::LeftButton | Qt::RightButton, Qt::NoModifier);
    send(QEvent::MouseButtonRelease, {41, 2}, Qt::LeftButton, Qt::RightButton, Qt::NoModifier);
    send(QEvent::MouseButtonPress, {5, 0}, Qt::MiddleButton, Qt::RightButton | Qt::MiddleButton, Qt::NoModifier);
    send(QEvent::MouseMove, {200, -10}, Qt::NoButton, Qt::NoButton, Qt::NoModifier);  // outside: still reported
    ASSERT_EQ(seen.size(), 6u);
    const auto check = [&](std::size_t i, char kind, int16_t b, int16_t s, float x, float y) {
        EXPECT_EQ(std::get<0>(seen[i]), kind) << i;
        const MouseRecord& r = std::get<1>(seen[i]);
        EXPECT_EQ(r.button, b) << i;
        EXPECT_EQ(r.shift, s) << i;
        EXPECT_FLOAT_EQ(r.x, x) << i;
        EXPECT_FLOAT_EQ(r.y, y) << i;
    };
    check(0, 'd', 1, 1, 250, 5);
    check(1, 'd', 2, 6, 300, 2);
    check(2, 'm', 3, 0, 405, 1);
    check(3, 'u', 1, 0, 410, 1);
    check(4, 'd', 4, 0, 50, 0);
    check(5, 'm', 0, 0, 2000, -5);
}

TEST(LineShape, SpansItsEndsTakesNoMouseAndKeepsItsPlaceOnOverflow) {
    QWidget panel;
    panel.resize(800, 200);
    LineShape line(&panel);
    line.SetBorderWidth(3);
    line.SetColour(QColor(255, 128, 0));
    const double dpi = line.logicalDpiX();
    line.SetLine(0, 1080, 9360, 1080);
    const int y = PixelEdge(1080, line.logicalDpiY());
    EXPECT_TRUE(line.geometry().contains(0, y));
    EXPECT_TRUE(line.geometry().contains(PixelEdge(9360, dpi) - 1, y));
    EXPECT_TRUE(line.testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(line.focusPolicy(), Qt::NoFocus);
    line.SetX2(3000);
    EXPECT_FLOAT_EQ(line.X2(), 3000.0f);
    EXPECT_FALSE(line.geometry().contains(PixelEdge(3000, dpi) + 10, y));
    EXPECT_THROW(line.SetX2(1e30f), OverflowError);
    EXPECT_FLOAT_EQ(line.X2(), 3000.0f);
    EXPECT_FLOAT_EQ(line.Y1(), 1080.0f);
    // It paints its colour along the line, 3 pixels thick.
    panel.setAutoFillBackground(true);
    QPalette pal;
    pal.setColor(QPalette::Window, Qt::white);
    panel.setPalette(pal);
    const QImage img = panel.grab().toImage();
    EXPECT_EQ(img.pixel(50, y) | 0xff000000u, qRgb(255, 128, 0));
    EXPECT_EQ(img.pixel(50, y - 1) | 0xff000000u, qRgb(255, 128, 0));
    EXPECT_EQ(img.pixel(50, y + 1) | 0xff000000u, qRgb(255, 128, 0));
    EXPECT_EQ(img.pixel(50, y + 3) | 0xff000000u, qRgb(255, 255, 255));
}

} // namespace
} // namespace zv
