#include "marks/MarkKeeper.h"

#include <filesystem>

#include "marks/MarksFile.h"
#include "marks/TextFile.h"

namespace zv {

Report MarkKeeper::OpenFor(const std::string& soundPath, int32_t sampleRate) {
    Close();
    soundPath_ = soundPath;
    filePath_ = MarksFilePath(soundPath);
    sampleRate_ = sampleRate;
    const TextFileRead read = ReadTextFile(filePath_, kMaxFileBytes);
    if (!read.exists) return {};
    std::string reason;
    if (read.error) {
        reason = *read.error;
    } else {
        MarksFileContent content = ParseMarksFile(read.text, sampleRate);
        if (!content.error) {
            marks_.Assign(std::move(content.marks));
            return {};
        }
        reason = *content.error;
    }
    protected_ = true;
    return Report::Failure("The marks file " + filePath_ + " can't be read: " + reason +
                   ".\n\nIt is left as it is. Marks you add now are kept while the sound is open "
                   "but not saved to it; use Export Marks... to keep them.");
}

void MarkKeeper::Close() {
    soundPath_.clear();
    filePath_.clear();
    sampleRate_ = 0;
    marks_.Assign({});
    saved_ = true;
    protected_ = false;
    toldUnwritable_ = false;
}

Report MarkKeeper::Add(Mark mark) {
    if (!HasSound()) return {};
    marks_.Add(std::move(mark));
    return Save();
}

Report MarkKeeper::AddAll(std::vector<Mark> marks) {
    if (!HasSound() || marks.empty()) return {};
    marks_.AddAll(std::move(marks));
    return Save();
}

Report MarkKeeper::Remove(std::vector<std::size_t> indexes) {
    if (!HasSound() || marks_.Remove(std::move(indexes)) == 0) return {};
    return Save();
}

Report MarkKeeper::SetText(std::size_t index, std::string text) {
    if (!HasSound() || index >= marks_.size() || marks_[index].text == text) return {};
    marks_.SetText(index, std::move(text));
    return Save();
}

Report MarkKeeper::Save() {
    saved_ = false;
    if (protected_) return {};
    const std::string name = std::filesystem::path(soundPath_).filename().string();
    const std::optional<std::string> failed =
        WriteFileAtomically(filePath_, MarksFileText(marks_.Marks(), name, sampleRate_));
    if (!failed) {
        saved_ = true;
        return {};
    }
    if (toldUnwritable_) return {};
    toldUnwritable_ = true;
    return Report::Failure("The marks can't be saved beside the sound (" + filePath_ + ": " + *failed +
                   ").\n\nThey are kept while the sound is open; use Export Marks... to keep them.");
}

} // namespace zv
