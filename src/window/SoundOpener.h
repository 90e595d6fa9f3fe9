#pragma once
// The open routine's work that takes time, kept out of the window: the
// decode of a compressed sound and the peak summary, each a job on a
// worker thread (JobRunner), so the window keeps answering and never waits.
//
//   - Decode: a compressed file is decoded into a record of its own while
//     the previous sound stays open and playable; once done, `decoded` is
//     called on the window's thread and the open routine takes the record
//     with TakeDecoded. A failure is told to the user ("Couldn't open ...");
//     a cancel changes nothing.
//   - Load: fills the window's record, from the decoded record or by the
//     WAV loader, and starts its peak summary: for a WAV inside the load's
//     own read pass (SummaryDuringLoad), for a decoded sound from memory.
//     `peaksMade` gets the summary on the window's thread once it is made
//     (and an empty one whenever the record is about to change).
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/Report.h"
#include "sound/SoundData.h"
#include "window/JobRunner.h"

class QWidget;

namespace zv {

class MessageBox;
class PeakSummary;

class SoundOpener {
public:
    SoundOpener(QWidget* window, MessageBox& messages, std::function<void(PeakSummary&&)> peaksMade);
    // Cancels the jobs and waits the moment they take to stop.
    ~SoundOpener();

    // True while a decode runs: one open at a time.
    bool Decoding() const;
    // Starts decoding `path`; `decoded` runs once its record is ready.
    void Decode(const std::string& path, std::function<void()> decoded);
    // The record decoded for `path`, once (nothing for another path).
    std::optional<SoundData> TakeDecoded(const std::string& path);

    // Fills `sound` (the window's record, which must outlive this) from
    // `decoded` when there is one, else by loading the WAV at `path`, and
    // starts its summary. Returns the loader's report.
    Report Load(SoundData& sound, const std::string& path, std::optional<SoundData> decoded);

    // The progress bar's delay, ms.
    static constexpr int kDialogDelayMs = JobRunner::kDialogDelayMs;

private:
    // Stops the summary of the record before the record changes.
    void DropSummary();

    MessageBox& messages_;
    std::function<void(PeakSummary&&)> peaksMade_;
    std::unique_ptr<JobRunner> jobs_;
    JobRunner::JobId decodeJob_ = 0;
    JobRunner::JobId summaryJob_ = 0;
    std::string decodedPath_;
    std::optional<SoundData> decoded_;
};

} // namespace zv
