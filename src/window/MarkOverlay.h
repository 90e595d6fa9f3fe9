#pragma once
// The marks drawn over the waveform box: a thin line at each mark with its
// text beside it where there is room for the text, in a colour of their own
// (cyan: apart from the play line's amber, the selection's tints, the
// traces' pure red and green and the box's purple). A range has a solid
// line at its start, a dotted one at its end and a thin band along the top
// between them. Drawn on screen over the picture, never
// into it, at whatever part of the sound the box shows: the loaded-sound
// record's ViewStart..ViewEnd (sample frames) across the box's width.
// Marks that fall on the same pixel column are drawn once, so a dense
// breakdown costs no more than the box is wide.
#include <QColor>
#include <QFont>

class QPainter;

namespace zv {

class Track;
class PictureBox;
struct SoundData;

class MarkOverlay {
public:
    static QColor Colour() { return QColor(64, 224, 255); }

    // Paints over `box` from now on; `marks` and `sound` must outlive it.
    MarkOverlay(PictureBox& box, const Track& marks, const SoundData& sound);

    // Asks the box to paint again (the marks or the view changed).
    void Update();

    void Paint(QPainter& painter) const;

private:
    PictureBox& box_;
    const Track& marks_;
    const SoundData& sound_;
    QFont font_;
};

} // namespace zv
