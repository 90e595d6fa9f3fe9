// Zorvane: times a sound against film and animation frames.
#include <QApplication>

#include "playback/MediaDevice.h"
#include "volume/Mixer.h"
#include "volume/ProgramStarter.h"
#include "window/Form1.h"
#include "window/QtFileDialog.h"
#include "window/QtMessageBox.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorvane"));
    QApplication::setDesktopFileName(QStringLiteral("zorvane"));

    zv::QtMessageBox messages;
    zv::QtFileDialog fileDialog;
    auto device = zv::CreateSystemMediaDevice();
    auto mixer = zv::CreateSystemMixer();
    auto starter = zv::CreateSystemProgramStarter();
    zv::Platform platform{messages, fileDialog, *device, *mixer, *starter};

    zv::Form1 form(platform);
    form.show();
    return QApplication::exec();
}
