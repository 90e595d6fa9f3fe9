#pragma once
// The marks of the open sound, kept in the marks file beside it (see
// MarksFile.h). Every change goes through here and is written at once,
// atomically, so a crash or a power cut loses nothing that was shown.
//
// What can go wrong, and what the user is told (through `messages`):
//   - the file beside the sound cannot be read (damaged, not a marks file,
//     from a newer Zorvane): told when the sound is opened; that file is
//     never written while this sound stays open; new marks live in memory.
//   - the folder cannot be written (read-only, full, gone): told once per
//     sound; the marks stay in memory and each later change tries again,
//     silently. Export works all the same.
#include <cstdint>
#include <string>
#include <vector>

#include "marks/MarkList.h"

namespace zv {

class MessageBox;

class MarkKeeper {
public:
    // Marks files larger than this are refused as damaged.
    static constexpr std::size_t kMaxFileBytes = std::size_t{64} << 20;

    explicit MarkKeeper(MessageBox& messages) : messages_(messages) {}

    // The sound at `soundPath` (`sampleRate` sample frames a second) is now
    // open: its marks are read from the file beside it (none if there is no
    // file). Nothing is written until the marks change.
    void OpenFor(const std::string& soundPath, int32_t sampleRate);
    // No sound is open: no marks, nothing written.
    void Close();

    bool HasSound() const { return !soundPath_.empty(); }
    const std::string& SoundPath() const { return soundPath_; }
    const std::string& FilePath() const { return filePath_; }
    int32_t SampleRate() const { return sampleRate_; }
    const MarkList& Marks() const { return marks_; }

    // Changes; each writes the file (unless it is protected). Without a
    // sound open they do nothing.
    std::size_t Add(Mark mark);
    void AddAll(std::vector<Mark> marks);
    void Remove(std::vector<std::size_t> indexes);
    void SetText(std::size_t index, std::string text);

    // True when the marks on screen are the ones in the file.
    bool Saved() const { return saved_; }
    // True when the file beside the sound is left alone (it could not be read).
    bool Protected() const { return protected_; }

private:
    void Save();

    MessageBox& messages_;
    std::string soundPath_;
    std::string filePath_;
    int32_t sampleRate_ = 0;
    MarkList marks_;
    bool saved_ = true;
    bool protected_ = false;
    bool toldUnwritable_ = false;
};

} // namespace zv
