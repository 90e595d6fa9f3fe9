#include "window/WaveKeys.h"

#include <QKeyEvent>

#include "common/ui/LogCategories.h"

namespace zv {

void WaveKeys::Add(int key, std::function<void()> action, bool shift) {
    actions_[{key, shift}] = std::move(action);
}

bool WaveKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    const auto it = actions_.find({key->key(), (mods & Qt::ShiftModifier) != 0});
    if (it == actions_.end()) return false;
    // What a key does never ends the program nor leaves this handler.
    try {
        it->second();
    } catch (...) {
        LogCurrentError(LogWindow(), "A key on the waveform");
    }
    return true;
}

} // namespace zv
