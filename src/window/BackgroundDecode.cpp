#include "window/BackgroundDecode.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <exception>
#include <memory>
#include <thread>

#include "common/Errors.h"
#include "sound/SoundDecoder.h"

namespace zv {

namespace {

// The progress bar's range: per mille of the stated length.
constexpr int kSteps = 1000;
constexpr int kUpdateMs = 50;

}  // namespace

DecodeOutcome BackgroundDecode::Run(const std::string& path, SoundData& sound, std::string& reason) {
    std::unique_ptr<SoundDecoder> decoder;
    try {
        decoder = OpenSoundDecoder(path);
    } catch (const ZorvaneError& e) {
        reason = e.what();
        return DecodeOutcome::Failed;
    } catch (const std::exception&) {
        reason = "Not enough memory to open the file";
        return DecodeOutcome::Failed;
    }

    DecodeProgress progress;
    std::atomic<bool> done{false};
    DecodeOutcome outcome = DecodeOutcome::Failed;
    QEventLoop loop;
    std::thread worker;
    try {
        worker = std::thread([&] {
            outcome = DecodeSound(sound, *decoder, progress, reason);
            done.store(true, std::memory_order_release);
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
    } catch (const std::exception&) {
        reason = "Couldn't start decoding";
        return DecodeOutcome::Failed;
    }

    {
        const QString name = QFileInfo(QString::fromStdString(path)).fileName();
        QProgressDialog dialog(QStringLiteral("Reading %1 ...").arg(name), QStringLiteral("Cancel"), 0, kSteps,
                               parent_);
        dialog.setObjectName(QStringLiteral("DecodeProgress"));
        dialog.setWindowTitle(QStringLiteral("Zorvane"));
        dialog.setWindowModality(Qt::WindowModal);
        dialog.setMinimumDuration(kDialogDelayMs);
        dialog.setAutoClose(false);
        dialog.setAutoReset(false);
        QObject::connect(&dialog, &QProgressDialog::canceled, [&] {
            progress.cancel.store(true);
            loop.quit();
        });
        QTimer timer;
        timer.setInterval(kUpdateMs);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            const int64_t stated = progress.statedFrames.load(std::memory_order_relaxed);
            const int64_t decoded = progress.decodedFrames.load(std::memory_order_relaxed);
            if (stated <= 0) {
                dialog.setMaximum(0);   // length unknown: a busy bar
            } else {
                const int64_t step = decoded >= stated ? kSteps : decoded * kSteps / stated;
                dialog.setValue(static_cast<int>(step));
            }
        });
        timer.start();
        dialog.setValue(0);
        if (!done.load(std::memory_order_acquire)) loop.exec();
        // The loop also ends when the program is leaving: stop the worker.
        if (!done.load(std::memory_order_acquire)) progress.cancel.store(true);
        worker.join();
    }
    if (progress.cancel.load() && outcome != DecodeOutcome::Loaded) return DecodeOutcome::Cancelled;
    if (progress.cancel.load()) {
        // Cancelled as the last piece came in: the user asked for nothing.
        sound.WavLoaded = false;
        return DecodeOutcome::Cancelled;
    }
    return outcome;
}

} // namespace zv
