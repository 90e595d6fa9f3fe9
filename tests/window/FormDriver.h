#pragma once
// Drives the shown window as a user would: opens a file through the scripted
// dialog, waits for the media control's own status update (the timeline
// refresh), and sends mouse events to the timeline strip at a time in ms or
// at a fractional pixel. Events go through QApplication, so the widgets'
// own handlers map them (the strip's user scale, the button codes).
#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <string>

#include "playback/ui/MediaControl.h"
#include "window/Form1.h"
#include "window/PictureBox.h"

namespace zv::test {

// Shows `form` with a client area `width` pixels wide (the design height
// kept) and waits until it is on screen.
inline bool ShowWithClientWidth(Form1& form, int width) {
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return false;
    const int frameW = form.width() - form.centralWidget()->width();
    form.resize(width + frameW, form.height());
    QApplication::processEvents();
    return form.centralWidget()->width() == width;
}

// Waits for the media control's next status update: the window's timeline
// refresh has run when it returns true. Event-driven; the timeout only ends
// a test that would otherwise hang.
inline bool WaitForRefresh(Form1& form) {
    QSignalSpy spy(form.MMControl1, &MediaControl::StatusUpdate);
    return spy.wait(10000);
}

// The strip's pixel x (fractional) for `ms` on a strip scaled to `lengthMs`:
// the user scale spans the widget's whole width (the box has no border).
inline double StripPixel(const Form1& form, double ms, double lengthMs) {
    return ms * form.PicTime->width() / lengthMs;
}

// A mouse event on the strip at pixel (x, y) with the buttons held after it.
inline void SendStripMouse(Form1& form, QEvent::Type type, QPointF pos, Qt::MouseButton button,
                           Qt::MouseButtons held) {
    QMouseEvent e(type, pos, form.PicTime->mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(form.PicTime, &e);
}

} // namespace zv::test
