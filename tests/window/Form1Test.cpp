// The window as created: controls, menus, start-up, About, exit.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QDir>
#include <QFileDialog>
#include <optional>
#include <functional>
#include <memory>

#include "FakePlatform.h"
#include "ModalAnswer.h"
#include "common/Version.h"
#include "playback/ui/MediaControl.h"
#include <QDockWidget>

#include "window/DialogueActions.h"
#include "window/Form1.h"
#include "window/LineShape.h"
#include "window/PictureBox.h"
#include "window/QtFileDialog.h"
#include "window/QtMessageBox.h"
#include "window/Slider.h"

namespace zv {
namespace {

struct Form1Test : ::testing::Test {
    test::FakePlatform fake;
    std::unique_ptr<Form1> form;
    void SetUp() override { form = std::make_unique<Form1>(fake.platform); }
};

QColor Back(const QWidget* w) { return w->palette().color(QPalette::Window); }
QColor Text(const QWidget* w) { return w->palette().color(QPalette::WindowText); }

void ExpectFont(const QWidget* w, double points, bool bold) {
    SCOPED_TRACE(w->objectName().toStdString());
    const QFont f = w->font();
    EXPECT_EQ(f.family(), "Arial");
    EXPECT_DOUBLE_EQ(f.pointSizeF(), points);
    EXPECT_EQ(f.weight(), bold ? QFont::Bold : QFont::Normal);
    EXPECT_FALSE(f.italic() || f.underline() || f.strikeOut());
    // Arial is not on a Debian desktop: its metric twin stands in.
    EXPECT_EQ(QFontInfo(f).family(), "Liberation Sans");
}

void ExpectLabel(const QLabel* l, const char* caption, bool centred) {
    SCOPED_TRACE(l->objectName().toStdString());
    EXPECT_EQ(l->text(), QString::fromUtf8(caption));
    EXPECT_EQ(l->alignment() & Qt::AlignHorizontal_Mask, centred ? Qt::AlignHCenter : Qt::AlignLeft);
}

TEST_F(Form1Test, ControlsAsDesignedAfterStartUp) {
    Form1& f = *form;
    EXPECT_EQ(f.windowTitle(), "Zorvane");
    EXPECT_FALSE(f.windowIcon().isNull());
    EXPECT_TRUE(f.windowIcon().availableSizes().contains(QSize(32, 32)));

    ExpectLabel(f.LabFilePath, "Filename:", false);
    ExpectLabel(f.LabMCIposition, "Time: 0:0 / Frame: 0", true);
    ExpectLabel(f.LblStartFrame, "Start: 0", true);
    ExpectLabel(f.LblEndFrame, "End: 0", true);
    ExpectLabel(f.LblTotalTime, "Total Length:(Time:0:0 / Seconds: 0)", true);
    ExpectLabel(f.LblSelectedTime, "Selected:(Seconds: 0 / Frames: 0)", true);
    ExpectLabel(f.Label1, "Frames Per Second:", false);
    EXPECT_EQ(f.TxtNumFrames->text(), "30");

    EXPECT_EQ(Text(f.LabFilePath), QColor(255, 255, 255));
    EXPECT_EQ(Back(f.LabFilePath), QColor(128, 128, 128));
    EXPECT_EQ(Text(f.LabMCIposition), QColor(0, 255, 0));
    EXPECT_EQ(Back(f.LabMCIposition), QColor(0, 0, 0));
    EXPECT_EQ(Text(f.LblStartFrame), QColor(255, 255, 255));
    EXPECT_EQ(Back(f.LblStartFrame), QColor(255, 0, 0));
    EXPECT_EQ(Text(f.LblEndFrame), QColor(255, 255, 255));
    EXPECT_EQ(Back(f.LblEndFrame), QColor(0, 0, 255));
    EXPECT_TRUE(f.LblStartFrame->autoFillBackground());
    EXPECT_EQ(Back(f.Picture1), QColor(224, 224, 224));
    EXPECT_TRUE(f.Picture1->autoFillBackground());
    EXPECT_EQ(f.PicWave->BackColor(), (Rgb{64, 0, 64}));
    EXPECT_EQ(f.PicTime->BackColor(), (Rgb{128, 128, 128}));
    EXPECT_EQ(f.RedLine->Colour(), QColor(255, 128, 0));
    EXPECT_EQ(f.RedLine->BorderWidth(), 3);

    ExpectFont(f.LabFilePath, 8.25, false);
    ExpectFont(f.LabMCIposition, 9, true);
    for (const QLabel* l : {f.LblStartFrame, f.LblEndFrame, f.LblTotalTime, f.LblSelectedTime, f.Label1})
        ExpectFont(l, 8.25, true);

    EXPECT_EQ(f.PicTime->toolTip(), "Use left or right mouse button to set length");
    EXPECT_EQ(f.ScrollStart->toolTip(), "Start");
    for (const Slider* s : {f.ScrollStart, f.ScrollEnd, f.VolSlider}) {
        SCOPED_TRACE(s->objectName().toStdString());
        EXPECT_EQ(s->orientation(), Qt::Horizontal);
        EXPECT_EQ(s->minimum(), 0);
        EXPECT_EQ(s->maximum(), 10);
        EXPECT_EQ(s->value(), 0);
        EXPECT_EQ(s->singleStep(), 1);
        EXPECT_FALSE(s->isHidden());
    }
    EXPECT_EQ(f.ScrollStart->pageStep(), 10);
    EXPECT_EQ(f.ScrollEnd->pageStep(), 5);
    EXPECT_EQ(f.VolSlider->pageStep(), 5);

    // Parents: three children of the client area, the rest on the panel.
    for (QWidget* w : {f.Picture1, static_cast<QWidget*>(f.PicWave), static_cast<QWidget*>(f.LabFilePath)})
        EXPECT_EQ(w->parentWidget(), f.centralWidget());
    for (QWidget* w : {static_cast<QWidget*>(f.PicTime), static_cast<QWidget*>(f.ScrollEnd),
                       static_cast<QWidget*>(f.MMControl1), static_cast<QWidget*>(f.TxtNumFrames),
                       static_cast<QWidget*>(f.RedLine), static_cast<QWidget*>(f.Label1)})
        EXPECT_EQ(w->parentWidget(), f.Picture1);

    // Start-up state: topmost, 30 frames a second, nothing drawn, nothing said.
    EXPECT_TRUE(f.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(f.FramesPerSecond, 30);
    EXPECT_EQ(f.SelStartMs, 0);
    EXPECT_EQ(f.SelEndMs, 0);
    EXPECT_FALSE(f.Dragging);
    EXPECT_TRUE(f.WavFileName.empty());
    const QImage& wave = f.PicWave->Image();
    ASSERT_FALSE(wave.isNull());
    EXPECT_EQ(wave.pixel(wave.width() / 2, wave.height() / 2) | 0xff000000u, qRgb(64, 0, 64));
    EXPECT_EQ(f.PicWave->ClearCount(), 1);
    EXPECT_TRUE(fake.messages.texts.empty());
}

TEST_F(Form1Test, DesignGeometryOfTheControlsTheLayoutLeaves) {
    Form1& f = *form;
    EXPECT_FLOAT_EQ(f.ScaleWidth(), 10485.0f);
    EXPECT_FLOAT_EQ(f.ScaleHeight(), 9315.0f);
    EXPECT_EQ(f.Geometry(f.Label1), (TwipsRect{60, 1980, 2055, 255}));
    EXPECT_EQ(f.Geometry(f.TxtNumFrames), (TwipsRect{1740, 1980, 555, 255}));
    EXPECT_EQ(f.Geometry(f.Picture1), (TwipsRect{0, 7020, 10485, 2295}));
    const double dpi = f.logicalDpiX();
    EXPECT_EQ(f.Label1->geometry(), ToPixelRect({60, 1980, 2055, 255}, dpi, f.logicalDpiY()));
    EXPECT_EQ(f.centralWidget()->size(), QSize(PixelEdge(10485, dpi), PixelEdge(9315, f.logicalDpiY())));
}

TEST_F(Form1Test, MenusInOrderWithoutShortcutsOrAccessKeys) {
    // File and Edit come first; menus added after them (View) have tests of their own.
    const QList<QAction*> menus = form->menuBar()->actions();
    // File, Edit and View come first; the Marks menu after them has shortcuts of its own.
    ASSERT_GE(menus.size(), 3);
    EXPECT_EQ(menus[0]->text(), "File");
    EXPECT_EQ(menus[1]->text(), "Edit");
    EXPECT_EQ(menus[2]->text(), "View");
    EXPECT_EQ(menus[0]->menu(), form->MnuFile);
    EXPECT_EQ(menus[1]->menu(), form->MnuEdit);
    const QList<QAction*> file = form->MnuFile->actions();
    const QList<QAction*> edit = form->MnuEdit->actions();
    // Open, the sheets' entries and a separator, then Exit.
    ASSERT_EQ(file.size(), 7);
    const QStringList sheets{"Print Exposure Sheet...", "Export Exposure Sheet as PDF...",
                             "Export Selection as Sound...", "Lead-in and Tail of Exported Sound..."};
    for (int i = 0; i < sheets.size(); ++i) EXPECT_EQ(file[i + 1]->text(), sheets[i]);
    EXPECT_TRUE(file[5]->isSeparator());
    // About and Select Input Device, then Undo and Redo after a separator.
    ASSERT_EQ(edit.size(), 5);
    EXPECT_TRUE(edit[2]->isSeparator());
    EXPECT_EQ(edit[3], form->MnuUndo);
    EXPECT_EQ(edit[4], form->MnuRedo);
    EXPECT_EQ(form->MnuUndo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(form->MnuRedo->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    EXPECT_EQ(file[0], form->MnuOpen);
    EXPECT_EQ(file[6], form->MnuExit);
    EXPECT_EQ(edit[0], form->MnuAbout);
    EXPECT_EQ(edit[1], form->MnuSelInput);
    EXPECT_EQ(form->MnuOpen->text(), "Open Wav File");
    EXPECT_EQ(form->MnuExit->text(), "Exit");
    EXPECT_EQ(form->MnuAbout->text(), "About");
    EXPECT_EQ(form->MnuSelInput->text(), "Select Input Device");
    for (QAction* a : {menus[0], menus[1], file[0], file[6], edit[0], edit[1]}) {
        SCOPED_TRACE(a->text().toStdString());
        EXPECT_TRUE(a->shortcuts().isEmpty());
        EXPECT_FALSE(a->text().contains('&'));
        EXPECT_FALSE(a->isSeparator());
        EXPECT_FALSE(a->isCheckable());
        EXPECT_TRUE(a->isEnabled());
        EXPECT_TRUE(a->isVisible());
    }
}

TEST_F(Form1Test, SelectInputDeviceTriesTheVolumeControlPathsSilently) {
    form->MnuSelInput->trigger();
    ASSERT_GE(fake.starter.paths.size(), 3u);
    EXPECT_EQ(fake.starter.paths[0], "C:\\winnt\\system32\\sndvol32.exe");
    EXPECT_EQ(fake.starter.paths[2], "C:\\windows\\sndvol32.exe");
    EXPECT_TRUE(fake.messages.texts.empty());
}

// What was on a message box: title, text, buttons, icon.
struct SeenBox {
    int count = 0;
    QString title, text;
    QMessageBox::StandardButtons buttons;
    int buttonCount = 0;
    QMessageBox::Icon icon = QMessageBox::Question;
    bool modal = false;
};

SeenBox AnswerModalBox(const std::function<void()>& action) {
    SeenBox seen;
    seen.count = test::AnswerModal(action, [&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) {
            modal->close();
            return;
        }
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.buttons = box->standardButtons();
        seen.buttonCount = static_cast<int>(box->buttons().size());
        seen.icon = box->icon();
        seen.modal = box->isModal();
        box->button(QMessageBox::Ok)->click();
    });
    return seen;
}

TEST_F(Form1Test, AboutShowsTheSameBoxEachTimeAndChangesNothing) {
    const QString captionBefore = form->LblSelectedTime->text();
    const TwipsRect waveBefore = form->Geometry(form->PicWave);
    const int clearsBefore = form->PicWave->ClearCount();
    SeenBox first = AnswerModalBox([&] { form->MnuAbout->trigger(); });
    SeenBox second = AnswerModalBox([&] { form->MnuAbout->trigger(); });
    ASSERT_EQ(first.count, 1);
    ASSERT_EQ(second.count, 1);
    EXPECT_EQ(first.title, "About Zorvane");
    EXPECT_NE(first.title, "Zorvane");
    EXPECT_TRUE(first.text.startsWith("Zorvane"));
    EXPECT_TRUE(first.text.contains(QString::fromUtf8(ProgramVersion())));
    EXPECT_TRUE(first.text.contains("frames"));
    EXPECT_TRUE(first.text.endsWith("https://zorvane.org"));
    EXPECT_EQ(first.buttons, QMessageBox::Ok);
    EXPECT_EQ(first.buttonCount, 1);
    EXPECT_EQ(first.icon, QMessageBox::NoIcon);
    EXPECT_TRUE(first.modal);
    EXPECT_EQ(second.title, first.title);
    EXPECT_EQ(second.text, first.text);
    // Nothing else happened.
    EXPECT_EQ(form->FramesPerSecond, 30);
    EXPECT_EQ(form->LblSelectedTime->text(), captionBefore);
    EXPECT_EQ(form->Geometry(form->PicWave), waveBefore);
    EXPECT_EQ(form->PicWave->ClearCount(), clearsBefore);
    EXPECT_TRUE(fake.messages.texts.empty());
}

TEST_F(Form1Test, TabOrderFollowsTheDesign) {
    // The controls that take focus, in the order Tab visits them.
    std::vector<QWidget*> expected{form->PicWave};
    // The media control's buttons, in the order the control made them.
    for (QWidget* w : form->MMControl1->findChildren<QWidget*>())
        if (w->focusPolicy() & Qt::TabFocus) expected.push_back(w);
    for (QWidget* w : {static_cast<QWidget*>(form->PicTime), static_cast<QWidget*>(form->TxtNumFrames),
                       static_cast<QWidget*>(form->ScrollStart), static_cast<QWidget*>(form->ScrollEnd),
                       static_cast<QWidget*>(form->VolSlider)})
        expected.push_back(w);
    std::vector<QWidget*> seen;
    QWidget* w = form->PicWave;
    do {
        // The dialogue panel (hidden until asked for) keeps its own order after these.
        if ((w->focusPolicy() & Qt::TabFocus) && form->isAncestorOf(w) && !form->Dialogue().Dock().isAncestorOf(w))
            seen.push_back(w);
        w = w->nextInFocusChain();
    } while (w != form->PicWave && seen.size() < 100);
    EXPECT_EQ(seen, expected);
    for (QWidget* l : {static_cast<QWidget*>(form->LblStartFrame), static_cast<QWidget*>(form->RedLine),
                       form->Picture1})
        EXPECT_EQ(l->focusPolicy(), Qt::NoFocus);
}

TEST_F(Form1Test, AccessibleNamesAndDescriptions) {
    const auto name = [](QObject* o) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(o);
        return a ? a->text(QAccessible::Name) : QString();
    };
    const auto description = [](QObject* o) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(o);
        return a ? a->text(QAccessible::Description) : QString();
    };
    for (QWidget* w : {static_cast<QWidget*>(form->PicWave), static_cast<QWidget*>(form->PicTime),
                       static_cast<QWidget*>(form->ScrollStart), static_cast<QWidget*>(form->ScrollEnd),
                       static_cast<QWidget*>(form->VolSlider), static_cast<QWidget*>(form->TxtNumFrames)}) {
        EXPECT_EQ(name(w), w->objectName());
        EXPECT_FALSE(description(w).isEmpty()) << w->objectName().toStdString();
    }
    EXPECT_EQ(name(form->LblStartFrame), "Start: 0");
    EXPECT_EQ(name(form->LabFilePath), "Filename:");
    EXPECT_EQ(name(form->Label1), "Frames Per Second:");
}

TEST_F(Form1Test, ExitEndsTheEventLoopAtOnce) {
    form->show();
    bool laterHandlerRan = false;
    QObject timers;  // timers still pending when the test ends die with it
    QTimer::singleShot(0, &timers, [&] {
        form->MnuExit->trigger();
        // Queued before Exit took effect: must not run.
        QTimer::singleShot(0, &timers, [&] { laterHandlerRan = true; });
    });
    QTimer::singleShot(10000, &timers, [] { QCoreApplication::exit(99); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(laterHandlerRan);
}

TEST_F(Form1Test, CloseBoxEndsTheEventLoop) {
    form->show();
    QObject timers;
    QTimer::singleShot(0, &timers, [&] { form->close(); });
    QTimer::singleShot(10000, &timers, [] { QCoreApplication::exit(99); });
    EXPECT_EQ(QApplication::exec(), 0);
}

TEST(QtMessageBox, ShowsTheTextAloneModalWithOneOkAndNoIcon) {
    QWidget owner;
    QtMessageBox messages;
    messages.SetParent(&owner);
    const std::string text = "Error opening input file, rc = 2 <b>not bold</b>";
    SeenBox seen = AnswerModalBox([&] { messages.Show(text); });
    ASSERT_EQ(seen.count, 1);
    EXPECT_EQ(seen.title, "Zorvane");
    EXPECT_EQ(seen.text, QString::fromStdString(text));
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
    EXPECT_EQ(seen.buttonCount, 1);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_TRUE(seen.modal);
}

TEST(QtFileDialog, OffersTheFiltersWithTheChosenOneSelected) {
    QtFileDialog dialog;
    const std::string filter = "All Files (*.*)|*.*|Wav Files (*.wav)|*.wav|Text Files (*.txt)|*.txt";
    QStringList filters;
    QString selected;
    std::optional<std::string> result = std::string("not asked");
    const int answered = test::AnswerModal([&] { result = dialog.ShowOpen(filter, 2); }, [&](QWidget* modal) {
        auto* fd = qobject_cast<QFileDialog*>(modal);
        if (fd) {
            filters = fd->nameFilters();
            selected = fd->selectedNameFilter();
        }
        modal->close();  // the user cancels
    });
    EXPECT_EQ(answered, 1);
    EXPECT_EQ(filters, QStringList({"All Files (*)", "Wav Files (*.wav)", "Text Files (*.txt)"}));
    EXPECT_EQ(selected, "Wav Files (*.wav)");
    EXPECT_FALSE(result.has_value());

    // Choosing a file gives its full path.
    const QString path = QDir(QStringLiteral(ZORVANE_SOURCE_DIR)).filePath("assets/zorvane.xpm");
    test::AnswerModal([&] { result = dialog.ShowOpen(filter, 1); }, [&](QWidget* modal) {
        auto* fd = qobject_cast<QFileDialog*>(modal);
        if (!fd) {
            modal->close();
            return;
        }
        fd->selectFile(path);
        static_cast<QDialog*>(fd)->accept();  // as the Open button does
    });
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(QString::fromStdString(*result), path);
}

} // namespace
} // namespace zv
