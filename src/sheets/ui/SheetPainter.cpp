#include "sheets/ui/SheetPainter.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QColor>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryFile>
#include <QFileInfo>
#include <QDir>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "sheets/SheetLayout.h"

namespace zv {

namespace {

QString Q(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Column widths as parts of a block's width.
struct Columns {
    double margin = 0;    // frame, second, foot
    double action = 0;
    double word = 0;      // per speaker
    double mouth = 0;     // per speaker
    double beats = 0;
};

Columns ColumnsFor(double width, std::size_t speakers) {
    const double n = static_cast<double>(speakers);
    // Shares: margin 3, action 4, per speaker word 4 and mouth 2.5, beats 2.
    const double shares = 3 + 4 + n * 6.5 + 2;
    const double unit = width / shares;
    return {3 * unit, 4 * unit, 4 * unit, 2.5 * unit, 2 * unit};
}

// The text in the cell, its type made smaller when it is wider than the
// cell (a long word in a narrow column of several characters' sheet).
void DrawCell(QPainter& painter, const QRectF& cell, const std::string& text, Qt::Alignment align) {
    if (text.empty()) return;
    const QRectF room = cell.adjusted(cell.height() * 0.15, 0, -cell.height() * 0.15, 0);
    const QString words = Q(text);
    const QFont font = painter.font();
    const double wide = QFontMetricsF(font, painter.device()).horizontalAdvance(words);
    if (room.width() <= 0 || wide <= room.width() || font.pixelSize() <= 1) {
        painter.drawText(room, align | Qt::AlignVCenter, words);
        return;
    }
    QFont smaller = font;
    smaller.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * room.width() / wide * 0.95)));
    painter.setFont(smaller);
    painter.drawText(room, align | Qt::AlignVCenter, words);
    painter.setFont(font);
}

// A held value: a thin line down the middle of the cell.
void DrawHold(QPainter& painter, const QRectF& cell) {
    const double x = cell.left() + cell.width() * 0.2;
    painter.drawLine(QPointF(x, cell.top()), QPointF(x, cell.bottom()));
}

void DrawBlock(QPainter& painter, const SheetLayout& layout, const SheetPage& page, const SheetBlock& block,
               const QRectF& area, const QPen& thin, const QPen& heavy) {
    QPen light = thin;
    light.setColor(QColor(150, 150, 150));
    const std::vector<std::string>& names = page.speakerNames;
    const std::size_t speakers = names.size();
    const Columns c = ColumnsFor(area.width(), speakers);
    const double rows = static_cast<double>(std::max<int64_t>(layout.RowsPerBlock(), 1));
    // Characters' names go on a line of their own above their two columns' titles.
    const bool named = std::any_of(names.begin(), names.end(), [](const std::string& n) { return !n.empty(); });
    const double nameHeight = named ? area.height() * 0.025 : 0;
    const double titleHeight = area.height() * 0.035;
    const double rowHeight = (area.height() - nameHeight - titleHeight) / rows;

    // Column edges, left to right.
    std::vector<double> edges{area.left(), area.left() + c.margin, area.left() + c.margin + c.action};
    std::vector<std::string> titles{"FRAME", "ACTION"};
    for (std::size_t s = 0; s < speakers; ++s) {
        edges.push_back(edges.back() + c.word);
        edges.push_back(edges.back() + c.mouth);
        titles.push_back("DIALOGUE");
        titles.push_back("MOUTH");
    }
    edges.push_back(edges.back() + c.beats);
    titles.push_back("BEATS");

    QFont font = painter.font();
    font.setBold(true);
    // One size for the titles, small enough for the longest in its column.
    double titlePixels = titleHeight * 0.45;
    font.setPixelSize(std::max(1, static_cast<int>(titlePixels)));
    painter.setFont(font);
    const QFontMetricsF metrics = QFontMetricsF(painter.fontMetrics());
    for (std::size_t i = 0; i + 1 < edges.size(); ++i) {
        // DrawCell keeps 0.15 of the cell's height clear at each side.
        const double room = (edges[i + 1] - edges[i] - titleHeight * 0.3) * 0.95;
        const double wide = metrics.horizontalAdvance(Q(titles[i]));
        if (wide > room && wide > 0) titlePixels = std::min(titlePixels, titleHeight * 0.45 * room / wide);
    }
    // Several characters' narrow columns would make every title tiny: the
    // titles keep a readable size and only those still too wide shrink.
    if (speakers > 1) titlePixels = std::max(titlePixels, titleHeight * 0.3);
    font.setPixelSize(std::max(1, static_cast<int>(titlePixels)));
    painter.setFont(font);
    painter.setPen(thin);
    const double titleTop = area.top() + nameHeight;
    for (std::size_t i = 0; i + 1 < edges.size(); ++i)
        DrawCell(painter, QRectF(edges[i], titleTop, edges[i + 1] - edges[i], titleHeight), titles[i],
                 Qt::AlignHCenter);
    // Each name across its character's DIALOGUE and MOUTH, ruled off from the next.
    QFont nameFont = font;
    nameFont.setPixelSize(std::max(1, static_cast<int>(nameHeight * 0.5)));
    if (named) painter.setFont(nameFont);
    for (std::size_t s = 0; named && s < speakers; ++s) {
        const QRectF over(edges[2 + 2 * s], area.top(), edges[4 + 2 * s] - edges[2 + 2 * s], nameHeight);
        DrawCell(painter, over, names[s], Qt::AlignHCenter);
        painter.drawLine(QPointF(over.left(), over.top()), QPointF(over.right(), over.top()));
        painter.drawLine(QPointF(over.right(), over.top()), QPointF(over.right(), over.bottom()));
        painter.drawLine(QPointF(over.left(), over.top()), QPointF(over.left(), over.bottom()));
    }
    font.setBold(false);
    font.setPixelSize(std::max(1, static_cast<int>(rowHeight * 0.8)));
    painter.setFont(font);

    const double top = titleTop + titleHeight;
    for (std::size_t r = 0; r < block.rows.size(); ++r) {
        const SheetRow& row = block.rows[r];
        const double y = top + static_cast<double>(r) * rowHeight;
        const auto cell = [&](std::size_t column) {
            return QRectF(edges[column], y, edges[column + 1] - edges[column], rowHeight);
        };
        // The margin: the frame number, with the second and the foot before it.
        std::string margin = row.second;
        if (!row.foot.empty()) margin += (margin.empty() ? "" : " ") + row.foot;
        DrawCell(painter, cell(0), margin, Qt::AlignLeft);
        DrawCell(painter, cell(0), std::to_string(row.frame), Qt::AlignRight);
        DrawCell(painter, cell(1), row.action, Qt::AlignLeft);
        for (std::size_t s = 0; s < row.speakers.size() && s < speakers; ++s) {
            const SheetRow::Speaker& sp = row.speakers[s];
            DrawCell(painter, cell(2 + 2 * s), sp.word, Qt::AlignLeft);
            if (sp.wordHeld) DrawHold(painter, cell(2 + 2 * s));
            DrawCell(painter, cell(3 + 2 * s), sp.mouth, Qt::AlignHCenter);
        }
        DrawCell(painter, cell(edges.size() - 2), row.beat, Qt::AlignHCenter);
        // The line above the row: light between frames, heavy on a second,
        // heavy across the beats column on a bar.
        painter.setPen(row.secondLine ? heavy : light);
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        if (row.barLine) {
            painter.setPen(heavy);
            painter.drawLine(QPointF(edges[edges.size() - 2], y), QPointF(edges.back(), y));
        }
        painter.setPen(thin);
    }
    const double bottom = top + rows * rowHeight;
    painter.drawLine(QPointF(area.left(), titleTop), QPointF(area.right(), titleTop));
    painter.drawLine(QPointF(area.left(), bottom), QPointF(area.right(), bottom));
    for (double x : edges) painter.drawLine(QPointF(x, titleTop), QPointF(x, bottom));
}

} // namespace

bool PaintSheet(QPagedPaintDevice& device, const SheetLayout& layout) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    const QRectF page(0, 0, device.width(), device.height());
    const double headerHeight = page.height() * 0.03;
    const double thinWidth = std::max(1.0, page.height() / 3000.0);
    const QPen thin(Qt::black, thinWidth);
    const QPen heavy(Qt::black, thinWidth * 3);
    for (int n = 1; n <= layout.PageCount(); ++n) {
        if (n > 1 && !device.newPage()) return false;
        const SheetPage sheet = layout.Page(n);
        QFont font = painter.font();
        font.setPixelSize(std::max(1, static_cast<int>(headerHeight * 0.5)));
        painter.setFont(font);
        painter.setPen(thin);
        painter.drawText(QRectF(page.left(), page.top(), page.width(), headerHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         Q(sheet.header));
        const double blocks = static_cast<double>(std::max<std::size_t>(sheet.blocks.size(), 1));
        const double gap = sheet.blocks.size() > 1 ? page.width() * 0.02 : 0;
        const double width = (page.width() - gap * (blocks - 1)) / blocks;
        for (std::size_t b = 0; b < sheet.blocks.size(); ++b) {
            const QRectF area(page.left() + static_cast<double>(b) * (width + gap), page.top() + headerHeight * 1.2,
                              width, page.height() - headerHeight * 1.2);
            DrawBlock(painter, layout, sheet, sheet.blocks[b], area, thin, heavy);
        }
    }
    return painter.end();
}

std::optional<std::string> WriteSheetPdf(const SheetLayout& layout, const std::string& path) {
    const QFileInfo target(Q(path));
    QTemporaryFile temp(target.absoluteDir().filePath(QStringLiteral(".") + target.fileName() +
                                                      QStringLiteral(".XXXXXX")));
    if (!temp.open()) return "the folder can't be written: " + temp.errorString().toStdString();
    {
        QPdfWriter writer(&temp);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        writer.setResolution(300);
        writer.setTitle(QStringLiteral("Exposure sheet"));
        writer.setCreator(QStringLiteral("Zorvane"));
        if (!PaintSheet(writer, layout)) return std::string("the sheet can't be drawn");
    }
    if (!temp.flush() || temp.error() != QFileDevice::NoError)
        return "the file can't be written: " + temp.errorString().toStdString();
    // The PDF takes the usual permissions of a new file, not the temporary's private ones.
    temp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);
    const std::string tempName = temp.fileName().toStdString();
    temp.setAutoRemove(false);
    temp.close();
    // Renamed over the target in one step: it is the old file or the new one, never half of either.
    std::error_code ec;
    std::filesystem::rename(tempName, path, ec);
    if (ec) {
        const std::string why = ec.message();
        std::filesystem::remove(tempName, ec);
        return "the file can't be put in place: " + why;
    }
    return std::nullopt;
}

} // namespace zv
