#pragma once
// The real message box: modal, the text alone, one OK button, no icon,
// title "Zorvane"; and the one-line text question, with OK and Cancel.
#include "common/MessageBox.h"

class QWidget;

namespace zv {

class QtMessageBox : public MessageBox {
public:
    // The box is modal over `parent` once it is set (the main window).
    void SetParent(QWidget* parent) { parent_ = parent; }
    void Show(const std::string& text) override;
    int Ask(const std::string& text, const std::vector<std::string>& buttons) override;
    std::optional<std::string> AskText(const std::string& text, const std::string& initial) override;

private:
    QWidget* parent_ = nullptr;
};

} // namespace zv
