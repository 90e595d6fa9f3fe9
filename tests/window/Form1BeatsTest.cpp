// The beats in the shown window, on a drum loop made at 120 BPM: Find Beats
// as a job and its readout; the corrections (a typed tempo, refused when
// it is no tempo or out of range; halve; beats per bar; bar 1 on a chosen
// beat; taps while playing, one undo step for a run of taps), each undone;
// Snap to Beats for a mark; and the bar sheet and CSV through Export Marks.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "../beats/BeatLoops.h"
#include "FakePlatform.h"
#include "FormDriver.h"
#include "TestSounds.h"
#include "beats/BeatTrack.h"
#include "document/SoundDocument.h"
#include "playback/system/SilentDevice.h"
#include "playback/ui/MediaControl.h"
#include "window/BeatsActions.h"
#include "window/Form1.h"
#include "window/PictureBox.h"
#include "window/TrackUndo.h"

namespace zv {
namespace {

struct Form1Beats : ::testing::Test {
    test::FakePlatformWith<std::unique_ptr<SilentDevice>> fake;
    std::unique_ptr<Form1> form;
    test::TempDir dir;
    std::string sound = dir.File("loop.wav");

    void SetUp() override {
        form = std::make_unique<Form1>(fake.platform);
        ASSERT_TRUE(test::ShowWithClientWidth(*form, form->centralWidget()->width()));
        test::LoopSpec recipe;
        recipe.bpm = 120;
        recipe.seconds = 12;
        test::WriteWav(sound, recipe.sampleRate, 1, test::MakeLoop(recipe).mono);
        fake.fileDialog.answer = sound;
        form->MnuOpen->trigger();
        ASSERT_GT(form->MMControl1->Length(), 11000);
        form->BeatWork().FindBeatsNow();
        QTRY_VERIFY_WITH_TIMEOUT(Track() && !Track()->empty() && !form->BeatWork().Running(), 30000);
    }
    const zv::Track* Track() const { return form->Document().Find(SoundDocument::kBeats); }
    double Bpm() const { return form->BeatWork().Beats().bpm; }
    std::string ExportTo(const std::string& name, int filter) {
        fake.fileDialog.saveAnswer = FileDialog::SaveChoice{dir.File(name), filter};
        form->MnuExportMarks->trigger();
        return test::ReadText(dir.File(name));
    }
};

TEST_F(Form1Beats, FoundBeatsAreCorrectedAndEachCorrectionIsUndone) {
    EXPECT_NEAR(Bpm(), 120, 0.5);
    ASSERT_FALSE(fake.messages.texts.empty());
    EXPECT_EQ(fake.messages.texts.back().rfind("4/4 · 120.00 BPM · 15 frames a beat at 30 fps", 0), 0u);
    EXPECT_TRUE(form->BeatWork().setTempo->isEnabled());

    // Typed: no tempo, then out of range (each refused, nothing changed), then 100.
    fake.messages.typed = {"fast", "500", "100"};
    const std::vector<TrackItem> found = Track()->Items();
    form->BeatWork().SetTempoNow();
    form->BeatWork().SetTempoNow();
    EXPECT_EQ(Track()->Items(), found);
    EXPECT_NE(fake.messages.texts.back().find("from 20 to 400 BPM"), std::string::npos);
    form->BeatWork().SetTempoNow();
    EXPECT_NEAR(Bpm(), 100, 0.01);
    EXPECT_EQ(form->BeatWork().Readout(), QStringLiteral("4/4 · 100.00 BPM · 18 frames a beat at 30 fps"));
    form->Undo().Stack().undo();
    EXPECT_EQ(Track()->Items(), found);

    form->BeatWork().HalveTempo();
    EXPECT_NEAR(Bpm(), 60, 0.01);
    form->Undo().Stack().undo();

    // Three beats a bar, then bar 1 on the sixth beat: the beats around it
    // are numbered from there.
    fake.messages.typed = {"3"};
    form->BeatWork().SetBeatsPerBarNow();
    EXPECT_EQ(form->BeatWork().Beats().beatsPerBar, 3);
    const int64_t sixth = (*Track())[5].start;
    form->BeatWork().SetDownbeatAt(sixth + 100);
    EXPECT_EQ((*Track())[5].text, "1.1");
    EXPECT_EQ((*Track())[5].kind, "downbeat");
    EXPECT_EQ((*Track())[4].text, "0.3");
    EXPECT_EQ((*Track())[8].text, "2.1");
    // A new tempo keeps the bars: three a bar, bar 1 at the sixth beat.
    form->BeatWork().DoubleTempo();
    EXPECT_NEAR(Bpm(), 240, 0.01);
    const BeatAnalysis doubled = form->BeatWork().Beats();
    EXPECT_EQ(doubled.beatsPerBar, 3);
    const auto bar1 = KeptBarOptions(doubled).downbeatSample;
    ASSERT_TRUE(bar1);
    EXPECT_LT(std::llabs(*bar1 - sixth), 44100 / 24);
    for (int i = 0; i < 3; ++i) form->Undo().Stack().undo();
    EXPECT_EQ(Track()->Items(), found);
}

TEST_F(Form1Beats, TapsWhilePlayingSetTheTempoAsOneStep) {
    const std::vector<TrackItem> found = Track()->Items();
    form->BeatWork().TapNow();   // not playing: ignored
    EXPECT_EQ(form->Undo().Stack().count(), 1);
    QTest::mouseClick(form->MMControl1->Button(QStringLiteral("Play")), Qt::LeftButton);
    QTRY_COMPARE(form->MMControl1->Mode(), MediaControl::ModePlay);
    form->PicWave->setFocus();
    for (int i = 0; i < 5; ++i) {
        if (i > 0) QTest::qWait(400);   // 150 BPM
        QTest::keyClick(form->PicWave, Qt::Key_T);
    }
    EXPECT_NEAR(Bpm(), 150, 8);
    EXPECT_EQ(form->Undo().Stack().count(), 2);   // Find Beats, and the taps
    form->Undo().Stack().undo();
    EXPECT_EQ(Track()->Items(), found);
}

TEST_F(Form1Beats, SnapToBeatsPutsAMarkOnTheNearestBeatOrHalfBeat) {
    form->MnuSnapToBeats->setChecked(true);
    QAbstractButton* step = form->MMControl1->Button(QStringLiteral("Step"));
    for (int i = 0; i < 40; ++i) QTest::mouseClick(step, Qt::LeftButton);   // 1.333 s at 30 fps
    // M is Add Mark's shortcut, which answers only in the active window.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->PicWave->setFocus();
    QTest::keyClick(form->PicWave, Qt::Key_M);
    ASSERT_EQ(form->Document().Marks().size(), 1u);
    const int64_t mark = form->Document().Marks()[0].start;
    const std::vector<TrackItem>& beats = Track()->Items();
    bool onGrid = false;
    for (std::size_t i = 0; i + 1 < beats.size(); ++i)
        onGrid = onGrid || mark == beats[i].start || mark == beats[i].start + (beats[i + 1].start - beats[i].start) / 2;
    EXPECT_TRUE(onGrid) << mark;
    EXPECT_LT(std::llabs(mark - 58800), 44100 / 4 + 1);   // within a half-beat of where it was set
    form->MnuSnapToBeats->setChecked(false);
}

TEST_F(Form1Beats, BarSheetAndCsvAreWrittenThroughExportMarksAtTheRateInForce) {
    // Filter 6 is the first of the beats' formats, after the marks' five.
    const std::string sheet = ExportTo("loop.bars.txt", 6);
    ASSERT_EQ(sheet.rfind("Bar\tBeat\tFrame\n", 0), 0u);
    const BeatAnalysis beats = form->BeatWork().Beats();
    // A line a frame of the sound, counted from 1.
    EXPECT_NEAR(static_cast<double>(std::count(sheet.begin(), sheet.end(), '\n')),
                1.0 + static_cast<double>(form->Document().Info().frames) * 30 / 44100, 1.0);
    form->TxtNumFrames->setText(QStringLiteral("29.97"));
    const std::string csv = ExportTo("loop.beats.csv", 7);
    ASSERT_EQ(csv.rfind("Bar,Beat,Frame (30000/1001 fps),Seconds,Timecode\r\n", 0), 0u);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + static_cast<long>(beats.beats.size()));
    // With no beats, the beats' formats say so and write nothing.
    form->Undo().Stack().undo();
    ExportTo("none.beats.json", 8);
    EXPECT_FALSE(std::filesystem::exists(dir.File("none.beats.json")));
    EXPECT_NE(fake.messages.texts.back().find("no beats to export"), std::string::npos);
}

} // namespace
} // namespace zv
