// Placeholder until the window work lands.
#include "window/Form1.h"

#include <QResizeEvent>

namespace zv {

Form1::Form1(Platform& platform, QWidget* parent) : QMainWindow(parent), platform_(platform) {
    setWindowTitle(QStringLiteral("Zorvane"));
}
Form1::~Form1() = default;

void Form1::DrawWaves() {}
void Form1::PicLength() {}
void Form1::SetupVolume() {}
void Form1::Form_Load() {}
void Form1::Form_Resize() {}
void Form1::MnuOpen_Click() {}
void Form1::MnuExit_Click() {}
void Form1::MnuAbout_Click() {}
void Form1::MnuSelInput_Click() {}
void Form1::OpenWavFile() {}
void Form1::ShowTimes() {}
void Form1::RefreshTimeline() {}
void Form1::ReadFrameRate() {}
void Form1::PicTime_MouseDown(int16_t, int16_t, float, float) {}
void Form1::PicTime_MouseMove(int16_t, int16_t, float, float) {}
void Form1::PicTime_MouseUp(int16_t, int16_t, float, float) {}
void Form1::ScrollStart_Scroll() {}
void Form1::ScrollEnd_Scroll() {}
void Form1::VolSlider_MouseMove() {}
void Form1::resizeEvent(QResizeEvent* event) { QMainWindow::resizeEvent(event); }

} // namespace zv
