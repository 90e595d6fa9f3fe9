#include "window/SoundOpener.h"

#include <sys/stat.h>

#include <QFileInfo>
#include <QString>
#include <algorithm>
#include <chrono>
#include <thread>
#include <exception>
#include <utility>

#include "common/Errors.h"
#include "common/MessageBox.h"
#include "playback/MediaDevice.h"
#include "sound/SoundDecoder.h"
#include "sound/SoundDecoding.h"
#include "sound/SoundKind.h"
#include "sound/WavLoader.h"
#include "waveview/SummaryDuringLoad.h"
#include "jobs/JobThread.h"

namespace zv {

namespace {

// Runs `read` (which fills the record, telling its observer as the bytes
// land) on this job's thread with the peak summary made on a thread of its
// own close behind it (SummaryDuringLoad). Returns once both have ended, so
// the summary can follow the record into the window; Cancelled when the
// job was cancelled meanwhile.
JobOutcome ReadWithSummary(JobProgress& progress, SoundOpener::Prepared& out,
                           const std::function<bool(WavReadObserver&)>& read, JobProgress* readProgress) {
    auto during = std::make_shared<SummaryDuringLoad>(readProgress);
    auto job = std::make_unique<ResultJob<PeakSummary>>(
        [during](JobProgress& p, PeakSummary& s, std::string&) { return during->Build(p, s); });
    ResultJob<PeakSummary>* made = job.get();
    JobThread summarising(std::move(job), {});
    const bool loaded = read(*during);
    during->LoadEnded();
    if (!loaded) summarising.Cancel();
    while (!summarising.Ended()) {
        if (progress.Cancelled()) summarising.Cancel();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    summarising.Join();
    if (progress.Cancelled()) return JobOutcome::Cancelled;
    if (loaded && summarising.Outcome() == JobOutcome::Finished) out.summary.emplace(std::move(made->Result()));
    return JobOutcome::Finished;
}

}  // namespace

SoundOpener::SoundOpener(QWidget* window, MessageBox& messages, std::function<void(PeakSummary&&)> peaksMade)
    : messages_(messages), peaksMade_(std::move(peaksMade)), jobs_(std::make_unique<JobRunner>(window)) {}

SoundOpener::~SoundOpener() = default;   // the runner cancels and joins its jobs

bool SoundOpener::NeedsPreparing(const std::string& path) {
    const SoundKind kind = ClassifySoundFile(path);
    if (kind == SoundKind::Compressed) return true;
    struct stat st {};
    return kind == SoundKind::Wave && path.find('\0') == std::string::npos && stat(path.c_str(), &st) == 0 &&
           S_ISREG(st.st_mode) && st.st_size >= kBackgroundBytes;
}

bool SoundOpener::Preparing() const { return prepareJob_ != 0 && jobs_->Running(prepareJob_); }

void SoundOpener::Prepare(const std::string& path, std::function<void()> prepared) {
    if (Preparing()) return;
    typename ResultJob<Prepared>::Work work;
    if (ClassifySoundFile(path) == SoundKind::Compressed) {
        std::shared_ptr<SoundDecoder> decoder;
        try {
            decoder = OpenSoundDecoder(path);
        } catch (const ZorvaneError& e) {
            messages_.Show("Couldn't open " + path + ": " + e.what());
            return;
        } catch (const std::exception&) {
            messages_.Show("Couldn't open " + path + ": Not enough memory to open the file");
            return;
        }
        // The summary follows the decode as a WAV's follows its read.
        work = [decoder](JobProgress& progress, Prepared& out, std::string& reason) {
            DecodeOutcome outcome = DecodeOutcome::Failed;
            const JobOutcome ended = ReadWithSummary(
                progress, out,
                [&](WavReadObserver& observer) {
                    outcome = DecodeSound(out.sound, *decoder, progress, reason, &observer);
                    return outcome == DecodeOutcome::Loaded;
                },
                nullptr);
            if (ended == JobOutcome::Cancelled || outcome == DecodeOutcome::Cancelled) return JobOutcome::Cancelled;
            if (outcome == DecodeOutcome::Failed) return JobOutcome::Failed;
            out.decoded = true;
            return JobOutcome::Finished;
        };
    } else {
        // The read on this job's thread, the summary on a thread of its
        // own close behind it (SummaryDuringLoad); the job ends when both
        // have, so the summary can follow the record into the window.
        work = [path](JobProgress& progress, Prepared& out, std::string&) {
            return ReadWithSummary(
                progress, out,
                [&](WavReadObserver& observer) {
                    out.report = LoadWavFile(out.sound, path, &observer);
                    return out.sound.WavLoaded;
                },
                &progress);
        };
    }
    const QString name = QFileInfo(QString::fromStdString(path)).fileName();
    prepareJob_ = jobs_->Start<Prepared>(
        QStringLiteral("Reading %1 ...").arg(name), std::move(work),
        [this, path, prepared = std::move(prepared)](Prepared&& ready) {
            prepareJob_ = 0;
            preparedPath_ = path;
            prepared_.emplace(std::move(ready));
            prepared();
        },
        [this, path](JobOutcome outcome, const std::string& reason) {
            prepareJob_ = 0;
            if (outcome == JobOutcome::Failed) messages_.Show("Couldn't open " + path + ": " + reason);
        });
}

void SoundOpener::OfferDecoded(MediaDevice& device, const std::string& path, const Prepared& prepared) {
    const SoundData& sound = prepared.sound;
    if (!prepared.decoded || !sound.WavLoaded || sound.Encoding != SampleEncoding::Int16) return;
    device.OfferDecoded(path, sound.Samples.Share(), sound.WavFormat.nChannels, sound.NumSamples);
}

std::optional<SoundOpener::Prepared> SoundOpener::TakePrepared(const std::string& path) {
    if (!prepared_ || preparedPath_ != path) return std::nullopt;
    std::optional<Prepared> taken = std::move(prepared_);
    prepared_.reset();
    preparedPath_.clear();
    return taken;
}

void SoundOpener::DropSummary() {
    ++loads_;
    if (summaryJob_ != 0) jobs_->Abandon(summaryJob_);
    summaryJob_ = 0;
    peaksMade_(PeakSummary{});
}

void SoundOpener::HandOverLater(PeakSummary&& summary) {
    const uint64_t load = loads_;
    auto kept = std::make_shared<PeakSummary>(std::move(summary));
    QMetaObject::invokeMethod(
        jobs_.get(),
        [this, load, kept] {
            if (load == loads_) peaksMade_(std::move(*kept));
        },
        Qt::QueuedConnection);
}

Report SoundOpener::Load(SoundData& sound, const std::string& path, std::optional<Prepared> prepared) {
    DropSummary();
    const auto handOver = [this](PeakSummary&& summary) {
        summaryJob_ = 0;
        peaksMade_(std::move(summary));
    };
    const auto dropped = [this](JobOutcome, const std::string&) { summaryJob_ = 0; };
    if (prepared) {
        sound = std::move(prepared->sound);
        if (!sound.WavLoaded) return prepared->report;
        if (prepared->summary) {
            // Made in the read pass: it follows the record it summarises.
            prepared->summary->Follow(sound);
            HandOverLater(std::move(*prepared->summary));
            return prepared->report;
        }
        const SoundData* record = &sound;
        summaryJob_ = jobs_->Start<PeakSummary>(
            JobRunner::Quiet(),
            [record](JobProgress& progress, PeakSummary& summary, std::string&) {
                // In pieces, to answer a cancel at once.
                constexpr std::size_t kPiece = std::size_t{4} << 20;
                const std::size_t size = record->size();
                summary.Begin(*record, size);
                progress.SetTotal(static_cast<int64_t>(size));
                for (std::size_t done = 0; done < size;) {
                    if (progress.Cancelled()) return JobOutcome::Cancelled;
                    done = std::min(size, done + kPiece);
                    summary.Add(done);
                    progress.SetDone(static_cast<int64_t>(done));
                }
                summary.Finish();
                return JobOutcome::Finished;
            },
            handOver, dropped);
        return prepared->report;
    }
    // A small WAV loads at once; its summary follows the read on a worker.
    auto during = std::make_shared<SummaryDuringLoad>();
    summaryJob_ = jobs_->Start<PeakSummary>(
        JobRunner::Quiet(),
        [during](JobProgress& progress, PeakSummary& summary, std::string&) { return during->Build(progress, summary); },
        handOver, dropped);
    const Report report = LoadWavFile(sound, path, summaryJob_ != 0 ? during.get() : nullptr);
    during->LoadEnded();
    // A load that failed after its read began leaves no sound to summarise.
    if (!sound.WavLoaded && summaryJob_ != 0) {
        jobs_->Abandon(summaryJob_);
        summaryJob_ = 0;
    }
    return report;
}

} // namespace zv
