#pragma once
// The open-file dialog. The real one is the Qt dialog; tests use a fake.
#include <optional>
#include <string>

namespace zv {

class FileDialog {
public:
    virtual ~FileDialog() = default;
    // Shows the modal open-file dialog.
    //   filter: description|pattern pairs separated by '|', as
    //           "All Files (*.*)|*.*|Wav Files (*.wav)|*.wav|...".
    //   selectedFilter: the pair selected when the dialog opens, from 1.
    // Returns the chosen full path, or nothing when the user cancelled.
    virtual std::optional<std::string> ShowOpen(const std::string& filter, int selectedFilter) = 0;
};

} // namespace zv
