#pragma once
// A Platform for window tests: recording message box, cancelling file
// dialog, a mixer without a volume control, a starter that records; the media
// device is the real one (it plays nothing unless told to).
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
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

    // Questions asked; each is answered with the button captioned `answer`
    // (-1 when there is none).
    std::vector<std::string> questions;
    std::string answer = "Discard";
    int Ask(const std::string& text, const std::vector<std::string>& buttons) override {
        questions.push_back(text);
        for (std::size_t i = 0; i < buttons.size(); ++i)
            if (buttons[i] == answer) return static_cast<int>(i);
        return -1;
    }
    // Text questions go to `questions` too, answered from `typed`, oldest
    // first; with none left, as a cancel.
    std::vector<std::string> typed;
    std::optional<std::string> AskText(const std::string& text, const std::string&) override {
        questions.push_back(text);
        if (typed.empty()) return std::nullopt;
        std::string answer = typed.front();
        typed.erase(typed.begin());
        return answer;
    }
};

// Answers with `answer`: nothing (the user cancels) unless a test sets a path.
struct ScriptedFileDialog : FileDialog {
    int shown = 0;
    std::string filter;
    int selectedFilter = 0;
    std::optional<std::string> answer;
    std::optional<std::string> ShowOpen(const std::string& f, int selected) override {
        ++shown;
        filter = f;
        selectedFilter = selected;
        return answer;
    }

    // The save dialog: answers with `saveAnswer` (nothing: the user cancels).
    int saveShown = 0;
    std::string saveFilter;
    int saveSelectedFilter = 0;
    std::string suggestedPath;
    std::optional<SaveChoice> saveAnswer;
    std::optional<SaveChoice> ShowSave(const std::string& f, int selected, const std::string& suggested) override {
        ++saveShown;
        saveFilter = f;
        saveSelectedFilter = selected;
        suggestedPath = suggested;
        return saveAnswer;
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

template <typename Device>
Device MakeDevice() {
    if constexpr (std::is_same_v<Device, std::unique_ptr<MediaDevice>>) return CreateSystemMediaDevice();
    else return Device{new typename Device::element_type};
}

template <typename Device>
struct FakePlatformWith {
    RecordingMessageBox messages;
    ScriptedFileDialog fileDialog;
    Device device = MakeDevice<Device>();
    MixerWithoutVolume mixer;
    RecordingStarter starter;
    Platform platform{messages, fileDialog, *device, mixer, starter};
};

// The real media device (silent unless told to play).
using FakePlatform = FakePlatformWith<std::unique_ptr<MediaDevice>>;

} // namespace zv::test
