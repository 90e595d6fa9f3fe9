#include "window/FormControls.h"

#include <QColor>
#include <QFont>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QSettings>
#include <QUndoStack>
#include <vector>

#include "playback/ui/MediaControl.h"
#include "window/LineShape.h"
#include "window/PictureBox.h"
#include "window/Slider.h"
#include "window/TwipsPlacement.h"

namespace zv {

namespace {

QSettings Settings() { return QSettings(QStringLiteral("Zorvane"), QStringLiteral("Zorvane")); }

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

} // namespace

void FormControls::CreateControls(QWidget* client, MediaDevice& device, TwipsPlacement& place) {
    const QFont small = ArialFont(8.25, false);
    const QFont smallBold = ArialFont(8.25, true);

    // Children of the window, back to front: the label and the waveform box
    // under the panel (the panel's top band covers the box's lowest 240 twips).
    LabFilePath = MakeLabel(client, "LabFilePath", "Filename:", small, false);
    SetColours(LabFilePath, QColor(255, 255, 255), QColor(128, 128, 128));
    place.Place(LabFilePath, {0, 0, 9015, 255});

    PicWave = new PictureBox(client);
    PicWave->setObjectName(QStringLiteral("PicWave"));
    PicWave->SetBackColor({64, 0, 64});
    PicWave->setAccessibleName(QStringLiteral("PicWave"));
    PicWave->setAccessibleDescription(QStringLiteral("Waveform of the open sound file"));
    place.Place(PicWave, {0, 240, 9015, 3675});

    Picture1 = new QWidget(client);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAccessibleName(QStringLiteral("Picture1"));
    Picture1->setAccessibleDescription(QStringLiteral("Timeline, readouts, selection, playback and volume"));
    {
        QPalette pal = Picture1->palette();
        pal.setColor(QPalette::Window, QColor(224, 224, 224));
        Picture1->setPalette(pal);
        Picture1->setAutoFillBackground(true);
    }
    place.Place(Picture1, {0, 7020, 10485, 2295});

    // Children of the panel. Labels and the line first: they lie under the
    // panel's controls where they overlap.
    LabMCIposition = MakeLabel(Picture1, "LabMCIposition", "Time: 0:0 / Frame: 0", ArialFont(9, true), true);
    SetColours(LabMCIposition, QColor(0, 255, 0), QColor(0, 0, 0));
    place.Place(LabMCIposition, {0, 240, 9015, 255});

    LblStartFrame = MakeLabel(Picture1, "LblStartFrame", "Start: 0", smallBold, true);
    SetColours(LblStartFrame, QColor(255, 255, 255), QColor(255, 0, 0));
    place.Place(LblStartFrame, {0, 480, 4515, 255});

    LblEndFrame = MakeLabel(Picture1, "LblEndFrame", "End: 0", smallBold, true);
    SetColours(LblEndFrame, QColor(255, 255, 255), QColor(0, 0, 255));
    place.Place(LblEndFrame, {4500, 480, 4515, 255});

    LblTotalTime = MakeLabel(Picture1, "LblTotalTime", "Total Length:(Time:0:0 / Seconds: 0)", smallBold, true);
    place.Place(LblTotalTime, {0, 1500, 9075, 255});

    LblSelectedTime = MakeLabel(Picture1, "LblSelectedTime", "Selected:(Seconds: 0 / Frames: 0)", smallBold, true);
    place.Place(LblSelectedTime, {0, 1740, 9015, 195});

    Label1 = MakeLabel(Picture1, "Label1", "Frames Per Second:", smallBold, false);
    place.Place(Label1, {60, 1980, 2055, 255});

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
    place.Place(PicTime, {0, 0, 25200, 255});

    ScrollStart = new Slider(Picture1);
    ScrollStart->setObjectName(QStringLiteral("ScrollStart"));
    ScrollStart->setRange(0, 10);
    ScrollStart->setSingleStep(1);
    ScrollStart->setPageStep(10);
    ScrollStart->setToolTip(QStringLiteral("Start"));
    ScrollStart->setAccessibleName(QStringLiteral("ScrollStart"));
    ScrollStart->setAccessibleDescription(QStringLiteral("Selection start, in frames"));
    place.Place(ScrollStart, {0, 720, 1155, 315});

    ScrollEnd = new Slider(Picture1);
    ScrollEnd->setObjectName(QStringLiteral("ScrollEnd"));
    ScrollEnd->setRange(0, 10);
    ScrollEnd->setSingleStep(1);
    ScrollEnd->setPageStep(5);
    ScrollEnd->setAccessibleName(QStringLiteral("ScrollEnd"));
    ScrollEnd->setAccessibleDescription(QStringLiteral("Selection end, in frames"));
    place.Place(ScrollEnd, {4500, 720, 1215, 315});

    MMControl1 = new MediaControl(device, Picture1);
    MMControl1->setObjectName(QStringLiteral("MMControl1"));
    MMControl1->setAccessibleName(QStringLiteral("MMControl1"));
    MMControl1->setAccessibleDescription(QStringLiteral("Playback buttons"));
    place.Place(MMControl1, {0, 1140, 4545, 330});

    VolSlider = new Slider(Picture1);
    VolSlider->setObjectName(QStringLiteral("VolSlider"));
    VolSlider->setRange(0, 10);
    VolSlider->setSingleStep(1);
    VolSlider->setPageStep(5);
    VolSlider->setAccessibleName(QStringLiteral("VolSlider"));
    VolSlider->setAccessibleDescription(QStringLiteral("Speaker volume"));
    place.Place(VolSlider, {5340, 1140, 1455, 315});

    TxtNumFrames = new QLineEdit(QStringLiteral("30"), Picture1);
    TxtNumFrames->setObjectName(QStringLiteral("TxtNumFrames"));
    TxtNumFrames->setAccessibleName(QStringLiteral("TxtNumFrames"));
    TxtNumFrames->setAccessibleDescription(QStringLiteral("Frames per second"));
    place.Place(TxtNumFrames, {1740, 1980, 555, 255});

    // Labels take no focus; the panel is a container, not a stop of its own.
    Picture1->setFocusPolicy(Qt::NoFocus);
}

void FormControls::CreateMenus(QMenuBar* bar) {
    // Captions carry no '&': no access keys, and no shortcuts are set.
    MnuFile = bar->addMenu(QStringLiteral("File"));
    MnuFile->setObjectName(QStringLiteral("MnuFile"));
    MnuOpen = MnuFile->addAction(QStringLiteral("Open Wav File"));
    MnuOpen->setObjectName(QStringLiteral("MnuOpen"));
    MnuExit = MnuFile->addAction(QStringLiteral("Exit"));
    MnuExit->setObjectName(QStringLiteral("MnuExit"));
    MnuEdit = bar->addMenu(QStringLiteral("Edit"));
    MnuEdit->setObjectName(QStringLiteral("MnuEdit"));
    MnuAbout = MnuEdit->addAction(QStringLiteral("About"));
    MnuAbout->setObjectName(QStringLiteral("MnuAbout"));
    MnuSelInput = MnuEdit->addAction(QStringLiteral("Select Input Device"));
    MnuSelInput->setObjectName(QStringLiteral("MnuSelInput"));

    // The View menu: the only entries with shortcuts (the plain keys work
    // unless the frame-rate box takes them as text).
    MnuView = bar->addMenu(QStringLiteral("View"));
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
    MnuChannels = MnuView->addMenu(QStringLiteral("Channels"));
    MnuChannels->setObjectName(QStringLiteral("MnuChannels"));

    MnuTransport = bar->addMenu(QStringLiteral("Transport"));
    MnuTransport->setObjectName(QStringLiteral("MnuTransport"));
}

void FormControls::CreateMarksMenu(QMenuBar* bar, QWidget* owner) {
    // After View: M and Shift+M work wherever the focused control does not
    // take the key as text.
    MnuMarks = new QMenu(QStringLiteral("Marks"), owner);
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
    bar->addMenu(MnuMarks);
}

void FormControls::CreateUndoEntries(QUndoStack& stack) {
    MnuEdit->addSeparator();
    MnuUndo = stack.createUndoAction(MnuEdit, QStringLiteral("Undo"));
    MnuUndo->setObjectName(QStringLiteral("MnuUndo"));
    MnuUndo->setShortcut(QKeySequence::Undo);
    MnuRedo = stack.createRedoAction(MnuEdit, QStringLiteral("Redo"));
    MnuRedo->setObjectName(QStringLiteral("MnuRedo"));
    MnuRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence::Redo});
    MnuEdit->addAction(MnuUndo);
    MnuEdit->addAction(MnuRedo);
}

void FormControls::FollowClientSize(TwipsPlacement& place, float clientWidth, float clientHeight) {
    const float W = clientWidth;
    const float H = clientHeight;
    place.SetWidth(PicWave, W);
    place.SetWidth(LabFilePath, W);
    // A window shorter than the panel leaves no room for the waveform:
    // height 0, and the panel's controls still follow the width.
    place.SetHeight(PicWave, H >= PanelHeight ? H - PanelHeight : 0.0f);
    RedLine->SetX2(W);
    place.SetWidth(PicTime, W);
    place.SetWidth(LabMCIposition, W);
    place.SetWidth(LblStartFrame, W / 2.0f);
    place.SetWidth(LblTotalTime, W);
    place.SetWidth(LblSelectedTime, W);
    place.SetWidth(MMControl1, static_cast<float>(W * 0.75));
    place.SetWidth(VolSlider, static_cast<float>(W * 0.25));
    place.SetLeft(VolSlider, static_cast<float>(W * 0.75));
    place.SetLeft(LblEndFrame, W / 2.0f);
    place.SetWidth(LblEndFrame, W / 2.0f);
    place.SetWidth(ScrollStart, W / 2.0f);
    place.SetLeft(ScrollEnd, W / 2.0f);
    place.SetWidth(ScrollEnd, W / 2.0f);
}

void FormControls::SetTabOrder() {
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

} // namespace zv
