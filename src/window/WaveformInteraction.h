#pragma once
// What the waveform box (PicWave) does beyond keeping the renderer's
// picture: the stack of layers it draws (the waveform or its peaks, the
// track lanes, the frame grid, the selection, the play line, the marks),
// the view's zoom and scroll (View menu, Ctrl+wheel, wheel, middle drag)
// that keeps the position in sight, View > Channels, the peak summary for
// "Show Peaks", click to hear and scrub, and the window's single keys.
//
// The view, the layers and the summary are core classes (WaveView,
// LayerStack, PeakSummary, Scrubber); this class wires the window's events
// to them. It reads the rate and the selection from the Session and reaches
// the window only through the controls and the WaveformHost it is given.
// Pixels are PicWave's logical pixels; times ms; frames of the view are
// sample frames.
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "common/FrameRate.h"
#include "playback/Scrubber.h"
#include "spectrum/SpectrogramCache.h"
#include "waveview/PeakSummary.h"
#include "waveview/WaveRenderer.h"
#include "waveview/WaveView.h"
#include "waveview/layers/LayerStack.h"
#include "waveview/layers/CharacterLanesLayer.h"
#include "window/LaneEditing.h"
#include "window/WaveformHost.h"

class QMenu;
class QPainter;
class QPoint;
class QPointF;
class QWidget;

namespace zv {

class CharacterMenus;
class MediaControl;
class JobRunner;
class PictureBox;
class Session;
class SoundDocument;
class SpectrogramLayer;
class Track;
class WaveformLayer;
class WaveKeys;
struct SoundData;

class WaveformInteraction : public QObject {
    Q_OBJECT
public:

    // Installs itself on the box (events, overlay) and the key table on the
    // window. The controls and menus must be made; all of them, the record,
    // the document (its Marks and Beats tracks are drawn over the box), the
    // session and the host outlive the handlers. `sound`'s ViewStart/ViewEnd
    // and the session's view are written here; `channelsMenu` is View >
    // Channels, filled for each sound.
    WaveformInteraction(QWidget& window, PictureBox& box, MediaControl& control, SoundData& sound,
                        const SoundDocument& document, QMenu& channelsMenu, Session& session, WaveformHost& host);
    ~WaveformInteraction() override;

    // After every load attempt: the view is the whole sound again, the
    // channels drawn are the first two, and the summary of the previous
    // samples is dropped.
    void SoundLoaded();
    // The loaded sound's summary, made by a job on a worker thread (for a
    // WAV during the load's own read); an empty one drops the summary held.
    // Until it comes, "Show Peaks" draws the waveform's lines.
    void PeaksMade(PeakSummary&& summary);
    // Before every drawing: the view follows the box's width and is written
    // into the loaded-sound record (when a sound is loaded).
    void SyncView();
    // Draws the picture layers into the box, whose size is `width` x
    // `height` twips (the waveform takes what the lanes leave). Raises the
    // renderer's errors.
    void DrawPicture(float width, float height);

    // Zoom In/Out keep the position where it is on screen when it is in
    // view, else centre on it.
    void ZoomIn();
    void ZoomOut();
    void ZoomToSelection();
    void ShowWholeSound();
    // "Show Peaks": remembered across runs.
    void SetShowPeaks(bool on);
    bool ShowPeaks() const { return showPeaks_; }
    static bool RememberedShowPeaks();
    // "Spectrogram": the spectrogram of the view in place of the waveform,
    // made by a job on a worker thread and kept per zoom level and view;
    // remembered across runs.
    void SetShowSpectrogram(bool on);
    bool ShowSpectrogram() const { return showSpectrogram_; }
    static bool RememberedShowSpectrogram();
    const SpectrogramCache& Spectra() const { return spectra_; }
    // True while a spectrogram job runs.
    bool MakingSpectrogram() const { return spectrumJob_ != 0; }
    // The channels the two traces show (View > Channels).
    void SetChannels(DrawnChannels channels);
    DrawnChannels Channels() const { return channels_; }

    const WaveView& View() const { return view_; }
    const PeakSummary& Peaks() const { return peaks_; }
    // The summary for drawing (not Ready until its job has made it).
    const PeakSummary& PeaksForDrawing() const { return peaks_; }
    const Scrubber& Scrub() const { return scrubber_; }
    WaveKeys& Keys() { return *keys_; }
    // The box's layers, bottom first. A new layer is one line in the
    // constructor (see LayerStack.h).
    const LayerStack& Layers() const { return layers_; }
    // The Words and Phonemes lanes' pointer edits go to `editing` (nullptr: none).
    void SetLaneEditing(LaneEditing* editing) { laneEditing_ = editing; }
    // The characters' lanes (every character's Words, Phonemes and Mouths,
    // with their tags) and where they lie in the box now.
    CharacterLanesLayer& CharacterLanes() { return *characterLanes_; }
    const CharacterLanesLayer& CharacterLanes() const { return *characterLanes_; }
    LayerArea CharacterLanesArea() const;
    // Right clicks on a word or a character's tag go to `menus` (nullptr: none).
    void SetCharacterMenus(CharacterMenus* menus) { characterMenus_ = menus; }
    // A track changed: the picture is drawn again when a lane came or went
    // (the waveform's height changed), else the box is repainted.
    void TracksChanged();

    // The keys' actions.
    void PlayOrPause();
    void GoToSelectionStart();
    void GoToSelectionEnd();
    void SetSelectionStartHere();
    void SetSelectionEndHere();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Loaded() const;
    int32_t SampleRate() const;
    // The position being heard, as a sample frame (exact at a frame's
    // start after Step).
    int64_t PositionSample() const;
    // Redraws the waveform for the view (errors end the drawing quietly).
    void Redraw();
    // The animation frame under pixel x at the typed frame rate, or -1.
    int64_t FrameUnder(double x);
    LayerScene Scene() const;
    void Paint(QPainter& painter);
    // After each status update: the view follows the position when it
    // moved out of sight; repaints what of the overlays moved.
    void StatusUpdated();
    void FillChannelsMenu();
    // The characters' row under y (box pixels), if any.
    std::optional<CharacterLanesLayer::LaneRow> LaneRowAt(double y) const;
    // The editable lane under y, if any, and whose it is.
    struct EditableLane {
        LaneEditing::Lane lane;
        int character;
    };
    std::optional<EditableLane> EditableLaneAt(double y) const;
    // A left press on a character's tag: its lanes collapse or open.
    bool ToggleTagAt(double y);
    // A right click on a word or a tag: true when a character's menu took it.
    bool CharacterMenuAt(QPointF at, const QPoint& where);
    // Pixel rows of the box's bottom that the panel covers.
    double HiddenBelow() const { return host_.HiddenBelow(); }
    // The spectrogram layer wants the image for `key`: a job makes it.
    void WantSpectrogram(const SpectrogramKey& key);
    // Before the record changes: the job reading it stops, the images go.
    void DropSpectra();

    QWidget& window_;
    PictureBox& box_;
    MediaControl& control_;
    SoundData& sound_;
    const SoundDocument& document_;
    QMenu& channelsMenu_;
    Session& session_;
    WaveformHost& host_;
    WaveView view_;
    LayerStack layers_;
    WaveformLayer* waveform_ = nullptr;   // in layers_
    SpectrogramLayer* spectrogram_ = nullptr;   // in layers_
    CharacterLanesLayer* characterLanes_ = nullptr;   // in layers_
    std::size_t characterLanesIndex_ = 0;             // its place in layers_
    double drawnLanes_ = 0;                     // the lanes' height when the picture was drawn
    LaneEditing* laneEditing_ = nullptr;
    CharacterMenus* characterMenus_ = nullptr;
    SpectrogramCache spectra_;
    // After the cache: stopped (and joined) before the cache goes.
    std::unique_ptr<JobRunner> spectrumJobs_;
    uint64_t spectrumJob_ = 0;       // the running job's id, 0: none
    uint64_t spectrumTicket_ = 0;    // counts the jobs started and the drops
    SpectrogramKey spectrumKey_;     // what the running job makes
    SpectrogramKey failedKey_;       // the last key whose job failed (not tried again)
    bool showSpectrogram_ = false;
    PeakSummary peaks_;
    DrawnChannels channels_;
    Scrubber scrubber_;
    WaveKeys* keys_ = nullptr;
    QTimer scrubTimer_;   // starts a waiting scrub frame once the one sounding is heard
    bool showPeaks_ = false;
    bool panning_ = false;
    double panX_ = 0;
    int64_t panStart_ = 0;
    // The position at the last status update: the view follows it only
    // when it moved (a view scrolled away from a still position stays).
    int64_t followed_ = -1;
    // The overlays as last painted: what moved is repainted.
    double shownPlayX_ = -1;
    int64_t shownSelStart_ = -1, shownSelEnd_ = -1;
    FrameRate shownRate_{0};
};

} // namespace zv
