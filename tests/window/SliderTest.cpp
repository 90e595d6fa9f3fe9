#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "window/Slider.h"

namespace zv {
namespace {

struct SliderTest : ::testing::Test {
    Slider slider;
    int scrolls = 0;
    int moves = 0;
    void SetUp() override {
        slider.resize(200, 21);
        slider.setRange(0, 10);
        slider.setSingleStep(1);
        slider.setPageStep(5);
        QObject::connect(&slider, &Slider::Scroll, [this] { ++scrolls; });
        QObject::connect(&slider, &Slider::MouseMove, [this] { ++moves; });
    }
    void Key(int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&slider, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(&slider, &release);
    }
    void Mouse(QEvent::Type type, QPointF pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent e(type, pos, slider.mapToGlobal(pos), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&slider, &e);
    }
};

TEST_F(SliderTest, ValuesTheProgramSetsRaiseNoScrollAndAreClamped) {
    slider.setValue(7);
    slider.setValue(20);
    EXPECT_EQ(slider.value(), 10);
    slider.setValue(-3);
    EXPECT_EQ(slider.value(), 0);
    slider.setValue(9);
    slider.setRange(0, 4);  // clamps the value: still not the user's move
    EXPECT_EQ(slider.value(), 4);
    slider.setMaximum(2147483647);
    slider.setValue(2147483000);
    EXPECT_EQ(slider.value(), 2147483000);
    EXPECT_EQ(scrolls, 0);
}

TEST_F(SliderTest, KeysRaiseScrollAfterTheValueChanged) {
    int seen = -1;
    QObject::connect(&slider, &Slider::Scroll, [&] { seen = slider.value(); });
    Key(Qt::Key_Right);
    EXPECT_EQ(scrolls, 1);
    EXPECT_EQ(seen, 1);
    Key(Qt::Key_PageUp);
    EXPECT_EQ(slider.value(), 6);
    EXPECT_EQ(seen, 6);
    Key(Qt::Key_End);
    EXPECT_EQ(seen, 10);
    EXPECT_EQ(scrolls, 3);
    // A key that moves nothing (already at the end) raises nothing; the next
    // value the program sets raises nothing either.
    Key(Qt::Key_Right);
    slider.setValue(3);
    EXPECT_EQ(scrolls, 3);
}

TEST_F(SliderTest, WheelAndTrackClickRaiseScroll) {
    QWheelEvent wheel(QPointF(100, 10), slider.mapToGlobal(QPointF(100, 10)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&slider, &wheel);
    EXPECT_EQ(scrolls, 1);
    const int afterWheel = slider.value();
    EXPECT_NE(afterWheel, 0);
    // A click on the track far right of the thumb moves the value towards it.
    slider.setValue(0);
    Mouse(QEvent::MouseButtonPress, {195, 10}, Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, {195, 10}, Qt::LeftButton, Qt::NoButton);
    EXPECT_GT(slider.value(), 0);
    EXPECT_EQ(scrolls, 2);
}

TEST_F(SliderTest, DraggingTheThumbRaisesScrollForEachNewValue) {
    slider.setValue(0);
    const QPoint thumb(3, 10);  // the thumb sits at the left end
    Mouse(QEvent::MouseButtonPress, thumb, Qt::LeftButton, Qt::LeftButton);
    ASSERT_TRUE(slider.isSliderDown());
    Mouse(QEvent::MouseMove, {100, 10}, Qt::NoButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, {199, 10}, Qt::NoButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, {199, 10}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(slider.value(), 10);
    EXPECT_EQ(scrolls, 2);
    EXPECT_EQ(moves, 2);
}

TEST_F(SliderTest, ScrollHandlerSettingTheValueIsNotReportedAgain) {
    QObject::connect(&slider, &Slider::Scroll, [this] { slider.setValue(slider.value() + 1); });
    Key(Qt::Key_Right);
    EXPECT_EQ(slider.value(), 2);
    EXPECT_EQ(scrolls, 1);
}

TEST_F(SliderTest, MouseMoveOnEveryMoveWithOrWithoutButtons) {
    EXPECT_TRUE(slider.hasMouseTracking());
    Mouse(QEvent::MouseMove, {50, 10}, Qt::NoButton, Qt::NoButton);
    Mouse(QEvent::MouseMove, {60, 10}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(moves, 2);
    EXPECT_EQ(scrolls, 0);
}

} // namespace
} // namespace zv
