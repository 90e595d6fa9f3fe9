#include "jobs/JobThread.h"

#include <exception>
#include <new>


namespace zv {

JobThread::JobThread(std::unique_ptr<Job> job, std::function<void()> ended) : job_(std::move(job)) {
    thread_ = std::thread([this, ended = std::move(ended)] {
        try {
            outcome_ = job_->Run(progress_, reason_);
        } catch (const std::bad_alloc&) {
            outcome_ = JobOutcome::Failed;
            reason_ = "Not enough memory";
        } catch (const std::exception& e) {
            outcome_ = JobOutcome::Failed;
            reason_ = e.what();
        } catch (...) {
            outcome_ = JobOutcome::Failed;
            reason_ = "The work stopped unexpectedly";
        }
        ended_.store(true, std::memory_order_release);
        if (ended) {
            try {
                ended();
            } catch (...) {
                // Passing the news on failed: whoever owns this still joins it.
            }
        }
    });
}

JobThread::~JobThread() {
    Cancel();
    Join();
}

void JobThread::Join() {
    if (thread_.joinable()) thread_.join();
}

JobOutcome JobThread::Outcome() const {
    if (progress_.Cancelled()) return JobOutcome::Cancelled;
    return outcome_;
}

} // namespace zv
