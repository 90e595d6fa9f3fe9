#pragma once
// The peak summary of a WAV made during the loader's own read pass: this is
// the loader's observer (told on the loading thread as the data chunk's
// bytes land in the buffer) and the work of a job that summarises them on a
// worker thread close behind the reader, while they are fresh.
//
// Use: made shared; the job runs Build; the loader gets this as its
// observer; after the load, loaded or not, LoadEnded. The summary is ready
// (Build returns Finished) soon after the last byte landed; a load that
// never reached the data chunk ends the job Cancelled, without a summary.
// The record must stay as loaded until the job has ended (its buffer is read).
#include <condition_variable>
#include <cstddef>
#include <mutex>

#include "jobs/Job.h"
#include "sound/WavLoader.h"
#include "waveview/PeakSummary.h"

namespace zv {

class SummaryDuringLoad final : public WavReadObserver {
public:
    // `read`, when given, is the loading job's progress: it counts the bytes
    // read, and its cancel stops the read.
    explicit SummaryDuringLoad(JobProgress* read = nullptr) : read_(read) {}

    // The job's work (worker thread): into `summary`, as the bytes land.
    // Progress counts bytes of the data chunk.
    JobOutcome Build(JobProgress& progress, PeakSummary& summary);

    // The loading thread.
    void ReadStarts(const SoundData& sound, std::size_t heldBytes) override;
    bool BytesLanded(std::size_t landed) override;
    void LoadEnded();

private:
    JobProgress* read_;
    std::mutex mutex_;
    std::condition_variable changed_;
    const SoundData* sound_ = nullptr;   // set by ReadStarts
    std::size_t held_ = 0;
    std::size_t landed_ = 0;
    bool ended_ = false;
};

} // namespace zv
