// The dialogue breakdown in the shown window, on a line espeak-ng speaks:
// Align refuses an empty text, then writes words, phonemes and mouths as
// one undoable step; the Words lane's edges and words are dragged with the
// mouse (on the frame grid, free with Shift), edited by double-click and
// undone; the breakdown goes out through Export Marks and a .pgo comes
// back in, a damaged one refused with its line.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <memory>

#include "FakePlatform.h"
#include "FormDriver.h"
#include "TestSounds.h"
#include "common/FrameTime.h"
#include "dialogue/EspeakVoice.h"
#include "document/SoundDocument.h"
#include "playback/system/SilentDevice.h"
#include "window/DialogueActions.h"
#include "window/DialoguePanel.h"
#include "window/Form1.h"
#include "window/PictureBox.h"
#include "window/Slider.h"
#include "window/TrackUndo.h"
#include "window/WaveformInteraction.h"

namespace zv {
namespace {

constexpr int32_t kRate = 22050;
// Filters of Export Marks: the five marks' formats, the four beats', then the dialogue's.
constexpr int kMohoFilter = 10;
constexpr int kPgoFilter = 11;

struct Form1Dialogue : ::testing::Test {
    test::FakePlatformWith<std::unique_ptr<SilentDevice>> fake;
    std::unique_ptr<Form1> form;
    test::TempDir dir;
    std::string sound = dir.File("line.wav");

    void SetUp() override {
        form = std::make_unique<Form1>(fake.platform);
        ASSERT_TRUE(test::ShowWithClientWidth(*form, form->centralWidget()->width()));
        std::string error;
        const auto speech = SpeakWithEspeak("Hello there, my name is Zorvane.", "en-us", 160, error);
        ASSERT_TRUE(speech) << error;
        std::vector<float> mono(kRate / 2, 0.0f);
        for (int16_t s : speech->samples) mono.push_back(static_cast<float>(s) / 32768.0f);
        mono.resize(mono.size() + kRate / 2, 0.0f);
        test::WriteWav(sound, speech->sampleRate, 1, mono);
        fake.fileDialog.answer = sound;
        form->MnuOpen->trigger();
        ASSERT_GT(form->MMControl1->Length(), 2000);
    }
    const Track* Find(const char* name) const { return form->Document().Find(name); }
    std::vector<TrackItem> Items(const char* name) const {
        const Track* t = Find(name);
        return t ? t->Items() : std::vector<TrackItem>{};
    }
    // Two words of known place, each with two phonemes.
    void PlaceWords() {
        form->Undo().Change({{SoundDocument::kWords, {{11025, 22050, "one", ""}, {33075, 44100, "two", ""}}},
                             {SoundDocument::kPhonemes,
                              {{11025, 16000, "W", ""}, {16000, 22050, "AH", ""},
                               {33075, 38000, "T", ""}, {38000, 44100, "UW", ""}}}},
                            QStringLiteral("Place"));
    }
    // The Words lane's middle row, in the box's pixels.
    double WordsLaneY() const {
        const WaveformInteraction& waveform = form->Waveform();
        const auto words = waveform.CharacterLanes().AreaOf(waveform.CharacterLanesArea(), 1,
                                                            CharacterLanesLayer::Row::Words);
        return words ? words->top + words->height / 2 : -1;
    }
    double X(int64_t sample) const { return form->Waveform().View().PixelOf(sample); }
    void Mouse(QEvent::Type type, double x, double y, Qt::MouseButtons held, Qt::KeyboardModifiers keys = {}) {
        QMouseEvent event(type, QPointF(x, y), form->PicWave->mapToGlobal(QPointF(x, y)), Qt::LeftButton, held, keys);
        QApplication::sendEvent(form->PicWave, &event);
    }
    void Drag(double fromX, double toX, double y, Qt::KeyboardModifiers keys = {}) {
        Mouse(QEvent::MouseButtonPress, fromX, y, Qt::LeftButton, keys);
        Mouse(QEvent::MouseMove, (fromX + toX) / 2, y, Qt::LeftButton, keys);
        Mouse(QEvent::MouseMove, toX, y, Qt::LeftButton, keys);
        Mouse(QEvent::MouseButtonRelease, toX, y, Qt::NoButton, keys);
    }
    std::string ExportTo(const std::string& name, int filter) {
        fake.fileDialog.saveAnswer = FileDialog::SaveChoice{dir.File(name), filter};
        form->MnuExportMarks->trigger();
        return test::ReadText(dir.File(name));
    }
};

TEST_F(Form1Dialogue, AlignRefusesAnEmptyTextThenIsOneUndoableStep) {
    DialogueActions& dialogue = form->Dialogue();
    dialogue.Panel().text->setPlainText(QStringLiteral("  \n "));
    dialogue.AlignNow();
    ASSERT_FALSE(fake.messages.texts.empty());
    EXPECT_NE(fake.messages.texts.back().find("the text is empty"), std::string::npos);
    EXPECT_EQ(Find(SoundDocument::kWords), nullptr);

    dialogue.Panel().text->setPlainText(QStringLiteral("Hello there, my name is Zorvane."));
    dialogue.AlignNow();
    QTRY_VERIFY_WITH_TIMEOUT(!dialogue.Running() && !Items(SoundDocument::kWords).empty(), 30000);
    const std::vector<TrackItem> words = Items(SoundDocument::kWords);
    ASSERT_EQ(words.size(), 6u);
    EXPECT_EQ(words.front().text, "Hello");   // as typed
    EXPECT_EQ(words.back().text, "Zorvane");
    // The line starts after the half second of silence.
    EXPECT_NEAR(static_cast<double>(words.front().start) / kRate, 0.5, 0.1);
    EXPECT_FALSE(Items(SoundDocument::kPhonemes).empty());
    EXPECT_FALSE(Items(SoundDocument::kMouths).empty());

    // One step takes all three tracks back, and brings them again.
    form->Undo().Stack().undo();
    EXPECT_TRUE(Items(SoundDocument::kWords).empty());
    EXPECT_TRUE(Items(SoundDocument::kPhonemes).empty());
    EXPECT_TRUE(Items(SoundDocument::kMouths).empty());
    form->Undo().Stack().redo();
    EXPECT_EQ(Items(SoundDocument::kWords), words);

    // A mouth rule changed lays the mouths again, as a step of its own.
    const std::vector<TrackItem> mouths = Items(SoundDocument::kMouths);
    dialogue.Panel().holdFast->setValue(4);
    EXPECT_NE(Items(SoundDocument::kMouths), mouths);
    form->Undo().Stack().undo();
    EXPECT_EQ(Items(SoundDocument::kMouths), mouths);
    dialogue.Panel().holdFast->setValue(2);

    // Align Selected Words: only the words inside the selection move.
    const FrameRate rate = form->FrameRateNow();
    const auto frameOf = [&](int64_t sample) { return static_cast<int32_t>(FrameOfSample(sample, rate, kRate)); };
    form->ScrollStart->SetValue(frameOf(words[2].start));
    form->ScrollStart_Scroll();
    form->ScrollEnd->SetValue(frameOf(words[3].end) + 1);
    form->ScrollEnd_Scroll();
    dialogue.AlignSelectedNow();
    QTRY_VERIFY_WITH_TIMEOUT(!dialogue.Running(), 30000);
    const std::vector<TrackItem> again = Items(SoundDocument::kWords);
    ASSERT_EQ(again.size(), words.size());
    for (std::size_t i : {0u, 1u, 4u, 5u}) EXPECT_EQ(again[i], words[i]);
    EXPECT_EQ(again[2].text, "my");
    EXPECT_GE(again[2].start, words[1].end);
    EXPECT_LE(again[3].end, words[4].start);

    // Moho switch data at ascending frames from 1, Preston Blair's shapes.
    const std::string dat = ExportTo("line.dat", kMohoFilter);
    ASSERT_EQ(dat.rfind("MohoSwitch1\n", 0), 0u);
    int last = 0;
    std::istringstream lines(dat.substr(12));
    for (std::string line; std::getline(lines, line);) {
        const int frame = std::stoi(line);
        EXPECT_GT(frame, last);
        last = frame;
    }
    EXPECT_GE(last, 1);
}

TEST_F(Form1Dialogue, DraggedEdgesLandOnFramesOrFreeWithShiftAndAreUndone) {
    PlaceWords();
    const double y = WordsLaneY();
    ASSERT_GT(y, 0);
    const std::vector<TrackItem> placed = Items(SoundDocument::kWords);
    const FrameRate rate = form->FrameRateNow();

    // The first word's start, dragged right: on a frame boundary, the
    // phonemes stretched inside it, one step.
    Drag(X(11025), X(11025) + 23, y);
    const TrackItem moved = Items(SoundDocument::kWords)[0];
    EXPECT_GT(moved.start, 11025);
    EXPECT_EQ(moved.start, FrameStartSample(FrameOfSample(moved.start, rate, kRate), rate, kRate));
    EXPECT_EQ(Items(SoundDocument::kPhonemes)[0].start, moved.start);
    EXPECT_EQ(moved.end, 22050);
    form->Undo().Stack().undo();
    EXPECT_EQ(Items(SoundDocument::kWords), placed);

    // With Shift: exactly as far as the pointer went.
    const int64_t pointer = form->Waveform().View().FrameAt(X(11025) + 23) - form->Waveform().View().FrameAt(X(11025));
    Drag(X(11025), X(11025) + 23, y, Qt::ShiftModifier);
    EXPECT_EQ(Items(SoundDocument::kWords)[0].start, 11025 + pointer);
    form->Undo().Stack().undo();

    // The second word's middle, dragged far left: it stops at the first.
    Drag(X(38000), X(0) + 1, y);
    const std::vector<TrackItem> after = Items(SoundDocument::kWords);
    EXPECT_EQ(after[1].start, 22050);
    EXPECT_EQ(after[1].end - after[1].start, 44100 - 33075);
    EXPECT_EQ(Items(SoundDocument::kPhonemes)[2].start, 22050);
    form->Undo().Stack().undo();
    EXPECT_EQ(Items(SoundDocument::kWords), placed);

    // A double-click edits the word's text.
    fake.messages.typed = {"three"};
    Mouse(QEvent::MouseButtonDblClick, X(38000), y, Qt::LeftButton);
    EXPECT_EQ(Items(SoundDocument::kWords)[1].text, "three");
    form->Undo().Stack().undo();
    EXPECT_EQ(Items(SoundDocument::kWords), placed);
}

TEST_F(Form1Dialogue, PapagayoGoesOutAndComesBackADamagedOneIsRefusedWithItsLine) {
    PlaceWords();
    const std::string pgo = ExportTo("line.pgo", kPgoFilter);
    ASSERT_EQ(pgo.rfind("lipsync version 1", 0), 0u) << pgo;
    const std::vector<TrackItem> placed = Items(SoundDocument::kWords);
    form->Undo().Stack().undo();
    ASSERT_TRUE(Items(SoundDocument::kWords).empty());

    fake.fileDialog.answer = dir.File("line.pgo");
    form->MnuImportBreakdown->trigger();
    const std::vector<TrackItem> back = Items(SoundDocument::kWords);
    ASSERT_EQ(back.size(), placed.size());
    for (std::size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].text, placed[i].text);
        // Whole frames of 30 fps (735 samples) either way.
        EXPECT_NEAR(static_cast<double>(back[i].start), static_cast<double>(placed[i].start), 735);
    }
    EXPECT_FALSE(Items(SoundDocument::kMouths).empty());

    std::string damaged = pgo;
    damaged.replace(damaged.find('\n', damaged.find('\n') + 1) + 1, 0, "not a number\n");
    test::WriteText(dir.File("bad.pgo"), damaged);
    fake.fileDialog.answer = dir.File("bad.pgo");
    form->MnuImportBreakdown->trigger();
    ASSERT_FALSE(fake.messages.texts.empty());
    EXPECT_NE(fake.messages.texts.back().find("line "), std::string::npos) << fake.messages.texts.back();
    EXPECT_EQ(Items(SoundDocument::kWords), back);
}

} // namespace
} // namespace zv
