#include "window/SoundOpener.h"

#include <QFileInfo>
#include <QString>
#include <algorithm>
#include <exception>
#include <utility>

#include "common/Errors.h"
#include "common/MessageBox.h"
#include "sound/SoundDecoder.h"
#include "sound/SoundDecoding.h"
#include "sound/WavLoader.h"
#include "waveview/PeakSummary.h"
#include "waveview/SummaryDuringLoad.h"

namespace zv {

SoundOpener::SoundOpener(QWidget* window, MessageBox& messages, std::function<void(PeakSummary&&)> peaksMade)
    : messages_(messages), peaksMade_(std::move(peaksMade)), jobs_(std::make_unique<JobRunner>(window)) {}

SoundOpener::~SoundOpener() = default;   // the runner cancels and joins its jobs

bool SoundOpener::Decoding() const { return decodeJob_ != 0 && jobs_->Running(decodeJob_); }

void SoundOpener::Decode(const std::string& path, std::function<void()> decoded) {
    if (Decoding()) return;
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
    const QString name = QFileInfo(QString::fromStdString(path)).fileName();
    decodeJob_ = jobs_->Start<SoundData>(
        QStringLiteral("Reading %1 ...").arg(name),
        [decoder](JobProgress& progress, SoundData& sound, std::string& reason) {
            switch (DecodeSound(sound, *decoder, progress, reason)) {
            case DecodeOutcome::Loaded: return JobOutcome::Finished;
            case DecodeOutcome::Cancelled: return JobOutcome::Cancelled;
            case DecodeOutcome::Failed: break;
            }
            return JobOutcome::Failed;
        },
        [this, path, decoded = std::move(decoded)](SoundData&& sound) {
            decodeJob_ = 0;
            decodedPath_ = path;
            decoded_.emplace(std::move(sound));
            decoded();
        },
        [this, path](JobOutcome outcome, const std::string& reason) {
            decodeJob_ = 0;
            if (outcome == JobOutcome::Failed) messages_.Show("Couldn't open " + path + ": " + reason);
        });
}

std::optional<SoundData> SoundOpener::TakeDecoded(const std::string& path) {
    if (!decoded_ || decodedPath_ != path) return std::nullopt;
    std::optional<SoundData> taken = std::move(decoded_);
    decoded_.reset();
    decodedPath_.clear();
    return taken;
}

void SoundOpener::DropSummary() {
    if (summaryJob_ != 0) jobs_->Abandon(summaryJob_);
    summaryJob_ = 0;
    peaksMade_(PeakSummary{});
}

Report SoundOpener::Load(SoundData& sound, const std::string& path, std::optional<SoundData> decoded) {
    DropSummary();
    const auto handOver = [this](PeakSummary&& summary) {
        summaryJob_ = 0;
        peaksMade_(std::move(summary));
    };
    const auto dropped = [this](JobOutcome, const std::string&) { summaryJob_ = 0; };
    if (decoded) {
        sound = std::move(*decoded);
        if (!sound.WavLoaded) return {};
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
        return {};
    }
    // The summary follows the loader through the data chunk on a worker.
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
