#include "window/Slider.h"

#include <QMouseEvent>

namespace zv {

Slider::Slider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setMouseTracking(true);
    // QAbstractSlider reports every user action (it is the only caller of
    // triggerAction here) just before it sets the value the action moved
    // to. A program's setValue triggers no action, so it raises no Scroll.
    connect(this, &QAbstractSlider::actionTriggered, this,
            [this](int) { userMove_ = sliderPosition() != value(); });
    connect(this, &QAbstractSlider::valueChanged, this, [this](int) {
        if (!userMove_) return;
        // Cleared first: a Scroll handler may set the value itself.
        userMove_ = false;
        emit Scroll();
    });
}

void Slider::mouseMoveEvent(QMouseEvent* event) {
    QSlider::mouseMoveEvent(event);
    emit MouseMove();
}

} // namespace zv
