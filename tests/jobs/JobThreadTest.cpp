// A job on its thread: its result is there only when it ran to its end; a
// cancel (also one that comes as the last piece is done) or a failure
// leaves none, and the thread is always joined.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "jobs/JobThread.h"

namespace zv {
namespace {

using Numbers = std::vector<int>;

// Counts to `count` into its result, a piece at a time, until cancelled.
std::unique_ptr<ResultJob<Numbers>> Counting(int count, std::atomic<int>* pieces = nullptr) {
    return std::make_unique<ResultJob<Numbers>>([count, pieces](JobProgress& p, Numbers& out, std::string&) {
        p.SetTotal(count);
        for (int i = 0; i < count; ++i) {
            if (p.Cancelled()) return JobOutcome::Cancelled;
            out.push_back(i);
            p.SetDone(i + 1);
            if (pieces) ++*pieces;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return JobOutcome::Finished;
    });
}

template <typename F>
bool WaitFor(F done) {
    for (int i = 0; i < 5000 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return done();
}

TEST(JobThread, AFinishedJobHandsItsWholeResultAndTellsItsEndOnce) {
    auto job = Counting(20);
    auto* counting = job.get();
    std::atomic<int> told{0};
    JobThread thread(std::move(job), [&] { ++told; });
    ASSERT_TRUE(WaitFor([&] { return thread.Ended(); }));
    thread.Join();
    EXPECT_EQ(thread.Outcome(), JobOutcome::Finished);
    EXPECT_EQ(told.load(), 1);
    EXPECT_EQ(thread.Progress().PerMille(), 1000);
    EXPECT_EQ(counting->Result().size(), 20u);
}

TEST(JobThread, ACancelledJobEndsSoonWithoutAResultEvenAfterItsLastPiece) {
    std::atomic<int> pieces{0};
    JobThread thread(Counting(1'000'000, &pieces), {});
    ASSERT_TRUE(WaitFor([&] { return pieces.load() >= 3; }));
    EXPECT_FALSE(thread.Ended());
    EXPECT_GE(thread.Progress().PerMille(), 0);
    const auto asked = std::chrono::steady_clock::now();
    thread.Cancel();
    thread.Join();
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(2));
    EXPECT_EQ(thread.Outcome(), JobOutcome::Cancelled);

    // Done with its work, but the cancel came before anyone took the result.
    JobThread finished(Counting(2), {});
    ASSERT_TRUE(WaitFor([&] { return finished.Ended(); }));
    finished.Cancel();
    finished.Join();
    EXPECT_EQ(finished.Outcome(), JobOutcome::Cancelled);
}

TEST(JobThread, AThrowingJobFailsWithItsReasonAndAGoneOwnerStopsItsJob) {
    JobThread thrower(std::make_unique<ResultJob<Numbers>>([](JobProgress&, Numbers&, std::string&) -> JobOutcome {
                          throw std::runtime_error("The file went away");
                      }),
                      {});
    thrower.Join();
    EXPECT_EQ(thrower.Outcome(), JobOutcome::Failed);
    EXPECT_EQ(thrower.Reason(), "The file went away");

    // Dropped while running: cancelled and joined, never left running.
    std::atomic<int> pieces{0};
    const auto start = std::chrono::steady_clock::now();
    {
        JobThread dropped(Counting(1'000'000, &pieces), {});
        ASSERT_TRUE(WaitFor([&] { return pieces.load() >= 1; }));
    }
    const int after = pieces.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(pieces.load(), after);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace
}  // namespace zv
