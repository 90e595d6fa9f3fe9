#include "window/SheetsActions.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <cstdio>
#include <filesystem>

#include "common/FrameTime.h"
#include "common/MessageBox.h"
#include "document/SoundDocument.h"
#include "marks/MarksFile.h"
#include "marks/TextFile.h"
#include "sheets/SoundExcerpt.h"
#include "sheets/XdtsSheet.h"
#include "sheets/system/ExcerptWriter.h"
#include "sheets/ui/SheetPainter.h"
#include "window/FileDialog.h"
#include "window/Platform.h"

namespace zv {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The sheet dialog: scene and shot, the layout, and what else to know.
std::optional<SheetChoice> AskWithDialog(QWidget* parent, const SheetQuestion& question) {
    QDialog dialog(parent);
    dialog.setWindowTitle(question.title);
    auto* form = new QFormLayout(&dialog);
    auto* scene = new QLineEdit(Q(question.initial.scene), &dialog);
    auto* shot = new QLineEdit(Q(question.initial.shot), &dialog);
    scene->setObjectName(QStringLiteral("SheetScene"));
    shot->setObjectName(QStringLiteral("SheetShot"));
    form->addRow(QStringLiteral("Scene:"), scene);
    form->addRow(QStringLiteral("Shot (cut):"), shot);
    QComboBox* layout = nullptr;
    if (question.askLayout) {
        layout = new QComboBox(&dialog);
        layout->addItem(QStringLiteral("Exposure sheet (6 s a page)"));
        layout->addItem(QStringLiteral("Time sheet (6 s, two columns)"));
        layout->setCurrentIndex(question.initial.kind == SheetKind::TwoColumns ? 1 : 0);
        form->addRow(QStringLiteral("Layout:"), layout);
    }
    if (!question.details.isEmpty()) {
        auto* details = new QPlainTextEdit(question.details, &dialog);
        details->setReadOnly(true);
        form->addRow(details);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    SheetChoice choice;
    choice.scene = scene->text().trimmed().toStdString();
    choice.shot = shot->text().trimmed().toStdString();
    choice.kind = layout && layout->currentIndex() == 1 ? SheetKind::TwoColumns : SheetKind::OneColumn;
    return choice;
}

} // namespace

SheetsActions::SheetsActions(Parts parts, QObject* parent) : QObject(parent), parts_(std::move(parts)) {
    ask_ = [this](const SheetQuestion& question) { return AskWithDialog(parts_.window, question); };
}

void SheetsActions::FillFileMenu(QMenu& file, QAction* before) {
    const auto add = [&](const char* name, const char* text, std::function<void()> run) {
        auto* action = new QAction(QString::fromUtf8(text), &file);
        action->setObjectName(QString::fromUtf8(name));
        file.insertAction(before, action);
        // Nothing thrown ever leaves the handler: it is told instead.
        connect(action, &QAction::triggered, this, [this, run] {
            try {
                run();
            } catch (const std::exception& e) {
                parts_.platform.messages.Show(std::string("That did not work: ") + e.what());
            } catch (...) {
                parts_.platform.messages.Show("That did not work.");
            }
        });
        return action;
    };
    print_ = add("MnuPrintSheet", "Print Exposure Sheet...", [this] { PrintSheet(); });
    pdf_ = add("MnuExportSheetPdf", "Export Exposure Sheet as PDF...", [this] { ExportPdf(); });
    sound_ = add("MnuExportSelectionSound", "Export Selection as Sound...", [this] { ExportSelectionSound(); });
    silence_ = add("MnuSelectionSilence", "Lead-in and Tail of Exported Sound...", [this] { AskSilence(); });
    file.insertSeparator(before);
    Enable(false);
}

void SheetsActions::Enable(bool open) {
    for (QAction* a : {print_, pdf_, sound_, silence_})
        if (a) a->setEnabled(open);
}

SheetContent SheetsActions::Content(FrameRate rate) const {
    std::vector<FileTrack> tracks;
    for (const auto& track : parts_.document.Tracks()) tracks.push_back({track->Name(), track->Items()});
    const SoundInfo& info = parts_.document.Info();
    return SheetContentOfTracks(tracks, std::filesystem::path(info.path).filename().string(), info.sampleRate,
                                info.frames, rate, parts_.mouthSet);
}

std::optional<SheetContent> SheetsActions::ContentToShow(FrameRate rate) {
    if (!parts_.document.HasSound()) return std::nullopt;
    SheetContent content = Content(rate);
    if (!content.HasAnything() || content.FrameCount() <= 0) {
        parts_.platform.messages.Show(
            "There is nothing to put on the sheet: add marks, break the dialogue down (Analyze menu) or find "
            "the beats first. No file was written.");
        return std::nullopt;
    }
    return content;
}

std::optional<SheetChoice> SheetsActions::AskChoice(const SheetQuestion& question) {
    for (;;) {
        std::optional<SheetChoice> choice = ask_ ? ask_(question) : std::optional<SheetChoice>(question.initial);
        if (!choice) return std::nullopt;
        if (const auto wrong = XdtsOptionsError({choice->shot, choice->scene})) {
            parts_.platform.messages.Show(*wrong);
            if (!ask_) return std::nullopt;
            continue;
        }
        last_ = *choice;
        return choice;
    }
}

bool SheetsActions::PrintSheet() {
    const FrameRate rate = parts_.readRate();
    const std::optional<SheetContent> content = ContentToShow(rate);
    if (!content) return false;
    const auto choice = AskChoice({QStringLiteral("Print Exposure Sheet"), true, {}, last_});
    if (!choice) return false;
    const SheetLayout layout(*content, choice->kind, {choice->scene, choice->shot});
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Exposure sheet"));
    QPrintDialog dialog(&printer, parts_.window);
    if (dialog.exec() != QDialog::Accepted) return false;
    if (!PaintSheet(printer, layout)) {
        parts_.platform.messages.Show("The sheet can't be printed: the printer refused it.");
        return false;
    }
    return true;
}

bool SheetsActions::ExportPdf() {
    const FrameRate rate = parts_.readRate();
    const std::optional<SheetContent> content = ContentToShow(rate);
    if (!content) return false;
    const auto choice = AskChoice({QStringLiteral("Export Exposure Sheet as PDF"), true, {}, last_});
    if (!choice) return false;
    const std::filesystem::path sound(parts_.document.Info().path);
    const auto file = parts_.platform.fileDialog.ShowSave("PDF Files (*.pdf)|*.pdf", 1,
                                                          (sound.parent_path() / sound.stem()).string() + ".sheet.pdf");
    if (!file || file->path.empty()) return false;
    const SheetLayout layout(*content, choice->kind, {choice->scene, choice->shot});
    if (const auto failed = WriteSheetPdf(layout, file->path)) {
        parts_.platform.messages.Show("The sheet can't be written to " + file->path + ": " + *failed + ".");
        return false;
    }
    return true;
}

bool SheetsActions::ExportXdts(const std::string& path) {
    const FrameRate rate = parts_.readRate();
    const std::optional<SheetContent> content = ContentToShow(rate);
    if (!content) return false;
    // The sheet holds the mouths and the lines: marks and beats alone put nothing on it.
    if (content->speakers.empty()) {
        parts_.platform.messages.Show("There is no dialogue to put on the XDTS sheet: break the dialogue down "
                                      "first (Analyze menu). No file was written.");
        return false;
    }
    const std::string sheetName = std::filesystem::path(path).filename().string();
    std::string details = XdtsMappingText(*content, sheetName);
    if (const auto note = XdtsRateNote(rate)) details = *note + "\n\n" + details;
    details += "\nThe numbers are written to " + std::filesystem::path(XdtsMappingPath(path)).filename().string() + ".";
    const auto choice = AskChoice({QStringLiteral("Export XDTS Sheet"), false, Q(details), last_});
    if (!choice) return false;
    if (const auto failed = WriteFileAtomically(path, XdtsText(*content, {choice->shot, choice->scene}))) {
        parts_.platform.messages.Show("The sheet can't be written to " + path + ": " + *failed + ".");
        return false;
    }
    const std::string mapping = XdtsMappingPath(path);
    if (const auto failed = WriteFileAtomically(mapping, XdtsMappingText(*content, sheetName))) {
        parts_.platform.messages.Show("The mouth numbers can't be written to " + mapping + ": " + *failed + ".");
        return false;
    }
    return true;
}

bool SheetsActions::ExportSelectionSound() {
    if (!parts_.document.HasSound()) return false;
    const FrameRate rate = parts_.readRate();
    const SoundInfo& info = parts_.document.Info();
    const auto [startMs, endMs] = parts_.selectionMs();
    std::string error;
    const int64_t first = rate.IsPositive() ? FrameAtMs(std::min(startMs, endMs), rate) : 0;
    const int64_t end = rate.IsPositive() ? FrameAtMs(std::max(startMs, endMs), rate) : 0;
    const std::optional<SoundExcerpt> excerpt =
        ExcerptOfFrames(first, end, leadIn_, tail_, rate, info.sampleRate, info.frames, error);
    if (!excerpt) {
        parts_.platform.messages.Show("The selection can't be exported: " + error + ".");
        return false;
    }
    const std::filesystem::path sound(info.path);
    const std::string suggested = (sound.parent_path() / sound.stem()).string() + "-" + std::to_string(first) + "-" +
                                  std::to_string(end) + ".wav";
    const auto file = parts_.platform.fileDialog.ShowSave("Wav Files (*.wav)|*.wav", 1, suggested);
    if (!file || file->path.empty()) return false;
    std::error_code ec;
    if (std::filesystem::equivalent(file->path, info.path, ec)) {
        parts_.platform.messages.Show("The selection can't be exported to " + file->path +
                                      ": it is the sound itself. Choose another name.");
        return false;
    }
    if (const auto failed = WriteSoundExcerpt(info.path, *excerpt, file->path)) {
        parts_.platform.messages.Show("The selection can't be exported to " + file->path + ": " + *failed + ".");
        return false;
    }
    return true;
}

void SheetsActions::AskSilence() {
    const auto text = parts_.platform.messages.AskText(
        "Silence before and after an exported selection, in frames (lead-in, tail):",
        std::to_string(leadIn_) + ", " + std::to_string(tail_));
    if (!text) return;
    long long lead = -1, tail = -1;
    char extra = 0;
    if (std::sscanf(text->c_str(), " %lld , %lld %c", &lead, &tail, &extra) != 2 || lead < 0 || tail < 0 ||
        lead > 86400 || tail > 86400) {
        parts_.platform.messages.Show("Give two whole numbers of frames from 0 to 86400, such as \"2, 0\".");
        return;
    }
    leadIn_ = lead;
    tail_ = tail;
}

} // namespace zv
