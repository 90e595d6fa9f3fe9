#pragma once
// The window's client area: tells the window when its size changed (the
// menu bar is outside it, so this is the size the layout works from).
#include <QWidget>
#include <functional>
#include <utility>

namespace zv {

class ClientArea : public QWidget {
public:
    explicit ClientArea(std::function<void()> resized) : resized_(std::move(resized)) {}

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        resized_();
    }

private:
    std::function<void()> resized_;
};

} // namespace zv
