#pragma once
// The marks of the open sound, kept in the marks file beside it (see
// MarksFile.h). Every change goes through here and is written at once,
// atomically, so a crash or a power cut loses nothing that was shown.
//
// What can go wrong, and what the user is told (the Report handed back):
//   - the file beside the sound cannot be read (damaged, not a marks file,
//     from a newer Zorvane): told when the sound is opened; that file is
//     never written while this sound stays open; new marks live in memory.
//   - the folder cannot be written (read-only, full, gone): told once per
//     sound; the marks stay in memory and each later change tries again,
//     silently. Export works all the same.
#include <cstdint>
#include <string>
#include <vector>

#include "common/Report.h"
#include "marks/MarkList.h"

namespace zv {

class MarkKeeper {
public:
    // Marks files larger than this are refused as damaged.
    static constexpr std::size_t kMaxFileBytes = std::size_t{64} << 20;

    // The sound at `soundPath` (`sampleRate` sample frames a second) is now
    // open: its marks are read from the file beside it (none if there is no
    // file). Nothing is written until the marks change.
    Report OpenFor(const std::string& soundPath, int32_t sampleRate);
    // No sound is open: no marks, nothing written.
    void Close();

    bool HasSound() const { return !soundPath_.empty(); }
    const std::string& SoundPath() const { return soundPath_; }
    const std::string& FilePath() const { return filePath_; }
    int32_t SampleRate() const { return sampleRate_; }
    const MarkList& Marks() const { return marks_; }

    // Changes; each writes the file (unless it is protected) and reports a
    // write that failed, the first time only. Without a sound open they do
    // nothing.
    Report Add(Mark mark);
    Report AddAll(std::vector<Mark> marks);
    Report Remove(std::vector<std::size_t> indexes);
    Report SetText(std::size_t index, std::string text);

    // True when the marks on screen are the ones in the file.
    bool Saved() const { return saved_; }
    // True when the file beside the sound is left alone (it could not be read).
    bool Protected() const { return protected_; }

private:
    Report Save();

    std::string soundPath_;
    std::string filePath_;
    int32_t sampleRate_ = 0;
    MarkList marks_;
    bool saved_ = true;
    bool protected_ = false;
    bool toldUnwritable_ = false;
};

} // namespace zv
