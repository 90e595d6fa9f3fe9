#include "window/Form1.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QMimeData>
#include <QResizeEvent>
#include <algorithm>
#include <QSettings>
#include <QTimer>
#include <QUrl>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <system_error>
#include <utility>

#include "common/Errors.h"
#include "common/MessageBox.h"
#include "common/ui/LogCategories.h"
#include "beats/BeatSnap.h"
#include "document/SoundDocument.h"
#include "marks/MarkKeeper.h"
#include "window/BeatsActions.h"
#include "window/DialogueActions.h"
#include "window/LaneEditing.h"
#include "window/TrackUndo.h"
#include "common/FrameTime.h"
#include "playback/MediaDevice.h"
#include "timeline/Readouts.h"
#include "timeline/TimelineRefresh.h"
#include "common/FrameRateText.h"
#include "playback/ui/MediaControl.h"
#include "selection/Selection.h"
#include "sound/SoundKind.h"
#include "sound/WavLoader.h"
#include "volume/MixerLauncher.h"
#include "volume/ui/QtSpeakerVolume.h"
#include "waveview/WaveRenderer.h"
#include "window/AboutBox.h"
#include "window/FileDialog.h"
#include "window/FormTimelineView.h"
#include "window/LineShape.h"
#include "window/MarksActions.h"
#include "window/PictureBox.h"
#include "window/Slider.h"
#include "window/SoundOpener.h"
#include "window/TopMost.h"
#include "window/WaveKeys.h"
#include "window/WaveformInteraction.h"

// The icon lives in the UI library's resources; a static library's
// resources must be registered by name before first use.
static void InitResources() { Q_INIT_RESOURCE(zorvane); }

namespace zv {

namespace {

// The client area: tells the window when its size changed (the menu bar is
// outside it, so this is the size the layout works from).
class ClientArea : public QWidget {
public:
    explicit ClientArea(std::function<void()> resized) : resized_(std::move(resized)) {}

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        resized_();
    }

private:
    std::function<void()> resized_;
};

// The program's remembered settings.
QSettings Settings() { return QSettings(QStringLiteral("Zorvane"), QStringLiteral("Zorvane")); }

// Runs an event handler; whatever it raises ends there, never the program,
// and is logged (zorvane.window).
template <typename F>
void Guarded(F&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        LogCurrentError(LogWindow(), "An event handler stopped");
    }
}

QFont ArialFont(double points, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

void SetColours(QWidget* widget, const QColor& text, const QColor& back) {
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, text);
    pal.setColor(QPalette::Window, back);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption, const QFont& font, bool centred) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setObjectName(QString::fromUtf8(name));
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    label->setWordWrap(false);
    return label;
}

// Design-time client area, twips.
constexpr float DesignClientWidth = 10485.0f;
constexpr float DesignClientHeight = 9315.0f;

} // namespace

Form1::Form1(Platform& platform, QWidget* parent) : QMainWindow(parent), platform_(platform) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zorvane"));
    setAcceptDrops(true);   // a sound file dropped on the window opens
    InitResources();
    QIcon icon;
    icon.addPixmap(QPixmap(QStringLiteral(":/zorvane.xpm")));
    icon.addPixmap(QPixmap(QStringLiteral(":/zorvane-256.png")));
    setWindowIcon(icon);

    client_ = new ClientArea([this] {
        if (!Picture1) return;  // still being built
        DockPanel();
        Form_Resize();
    });
    client_->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client_);

    CreateControls();
    timelineView_ = std::make_unique<FormTimelineView>(*this);
    timeline_ = std::make_unique<TimelineRefresh>(*timelineView_);
    speakerVolume_ = new QtSpeakerVolume(platform_.mixer, platform_.messages, this);
    document_ = std::make_unique<SoundDocument>();
    CreateMenus();
    waveform_ = new WaveformInteraction(*this, *PicWave, *MMControl1, Sound, *document_, *MnuChannels, session_,
                                        *this);
    opener_ = std::make_unique<SoundOpener>(this, platform_.messages, [this](PeakSummary&& summary) {
        if (waveform_) waveform_->PeaksMade(std::move(summary));
    });
    // After the waveform's view: the marks are painted over its lines.
    marksActions_ = new MarksActions(platform_, *document_, *MMControl1, *PicWave, session_, *this, this, this);
    MnuShowPeaks->setChecked(waveform_->ShowPeaks());
    MnuSpectrogram->setChecked(waveform_->ShowSpectrogram());
    CreateMarksMenu();
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
    MnuEdit->addSeparator();
    MnuUndo = trackUndo_->Stack().createUndoAction(MnuEdit, QStringLiteral("Undo"));
    MnuUndo->setObjectName(QStringLiteral("MnuUndo"));
    MnuUndo->setShortcut(QKeySequence::Undo);
    MnuRedo = trackUndo_->Stack().createRedoAction(MnuEdit, QStringLiteral("Redo"));
    MnuRedo->setObjectName(QStringLiteral("MnuRedo"));
    MnuRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence::Redo});
    MnuEdit->addAction(MnuUndo);
    MnuEdit->addAction(MnuRedo);
    beatsActions_ = new BeatsActions(platform_, *document_, Sound, *trackUndo_, session_, *MMControl1, this, this);
    waveform_->Keys().Add(Qt::Key_T, [this] { Guarded([this] { beatsActions_->TapNow(); }); });
    dialogueActions_ = new DialogueActions(platform_, *document_, Sound, *trackUndo_, session_, this, this);
    laneEditing_ = std::make_unique<LaneEditing>(*document_, *trackUndo_, session_, static_cast<LaneHost&>(*this));
    waveform_->SetLaneEditing(laneEditing_.get());
    session_.Subscribe([this](Session::Change change) { SessionChanged(change); });
    CreateTransportMenu();
    CreateAnalyzeMenu();
    SetTabOrder();
    ConnectHandlers();

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
    // The jobs read the loaded sound: they stop before it goes.
    opener_.reset();
    delete beatsActions_;   // joins a running analysis of the sound
    beatsActions_ = nullptr;
    delete dialogueActions_;   // joins a running alignment
    dialogueActions_ = nullptr;
    // The waveform's handlers filter events of the window and of PicWave;
    // closing the window sends events while the window is half destroyed,
    // so they go first.
    delete waveform_;
    waveform_ = nullptr;
}

void Form1::CreateControls() {
    const QFont small = ArialFont(8.25, false);
    const QFont smallBold = ArialFont(8.25, true);

    // Children of the window, back to front: the label and the waveform box
    // under the panel (the panel's top band covers the box's lowest 240 twips).
    LabFilePath = MakeLabel(client_, "LabFilePath", "Filename:", small, false);
    SetColours(LabFilePath, QColor(255, 255, 255), QColor(128, 128, 128));
    Place(LabFilePath, {0, 0, 9015, 255});

    PicWave = new PictureBox(client_);
    PicWave->setObjectName(QStringLiteral("PicWave"));
    PicWave->SetBackColor({64, 0, 64});
    PicWave->setAccessibleName(QStringLiteral("PicWave"));
    PicWave->setAccessibleDescription(QStringLiteral("Waveform of the open sound file"));
    Place(PicWave, {0, 240, 9015, 3675});

    Picture1 = new QWidget(client_);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAccessibleName(QStringLiteral("Picture1"));
    Picture1->setAccessibleDescription(QStringLiteral("Timeline, readouts, selection, playback and volume"));
    {
        QPalette pal = Picture1->palette();
        pal.setColor(QPalette::Window, QColor(224, 224, 224));
        Picture1->setPalette(pal);
        Picture1->setAutoFillBackground(true);
    }
    Place(Picture1, {0, 7020, 10485, 2295});

    // Children of the panel. Labels and the line first: they lie under the
    // panel's controls where they overlap.
    LabMCIposition = MakeLabel(Picture1, "LabMCIposition", "Time: 0:0 / Frame: 0", ArialFont(9, true), true);
    SetColours(LabMCIposition, QColor(0, 255, 0), QColor(0, 0, 0));
    Place(LabMCIposition, {0, 240, 9015, 255});

    LblStartFrame = MakeLabel(Picture1, "LblStartFrame", "Start: 0", smallBold, true);
    SetColours(LblStartFrame, QColor(255, 255, 255), QColor(255, 0, 0));
    Place(LblStartFrame, {0, 480, 4515, 255});

    LblEndFrame = MakeLabel(Picture1, "LblEndFrame", "End: 0", smallBold, true);
    SetColours(LblEndFrame, QColor(255, 255, 255), QColor(0, 0, 255));
    Place(LblEndFrame, {4500, 480, 4515, 255});

    LblTotalTime = MakeLabel(Picture1, "LblTotalTime", "Total Length:(Time:0:0 / Seconds: 0)", smallBold, true);
    Place(LblTotalTime, {0, 1500, 9075, 255});

    LblSelectedTime = MakeLabel(Picture1, "LblSelectedTime", "Selected:(Seconds: 0 / Frames: 0)", smallBold, true);
    Place(LblSelectedTime, {0, 1740, 9015, 195});

    Label1 = MakeLabel(Picture1, "Label1", "Frames Per Second:", smallBold, false);
    Place(Label1, {60, 1980, 2055, 255});

    RedLine = new LineShape(Picture1);
    RedLine->setObjectName(QStringLiteral("RedLine"));
    RedLine->SetColour(QColor(255, 128, 0));
    RedLine->SetBorderWidth(3);
    RedLine->SetLine(0, 1080, 9360, 1080);

    PicTime = new PictureBox(Picture1);
    PicTime->setObjectName(QStringLiteral("PicTime"));
    PicTime->SetBackColor({128, 128, 128});
    PicTime->setToolTip(QStringLiteral("Use left or right mouse button to set length"));
    PicTime->setAccessibleName(QStringLiteral("PicTime"));
    PicTime->setAccessibleDescription(QStringLiteral(
        "Timeline of the sound: the left mouse button sets the selection start, the right one its end"));
    Place(PicTime, {0, 0, 25200, 255});

    ScrollStart = new Slider(Picture1);
    ScrollStart->setObjectName(QStringLiteral("ScrollStart"));
    ScrollStart->setRange(0, 10);
    ScrollStart->setSingleStep(1);
    ScrollStart->setPageStep(10);
    ScrollStart->setToolTip(QStringLiteral("Start"));
    ScrollStart->setAccessibleName(QStringLiteral("ScrollStart"));
    ScrollStart->setAccessibleDescription(QStringLiteral("Selection start, in frames"));
    Place(ScrollStart, {0, 720, 1155, 315});

    ScrollEnd = new Slider(Picture1);
    ScrollEnd->setObjectName(QStringLiteral("ScrollEnd"));
    ScrollEnd->setRange(0, 10);
    ScrollEnd->setSingleStep(1);
    ScrollEnd->setPageStep(5);
    ScrollEnd->setAccessibleName(QStringLiteral("ScrollEnd"));
    ScrollEnd->setAccessibleDescription(QStringLiteral("Selection end, in frames"));
    Place(ScrollEnd, {4500, 720, 1215, 315});

    MMControl1 = new MediaControl(platform_.mediaDevice, Picture1);
    MMControl1->setObjectName(QStringLiteral("MMControl1"));
    MMControl1->setAccessibleName(QStringLiteral("MMControl1"));
    MMControl1->setAccessibleDescription(QStringLiteral("Playback buttons"));
    Place(MMControl1, {0, 1140, 4545, 330});

    VolSlider = new Slider(Picture1);
    VolSlider->setObjectName(QStringLiteral("VolSlider"));
    VolSlider->setRange(0, 10);
    VolSlider->setSingleStep(1);
    VolSlider->setPageStep(5);
    VolSlider->setAccessibleName(QStringLiteral("VolSlider"));
    VolSlider->setAccessibleDescription(QStringLiteral("Speaker volume"));
    Place(VolSlider, {5340, 1140, 1455, 315});

    TxtNumFrames = new QLineEdit(QStringLiteral("30"), Picture1);
    TxtNumFrames->setObjectName(QStringLiteral("TxtNumFrames"));
    TxtNumFrames->setAccessibleName(QStringLiteral("TxtNumFrames"));
    TxtNumFrames->setAccessibleDescription(QStringLiteral("Frames per second"));
    Place(TxtNumFrames, {1740, 1980, 555, 255});

    // Labels take no focus; the panel is a container, not a stop of its own.
    Picture1->setFocusPolicy(Qt::NoFocus);
}

void Form1::CreateMenus() {
    // Captions carry no '&': no access keys, and no shortcuts are set.
    MnuFile = menuBar()->addMenu(QStringLiteral("File"));
    MnuFile->setObjectName(QStringLiteral("MnuFile"));
    MnuOpen = MnuFile->addAction(QStringLiteral("Open Wav File"));
    MnuOpen->setObjectName(QStringLiteral("MnuOpen"));
    MnuExit = MnuFile->addAction(QStringLiteral("Exit"));
    MnuExit->setObjectName(QStringLiteral("MnuExit"));
    MnuEdit = menuBar()->addMenu(QStringLiteral("Edit"));
    MnuEdit->setObjectName(QStringLiteral("MnuEdit"));
    MnuAbout = MnuEdit->addAction(QStringLiteral("About"));
    MnuAbout->setObjectName(QStringLiteral("MnuAbout"));
    MnuSelInput = MnuEdit->addAction(QStringLiteral("Select Input Device"));
    MnuSelInput->setObjectName(QStringLiteral("MnuSelInput"));

    // The View menu: the only entries with shortcuts (the plain keys work
    // unless the frame-rate box takes them as text).
    MnuView = menuBar()->addMenu(QStringLiteral("View"));
    MnuView->setObjectName(QStringLiteral("MnuView"));
    const auto add = [this](const char* name, const char* caption, QList<QKeySequence> keys) {
        QAction* action = MnuView->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        return action;
    };
    MnuZoomIn = add("MnuZoomIn", "Zoom In", {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::Key_Plus)});
    MnuZoomOut = add("MnuZoomOut", "Zoom Out", {QKeySequence(Qt::CTRL | Qt::Key_Minus), QKeySequence(Qt::Key_Minus)});
    MnuZoomToSelection = add("MnuZoomToSelection", "Zoom to Selection", {});
    MnuShowWholeSound = add("MnuShowWholeSound", "Show Whole Sound", {QKeySequence(Qt::CTRL | Qt::Key_0),
                                                                      QKeySequence(Qt::Key_0)});
    MnuView->addSeparator();
    MnuShowPeaks = add("MnuShowPeaks", "Show Peaks", {});
    MnuShowPeaks->setCheckable(true);
    MnuSpectrogram = add("MnuSpectrogram", "Spectrogram", {});
    MnuSpectrogram->setCheckable(true);
    MnuShowTimecode = add("MnuShowTimecode", "Show Timecode", {});
    MnuShowTimecode->setCheckable(true);
    MnuShowTimecode->setChecked(Settings().value(QStringLiteral("view/showTimecode"), false).toBool());
    MnuSnapToBeats = add("MnuSnapToBeats", "Snap to Beats", {});
    MnuSnapToBeats->setCheckable(true);
    MnuSnapToBeats->setChecked(Settings().value(QStringLiteral("view/snapToBeats"), false).toBool());
    session_.SetSnap(MnuSnapToBeats->isChecked());
    MnuChannels = MnuView->addMenu(QStringLiteral("Channels"));
    MnuChannels->setObjectName(QStringLiteral("MnuChannels"));

    MnuTransport = menuBar()->addMenu(QStringLiteral("Transport"));
    MnuTransport->setObjectName(QStringLiteral("MnuTransport"));
}

void Form1::CreateTransportMenu() {
    const auto add = [this](QAction*& action, const char* name, const char* caption, auto handler) {
        action = MnuTransport->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromUtf8(name));
        connect(action, &QAction::triggered, this, [handler] { Guarded(handler); });
    };
    const auto click = [this](const char* button) {
        return [this, button] {
            if (QAbstractButton* b = MMControl1->Button(QString::fromLatin1(button))) b->click();
        };
    };
    add(MnuPlayPause, "MnuPlayPause", "Play/Pause\tSpace", [this] { waveform_->PlayOrPause(); });
    add(MnuLoopSelection, "MnuLoopSelection", "Loop Selection\tL",
        [this] { session_.SetLoop(MnuLoopSelection->isChecked()); });
    MnuLoopSelection->setCheckable(true);
    MnuTransport->addSeparator();
    auto* speeds = new QActionGroup(MnuTransport);
    add(MnuNormalSpeed, "MnuNormalSpeed", "Normal Speed", [this] { SetSpeed(1.0); });
    add(MnuHalfSpeed, "MnuHalfSpeed", "Half Speed", [this] { SetSpeed(0.5); });
    add(MnuQuarterSpeed, "MnuQuarterSpeed", "Quarter Speed", [this] { SetSpeed(0.25); });
    for (QAction* a : {MnuNormalSpeed, MnuHalfSpeed, MnuQuarterSpeed}) {
        a->setCheckable(true);
        speeds->addAction(a);
    }
    add(MnuPlaySlowly, "MnuPlaySlowly", "Play Slowly\tShift+Space", [this] {
        const bool playing = MMControl1->Mode() == MediaControl::ModePlay;
        if (!playing) SetSpeed(Settings().value(QStringLiteral("transport/slowSpeed"), 0.5).toDouble());
        waveform_->PlayOrPause();
    });
    MnuTransport->addSeparator();
    add(MnuStep, "MnuStep", "Step\tRight", click("Step"));
    add(MnuBack, "MnuBack", "Back\tLeft", click("Back"));

    // L and Shift+Space are single keys of the window, as Space is.
    waveform_->Keys().Add(Qt::Key_L, [this] { MnuLoopSelection->trigger(); });
    waveform_->Keys().Add(Qt::Key_Space, [this] { MnuPlaySlowly->trigger(); }, true);
    SetSpeed(Settings().value(QStringLiteral("transport/speed"), 1.0).toDouble());
}

void Form1::SetSpeed(double speed) {
    if (speed != 0.5 && speed != 0.25) speed = 1.0;
    session_.SetSpeed(speed);
    (speed == 0.5 ? MnuHalfSpeed : speed == 0.25 ? MnuQuarterSpeed : MnuNormalSpeed)->setChecked(true);
    QSettings settings = Settings();
    settings.setValue(QStringLiteral("transport/speed"), speed);
    if (speed < 1.0) settings.setValue(QStringLiteral("transport/slowSpeed"), speed);
}

void Form1::CreateMarksMenu() {
    // After View: M and Shift+M work wherever the focused control does not
    // take the key as text.
    MnuMarks = new QMenu(QStringLiteral("Marks"), this);
    MnuMarks->setObjectName(QStringLiteral("MnuMarks"));
    const auto add = [this](const char* name, const char* caption, const QKeySequence& keys) {
        QAction* action = MnuMarks->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromUtf8(name));
        if (!keys.isEmpty()) action->setShortcut(keys);
        return action;
    };
    MnuAddMark = add("MnuAddMark", "Add Mark", QKeySequence(Qt::Key_M));
    MnuAddSelectionMark = add("MnuAddSelectionMark", "Add Selection as Mark", QKeySequence(Qt::SHIFT | Qt::Key_M));
    MnuMarksList = add("MnuMarksList", "Marks List", QKeySequence(Qt::CTRL | Qt::Key_L));
    MnuExportMarks = add("MnuExportMarks", "Export Marks...", QKeySequence(Qt::CTRL | Qt::Key_E));
    MnuImportMarks = add("MnuImportMarks", "Import Marks...", QKeySequence());
    MnuImportBreakdown = add("MnuImportBreakdown", "Import Breakdown...", QKeySequence());
    menuBar()->addMenu(MnuMarks);
    EnableMarkEntries();
}

void Form1::CreateAnalyzeMenu() {
    MnuAnalyze = menuBar()->addMenu(QStringLiteral("Analyze"));
    MnuAnalyze->setObjectName(QStringLiteral("MnuAnalyze"));
    dialogueActions_->FillMenu(*MnuAnalyze);
    MnuAnalyze->addSeparator();
    beatsActions_->FillMenu(*MnuAnalyze);
}

void Form1::SetTabOrder() {
    // Design order of the controls that take focus: PicWave, MMControl1,
    // PicTime, TxtNumFrames, ScrollStart, ScrollEnd, VolSlider. The media
    // control takes focus through its buttons, kept in their own order.
    std::vector<QWidget*> order{PicWave};
    if (MMControl1->focusPolicy() & Qt::TabFocus) order.push_back(MMControl1);
    for (QWidget* w = MMControl1->nextInFocusChain(); w && MMControl1->isAncestorOf(w); w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus) order.push_back(w);
    for (QWidget* w : {static_cast<QWidget*>(PicTime), static_cast<QWidget*>(TxtNumFrames),
                       static_cast<QWidget*>(ScrollStart), static_cast<QWidget*>(ScrollEnd),
                       static_cast<QWidget*>(VolSlider)})
        order.push_back(w);
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void Form1::ConnectHandlers() {
    connect(MnuOpen, &QAction::triggered, this, [this] { Guarded([this] { MnuOpen_Click(); }); });
    connect(MnuExit, &QAction::triggered, this, [this] { Guarded([this] { MnuExit_Click(); }); });
    connect(MnuAbout, &QAction::triggered, this, [this] { Guarded([this] { MnuAbout_Click(); }); });
    connect(MnuSelInput, &QAction::triggered, this, [this] { Guarded([this] { MnuSelInput_Click(); }); });
    connect(MnuShowTimecode, &QAction::triggered, this, [this] { Guarded([this] { MnuShowTimecode_Click(); }); });
    connect(MnuZoomIn, &QAction::triggered, this, [this] { Guarded([this] { waveform_->ZoomIn(); }); });
    connect(MnuZoomOut, &QAction::triggered, this, [this] { Guarded([this] { waveform_->ZoomOut(); }); });
    connect(MnuZoomToSelection, &QAction::triggered, this, [this] { Guarded([this] { waveform_->ZoomToSelection(); }); });
    connect(MnuShowWholeSound, &QAction::triggered, this, [this] { Guarded([this] { waveform_->ShowWholeSound(); }); });
    connect(MnuShowPeaks, &QAction::toggled, this, [this](bool on) { Guarded([&] { waveform_->SetShowPeaks(on); }); });
    connect(MnuSnapToBeats, &QAction::toggled, this, [this](bool on) { Guarded([&] { session_.SetSnap(on); }); });
    connect(TxtNumFrames, &QLineEdit::textChanged, this, [this] { Guarded([this] { TxtNumFrames_Change(); }); });
    connect(MnuSpectrogram, &QAction::toggled, this, [this](bool on) { Guarded([&] { waveform_->SetShowSpectrogram(on); }); });
    connect(PicTime, &PictureBox::MouseDown, this, [this](int16_t b, int16_t s, float x, float y) {
        Guarded([&] { PicTime_MouseDown(b, s, x, y); });
    });
    connect(PicTime, &PictureBox::MouseMove, this, [this](int16_t b, int16_t s, float x, float y) {
        Guarded([&] { PicTime_MouseMove(b, s, x, y); });
    });
    connect(PicTime, &PictureBox::MouseUp, this, [this](int16_t b, int16_t s, float x, float y) {
        Guarded([&] { PicTime_MouseUp(b, s, x, y); });
    });
    connect(ScrollStart, &Slider::Scroll, this, [this] { Guarded([this] { ScrollStart_Scroll(); }); });
    connect(ScrollEnd, &Slider::Scroll, this, [this] { Guarded([this] { ScrollEnd_Scroll(); }); });
    connect(VolSlider, &Slider::MouseMove, this, [this] { Guarded([this] { VolSlider_MouseMove(); }); });
    connect(VolSlider, &Slider::Scroll, this, [this] { Guarded([this] { VolSlider_Scroll(); }); });
    connect(MMControl1, &MediaControl::StatusUpdate, this, [this] { Guarded([this] { RefreshTimeline(); }); });
    connect(MMControl1, &MediaControl::Notice, this, [this](const QString& message) {
        Guarded([&] { platform_.messages.Show(message.toStdString()); });
    });
    connect(MnuAddMark, &QAction::triggered, this, [this] { Guarded([this] { MnuAddMark_Click(); }); });
    connect(MnuAddSelectionMark, &QAction::triggered, this, [this] { Guarded([this] { MnuAddSelectionMark_Click(); }); });
    connect(MnuMarksList, &QAction::triggered, this, [this] { Guarded([this] { MnuMarksList_Click(); }); });
    connect(MnuExportMarks, &QAction::triggered, this, [this] { Guarded([this] { MnuExportMarks_Click(); }); });
    connect(MnuImportMarks, &QAction::triggered, this, [this] { Guarded([this] { MnuImportMarks_Click(); }); });
    connect(MnuImportBreakdown, &QAction::triggered, this, [this] { Guarded([this] { dialogueActions_->ImportNow(); }); });
}

// ---- Placement in twips ----

float Form1::ScaleWidth() const {
    return static_cast<float>(PixelsToTwips(client_->width(), logicalDpiX()));
}

float Form1::ScaleHeight() const {
    return static_cast<float>(PixelsToTwips(client_->height(), logicalDpiY()));
}

const TwipsRect& Form1::Geometry(const QWidget* control) const {
    const auto it = twips_.find(control);
    if (it == twips_.end()) throw ZorvaneError("Not a placed control");
    return it->second;
}

void Form1::Place(QWidget* control, const TwipsRect& twips) {
    if (!(std::isfinite(twips.Left) && std::isfinite(twips.Top) && std::isfinite(twips.Width) &&
          std::isfinite(twips.Height)) ||
        twips.Width < 0.0f || twips.Height < 0.0f)
        throw ZorvaneError("Invalid property value");
    const QRect pixels = ToPixelRect(twips, logicalDpiX(), logicalDpiY());
    twips_[control] = twips;
    control->setGeometry(pixels);
}

void Form1::SetLeft(QWidget* control, float left) {
    TwipsRect t = Geometry(control);
    t.Left = left;
    Place(control, t);
}

void Form1::SetWidth(QWidget* control, float width) {
    TwipsRect t = Geometry(control);
    t.Width = width;
    Place(control, t);
}

void Form1::SetHeight(QWidget* control, float height) {
    TwipsRect t = Geometry(control);
    t.Height = height;
    Place(control, t);
}

void Form1::PlaceAll() {
    for (const auto& [control, twips] : twips_) const_cast<QWidget*>(control)->setGeometry(
        ToPixelRect(twips, logicalDpiX(), logicalDpiY()));
    RedLine->SetX2(RedLine->X2());
}

void Form1::DockPanel() {
    const float w = ScaleWidth(), h = ScaleHeight();
    Guarded([&] { Place(Picture1, {0.0f, h - PanelHeight, w, PanelHeight}); });
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
    // Every step in order from the client size; the first error ends the run
    // where it stands, keeping what was already set. Halves and quarters are
    // kept fractional: the twips-to-pixels mapping rounds edges, so the two
    // halves meet on one pixel.
    try {
        const float W = ScaleWidth();
        const float H = ScaleHeight();
        SetWidth(PicWave, W);
        SetWidth(LabFilePath, W);
        // A window shorter than the panel leaves no room for the waveform:
        // height 0, and the panel's controls still follow the width.
        SetHeight(PicWave, H >= PanelHeight ? H - PanelHeight : 0.0f);
        RedLine->SetX2(W);
        SetWidth(PicTime, W);
        SetWidth(LabMCIposition, W);
        SetWidth(LblStartFrame, W / 2.0f);
        SetWidth(LblTotalTime, W);
        SetWidth(LblSelectedTime, W);
        SetWidth(MMControl1, static_cast<float>(W * 0.75));
        SetWidth(VolSlider, static_cast<float>(W * 0.25));
        SetLeft(VolSlider, static_cast<float>(W * 0.75));
        SetLeft(LblEndFrame, W / 2.0f);
        SetWidth(LblEndFrame, W / 2.0f);
        SetWidth(ScrollStart, W / 2.0f);
        SetLeft(ScrollEnd, W / 2.0f);
        SetWidth(ScrollEnd, W / 2.0f);
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
    if (event->type() == QEvent::ScreenChangeInternal) Guarded([this] { PlaceAll(); });
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
        SlidersFollowRate();
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

void Form1::SlidersFollowRate() {
    if (WavFileName.empty() || session_.Rate() == slidersRate_) return;
    slidersRate_ = session_.Rate();
    try {
        SelectionFollowRate(Selection(), MMControl1->Length());
    } catch (...) {
        LogCurrentError(LogWindow(), "The sliders following the frame rate");
    }
}

SelectionContext Form1::Selection() {
    return {session_, Dragging, *ScrollStart, *ScrollEnd};
}

void Form1::PicTime_MouseDown(int16_t button, int16_t, float x, float) {
    const int32_t start = ScrollStart->Value(), end = ScrollEnd->Value();
    SelectionMouseDown(Selection(), button, x, PicTime->ScaleWidth());
    SnapSelection(start, end);
}

void Form1::PicTime_MouseMove(int16_t button, int16_t, float x, float) {
    const int32_t start = ScrollStart->Value(), end = ScrollEnd->Value();
    SelectionMouseMove(Selection(), button, x, PicTime->ScaleWidth());
    SnapSelection(start, end);
}

// ---- Snap to Beats ----

int64_t Form1::SnappedSample(int64_t sample) const {
    const Track* beats = document_->Find(SoundDocument::kBeats);
    if (!session_.Snap() || !beats || beats->empty()) return sample;
    std::vector<int64_t> at;
    at.reserve(beats->size());
    for (const TrackItem& b : beats->Items()) at.push_back(b.start);
    return std::clamp<int64_t>(SnapToBeats(sample, at), 0, std::max<int64_t>(document_->Info().frames - 1, 0));
}

int32_t Form1::SnappedFrame(int32_t frame) {
    const FrameRate rate = FrameRateNow();
    const int32_t sampleRate = document_->Info().sampleRate;
    if (!rate.IsPositive() || sampleRate <= 0) return frame;
    const int64_t sample = FrameStartSample(frame, rate, sampleRate);
    const int64_t snapped = SnappedSample(sample);
    if (snapped == sample) return frame;
    return static_cast<int32_t>(std::clamp<int64_t>(FrameOfSample(snapped, rate, sampleRate), ScrollStart->Minimum(),
                                                    ScrollEnd->Maximum()));
}

void Form1::SnapSelection(int32_t startBefore, int32_t endBefore) {
    // The start first: the end's slider refuses to meet it.
    if (ScrollStart->Value() != startBefore) {
        const int32_t snapped = SnappedFrame(ScrollStart->Value());
        if (snapped != ScrollStart->Value() && snapped < ScrollEnd->Value()) {
            ScrollStart->SetValue(snapped);
            ScrollStart_Scroll();
        }
    }
    if (ScrollEnd->Value() != endBefore) {
        const int32_t snapped = SnappedFrame(ScrollEnd->Value());
        if (snapped != ScrollEnd->Value() && snapped > ScrollStart->Value()) {
            ScrollEnd->SetValue(snapped);
            ScrollEnd_Scroll();
        }
    }
}

// ---- What the waveform's handlers ask of the window ----

int Form1::HiddenBelow() const {
    // The box runs on under the panel by the file name's height.
    return std::max(0, PicWave->geometry().bottom() - Picture1->geometry().top() + 1);
}

void Form1::MoveStartSlider(int32_t frame) {
    ScrollStart->SetValue(SnappedFrame(frame));
    ScrollStart_Scroll();
    RefreshTimeline();
}

void Form1::MoveEndSlider(int32_t frame) {
    ScrollEnd->SetValue(SnappedFrame(frame));
    ScrollEnd_Scroll();
    RefreshTimeline();
}

BeatAnalysis Form1::Beats() const { return beatsActions_ ? beatsActions_->Beats() : BeatAnalysis{}; }

std::optional<std::string> Form1::DialogueText(BreakdownFormat format, const std::string& soundName) const {
    return dialogueActions_ ? dialogueActions_->ExportText(format, soundName) : std::nullopt;
}

std::vector<TrackItem> Form1::MouthsFor(const std::vector<TrackItem>& phonemes) const {
    return dialogueActions_->MouthsFor(phonemes);
}

void Form1::PlaySamples(int64_t first, int64_t last) {
    Guarded([&] {
        MMControl1->Transport().PlaySamples(first, last);
        MMControl1->TransportChanged();
    });
}

std::optional<std::string> Form1::AskText(const std::string& what, const std::string& initial) {
    return platform_.messages.AskText(what, initial);
}

void Form1::LanesChanged() { waveform_->TracksChanged(); }

void Form1::ContextMenu(int64_t sample, const QPoint& where) {
    Guarded([&] { WaveformMenu(sample, where); });
}

void Form1::WaveformMenu(int64_t sample, const QPoint& where) {
    if (!beatsActions_ || !beatsActions_->Beats().steady) return;
    QMenu menu(this);
    QAction* downbeat = menu.addAction(QStringLiteral("Bar 1, Beat 1 here"));
    if (menu.exec(where) == downbeat) beatsActions_->SetDownbeatAt(sample);
}

void Form1::PicTime_MouseUp(int16_t, int16_t, float, float) { SelectionMouseUp(Selection()); }
void Form1::ScrollStart_Scroll() { SelectionScrollStart(Selection()); }
void Form1::ScrollEnd_Scroll() { SelectionScrollEnd(Selection()); }

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

void Form1::OpenWavFile() {
    // The file that is open stays open, and playable, until a new one has
    // been chosen and the device has opened it: a cancelled or refused open
    // loses nothing.
    if (opener_->Preparing()) return;   // a decode is still running: one open at a time
    static const std::string filter =
        "All Files (*.*)|*.*|Wav Files (*.wav)|*.wav|Mpeg Files (*.mpg)|*.mpg|"
        "Sound Files (*.wav *.flac *.ogg *.oga *.opus *.mp3)|*.wav *.flac *.ogg *.oga *.opus *.mp3";
    const std::optional<std::string> path = platform_.fileDialog.ShowOpen(filter, 2);
    if (!path) return;
    OpenSoundFile(*path);
}

bool Form1::Opening() const { return opener_->Preparing(); }

void Form1::OpenSoundFile(const std::string& path) {
    if (opener_->Preparing()) return;   // one open at a time
    // The analyses read the sound that is open.
    if (beatsActions_->Running() || dialogueActions_->Running()) return;
    // A compressed sound (decoded) and a big WAV (read, with its peak
    // summary) are made ready before anything changes, on a worker thread
    // while the window keeps answering; the open comes back here with the
    // record. A failed or cancelled one leaves the previous file as it was.
    std::optional<SoundOpener::Prepared> prepared = opener_->TakePrepared(path);
    // Marks that live only in memory are offered for export first (once,
    // before any preparing).
    if (!prepared && !marksActions_->MayLeave("opening another sound")) return;
    if (!prepared && SoundOpener::NeedsPreparing(path)) {
        opener_->Prepare(path, [this, path] { Guarded([&] { OpenSoundFile(path); }); });
        return;
    }
    try {
        MMControl1->SetFileName(path);
        try {
            MMControl1->SetCommand("Open");
        } catch (const DeviceError& refused) {
            platform_.messages.Show("Couldn't open " + path + ": " + refused.what());
            return;
        }
        LabFilePath->setText(QString::fromStdString(path));
        ShowTimes();
        WavFileName = path;
        // A file the loader refuses is reported; the open goes on. The peak
        // summary is made on a worker, for a WAV during the load's read.
        ShowReport(platform_.messages, opener_->Load(Sound, WavFileName, std::move(prepared)));
        // The session counts in the new sound's samples (in ms when it has none).
        session_.SetSound(Sound.WavLoaded ? static_cast<int32_t>(Sound.WavFormat.nSamplesPerSec) : 0,
                          Sound.WavLoaded ? Sound.NumSamples : 0);
        // The marks kept beside the sound come with it (told about when
        // their file cannot be read).
        marksActions_->SoundOpened(WavFileName, Sound.WavFormat.nChannels);
        trackUndo_->Clear();   // the steps were the last sound's
        EnableMarkEntries();
        waveform_->SoundLoaded();   // the whole sound in view
        Sound.ViewStart = 0;
        Sound.ViewEnd = Sound.NumSamples;
        // A waveform the renderer cannot draw (a frame's byte offset beyond
        // 32 bits: long stereo files, huge block alignments) stays drawn as
        // far as it got; the new file must still get its own selection and
        // slider ranges, not keep the previous file's.
        try {
            DrawWaves();
        } catch (const ZorvaneError&) {
            LogCurrentError(LogSound(), "Drawing the opened sound");
        }
        slidersRate_ = FrameRateNow();
        SelectionResetForOpen(Selection(), [this] { return MMControl1->Length(); });
    } catch (...) {
        // Any other error ends the open quietly; the steps done stay done.
        LogCurrentError(LogSound(), "Opening a sound");
    }
}

void Form1::OpenGivenFile(const QString& pathOrUrl) {
    const QUrl url(pathOrUrl);
    const QString path = url.isLocalFile() ? url.toLocalFile() : pathOrUrl;
    if (path.isEmpty()) return;
    OpenSoundFile(QFileInfo(path).absoluteFilePath().toStdString());
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.front().isLocalFile() && !opener_->Preparing()) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) return;
    event->acceptProposedAction();
    // Opened once the drop has ended: the open may show a dialog.
    const QString path = urls.front().toLocalFile();
    QTimer::singleShot(0, this, [this, path] { Guarded([&] { OpenGivenFile(path); }); });
}

void Form1::ShowTimes() {
    // Each time is read twice, once for the minutes and once for the frames.
    const FrameRate rate = FrameRateNow();
    const bool timecode = MnuShowTimecode->isChecked();
    const int32_t lengthForMinutes = MMControl1->Length();
    LblTotalTime->setText(
        QString::fromStdString(LengthCaption(lengthForMinutes, MMControl1->Length(), rate, timecode)));
    const int32_t positionForMinutes = MMControl1->Position();
    LabMCIposition->setText(
        QString::fromStdString(PositionCaption(positionForMinutes, MMControl1->Position(), rate, timecode)));
}

} // namespace zv
