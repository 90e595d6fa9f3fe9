#include "window/AboutBox.h"

#include <QMessageBox>

#include "common/Version.h"

namespace zv {

QString AboutTitle() { return QStringLiteral("About Zorvane"); }

QString AboutText() {
    return QStringLiteral(
               "Zorvane %1\n\n"
               "Times a sound against film and animation frames: open a WAV file, "
               "see its waveform, play it, and read its length and play position "
               "as time and as frames at the frame rate you choose. Mark a stretch "
               "on the timeline with the mouse or the sliders to play just that "
               "stretch and see its length in frames.\n\n"
               "Free software under the GNU General Public License, version 3 "
               "or (at your option) any later version; it comes with no warranty.\n\n"
               "https://zorvane.org")
        .arg(QString::fromUtf8(ProgramVersion()));
}

void ShowAboutBox(QWidget* parent) {
    QMessageBox box(QMessageBox::NoIcon, AboutTitle(), AboutText(), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace zv
