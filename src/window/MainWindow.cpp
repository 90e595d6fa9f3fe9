#include "window/MainWindow.h"

#include "window/Form1.h"

namespace zv {

std::unique_ptr<QMainWindow> MakeMainWindow(Platform& platform) { return std::make_unique<Form1>(platform); }

void OpenInMainWindow(QMainWindow& window, const QString& pathOrUrl) {
    if (auto* form = qobject_cast<Form1*>(&window)) form->OpenGivenFile(pathOrUrl);
}

} // namespace zv
