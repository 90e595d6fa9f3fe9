#pragma once
// The modal message box: the text alone, one OK button, no icon, title
// "Zorvane". The real one is QtMessageBox; tests use a fake that records texts.
#include <string>

#include "common/Report.h"

namespace zv {

class MessageBox {
public:
    virtual ~MessageBox() = default;
    // Shows `text` and returns once the user has closed the box.
    virtual void Show(const std::string& text) = 0;
};

// Shows a failure's message; a report of success shows nothing.
inline void ShowReport(MessageBox& box, const Report& report) {
    if (report.Failed()) box.Show(report.Message());
}

} // namespace zv
