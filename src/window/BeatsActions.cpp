#include "window/BeatsActions.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <algorithm>
#include <exception>
#include <chrono>
#include <future>
#include <utility>
#include <vector>

#include "beats/FramesPerBeat.h"
#include "common/MessageBox.h"
#include "document/SoundDocument.h"
#include "sound/MonoMix.h"
#include "sound/SoundData.h"
#include "window/JobRunner.h"
#include "window/Platform.h"
#include "window/TrackUndo.h"

namespace zv {

BeatsActions::BeatsActions(Parts parts, QObject* parent)
    : QObject(parent), parts_(std::move(parts)), jobs_(new JobRunner(parts_.window)) {}

BeatsActions::~BeatsActions() {
    // Joins a running analysis before the sound it reads can go.
    delete jobs_;
}

void BeatsActions::FillMenu(QMenu& menu) {
    findBeats = menu.addAction(QStringLiteral("Find Beats"));
    findBeats->setObjectName(QStringLiteral("MnuFindBeats"));
    connect(findBeats, &QAction::triggered, this, [this] { FindBeatsNow(); });
    markOnsets = menu.addAction(QStringLiteral("Mark Onsets"));
    markOnsets->setObjectName(QStringLiteral("MnuMarkOnsets"));
    connect(markOnsets, &QAction::triggered, this, [this] { MarkOnsetsNow(); });
    sensitivityMenu_ = menu.addMenu(QStringLiteral("Onset Sensitivity"));
    auto* group = new QActionGroup(sensitivityMenu_);
    for (const auto& [caption, threshold] : {std::pair{"Low", kLowSensitivity},
                                             std::pair{"Medium", kMediumSensitivity},
                                             std::pair{"High", kHighSensitivity}}) {
        QAction* a = sensitivityMenu_->addAction(QString::fromUtf8(caption));
        a->setCheckable(true);
        a->setChecked(threshold == sensitivity_);
        group->addAction(a);
        const double t = threshold;
        connect(a, &QAction::triggered, this, [this, t] { sensitivity_ = t; });
    }
    Enable(false);
}

void BeatsActions::SetSensitivity(double threshold) {
    sensitivity_ = threshold;
    if (!sensitivityMenu_) return;
    const QList<QAction*> entries = sensitivityMenu_->actions();
    const double levels[] = {kLowSensitivity, kMediumSensitivity, kHighSensitivity};
    for (qsizetype i = 0; i < entries.size() && i < 3; ++i) entries[i]->setChecked(levels[i] == threshold);
}

void BeatsActions::Enable(bool soundOpen) {
    const bool on = soundOpen && !Running();
    if (findBeats) findBeats->setEnabled(on);
    if (markOnsets) markOnsets->setEnabled(on);
}

bool BeatsActions::Running() const { return job_ != 0 && jobs_->Running(job_); }

void BeatsActions::Cancel() {
    if (Running()) jobs_->Cancel(job_);
}

void BeatsActions::FindBeatsNow() { Run(Purpose::Beats); }
void BeatsActions::MarkOnsetsNow() { Run(Purpose::Onsets); }

std::pair<int64_t, int64_t> BeatsActions::Stretch() const {
    const int64_t total = parts_.sound.NumSamples;
    const int64_t rate = parts_.sound.WavFormat.nSamplesPerSec;
    const int64_t startMs = parts_.selStartMs(), endMs = parts_.selEndMs();
    if (rate <= 0 || endMs <= startMs) return {0, total};
    const int64_t from = std::clamp<int64_t>(startMs * rate / 1000, 0, total);
    const int64_t to = std::clamp<int64_t>(endMs * rate / 1000, 0, total);
    // A selection that covers the sound (to the ms) is the whole sound.
    if (to - from <= 0 || (from == 0 && to >= total - rate / 1000)) return {0, total};
    return {from, to};
}

void BeatsActions::Run(Purpose purpose) {
    if (Running() || !parts_.document.HasSound() || parts_.sound.NumSamples <= 0) return;
    const auto [from, to] = Stretch();
    const int32_t rate = parts_.sound.WavFormat.nSamplesPerSec;
    BeatOptions options;
    const double threshold = purpose == Purpose::Onsets ? sensitivity_ : 0.0;
    const SoundData& sound = parts_.sound;
    // The sound is read on the worker: the window refuses another open
    // while this runs, and the runner joins the worker before it goes.
    auto work = [&sound, from = from, to = to, rate, options, threshold](
                    JobProgress& progress, BeatAnalysis& result, std::string& reason) {
        const std::vector<float> mono = MonoMix(sound, from, to);
        if (progress.Cancelled()) return JobOutcome::Cancelled;
        BeatProgress beatProgress;
        std::future<std::optional<BeatAnalysis>> found = std::async(std::launch::async, [&] {
            std::optional<OnsetCurve> curve = ReadOnsets(mono.data(), mono.size(), rate, &beatProgress, threshold);
            if (!curve) return std::optional<BeatAnalysis>{};
            return std::optional<BeatAnalysis>{PlaceBeats(*curve, from, options)};
        });
        // The analysis reports through its own counters: passed on to the
        // runner's bar, and the runner's Cancel passed back.
        while (found.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
            progress.SetTotal(beatProgress.totalSamples.load());
            progress.SetDone(beatProgress.doneSamples.load());
            if (progress.Cancelled()) beatProgress.cancel.store(true);
        }
        std::optional<BeatAnalysis> analysis;
        try {
            analysis = found.get();
        } catch (const std::exception& e) {
            reason = e.what();
            return JobOutcome::Failed;
        }
        if (!analysis || progress.Cancelled()) return JobOutcome::Cancelled;
        result = std::move(*analysis);
        return JobOutcome::Finished;
    };
    const QString label = purpose == Purpose::Beats ? QStringLiteral("Finding beats") : QStringLiteral("Finding onsets");
    job_ = jobs_->Start<BeatAnalysis>(
        label, std::move(work), [this, purpose](BeatAnalysis&& analysis) { Finished(purpose, std::move(analysis)); },
        [this](JobOutcome outcome, const std::string& reason) {
            job_ = 0;
            Enable(parts_.document.HasSound());
            if (outcome == JobOutcome::Failed)
                parts_.platform.messages.Show("Couldn't analyse the sound: " + reason);
            // Cancelled: the tracks stay as they were.
        });
    Enable(true);
}

QString BeatsActions::Readout() const {
    if (!last_) return {};
    return QString::fromStdString(BeatReadout(*last_, parts_.frameRate()));
}

void BeatsActions::Finished(Purpose purpose, BeatAnalysis&& analysis) {
    job_ = 0;
    Enable(parts_.document.HasSound());
    if (purpose == Purpose::Onsets) {
        std::vector<TrackItem> marks = parts_.document.Marks().Items();
        std::vector<TrackItem> onsets = OnsetItems(analysis);
        if (onsets.empty()) {
            parts_.platform.messages.Show("No onsets found");
            return;
        }
        for (TrackItem& onset : onsets) {
            onset.kind.clear();   // plain marks
            marks.push_back(std::move(onset));
        }
        parts_.undo.Change(SoundDocument::kMarks, std::move(marks), QStringLiteral("Mark Onsets"));
        return;
    }
    last_ = std::move(analysis);
    // No steady beat: the beats track is left as it was; the onsets are
    // still offered through Mark Onsets.
    if (last_->steady)
        parts_.undo.Change(SoundDocument::kBeats, BeatItems(*last_), QStringLiteral("Find Beats"));
    parts_.platform.messages.Show(Readout().toStdString());
}

} // namespace zv
