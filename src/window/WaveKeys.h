#pragma once
// The window's single keys (Space, arrows, Home, End, letters): one table
// from a key to what it does, run only for key presses that the focused
// control left unused (the sliders keep their arrows, Home and End, the
// frame-rate box its text keys, a focused button its Space). Installed as an
// event filter on the window, which such presses reach by propagation.
// Keys held with Ctrl, Alt or Meta are left alone (menu shortcuts); Shift
// is left alone unless the key was added for it.
#include <QObject>
#include <functional>
#include <map>
#include <utility>

namespace zv {

class WaveKeys : public QObject {
    Q_OBJECT
public:
    explicit WaveKeys(QObject* parent = nullptr) : QObject(parent) {}

    // `key` is a Qt::Key; `shift` whether it is the Shift+key press.
    // Adding a key again replaces what it did.
    void Add(int key, std::function<void()> action, bool shift = false);
    bool Handles(int key, bool shift = false) const { return actions_.count({key, shift}) != 0; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::map<std::pair<int, bool>, std::function<void()>> actions_;
};

} // namespace zv
