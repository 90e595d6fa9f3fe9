#pragma once
// The modal message box: the text alone, one OK button, no icon, title
// "Zorvane". The real one is QtMessageBox; tests use a fake that records texts.
#include <string>

namespace zv {

class MessageBox {
public:
    virtual ~MessageBox() = default;
    // Shows `text` and returns once the user has closed the box.
    virtual void Show(const std::string& text) = 0;
};

} // namespace zv
