#pragma once
// The Analyze menu's beat work: Find Beats (the selection, or the whole
// sound, analysed on a worker thread with progress and Cancel; the beats go
// to the document's Beats track as one undoable step, kept beside the sound)
// and Mark Onsets (a mark at each onset, one undoable step, at the chosen
// sensitivity). A cancelled or failed run leaves the tracks as they were.
//
// Units: selection ends in ms (the window's), sample frames everywhere else.
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "beats/BeatAnalysis.h"
#include "common/FrameRate.h"

class QAction;
class QMenu;
class QWidget;

namespace zv {

class JobRunner;
class SoundDocument;
class TrackUndo;
struct Platform;
struct SoundData;

class BeatsActions : public QObject {
public:
    struct Parts {
        Platform& platform;
        SoundDocument& document;
        const SoundData& sound;
        TrackUndo& undo;
        std::function<FrameRate()> frameRate;
        std::function<int32_t()> selStartMs;
        std::function<int32_t()> selEndMs;
        QWidget* window;
    };

    // Onset sensitivity: aubio's peak-picking threshold for Mark Onsets.
    static constexpr double kLowSensitivity = 0.3;
    static constexpr double kMediumSensitivity = 0.18;
    static constexpr double kHighSensitivity = 0.06;

    BeatsActions(Parts parts, QObject* parent);
    ~BeatsActions() override;

    // Adds "Find Beats", "Mark Onsets" and "Onset Sensitivity" to `menu`.
    void FillMenu(QMenu& menu);
    // Enables the entries when a sound is open and no analysis runs.
    void Enable(bool soundOpen);

    void FindBeatsNow();
    void MarkOnsetsNow();
    void Cancel();
    bool Running() const;

    // The last analysis found (nothing before the first); its readout
    // ("128.00 BPM · 11.25 frames a beat (45/4) at 24 fps" or
    // "No steady beat found").
    const std::optional<BeatAnalysis>& Last() const { return last_; }
    QString Readout() const;

    double Sensitivity() const { return sensitivity_; }
    void SetSensitivity(double threshold);

    QAction* findBeats = nullptr;
    QAction* markOnsets = nullptr;

private:
    enum class Purpose { Beats, Onsets };
    void Run(Purpose purpose);
    void Finished(Purpose purpose, BeatAnalysis&& analysis);
    // The stretch to analyse: the selection, or [0, NumSamples) when the
    // selection is empty or the whole sound.
    std::pair<int64_t, int64_t> Stretch() const;

    Parts parts_;
    JobRunner* jobs_ = nullptr;   // child of this object
    uint64_t job_ = 0;
    std::optional<BeatAnalysis> last_;
    double sensitivity_ = kMediumSensitivity;
    QMenu* sensitivityMenu_ = nullptr;
};

} // namespace zv
