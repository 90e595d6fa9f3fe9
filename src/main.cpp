// Zorvane: times a sound against film and animation frames.
//
// ZORVANE_REPORT_FIRST_PAINT (any value) in the environment: once the window
// has been painted for the first time, prints "first-paint <seconds>" on
// stderr, the seconds of CLOCK_MONOTONIC (the start-up benchmark reads it).
//
// zorvane [FILE]: FILE (a path or a file:// URL, as a desktop's "Open With"
// hands it over) is opened once the window is up, as File > Open would.
//
// zorvane --beats SOUND ...: the beats of SOUND, headless (see cli/BeatsCommand.h).
// zorvane --sheet SOUND ...: the exposure sheet of SOUND, headless (cli/SheetCommand.h).
// zorvane --help, --version: printed before any toolkit starts (no display needed).
#include <time.h>

#include <QApplication>
#include <QGuiApplication>
#include <QMainWindow>
#include <QEvent>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cli/BeatsCommand.h"
#include "cli/BreakdownCommand.h"
#include "cli/ProgramHelp.h"
#include "cli/SheetCommand.h"
#include "playback/DeferredMediaDevice.h"
#include "playback/MediaDevice.h"
#include "sheets/ui/SheetPainter.h"
#include "volume/DeferredMixer.h"
#include "volume/Mixer.h"
#include "volume/ProgramStarter.h"
#include "window/FontWarmUp.h"
#include "window/MainWindow.h"
#include "window/Platform.h"
#include "window/QtFileDialog.h"
#include "window/QtMessageBox.h"

namespace {

// Runs `then` once, right after the window has been painted for the first
// time (the window and its children are painted and shown in one go).
class AfterFirstPaint : public QObject {
public:
    explicit AfterFirstPaint(std::function<void()> then) : then_(std::move(then)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && then_) QTimer::singleShot(0, std::exchange(then_, nullptr));
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> then_;
};

// The sheet command's PDF: the toolkit started only then, drawing off
// screen, so it needs no display.
std::optional<std::string> WriteSheetPdfHeadless(const zv::SheetLayout& layout, const std::string& path) {
    if (QGuiApplication::instance() == nullptr) {
        // The toolkit's own warnings (a missing runtime folder, fonts) are
        // not the command's messages: only the sheet's outcome is told.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
        });
        static int argc = 3;
        static char name[] = "zorvane";
        static char platform[] = "-platform";
        static char offscreen[] = "offscreen";
        static char* argv[] = {name, platform, offscreen, nullptr};
        // Kept to the end of the process: it is never torn down under the drawing.
        static QGuiApplication* app = new QGuiApplication(argc, argv);
        (void)app;
    }
    return zv::WriteSheetPdf(layout, path);
}

} // namespace

int main(int argc, char** argv) {
    // Headless commands: no toolkit, no display, no sound output.
    if (const auto text = zv::HelpOrVersion(std::vector<std::string>(argv, argv + argc))) {
        std::fputs(text->c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (argc > 1 && std::string(argv[1]) == "--sheet")
        return zv::RunSheetCommand(std::vector<std::string>(argv, argv + argc), std::cerr, &WriteSheetPdfHeadless);
    if (zv::IsBeatsCommand(argc, argv)) return zv::RunBeatsCommand({argv, argv + argc}, stderr);
    if (argc > 1 && std::string(argv[1]) == "--breakdown")
        return zv::RunBreakdownCommand(std::vector<std::string>(argv, argv + argc), std::cin, std::cerr);
    // The font configuration loads while the toolkit starts up. The mixer
    // connects to the sound system once the window is up (DeferredMixer.h).
    zv::FontWarmUp fonts;
    zv::DeferredMixer mixer(zv::CreateSystemMixer());
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zorvane"));
    QApplication::setDesktopFileName(QStringLiteral("org.zorvane.Zorvane"));

    zv::QtMessageBox messages;
    zv::QtFileDialog fileDialog;
    // The sound output starts once the window is up (see DeferredMediaDevice.h).
    zv::DeferredMediaDevice device(&zv::CreateSystemMediaDevice);
    auto starter = zv::CreateSystemProgramStarter();
    zv::Platform platform{messages, fileDialog, device, mixer, *starter};

    fonts.Wait();   // before the window's first text
    const std::unique_ptr<QMainWindow> window = zv::MakeMainWindow(platform);
    QMainWindow& form = *window;
    messages.SetParent(&form);
    fileDialog.SetParent(&form);
    // Qt has taken its own options out of the arguments by now.
    const QStringList arguments = QCoreApplication::arguments();
    const QString given = arguments.size() > 1 ? arguments.at(1) : QString();
    AfterFirstPaint afterFirstPaint([&form, &device, &mixer, &afterFirstPaint, given] {
        form.removeEventFilter(&afterFirstPaint);
        if (std::getenv("ZORVANE_REPORT_FIRST_PAINT") != nullptr) {
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            std::fprintf(stderr, "first-paint %.6f\n",
                         static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9);
            std::fflush(stderr);
        }
        mixer.Prepare();
        device.Prepare();
        if (!given.isEmpty()) QTimer::singleShot(0, &form, [&form, given] { zv::OpenInMainWindow(form, given); });
    });
    form.installEventFilter(&afterFirstPaint);
    form.show();
    const int rc = QApplication::exec();
    // Exit and the close box end the program at once: nothing is saved, and
    // the sound output and mixer are not wound down (a playing stream ends
    // with the process).
    std::fflush(nullptr);
    std::quick_exit(rc);
}
