#include "window/PictureBox.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "common/Errors.h"
#include "common/MouseButtons.h"
#include "common/ui/LogCategories.h"
#include "window/Twips.h"

namespace zv {

namespace {

// More batches than this are drawn at once rather than searched further;
// only strokes of alternating colours that overlap get here.
constexpr std::size_t MaxBatches = 64;
// How far beyond its mathematical line a 1-pixel stroke may colour pixels.
constexpr double PenReach = 1.0;

// Clips a segment to `r` (Cohen-Sutherland: each end outside is moved onto
// the edge it lies beyond, set exactly there, so far-off ends keep the
// clipped part precise). Returns false when nothing of it lies inside, or a
// coordinate is not finite.
bool ClipSegment(QLineF& line, const QRectF& r) {
    double x1 = line.x1(), y1 = line.y1(), x2 = line.x2(), y2 = line.y2();
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return false;
    enum : int { Left = 1, Right = 2, Top = 4, Bottom = 8 };
    const auto code = [&r](double x, double y) {
        return (x < r.left() ? Left : 0) | (x > r.right() ? Right : 0) | (y < r.top() ? Top : 0) |
               (y > r.bottom() ? Bottom : 0);
    };
    int c1 = code(x1, y1), c2 = code(x2, y2);
    for (int round = 0; round < 8; ++round) {
        if ((c1 | c2) == 0) {
            line = QLineF(x1, y1, x2, y2);
            return true;
        }
        if (c1 & c2) return false;
        const bool first = c1 != 0;
        const int c = first ? c1 : c2;
        // Ratios in double: the differences of two finite floats are finite.
        double x, y;
        if (c & Left) {
            x = r.left();
            y = y1 + (y2 - y1) * ((x - x1) / (x2 - x1));
        } else if (c & Right) {
            x = r.right();
            y = y1 + (y2 - y1) * ((x - x1) / (x2 - x1));
        } else if (c & Top) {
            y = r.top();
            x = x1 + (x2 - x1) * ((y - y1) / (y2 - y1));
        } else {
            y = r.bottom();
            x = x1 + (x2 - x1) * ((y - y1) / (y2 - y1));
        }
        if (!std::isfinite(x) || !std::isfinite(y)) return false;
        if (first) {
            x1 = x;
            y1 = y;
            c1 = code(x1, y1);
        } else {
            x2 = x;
            y2 = y;
            c2 = code(x2, y2);
        }
    }
    return false;  // only reached through rounding at a corner: nothing to see
}

int16_t ButtonCode(Qt::MouseButtons buttons) {
    int16_t code = 0;
    if (buttons & Qt::LeftButton) code = static_cast<int16_t>(code | MouseButton::Left);
    if (buttons & Qt::RightButton) code = static_cast<int16_t>(code | MouseButton::Right);
    if (buttons & Qt::MiddleButton) code = static_cast<int16_t>(code | MouseButton::Middle);
    return code;
}

int16_t ShiftCode(Qt::KeyboardModifiers modifiers) {
    int16_t code = 0;
    if (modifiers & Qt::ShiftModifier) code = static_cast<int16_t>(code | ShiftKeys::Shift);
    if (modifiers & Qt::ControlModifier) code = static_cast<int16_t>(code | ShiftKeys::Ctrl);
    if (modifiers & Qt::AltModifier) code = static_cast<int16_t>(code | ShiftKeys::Alt);
    return code;
}

} // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    // paintEvent covers every pixel it is asked for from the image.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(0);
    connect(&flushTimer_, &QTimer::timeout, this, [this] { Flush(); });
}

PictureBox::~PictureBox() = default;

void PictureBox::SetBackColor(Rgb colour) {
    back_ = colour;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(colour.r, colour.g, colour.b));
    setPalette(pal);
}

void PictureBox::SetUserScale(float scaleWidth, float scaleHeight) {
    if (!(std::isfinite(scaleWidth) && std::isfinite(scaleHeight)) || scaleWidth == 0.0f || scaleHeight == 0.0f)
        throw ZorvaneError("Invalid property value");
    scaleWidth_ = scaleWidth;
    scaleHeight_ = scaleHeight;
    userScaled_ = true;
}

double PictureBox::DpiX() const {
    if (dpiX_ <= 0.0) dpiX_ = logicalDpiX();
    return dpiX_;
}

double PictureBox::DpiY() const {
    if (dpiY_ <= 0.0) dpiY_ = logicalDpiY();
    return dpiY_;
}

float PictureBox::ScaleWidth() const {
    return userScaled_ ? scaleWidth_ : static_cast<float>(PixelsToTwips(width(), DpiX()));
}

float PictureBox::ScaleHeight() const {
    return userScaled_ ? scaleHeight_ : static_cast<float>(PixelsToTwips(height(), DpiY()));
}

double PictureBox::UnitsToPixelsX() const {
    return userScaled_ ? width() / static_cast<double>(scaleWidth_) : DpiX() / TwipsPerInch;
}

double PictureBox::UnitsToPixelsY() const {
    return userScaled_ ? height() / static_cast<double>(scaleHeight_) : DpiY() / TwipsPerInch;
}

void PictureBox::Clear() {
    ++clearCount_;
    // Whatever was queued would be covered anyway.
    for (std::size_t i = 0; i < usedBatches_; ++i) batches_[i].lines.clear();
    usedBatches_ = 0;
    blank_ = true;   // filled when something is drawn or the picture is read
    dirty_ = QRectF(rect());
    if (!flushTimer_.isActive()) flushTimer_.start();
}

void PictureBox::Line(float x1, float y1, float x2, float y2, Rgb colour) {
    const double sx = UnitsToPixelsX(), sy = UnitsToPixelsY();
    AddSegment(QLineF(x1 * sx, y1 * sy, x2 * sx, y2 * sy), qRgb(colour.r, colour.g, colour.b));
}

void PictureBox::Box(float x1, float y1, float x2, float y2, Rgb colour) {
    const double sx = UnitsToPixelsX(), sy = UnitsToPixelsY();
    const double l = x1 * sx, t = y1 * sy, r = x2 * sx, b = y2 * sy;
    const QRgb c = qRgb(colour.r, colour.g, colour.b);
    // The outline alone: the fill is transparent. With l == r the two sides
    // coincide and the box is a vertical line.
    AddSegment(QLineF(l, t, r, t), c);
    AddSegment(QLineF(r, t, r, b), c);
    AddSegment(QLineF(r, b, l, b), c);
    AddSegment(QLineF(l, b, l, t), c);
}

void PictureBox::Extent::Join(const Extent& e) {
    left = std::min(left, e.left);
    top = std::min(top, e.top);
    right = std::max(right, e.right);
    bottom = std::max(bottom, e.bottom);
}

bool PictureBox::Extent::Overlaps(const Extent& e) const {
    return left < e.right && e.left < right && top < e.bottom && e.top < bottom;
}

void PictureBox::AddSegment(QLineF line, QRgb colour) {
    const QRectF area = QRectF(rect()).adjusted(-2 * PenReach, -2 * PenReach, 2 * PenReach, 2 * PenReach);
    if (area.isEmpty() || !ClipSegment(line, area)) return;
    const Extent touched{std::min(line.x1(), line.x2()) - PenReach, std::min(line.y1(), line.y2()) - PenReach,
                         std::max(line.x1(), line.x2()) + PenReach, std::max(line.y1(), line.y2()) + PenReach};
    if (!flushTimer_.isActive()) flushTimer_.start();

    // Join the latest batch of this colour, unless a later batch of another
    // colour overlaps this stroke: then the stroke must be drawn after it.
    for (std::size_t i = usedBatches_; i-- > 0;) {
        Batch& batch = batches_[i];
        if (batch.colour == colour) {
            batch.lines.push_back(line);
            batch.bounds.Join(touched);
            return;
        }
        if (batch.bounds.Overlaps(touched)) break;
    }
    if (usedBatches_ == MaxBatches) DrawPending();
    if (usedBatches_ == batches_.size()) batches_.emplace_back();
    Batch& batch = batches_[usedBatches_++];
    batch.colour = colour;
    batch.lines.clear();
    batch.lines.push_back(line);
    batch.bounds = touched;
}

void PictureBox::EnsureImage() {
    const qreal dpr = devicePixelRatioF();
    const QSize wanted(static_cast<int>(std::ceil(width() * dpr)), static_cast<int>(std::ceil(height() * dpr)));
    if (image_.size() == wanted && image_.devicePixelRatio() == dpr) return;
    QImage next(wanted, QImage::Format_RGB32);
    next.setDevicePixelRatio(dpr);
    // A new size: keep what was drawn at its place, fill the rest. A blank
    // box keeps nothing; Materialize fills it when it is needed.
    if (!blank_) {
        next.fill(QColor(back_.r, back_.g, back_.b));
        if (!image_.isNull() && !next.isNull()) {
            QPainter p(&next);
            p.drawImage(QPointF(0, 0), image_);
        }
    }
    image_ = std::move(next);
}

void PictureBox::Materialize() {
    EnsureImage();
    if (!blank_) return;
    image_.fill(QColor(back_.r, back_.g, back_.b));
    blank_ = false;
}

void PictureBox::DrawPending() {
    if (usedBatches_ == 0) return;
    Materialize();
    if (!image_.isNull()) {
        QPainter p(&image_);
        p.setRenderHint(QPainter::Antialiasing, false);
        QPen pen;
        pen.setWidthF(1.0);
        for (std::size_t i = 0; i < usedBatches_; ++i) {
            Batch& batch = batches_[i];
            pen.setColor(QColor::fromRgb(batch.colour));
            p.setPen(pen);
            p.drawLines(batch.lines.data(), static_cast<int>(batch.lines.size()));
        }
    }
    for (std::size_t i = 0; i < usedBatches_; ++i) {
        dirty_ |= batches_[i].bounds.Rect();
        batches_[i].lines.clear();
    }
    usedBatches_ = 0;
}

void PictureBox::Flush() {
    DrawPending();
    if (!dirty_.isEmpty()) update(dirty_.toAlignedRect().intersected(rect()));
    dirty_ = QRectF();
}

const QImage& PictureBox::Image() {
    DrawPending();
    Materialize();
    return image_;
}

bool PictureBox::event(QEvent* event) {
    if (event->type() == QEvent::ScreenChangeInternal) {
        dpiX_ = 0.0;
        dpiY_ = 0.0;
    }
    return QWidget::event(event);
}

void PictureBox::paintEvent(QPaintEvent* event) {
    DrawPending();
    // What was queued outside the region asked for is painted next time.
    if (!dirty_.isEmpty() && !QRectF(event->rect()).contains(dirty_)) update(dirty_.toAlignedRect().intersected(rect()));
    dirty_ = QRectF();
    QPainter p(this);
    if (blank_) {
        p.fillRect(event->rect(), QColor(back_.r, back_.g, back_.b));
    } else {
        EnsureImage();   // the widget may have grown since the last drawing
        const QRectF target(event->rect());
        const qreal dpr = image_.devicePixelRatio();
        const QRectF source(target.x() * dpr, target.y() * dpr, target.width() * dpr, target.height() * dpr);
        p.drawImage(target, image_, source);
    }
    // Over the picture, on screen only; each painter gets a fresh state and
    // none of them can end the paint.
    p.setClipRect(event->rect());
    for (const OverlayPainter& overlay : overlays_) {
        p.save();
        try {
            overlay(p);
        } catch (...) {
            // An overlay that fails leaves the picture under it as it is.
            LogCurrentError(LogWindow(), "Painting an overlay");
        }
        p.restore();
    }
}

void PictureBox::AddOverlay(OverlayPainter painter) {
    if (painter) overlays_.push_back(std::move(painter));
    update();
}

void PictureBox::Report(QMouseEvent* event, int16_t button,
                        void (PictureBox::*signal)(int16_t, int16_t, float, float)) {
    const double sx = UnitsToPixelsX(), sy = UnitsToPixelsY();
    const QPointF pos = event->position();
    const auto x = static_cast<float>(sx != 0.0 ? pos.x() / sx : 0.0);
    const auto y = static_cast<float>(sy != 0.0 ? pos.y() / sy : 0.0);
    (this->*signal)(button, ShiftCode(event->modifiers()), x, y);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    const int16_t button = ButtonCode(event->button());
    if (button != 0) Report(event, button, &PictureBox::MouseDown);
    event->accept();
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    Report(event, ButtonCode(event->buttons()), &PictureBox::MouseMove);
    event->accept();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const int16_t button = ButtonCode(event->button());
    if (button != 0) Report(event, button, &PictureBox::MouseUp);
    event->accept();
}

} // namespace zv
