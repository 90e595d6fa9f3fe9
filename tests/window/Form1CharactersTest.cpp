// Several characters in the shown window: Analyze > Characters adds,
// renames, recolours and deletes characters, each one undo step, refusing
// an empty or taken name with a message; each character's lanes lie under
// the waveform, a click on its tag collapses them, and a lane's edit
// changes that character's own tracks; a word or its line moves to another
// character with its phonemes, the mouths of both laid again, in one step;
// a character given its own mouth set keeps it through a breakdown and the
// exports, the others following the panel's; Align Line places the script
// line under the text cursor alone in the selection; Move Line follows the
// script line the words came from.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTest>
#include <nlohmann/json.hpp>
#include <cmath>
#include <memory>

#include "FakePlatform.h"
#include "FormDriver.h"
#include "TestSounds.h"
#include "common/FrameTime.h"
#include "dialogue/CharacterList.h"
#include "document/SoundDocument.h"
#include "playback/system/SilentDevice.h"
#include "dialogue/MouthSet.h"
#include "dialogue/WordKind.h"
#include "export/DialogueJsonWriter.h"
#include "export/ExportInput.h"
#include "export/PapagayoWriter.h"
#include "window/CharacterActions.h"
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
using Row = CharacterLanesLayer::Row;

struct Form1Characters : ::testing::Test {
    test::FakePlatformWith<std::unique_ptr<SilentDevice>> fake;
    std::unique_ptr<Form1> form;
    test::TempDir dir;

    void SetUp() override {
        form = std::make_unique<Form1>(fake.platform);
        ASSERT_TRUE(test::ShowWithClientWidth(*form, form->centralWidget()->width()));
        std::vector<float> tone(kRate * 4);
        for (std::size_t i = 0; i < tone.size(); ++i) tone[i] = 0.3f * static_cast<float>(std::sin(static_cast<double>(i) * 0.05));
        const std::string sound = dir.File("two.wav");
        test::WriteWav(sound, kRate, 1, tone);
        fake.fileDialog.answer = sound;
        form->MnuOpen->trigger();
        ASSERT_TRUE(form->Document().HasSound());
    }
    CharacterActions& Chars() { return form->Characters(); }
    CharacterList List() const { return CharacterList::Of(form->Document()); }
    std::vector<TrackItem> Items(const std::string& name) const {
        const Track* t = form->Document().Find(name);
        return t ? t->Items() : std::vector<TrackItem>{};
    }
    int Steps() { return form->Undo().Stack().count(); }
    // Ann says "one two" (0.5-1.5 s), Bob "three" (2.5-3 s); each word two phonemes.
    void AnnAndBob() {
        fake.messages.typed = {"Ann", "Bob"};
        Chars().AskAdd();
        Chars().AskAdd();
        form->Undo().Change({{CharacterList::WordsTrack(1), {{11025, 22050, "one", ""}, {22100, 33075, "two", ""}}},
                             {CharacterList::PhonemesTrack(1),
                              {{11025, 16000, "W", ""}, {16000, 22050, "AH", ""},
                               {22100, 28000, "T", ""}, {28000, 33075, "UW", ""}}},
                             {CharacterList::WordsTrack(2), {{55125, 66150, "three", ""}}},
                             {CharacterList::PhonemesTrack(2), {{55125, 60000, "TH", ""}, {60000, 66150, "IY", ""}}}},
                            QStringLiteral("Place"));
    }
    // Selects from the frame holding `from` to the one holding `to` (samples).
    void Select(int64_t from, int64_t to) {
        const FrameRate rate = form->FrameRateNow();
        form->ScrollStart->SetValue(static_cast<int32_t>(FrameOfSample(from, rate, kRate)));
        form->ScrollStart_Scroll();
        form->ScrollEnd->SetValue(static_cast<int32_t>(FrameOfSample(to, rate, kRate)));
        form->ScrollEnd_Scroll();
    }
    QAction* Entry(QMenu& menu, const QString& text) {
        for (QAction* a : menu.actions())
            if (a->text() == text) return a;
        return nullptr;
    }
    std::optional<LayerArea> RowArea(int character, Row row) {
        WaveformInteraction& w = form->Waveform();
        return w.CharacterLanes().AreaOf(w.CharacterLanesArea(), character, row);
    }
    double X(int64_t sample) const { return form->Waveform().View().PixelOf(sample); }
    void Mouse(QEvent::Type type, double x, double y, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(x, y), form->PicWave->mapToGlobal(QPointF(x, y)), Qt::LeftButton, held,
                          Qt::NoModifier);
        QApplication::sendEvent(form->PicWave, &event);
    }
};

TEST_F(Form1Characters, TheMenuAddsRenamesRecoloursAndDeletesEachOneStep) {
    QMenu* menu = Chars().Menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isEnabled());
    QAction* add = Entry(*menu, QStringLiteral("Add Character..."));
    ASSERT_NE(add, nullptr);

    // All spaces: told, nothing changed.
    const int before = Steps();
    fake.messages.typed = {"   "};
    add->trigger();
    ASSERT_FALSE(fake.messages.texts.empty());
    EXPECT_NE(fake.messages.texts.back().find("cannot be empty"), std::string::npos);
    EXPECT_EQ(Steps(), before);
    EXPECT_TRUE(List().IsSingleUnnamed());

    // The first name names the one speaker (who keeps the plain tracks).
    fake.messages.typed = {"  Ann "};
    add->trigger();
    ASSERT_EQ(List().size(), 1u);
    EXPECT_EQ(List().Find(1)->name, "Ann");
    fake.messages.typed = {"Bob"};
    add->trigger();
    ASSERT_EQ(List().size(), 2u);
    EXPECT_EQ(List().Find(2)->name, "Bob");
    EXPECT_EQ(Steps(), before + 2);

    // The menu lists both, each with Rename..., Colour..., Delete.
    Chars().FillCharactersMenu();
    QAction* bobEntry = Entry(*menu, QStringLiteral("Bob"));
    ASSERT_NE(bobEntry, nullptr);
    ASSERT_NE(bobEntry->menu(), nullptr);
    QMenu& bob = *bobEntry->menu();

    // A taken name and an empty one: told, unchanged.
    fake.messages.typed = {"Ann"};
    Entry(bob, QStringLiteral("Rename..."))->trigger();
    EXPECT_NE(fake.messages.texts.back().find("already a character called Ann"), std::string::npos);
    fake.messages.typed = {""};
    Entry(bob, QStringLiteral("Rename..."))->trigger();
    EXPECT_NE(fake.messages.texts.back().find("cannot be empty"), std::string::npos);
    EXPECT_EQ(List().Find(2)->name, "Bob");
    EXPECT_EQ(Steps(), before + 2);
    fake.messages.typed = {"Robert"};
    Entry(bob, QStringLiteral("Rename..."))->trigger();
    EXPECT_EQ(List().Find(2)->name, "Robert");
    form->Undo().Stack().undo();
    EXPECT_EQ(List().Find(2)->name, "Bob");

    // Colour: the dialog's choice, one step; cancelled: nothing.
    const uint32_t was = List().Find(2)->colour;
    Chars().SetColourChooser([](uint32_t, const std::string&) { return std::optional<uint32_t>(0x123456); });
    Entry(bob, QStringLiteral("Colour..."))->trigger();
    EXPECT_EQ(List().Find(2)->colour, 0x123456u);
    form->Undo().Stack().undo();
    EXPECT_EQ(List().Find(2)->colour, was);
    Chars().SetColourChooser([](uint32_t, const std::string&) { return std::optional<uint32_t>(); });
    const int steps = Steps();
    Entry(bob, QStringLiteral("Colour..."))->trigger();
    EXPECT_EQ(Steps(), steps);
}

TEST_F(Form1Characters, DeletingACharacterClearsItsTracksAndOneUndoBringsAllBack) {
    AnnAndBob();
    const std::vector<TrackItem> bobWords = Items(CharacterList::WordsTrack(2));
    ASSERT_FALSE(bobWords.empty());
    EXPECT_TRUE(Chars().Delete(2));
    EXPECT_EQ(List().size(), 1u);
    EXPECT_TRUE(Items(CharacterList::WordsTrack(2)).empty());
    EXPECT_TRUE(Items(CharacterList::PhonemesTrack(2)).empty());
    EXPECT_FALSE(RowArea(2, Row::Tag));
    form->Undo().Stack().undo();
    EXPECT_EQ(List().size(), 2u);
    EXPECT_EQ(Items(CharacterList::WordsTrack(2)), bobWords);
    EXPECT_EQ(Items(CharacterList::PhonemesTrack(2)).size(), 2u);

    // The last one left is not deleted.
    EXPECT_TRUE(Chars().Delete(2));
    EXPECT_FALSE(Chars().Delete(1));
    EXPECT_NE(fake.messages.texts.back().find("last character"), std::string::npos);
    EXPECT_EQ(List().size(), 1u);
}

TEST_F(Form1Characters, EachCharacterHasLanesATagThatCollapsesAndEditsOfItsOwn) {
    // One unnamed speaker: the plain lanes, no tag.
    form->Undo().Change(SoundDocument::kWords, {{11025, 22050, "one", ""}}, QStringLiteral("Place"));
    EXPECT_FALSE(RowArea(1, Row::Tag));
    ASSERT_TRUE(RowArea(1, Row::Words));
    EXPECT_EQ(form->Waveform().CharacterLanes().LaneHeight(), CharacterLanesLayer::kLaneHeight);
    form->Undo().Stack().undo();

    AnnAndBob();
    const auto annWords = RowArea(1, Row::Words);
    auto bobWords = RowArea(2, Row::Words);
    auto bobTag = RowArea(2, Row::Tag);
    ASSERT_TRUE(annWords && bobWords && bobTag);
    EXPECT_LT(annWords->top, bobTag->top);
    EXPECT_LT(bobTag->top, bobWords->top);

    // A double-click on Bob's word edits Bob's track, Ann's stays.
    const std::vector<TrackItem> ann = Items(CharacterList::WordsTrack(1));
    fake.messages.typed = {"four"};
    double y = bobWords->top + bobWords->height / 2;
    Mouse(QEvent::MouseButtonDblClick, X(60000), y, Qt::LeftButton);
    EXPECT_EQ(Items(CharacterList::WordsTrack(2))[0].text, "four");
    EXPECT_EQ(Items(CharacterList::WordsTrack(1)), ann);
    // Bob's mouths came with the edit: the lanes grew upwards, from the box's bottom.
    const auto grown = RowArea(2, Row::Words);
    ASSERT_TRUE(grown && RowArea(2, Row::Mouths));
    EXPECT_LT(grown->top, bobWords->top);
    y = grown->top + grown->height / 2;
    // Dragging Bob's word along moves it and his phonemes, not Ann's.
    Mouse(QEvent::MouseButtonPress, X(60000), y, Qt::LeftButton);
    Mouse(QEvent::MouseMove, X(60000) + 10, y, Qt::LeftButton);
    Mouse(QEvent::MouseMove, X(60000) + 20, y, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, X(60000) + 20, y, Qt::NoButton);
    EXPECT_GT(Items(CharacterList::WordsTrack(2))[0].start, 55125);
    EXPECT_EQ(Items(CharacterList::PhonemesTrack(2))[0].start, Items(CharacterList::WordsTrack(2))[0].start);
    EXPECT_EQ(Items(CharacterList::WordsTrack(1)), ann);
    EXPECT_FALSE(Items(CharacterList::MouthsTrack(2)).empty());

    // A click on Bob's tag folds his lanes away and another opens them.
    const int open = form->Waveform().CharacterLanes().LaneHeight();
    bobTag = RowArea(2, Row::Tag);
    ASSERT_TRUE(bobTag);
    Mouse(QEvent::MouseButtonPress, 5, bobTag->top + 3, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, 5, bobTag->top + 3, Qt::NoButton);
    EXPECT_FALSE(RowArea(2, Row::Words));
    EXPECT_LT(form->Waveform().CharacterLanes().LaneHeight(), open);
    EXPECT_TRUE(RowArea(1, Row::Words));
    const auto folded = RowArea(2, Row::Tag);
    ASSERT_TRUE(folded);
    Mouse(QEvent::MouseButtonPress, 5, folded->top + 3, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, 5, folded->top + 3, Qt::NoButton);
    EXPECT_TRUE(RowArea(2, Row::Words));
    EXPECT_EQ(form->Waveform().CharacterLanes().LaneHeight(), open);
}

TEST_F(Form1Characters, AWordOrItsLineMovesToAnotherCharacterInOneStep) {
    AnnAndBob();
    const std::vector<TrackItem> annWords = Items(CharacterList::WordsTrack(1));
    const std::vector<TrackItem> bobWords = Items(CharacterList::WordsTrack(2));

    // Move Word to > Bob, from the word's right-click menu.
    QMenu menu;
    Chars().FillWordMenu(menu, 1, 1);
    QAction* wordTo = Entry(menu, QStringLiteral("Move Word to"));
    ASSERT_TRUE(wordTo && wordTo->menu());
    QAction* toBob = Entry(*wordTo->menu(), QStringLiteral("Bob"));
    ASSERT_NE(toBob, nullptr);
    EXPECT_EQ(Entry(*wordTo->menu(), QStringLiteral("Ann")), nullptr);   // not to herself
    const int steps = Steps();
    toBob->trigger();
    EXPECT_EQ(Steps(), steps + 1);
    ASSERT_EQ(Items(CharacterList::WordsTrack(1)).size(), 1u);
    ASSERT_EQ(Items(CharacterList::WordsTrack(2)).size(), 2u);
    EXPECT_EQ(Items(CharacterList::WordsTrack(2))[0], annWords[1]);
    EXPECT_EQ(Items(CharacterList::PhonemesTrack(2)).size(), 4u);
    EXPECT_EQ(Items(CharacterList::PhonemesTrack(1)).size(), 2u);
    // Both characters' mouths follow their phonemes.
    EXPECT_FALSE(Items(CharacterList::MouthsTrack(1)).empty());
    EXPECT_FALSE(Items(CharacterList::MouthsTrack(2)).empty());
    form->Undo().Stack().undo();
    EXPECT_EQ(Items(CharacterList::WordsTrack(1)), annWords);
    EXPECT_EQ(Items(CharacterList::WordsTrack(2)), bobWords);
    EXPECT_EQ(Items(CharacterList::PhonemesTrack(1)).size(), 4u);

    // Move Line: "one two" go together; Ann has no words, phonemes or mouths left.
    EXPECT_TRUE(Chars().MoveLine(1, 0, 2));
    EXPECT_TRUE(Items(CharacterList::WordsTrack(1)).empty());
    EXPECT_TRUE(Items(CharacterList::PhonemesTrack(1)).empty());
    EXPECT_TRUE(Items(CharacterList::MouthsTrack(1)).empty());
    EXPECT_EQ(Items(CharacterList::WordsTrack(2)).size(), 3u);
    form->Undo().Stack().undo();
    EXPECT_EQ(Items(CharacterList::WordsTrack(1)), annWords);

    // Onto a word Bob already says: told, nothing moved.
    form->Undo().Change(CharacterList::WordsTrack(2), {{20000, 30000, "over", ""}}, QStringLiteral("Place"));
    const int now = Steps();
    EXPECT_FALSE(Chars().MoveWord(1, 0, 2));
    EXPECT_NE(fake.messages.texts.back().find("Bob already speaks"), std::string::npos);
    EXPECT_EQ(Steps(), now);
    EXPECT_EQ(Items(CharacterList::WordsTrack(1)), annWords);
    form->Undo().Stack().undo();

    // Words that know their script lines: "one" and "two" are two lines,
    // however close, so Move Line takes "one" alone; "two" stays with Ann.
    std::vector<TrackItem> lines = annWords;
    lines[0].kind = WordKind::Of(false, lines[0].start);
    lines[1].kind = WordKind::Of(false, lines[1].start);
    form->Undo().Change(CharacterList::WordsTrack(1), lines, QStringLiteral("Place"));
    EXPECT_TRUE(Chars().MoveLine(1, 0, 2));
    ASSERT_EQ(Items(CharacterList::WordsTrack(1)).size(), 1u);
    EXPECT_EQ(Items(CharacterList::WordsTrack(1))[0].text, "two");
    EXPECT_EQ(Items(CharacterList::WordsTrack(2))[0], lines[0]);   // its line goes with it
}

TEST_F(Form1Characters, AlignLinePlacesTheLineUnderTheCursorAloneInTheSelection) {
    AnnAndBob();   // Ann: "one two" (0.5-1.5 s); Bob: "three" (2.5-3 s)
    const std::vector<TrackItem> ann = Items(CharacterList::WordsTrack(1));
    const std::vector<TrackItem> bob = Items(CharacterList::WordsTrack(2));
    DialogueActions& dialogue = form->Dialogue();
    QPlainTextEdit& text = *dialogue.Panel().text;
    text.setPlainText(QStringLiteral("Ann: one two\nBob: three\n\n  : nobody\nfour five"));
    const auto cursorOn = [&](int line) { text.setTextCursor(QTextCursor(text.document()->findBlockByNumber(line - 1))); };
    const auto last = [&] { return fake.messages.texts.empty() ? std::string() : fake.messages.texts.back(); };
    const auto told = [&](const char* what) { return last().find(what) != std::string::npos; };
    const int steps = Steps();

    // Nothing chosen (the whole sound selected, as after opening), an empty
    // line, a colon with no name: told, nothing aligned.
    cursorOn(5);
    ASSERT_TRUE(dialogue.Panel().alignLine->isEnabled());
    dialogue.Panel().alignLine->click();
    EXPECT_TRUE(told("Select where the line is said")) << last();
    Select(3 * kRate + kRate / 4, 4 * kRate - 1);
    cursorOn(3);
    dialogue.Panel().alignLine->click();
    EXPECT_TRUE(told("Line 3 of the dialogue has no words")) << last();
    cursorOn(4);
    dialogue.alignLine->trigger();
    EXPECT_TRUE(told("Line 4 has a colon with no name")) << last();
    EXPECT_FALSE(dialogue.Running());
    EXPECT_EQ(Steps(), steps);

    // Line 5 continues Bob: his words inside the selection are the line's,
    // the one before it kept, Ann untouched, one step.
    cursorOn(5);
    dialogue.alignLine->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!dialogue.Running() && Items(CharacterList::WordsTrack(2)).size() == 3u, 60000);
    const std::vector<TrackItem> words = Items(CharacterList::WordsTrack(2));
    EXPECT_EQ(words[0], bob[0]);
    EXPECT_EQ(words[1].text, "four");
    EXPECT_EQ(words[2].text, "five");
    EXPECT_GE(words[1].start, 3 * kRate);
    EXPECT_LE(words[2].end, 4 * kRate);
    EXPECT_EQ(Items(CharacterList::WordsTrack(1)), ann);
    EXPECT_FALSE(Items(CharacterList::MouthsTrack(2)).empty());
    EXPECT_EQ(List().size(), 2u);
    EXPECT_EQ(Steps(), steps + 1);
    EXPECT_EQ(form->Undo().Stack().undoText(), QStringLiteral("Align Line"));
    form->Undo().Stack().undo();
    EXPECT_EQ(Items(CharacterList::WordsTrack(2)), bob);
}

// True when every item of `mouths` is a shape of `set`.
bool AllOf(const std::vector<TrackItem>& mouths, const MouthSet& set) {
    const std::vector<std::string> shapes = set.Shapes();
    for (const TrackItem& m : mouths)
        if (std::find(shapes.begin(), shapes.end(), m.text) == shapes.end()) return false;
    return true;
}

TEST_F(Form1Characters, ACharactersOwnMouthSetLaysItsMouthsThroughABreakdownAndTheExports) {
    fake.messages.typed = {"Ann", "Bob"};
    Chars().AskAdd();
    Chars().AskAdd();
    const MouthSet nine = MouthSet::NineShapes();
    const MouthSet blair = MouthSet::PrestonBlair();
    ASSERT_EQ(form->Dialogue().CurrentSet().Name(), blair.Name());   // the panel's set

    // Ann's submenu: Mouth Set... offers the panel's set first, then the sets offered.
    Chars().FillCharactersMenu();
    QAction* annEntry = Entry(*Chars().Menu(), QStringLiteral("Ann"));
    ASSERT_TRUE(annEntry && annEntry->menu());
    QAction* mouthSet = Entry(*annEntry->menu(), QStringLiteral("Mouth Set..."));
    ASSERT_NE(mouthSet, nullptr);
    std::vector<std::string> offered;
    Chars().SetItemChooser([&](const std::vector<std::string>& choices, int initial, const std::string&) {
        offered = choices;
        EXPECT_EQ(initial, 0);
        const auto at = std::find(choices.begin(), choices.end(), nine.Name());
        return at == choices.end() ? std::optional<int>() : std::optional<int>(static_cast<int>(at - choices.begin()));
    });
    const int steps = Steps();
    mouthSet->trigger();
    ASSERT_GE(offered.size(), 3u);
    EXPECT_EQ(offered[0], CharacterActions::kPanelsSet);
    EXPECT_EQ(List().Find(1)->mouthSet, nine.Name());
    EXPECT_EQ(List().Find(2)->mouthSet, "");
    EXPECT_EQ(Steps(), steps + 1);
    // A set the panel does not offer: told, nothing changed.
    EXPECT_FALSE(Chars().SetMouthSet(2, "No Such Set"));
    EXPECT_NE(fake.messages.texts.back().find("No Such Set"), std::string::npos);
    EXPECT_EQ(List().Find(2)->mouthSet, "");
    EXPECT_EQ(Steps(), steps + 1);

    // One breakdown of both: each one's Mouths hold only their own set's shapes.
    DialogueActions& dialogue = form->Dialogue();
    dialogue.Panel().text->setPlainText(QStringLiteral("Ann: hello there\nBob: how are you"));
    dialogue.Panel().align->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dialogue.Running() && !Items(CharacterList::WordsTrack(2)).empty(), 60000);
    const std::vector<TrackItem> annMouths = Items(CharacterList::MouthsTrack(1));
    const std::vector<TrackItem> bobMouths = Items(CharacterList::MouthsTrack(2));
    ASSERT_FALSE(annMouths.empty());
    ASSERT_FALSE(bobMouths.empty());
    EXPECT_TRUE(AllOf(annMouths, nine));
    EXPECT_FALSE(AllOf(annMouths, blair));
    EXPECT_TRUE(AllOf(bobMouths, blair));
    EXPECT_FALSE(AllOf(bobMouths, nine));

    // A change of the panel's set lays Bob's mouths again with it, in one step; Ann keeps hers.
    dialogue.Panel().mouthSet->setCurrentIndex(dialogue.Panel().mouthSet->findText(QString::fromStdString(nine.Name())));
    EXPECT_TRUE(AllOf(Items(CharacterList::MouthsTrack(2)), nine));   // Bob follows the panel
    EXPECT_EQ(Items(CharacterList::MouthsTrack(1)), annMouths);
    form->Undo().Stack().undo();
    EXPECT_TRUE(AllOf(Items(CharacterList::MouthsTrack(2)), blair));
    dialogue.Panel().mouthSet->setCurrentIndex(dialogue.Panel().mouthSet->findText(QString::fromStdString(blair.Name())));

    // The JSON names each character's set, and its mouths come from it.
    ExportInput input;
    input.soundName = "two.wav";
    input.sampleRate = kRate;
    input.lengthSamples = kRate * 4;
    const DialogueJsonWriter json;
    const auto files = dialogue.ExportFiles(json, input);
    ASSERT_TRUE(files && files->size() == 1u);
    const nlohmann::json written = nlohmann::json::parse(files->front().content);
    ASSERT_TRUE(written.contains("characters"));
    ASSERT_EQ(written["characters"].size(), 2u);
    EXPECT_EQ(written["characters"][0]["name"], "Ann");
    EXPECT_EQ(written["characters"][0]["mouthSet"], nine.Name());
    EXPECT_EQ(written["characters"][1]["mouthSet"], blair.Name());
    std::vector<TrackItem> annWritten;
    for (const auto& m : written["characters"][0]["mouths"]) annWritten.push_back({0, 0, m["shape"].get<std::string>(), ""});
    EXPECT_FALSE(annWritten.empty());
    EXPECT_TRUE(AllOf(annWritten, nine));

    // Back to the panel's set: one step, her mouths laid again with it.
    EXPECT_TRUE(Chars().SetMouthSet(1, ""));
    EXPECT_TRUE(AllOf(Items(CharacterList::MouthsTrack(1)), blair));
    form->Undo().Stack().undo();
    EXPECT_EQ(List().Find(1)->mouthSet, nine.Name());
    EXPECT_EQ(Items(CharacterList::MouthsTrack(1)), annMouths);

    // The JSON read back gives Ann her own set again; Bob's is the panel's, so he follows it.
    EXPECT_TRUE(Chars().SetMouthSet(1, ""));
    const std::string saved = dir.File("two.json");
    test::WriteText(saved, files->front().content);
    fake.fileDialog.answer = saved;
    dialogue.ImportNow();
    EXPECT_EQ(List().Find(1)->mouthSet, nine.Name());
    EXPECT_EQ(List().Find(2)->mouthSet, "");
    EXPECT_TRUE(AllOf(Items(CharacterList::MouthsTrack(1)), nine));
}


TEST_F(Form1Characters, APapagayoDocumentOfTwoVoicesComesBackWithEachVoicesSet) {
    AnnAndBob();
    const MouthSet nine = MouthSet::NineShapes();
    ASSERT_TRUE(Chars().SetMouthSet(1, nine.Name()));   // Ann: A-H + X; Bob: the panel's Preston Blair
    ExportInput input;
    input.soundName = "two.wav";
    input.sampleRate = kRate;
    input.lengthSamples = kRate * 4;
    const PapagayoWriter pgo;
    DialogueActions& dialogue = form->Dialogue();
    // A change of the panel's set and back lays every character's mouths from its phonemes.
    const auto layAgain = [&] {
        dialogue.Panel().mouthSet->setCurrentIndex(dialogue.Panel().mouthSet->findText(QString::fromStdString(nine.Name())));
        dialogue.Panel().mouthSet->setCurrentIndex(0);
    };
    layAgain();
    const auto PgoNow = [&] {
        const auto files = dialogue.ExportFiles(pgo, input);
        return files && files->size() == 1u ? files->front().content : std::string();
    };
    const std::string written = PgoNow();
    ASSERT_NE(written.find("Ann"), std::string::npos);
    ASSERT_NE(written.find(" C\n"), std::string::npos) << written;    // an A-H shape of Ann's
    ASSERT_NE(written.find(" etc\n"), std::string::npos) << written;  // a Preston Blair shape of Bob's
    const std::string saved = dir.File("two.pgo");
    test::WriteText(saved, written);
    const std::vector<TrackItem> annMouths = Items(CharacterList::MouthsTrack(1));
    const std::vector<TrackItem> bobMouths = Items(CharacterList::MouthsTrack(2));

    // Into the characters it came from: each voice read with its character's set, so the same mouths come out.
    fake.fileDialog.answer = saved;
    dialogue.ImportNow();
    EXPECT_EQ(PgoNow(), written);
    EXPECT_EQ(List().Find(1)->mouthSet, nine.Name());
    EXPECT_EQ(List().Find(2)->mouthSet, "");

    // Into a sound with no characters yet: Ann's shapes fit A-H + X only, so she keeps that set.
    const std::string other = dir.File("other.wav");
    test::WriteWav(other, kRate, 1, std::vector<float>(kRate * 4, 0.1f));
    fake.fileDialog.answer = other;
    form->MnuOpen->trigger();
    ASSERT_TRUE(List().IsSingleUnnamed());
    fake.fileDialog.answer = saved;
    dialogue.ImportNow();
    ASSERT_EQ(List().size(), 2u);
    EXPECT_EQ(List().Find(1)->name, "Ann");
    EXPECT_EQ(List().Find(1)->mouthSet, nine.Name());
    EXPECT_EQ(List().Find(2)->mouthSet, "");
    EXPECT_EQ(PgoNow(), written);
    // One step undoes the whole import.
    form->Undo().Stack().undo();
    EXPECT_TRUE(List().IsSingleUnnamed());
    form->Undo().Stack().redo();
    // Laid again from the phonemes read, each character's mouths are the same shapes.
    layAgain();
    const auto shapes = [](const std::vector<TrackItem>& items) {
        std::vector<std::string> out;
        for (const TrackItem& i : items) out.push_back(i.text);
        return out;
    };
    EXPECT_EQ(shapes(Items(CharacterList::MouthsTrack(1))), shapes(annMouths));
    EXPECT_EQ(shapes(Items(CharacterList::MouthsTrack(2))), shapes(bobMouths));
}

} // namespace
} // namespace zv
