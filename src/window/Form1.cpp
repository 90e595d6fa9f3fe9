#include "window/Form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <algorithm>
#include <QSettings>
#include <utility>

#include "common/MessageBox.h"
#include "common/ui/LogCategories.h"
#include "document/SoundDocument.h"
#include "marks/MarkKeeper.h"
#include "window/BeatsActions.h"
#include "window/CharacterActions.h"
#include "window/DialogueActions.h"
#include "window/SheetsActions.h"
#include "window/LaneEditing.h"
#include "preview/ui/MouthPreview.h"
#include "window/TrackUndo.h"
#include "timeline/TimelineRefresh.h"
#include "common/FrameRateText.h"
#include "playback/ui/MediaControl.h"
#include "volume/MixerLauncher.h"
#include "volume/ui/QtSpeakerVolume.h"
#include "waveview/WaveRenderer.h"
#include "window/AboutBox.h"
#include "window/ClientArea.h"
#include "window/Guarded.h"
#include "window/ActionLinks.h"
#include "window/FormControls.h"
#include "window/FormTimelineView.h"
#include "window/LineShape.h"
#include "window/MarksActions.h"
#include "window/PictureBox.h"
#include "window/ProgramIcon.h"
#include "window/Slider.h"
#include "window/SelectionSliders.h"
#include "window/SoundOpening.h"
#include "window/FormConnections.h"
#include "window/TopMost.h"
#include "window/TransportMenu.h"
#include "window/WaveKeys.h"
#include "window/WaveformInteraction.h"

namespace zv {

namespace {

// The program's remembered settings.
QSettings Settings() { return QSettings(QStringLiteral("Zorvane"), QStringLiteral("Zorvane")); }

// Design-time client area, twips.
constexpr float DesignClientWidth = 10485.0f;
constexpr float DesignClientHeight = 9315.0f;

} // namespace

Form1::Form1(Platform& platform, QWidget* parent) : QMainWindow(parent), platform_(platform) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zorvane"));
    setAcceptDrops(true);   // a sound file dropped on the window opens
    SetProgramIcon(*this);

    client_ = new ClientArea([this] {
        if (!Picture1) return;  // still being built
        DockPanel();
        Form_Resize();
    });
    client_->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client_);

    CreateControls(client_, platform_.mediaDevice, placement_);
    timelineView_ = std::make_unique<FormTimelineView>(*this, session_);
    timeline_ = std::make_unique<TimelineRefresh>(*timelineView_);
    speakerVolume_ = new QtSpeakerVolume(platform_.mixer, platform_.messages, this);
    document_ = std::make_unique<SoundDocument>();
    selection_ = std::make_unique<SelectionSliders>(session_, *document_, *ScrollStart, *ScrollEnd, *PicTime, Dragging);
    CreateMenus(menuBar());
    session_.SetSnap(MnuSnapToBeats->isChecked());   // as remembered
    waveform_ = new WaveformInteraction(*this, *PicWave, *MMControl1, Sound, *document_, *MnuChannels, session_,
                                        *this);
    // After the waveform's view: the marks are painted over its lines.
    links_ = std::make_unique<ActionLinks>(platform_.messages, *MMControl1);
    links_->selection = selection_.get();
    links_->waveform = waveform_;
    marksActions_ = new MarksActions(platform_, *document_, *MMControl1, *PicWave, session_, *links_, this, this);
    MnuShowPeaks->setChecked(waveform_->ShowPeaks());
    MnuSpectrogram->setChecked(waveform_->ShowSpectrogram());
    CreateMarksMenu(menuBar(), this);
    EnableMarkEntries();
    // Track undo (one per window; see Form1.h).
    trackUndo_ = new TrackUndo(*document_, marksActions_->Keeper(),
                               [this](const Report& saved) {
                                   // The marks list, the beats and the lanes over the box follow the tracks.
                                   marksActions_->TracksChanged();
                                   if (waveform_) waveform_->TracksChanged();
                                   EnableMarkEntries();
                                   ShowReport(platform_.messages, saved);
                               },
                               this);
    marksActions_->SetUndo(trackUndo_);
    CreateUndoEntries(trackUndo_->Stack());
    beatsActions_ = new BeatsActions(platform_, *document_, Sound, *trackUndo_, session_, *MMControl1, this, this);
    links_->beats = beatsActions_;
    waveform_->Keys().Add(Qt::Key_T, [this] { Guarded([this] { beatsActions_->TapNow(); }); });
    dialogueActions_ = new DialogueActions(platform_, *document_, Sound, *trackUndo_, session_, this, this);
    links_->dialogue = dialogueActions_;
    laneEditing_ = std::make_unique<LaneEditing>(*document_, *trackUndo_, session_, *links_);
    characters_ = new CharacterActions(platform_.messages, *document_, *trackUndo_, *links_, *waveform_, this);
    sheetsActions_ = new SheetsActions({platform_, *document_, [this] { return session_.Rate(); },
                                        [this] { return std::make_pair(session_.SelectionStartMs(), session_.SelectionEndMs()); },
                                        [this](const std::string& name) { return dialogueActions_->SetNamed(name); },
                                        this},
                                       this);
    sheetsActions_->FillFileMenu(*MnuFile, MnuExit);
    links_->sheets = sheetsActions_;
    preview_ = new MouthPreview({*this, platform_.messages, *document_, *trackUndo_, session_, *MMControl1,
                                 [this](const std::string& name) -> const MouthSet& {
                                     return dialogueActions_->SetNamed(name);
                                 }}, this);
    preview_->FillViewMenu(*MnuView);
    waveform_->SetLaneEditing(laneEditing_.get());
    session_.Subscribe([this](Session::Change change) { SessionChanged(change); });
    transport_ = new TransportMenu(*this, session_, *waveform_, this);
    opening_ = std::make_unique<SoundOpening>(
        *this, platform_, *marksActions_, *selection_, [this] { EnableMarkEntries(); },
        [this](PeakSummary&& summary) {
            if (waveform_) waveform_->PeaksMade(std::move(summary));
        });
    CreateAnalyzeMenu();
    SetTabOrder();
    FormConnections::Connect(*this, platform_.messages);

    // The client area at its design size; the menu bar comes on top of it
    // unless the desktop shows menus outside the window.
    const double dpiX = logicalDpiX(), dpiY = logicalDpiY();
    const int clientW = PixelEdge(DesignClientWidth, dpiX), clientH = PixelEdge(DesignClientHeight, dpiY);
    const int menuH = menuBar()->isNativeMenuBar() ? 0 : menuBar()->sizeHint().height();
    resize(clientW, clientH + menuH);
    if (layout()) layout()->activate();  // sizes the client area now, before the first show
    DockPanel();

    Form_Load();
}

Form1::~Form1() {
    delete preview_;
    preview_ = nullptr;
    // The jobs read the loaded sound: they stop before it goes.
    opening_.reset();
    delete beatsActions_;   // joins a running analysis of the sound
    beatsActions_ = nullptr;
    delete dialogueActions_;   // joins a running alignment
    dialogueActions_ = nullptr;
    // The waveform's handlers filter events of the window and of PicWave;
    // closing the window sends events while the window is half destroyed,
    // so they go first.
    delete waveform_;
    waveform_ = nullptr;
    links_->beats = nullptr;   // the links to them go too
    links_->dialogue = nullptr;
    links_->waveform = nullptr;
}

void Form1::CreateAnalyzeMenu() {
    MnuAnalyze = menuBar()->addMenu(QStringLiteral("Analyze"));
    MnuAnalyze->setObjectName(QStringLiteral("MnuAnalyze"));
    dialogueActions_->FillMenu(*MnuAnalyze);
    characters_->FillMenu(*MnuAnalyze);
    MnuAnalyze->addSeparator();
    beatsActions_->FillMenu(*MnuAnalyze);
}

// ---- Placement in twips ----

float Form1::ScaleWidth() const {
    return static_cast<float>(PixelsToTwips(client_->width(), logicalDpiX()));
}

float Form1::ScaleHeight() const {
    return static_cast<float>(PixelsToTwips(client_->height(), logicalDpiY()));
}

const TwipsRect& Form1::Geometry(const QWidget* control) const { return placement_.Geometry(control); }

void Form1::DockPanel() {
    const float w = ScaleWidth(), h = ScaleHeight();
    Guarded([&] { placement_.Place(Picture1, {0.0f, h - PanelHeight, w, PanelHeight}); });
}

// ---- Start-up, layout, menus ----

void Form1::Form_Load() {
    SetTopMost(*this, true);
    Form_Resize();
    TxtNumFrames_Change();   // the rate the box shows at start-up
    SessionChanged(Session::Change::Rate);
    SetupVolume();
}

void Form1::Form_Resize() {
    try {
        FollowClientSize(placement_, ScaleWidth(), ScaleHeight());
        DrawWaves();
    } catch (...) {
        // Quietly: the layout stays as far as it got.
        LogCurrentError(LogWindow(), "Form_Resize");
    }
}

void Form1::DrawWaves() {
    const TwipsRect& box = Geometry(PicWave);
    // The waveform's layers (the waveform or its peaks first); before they
    // are made, the waveform alone.
    if (waveform_) waveform_->DrawPicture(box.Width, box.Height);
    else zv::DrawWaves(Sound, *PicWave, box.Width, box.Height);
}

void Form1::MnuAbout_Click() { ShowAboutBox(this); }

void Form1::MnuExit_Click() {
    if (marksActions_->MayLeave()) EndProgram();
}

void Form1::MnuOpen_Click() { OpenWavFile(); }

void Form1::EndProgram() {
    // Leaves the event loop now; main() then ends the process without
    // waiting for the sound output or anything else to wind down.
    QCoreApplication::exit(0);
}

bool Form1::event(QEvent* event) {
    if (event->type() == QEvent::ScreenChangeInternal) Guarded([this] {
        placement_.PlaceAll();
        RedLine->SetX2(RedLine->X2());
    });
    return QMainWindow::event(event);
}

void Form1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    // Coming back from the taskbar counts as a size change (from nothing to
    // the window's size), as on desktops that shrink minimised windows: the
    // layout runs afresh and the waveform is redrawn.
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    if (change->oldState().testFlag(Qt::WindowMinimized) && !isMinimized()) {
        DockPanel();
        Form_Resize();
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    // Marks that live only in memory are offered for export; Cancel keeps
    // the window open.
    bool mayQuit = true;
    Guarded([&] { mayQuit = marksActions_->MayLeave(); });
    if (!mayQuit) {
        event->ignore();
        return;
    }
    event->accept();
    EndProgram();
}

// ---- Timeline, selection and volume ----

void Form1::TxtNumFrames_Change() {
    const QString text = TxtNumFrames->text();
    const std::u16string_view typed(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
    session_.SetRate(TimelineExactFrameRate(typed, session_.Rate()));
}

void Form1::SessionChanged(Session::Change change) {
    switch (change) {
    case Session::Change::Rate:
        MMControl1->SetFrameRate(session_.Rate());
        marksActions_->SetRate(session_.Rate());
        if (!WavFileName.empty()) selection_->FollowRate(MMControl1->Length());
        break;
    case Session::Change::Speed:
        MMControl1->Transport().SetSpeed(session_.Speed());
        break;
    case Session::Change::Loop:
        MMControl1->Transport().SetLoop(session_.Loop());
        MnuLoopSelection->setChecked(session_.Loop());
        break;
    case Session::Change::Snap:
        MnuSnapToBeats->setChecked(session_.Snap());
        Settings().setValue(QStringLiteral("view/snapToBeats"), session_.Snap());
        break;
    default:
        break;
    }
}

void Form1::RefreshTimeline() {
    try {
        session_.SetPosition(MMControl1->PositionSample());
    } catch (...) {
        LogCurrentError(LogWindow(), "Reading the position");   // the refresh goes on
    }
    timeline_->RefreshTimeline(session_);
}

void Form1::PicTime_MouseDown(int16_t button, int16_t, float x, float) { selection_->MouseDown(button, x); }
void Form1::PicTime_MouseMove(int16_t button, int16_t, float x, float) { selection_->MouseMove(button, x); }
void Form1::PicTime_MouseUp(int16_t, int16_t, float, float) { selection_->MouseUp(); }
void Form1::ScrollStart_Scroll() { selection_->ScrollStart(); }
void Form1::ScrollEnd_Scroll() { selection_->ScrollEnd(); }

// ---- What the waveform's handlers ask of the window ----

int Form1::HiddenBelow() const {
    // The box runs on under the panel by the file name's height.
    return std::max(0, PicWave->geometry().bottom() - Picture1->geometry().top() + 1);
}

void Form1::MoveStartSlider(int32_t frame) {
    selection_->MoveStartTo(frame);
    RefreshTimeline();
}

void Form1::MoveEndSlider(int32_t frame) {
    selection_->MoveEndTo(frame);
    RefreshTimeline();
}

void Form1::ContextMenu(int64_t sample, const QPoint& where) {
    Guarded([&] {
        if (beatsActions_) beatsActions_->DownbeatMenu(sample, where);
    });
}

void Form1::SetupVolume() { speakerVolume_->SetupVolume(*VolSlider); }
// The pointer over the slider writes its value only when it differs from
// the volume last written: passing over it changes nothing.
void Form1::VolSlider_MouseMove() { speakerVolume_->SliderMoved(*VolSlider); }
void Form1::VolSlider_Scroll() { speakerVolume_->SliderMoved(*VolSlider); }
void Form1::MnuSelInput_Click() { MixerLauncher(platform_.programStarter).Launch(); }

// ---- Marks ----

const MarkKeeper& Form1::Marks() const { return marksActions_->Keeper(); }
MarksWindow* Form1::MarksList() const { return marksActions_->List(); }

void Form1::EnableMarkEntries() {
    const bool open = marksActions_ && marksActions_->HasSound();
    for (QAction* a : {MnuAddMark, MnuAddSelectionMark, MnuExportMarks, MnuImportMarks, MnuImportBreakdown})
        a->setEnabled(open);
    if (beatsActions_) beatsActions_->Enable(open);
    if (dialogueActions_) dialogueActions_->Enable(open);
    if (characters_) characters_->Enable(open);
    if (sheetsActions_) sheetsActions_->Enable(open);
}

void Form1::MnuAddMark_Click() { marksActions_->AddMark(); }
void Form1::MnuAddSelectionMark_Click() { marksActions_->AddSelectionMark(SelStartMs, SelEndMs); }
void Form1::MnuMarksList_Click() { marksActions_->ShowList(); }
void Form1::MnuExportMarks_Click() { marksActions_->Export(); }
void Form1::MnuImportMarks_Click() { marksActions_->Import(); }

void Form1::MnuShowTimecode_Click() {
    Settings().setValue(QStringLiteral("view/showTimecode"), MnuShowTimecode->isChecked());
    ShowTimes();
}

// ---- Opening a file and the readouts ----

void Form1::OpenWavFile() { opening_->Choose(); }
bool Form1::Opening() const { return opening_->Preparing(); }
void Form1::OpenSoundFile(const std::string& path) { opening_->Open(path); }
void Form1::OpenGivenFile(const QString& pathOrUrl) { opening_->OpenGiven(pathOrUrl); }

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    if (opening_->AcceptsDrop(*event->mimeData())) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
    if (opening_->Drop(*event->mimeData(), *this)) event->acceptProposedAction();
}

void Form1::ShowTimes() { timelineView_->ShowTimes(); }

} // namespace zv
