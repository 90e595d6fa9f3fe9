#pragma once
// A Platform for window tests: recording message box, cancelling file
// dialog, a mixer without a volume control, a starter that records; the media
// device is the real one (it plays nothing unless told to).
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/MessageBox.h"
#include "playback/MediaDevice.h"
#include "volume/Mixer.h"
#include "volume/ProgramStarter.h"
#include "window/FileDialog.h"
#include "window/Platform.h"

namespace zv::test {

struct RecordingMessageBox : MessageBox {
    std::vector<std::string> texts;
    void Show(const std::string& text) override { texts.push_back(text); }
};

struct CancellingFileDialog : FileDialog {
    int shown = 0;
    std::optional<std::string> ShowOpen(const std::string&, int) override {
        ++shown;
        return std::nullopt;
    }
};

struct MixerWithoutVolume : Mixer {
    bool Open() override { return true; }
    bool FindVolumeControl(int32_t&, int32_t&, int32_t&) override { return false; }
    bool SetVolume(int32_t) override { return false; }
};

struct RecordingStarter : ProgramStarter {
    std::vector<std::string> paths;
    bool Start(const std::string& path) override {
        paths.push_back(path);
        return false;
    }
};

struct FakePlatform {
    RecordingMessageBox messages;
    CancellingFileDialog fileDialog;
    std::unique_ptr<MediaDevice> device = CreateSystemMediaDevice();
    MixerWithoutVolume mixer;
    RecordingStarter starter;
    Platform platform{messages, fileDialog, *device, mixer, starter};
};

} // namespace zv::test
