#pragma once
// The Analyze menu's beat work:
//   - Find Beats: the selection, or the whole sound, analysed on a worker
//     thread with progress and Cancel; the beats go to the document's Beats
//     track as one undoable step, kept beside the sound.
//   - The corrections: Set Tempo..., Halve Tempo, Double Tempo, Tempo x3/2,
//     Tempo x2/3, Tap Tempo (T while playing), Shift Beats by Half a Beat,
//     Beats per Bar... and "Bar 1, Beat 1 here". Each is
//     one undoable step on the Beats track (a run of taps is one step). A
//     new tempo places the beats again from the onsets already read (the
//     onset pass runs again only for beats read from the file), keeping the
//     beats a bar and bar 1's beat.
//   - Mark Onsets: a mark at each onset, one undoable step, at the chosen
//     sensitivity.
// A cancelled or failed run leaves the tracks as they were. The Beats track
// is the one record of the beats: the readout and the corrections read it.
//
// Units: the selection's ends in ms (the session's views of them), sample
// frames everywhere else.
#include <QObject>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "beats/BeatAnalysis.h"
#include "beats/TapTempo.h"
#include "common/FrameRate.h"

class QAction;
class QMenu;
class QWidget;

namespace zv {

class BeatFinding;
class JobRunner;
class MediaControl;
class Session;
class SoundDocument;
class TrackUndo;
struct Platform;
struct SoundData;

class BeatsActions : public QObject {
public:
    // Onset sensitivity: aubio's peak-picking threshold for Mark Onsets.
    static constexpr double kLowSensitivity = 0.3;
    static constexpr double kMediumSensitivity = 0.18;
    static constexpr double kHighSensitivity = 0.06;

    // The analyses read `sound` (the document's samples); their results go
    // to `document`'s tracks as steps of `undo`; the selection and the rate
    // come from `session`; `media` tells the position and whether it plays;
    // jobs show their progress over `window`. All of them outlive this object.
    BeatsActions(Platform& platform, SoundDocument& document, const SoundData& sound, TrackUndo& undo,
                 const Session& session, const MediaControl& media, QWidget* window, QObject* parent);
    ~BeatsActions() override;

    // Adds "Find Beats", the corrections, "Mark Onsets" and "Onset
    // Sensitivity" to `menu`.
    void FillMenu(QMenu& menu);
    // Enables the entries: the analyses when a sound is open and none runs,
    // the corrections when there are beats to correct.
    void Enable(bool soundOpen);

    void FindBeatsNow();
    void MarkOnsetsNow();
    void Cancel();
    bool Running() const;

    // The corrections.
    void SetTempoNow();            // asks for the BPM
    void HalveTempo();
    void DoubleTempo();
    void TempoThreeHalves();       // x3/2
    void TempoTwoThirds();         // x2/3
    void ShiftHalfBeatNow();       // every beat half a beat later
    void TapNow();                 // one tap of Tap Tempo (only while playing)
    void SetBeatsPerBarNow();      // asks for the number
    void SetDownbeatAt(int64_t sample);   // the beat nearest `sample` is bar 1, beat 1
    // The waveform box's right-click menu at sample frame `sample`, shown
    // at `where` (global pixels) with steady beats: "Bar 1, Beat 1 here".
    void DownbeatMenu(int64_t sample, const QPoint& where);
    // The beats of the Beats track (not steady without two beats or more).
    BeatAnalysis Beats() const;

    // The readout of the Beats track ("128.00 BPM · 11.25 frames a beat
    // (45/4) at 24 fps"), or of the last analysis that found no steady beat
    // ("No steady beat found"); empty before any.
    QString Readout() const;

    double Sensitivity() const { return sensitivity_; }
    void SetSensitivity(double threshold);

    QAction* findBeats = nullptr;
    QAction* markOnsets = nullptr;
    QAction* setTempo = nullptr;
    QAction* halveTempo = nullptr;
    QAction* doubleTempo = nullptr;
    QAction* threeHalvesTempo = nullptr;
    QAction* twoThirdsTempo = nullptr;
    QAction* shiftHalfBeat = nullptr;
    QAction* tapTempo = nullptr;
    QAction* beatsPerBar = nullptr;
    QAction* downbeatHere = nullptr;

private:
    enum class Purpose { Beats, Onsets };
    // Starts Find Beats or Mark Onsets (an Analysis) on the stretch.
    void Run(Purpose purpose, const BeatOptions& options, const QString& what);
    void Finished(Purpose purpose, BeatFinding& done, const QString& what);
    // Places the beats again at `bpm` (checked first), as the step `what`.
    void PlaceAt(double bpm, const QString& what, uint64_t mergeKey = 0);
    // Writes the beats to the Beats track as one step.
    void Keep(const BeatAnalysis& analysis, const QString& what, uint64_t mergeKey = 0);
    // The stretch to analyse: the selection, or [0, NumSamples) when the
    // selection is empty or the whole sound.
    std::pair<int64_t, int64_t> Stretch() const;

    Platform& platform_;
    SoundDocument& document_;
    const SoundData& sound_;
    TrackUndo& undo_;
    const Session& session_;
    const MediaControl& media_;
    QWidget* window_;
    JobRunner* jobs_ = nullptr;   // child of this object
    uint64_t job_ = 0;
    bool soundOpen_ = false;
    // The onsets read last, kept to place the beats again at a new tempo:
    // the curve of sample frames [curveFrom_, ...) of the sound at curvePath_.
    std::optional<OnsetCurve> curve_;
    int64_t curveFrom_ = 0;
    std::string curvePath_;
    std::vector<int64_t> onsets_;   // the onsets found on it (sample frames)
    std::optional<double> pendingTempo_;   // a tempo waiting for the onsets to be read
    bool lastSteady_ = true;      // the last Find Beats found a steady beat
    TapTempo taps_;
    uint64_t tapRun_ = 0;         // counts runs of taps: a run is one undo step
    double sensitivity_ = kMediumSensitivity;
    QMenu* sensitivityMenu_ = nullptr;
};

} // namespace zv
