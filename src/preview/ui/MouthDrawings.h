#pragma once
// A character's mouth drawings: one image per shape of the character's
// mouth set, read from a folder of files named by shape (MouthDrawingFiles:
// "AI.png", "MBP.svg", ... or "A.png" ... "X.svg"), PNG or SVG. With no
// folder, Zorvane's own drawings of a built-in set (compiled in from
// assets/mouths). A shape with no drawing, or whose file fails to load, is
// missing: the panel shows its name in its place.
//
// Units: pixel sizes are device-independent pixels; the drawings are made
// at the device pixel ratio given so they stay sharp on HiDPI screens.
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QSvgRenderer;

namespace zv {

class MouthSet;

class MouthDrawings {
public:
    // A file larger than this (bytes) is refused unread: no mouth drawing
    // needs more, and a huge one would stall the panel.
    static constexpr qint64 kMaxFileBytes = qint64{32} << 20;

    // Reads `set`'s drawings from `folder` ("" = Zorvane's own, when the
    // set is built in). Never throws; what went wrong is in Error().
    static MouthDrawings Load(const std::string& folder, const MouthSet& set);

    MouthDrawings();
    ~MouthDrawings();
    MouthDrawings(MouthDrawings&&) noexcept;
    MouthDrawings& operator=(MouthDrawings&&) noexcept;

    bool Has(const std::string& shape) const { return sources_.count(shape) != 0; }
    // The shape's drawing fitted within `size` (its proportions kept) at
    // `ratio` device pixels a pixel; a null pixmap when it has none. Made
    // once per size and kept: playing only draws pixmaps already made.
    const QPixmap& Picture(const std::string& shape, QSize size, qreal ratio) const;

    // The set's shapes without a drawing, in the set's order.
    const std::vector<std::string>& Missing() const { return missing_; }
    // "" or the message for the user: the folder cannot be read, or which
    // files failed to load and why.
    const std::string& Error() const { return error_; }
    // The folder read ("" for Zorvane's own).
    const std::string& Folder() const { return folder_; }

private:
    struct Source {
        QImage image;                           // a PNG
        std::shared_ptr<QSvgRenderer> svg;      // or an SVG
    };
    std::string folder_;
    std::map<std::string, Source> sources_;
    std::vector<std::string> missing_;
    std::string error_;
    // The pictures made, for the size and ratio last asked.
    mutable std::map<std::string, QPixmap> pictures_;
    mutable QSize pictureSize_;
    mutable qreal pictureRatio_ = 0;
};

} // namespace zv
