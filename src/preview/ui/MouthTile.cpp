#include "preview/ui/MouthTile.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "preview/ui/MouthDrawings.h"

namespace zv {

namespace {
constexpr int kMargin = 4;
constexpr int kBar = 3;   // the colour bar under the name, pixels
} // namespace

MouthTile::MouthTile(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->addStretch(1);
    button_ = new QPushButton(QStringLiteral("Drawings..."), this);
    // Reached with Tab, not taken by a click: Space and the arrows keep
    // playing and stepping after the button was used.
    button_->setFocusPolicy(Qt::TabFocus);
    layout->addWidget(button_, 0, Qt::AlignHCenter);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void MouthTile::Show(const std::string& name, uint32_t colour, const std::string& shape,
                     const MouthDrawings* drawings) {
    if (name == name_ && colour == colour_ && shape == shape_ && drawings == drawings_) return;
    if (name != name_) button_->setAccessibleName(QStringLiteral("Drawings of ") + QString::fromStdString(name));
    name_ = name;
    colour_ = colour;
    shape_ = shape;
    drawings_ = drawings;
    update();
}

bool MouthTile::ShowsDrawing() const { return drawings_ && drawings_->Has(shape_); }

QSize MouthTile::sizeHint() const { return {200, 210}; }
QSize MouthTile::minimumSizeHint() const { return {100, 120}; }

QRect MouthTile::DrawingArea() const {
    // The name, the drawing and the shape's name as one group, centred
    // above the button; the drawing no taller than the drawings are
    // (mouths are wider than high), so a tall panel keeps them together.
    const QFontMetrics fm(font());
    const int width = this->width() - 2 * kMargin;
    const int above = fm.height() + kBar + kMargin, below = kMargin + fm.height();
    const int room = button_->geometry().top() - kMargin - kMargin - above - below;
    const int height = std::max(0, std::min(room, width * 3 / 4));
    const int top = kMargin + std::max(0, room - height) / 2 + above;
    return QRect(kMargin, top, width, height);
}

void MouthTile::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QFontMetrics fm(font());
    const QColor colour(static_cast<int>((colour_ >> 16) & 0xFF), static_cast<int>((colour_ >> 8) & 0xFF),
                        static_cast<int>(colour_ & 0xFF));
    // The name over its colour bar.
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    const QRect area = DrawingArea();
    const QRect nameBox(kMargin, area.top() - kMargin - kBar - fm.height(), width() - 2 * kMargin, fm.height());
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(nameBox, Qt::AlignCenter, fm.elidedText(QString::fromStdString(name_), Qt::ElideRight, nameBox.width()));
    p.fillRect(QRect(kMargin, nameBox.bottom() + 1, nameBox.width(), kBar), colour);
    p.setFont(font());

    const QString shape = QString::fromStdString(shape_);
    QPixmap picture;
    if (drawings_) picture = drawings_->Picture(shape_, area.size(), devicePixelRatioF());
    if (!picture.isNull()) {
        const QSizeF shown = picture.deviceIndependentSize();
        p.drawPixmap(QPointF(area.x() + (area.width() - shown.width()) / 2, area.y() + (area.height() - shown.height()) / 2),
                     picture);
    } else if (!area.isEmpty()) {
        // No drawing: the shape's name in its place, large, in a dashed box.
        p.setPen(QPen(palette().color(QPalette::Mid), 1, Qt::DashLine));
        p.drawRect(area.adjusted(0, 0, -1, -1));
        QFont big = font();
        big.setPointSizeF(font().pointSizeF() * 2.5);
        big.setBold(true);
        p.setFont(big);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(area, Qt::AlignCenter, shape);
        p.setFont(font());
    }
    // The shape's name under the drawing.
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRect(kMargin, area.bottom() + 1 + kMargin, width() - 2 * kMargin, fm.height()), Qt::AlignCenter, shape);
}

} // namespace zv
