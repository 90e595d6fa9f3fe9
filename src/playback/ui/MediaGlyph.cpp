#include "playback/ui/MediaGlyph.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <algorithm>

namespace zv {

namespace {

class GlyphEngine : public QIconEngine {
public:
    explicit GlyphEngine(MediaGlyph glyph) : glyph_(glyph) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        if (painter == nullptr || rect.isEmpty()) return;
        const QPalette palette = QApplication::palette();
        const QColor ink = mode == QIcon::Disabled
                               ? palette.color(QPalette::Disabled, QPalette::ButtonText)
                               : palette.color(QPalette::Active, QPalette::ButtonText);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setPen(Qt::NoPen);
        painter->setBrush(ink);
        // A square of 5/8 of the smaller side, centred: the glyph's cell.
        const qreal side = std::min(rect.width(), rect.height()) * 0.625;
        const QRectF cell(rect.center().x() + 0.5 - side / 2, rect.center().y() + 0.5 - side / 2, side, side);
        const qreal bar = side / 5;
        const auto triangle = [&](qreal left, qreal right, bool pointsRight) {
            QPainterPath path;
            const qreal tip = pointsRight ? right : left, base = pointsRight ? left : right;
            path.moveTo(base, cell.top());
            path.lineTo(tip, cell.center().y());
            path.lineTo(base, cell.bottom());
            path.closeSubpath();
            painter->drawPath(path);
        };
        const qreal l = cell.left(), r = cell.right(), mid = cell.center().x();
        switch (glyph_) {
        case MediaGlyph::Prev:
            painter->drawRect(QRectF(l, cell.top(), bar, side));
            triangle(l + bar, r, false);
            break;
        case MediaGlyph::Play: triangle(l + bar / 2, r - bar / 2, true); break;
        case MediaGlyph::Pause:
            painter->drawRect(QRectF(l + bar / 2, cell.top(), 1.5 * bar, side));
            painter->drawRect(QRectF(r - 2 * bar, cell.top(), 1.5 * bar, side));
            break;
        case MediaGlyph::Stop: painter->drawRect(cell.adjusted(bar / 2, bar / 2, -bar / 2, -bar / 2)); break;
        case MediaGlyph::Back:
            triangle(l, mid, false);
            triangle(mid, r, false);
            break;
        case MediaGlyph::Step:
            triangle(l, mid, true);
            triangle(mid, r, true);
            break;
        case MediaGlyph::Next:
            triangle(l, r - bar, true);
            painter->drawRect(QRectF(r - bar, cell.top(), bar, side));
            break;
        }
        painter->restore();
    }

    // The toolkit's own pixmap() paints into an uninitialised pixmap: the
    // glyph is drawn over a clear one instead, so only the glyph shows.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        {
            QPainter painter(&pixmap);
            paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        }
        return pixmap;
    }

    QIconEngine* clone() const override { return new GlyphEngine(glyph_); }
    QString key() const override { return QStringLiteral("zorvane-media-glyph"); }

private:
    MediaGlyph glyph_;
};

} // namespace

QIcon MediaGlyphIcon(MediaGlyph glyph) { return QIcon(new GlyphEngine(glyph)); }

} // namespace zv
