#include "window/ProgramIcon.h"

#include <QEvent>
#include <QIcon>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

// The 32 x 32 icon: an XPM file is C source (a static array named zorvane).
#include "../../assets/zorvane.xpm"

// The icons live in the UI library's resources; a static library's
// resources must be registered by name before first use.
static void InitResources() { Q_INIT_RESOURCE(zorvane); }

namespace zv {

namespace {

// Adds the large picture to the window's icon after its first paint, then
// goes (one watcher per window, a child of it).
class LargeIconAfterPaint : public QObject {
public:
    explicit LargeIconAfterPaint(QWidget& window) : QObject(&window), window_(&window) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Paint && !queued_) {
            queued_ = true;
            // After the paint has reached the screen: the next turn of the loop.
            QTimer::singleShot(0, this, [this] {
                if (window_) {
                    QIcon icon = window_->windowIcon();
                    icon.addPixmap(QPixmap(QStringLiteral(":/zorvane-256.png")));
                    window_->setWindowIcon(icon);
                    window_->removeEventFilter(this);
                }
                deleteLater();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QWidget> window_;
    bool queued_ = false;
};

} // namespace

void SetProgramIcon(QWidget& window) {
    InitResources();
    QIcon icon;
    icon.addPixmap(QPixmap(zorvane));
    window.setWindowIcon(icon);
    new LargeIconAfterPaint(window);
}

} // namespace zv
