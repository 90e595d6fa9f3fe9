#pragma once
// A message box that records the texts instead of showing them.
#include <string>
#include <vector>

#include "common/MessageBox.h"

namespace zv::test {

class RecordingMessageBox : public MessageBox {
public:
    void Show(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

}  // namespace zv::test
