#include "window/LineShape.h"

#include <QEvent>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <exception>

#include "common/ui/LogCategories.h"
#include "window/Twips.h"

namespace zv {

LineShape::LineShape(QWidget* parent) : QWidget(parent) {
    // A painted line, not a control: clicks reach what lies beneath.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void LineShape::SetLine(float x1, float y1, float x2, float y2) { Place(x1, y1, x2, y2); }

void LineShape::SetX2(float x2) { Place(x1_, y1_, x2, y2_); }

void LineShape::SetColour(const QColor& colour) {
    colour_ = colour;
    update();
}

void LineShape::SetBorderWidth(int pixels) {
    width_ = std::max(1, pixels);
    Place(x1_, y1_, x2_, y2_);
}

void LineShape::Place(float x1, float y1, float x2, float y2) {
    // Everything that can fail comes before anything changes.
    const double dpiX = logicalDpiX(), dpiY = logicalDpiY();
    const QPoint a(PixelEdge(x1, dpiX), PixelEdge(y1, dpiY));
    const QPoint b(PixelEdge(x2, dpiX), PixelEdge(y2, dpiY));
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    a_ = a;
    b_ = b;
    const int margin = width_;
    setGeometry(QRect(QPoint(std::min(a.x(), b.x()) - margin, std::min(a.y(), b.y()) - margin),
                      QPoint(std::max(a.x(), b.x()) + margin, std::max(a.y(), b.y()) + margin)));
    update();
}

bool LineShape::event(QEvent* event) {
    if (event->type() == QEvent::ScreenChangeInternal) {
        try {
            Place(x1_, y1_, x2_, y2_);
        } catch (const std::exception&) {
            // Out of reach on the new screen: keep the old placement.
            LogCurrentError(LogWindow(), "Placing the line on the new screen");
        }
    }
    return QWidget::event(event);
}

void LineShape::paintEvent(QPaintEvent*) {
    const QPointF origin = pos();
    QPainter p(this);
    QPen pen(colour_, width_);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.drawLine(QPointF(a_) - origin, QPointF(b_) - origin);
}

} // namespace zv
