#pragma once
// Answers the modal window that `action` opens: the window's own Show event
// is the signal (an event filter on the application sees it), and `answer`
// (which must close the window) runs as soon as the window's event loop
// turns. A modal window still open after a minute is closed so that a test
// never hangs. Returns how many modal windows were answered.
#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace zv::test {

class ModalAnswerer : public QObject {
public:
    explicit ModalAnswerer(std::function<void(QWidget*)> answer) : answer_(std::move(answer)) {
        qApp->installEventFilter(this);
    }
    ~ModalAnswerer() override { qApp->removeEventFilter(this); }
    int Answered() const { return answered_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
        auto* window = static_cast<QWidget*>(watched);
        if (!window->isWindow() || !window->isModal()) return false;
        QPointer<QWidget> shown(window);
        QTimer::singleShot(0, this, [this, shown] {
            if (!shown || !shown->isVisible()) return;
            ++answered_;
            answer_(shown);
        });
        QTimer::singleShot(60000, this, [shown] {
            if (shown && shown->isVisible()) shown->close();
        });
        return false;
    }

private:
    std::function<void(QWidget*)> answer_;
    int answered_ = 0;
};

inline int AnswerModal(const std::function<void()>& action, const std::function<void(QWidget*)>& answer) {
    ModalAnswerer answerer(answer);
    action();
    return answerer.Answered();
}

} // namespace zv::test
