#include "window/MainWindow.h"

#include <QAction>

#include "window/Form1.h"

namespace zv {

std::unique_ptr<QMainWindow> MakeMainWindow(Platform& platform) { return std::make_unique<Form1>(platform); }

void OpenInMainWindow(QMainWindow& window, const QString& pathOrUrl) {
    if (auto* form = qobject_cast<Form1*>(&window)) form->OpenGivenFile(pathOrUrl);
}

void ChooseFileToOpen(QMainWindow& window) {
    if (auto* form = qobject_cast<Form1*>(&window)) form->MnuOpen->trigger();
}

bool IsOpening(const QMainWindow& window) {
    const auto* form = qobject_cast<const Form1*>(&window);
    return form != nullptr && form->Opening();
}

const SoundData* OpenSound(const QMainWindow& window) {
    const auto* form = qobject_cast<const Form1*>(&window);
    return form != nullptr ? &form->Sound : nullptr;
}

std::string OpenFileName(const QMainWindow& window) {
    const auto* form = qobject_cast<const Form1*>(&window);
    return form != nullptr ? form->WavFileName : std::string();
}

Session* SharedState(QMainWindow& window) {
    auto* form = qobject_cast<Form1*>(&window);
    return form != nullptr ? &form->State() : nullptr;
}

void RefreshTimeLine(QMainWindow& window) {
    if (auto* form = qobject_cast<Form1*>(&window)) form->RefreshTimeline();
}

MainWindowControls ControlsOf(QMainWindow& window) {
    auto* form = qobject_cast<Form1*>(&window);
    if (form == nullptr) return {};
    return {form->PicWave, form->PicTime, form->Picture1, form->MMControl1};
}

} // namespace zv
