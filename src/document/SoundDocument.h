#pragma once
// What is known of the open sound and the tracks laid over it: the marks
// (always there, first), and the words, phonemes, mouth shapes and beats the
// analyses add. Core code: the window observes the tracks; the marks file
// beside the sound keeps the whole document.
//
// Units: sample frames at SoundInfo::sampleRate throughout.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/NameIndex.h"
#include "document/Track.h"

namespace zv {

// Which file on disk the sound is: a renamed or copied file keeps its size
// and modification time, so a moved sound's marks can be recognised.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t bytes = 0;
    int64_t modifiedNs = 0;   // modification time, ns since the epoch
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

struct SoundInfo {
    std::string path;            // as opened (UTF-8)
    int32_t sampleRate = 0;      // sample frames a second
    int64_t frames = 0;          // length in sample frames
    int channels = 0;
    FileIdentity identity;
};

class SoundDocument {
public:
    // The names of the tracks the program knows.
    static constexpr const char* kMarks = "Marks";
    static constexpr const char* kWords = "Words";
    static constexpr const char* kPhonemes = "Phonemes";
    static constexpr const char* kMouths = "Mouths";
    static constexpr const char* kBeats = "Beats";

    SoundDocument();

    // A new sound is open: every track but the marks is gone, the marks are
    // empty. (Listeners on the marks track stay.)
    void Reset(SoundInfo info);
    // No sound is open.
    void Close() { Reset({}); }

    bool HasSound() const { return !info_.path.empty(); }
    const SoundInfo& Info() const { return info_; }

    Track& Marks() { return *tracks_.front(); }
    const Track& Marks() const { return *tracks_.front(); }
    // The track of that name, or nullptr.
    Track* Find(const std::string& name);
    const Track* Find(const std::string& name) const;
    // The track of that name, made (empty, after the others) if missing.
    Track& Ensure(const std::string& name);
    // Every track, the marks first, then in the order they were made.
    const std::vector<std::unique_ptr<Track>>& Tracks() const { return tracks_; }

private:
    SoundInfo info_;
    std::vector<std::unique_ptr<Track>> tracks_;
    // Each track's place in tracks_ by its name: a document of many tracks
    // (read from a file) finds each at once.
    NameIndex byName_;
};

} // namespace zv
