#pragma once
// The modal message box: the text alone, one OK button, no icon, title
// "Zorvane"; and the question box, the same with buttons of its own. The
// real one is QtMessageBox; tests use a fake that records texts.
#include <optional>
#include <string>
#include <vector>

#include "common/Report.h"

namespace zv {

class MessageBox {
public:
    virtual ~MessageBox() = default;
    // Shows `text` and returns once the user has closed the box.
    virtual void Show(const std::string& text) = 0;
    // Asks `text` with these buttons (left to right; the last one is also
    // what Escape and closing the box choose). Returns the index of the
    // button chosen, or -1 when no answer could be had. A box that cannot
    // ask shows the text and gives no answer.
    virtual int Ask(const std::string& text, const std::vector<std::string>& buttons) {
        Show(text);
        (void)buttons;
        return -1;
    }
    // Asks for a line of text (`text` says what), `initial` filled in.
    // Nothing when the user cancels or no answer could be had.
    virtual std::optional<std::string> AskText(const std::string& text, const std::string& initial) {
        Show(text);
        (void)initial;
        return std::nullopt;
    }
};

// Shows a failure's message; a report of success shows nothing.
inline void ShowReport(MessageBox& box, const Report& report) {
    if (report.Failed()) box.Show(report.Message());
}

} // namespace zv
