#pragma once
// What the waveform box (PicWave) does beyond showing the renderer's
// picture: the view's zoom and scroll (View menu, Ctrl+wheel, wheel, middle
// drag), the peak summary for "Show Peaks", the overlays painted over the
// picture (the position heard, the selection's start and end, the frame
// grid), click to hear and scrub, and the window's single keys.
//
// The view and the summary are core classes (WaveView, PeakSummary,
// Scrubber); this class wires the window's events to them. Pixels are
// PicWave's logical pixels; times ms; frames of the view are sample frames.
#include <QObject>
#include <QTimer>
#include <cstdint>

#include "common/FrameRate.h"
#include "playback/Scrubber.h"
#include "waveview/PeakSummary.h"
#include "waveview/WaveView.h"

class QPainter;

namespace zv {

class Form1;
class WaveKeys;

class WaveformInteraction : public QObject {
    Q_OBJECT
public:
    // Overlay colours: none is the traces' red or green nor the box's purple.
    static constexpr unsigned kPlayLineRgb = 0xffd75a;      // amber
    static constexpr unsigned kSelStartRgb = 0xff9696;      // light tint of the strip's red
    static constexpr unsigned kSelEndRgb = 0x96aaff;        // light tint of the strip's blue
    static constexpr unsigned kGridRgb = 0xb4b4d2;          // pale lilac, half covering
    static constexpr double kMinGridPixels = 6.0;           // frame grid from this frame width on

    // Installs itself on the form's PicWave (events, overlay) and the key
    // table on the form. The form must have its controls and menus made.
    explicit WaveformInteraction(Form1& form);
    ~WaveformInteraction() override;

    // After every load attempt: the view is the whole sound again and the
    // summary of the previous samples is dropped.
    void SoundLoaded();
    // The loaded sound's summary, made by a job on a worker thread (for a
    // WAV during the load's own read); an empty one drops the summary held.
    // Until it comes, "Show Peaks" draws the waveform's lines.
    void PeaksMade(PeakSummary&& summary);
    // Before every drawing: the view follows the box's width and is written
    // into the loaded-sound record (when a sound is loaded).
    void SyncView();

    void ZoomIn();
    void ZoomOut();
    void ZoomToSelection();
    void ShowWholeSound();
    // "Show Peaks": remembered across runs.
    void SetShowPeaks(bool on);
    bool ShowPeaks() const { return showPeaks_; }
    static bool RememberedShowPeaks();

    const WaveView& View() const { return view_; }
    const PeakSummary& Peaks() const { return peaks_; }
    // The summary for drawing (not Ready until its job has made it).
    const PeakSummary& PeaksForDrawing() const { return peaks_; }
    const Scrubber& Scrub() const { return scrubber_; }
    WaveKeys& Keys() { return *keys_; }

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
    // Redraws the waveform for the view (errors end the drawing quietly).
    void Redraw();
    // The animation frame under pixel x at the typed frame rate, or -1.
    int64_t FrameUnder(double x);
    void Paint(QPainter& painter);
    void PaintGrid(QPainter& painter);
    // After each status update: repaints what of the overlays moved.
    void StatusUpdated();
    double PixelOfMs(int64_t ms) const;

    Form1& form_;
    WaveView view_;
    PeakSummary peaks_;
    Scrubber scrubber_;
    WaveKeys* keys_ = nullptr;
    QTimer scrubTimer_;   // starts a waiting scrub frame once the one sounding is heard
    bool showPeaks_ = false;
    bool panning_ = false;
    double panX_ = 0;
    int64_t panStart_ = 0;
    // The overlays as last painted: what moved is repainted.
    double shownPlayX_ = -1;
    int32_t shownSelStart_ = -1, shownSelEnd_ = -1;
    FrameRate shownRate_{0};
};

} // namespace zv
