// Marks through the shown window: M at the frames reached with Step (at
// whole and NTSC rates, at 44.1 and 48 kHz), the export through the save
// dialog, the marks back on the next open and on a renamed sound through
// Import Marks..., an import that refuses a malformed label file, the marks
// list (edit, delete, go to), the offer to export marks that live only in
// memory at quit, and the marks drawn over the waveform but never into its
// picture.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "FakePlatform.h"
#include "FormDriver.h"
#include "ModalAnswer.h"
#include "TestSounds.h"
#include "export/ExportWriters.h"
#include "document/SoundDocument.h"
#include "marks/MarkKeeper.h"
#include "marks/MarksFile.h"
#include "playback/system/SilentDevice.h"
#include "playback/ui/MediaControl.h"
#include "window/Form1.h"
#include "waveview/layers/ViewColours.h"
#include "window/MarkTableModel.h"
#include "window/MarksActions.h"
#include "window/MarksWindow.h"
#include "window/PictureBox.h"
#include "window/QtFileDialog.h"

namespace zv {
namespace {

struct Form1Marks : ::testing::Test {
    test::FakePlatformWith<std::unique_ptr<SilentDevice>> fake;
    std::unique_ptr<Form1> form;
    test::TempDir dir;
    std::string sound = dir.File("voice.wav");

    void SetUp() override {
        form = std::make_unique<Form1>(fake.platform);
        ASSERT_TRUE(test::ShowWithClientWidth(*form, form->centralWidget()->width()));
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        test::WriteWav(sound, 44100, 1, test::Tone(44100, 88200, 440, 0.5));
        Open();
    }
    void Open() {
        fake.fileDialog.answer = sound;
        form->MnuOpen->trigger();
        ASSERT_EQ(form->MMControl1->Length(), 2000);
    }
    void Step(int times) {
        QAbstractButton* step = form->MMControl1->Button(QStringLiteral("Step"));
        for (int i = 0; i < times; ++i) QTest::mouseClick(step, Qt::LeftButton);
    }
    // M (or Shift+M) typed with the waveform focused.
    void TypeOnWaveform(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        form->PicWave->setFocus();
        QTest::keyClick(form->PicWave, key, modifiers);
    }
    std::string ExportTo(const std::string& name, int filter) {
        fake.fileDialog.saveAnswer = FileDialog::SaveChoice{dir.File(name), filter};
        QTest::keyClick(form->PicWave, Qt::Key_E, Qt::ControlModifier);
        return test::ReadText(dir.File(name));
    }
};

TEST_F(Form1Marks, MarksAtTheFramesHeardAreExportedKeptAndNotDisturbedByABadImport) {
    // The Right key belongs to the view's keys; the Step button is the same move.
    Step(10);
    TypeOnWaveform(Qt::Key_M);
    Step(15);
    TypeOnWaveform(Qt::Key_M);
    ASSERT_EQ(form->Marks().Marks().size(), 2u);

    const std::string csv = ExportTo("breakdown.csv", 2);   // the extension wins over the filter
    // The marks' formats first, the beats' after them.
    EXPECT_EQ(fake.fileDialog.saveFilter.rfind(ExportWriters::DialogFilter(ExportSubject::Marks) + "|", 0), 0u);
    EXPECT_NE(csv.find("\r\n10,10,0.333333,0.333333,,00:00:00:10,00:00:00:10\r\n"
                       "25,25,0.833333,0.833333,,00:00:00:25,00:00:00:25\r\n"),
              std::string::npos)
        << csv;
    const std::string labels = ExportTo("breakdown.txt", 1);
    EXPECT_EQ(labels, "0.333333\t0.333333\t\n0.833333\t0.833333\t\n");

    // The file beside the sound brings both back on the next open, at the
    // frames' first samples.
    Open();
    ASSERT_EQ(form->Document().Marks().size(), 2u);
    EXPECT_EQ(form->Document().Marks()[0].start, 14700);
    EXPECT_EQ(form->Document().Marks()[1].start, 36750);
    EXPECT_EQ(form->Document().Info().channels, 1);
    EXPECT_EQ(form->Document().Info().frames, 88200);
    EXPECT_GT(form->Document().Info().identity.inode, 0u);

    const std::string bad = dir.File("bad.txt");
    test::WriteText(bad, "1.0\t1.0\tfine\n2.0 2.0 spaces\n");
    fake.fileDialog.answer = bad;
    fake.messages.texts.clear();   // the silent device's one note about having no sound output
    form->MnuImportMarks->trigger();
    ASSERT_EQ(fake.messages.texts.size(), 1u);
    EXPECT_NE(fake.messages.texts[0].find("Line 2 of " + bad), std::string::npos) << fake.messages.texts[0];
    EXPECT_EQ(form->Marks().Marks().size(), 2u);

    // The sound renamed: no marks beside it until its old marks file is imported.
    const std::string renamed = dir.File("renamed.wav");
    std::filesystem::copy_file(sound, renamed);
    fake.fileDialog.answer = renamed;
    form->MnuOpen->trigger();
    EXPECT_TRUE(form->Document().Marks().empty());
    fake.fileDialog.answer = MarksFilePath(sound);
    form->MnuImportMarks->trigger();
    EXPECT_EQ(fake.fileDialog.filter, MarksActions::kImportFilter);
    ASSERT_EQ(form->Document().Marks().size(), 2u);
    EXPECT_EQ(form->Document().Marks()[1].start, 36750);
    EXPECT_NE(test::ReadText(MarksFilePath(renamed)).find("\"start\": 36750"), std::string::npos);
    form->MnuImportMarks->trigger();   // again: nothing doubled
    EXPECT_EQ(form->Document().Marks().size(), 2u);
}

// Marks that could not be saved beside the sound (its marks file is
// damaged) are offered for export when the window closes; Cancel keeps it open.
TEST_F(Form1Marks, MarksOnlyInMemoryAreOfferedForExportAtQuit) {
    test::WriteText(MarksFilePath(sound), "{ damaged");
    Open();
    Step(3);
    form->MnuAddMark->trigger();
    EXPECT_FALSE(form->Marks().Saved());
    fake.messages.answer = MarksActions::kCancelButton;
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(fake.messages.questions.size(), 1u);
    EXPECT_NE(fake.messages.questions[0].find("voice.wav"), std::string::npos) << fake.messages.questions[0];

    // A close that goes through ends the event loop: run one for it.
    const auto closeInLoop = [&] {
        bool closed = false;
        QObject timers;
        QTimer::singleShot(0, &timers, [&] { closed = form->close(); });
        QTimer::singleShot(10000, &timers, [] { QCoreApplication::exit(99); });
        EXPECT_EQ(QApplication::exec(), 0);
        return closed;
    };
    fake.messages.answer = MarksActions::kExportButton;
    fake.fileDialog.saveAnswer = FileDialog::SaveChoice{dir.File("kept.dat"), 3};
    EXPECT_TRUE(closeInLoop());
    EXPECT_EQ(test::ReadText(dir.File("kept.dat")), "MohoSwitch1\n4 \n");
    EXPECT_EQ(test::ReadText(MarksFilePath(sound)), "{ damaged");
    // Exported and unchanged since: not asked again.
    form->show();
    EXPECT_TRUE(closeInLoop());
    EXPECT_EQ(fake.messages.questions.size(), 2u);
}

// A mark made after Step lands on the stepped frame, in the CSV (frames
// from 0) and in Moho (from 1), at whole and NTSC rates and both usual
// sample rates.
TEST(Form1MarksAtRates, AMarkAfterStepLandsOnTheSteppedFrame) {
    struct Case {
        const char* rate;
        int32_t sampleRate;
        std::vector<int> frames;
    };
    for (const Case& c : {Case{"30", 44100, {1, 10, 25, 29}}, Case{"30", 48000, {1, 10, 25, 29}},
                          Case{"29.97", 44100, {1, 10, 27}}, Case{"29.97", 48000, {1, 10, 27}},
                          Case{"23.976", 44100, {1, 11, 23}}, Case{"23.976", 48000, {1, 11, 23}}}) {
        SCOPED_TRACE(std::string(c.rate) + " fps at " + std::to_string(c.sampleRate));
        test::FakePlatformWith<std::unique_ptr<SilentDevice>> fake;
        test::TempDir dir;
        const std::string sound = dir.File("voice.wav");
        test::WriteWav(sound, c.sampleRate, 1, test::Tone(c.sampleRate, c.sampleRate * 2, 440, 0.5));
        Form1 form(fake.platform);
        ASSERT_TRUE(test::ShowWithClientWidth(form, form.centralWidget()->width()));
        fake.fileDialog.answer = sound;
        form.MnuOpen->trigger();
        form.TxtNumFrames->setText(QString::fromLatin1(c.rate));
        QAbstractButton* step = form.MMControl1->Button(QStringLiteral("Step"));
        int at = 0;
        for (const int frame : c.frames) {
            for (; at < frame; ++at) QTest::mouseClick(step, Qt::LeftButton);
            form.MnuAddMark->trigger();
        }
        std::string csvFrames, mohoFrames, expectedCsv, expectedMoho;
        for (const int frame : c.frames) {
            expectedCsv += std::to_string(frame) + " ";
            expectedMoho += std::to_string(frame + 1) + " ";
        }
        fake.fileDialog.saveAnswer = FileDialog::SaveChoice{dir.File("marks.csv"), 1};
        form.MnuExportMarks->trigger();
        std::istringstream csv(test::ReadText(dir.File("marks.csv")));
        std::string line;
        std::getline(csv, line);   // the header
        while (std::getline(csv, line)) csvFrames += line.substr(0, line.find(',')) + " ";
        fake.fileDialog.saveAnswer = FileDialog::SaveChoice{dir.File("marks.dat"), 3};
        form.MnuExportMarks->trigger();
        std::istringstream moho(test::ReadText(dir.File("marks.dat")));
        std::getline(moho, line);   // MohoSwitch1
        while (std::getline(moho, line)) mohoFrames += line.substr(0, line.find(' ')) + " ";
        EXPECT_EQ(csvFrames, expectedCsv);
        EXPECT_EQ(mohoFrames, expectedMoho);
    }
}

TEST_F(Form1Marks, TheListEditsDeletesAndGoesToAMark) {
    Step(10);
    form->MnuAddMark->trigger();
    form->SelStartMs = 1000;
    form->SelEndMs = 1500;
    TypeOnWaveform(Qt::Key_M, Qt::ShiftModifier);
    Step(5);
    form->MnuAddMark->trigger();   // at frame 15, between the two
    form->MnuMarksList->trigger();
    MarksWindow* list = form->MarksList();
    ASSERT_TRUE(list && list->isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowActive(list));
    QAbstractItemModel* model = list->Table()->model();
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->index(0, MarkTableModel::FrameColumn).data().toLongLong(), 10);
    EXPECT_EQ(model->index(1, MarkTableModel::FrameColumn).data().toLongLong(), 15);
    EXPECT_EQ(model->index(2, MarkTableModel::TimeColumn).data().toString(), "0:01.000");
    EXPECT_EQ(model->index(2, MarkTableModel::LengthColumn).data().toLongLong(), 15);
    EXPECT_EQ(model->index(0, MarkTableModel::LengthColumn).data().toString(), "");

    // The text typed in place is saved at once.
    QTableView* table = list->Table();
    table->setFocus();
    table->selectRow(1);
    QTest::keyClick(table, Qt::Key_A);   // typing opens the text's editor
    auto* editor = table->findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    QTest::keyClick(editor, Qt::Key_H);
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();   // the table commits the edit from its event queue
    EXPECT_EQ(form->Marks().Marks()[1].text, "ah");
    EXPECT_NE(test::ReadText(form->Marks().FilePath()).find("\"text\": \"ah\""), std::string::npos);

    // A new rate renumbers the frames as soon as it is typed.
    form->TxtNumFrames->setText("25");
    EXPECT_EQ(model->index(0, MarkTableModel::FrameColumn).data().toLongLong(), 8);

    // Double click: the position goes to the mark's frame (at 25 fps frame 8 starts at 320 ms).
    const QRect cell = table->visualRect(model->index(0, MarkTableModel::FrameColumn));
    // As the system delivers it: a click, then the second press as a double click.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    EXPECT_EQ(form->MMControl1->Position(), 320);

    table->setFocus();
    table->selectRow(0);
    QTest::keyClick(table, Qt::Key_Delete);
    ASSERT_EQ(form->Marks().Marks().size(), 2u);
    EXPECT_EQ(form->Marks().Marks()[0].text, "ah");
    EXPECT_EQ(model->rowCount(), 2);
}

TEST_F(Form1Marks, MarksAreDrawnOverTheWaveformNeverIntoItsPicture) {
    const QImage before = form->PicWave->Image().copy();
    Step(30);   // 1000 ms: the middle of the 2 s sound
    form->MnuAddMark->trigger();
    form->MnuAddSelectionMark->trigger();   // the whole sound: lines at both edges
    QApplication::processEvents();
    EXPECT_EQ(form->PicWave->Image(), before);
    Step(5);   // the play line, drawn over every layer, away from the mark
    QApplication::processEvents();

    const QImage shown = form->PicWave->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb cyan = qRgb(kMarkColour.r, kMarkColour.g, kMarkColour.b);
    const int middle = shown.width() / 2;
    int cyanAtMiddle = 0, cyanElsewhere = 0;
    for (int y = 10; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            if ((shown.pixel(x, y) | 0xff000000u) != cyan) continue;
            if (std::abs(x - middle) <= 1) ++cyanAtMiddle;
            else if (x > 1 && x < shown.width() - 2) ++cyanElsewhere;
        }
    EXPECT_GE(cyanAtMiddle, shown.height() - 12);   // a line from top to bottom
    EXPECT_EQ(cyanElsewhere, 0);
}

TEST(QtFileDialog, SaveOffersTheFormatsAndGivesTheNameTheChosenExtension) {
    // A folder that stays (the dialog remembers the last one for the next
    // dialog); nothing is written, the dialog only names the file.
    const std::filesystem::path dir(ZORVANE_BINARY_DIR);
    QtFileDialog dialog;
    QStringList filters;
    QString selected, renamed;
    std::optional<FileDialog::SaveChoice> result;
    test::AnswerModal([&] { result = dialog.ShowSave(ExportWriters::DialogFilter(ExportSubject::Marks), 3, (dir / "voice.dat").string()); },
                      [&](QWidget* modal) {
                          auto* fd = qobject_cast<QFileDialog*>(modal);
                          if (!fd) {
                              modal->close();
                              return;
                          }
                          filters = fd->nameFilters();
                          selected = fd->selectedNameFilter();
                          auto* nameBox = fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                          auto* types = fd->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
                          if (!nameBox || !types) {
                              modal->close();
                              return;
                          }
                          nameBox->setText(QStringLiteral("voice.dat"));
                          // The user picks "Exposure Sheet" (the box tells it as a pick does).
                          types->setCurrentIndex(3);
                          emit types->activated(3);
                          emit types->textActivated(types->itemText(3));
                          renamed = nameBox->text();
                          nameBox->setText(QStringLiteral("sheet"));   // and types a name without extension
                          static_cast<QDialog*>(fd)->accept();   // as the Save button does
                      });
    EXPECT_EQ(filters, QStringList({"CSV (*.csv)", "Audacity Labels (*.txt)", "Moho Switch Data (*.dat)",
                                    "Exposure Sheet (*.xsheet.txt)", "JSON (*.json)"}));
    EXPECT_EQ(selected, "Moho Switch Data (*.dat)");
    EXPECT_EQ(renamed, "voice.xsheet.txt");
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->path, (dir / "sheet.xsheet.txt").string());
    EXPECT_EQ(result->filter, 4);
}

TEST_F(Form1Marks, MarkEditsAreUndoneAndRedoneAndKeptEachTime) {
    Step(10);
    TypeOnWaveform(Qt::Key_M);
    Step(5);
    TypeOnWaveform(Qt::Key_M);
    ASSERT_EQ(form->Marks().Marks().size(), 2u);
    EXPECT_EQ(form->MnuUndo->text(), QStringLiteral("Undo Add Mark"));
    const auto undo = [&] { QTest::keyClick(form->PicWave, Qt::Key_Z, Qt::ControlModifier); };
    const auto redo = [&] { QTest::keyClick(form->PicWave, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); };
    undo();
    EXPECT_EQ(form->Marks().Marks().size(), 1u);
    redo();
    EXPECT_EQ(form->Marks().Marks().size(), 2u);
    undo();
    undo();
    EXPECT_EQ(form->Marks().Marks().size(), 0u);
    redo();
    ASSERT_EQ(form->Marks().Marks().size(), 1u);
    // Each step is kept beside the sound: the next open reads it back, and
    // the steps of the last sound are gone.
    Open();
    EXPECT_EQ(form->Marks().Marks().size(), 1u);
    EXPECT_FALSE(form->MnuUndo->isEnabled());
}

} // namespace
} // namespace zv
