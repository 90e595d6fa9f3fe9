#pragma once
// Keeps the document of the open sound (its marks and every other track) in
// the marks file beside it (see MarksFile.h). Every change goes through
// here and is written at once, atomically, so a crash or a power cut loses
// nothing that was shown.
//
// Other writers: two windows (or two Zorvanes) may have the same sound
// open. Before each write the file is read again; what another writer
// added since this keeper last read or wrote it is merged in, what it
// removed goes here too, and what this keeper removed stays removed (a
// three-way merge per track against the file as last seen).
//
// What can go wrong, and what the user is told (the Report handed back):
//   - the file beside the sound cannot be read (damaged, not a marks file,
//     from a newer Zorvane): told when the sound is opened, or at the write
//     that found it so; that file is never written while this sound stays
//     open; the marks live in memory (Saved() is false: offer an export).
//   - the folder cannot be written (read-only, full, gone): told once per
//     sound; the marks stay in memory and each later change tries again,
//     silently. Export works all the same.
#include <cstdint>
#include <string>
#include <vector>

#include "common/Report.h"
#include "document/SoundDocument.h"
#include "marks/MarksFile.h"

namespace zv {

class MarkKeeper {
public:
    // Marks files larger than this are refused as damaged.
    static constexpr std::size_t kMaxFileBytes = std::size_t{64} << 20;

    // Keeps `document` (not owned; it outlives the keeper).
    explicit MarkKeeper(SoundDocument& document);

    // The sound `info` describes is now open: the document is reset to it
    // and its tracks are read from the file beside it (none if there is no
    // file). Nothing is written until the document changes.
    Report OpenFor(SoundInfo info);
    // No sound is open: no marks, nothing written.
    void Close();

    bool HasSound() const { return document_.HasSound(); }
    const std::string& SoundPath() const { return document_.Info().path; }
    const std::string& FilePath() const { return filePath_; }
    int32_t SampleRate() const { return document_.Info().sampleRate; }
    const Track& Marks() const { return document_.Marks(); }
    const SoundDocument& Document() const { return document_; }

    // Changes of the marks; each writes the file (unless it is protected)
    // and reports a write that failed, the first time only. Without a sound
    // open they do nothing.
    Report Add(TrackItem mark);
    Report AddAll(std::vector<TrackItem> marks);
    Report Remove(std::vector<std::size_t> indexes);
    Report SetText(std::size_t index, std::string text);
    // Items for the track of that name (made if missing), as an import or
    // an analysis brings them.
    Report AddToTrack(const std::string& track, std::vector<TrackItem> items);
    // Writes the document after a change made to one of its tracks directly.
    Report Save();

    // True when the tracks on screen are the ones in the file.
    bool Saved() const { return saved_; }
    // True when the file beside the sound is left alone (it could not be read).
    bool Protected() const { return protected_; }

private:
    // Merges what another writer put in the file since lastSeen_; false
    // (and protected from now on) when the file cannot be read.
    bool MergeFromDisk(Report& report);
    void Remember();   // lastSeen_ = the document as it stands

    SoundDocument& document_;
    std::string filePath_;
    // The tracks as this keeper last read them from the file or wrote them,
    // and that text: the base of the merge.
    std::vector<FileTrack> lastSeen_;
    std::string lastText_;
    bool saved_ = true;
    bool protected_ = false;
    bool toldUnwritable_ = false;
};

} // namespace zv
