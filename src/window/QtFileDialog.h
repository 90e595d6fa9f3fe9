#pragma once
// The real open-file dialog (Qt's), offering the filter pairs it is given.
#include "window/FileDialog.h"

class QWidget;

namespace zv {

class QtFileDialog : public FileDialog {
public:
    void SetParent(QWidget* parent) { parent_ = parent; }
    std::optional<std::string> ShowOpen(const std::string& filter, int selectedFilter) override;
    std::optional<SaveChoice> ShowSave(const std::string& filter, int selectedFilter,
                                       const std::string& suggestedPath) override;

private:
    QWidget* parent_ = nullptr;
};

} // namespace zv
