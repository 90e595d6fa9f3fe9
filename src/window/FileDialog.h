#pragma once
// The open-file and save-file dialogs. The real one is the Qt dialog;
// tests use a fake.
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

    // What the user chose in the save dialog.
    struct SaveChoice {
        std::string path;   // full path; the filter's extension added when the name had none
        int filter = 0;     // the filter pair chosen, from 1
    };
    // Shows the modal save-file dialog with the same kind of filter list,
    // `selectedFilter` selected and `suggestedPath` filled in. Asks before
    // replacing a file. Nothing when the user cancelled.
    virtual std::optional<SaveChoice> ShowSave(const std::string& filter, int selectedFilter,
                                               const std::string& suggestedPath) = 0;
};

} // namespace zv
