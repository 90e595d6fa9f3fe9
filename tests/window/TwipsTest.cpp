#include <gtest/gtest.h>

#include "common/Errors.h"
#include "window/Twips.h"

namespace zv {
namespace {

TEST(Twips, FifteenTwipsAPixelAt96Dpi) {
    EXPECT_DOUBLE_EQ(TwipsToPixels(15, 96), 1.0);
    EXPECT_DOUBLE_EQ(TwipsToPixels(10485, 96), 699.0);
    EXPECT_DOUBLE_EQ(PixelsToTwips(699, 96), 10485.0);
    EXPECT_DOUBLE_EQ(TwipsToPixels(1440, 120), 120.0);
    EXPECT_EQ(ToPixelRect({0, 7020, 10485, 2295}, 96, 96), QRect(0, 468, 699, 153));
}

TEST(Twips, HalvesAtAFractionalTwipMeetOnOnePixel) {
    // 10485 / 2 = 5242.5 twips = 349.5 pixels at 96 dpi.
    for (double dpi : {96.0, 120.0, 144.0, 110.0}) {
        for (float w : {10485.0f, 10500.0f, 7.0f, 18015.0f, 12345.0f}) {
            const QRect left = ToPixelRect({0, 0, w / 2.0f, 255}, dpi, dpi);
            const QRect right = ToPixelRect({w / 2.0f, 0, w / 2.0f, 255}, dpi, dpi);
            const QRect whole = ToPixelRect({0, 0, w, 255}, dpi, dpi);
            EXPECT_EQ(left.right() + 1, right.left()) << w << " at " << dpi;
            EXPECT_EQ(right.right(), whole.right()) << w << " at " << dpi;
        }
    }
    // Quarters of the media row meet the same way.
    const float w = 10485.0f;
    const QRect media = ToPixelRect({0, 0, static_cast<float>(w * 0.75), 330}, 96, 96);
    const QRect volume = ToPixelRect({static_cast<float>(w * 0.75), 0, static_cast<float>(w * 0.25), 315}, 96, 96);
    EXPECT_EQ(media.right() + 1, volume.left());
}

TEST(Twips, EdgesOutOfReachRaiseOverflow) {
    EXPECT_THROW(PixelEdge(1e12, 96), OverflowError);
    EXPECT_THROW(PixelEdge(std::numeric_limits<double>::quiet_NaN(), 96), OverflowError);
    EXPECT_EQ(PixelEdge(-15, 96), -1);
}

} // namespace
} // namespace zv
