// The toolkit's floor for the start-up row: a Qt Widgets program that shows
// an empty window of about Zorvane's size. With ZORVANE_REPORT_FIRST_PAINT
// set it reports its first paint exactly as zorvane does (see src/main.cpp):
// "first-paint <seconds of CLOCK_MONOTONIC>" on stderr.
#include <time.h>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace {

class FirstPaintReport : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            QTimer::singleShot(0, [] {
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                std::fprintf(stderr, "first-paint %.6f\n",
                             static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9);
                std::fflush(stderr);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool reported_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Empty"));
    window.resize(699, 645);
    FirstPaintReport report;
    if (std::getenv("ZORVANE_REPORT_FIRST_PAINT") != nullptr) window.installEventFilter(&report);
    window.show();
    return QApplication::exec();
}
