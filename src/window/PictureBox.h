#pragma once
// A picture box: a drawing surface that keeps what was drawn on it in an
// image until the next Clear, and paints that image (at the screen's device
// pixel ratio, so lines stay crisp on HiDPI screens).
//
// Coordinates are in the box's scale:
//   - twips by default (x = 0 at the left edge, y = 0 at the top, y down);
//   - after SetUserScale(w, h): 0..w across the inner width and 0..h down
//     the inner height, origin still at the top-left corner.
// The box has no border, so its inner rectangle is the whole widget.
//
// Drawing is batched: segments are collected per colour (keeping the order
// of overlapping strokes) and drawn into the image with one drawLines call
// per batch, when the event loop next runs or the picture is read. Only the
// changed region is repainted.
//
// A box with nothing drawn on it since it was made or last cleared is blank:
// it is painted in its back colour straight away, and its image is made (and
// filled) only when something is drawn or the picture is read. A window
// whose boxes are still empty so starts without making and filling their
// pictures (on virtual machines the first touch of fresh memory is dear).
//
// Mouse events are reported with Visual Basic's codes:
//   button: 1 left, 2 right, 4 middle; a press or release reports the one
//           button, a move the sum of the buttons held;
//   shift:  1 shift, 2 ctrl, 4 alt (summed);
//   x, y:   in the box's scale units.
#include <QImage>
#include <QLineF>
#include <QRectF>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "waveview/Canvas.h"

class QPainter;

namespace zv {

class PictureBox : public QWidget, public Canvas {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);
    ~PictureBox() override;

    // The colour Clear fills with (also the colour of newly exposed areas).
    void SetBackColor(Rgb colour);
    Rgb BackColor() const { return back_; }

    // Sets a user scale: x 0..scaleWidth across the inner width, y
    // 0..scaleHeight down the inner height. A zero or non-finite value is
    // refused with ZorvaneError("Invalid property value"); the scale is then
    // left as it was.
    void SetUserScale(float scaleWidth, float scaleHeight);
    bool IsUserScaled() const { return userScaled_; }
    // The inner size in scale units: the user scale once set, else twips.
    float ScaleWidth() const;
    float ScaleHeight() const;

    // Canvas, in scale units.
    void Clear() override;
    void Line(float x1, float y1, float x2, float y2, Rgb colour) override;
    void Box(float x1, float y1, float x2, float y2, Rgb colour) override;

    // The picture as drawn so far, pending segments included, at device
    // resolution (its devicePixelRatio is the widget's).
    const QImage& Image();
    // How many times Clear has run (every redraw starts with one).
    int ClearCount() const { return clearCount_; }

    // Painters that draw over the picture on screen, never into it: the
    // picture itself (Image()) stays exactly what was drawn.
    using OverlayPainter = std::function<void(QPainter&)>;
    void AddOverlay(OverlayPainter painter);

signals:
    void MouseDown(int16_t button, int16_t shift, float x, float y);
    void MouseMove(int16_t button, int16_t shift, float x, float y);
    void MouseUp(int16_t button, int16_t shift, float x, float y);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // A rectangle of logical pixels as plain edges: joined once per segment,
    // where QRectF's normalising operations cost more than the segment's
    // drawing does.
    struct Extent {
        double left = 0, top = 0, right = 0, bottom = 0;
        void Join(const Extent& e);
        bool Overlaps(const Extent& e) const;
        QRectF Rect() const { return QRectF(QPointF(left, top), QPointF(right, bottom)); }
    };
    struct Batch {
        QRgb colour = 0;
        std::vector<QLineF> lines;  // logical pixels; capacity kept between redraws
        Extent bounds;              // pixels the batch may touch
    };

    // Logical pixels per scale unit, along x and y.
    double UnitsToPixelsX() const;
    double UnitsToPixelsY() const;
    double DpiX() const;
    double DpiY() const;
    void AddSegment(QLineF line, QRgb colour);
    // Sizes the image to the widget (keeping what is drawn unless blank).
    void EnsureImage();
    // Sizes the image and, when blank, fills it: the picture is then real.
    void Materialize();
    // Draws the pending batches into the image, adding their bounds to dirty_.
    void DrawPending();
    void Flush();  // DrawPending and repaint the changed region
    void Report(QMouseEvent* event, int16_t button,
                void (PictureBox::*signal)(int16_t, int16_t, float, float));

    Rgb back_{};
    bool userScaled_ = false;
    float scaleWidth_ = 0.0f;
    float scaleHeight_ = 0.0f;
    mutable double dpiX_ = 0.0;  // cached logical DPI; 0 = read it again
    mutable double dpiY_ = 0.0;
    QImage image_;
    bool blank_ = true;           // nothing drawn since made or cleared: image_ is not the picture
    std::vector<Batch> batches_;
    std::size_t usedBatches_ = 0;
    QRectF dirty_;                // region changed since the last repaint request (pending batches aside)
    QTimer flushTimer_;           // zero-delay: draws what a handler queued
    int clearCount_ = 0;
    std::vector<OverlayPainter> overlays_;  // painted in order, in logical pixels
};

} // namespace zv
