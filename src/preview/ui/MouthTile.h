#pragma once
// One character's place in the Mouth Preview: the character's name over a
// bar of its colour, the drawing of the shape heard now (or the shape's
// name in its place when it has no drawing), the shape's name under it, and
// a "Drawings..." button that picks the character's drawings folder.
#include <QWidget>
#include <string>

class QPushButton;

namespace zv {

class MouthDrawings;

class MouthTile : public QWidget {
    Q_OBJECT
public:
    explicit MouthTile(QWidget* parent = nullptr);

    // What the tile shows; `drawings` may be null (names only) and must
    // outlive the next Show. Repaints only when something changed.
    void Show(const std::string& name, uint32_t colour, const std::string& shape, const MouthDrawings* drawings);
    const std::string& Shape() const { return shape_; }
    // True when the shape's drawing is shown, false when its name stands in.
    bool ShowsDrawing() const;
    QPushButton& DrawingsButton() { return *button_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Where the drawing goes, in the tile's pixels.
    QRect DrawingArea() const;

    std::string name_;
    uint32_t colour_ = 0;
    std::string shape_;
    const MouthDrawings* drawings_ = nullptr;
    QPushButton* button_ = nullptr;
};

} // namespace zv
