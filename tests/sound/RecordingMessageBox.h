#pragma once
// A message box that records the texts instead of showing them.
#include <optional>
#include <string>
#include <vector>

#include "common/MessageBox.h"

namespace zv::test {

class RecordingMessageBox : public MessageBox {
public:
    void Show(const std::string& text) override { texts.push_back(text); }
    // Text questions are recorded too and answered from `answers`, oldest
    // first; with none left, as a cancel.
    std::optional<std::string> AskText(const std::string& text, const std::string&) override {
        texts.push_back(text);
        if (answers.empty()) return std::nullopt;
        std::string answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    std::vector<std::string> texts;
    std::vector<std::string> answers;
};

}  // namespace zv::test
