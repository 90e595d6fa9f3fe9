#pragma once
// MMControl1: the media control. A bar of transport buttons (Prev, Play,
// Pause, Stop, Back, Step, Next) over a MediaDevice, with its own timer that
// raises the status update (event 37) over and over while a file is open.
// All times are 32-bit signed milliseconds.
#include <QWidget>
#include <cstdint>

namespace zv {

class MediaDevice;

class MediaControl : public QWidget {
    Q_OBJECT
public:
    // MCI mode values reported by Mode().
    enum : int32_t { ModeNotReady = 524, ModeStop = 525, ModePlay = 526, ModeRecord = 527,
                     ModeSeek = 528, ModePause = 529, ModeOpen = 530 };

    explicit MediaControl(MediaDevice& device, QWidget* parent = nullptr);

    void SetDeviceType(const std::string& type);   // "WaveAudio"
    void SetFileName(const std::string& path);
    // "Open" opens FileName (finished on return; throws DeviceError with the
    // device's reason when it cannot); "Close" closes (harmless when nothing is open).
    void SetCommand(const std::string& command);
    int32_t Length() const;     // ms; 0 with nothing open
    int32_t Position() const;   // ms being heard now
    int32_t Mode() const;
    void SetFrom(int32_t ms);   // play-range start
    int32_t From() const;
    void SetTo(int32_t ms);     // play-range end
    int32_t To() const;
    // The frame rate Step and Back move by (frames per second).
    void SetFrameRate(int16_t framesPerSecond);

signals:
    void StatusUpdate();        // event 37
    void PlayCompleted();       // stands for event 13
    void StopCompleted();       // stands for event 16
};

} // namespace zv
