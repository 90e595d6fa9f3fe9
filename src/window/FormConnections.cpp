#include "window/FormConnections.h"

#include <QAction>
#include <QLineEdit>

#include "common/MessageBox.h"
#include "playback/ui/MediaControl.h"
#include "window/DialogueActions.h"
#include "window/Form1.h"
#include "window/Guarded.h"
#include "window/PictureBox.h"
#include "window/Slider.h"
#include "window/WaveformInteraction.h"

namespace zv {

void FormConnections::Connect(Form1& form, MessageBox& messages) {
    Form1* f = &form;
    const auto onTrigger = [f](QAction* action, void (Form1::*handler)()) {
        QObject::connect(action, &QAction::triggered, f, [f, handler] { Guarded([&] { (f->*handler)(); }); });
    };
    onTrigger(f->MnuOpen, &Form1::MnuOpen_Click);
    onTrigger(f->MnuExit, &Form1::MnuExit_Click);
    onTrigger(f->MnuAbout, &Form1::MnuAbout_Click);
    onTrigger(f->MnuSelInput, &Form1::MnuSelInput_Click);
    onTrigger(f->MnuShowTimecode, &Form1::MnuShowTimecode_Click);
    QObject::connect(f->MnuZoomIn, &QAction::triggered, f, [f] { Guarded([f] { f->Waveform().ZoomIn(); }); });
    QObject::connect(f->MnuZoomOut, &QAction::triggered, f, [f] { Guarded([f] { f->Waveform().ZoomOut(); }); });
    QObject::connect(f->MnuZoomToSelection, &QAction::triggered, f,
                     [f] { Guarded([f] { f->Waveform().ZoomToSelection(); }); });
    QObject::connect(f->MnuShowWholeSound, &QAction::triggered, f,
                     [f] { Guarded([f] { f->Waveform().ShowWholeSound(); }); });
    QObject::connect(f->MnuShowPeaks, &QAction::toggled, f,
                     [f](bool on) { Guarded([&] { f->Waveform().SetShowPeaks(on); }); });
    QObject::connect(f->MnuSnapToBeats, &QAction::toggled, f, [f](bool on) { Guarded([&] { f->State().SetSnap(on); }); });
    QObject::connect(f->TxtNumFrames, &QLineEdit::textChanged, f, [f] { Guarded([f] { f->TxtNumFrames_Change(); }); });
    QObject::connect(f->MnuSpectrogram, &QAction::toggled, f,
                     [f](bool on) { Guarded([&] { f->Waveform().SetShowSpectrogram(on); }); });
    QObject::connect(f->PicTime, &PictureBox::MouseDown, f, [f](int16_t b, int16_t s, float x, float y) {
        Guarded([&] { f->PicTime_MouseDown(b, s, x, y); });
    });
    QObject::connect(f->PicTime, &PictureBox::MouseMove, f, [f](int16_t b, int16_t s, float x, float y) {
        Guarded([&] { f->PicTime_MouseMove(b, s, x, y); });
    });
    QObject::connect(f->PicTime, &PictureBox::MouseUp, f, [f](int16_t b, int16_t s, float x, float y) {
        Guarded([&] { f->PicTime_MouseUp(b, s, x, y); });
    });
    QObject::connect(f->ScrollStart, &Slider::Scroll, f, [f] { Guarded([f] { f->ScrollStart_Scroll(); }); });
    QObject::connect(f->ScrollEnd, &Slider::Scroll, f, [f] { Guarded([f] { f->ScrollEnd_Scroll(); }); });
    QObject::connect(f->VolSlider, &Slider::MouseMove, f, [f] { Guarded([f] { f->VolSlider_MouseMove(); }); });
    QObject::connect(f->VolSlider, &Slider::Scroll, f, [f] { Guarded([f] { f->VolSlider_Scroll(); }); });
    QObject::connect(f->MMControl1, &MediaControl::StatusUpdate, f, [f] { Guarded([f] { f->RefreshTimeline(); }); });
    MessageBox* box = &messages;
    QObject::connect(f->MMControl1, &MediaControl::Notice, f, [box](const QString& message) {
        Guarded([&] { box->Show(message.toStdString()); });
    });
    onTrigger(f->MnuAddMark, &Form1::MnuAddMark_Click);
    onTrigger(f->MnuAddSelectionMark, &Form1::MnuAddSelectionMark_Click);
    onTrigger(f->MnuMarksList, &Form1::MnuMarksList_Click);
    onTrigger(f->MnuExportMarks, &Form1::MnuExportMarks_Click);
    onTrigger(f->MnuImportMarks, &Form1::MnuImportMarks_Click);
    QObject::connect(f->MnuImportBreakdown, &QAction::triggered, f,
                     [f] { Guarded([f] { f->Dialogue().ImportNow(); }); });
}

} // namespace zv
