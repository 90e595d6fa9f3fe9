#pragma once
// One job on a thread of its own. The thread starts when this is made and
// is always joined by the time this is gone (a job still running is
// cancelled first, and a job answers a cancel within milliseconds).
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "jobs/Job.h"

namespace zv {

class JobThread {
public:
    // Starts `job` at once. `ended` runs on the worker thread right after
    // the job's Run has returned (the outcome is known by then): it should
    // only pass the news on, e.g. post a call to another thread. Throws
    // std::system_error when no thread can be started.
    JobThread(std::unique_ptr<Job> job, std::function<void()> ended);
    ~JobThread();
    JobThread(const JobThread&) = delete;
    JobThread& operator=(const JobThread&) = delete;

    void Cancel() { progress_.Cancel(); }
    // True once the job's Run has returned.
    bool Ended() const { return ended_.load(std::memory_order_acquire); }
    // Waits for the thread to end (at once after Ended; soon after Cancel).
    void Join();

    // After Join: Finished only for a job that ran to its end and was not
    // cancelled meanwhile (a cancel that came as the last piece was done
    // still counts: the user asked for nothing). The reason of a failure.
    JobOutcome Outcome() const;
    const std::string& Reason() const { return reason_; }
    const JobProgress& Progress() const { return progress_; }
    // The job, for its result (only after Join and a Finished outcome).
    Job& Work() { return *job_; }

private:
    std::unique_ptr<Job> job_;
    JobProgress progress_;
    JobOutcome outcome_ = JobOutcome::Failed;
    std::string reason_;
    std::atomic<bool> ended_{false};
    std::thread thread_;
};

} // namespace zv
