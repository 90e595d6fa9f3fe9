#pragma once
// The program's window as main() sees it: made and handed a file to open,
// without the rest of it in view.
#include <memory>

class QMainWindow;
class QString;

namespace zv {

struct Platform;

// The window, built and loaded (the platform pieces must outlive it);
// showing it is the caller's.
std::unique_ptr<QMainWindow> MakeMainWindow(Platform& platform);
// Opens a path or a file:// URL (as given on the command line) in `window`,
// one made by MakeMainWindow, as a file dropped on it opens.
void OpenInMainWindow(QMainWindow& window, const QString& pathOrUrl);

} // namespace zv
