// The program's icon on a window: the small picture from the start, the
// large one once the window has been painted.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QImage>
#include <QWidget>

#include "window/ProgramIcon.h"

namespace zv {
namespace {

TEST(ProgramIcon, SmallPictureAtOnceLargeOneAfterTheFirstPaint) {
    QWidget window;
    SetProgramIcon(window);
    ASSERT_FALSE(window.windowIcon().isNull());
    EXPECT_EQ(window.windowIcon().availableSizes(), QList<QSize>({QSize(32, 32)}));
    // The picture itself, not a blank: the drawing has opaque and clear pixels.
    const QImage small = window.windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    int opaque = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) opaque += qAlpha(small.pixel(x, y)) == 255 ? 1 : 0;
    EXPECT_GT(opaque, 32);
    EXPECT_LT(opaque, 32 * 32);

    // Events before the window is shown change nothing.
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.windowIcon().availableSizes().contains(QSize(256, 256)));

    window.resize(200, 100);
    window.show();
    QElapsedTimer clock;
    clock.start();
    while (!window.windowIcon().availableSizes().contains(QSize(256, 256)) && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(window.windowIcon().availableSizes().contains(QSize(256, 256)));
    EXPECT_TRUE(window.windowIcon().availableSizes().contains(QSize(32, 32)));
    // Once: later paints add nothing.
    window.update();
    QCoreApplication::processEvents();
    EXPECT_EQ(window.windowIcon().availableSizes().size(), 2);
}

} // namespace
} // namespace zv
