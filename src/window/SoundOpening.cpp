#include "window/SoundOpening.h"

#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <optional>
#include <utility>

#include "common/Errors.h"
#include "common/MessageBox.h"
#include "common/ui/LogCategories.h"
#include "playback/ui/MediaControl.h"
#include "window/BeatsActions.h"
#include "window/DialogueActions.h"
#include "window/FileDialog.h"
#include "window/Form1.h"
#include "window/Guarded.h"
#include "window/Platform.h"
#include "window/MarksActions.h"
#include "window/SelectionSliders.h"
#include "window/SoundOpener.h"
#include "window/TrackUndo.h"
#include "window/WaveformInteraction.h"

namespace zv {

SoundOpening::SoundOpening(Form1& form, Platform& platform, MarksActions& marks, SelectionSliders& selection,
                           std::function<void()> enableEntries, std::function<void(PeakSummary&&)> peaksMade)
    : form_(form), platform_(platform), marks_(marks), selection_(selection),
      enableEntries_(std::move(enableEntries)),
      opener_(std::make_unique<SoundOpener>(&form, platform.messages, std::move(peaksMade))) {}

SoundOpening::~SoundOpening() = default;

bool SoundOpening::Preparing() const { return opener_->Preparing(); }

void SoundOpening::Choose() {
    if (opener_->Preparing()) return;   // a decode is still running: one open at a time
    static const std::string filter =
        "All Files (*.*)|*.*|Wav Files (*.wav)|*.wav|Mpeg Files (*.mpg)|*.mpg|"
        "Sound Files (*.wav *.flac *.ogg *.oga *.opus *.mp3)|*.wav *.flac *.ogg *.oga *.opus *.mp3";
    const std::optional<std::string> path = platform_.fileDialog.ShowOpen(filter, 2);
    if (!path) return;
    Open(*path);
}

void SoundOpening::Open(const std::string& path) {
    if (opener_->Preparing()) return;   // one open at a time
    // The analyses read the sound that is open.
    if (form_.BeatWork().Running() || form_.Dialogue().Running()) return;
    // A compressed sound (decoded) and a big WAV (read, with its peak
    // summary) are made ready before anything changes, on a worker thread
    // while the window keeps answering; the open comes back here with the
    // record. A failed or cancelled one leaves the previous file as it was.
    std::optional<SoundOpener::Prepared> prepared = opener_->TakePrepared(path);
    // Marks that live only in memory are offered for export first (once,
    // before any preparing).
    if (!prepared && !marks_.MayLeave("opening another sound")) return;
    if (!prepared && SoundOpener::NeedsPreparing(path)) {
        opener_->Prepare(path, [this, path] { Guarded([&] { Open(path); }); });
        return;
    }
    MediaControl& device = *form_.MMControl1;
    SoundData& sound = form_.Sound;
    try {
        device.SetFileName(path);
        // A decoded sound plays from the samples decoded for the waveform.
        if (prepared) SoundOpener::OfferDecoded(platform_.mediaDevice, path, *prepared);
        try {
            device.SetCommand("Open");
        } catch (const DeviceError& refused) {
            platform_.messages.Show("Couldn't open " + path + ": " + refused.what());
            return;
        }
        form_.LabFilePath->setText(QString::fromStdString(path));
        form_.ShowTimes();
        form_.WavFileName = path;
        // A file the loader refuses is reported; the open goes on. The peak
        // summary is made on a worker, for a WAV during the load's read.
        ShowReport(platform_.messages, opener_->Load(sound, form_.WavFileName, std::move(prepared)));
        // The session counts in the new sound's samples (in ms when it has none).
        form_.State().SetSound(sound.WavLoaded ? static_cast<int32_t>(sound.WavFormat.nSamplesPerSec) : 0,
                               sound.WavLoaded ? sound.NumSamples : 0);
        // The marks kept beside the sound come with it (told about when
        // their file cannot be read).
        marks_.SoundOpened(form_.WavFileName, sound.WavFormat.nChannels);
        form_.Undo().Clear();   // the steps were the last sound's
        enableEntries_();
        form_.Waveform().SoundLoaded();   // the whole sound in view
        sound.ViewStart = 0;
        sound.ViewEnd = sound.NumSamples;
        // A waveform the renderer cannot draw (a frame's byte offset beyond
        // 32 bits: long stereo files, huge block alignments) stays drawn as
        // far as it got; the new file must still get its own selection and
        // slider ranges, not keep the previous file's.
        try {
            form_.DrawWaves();
        } catch (const ZorvaneError&) {
            LogCurrentError(LogSound(), "Drawing the opened sound");
        }
        selection_.ResetForOpen([&device] { return device.Length(); });
    } catch (...) {
        // Any other error ends the open quietly; the steps done stay done.
        LogCurrentError(LogSound(), "Opening a sound");
    }
}

bool SoundOpening::AcceptsDrop(const QMimeData& data) const {
    const QList<QUrl> urls = data.urls();
    return !urls.isEmpty() && urls.front().isLocalFile() && !Preparing();
}

bool SoundOpening::Drop(const QMimeData& data, QObject& context) {
    const QList<QUrl> urls = data.urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) return false;
    const QString path = urls.front().toLocalFile();
    QTimer::singleShot(0, &context, [this, path] { Guarded([&] { OpenGiven(path); }); });
    return true;
}

void SoundOpening::OpenGiven(const QString& pathOrUrl) {
    const QUrl url(pathOrUrl);
    const QString path = url.isLocalFile() ? url.toLocalFile() : pathOrUrl;
    if (path.isEmpty()) return;
    Open(QFileInfo(path).absoluteFilePath().toStdString());
}

} // namespace zv
