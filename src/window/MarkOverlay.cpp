#include "window/MarkOverlay.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

#include "document/Track.h"
#include "sound/SoundData.h"
#include "window/PictureBox.h"

namespace zv {

namespace {

// Room for text: at least this many pixels between a line and the next,
// else the text is not even measured.
constexpr int kMinTextGap = 14;
constexpr int kTextMargin = 3;
constexpr int kBandHeight = 3;

} // namespace

MarkOverlay::MarkOverlay(PictureBox& box, const Track& marks, const SoundData& sound)
    : box_(box), marks_(marks), sound_(sound), font_(QStringLiteral("Arial")) {
    font_.setPointSizeF(8.0);
    box_.AddOverlay([this](QPainter& painter) { Paint(painter); });
}

void MarkOverlay::Update() { box_.update(); }

void MarkOverlay::Paint(QPainter& painter) const {
    const int64_t viewStart = sound_.ViewStart, viewEnd = sound_.ViewEnd;
    const int width = box_.width(), height = box_.height();
    if (marks_.empty() || viewEnd <= viewStart || width <= 0 || height <= 0) return;
    const double perSample = static_cast<double>(width) / static_cast<double>(viewEnd - viewStart);
    // Pixel column of a sample; far-off marks are kept just outside the box.
    const auto column = [&](int64_t sample) {
        const double x = std::floor(static_cast<double>(sample - viewStart) * perSample);
        return static_cast<int>(std::clamp(x, -2.0, static_cast<double>(width) + 1.0));
    };

    const QColor colour = Colour();
    QColor band = colour;
    band.setAlpha(110);
    QPen solid(colour, 0);   // cosmetic: one pixel whatever the scale
    QPen dotted(colour, 0, Qt::DotLine);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(font_);
    const QFontMetrics metrics(font_);

    const auto& marks = marks_.Items();
    int lastLine = std::numeric_limits<int>::min();
    int lastEndLine = std::numeric_limits<int>::min();
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const TrackItem& m = marks[i];
        const int x = column(m.start);
        if (x >= width) break;   // sorted: every later mark starts (and ends) further right
        if (!m.IsPoint()) {
            const int end = column(m.end);
            if (end >= 0 && x < width) {
                const int left = std::max(x, 0), right = std::min(end, width - 1);
                painter.fillRect(QRect(left, 0, right - left + 1, kBandHeight), band);
                if (end < width && end != lastEndLine && end != x) {
                    painter.setPen(dotted);
                    painter.drawLine(end, 0, end, height - 1);
                    lastEndLine = end;
                }
            }
        }
        if (x < 0 || x == lastLine) continue;
        painter.setPen(solid);
        painter.drawLine(x, 0, x, height - 1);
        lastLine = x;

        if (m.text.empty()) continue;
        // The room up to the next mark that lies on another column.
        int next = width;
        for (std::size_t k = i + 1; k < marks.size(); ++k) {
            const int nx = column(marks[k].start);
            if (nx > x) {
                next = std::min(nx, width);
                break;
            }
        }
        const int room = next - x - 2 * kTextMargin;
        if (room < kMinTextGap) continue;
        const QString text = metrics.elidedText(QString::fromStdString(m.text), Qt::ElideRight, room);
        if (text.isEmpty() || text == QStringLiteral("…")) continue;
        painter.drawText(x + kTextMargin, kBandHeight + 1 + metrics.ascent(), text);
    }
}

} // namespace zv
