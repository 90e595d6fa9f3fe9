// View > Mouth Preview in the shown window on the silent device: the panel
// shows the shape of the frame being heard while playing, after Step and
// Back, while scrubbing the waveform and after a click, with Zorvane's own
// drawings and with a folder a character was given (one undo step); a
// folder with images that fail names them once and shows the names instead;
// a character's own mouth set brings that set's drawings.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QUndoStack>
#include <memory>
#include <string>
#include <vector>

#include "window/FakePlatform.h"
#include "window/FormDriver.h"
#include "TestSounds.h"
#include "dialogue/CharacterList.h"
#include "document/SoundDocument.h"
#include "playback/system/SilentDevice.h"
#include "playback/ui/MediaControl.h"
#include "preview/ui/MouthPreview.h"
#include "preview/ui/MouthPreviewPanel.h"
#include "preview/ui/MouthTile.h"
#include "window/CharacterActions.h"
#include "window/Form1.h"
#include "window/PictureBox.h"
#include "window/TrackUndo.h"

namespace zv {
namespace {

// 44.1 kHz at the window's 30 frames a second: 1470 samples a frame.
constexpr int64_t kFrame = 1470;

// The shape laid on each frame: 0-4 MBP, 5-9 AI, 10-14 O, then nothing (rest).
std::string Expected(int64_t frame) {
    if (frame < 5) return "MBP";
    if (frame < 10) return "AI";
    if (frame < 15) return "O";
    return "rest";
}

struct MouthPreviewWindow : ::testing::Test {
    test::FakePlatformWith<std::unique_ptr<SilentDevice>> fake;
    std::unique_ptr<Form1> form;
    test::TempDir dir;
    MouthPreview* preview = nullptr;

    void SetUp() override {
        form = std::make_unique<Form1>(fake.platform);
        ASSERT_TRUE(test::ShowWithClientWidth(*form, 900));
        const std::string path = dir.File("line.wav");
        test::WriteWav(path, 44100, 1, test::Tone(44100, 44100, 440, 0.5));
        fake.fileDialog.answer = path;
        form->MnuOpen->trigger();
        ASSERT_EQ(form->MMControl1->Length(), 1000);
        form->Undo().Change(SoundDocument::kMouths,
                            {{0, 5 * kFrame, "MBP", {}}, {5 * kFrame, 10 * kFrame, "AI", {}},
                             {10 * kFrame, 15 * kFrame, "O", {}}},
                            "Mouths");
        preview = form->findChild<MouthPreview*>();
        ASSERT_NE(preview, nullptr);
        // View > Mouth Preview shows the panel.
        QAction* entry = nullptr;
        for (QAction* a : form->MnuView->actions())
            if (a->text() == "Mouth Preview") entry = a;
        ASSERT_NE(entry, nullptr);
        // Hidden unless an earlier test left it showing (it is remembered).
        if (!preview->Panel().isVisible()) entry->trigger();
        QApplication::processEvents();
        ASSERT_TRUE(preview->Panel().isVisible());
        EXPECT_TRUE(entry->isChecked());
    }
    std::string Shown() const { return preview->Panel().accessibleDescription().toStdString(); }
    void Press(const char* caption, int times = 1) {
        QAbstractButton* button = form->MMControl1->Button(QString::fromLatin1(caption));
        for (int i = 0; i < times; ++i) QTest::mouseClick(button, Qt::LeftButton);
    }
    int64_t HeardFrame() const { return form->State().Position() / kFrame; }
    void Mouse(QEvent::Type type, double x, Qt::MouseButton button, Qt::MouseButtons held) {
        const QPointF pos(x, 30);
        QMouseEvent e(type, pos, form->PicWave->mapToGlobal(pos), button, held, Qt::NoModifier);
        QApplication::sendEvent(form->PicWave, &e);
    }
    // The waveform's pixel x in the middle of animation frame `frame` (the whole second in view).
    double XOfFrame(int64_t frame) const { return (static_cast<double>(frame) + 0.5) * form->PicWave->width() / 30.0; }
};

TEST_F(MouthPreviewWindow, StepAndBackShowTheFramesShape) {
    EXPECT_EQ(Shown(), "Mouth: MBP");
    ASSERT_EQ(preview->Panel().Tiles().size(), 1u);
    const MouthTile& tile = *preview->Panel().Tiles()[0];
    EXPECT_TRUE(tile.ShowsDrawing());   // Zorvane's own drawing, not the name
    for (int64_t frame = 1; frame <= 17; ++frame) {
        Press("Step");
        ASSERT_EQ(HeardFrame(), frame);
        EXPECT_EQ(Shown(), "Mouth: " + Expected(frame)) << "frame " << frame;
        EXPECT_EQ(tile.Shape(), Expected(frame));
        EXPECT_TRUE(tile.ShowsDrawing());
    }
    for (int64_t frame = 16; frame >= 8; --frame) {
        Press("Back");
        ASSERT_EQ(HeardFrame(), frame);
        EXPECT_EQ(Shown(), "Mouth: " + Expected(frame)) << "frame " << frame;
    }
    EXPECT_TRUE(preview->Panel().MissingLine().isHidden());
}

TEST_F(MouthPreviewWindow, PlayingShowsTheHeardFrameAtEveryRefresh) {
    std::vector<std::string> seen;
    int checked = 0;
    QSignalSpy refresh(form->MMControl1, &MediaControl::StatusUpdate);
    Press("Play");
    while (checked < 400 && refresh.wait(2000)) {
        const int64_t frame = HeardFrame();
        ASSERT_EQ(Shown(), "Mouth: " + Expected(frame)) << "frame " << frame;
        if (seen.empty() || seen.back() != Expected(frame)) seen.push_back(Expected(frame));
        ++checked;
        if (frame > 20) break;
    }
    Press("Stop");
    EXPECT_GT(checked, 5);
    // The runs went by in order (a refresh late on a loaded machine may miss
    // a run of five frames, never show one out of turn).
    const std::vector<std::string> order = {"MBP", "AI", "O", "rest"};
    std::size_t at = 0;
    for (const std::string& shape : seen) {
        while (at < order.size() && order[at] != shape) ++at;
        EXPECT_LT(at, order.size()) << shape << " out of turn";
    }
    EXPECT_GE(seen.size(), 3u);
    EXPECT_EQ(seen.front(), "MBP");
    EXPECT_EQ(seen.back(), "rest");
}

TEST_F(MouthPreviewWindow, ScrubbingAndAClickShowTheFrameUnderThePointer) {
    Mouse(QEvent::MouseButtonPress, XOfFrame(7), Qt::LeftButton, Qt::LeftButton);
    ASSERT_TRUE(test::WaitForRefresh(*form));
    EXPECT_EQ(HeardFrame() / 5, 1) << HeardFrame();   // within the AI run
    EXPECT_EQ(Shown(), "Mouth: AI");
    Mouse(QEvent::MouseMove, XOfFrame(12), Qt::NoButton, Qt::LeftButton);
    for (int i = 0; i < 20 && HeardFrame() < 10; ++i) ASSERT_TRUE(test::WaitForRefresh(*form));
    EXPECT_EQ(Shown(), "Mouth: O");
    Mouse(QEvent::MouseMove, XOfFrame(2), Qt::NoButton, Qt::LeftButton);
    for (int i = 0; i < 20 && HeardFrame() >= 5; ++i) ASSERT_TRUE(test::WaitForRefresh(*form));
    EXPECT_EQ(Shown(), "Mouth: MBP");
    Mouse(QEvent::MouseButtonRelease, XOfFrame(2), Qt::LeftButton, Qt::NoButton);
    // A click past the last shape: rest.
    Mouse(QEvent::MouseButtonPress, XOfFrame(20), Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, XOfFrame(20), Qt::LeftButton, Qt::NoButton);
    for (int i = 0; i < 20 && HeardFrame() < 15; ++i) ASSERT_TRUE(test::WaitForRefresh(*form));
    EXPECT_EQ(Shown(), "Mouth: rest");
}

struct TwoCharactersWindow : MouthPreviewWindow {
    std::string annFolder;
    void SetUp() override {
        MouthPreviewWindow::SetUp();
        CharacterList list;
        ASSERT_TRUE(list.Rename(1, "Ann"));
        ASSERT_EQ(list.Add("Bob"), 2);
        form->Undo().Change({{CharacterList::kTrack, list.Items()},
                             {CharacterList::MouthsTrack(2), {{8 * kFrame, 12 * kFrame, "FV", {}}}}},
                            "Characters");
        annFolder = dir.File("ann");
        QDir().mkpath(QString::fromStdString(annFolder));
        QImage picture(60, 40, QImage::Format_ARGB32);
        picture.fill(Qt::blue);
        for (const char* shape : {"MBP", "AI", "rest"})
            ASSERT_TRUE(picture.save(QString::fromStdString(annFolder + "/" + shape + ".png")));
        ASSERT_TRUE(test::WaitForRefresh(*form));
    }
    MouthTile& Tile(std::size_t i) const { return *preview->Panel().Tiles().at(i); }
    // The messages about drawings (the silent device says once that it plays in silence).
    std::vector<std::string> Told() const {
        std::vector<std::string> told;
        for (const std::string& t : fake.messages.texts)
            if (t.find("mouth drawings") != std::string::npos) told.push_back(t);
        return told;
    }
};

TEST_F(TwoCharactersWindow, EachCharacterSideBySideAndAFolderOfTheirOwn) {
    EXPECT_EQ(Shown(), "Ann: MBP; Bob: rest");
    ASSERT_EQ(preview->Panel().Tiles().size(), 2u);
    QApplication::processEvents();   // the new tile is laid out
    EXPECT_LT(Tile(0).geometry().right(), Tile(1).geometry().left());   // side by side, Ann first
    // Ann's "Drawings..." picks her folder: one undo step, kept in the Characters track.
    std::string asked;
    preview->SetFolderChooser([&](const QString& title, const std::string&) -> std::optional<std::string> {
        asked = title.toStdString();
        return annFolder;
    });
    const int steps = form->Undo().Stack().count();
    QTest::mouseClick(&Tile(0).DrawingsButton(), Qt::LeftButton);
    EXPECT_EQ(asked, "Drawings of Ann");
    EXPECT_EQ(form->Undo().Stack().count(), steps + 1);
    EXPECT_EQ(CharacterList::Of(form->Document()).Find(1)->drawings, annFolder);
    EXPECT_EQ(CharacterList::Of(form->Document()).Find(2)->drawings, "");
    // Her shapes come from it; the ones it lacks show their names, listed once.
    EXPECT_TRUE(Tile(0).ShowsDrawing());
    const std::string missing = preview->Panel().MissingLine().text().toStdString();
    EXPECT_EQ(missing, "No drawing for Ann: E, O, U, etc, L, WQ, FV");
    EXPECT_FALSE(preview->Panel().MissingLine().isHidden());
    Press("Step", 9);
    EXPECT_EQ(Shown(), "Ann: AI; Bob: FV");
    Press("Step", 2);
    EXPECT_EQ(Shown(), "Ann: O; Bob: FV");
    EXPECT_FALSE(Tile(0).ShowsDrawing());   // O: the name in its place
    EXPECT_TRUE(Tile(1).ShowsDrawing());    // Bob keeps Zorvane's own
    EXPECT_EQ(preview->Panel().MissingLine().text().toStdString(), missing);
    EXPECT_TRUE(Told().empty());
    // Undo gives Ann Zorvane's own drawings back.
    form->MnuUndo->trigger();
    ASSERT_TRUE(test::WaitForRefresh(*form));
    EXPECT_EQ(CharacterList::Of(form->Document()).Find(1)->drawings, "");
    EXPECT_TRUE(Tile(0).ShowsDrawing());
    EXPECT_TRUE(preview->Panel().MissingLine().isHidden());
}

TEST_F(TwoCharactersWindow, ACharactersOwnMouthSetBringsItsDrawingsAndItsRest) {
    // Bob is given A-H + X: his rest is X, drawn from that set's drawings;
    // his shapes (imported, with no phonemes to lay them again) are kept.
    const std::vector<TrackItem> bobMouths = form->Document().Find(CharacterList::MouthsTrack(2))->Items();
    ASSERT_TRUE(form->Characters().SetMouthSet(2, "A-H"));
    ASSERT_TRUE(test::WaitForRefresh(*form));
    EXPECT_EQ(Shown(), "Ann: MBP; Bob: X");
    EXPECT_TRUE(Tile(1).ShowsDrawing());
    EXPECT_EQ(form->Document().Find(CharacterList::MouthsTrack(2))->Items(), bobMouths);
    Press("Step", 9);
    EXPECT_EQ(Shown(), "Ann: AI; Bob: FV");
    EXPECT_FALSE(Tile(1).ShowsDrawing());   // FV is no shape of A-H: its name instead
    // Undone: Preston Blair's again, the panel's.
    form->MnuUndo->trigger();
    ASSERT_TRUE(test::WaitForRefresh(*form));
    EXPECT_EQ(CharacterList::Of(form->Document()).Find(2)->mouthSet, "");
    EXPECT_TRUE(Tile(1).ShowsDrawing());
}

TEST_F(TwoCharactersWindow, ARenameOrARemovalReachesThePanel) {
    preview->SetFolderChooser([&](const QString&, const std::string&) { return std::optional<std::string>(annFolder); });
    preview->ChooseDrawings(1);
    CharacterList list = CharacterList::Of(form->Document());
    ASSERT_TRUE(list.Rename(1, "Anna"));
    form->Undo().Change(CharacterList::kTrack, list.Items(), "Rename");
    ASSERT_TRUE(test::WaitForRefresh(*form));
    EXPECT_EQ(Shown(), "Anna: MBP; Bob: rest");
    EXPECT_EQ(preview->Panel().MissingLine().text().toStdString(), "No drawing for Anna: E, O, U, etc, L, WQ, FV");
    ASSERT_TRUE(list.Remove(2));
    form->Undo().Change(CharacterList::kTrack, list.Items(), "Remove");
    ASSERT_TRUE(test::WaitForRefresh(*form));
    EXPECT_EQ(Shown(), "Anna: MBP");
    EXPECT_EQ(preview->Panel().Tiles().size(), 1u);
    EXPECT_TRUE(Tile(0).ShowsDrawing());   // still from her folder
}

TEST_F(TwoCharactersWindow, DrawingsThatFailAreToldOnceByName) {
    QFile broken(QString::fromStdString(annFolder + "/AI.png"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("not a picture");
    broken.close();
    preview->SetFolderChooser([&](const QString&, const std::string&) { return std::optional<std::string>(annFolder); });
    preview->ChooseDrawings(1);
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(test::WaitForRefresh(*form));
    ASSERT_EQ(Told().size(), 1u);
    EXPECT_NE(Told()[0].find("AI.png"), std::string::npos) << Told()[0];
    Press("Step", 6);
    EXPECT_EQ(Shown(), "Ann: AI; Bob: rest");
    EXPECT_FALSE(Tile(0).ShowsDrawing());
    // A folder that is gone: told, every shape by name, nothing else lost.
    preview->SetFolderChooser([&](const QString&, const std::string&) {
        return std::optional<std::string>(dir.File("gone"));
    });
    preview->ChooseDrawings(2);
    ASSERT_TRUE(test::WaitForRefresh(*form));
    ASSERT_EQ(Told().size(), 2u);
    EXPECT_NE(Told()[1].find("gone"), std::string::npos);
    EXPECT_EQ(Shown(), "Ann: AI; Bob: rest");
    EXPECT_FALSE(Tile(1).ShowsDrawing());
    // Cancelling the dialog changes nothing.
    const int steps = form->Undo().Stack().count();
    preview->SetFolderChooser([](const QString&, const std::string&) { return std::optional<std::string>(); });
    preview->ChooseDrawings(1);
    EXPECT_EQ(form->Undo().Stack().count(), steps);
    // The tile's menu gives Ann Zorvane's own drawings back, as one step.
    ASSERT_EQ(Tile(0).actions().size(), 1);
    EXPECT_EQ(Tile(0).actions()[0]->text(), "Use Zorvane's Own Drawings");
    Tile(0).actions()[0]->trigger();
    EXPECT_EQ(form->Undo().Stack().count(), steps + 1);
    EXPECT_EQ(CharacterList::Of(form->Document()).Find(1)->drawings, "");
    EXPECT_TRUE(Tile(0).ShowsDrawing());
    EXPECT_EQ(Told().size(), 2u);
}

} // namespace
} // namespace zv
