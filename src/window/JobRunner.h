#pragma once
// Runs jobs (see jobs/Job.h) on worker threads for the window, which never
// waits on them: Start returns at once, and the job's end is handed back
// later on the window's thread, through the event loop.
//
//   runner.Start<PeakSummary>(
//       JobRunner::Quiet(),                          // or a label: a progress bar
//       [input](JobProgress& p, PeakSummary& out, std::string& reason) {
//           ... work on `input` only, p.SetDone(...), stop when p.Cancelled() ...
//           return JobOutcome::Finished;
//       },
//       [this](PeakSummary&& result) { ... take it (window thread) ... },
//       [this](JobOutcome outcome, const std::string& reason) { ... cancelled or failed ... });
//
// A job with a label shows a window-modal progress bar with a Cancel
// button once it has run for kDialogDelayMs (shorter jobs show nothing).
// Cancel (the button, Cancel(id), or the runner going away with the
// window) makes the job stop at its next piece; its result is then never
// handed over. Handlers run on the window's thread and must not throw.
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

#include "analysis/Analysis.h"
#include "jobs/Job.h"

class QProgressDialog;
class QTimer;
class QWidget;

namespace zv {

class JobThread;

class JobRunner : public QObject {
public:
    using JobId = uint64_t;
    using Ended = std::function<void(JobOutcome, const std::string& reason)>;

    // How long a labelled job runs before its progress bar shows, ms.
    static constexpr int kDialogDelayMs = 400;

    // `window` is the progress bars' parent (and this object's).
    explicit JobRunner(QWidget* window);
    // Cancels every job still running and waits for each to stop (a job
    // stops within milliseconds of a cancel); nothing is handed over.
    ~JobRunner() override;

    // No progress bar: the job runs unseen.
    static QString Quiet() { return {}; }

    // Starts `work` on a thread of its own. `finished` gets the result when
    // the job ran to its end; `ended` (optional) is told otherwise. Returns
    // the job's id, or 0 when no thread could be started (`ended` is then
    // told Failed before this returns).
    template <typename R>
    JobId Start(const QString& label, typename ResultJob<R>::Work work, std::function<void(R&&)> finished,
                Ended ended = {}) {
        auto job = std::make_unique<ResultJob<R>>(std::move(work));
        return StartJob(label, std::move(job),
                        [finished = std::move(finished)](Job& done) {
                            finished(std::move(static_cast<ResultJob<R>&>(done).Result()));
                        },
                        std::move(ended));
    }

    // Starts an analysis (analysis/Analysis.h), its Label on the progress
    // bar (none when empty). `finished` gets it back, on the window's
    // thread, once it ran to its end: to apply its Edit as one undo step and
    // read what else it found. Otherwise as Start.
    template <typename A>
    JobId StartAnalysis(std::unique_ptr<A> analysis, std::function<void(A&)> finished, Ended ended = {}) {
        static_assert(std::is_base_of_v<Analysis, A>, "an Analysis");
        const QString label = QString::fromStdString(analysis->Label());
        return StartJob(label, std::move(analysis),
                        [finished = std::move(finished)](Job& done) { finished(static_cast<A&>(done)); },
                        std::move(ended));
    }

    // Asks a job to stop; its end is still handed back (as Cancelled).
    void Cancel(JobId id);
    // Cancels a job and waits the moment it takes to stop; nothing of it is
    // handed back. For work that must be gone before its input changes.
    void Abandon(JobId id);
    bool Running(JobId id) const { return jobs_.count(id) != 0; }
    bool Busy() const { return !jobs_.empty(); }

private:
    struct Entry;
    JobId StartJob(const QString& label, std::unique_ptr<Job> job, std::function<void(Job&)> finished, Ended ended);
    // On the window's thread, once the job's worker said it ended.
    void JobEnded(JobId id);

    QWidget* window_;
    JobId next_ = 1;
    std::map<JobId, std::unique_ptr<Entry>> jobs_;
};

} // namespace zv
