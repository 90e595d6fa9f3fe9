// Zorvane: times a sound against film and animation frames.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "playback/MediaDevice.h"
#include "volume/Mixer.h"
#include "volume/ProgramStarter.h"
#include "window/Form1.h"
#include "window/QtFileDialog.h"
#include "window/QtMessageBox.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorvane"));
    QApplication::setDesktopFileName(QStringLiteral("org.zorvane.Zorvane"));

    zv::QtMessageBox messages;
    zv::QtFileDialog fileDialog;
    auto device = zv::CreateSystemMediaDevice();
    auto mixer = zv::CreateSystemMixer();
    auto starter = zv::CreateSystemProgramStarter();
    zv::Platform platform{messages, fileDialog, *device, *mixer, *starter};

    zv::Form1 form(platform);
    messages.SetParent(&form);
    fileDialog.SetParent(&form);
    form.show();
    const int rc = QApplication::exec();
    // Exit and the close box end the program at once: nothing is saved, and
    // the sound output and mixer are not wound down (a playing stream ends
    // with the process).
    std::fflush(nullptr);
    std::quick_exit(rc);
}
