#pragma once
// What a running job and the window tell each other while it runs: how far
// it has come (in units of the job's own choosing: frames, bytes, items)
// and whether it should stop. Written by one thread and read by the other;
// every member is safe to call from either.
#include <atomic>
#include <cstdint>

namespace zv {

class JobProgress {
public:
    // The whole job's size in units; 0 or less: not known (a busy bar).
    void SetTotal(int64_t units) { total_.store(units, std::memory_order_relaxed); }
    // Units done so far.
    void SetDone(int64_t units) { done_.store(units, std::memory_order_relaxed); }
    int64_t Total() const { return total_.load(std::memory_order_relaxed); }
    int64_t Done() const { return done_.load(std::memory_order_relaxed); }
    // Done over Total in per mille (0 to 1000), or -1 while Total is not known.
    int PerMille() const {
        const int64_t total = Total(), done = Done();
        if (total <= 0) return -1;
        if (done >= total) return 1000;
        return done <= 0 ? 0 : static_cast<int>(done * 1000 / total);
    }

    // Asks the job to stop. A job looks at Cancelled() between pieces of
    // work a few milliseconds long at most, and then ends without a result.
    void Cancel() { cancel_.store(true, std::memory_order_relaxed); }
    bool Cancelled() const { return cancel_.load(std::memory_order_relaxed); }

private:
    std::atomic<int64_t> done_{0};
    std::atomic<int64_t> total_{0};
    std::atomic<bool> cancel_{false};
};

} // namespace zv
