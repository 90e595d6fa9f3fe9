#include "window/BeatsActions.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <exception>
#include <chrono>
#include <utility>
#include <vector>

#include "analysis/BeatFinding.h"
#include "analysis/OnsetMarking.h"
#include "beats/BeatTrack.h"
#include "beats/FramesPerBeat.h"
#include "common/FrameTime.h"
#include "common/MessageBox.h"
#include "document/SoundDocument.h"
#include "sound/SoundData.h"
#include "playback/ui/MediaControl.h"
#include "session/Session.h"
#include "window/JobRunner.h"
#include "window/Platform.h"
#include "window/TrackUndo.h"

namespace zv {

BeatsActions::BeatsActions(Platform& platform, SoundDocument& document, const SoundData& sound, TrackUndo& undo,
                           const Session& session, const MediaControl& media, QWidget* window, QObject* parent)
    : QObject(parent), platform_(platform), document_(document), sound_(sound), undo_(undo), session_(session),
      media_(media), window_(window), jobs_(new JobRunner(window)) {}

BeatsActions::~BeatsActions() {
    // Joins a running analysis before the sound it reads can go.
    delete jobs_;
}

void BeatsActions::FillMenu(QMenu& menu) {
    const auto add = [&](QAction*& action, const char* name, const char* caption, auto handler) {
        action = menu.addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromUtf8(name));
        connect(action, &QAction::triggered, this, handler);
    };
    add(findBeats, "MnuFindBeats", "Find Beats", [this] { FindBeatsNow(); });
    add(setTempo, "MnuSetTempo", "Set Tempo...", [this] { SetTempoNow(); });
    add(halveTempo, "MnuHalveTempo", "Halve Tempo", [this] { HalveTempo(); });
    add(doubleTempo, "MnuDoubleTempo", "Double Tempo", [this] { DoubleTempo(); });
    add(threeHalvesTempo, "MnuTempoThreeHalves", "Tempo \u00d73/2", [this] { TempoThreeHalves(); });
    add(twoThirdsTempo, "MnuTempoTwoThirds", "Tempo \u00d72/3", [this] { TempoTwoThirds(); });
    add(shiftHalfBeat, "MnuShiftHalfBeat", "Shift Beats by Half a Beat", [this] { ShiftHalfBeatNow(); });
    // T is a single key of the waveform (WaveKeys): the entry names it.
    add(tapTempo, "MnuTapTempo", "Tap Tempo\tT", [this] { TapNow(); });
    add(beatsPerBar, "MnuBeatsPerBar", "Beats per Bar...", [this] { SetBeatsPerBarNow(); });
    add(downbeatHere, "MnuDownbeatHere", "Bar 1, Beat 1 here",
        [this] { SetDownbeatAt(media_.PositionSample()); });
    menu.addSeparator();
    add(markOnsets, "MnuMarkOnsets", "Mark Onsets", [this] { MarkOnsetsNow(); });
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
    soundOpen_ = soundOpen;
    const bool on = soundOpen && !Running();
    const bool beats = on && Beats().steady;
    for (QAction* a : {findBeats, markOnsets})
        if (a) a->setEnabled(on);
    for (QAction* a : {setTempo, halveTempo, doubleTempo, threeHalvesTempo, twoThirdsTempo, shiftHalfBeat, tapTempo,
                       beatsPerBar, downbeatHere})
        if (a) a->setEnabled(beats);
}

bool BeatsActions::Running() const { return job_ != 0 && jobs_->Running(job_); }

void BeatsActions::Cancel() {
    if (Running()) jobs_->Cancel(job_);
}

void BeatsActions::FindBeatsNow() {
    BeatOptions options;
    // Bars the user set on these beats stay (a new Find Beats over a new
    // selection keeps the beats a bar).
    // Otherwise the meter is found.
    options.beatsPerBar = Beats().steady ? Beats().beatsPerBar : 0;
    Run(Purpose::Beats, options, QStringLiteral("Find Beats"));
}

void BeatsActions::MarkOnsetsNow() { Run(Purpose::Onsets, BeatOptions{}, QStringLiteral("Mark Onsets")); }

BeatAnalysis BeatsActions::Beats() const {
    const Track* track = document_.Find(SoundDocument::kBeats);
    if (!track || !document_.HasSound()) return {};
    const bool read = curve_ && curvePath_ == document_.Info().path;
    return AnalysisOfBeatItems(track->Items(), document_.Info().sampleRate,
                               read ? onsets_ : std::vector<int64_t>{});
}

std::pair<int64_t, int64_t> BeatsActions::Stretch() const {
    const int64_t total = sound_.NumSamples;
    const int32_t rate = sound_.WavFormat.nSamplesPerSec;
    const auto selected = SelectedSamples(session_.SelectionStartMs(), session_.SelectionEndMs(), rate, total);
    // A selection that covers the sound (to the ms) is the whole sound.
    if (!selected || (selected->first == 0 && selected->second >= total - rate / 1000)) return {0, total};
    return *selected;
}

void BeatsActions::Run(Purpose purpose, const BeatOptions& options, const QString& what) {
    if (Running() || !document_.HasSound() || sound_.NumSamples <= 0) return;
    const auto [from, to] = Stretch();
    // The sound is read on the worker: the window refuses another open
    // while this runs, and the runner joins the worker before it goes.
    std::unique_ptr<BeatFinding> analysis =
        purpose == Purpose::Onsets
            ? std::make_unique<OnsetMarking>(sound_, from, to, sensitivity_)
            : std::make_unique<BeatFinding>(sound_, from, to, options, 0.0, what.toStdString());
    job_ = jobs_->StartAnalysis<BeatFinding>(
        std::move(analysis), [this, purpose, what](BeatFinding& done) { Finished(purpose, done, what); },
        [this](JobOutcome outcome, const std::string& reason) {
            job_ = 0;
            pendingTempo_.reset();
            Enable(document_.HasSound());
            if (outcome == JobOutcome::Failed)
                platform_.messages.Show("Couldn't analyse the sound: " + reason);
            // Cancelled: the tracks stay as they were.
        });
    Enable(soundOpen_);
}

QString BeatsActions::Readout() const {
    const BeatAnalysis beats = Beats();
    if (beats.steady) return QString::fromStdString(BeatReadout(beats, session_.Rate()));
    if (!lastSteady_) return QString::fromStdString(BeatReadout(BeatAnalysis{}, session_.Rate()));
    return {};
}

void BeatsActions::Keep(const BeatAnalysis& analysis, const QString& what, uint64_t mergeKey) {
    undo_.Change(SoundDocument::kBeats, BeatItems(analysis), what, mergeKey);
    Enable(soundOpen_);
}

void BeatsActions::Finished(Purpose purpose, BeatFinding& done, const QString& what) {
    job_ = 0;
    curve_ = done.Curve();
    curveFrom_ = done.From();
    curvePath_ = document_.Info().path;
    onsets_ = done.Found().onsets;
    Enable(document_.HasSound());
    if (purpose == Purpose::Onsets) {
        const TrackEdit edit = done.Edit(document_);
        if (edit.Empty()) {
            platform_.messages.Show("No onsets found");
            return;
        }
        undo_.Change(edit.tracks, QString::fromStdString(edit.step));
        return;
    }
    if (pendingTempo_) {
        const double bpm = *pendingTempo_;
        pendingTempo_.reset();
        PlaceAt(bpm, what);
        return;
    }
    // No steady beat: the beats track is left as it was; the onsets are
    // still offered through Mark Onsets.
    lastSteady_ = done.Found().steady;
    if (!lastSteady_) {
        platform_.messages.Show(BeatReadout(done.Found(), session_.Rate()));
        return;
    }
    const TrackEdit edit = done.Edit(document_);
    undo_.Change(edit.tracks, QString::fromStdString(edit.step));
    Enable(soundOpen_);
    if (what == QStringLiteral("Find Beats")) platform_.messages.Show(Readout().toStdString());
}

void BeatsActions::PlaceAt(double bpm, const QString& what, uint64_t mergeKey) {
    if (Running()) return;
    if (const std::string refused = RefusedTempo(bpm); !refused.empty()) {
        platform_.messages.Show(refused);
        return;
    }
    BeatOptions options = KeptBarOptions(Beats());
    options.bpm = bpm;
    if (curve_ && curvePath_ == document_.Info().path) {
        // The onsets are read: placing the beats again takes milliseconds.
        BeatAnalysis placed = PlaceBeats(*curve_, curveFrom_, options);
        if (!placed.steady) {
            // The onsets do not bear the tempo out: the user's tempo holds,
            // laid evenly from bar 1 over the stretch read.
            const BeatAnalysis now = Beats();
            const int64_t anchor =
                options.downbeatSample.value_or(now.beats.empty() ? curveFrom_ : now.beats.front().sample);
            placed = LaidGrid(bpm, anchor, curveFrom_, curveFrom_ + curve_->samples, document_.Info().sampleRate,
                              options.beatsPerBar);
            placed.onsets = onsets_;
        }
        if (placed.steady) Keep(placed, what, mergeKey);
        return;
    }
    // Beats read from the file: the onsets are read first, on a worker,
    // then the beats placed as above.
    pendingTempo_ = bpm;
    Run(Purpose::Beats, options, what);
}

void BeatsActions::SetTempoNow() {
    const BeatAnalysis beats = Beats();
    if (!beats.steady) return;
    char shown[32];
    std::snprintf(shown, sizeof shown, "%.2f", static_cast<double>(BpmHundredths(beats.bpm)) / 100.0);
    const std::optional<std::string> typed =
        platform_.messages.AskText("Tempo in BPM (beats a minute, 20 to 400):", shown);
    if (!typed) return;
    const std::optional<int64_t> hundredths = ParseBpmHundredths(*typed);
    if (!hundredths) {
        platform_.messages.Show("\"" + *typed + "\" is not a tempo. Type the beats a minute, such as 128 or 127.5.");
        return;
    }
    PlaceAt(static_cast<double>(*hundredths) / 100.0, QStringLiteral("Set Tempo"));
}

void BeatsActions::HalveTempo() {
    const BeatAnalysis beats = Beats();
    if (beats.steady) PlaceAt(beats.bpm / 2, QStringLiteral("Halve Tempo"));
}

void BeatsActions::DoubleTempo() {
    const BeatAnalysis beats = Beats();
    if (beats.steady) PlaceAt(beats.bpm * 2, QStringLiteral("Double Tempo"));
}

void BeatsActions::TempoThreeHalves() {
    const BeatAnalysis beats = Beats();
    if (beats.steady) PlaceAt(beats.bpm * 3 / 2, QStringLiteral("Tempo \u00d73/2"));
}

void BeatsActions::TempoTwoThirds() {
    const BeatAnalysis beats = Beats();
    if (beats.steady) PlaceAt(beats.bpm * 2 / 3, QStringLiteral("Tempo \u00d72/3"));
}

void BeatsActions::ShiftHalfBeatNow() {
    if (Running()) return;
    BeatAnalysis beats = Beats();
    if (!beats.steady || beats.beats.size() < 2) return;
    ShiftHalfBeat(beats, sound_.NumSamples);
    Keep(beats, QStringLiteral("Shift Beats by Half a Beat"));
}

void BeatsActions::TapNow() {
    if (media_.Mode() != MediaControl::ModePlay || !Beats().steady) return;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count();
    const std::optional<double> bpm = taps_.Tap(ms);
    if (taps_.Taps() == 1) ++tapRun_;   // a new run of taps: a new undo step
    if (bpm) PlaceAt(*bpm, QStringLiteral("Tap Tempo"), tapRun_);
}

void BeatsActions::SetBeatsPerBarNow() {
    BeatAnalysis beats = Beats();
    if (!beats.steady) return;
    const std::optional<std::string> typed =
        platform_.messages.AskText("Beats per bar (1 to 32):", std::to_string(beats.beatsPerBar));
    if (!typed) return;
    int count = 0;
    const char* end = typed->data() + typed->size();
    const auto [ptr, ec] = std::from_chars(typed->data(), end, count);
    if (ec != std::errc{} || ptr != end || count < 1 || count > 32) {
        platform_.messages.Show("\"" + *typed + "\" can't be used: a bar has from 1 to 32 beats.");
        return;
    }
    const std::size_t downbeat = NearestBeat(beats, KeptBarOptions(beats).downbeatSample.value_or(0)).value_or(0);
    beats.beatsPerBar = count;
    NumberBars(beats.beats, count, downbeat);
    Keep(beats, QStringLiteral("Beats per Bar"));
}

void BeatsActions::SetDownbeatAt(int64_t sample) {
    BeatAnalysis beats = Beats();
    const std::optional<std::size_t> nearest = NearestBeat(beats, sample);
    if (!beats.steady || !nearest) return;
    NumberBars(beats.beats, beats.beatsPerBar, *nearest);
    Keep(beats, QStringLiteral("Set Downbeat"));
}

void BeatsActions::DownbeatMenu(int64_t sample, const QPoint& where) {
    if (!Beats().steady) return;
    QMenu menu(window_);
    QAction* downbeat = menu.addAction(QStringLiteral("Bar 1, Beat 1 here"));
    if (menu.exec(where) == downbeat) SetDownbeatAt(sample);
}

} // namespace zv
