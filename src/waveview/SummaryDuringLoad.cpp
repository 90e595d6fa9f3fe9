#include "waveview/SummaryDuringLoad.h"

#include <chrono>

namespace zv {

namespace {

// How often a waiting summary looks whether it was cancelled.
constexpr std::chrono::milliseconds kCancelPoll{20};

}  // namespace

void SummaryDuringLoad::ReadStarts(const SoundData& sound, std::size_t heldBytes) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        sound_ = &sound;
        held_ = heldBytes;
    }
    changed_.notify_one();
    if (read_) read_->SetTotal(static_cast<int64_t>(heldBytes));
}

bool SummaryDuringLoad::BytesLanded(std::size_t landed) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        landed_ = landed;
    }
    changed_.notify_one();
    if (!read_) return true;
    read_->SetDone(static_cast<int64_t>(landed));
    return !read_->Cancelled();
}

void SummaryDuringLoad::LoadEnded() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ended_ = true;
    }
    changed_.notify_one();
}

JobOutcome SummaryDuringLoad::Build(JobProgress& progress, PeakSummary& summary) {
    std::unique_lock<std::mutex> lock(mutex_);
    bool begun = false;
    std::size_t summarised = 0;
    for (;;) {
        if (progress.Cancelled()) return JobOutcome::Cancelled;
        if (!begun && sound_ != nullptr) {
            const SoundData& sound = *sound_;
            const std::size_t held = held_;
            lock.unlock();
            summary.Begin(sound, held);
            progress.SetTotal(static_cast<int64_t>(held));
            begun = true;
            lock.lock();
            continue;
        }
        if (begun && landed_ > summarised) {
            const std::size_t landed = landed_;
            lock.unlock();
            summary.Add(landed);
            progress.SetDone(static_cast<int64_t>(landed));
            summarised = landed;
            lock.lock();
            continue;
        }
        if (ended_) {
            if (!begun) return JobOutcome::Cancelled;   // no data chunk was read
            lock.unlock();
            summary.Finish();
            return JobOutcome::Finished;
        }
        changed_.wait_for(lock, kCancelPoll);
    }
}

} // namespace zv
