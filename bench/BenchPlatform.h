#pragma once
// The platform pieces the benchmarks hand the window: a dialog that answers
// with a path set beforehand (no user to click), a message box that prints
// to stderr (a message during a measurement makes the row fail), and the
// real media device (made on first use) and mixer (opening early), as the
// program makes them, and the real program starter.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "common/MessageBox.h"
#include "playback/DeferredMediaDevice.h"
#include "playback/MediaDevice.h"
#include "volume/DeferredMixer.h"
#include "volume/Mixer.h"
#include "volume/ProgramStarter.h"
#include "window/FileDialog.h"
#include "window/Platform.h"

namespace zv::bench {

struct PrintingMessageBox : MessageBox {
    int shown = 0;
    void Show(const std::string& text) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        ++shown;
    }
};

struct AnsweringFileDialog : FileDialog {
    std::optional<std::string> answer;
    std::optional<std::string> ShowOpen(const std::string&, int) override { return answer; }
    std::optional<SaveChoice> ShowSave(const std::string&, int, const std::string&) override { return saveAnswer; }
    std::optional<SaveChoice> saveAnswer;
};

struct BenchPlatform {
    PrintingMessageBox messages;
    AnsweringFileDialog fileDialog;
    std::unique_ptr<DeferredMediaDevice> device = std::make_unique<DeferredMediaDevice>(&CreateSystemMediaDevice);
    std::unique_ptr<DeferredMixer> mixer = std::make_unique<DeferredMixer>(CreateSystemMixer());
    std::unique_ptr<ProgramStarter> starter = CreateSystemProgramStarter();
    Platform platform{messages, fileDialog, *device, *mixer, *starter};

    // What the program does once its window is painted: the mixer opens and
    // the sound output starts. Waits for the output, as a user choosing a
    // file would give it time to.
    void WindowShown() {
        mixer->Prepare();
        device->Prepare();
        device->Device();
    }
};

}  // namespace zv::bench
