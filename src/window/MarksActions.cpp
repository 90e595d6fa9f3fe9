#include "window/MarksActions.h"

#include <QWidget>
#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <system_error>
#include <tuple>

#include "common/MessageBox.h"
#include "common/ui/LogCategories.h"
#include "document/SoundDocument.h"
#include "export/ExportWriters.h"
#include "export/XdtsSheetWriter.h"
#include "marks/MarkFrames.h"
#include "marks/MarkKeeper.h"
#include "marks/MarksImport.h"
#include "marks/TextFile.h"
#include "playback/MediaDevice.h"
#include "playback/ui/MediaControl.h"
#include "window/FileDialog.h"
#include "window/MarkTableModel.h"
#include "window/MarksWindow.h"
#include "window/PictureBox.h"
#include "window/Platform.h"
#include "window/TrackUndo.h"

namespace zv {

namespace {

// Whatever a handler raises ends there, never the program, and is logged.
template <typename F>
void Guarded(F&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        LogCurrentError(LogWindow(), "A marks handler stopped");
    }
}

using ItemKey = std::tuple<int64_t, int64_t, std::string, std::string>;
ItemKey KeyOf(const TrackItem& m) { return {m.start, m.end, m.text, m.kind}; }

} // namespace

MarksActions::MarksActions(Parts parts, QObject* parent)
    : QObject(parent), parts_(std::move(parts)), keeper_(std::make_unique<MarkKeeper>(parts_.document)) {
    model_ = new MarkTableModel(*keeper_, this);
    connect(model_, &MarkTableModel::TextEdited, this, [this](const QString& failure) {
        Guarded([&] {
            parts_.waveBox.update();   // the waveform's marks layer follows
            if (!failure.isEmpty()) parts_.platform.messages.Show(failure.toStdString());
        });
    });
}

MarksActions::~MarksActions() = default;

void MarksActions::SetUndo(TrackUndo* undo) {
    undo_ = undo;
    model_->SetUndo(undo);
}

Report MarksActions::ChangeMarks(std::vector<TrackItem> items, const QString& what) {
    // The step's own save tells the window of a failure (TrackUndo's report).
    if (undo_) {
        undo_->Change(SoundDocument::kMarks, std::move(items), what);
        return {};
    }
    parts_.document.Marks().Assign(std::move(items));
    return keeper_->Save();
}

bool MarksActions::HasSound() const { return keeper_->HasSound(); }

uint64_t MarksActions::Revision() const {
    uint64_t sum = 0;
    for (const auto& track : parts_.document.Tracks()) sum += track->Revision();
    return sum;
}

void MarksActions::Changed(int showRow) {
    model_->Reload();
    parts_.waveBox.update();   // the waveform's marks layer follows
    if (list_ && showRow >= 0) list_->ShowRow(showRow);
}

void MarksActions::SoundOpened(const std::string& path, int channels) {
    SoundInfo info;
    info.path = path;
    info.sampleRate = parts_.platform.mediaDevice.SampleRate();
    info.frames = parts_.platform.mediaDevice.LengthSamples();
    info.channels = channels;
    info.identity = IdentityOfFile(path);
    const Report read = keeper_->OpenFor(std::move(info));
    exported_ = false;
    Changed();
    ShowReport(parts_.platform.messages, read);
}

void MarksActions::SetRate(FrameRate rate) { model_->SetRate(rate); }

void MarksActions::AddMark() {
    if (!HasSound()) return;
    // The transport's position as a sample: the frame's first sample after
    // Step, Back or a click; the sample being heard while playing.
    int64_t sample = std::clamp<int64_t>(parts_.media.PositionSample(), 0, parts_.document.Info().frames);
    if (parts_.snap) sample = parts_.snap(sample);
    std::vector<TrackItem> marks = keeper_->Marks().Items();
    marks.push_back(TrackItem{sample, sample, {}, {}});
    const Report saved = ChangeMarks(std::move(marks), QStringLiteral("Add Mark"));
    Changed(static_cast<int>(keeper_->Marks().FirstAtOrAfter(sample)));
    ShowReport(parts_.platform.messages, saved);
}

void MarksActions::AddSelectionMark(int32_t selStartMs, int32_t selEndMs) {
    if (!HasSound()) return;
    const int32_t rate = keeper_->SampleRate();
    const int64_t length = parts_.document.Info().frames;
    const int64_t start = std::clamp<int64_t>(MsToSamples(std::max(0, std::min(selStartMs, selEndMs)), rate), 0, length);
    const int64_t end = std::clamp<int64_t>(MsToSamples(std::max(selStartMs, selEndMs), rate), start, std::max(start, length));
    std::vector<TrackItem> marks = keeper_->Marks().Items();
    marks.push_back(TrackItem{start, end, {}, {}});
    const Report saved = ChangeMarks(std::move(marks), QStringLiteral("Add Selection as Mark"));
    Changed(static_cast<int>(keeper_->Marks().FirstAtOrAfter(start)));
    ShowReport(parts_.platform.messages, saved);
}

void MarksActions::ShowList() {
    if (!list_) {
        list_ = new MarksWindow(*model_, parts_.window);
        connect(list_, &MarksWindow::DeleteRequested, this,
                [this](std::vector<std::size_t> rows) { Guarded([&] { Remove(std::move(rows)); }); });
        connect(list_, &MarksWindow::MarkActivated, this, [this](std::size_t row) { Guarded([&] { GoToMark(row); }); });
        // Beside the main window's right edge, where the screen has room.
        if (parts_.window)
            list_->move(parts_.window->frameGeometry().right() + 8, parts_.window->frameGeometry().top());
    }
    list_->show();
    list_->raise();
    list_->activateWindow();
}

void MarksActions::Remove(std::vector<std::size_t> rows) {
    if (rows.empty()) return;
    const int first = static_cast<int>(*std::min_element(rows.begin(), rows.end()));
    const std::set<std::size_t> gone(rows.begin(), rows.end());
    std::vector<TrackItem> marks;
    const std::vector<TrackItem>& have = keeper_->Marks().Items();
    for (std::size_t i = 0; i < have.size(); ++i)
        if (!gone.count(i)) marks.push_back(have[i]);
    const Report saved = ChangeMarks(std::move(marks), gone.size() == 1 ? QStringLiteral("Delete Mark")
                                                                        : QStringLiteral("Delete Marks"));
    ShowReport(parts_.platform.messages, saved);
    Changed(std::min(first, static_cast<int>(keeper_->Marks().size()) - 1));
}

void MarksActions::GoToMark(std::size_t row) {
    if (row >= keeper_->Marks().size()) return;
    // The rate typed last, as Step reads it; then the frame that holds the
    // mark (the frame the list shows) is played from its start.
    const FrameRate rate = parts_.readRate();
    if (row >= keeper_->Marks().size() || !rate.IsPositive()) return;
    parts_.media.PlayFrame(MarkFrame(keeper_->Marks()[row].start, rate, keeper_->SampleRate()));
}

bool MarksActions::Export() {
    if (!HasSound()) return false;
    const FrameRate rate = parts_.readRate();
    const std::filesystem::path sound(keeper_->SoundPath());
    const ExportWriter* last = ExportWriters::OfFilter(exportFilter_);
    if (!last) last = ExportWriters::All().front();
    const std::string suggested = (sound.parent_path() / sound.stem()).string() + last->Format().suffix;
    const std::optional<FileDialog::SaveChoice> choice =
        parts_.platform.fileDialog.ShowSave(ExportWriters::DialogFilter(), ExportWriters::FilterOf(last), suggested);
    if (!choice || choice->path.empty()) return false;
    const ExportWriter* chosen = ExportWriters::OfFilter(choice->filter);
    if (chosen) exportFilter_ = choice->filter;
    // Never over the sound or its marks file, whatever the user typed.
    std::error_code ec;
    for (const std::string& own : {keeper_->SoundPath(), keeper_->FilePath()}) {
        if (std::filesystem::equivalent(choice->path, own, ec)) {
            parts_.platform.messages.Show("The marks can't be exported to " + choice->path +
                                          ": it is the sound's own file. Choose another name.");
            return false;
        }
    }
    // The beats' and the dialogue's formats go by the filter chosen (their
    // names end as the marks' do); for the marks the name's ending wins.
    const ExportWriter* writer = chosen;
    if (!writer || writer->Format().subject == ExportSubject::Marks) {
        writer = ExportWriters::MarksFormatOfFileName(choice->path);
        if (!writer) writer = chosen ? chosen : ExportWriters::All().front();
    }
    // The XDTS sheet asks its cut and scene and writes its mouth numbers beside it.
    if (writer->Format().name == XdtsSheetWriter::kName && parts_.xdts) return parts_.xdts(choice->path);
    const ExportSubject subject = writer->Format().subject;
    ExportInput input;
    input.soundName = sound.filename().string();
    input.sampleRate = keeper_->SampleRate();
    input.lengthSamples = parts_.document.Info().frames;
    input.lengthMs = parts_.media.Length();
    input.rate = rate;
    input.marks = &keeper_->Marks().Items();
    const BeatAnalysis beats = parts_.beats ? parts_.beats() : BeatAnalysis{};
    if (beats.steady) input.beats = &beats;
    std::string text;
    if (subject == ExportSubject::Beats && !beats.steady) {
        parts_.platform.messages.Show("There are no beats to export. Find them first with Analyze > Find Beats.");
        return false;
    }
    if (subject == ExportSubject::Dialogue) {
        std::optional<std::string> dialogue;
        if (parts_.dialogue) dialogue = parts_.dialogue(*writer, input);
        if (!dialogue) return false;   // told why
        text = std::move(*dialogue);
    } else {
        text = writer->Write(input);
    }
    const char* what = subject == ExportSubject::Marks ? "marks" : subject == ExportSubject::Beats ? "beats" : "dialogue";
    if (const std::optional<std::string> failed = WriteFileAtomically(choice->path, text)) {
        parts_.platform.messages.Show(std::string("The ") + what + " can't be exported to " + choice->path + ": " +
                                      *failed + ".");
        return false;
    }
    if (subject == ExportSubject::Marks) {
        exported_ = true;
        exportedRevision_ = Revision();
    }
    return true;
}

void MarksActions::Import() {
    if (!HasSound()) return;
    const std::optional<std::string> path = parts_.platform.fileDialog.ShowOpen(kImportFilter, 1);
    if (!path) return;
    const TextFileRead read = ReadTextFile(*path, MarkKeeper::kMaxFileBytes);
    if (!read.exists || read.error) {
        parts_.platform.messages.Show("The marks can't be read from " + *path + ": " +
                                      (read.error ? *read.error : std::string("there is no such file")) + ".");
        return;
    }
    MarksImport imported = ImportMarksText(read.text, keeper_->SampleRate());
    if (!imported.error.empty()) {
        parts_.platform.messages.Show(imported.Message(*path));
        return;
    }
    const std::size_t total = imported.Count();
    if (total == 0) {
        parts_.platform.messages.Show("There are no marks in " + *path + ".");
        return;
    }
    // Items the document has already (the same file imported twice) are
    // not added again.
    std::size_t added = 0;
    std::optional<int64_t> firstMark;
    Report saved;
    // Every track the file brings, as one step.
    std::vector<TrackUndo::TrackItems> after;
    for (FileTrack& track : imported.tracks) {
        std::set<ItemKey> known;
        std::vector<TrackItem> items;
        if (const Track* have = parts_.document.Find(track.name)) items = have->Items();
        for (const TrackItem& m : items) known.insert(KeyOf(m));
        std::erase_if(track.items, [&](const TrackItem& m) { return !known.insert(KeyOf(m)).second; });
        if (track.items.empty()) continue;
        added += track.items.size();
        if (track.name == SoundDocument::kMarks)
            for (const TrackItem& m : track.items) firstMark = std::min(firstMark.value_or(m.start), m.start);
        if (!undo_) {
            const Report r = keeper_->AddToTrack(track.name, std::move(track.items));
            if (r.Failed() && !saved.Failed()) saved = r;
            continue;
        }
        items.insert(items.end(), track.items.begin(), track.items.end());
        after.emplace_back(track.name, std::move(items));
    }
    if (added == 0) {
        parts_.platform.messages.Show("The marks in " + *path + " are all there already.");
        return;
    }
    if (undo_) undo_->Change(std::move(after), QStringLiteral("Import Marks"));
    Changed(firstMark ? static_cast<int>(keeper_->Marks().FirstAtOrAfter(*firstMark)) : -1);
    ShowReport(parts_.platform.messages, saved);
}

bool MarksActions::MayLeave(const std::string& leaving) {
    if (!HasSound() || keeper_->Saved()) return true;
    bool anything = false;
    for (const auto& track : parts_.document.Tracks()) anything = anything || !track->empty();
    if (!anything || (exported_ && exportedRevision_ == Revision())) return true;
    const std::string name = std::filesystem::path(keeper_->SoundPath()).filename().string();
    const int answer = parts_.platform.messages.Ask(
        "The marks of " + name + " could not be saved beside it and live only in memory: they are lost on " +
            leaving + ".\n\nExport them first?",
        {kExportButton, kDiscardButton, kCancelButton});
    if (answer == 0) return Export();
    return answer == 1;
}

} // namespace zv
