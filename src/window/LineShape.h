#pragma once
// A line shape: a straight line painted on its container, from (X1, Y1) to
// (X2, Y2) in the container's twips, in a colour and a width in pixels. It
// takes no mouse input and no focus; it lies under the container's other
// controls.
#include <QColor>
#include <QWidget>

namespace zv {

class LineShape : public QWidget {
    Q_OBJECT
public:
    explicit LineShape(QWidget* parent = nullptr);

    // Ends in the container's twips. Raise OverflowError (nothing changed)
    // for an end beyond a widget's reach.
    void SetLine(float x1, float y1, float x2, float y2);
    void SetX2(float x2);
    float X1() const { return x1_; }
    float Y1() const { return y1_; }
    float X2() const { return x2_; }
    float Y2() const { return y2_; }

    void SetColour(const QColor& colour);
    QColor Colour() const { return colour_; }
    void SetBorderWidth(int pixels);
    int BorderWidth() const { return width_; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Takes new ends and places the widget over the line's pixels (with a
    // margin of the pen width). Raises OverflowError, changing nothing, when
    // an end lies out of a widget's reach.
    void Place(float x1, float y1, float x2, float y2);

    float x1_ = 0.0f, y1_ = 0.0f, x2_ = 0.0f, y2_ = 0.0f;
    QColor colour_ = Qt::black;
    int width_ = 1;
    QPoint a_, b_;  // the ends in the container's pixels
};

} // namespace zv
