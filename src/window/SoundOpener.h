#pragma once
// The open routine's work that takes time, kept out of the window: reading
// a big WAV, decoding a compressed sound and making the peak summary, each a
// job on a worker thread (JobRunner), so the window keeps answering and
// never waits on them.
//
//   - Prepare: a compressed file is decoded, and a WAV of kBackgroundBytes
//     or more is read with its peak summary made in the same read pass
//     (SummaryInRead), into a record of their own, while the previous sound
//     stays open and playable. Once done, `prepared` is called on the
//     window's thread and the open routine takes the record with
//     TakePrepared. A failed decode is told to the user ("Couldn't open
//     ..."); a cancel changes nothing.
//   - Load: fills the window's record from the prepared one, or loads a
//     small WAV at once (its summary then follows the read on a worker,
//     SummaryDuringLoad), and gives its summary: `peaksMade` gets it on the
//     window's thread, after the open routine's steps (and an empty one
//     whenever the record is about to change). A decoded sound's summary is
//     made from memory by a job.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/Report.h"
#include "sound/SoundData.h"
#include "waveview/PeakSummary.h"
#include "window/JobRunner.h"

class QWidget;

namespace zv {

class MediaDevice;
class MessageBox;

class SoundOpener {
public:
    // A WAV file this large or larger is read as a job (its read takes
    // longer than a screen refresh), bytes.
    static constexpr int64_t kBackgroundBytes = int64_t{32} << 20;

    // A sound read or decoded by a job, for the open routine.
    struct Prepared {
        SoundData sound;
        std::optional<PeakSummary> summary;   // made in the read pass (WAV)
        Report report;                        // the loader's (WAV)
        bool decoded = false;                 // a compressed sound, decoded
    };

    SoundOpener(QWidget* window, MessageBox& messages, std::function<void(PeakSummary&&)> peaksMade);
    // Cancels the jobs and waits the moment they take to stop.
    ~SoundOpener();

    // True when `path` is read or decoded by a job before the open goes on.
    static bool NeedsPreparing(const std::string& path);
    // True while a read or decode runs: one open at a time.
    bool Preparing() const;
    // Starts reading or decoding `path`; `prepared` runs once it is ready.
    void Prepare(const std::string& path, std::function<void()> prepared);
    // Offers a decoded sound's samples to `device` for its next Open of
    // `path`, so that it plays the very samples the window draws rather
    // than decoding the file again. Nothing for a WAV (the device reads the
    // file) or a record that did not load.
    static void OfferDecoded(MediaDevice& device, const std::string& path, const Prepared& prepared);
    // The record prepared for `path`, once (nothing for another path).
    std::optional<Prepared> TakePrepared(const std::string& path);

    // Fills `sound` (the window's record, which must outlive this) from
    // `prepared` when there is one, else by loading the WAV at `path`, and
    // sees to its summary. Returns the loader's report.
    Report Load(SoundData& sound, const std::string& path, std::optional<Prepared> prepared);

private:
    // Stops the summary of the record before the record changes.
    void DropSummary();
    // Hands `summary` over from the event loop, unless the record changed.
    void HandOverLater(PeakSummary&& summary);

    MessageBox& messages_;
    std::function<void(PeakSummary&&)> peaksMade_;
    std::unique_ptr<JobRunner> jobs_;
    JobRunner::JobId prepareJob_ = 0;
    JobRunner::JobId summaryJob_ = 0;
    uint64_t loads_ = 0;   // counts the records loaded, for HandOverLater
    std::string preparedPath_;
    std::optional<Prepared> prepared_;
};

} // namespace zv
