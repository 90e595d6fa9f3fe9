// A labelled job that ends before its progress bar's delay: a result
// handler that shows a modal message (a nested event loop longer than the
// delay) must not have the progress bar turn up over it.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "window/JobRunner.h"

namespace zv {
namespace {

TEST(JobRunner, AQuickJobsBarNeverShowsOverWhatItsHandlerShows) {
    QWidget window;
    window.show();
    JobRunner runner(&window);
    bool handled = false, barSeen = false;
    runner.Start<int>(
        QStringLiteral("Working"),
        [](JobProgress&, int& out, std::string&) {
            out = 1;
            return JobOutcome::Finished;
        },
        [&](int&&) {
            // As a modal message box would: events run while the user reads.
            QEventLoop loop;
            QTimer::singleShot(3 * JobRunner::kDialogDelayMs, &loop, &QEventLoop::quit);
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, [&] {
                for (QProgressDialog* bar : window.findChildren<QProgressDialog*>())
                    barSeen = barSeen || bar->isVisible();
            });
            poll.start(20);
            loop.exec();
            handled = true;
        });
    QTRY_VERIFY_WITH_TIMEOUT(handled, 10000);
    EXPECT_FALSE(barSeen);
}

} // namespace
} // namespace zv
