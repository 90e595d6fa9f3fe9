#pragma once
// Form1: the program's only window. It holds every control, the menu bar and
// the state the handlers share; the handlers stay thin and hand the work to
// the core (sound, waveview, playback, selection, volume).
// Geometry is designed in twips (1/1440 inch); see Twips.h for the mapping.
#include <QMainWindow>
#include <cstdint>
#include <string>

#include "sound/SoundData.h"
#include "window/Platform.h"

class QLabel;
class QLineEdit;
class QMenu;
class QAction;

namespace zv {

class PictureBox;
class Slider;
class LineShape;
class MediaControl;

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(Platform& platform, QWidget* parent = nullptr);
    ~Form1() override;

    // Public methods of the window.
    void DrawWaves();
    void PicLength();
    void SetupVolume();

    // Controls (children of the window).
    QWidget* Picture1 = nullptr;       // the bottom panel
    PictureBox* PicWave = nullptr;
    QLabel* LabFilePath = nullptr;
    // Children of Picture1.
    PictureBox* PicTime = nullptr;
    QLabel* LabMCIposition = nullptr;
    QLabel* LblStartFrame = nullptr;
    QLabel* LblEndFrame = nullptr;
    Slider* ScrollStart = nullptr;
    Slider* ScrollEnd = nullptr;
    LineShape* RedLine = nullptr;
    MediaControl* MMControl1 = nullptr;
    Slider* VolSlider = nullptr;
    QLabel* LblTotalTime = nullptr;
    QLabel* LblSelectedTime = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* TxtNumFrames = nullptr;
    // Menus.
    QMenu* MnuFile = nullptr;
    QAction* MnuOpen = nullptr;
    QAction* MnuExit = nullptr;
    QMenu* MnuEdit = nullptr;
    QAction* MnuAbout = nullptr;
    QAction* MnuSelInput = nullptr;

    // Form variables.
    std::string WavFileName;
    int32_t SelStartMs = 0;        // selection start, ms
    int32_t SelEndMs = 0;          // selection end, ms
    float LengthMinutes = 0.0f;
    float PositionMinutes = 0.0f;
    int16_t FramesPerSecond = 0;   // 30 from start-up on
    bool Dragging = false;         // a mouse button is held down on PicTime

    // The loaded-sound record.
    SoundData Sound;

    // Handlers and routines (public so tests can drive them).
    void Form_Load();
    void Form_Resize();
    void MnuOpen_Click();
    void MnuExit_Click();
    void MnuAbout_Click();
    void MnuSelInput_Click();
    void OpenWavFile();
    void ShowTimes();
    void RefreshTimeline();
    void ReadFrameRate();
    void PicTime_MouseDown(int16_t button, int16_t shift, float x, float y);
    void PicTime_MouseMove(int16_t button, int16_t shift, float x, float y);
    void PicTime_MouseUp(int16_t button, int16_t shift, float x, float y);
    void ScrollStart_Scroll();
    void ScrollEnd_Scroll();
    void VolSlider_MouseMove();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    Platform& platform_;
};

} // namespace zv
