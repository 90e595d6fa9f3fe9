#pragma once
// Answers the modal window that `action` opens: polls for it, hands it to
// `answer` (which must close it), and gives up after ten seconds so that a
// test never hangs. Returns how many modal windows were answered.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace zv::test {

inline int AnswerModal(const std::function<void()>& action, const std::function<void(QWidget*)>& answer) {
    int answered = 0;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        ++answered;
        answer(modal);
    });
    poll.start();
    QTimer::singleShot(10000, &poll, [] {
        if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    action();
    return answered;
}

} // namespace zv::test
