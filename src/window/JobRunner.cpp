#include "window/JobRunner.h"

#include <QProgressDialog>
#include <QTimer>
#include <QWidget>
#include <exception>

#include "common/ui/LogCategories.h"
#include "jobs/JobThread.h"

namespace zv {

namespace {

// The progress bar's range: per mille.
constexpr int kSteps = 1000;
constexpr int kUpdateMs = 50;

}  // namespace

struct JobRunner::Entry {
    std::unique_ptr<JobThread> thread;
    std::function<void(Job&)> finished;
    Ended ended;
    std::unique_ptr<QProgressDialog> dialog;
    std::unique_ptr<QTimer> timer;
};

JobRunner::JobRunner(QWidget* window) : QObject(window), window_(window) {}

JobRunner::~JobRunner() {
    for (auto& [id, running] : jobs_) running->thread->Cancel();
    jobs_.clear();   // each thread joined as it goes
}

JobRunner::JobId JobRunner::StartJob(const QString& label, std::unique_ptr<Job> job,
                                     std::function<void(Job&)> finished, Ended ended) {
    const JobId id = next_++;
    auto running = std::make_unique<Entry>();
    running->finished = std::move(finished);
    running->ended = std::move(ended);
    // The worker's news comes back through the event loop. This runner
    // outlives the thread (its destructor joins it), and a call still
    // queued when it goes is dropped with it.
    try {
        running->thread = std::make_unique<JobThread>(std::move(job), [this, id] {
            QMetaObject::invokeMethod(this, [this, id] { JobEnded(id); }, Qt::QueuedConnection);
        });
    } catch (const std::exception&) {
        if (running->ended) running->ended(JobOutcome::Failed, "Couldn't start the work");
        return 0;
    }
    if (!label.isEmpty()) {
        auto* thread = running->thread.get();
        running->dialog = std::make_unique<QProgressDialog>(label, QStringLiteral("Cancel"), 0, kSteps, window_);
        QProgressDialog& dialog = *running->dialog;
        dialog.setObjectName(QStringLiteral("JobProgress"));
        dialog.setWindowTitle(QStringLiteral("Zorvane"));
        dialog.setWindowModality(Qt::WindowModal);
        dialog.setMinimumDuration(kDialogDelayMs);
        dialog.setAutoClose(false);
        dialog.setAutoReset(false);
        connect(&dialog, &QProgressDialog::canceled, this, [this, id] { Cancel(id); });
        running->timer = std::make_unique<QTimer>();
        running->timer->setInterval(kUpdateMs);
        connect(running->timer.get(), &QTimer::timeout, this, [thread, &dialog] {
            const int perMille = thread->Progress().PerMille();
            if (perMille < 0) dialog.setMaximum(0);   // size unknown: a busy bar
            else dialog.setValue(perMille);
        });
        running->timer->start();
        dialog.setValue(0);
    }
    jobs_.emplace(id, std::move(running));
    return id;
}

void JobRunner::Cancel(JobId id) {
    const auto it = jobs_.find(id);
    if (it != jobs_.end()) it->second->thread->Cancel();
}

void JobRunner::Abandon(JobId id) {
    const auto it = jobs_.find(id);
    if (it == jobs_.end()) return;
    std::unique_ptr<Entry> running = std::move(it->second);
    jobs_.erase(it);
    running->thread->Cancel();
    running->thread->Join();
}

void JobRunner::JobEnded(JobId id) {
    const auto it = jobs_.find(id);
    if (it == jobs_.end()) return;   // abandoned meanwhile
    std::unique_ptr<Entry> running = std::move(it->second);
    jobs_.erase(it);
    running->thread->Join();   // its Run has returned: at once
    if (running->timer) running->timer->stop();
    // Gone before the handlers run: a handler may show a modal message, and
    // a progress bar still waiting out its delay would show up over it.
    running->dialog.reset();
    const JobOutcome outcome = running->thread->Outcome();
    try {
        if (outcome == JobOutcome::Finished) {
            running->finished(running->thread->Work());
        } else if (running->ended) {
            running->ended(outcome, running->thread->Reason());
        }
    } catch (...) {
        LogCurrentError(LogWindow(), "Taking a job's result");
    }
}

} // namespace zv
