#pragma once
// A piece of work longer than a screen refresh (decoding, a peak summary, an
// analysis), run on a worker thread by JobThread (and, in the window, by
// JobRunner, which shows its progress and hands its result back on the
// window's thread).
//
// A job works only on what it was given when it was made and on the result
// it makes; it never touches the window's state. Its result is taken only
// when it ran to its end: a job that was cancelled or failed leaves nothing
// half-done behind, because its half-made result is simply dropped.
#include <functional>
#include <string>
#include <utility>

#include "jobs/JobProgress.h"

namespace zv {

enum class JobOutcome { Finished, Cancelled, Failed };

class Job {
public:
    virtual ~Job() = default;
    // Runs on the worker thread. Reports through `progress` and returns
    // Cancelled soon after progress.Cancelled() turns true. On Failed,
    // `reason` says why in a person's words. May throw: that counts as
    // Failed.
    virtual JobOutcome Run(JobProgress& progress, std::string& reason) = 0;
};

// A job made of a function that fills a result of type R (default made
// before the run; moved out by whoever takes it once the job finished).
template <typename R>
class ResultJob final : public Job {
public:
    using Work = std::function<JobOutcome(JobProgress&, R&, std::string&)>;
    explicit ResultJob(Work work) : work_(std::move(work)) {}
    JobOutcome Run(JobProgress& progress, std::string& reason) override { return work_(progress, result_, reason); }
    R& Result() { return result_; }

private:
    Work work_;
    R result_{};
};

} // namespace zv
